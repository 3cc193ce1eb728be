// Page shaping: the display modes of the map pages and what each shows, the channel caption, the
// extra fields and the rules of the fixed pages.
#include "display/display_rules.h"

#include <gtest/gtest.h>

#include "display_test_support.h"
#include "editor/page_catalogue.h"

namespace torvane {
namespace {

using namespace testing_support;

DisplayShape Shape(const DeviceImage& image, int page, bool ms = false) {
    DisplayInputs in;
    in.page = page;
    in.ms = ms;
    return ShapeDisplay(image, in);
}

TEST(DisplayRules, DisabledIntakeServoShowsOnlyItsEnableBox) {
    DeviceImage image = TypeDefaults(32);
    Put(image, FieldId::ServoInEnable, 0);
    const DisplayShape s = Shape(image, PageServoIn);
    EXPECT_EQ(s.mapMode, MapHidden);
    EXPECT_TRUE(Shown(s, "CheckBoxServoEnable"));
    for (const char* name :
         {"CheckBoxProcenta", "RadioGroupServoMode", "CheckBoxStepMotor", "LabelRpm_Uni", "BevelGrid_Uni",
          "CSpinButtonTools_Uni", "CheckBoxAll_Uni", "LabelAxis_Uni", "UpDownMisc_Uni[0]", "LabelMisc_Uni[1]",
          "CheckBoxZobrMs_Uni", "CheckBoxTps_Uni"})
        EXPECT_FALSE(Shown(s, name)) << name;
    for (int k = 0; k < 150; ++k) ASSERT_FALSE(Shown(s, Cell(k))) << k;
    for (int c = 0; c < 15; ++c) ASSERT_FALSE(Shown(s, "UpDownRpm_Uni[" + std::to_string(c) + "]"));
}

TEST(DisplayRules, ServoModesShowOneRowAtTheTopOrOneColumn) {
    DeviceImage image = TypeDefaults(32);
    Put(image, FieldId::ServoInEnable, 1);
    Put(image, FieldId::ServoInMode, 1);  // RPM: the full-throttle row alone
    DisplayShape s = Shape(image, PageServoIn);
    EXPECT_EQ(s.mapMode, MapFullThrottle);
    EXPECT_TRUE(s.row9AtTop);
    for (int k = 0; k < 150; ++k) {
        const bool row9 = k >= 135;
        ASSERT_EQ(Shown(s, Cell(k)), row9) << k;
        if (row9) {
            EXPECT_TRUE(Find(s, Cell(k))->enabled.value() && Find(s, Cell(k))->upDowns.value());
        }
    }
    EXPECT_TRUE(Shown(s, "UpDownRpm_Uni[3]"));
    EXPECT_TRUE(Find(s, "UpDownRpm_Uni[3]")->upDowns.value());
    EXPECT_FALSE(Shown(s, "LabelRow_Uni[9]"));
    EXPECT_FALSE(Shown(s, "LabelAxis_Uni"));
    EXPECT_FALSE(Shown(s, "CSpinButtonColumn_Uni[0]"));
    EXPECT_TRUE(Shown(s, "CSpinButtonTools_Uni"));
    EXPECT_TRUE(Shown(s, "UpDownMisc_Uni[0]"));  // hysteresis
    EXPECT_EQ(Find(s, "LabelMisc_Uni[1]")->text.value(), "Hysteresis [mV]");

    Put(image, FieldId::ServoInMode, 2);  // TPS: the lowest-rpm column alone, with the throttle captions
    s = Shape(image, PageServoIn);
    EXPECT_EQ(s.mapMode, MapLowestRpm);
    EXPECT_FALSE(s.row9AtTop);
    for (int k = 0; k < 150; ++k) ASSERT_EQ(Shown(s, Cell(k)), k % 15 == 0) << k;
    EXPECT_FALSE(Shown(s, "UpDownRpm_Uni[0]"));
    EXPECT_FALSE(Shown(s, "LabelRpm_Uni"));
    EXPECT_TRUE(Shown(s, "LabelRow_Uni[4]"));
    EXPECT_EQ(Find(s, "LabelAxis_Uni")->text.value(), "TPS");

    // The step motor fields come with the flag; type 46 cannot use the step motor.
    Put(image, FieldId::ServoInMode, 0);
    Put(image, FieldId::ServoInStep, 1);
    s = Shape(image, PageServoIn);
    EXPECT_TRUE(Shown(s, "UpDownMisc_Uni[2]") && Shown(s, "UpDownMisc_Uni[3]"));
    EXPECT_EQ(Find(s, "LabelMisc_Uni[3]")->text.value(), "Period [ms]");
    EXPECT_TRUE(Find(s, "CheckBoxStepMotor")->enabled.value());
    Put(image, FieldId::Bike, 46);
    EXPECT_FALSE(Find(Shape(image, PageServoIn), "CheckBoxStepMotor")->enabled.value());
    // The exhaust servo has no step motor.
    Put(image, FieldId::ServoExEnable, 1);
    EXPECT_FALSE(Shown(Shape(image, PageServoEx), "CheckBoxStepMotor"));
}

TEST(DisplayRules, CoupledFollowerIsReadOnlyAndShowsTimesWithMs) {
    DeviceImage image = TypeDefaults(32);
    Put(image, FieldId::Jet1423Mode, 1);
    Put(image, FieldId::PocKanOut, 4);
    DisplayShape s = Shape(image, PageJet3A);
    EXPECT_EQ(s.mapMode, MapReadOnly);
    const ElementShape* cell = Find(s, Cell(20));
    EXPECT_TRUE(cell->visible.value());
    EXPECT_FALSE(cell->enabled.value());
    EXPECT_FALSE(cell->upDowns.value());
    EXPECT_FALSE(Shown(s, "CSpinButtonColumn_Uni[4]"));
    EXPECT_FALSE(Shown(s, "CSpinButtonTools_Uni"));
    EXPECT_FALSE(Find(s, "UpDownRpm_Uni[0]")->upDowns.value());
    EXPECT_FALSE(Shown(s, "CheckBoxZobrMs_Uni"));  // no Ms on a follower in coupled mode
    EXPECT_TRUE(Shown(s, "LabelChannels_Uni"));
    EXPECT_EQ(Find(s, "LabelChannels_Uni")->text.value(), "  1 -> 2, 3, 4  ");
    EXPECT_EQ(Find(s, "LabelChannels_Uni")->color, Paint::Yellow);

    Put(image, FieldId::Jet3A, 11920, 7);
    s = Shape(image, PageJet3A, true);
    EXPECT_EQ(s.mapMode, MapTimesReadOnly);
    EXPECT_FALSE(Shown(s, Cell(7)));
    EXPECT_TRUE(Shown(s, "LabelCell_Uni[7]"));
    EXPECT_EQ(Find(s, "LabelCell_Uni[7]")->text.value(), "11.920 ");

    // Inj-1A with Ms: times over the cells, the up-downs still there to step the percentage.
    s = Shape(image, PageJet1A, true);
    EXPECT_EQ(s.mapMode, MapTimes);
    EXPECT_TRUE(Shown(s, Cell(7)));
    EXPECT_TRUE(Find(s, Cell(7))->upDowns.value());
    EXPECT_TRUE(Shown(s, "LabelCell_Uni[7]"));
    EXPECT_TRUE(Shown(s, "CSpinButtonColumn_Uni[0]"));
    EXPECT_EQ(Find(s, "LabelMisc_Uni[0]")->text.value(), "IAP -> TP ");
    EXPECT_EQ(Find(s, "LabelMisc_Uni[4]")->text.value(), "RPM max");
}

TEST(DisplayRules, ChannelCountDecidesTabsAndCaption) {
    DeviceImage image = TypeDefaults(32);
    Put(image, FieldId::PocKanOut, 1);
    Put(image, FieldId::Jet1423Mode, 1);
    DisplayShape s = Shape(image, PageJet1A);
    EXPECT_EQ(s.injectionTabs, (std::array<bool, 3>{false, false, false}));
    EXPECT_FALSE(Shown(s, "LabelChannels_Uni"));

    Put(image, FieldId::PocKanOut, 3);
    Put(image, FieldId::Jet1423Mode, 2);
    s = Shape(image, PageJet1A);
    EXPECT_EQ(s.injectionTabs, (std::array<bool, 3>{false, false, false}));
    EXPECT_EQ(Find(s, "LabelChannels_Uni")->text.value(), "  1 = 2 = 3  ");
    EXPECT_EQ(Find(s, "LabelChannels_Uni")->color, Paint::Aqua);
    EXPECT_EQ(s.jetMenu, 2);

    Put(image, FieldId::Jet1423Mode, 0);
    s = Shape(image, PageJet1A);
    EXPECT_EQ(s.injectionTabs, (std::array<bool, 3>{true, true, false}));
    EXPECT_FALSE(Shown(s, "LabelChannels_Uni"));  // separate channels: no caption
    EXPECT_EQ(s.jetMenu, 0);
    EXPECT_FALSE(Shown(Shape(image, PageJetB), "LabelChannels_Uni"));

    EXPECT_EQ(ChannelCaption(2, false), "  1 -> 2  ");
    EXPECT_EQ(ChannelCaption(2, true), "  1 = 2  ");
    EXPECT_EQ(ChannelCaption(3, false), "  1 -> 2, 3  ");
    EXPECT_EQ(ChannelCaption(4, true), "  1 = 2 = 3 = 4  ");
}

TEST(DisplayRules, AdvancePageFieldsFollowPickupChannelsAndThrottle) {
    DeviceImage image = TypeDefaults(32);
    Put(image, FieldId::PocKanOut, 2);
    Put(image, FieldId::Synchro1, 5);  // one tooth
    Put(image, FieldId::AdvanceTps, 1);
    DisplayShape s = Shape(image, PageAdvance);
    EXPECT_EQ(s.mapMode, MapEditable);
    EXPECT_TRUE(Shown(s, "UpDownMisc_Uni[5]"));
    EXPECT_EQ(Find(s, "LabelMisc_Uni[2]")->text.value(), "Width of Lobe [°]");
    EXPECT_TRUE(Shown(s, "UpDownMisc_Uni[1]"));
    EXPECT_FALSE(Shown(s, "UpDownMisc_Uni[2]"));
    EXPECT_EQ(Find(s, "LabelMisc_Uni[1]")->text.value(), "Correction for cylinder 1,2");
    EXPECT_TRUE(Shown(s, "CheckBoxTps_Uni"));
    EXPECT_FALSE(Shown(s, "CheckBoxZobrMs_Uni"));

    Put(image, FieldId::Synchro1, 2);
    Put(image, FieldId::AdvanceTps, 0);
    s = Shape(image, PageAdvance);
    EXPECT_FALSE(Shown(s, "UpDownMisc_Uni[5]"));
    EXPECT_FALSE(Shown(s, "LabelMisc_Uni[2]"));
    EXPECT_EQ(s.mapMode, MapFullThrottle);
    EXPECT_TRUE(s.row9AtTop);
    EXPECT_FALSE(Shown(Shape(image, PageJet1A), "CheckBoxTps_Uni"));
}

TEST(DisplayRules, IdlePageFollowsModeAndServo) {
    DeviceImage image = TypeDefaults(32);
    Put(image, FieldId::IdleMode, 3);
    Put(image, FieldId::ServoInEnable, 1);
    Put(image, FieldId::IdleAdvOn, 0);
    DisplayShape s = Shape(image, PageIdle);
    EXPECT_TRUE(Shown(s, "LabelIdleModeErr"));
    EXPECT_EQ(Find(s, "LabelIdleModeErr")->text.value(), "Intake servo must be disabled");
    EXPECT_EQ(Find(s, "GroupBoxIdleServoPoz")->text.value(), "TPS min [in steps of servo]");
    EXPECT_TRUE(Shown(s, "UpDownIdleStepPuls"));
    EXPECT_FALSE(Shown(s, "UpDownIdleRpmMez"));
    EXPECT_FALSE(Shown(s, "GroupBoxIdleAdvPoz"));

    Put(image, FieldId::IdleMode, 1);
    Put(image, FieldId::ServoInEnable, 0);
    Put(image, FieldId::ServoInProcent, 1);
    s = Shape(image, PageIdle);
    EXPECT_EQ(Find(s, "LabelIdleModeErr")->text.value(), "Intake servo must be enabled");
    EXPECT_EQ(Find(s, "GroupBoxIdleServoPoz")->text.value(), "Start position of intake servo [%]");

    Put(image, FieldId::IdleMode, 2);
    Put(image, FieldId::IdleAdvOn, 1);
    s = Shape(image, PageIdle);
    EXPECT_FALSE(Shown(s, "LabelIdleModeErr"));  // the servo is off, as this mode needs
    EXPECT_TRUE(Shown(s, "UpDownIdleHyster") && Shown(s, "LabelIdleHyster"));
    EXPECT_TRUE(Shown(s, "UpDownIdleRpmMez") && Shown(s, "GroupBoxIdleAdvPoz") &&
                Shown(s, "LabelIdleKorAdv"));

    Put(image, FieldId::IdleMode, 0);
    Put(image, FieldId::IdleAdvOn, 0);
    s = Shape(image, PageIdle);
    EXPECT_FALSE(Shown(s, "GroupBoxIdleServoPoz") || Shown(s, "LabelIdleModeErr") ||
                 Shown(s, "UpDownIdleTpsMez"));
}

TEST(DisplayRules, FixedPagesShowWhatTheirSelectorsAsk) {
    DeviceImage image = TypeDefaults(32);
    Put(image, FieldId::GearSystem, 1);
    Put(image, FieldId::PocetGear, 4);
    DisplayShape s = Shape(image, PageGear);
    EXPECT_TRUE(Shown(s, "GroupBoxRpmSpeedProGear"));
    EXPECT_FALSE(Shown(s, "GroupBoxNapetiProGear") || Shown(s, "GroupBoxMonAutoGear"));
    EXPECT_TRUE(Shown(s, "LabelMonPomerRpmSpeed"));
    EXPECT_TRUE(Shown(s, "ButtonGear4"));
    EXPECT_FALSE(Shown(s, "ButtonGear5"));
    EXPECT_TRUE(Shown(s, "UpDownGearPomer[3]"));
    EXPECT_FALSE(Shown(s, "UpDownGearPomer[4]"));
    Put(image, FieldId::GearSystem, 3);
    s = Shape(image, PageGear);
    EXPECT_FALSE(Shown(s, "UpDownPocetGear") || Shown(s, "LabelGearKor1") || Shown(s, "ButtonGear0"));
    EXPECT_FALSE(Shown(Shape(image, PageRace), "LabelRaceGear1"));

    // Only types 43..49 show the temperature instead of the speed.
    Put(image, FieldId::GearSystem, 0);
    Put(image, FieldId::PocetGear, 5);
    s = Shape(image, PageRace);
    EXPECT_FALSE(Find(s, "CheckBoxTempDisplay")->enabled.value());
    EXPECT_TRUE(s.clearTempDisplay);
    EXPECT_TRUE(Shown(s, "UpDownClutchPause[4]"));
    EXPECT_FALSE(Shown(s, "UpDownClutchPause[5]") || Shown(s, "LabelRaceGear6"));
    Put(image, FieldId::Bike, 45);
    s = Shape(image, PageRace);
    EXPECT_TRUE(Find(s, "CheckBoxTempDisplay")->enabled.value());
    EXPECT_FALSE(s.clearTempDisplay);

    EXPECT_TRUE(Shown(Shape(image, PageBike), "GroupBoxIntakePort") == false);
    Put(image, FieldId::Bike, 46);
    EXPECT_TRUE(Shown(Shape(image, PageBike), "GroupBoxIntakePort"));

    Put(image, FieldId::BikeSecial, 1);
    Put(image, FieldId::PocKanOut, 2);
    Put(image, FieldId::Synchro2, 2);
    s = Shape(image, PageSynchro);
    EXPECT_TRUE(Shown(s, "GroupBoxSynchro") && Shown(s, "UpDownTop2") && Shown(s, "LabelTop2"));
    EXPECT_FALSE(Shown(s, "UpDownTop3"));
    EXPECT_TRUE(Shown(s, "GroupBoxKyvani1"));
    EXPECT_FALSE(Shown(s, "GroupBoxKyvani2"));

    Put(image, FieldId::PotencMode, 0);
    EXPECT_FALSE(Shown(Shape(image, PageCidla), "UpDownPotencRozsah"));
    Put(image, FieldId::Gas, 1);
    EXPECT_TRUE(Shown(Shape(image, PageGas), "GroupBoxRetard"));

    DisplayInputs in;
    in.page = PageBike;
    in.progHned = true;
    EXPECT_EQ(Find(ShapeDisplay(image, in), "CheckBoxProgHned")->color, Paint::Red);
    in.progHned = false;
    EXPECT_EQ(Find(ShapeDisplay(image, in), "CheckBoxProgHned")->color, Paint::ButtonFace);
}

TEST(DisplayRules, TimeLabelsHaveThreeDecimalsAndATrailingBlank) {
    EXPECT_EQ(TimeLabelText(11920), "11.920 ");
    EXPECT_EQ(TimeLabelText(0), "0.000 ");
    EXPECT_EQ(TimeLabelText(65535), "65.535 ");
}

}  // namespace
}  // namespace torvane
