// The live operating point: the nearest-breakpoint searches and the colours of each page's live
// elements for given monitor values.
#include "display/live_point.h"

#include <gtest/gtest.h>

#include <numeric>

#include "display_test_support.h"
#include "editor/page_catalogue.h"

namespace torvane {
namespace {

using namespace testing_support;

TEST(LivePointSearch, NearestBreakpointGoesUpOnTheMidpoint) {
    std::array<std::uint8_t, 15> axis{};
    for (int c = 0; c < 15; ++c) axis[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(10 * (c + 1));
    EXPECT_EQ(RpmColumn(axis, 0), 0);
    EXPECT_EQ(RpmColumn(axis, 1499), 0);
    EXPECT_EQ(RpmColumn(axis, 1500), 1);
    EXPECT_EQ(RpmColumn(axis, 14499), 13);
    EXPECT_EQ(RpmColumn(axis, 14500), 14);
    EXPECT_EQ(RpmColumn(axis, 60000), 14);

    EXPECT_EQ(ThrottleRow(0, false), 0);
    EXPECT_EQ(ThrottleRow(34, false), 1);  // 3.4 %: 6 < 2 + 5
    EXPECT_EQ(ThrottleRow(35, false), 2);  // 3.5 %: 7 >= 2 + 5
    EXPECT_EQ(ThrottleRow(1000, false), 9);
    EXPECT_EQ(ThrottleRow(2000, false), 9);
    EXPECT_EQ(ThrottleRow(500, true), NoRow);

    const std::array<std::uint16_t, 10> iap = {20, 30, 40, 50, 60, 70, 80, 90, 100, 110};
    EXPECT_EQ(PressureRow(iap, 24, false), 0);
    EXPECT_EQ(PressureRow(iap, 25, false), 1);
    EXPECT_EQ(PressureRow(iap, 200, false), 9);
    EXPECT_EQ(PressureRow(iap, 60, true), NoRow);
}

TEST(LivePointSearch, TemperatureAndChokePoints) {
    // Before the first frame (0) and with a water sensor error (180): the default points.
    EXPECT_EQ(CorrectionWaterIndex(0), 3);
    EXPECT_EQ(CorrectionAirIndex(0), 2);
    EXPECT_EQ(CorrectionWaterIndex(180), 3);
    EXPECT_EQ(CorrectionWaterIndex(104), 0);  // 4 °C
    EXPECT_EQ(CorrectionWaterIndex(105), 1);  // 5 °C
    EXPECT_EQ(CorrectionWaterIndex(224), 4);
    EXPECT_EQ(CorrectionWaterIndex(230), 5);  // 130 °C: none
    EXPECT_EQ(IdleTemperatureIndex(0), 7);
    EXPECT_EQ(IdleTemperatureIndex(180), 6);  // 80 °C
    EXPECT_EQ(IdleTemperatureIndex(96), 0);
    EXPECT_EQ(IdleTemperatureIndex(250), 9);

    const std::array<int, 4> t = {10, 30, 60, 100};
    EXPECT_EQ(ChokeIndex(0, t), 0);
    EXPECT_EQ(ChokeIndex(50, t), 0);  // exactly on the first midpoint stays at 0
    EXPECT_EQ(ChokeIndex(51, t), 1);
    EXPECT_EQ(ChokeIndex(199, t), 1);
    EXPECT_EQ(ChokeIndex(200, t), 2);
    EXPECT_EQ(ChokeIndex(800, t), 4);
}

class LivePointTest : public ::testing::Test {
  protected:
    void SetUp() override {
        image = TypeDefaults(32);
        for (int c = 0; c < 15; ++c) {
            for (FieldId axis : {FieldId::RpmAdv, FieldId::RpmJet1A, FieldId::RpmIap, FieldId::RpmServoIn,
                                 FieldId::PolohaARpm, FieldId::PolohaBRpm})
                Put(image, axis, 10 * (c + 1), c);
        }
        for (int r = 0; r < 10; ++r)
            image.IapAxis[static_cast<std::size_t>(r)] = static_cast<std::uint16_t>(20 + 10 * r);
        live.EngineSpeed = 3050;     // column 2
        live.ThrottleOpening = 200;  // 20 %: row 4
        live.IntakePressure = 56;    // row 4 (55 goes up)
        live.InjectionFromThrottleAboveZero = true;
        live.InjectionFromThrottleBelowFull = false;
    }
    std::vector<Highlight> track(int page, bool ms = false) {
        return TrackOperatingPoint(image, live, page, ms, ix);
    }
    DeviceImage image;
    LiveValues live;
    LiveIndexes ix;
};

TEST_F(LivePointTest, InjectionPageGreensTheLiveCellOnlyWhileTheEngineRuns) {
    auto h = track(PageJet1A);
    EXPECT_EQ(ix.column, 2);
    EXPECT_EQ(ix.tpsRow, 4);
    EXPECT_EQ(ix.iapRow, 4);
    EXPECT_EQ(PaintOf(h, "UpDownCell_Uni", 4 * 15 + 2), Paint::Green);
    EXPECT_EQ(CountPaint(h, "UpDownCell_Uni", Paint::Green), 1);
    EXPECT_EQ(CountPaint(h, "UpDownCell_Uni", Paint::Window), 149);
    EXPECT_EQ(PaintOf(h, "UpDownRpm_Uni", 2), Paint::Green);
    EXPECT_EQ(PaintOf(h, "LabelRow_Uni", 4), Paint::Green);
    EXPECT_EQ(PaintOf(h, "LabelRow_Uni", 3), Paint::ButtonFace);
    EXPECT_EQ(CountPaint(h, "LabelCell_Uni", Paint::ButtonFace), 0);  // no times view

    // With Ms the time labels follow their fields, window colour turned to button face.
    h = track(PageJet1A, true);
    EXPECT_EQ(PaintOf(h, "LabelCell_Uni", 62), Paint::Green);
    EXPECT_EQ(CountPaint(h, "LabelCell_Uni", Paint::ButtonFace), 149);

    // Blended injection: yellow on Inj-1A and on Inj-IAP.
    live.InjectionFromThrottleBelowFull = true;
    EXPECT_EQ(PaintOf(track(PageJet1A), "UpDownCell_Uni", 62), Paint::Yellow);
    EXPECT_EQ(PaintOf(track(PageIap), "UpDownCell_Uni", 62), Paint::Yellow);
    live.InjectionFromThrottleAboveZero = false;
    EXPECT_EQ(PaintOf(track(PageIap), "UpDownCell_Uni", 62), Paint::Green);
    EXPECT_EQ(CountPaint(track(PageJet1A), "UpDownCell_Uni", Paint::Green), 0);  // the A maps unused

    // Stopped engine: the captions still follow the search, no cell, no rpm field.
    live.InjectionFromThrottleAboveZero = true;
    live.EngineSpeed = 0;
    h = track(PageJet1A);
    EXPECT_EQ(CountPaint(h, "UpDownCell_Uni", Paint::Green) + CountPaint(h, "UpDownCell_Uni", Paint::Yellow),
              0);
    EXPECT_EQ(PaintOf(h, "UpDownRpm_Uni", 0), Paint::Window);
    EXPECT_EQ(PaintOf(h, "LabelRow_Uni", 4), Paint::Green);
}

TEST_F(LivePointTest, FlaggedSensorsMatchNoRowAndPagesForceTheirRowOrColumn) {
    live.ThrottleSensorError = true;
    auto h = track(PageAdvance);
    Put(image, FieldId::AdvanceTps, 1);
    h = track(PageAdvance);
    EXPECT_EQ(ix.tpsRow, NoRow);
    EXPECT_EQ(CountPaint(h, "UpDownCell_Uni", Paint::Green), 0);
    EXPECT_EQ(CountPaint(h, "LabelRow_Uni", Paint::Green), 0);

    // An Advance map without the throttle axis uses its full-throttle row.
    Put(image, FieldId::AdvanceTps, 0);
    h = track(PageAdvance);
    EXPECT_EQ(ix.tpsRow, 9);
    EXPECT_EQ(PaintOf(h, "UpDownCell_Uni", 9 * 15 + 2), Paint::Green);
    EXPECT_EQ(CountPaint(h, "LabelRow_Uni", Paint::Green),
              0);  // the caption highlight comes before the forcing

    live.ThrottleSensorError = false;
    live.IntakePressureError = true;
    EXPECT_EQ(CountPaint(track(PageIap), "UpDownCell_Uni", Paint::Green), 0);
    EXPECT_EQ(ix.iapRow, NoRow);

    // Servo pages: RPM mode row 9, TPS mode column 0, highlighted with the engine stopped too.
    live.EngineSpeed = 0;
    Put(image, FieldId::ServoInMode, 2);
    h = track(PageServoIn);
    EXPECT_EQ(ix.column, 0);
    EXPECT_EQ(PaintOf(h, "UpDownCell_Uni", 4 * 15), Paint::Green);
    EXPECT_EQ(PaintOf(h, "UpDownRpm_Uni", 0), Paint::Green);
    Put(image, FieldId::ServoInMode, 1);
    live.EngineSpeed = 6100;  // column 5
    h = track(PageServoIn);
    EXPECT_EQ(PaintOf(h, "UpDownCell_Uni", 9 * 15 + 5), Paint::Green);
}

TEST_F(LivePointTest, FixedPagesHighlightTheirLivePoints) {
    live.EngineSpeed = 0;
    auto h = track(PagePoloha);
    EXPECT_EQ(ix.positionA, 0);
    EXPECT_EQ(PaintOf(h, "UpDownPolohaAPoz", 0), Paint::Green);
    live.EngineSpeed = 15000;
    h = track(PagePoloha);
    EXPECT_EQ(ix.positionB, 14);
    EXPECT_EQ(PaintOf(h, "UpDownPolohaBRpm", 14), Paint::Green);
    EXPECT_EQ(PaintOf(h, "UpDownPolohaBRpm", 0), Paint::Window);

    // Before the first frame: 80 °C water and 50 °C air on the Corrections page, 95 °C on Idle.
    live.CoolantTemperature = 0;
    live.AirTemperature = 0;
    live.AfterStartTimer = 0;
    h = track(PageKorekce);
    EXPECT_EQ(PaintOf(h, "UpDownKorVoda", 3), Paint::Green);
    EXPECT_EQ(PaintOf(h, "UpDownKorIgnVoda", 3), Paint::Green);
    EXPECT_EQ(PaintOf(h, "UpDownKorVzduch", 2), Paint::Green);
    EXPECT_EQ(PaintOf(h, "LabelSyticCas0"), Paint::Green);
    EXPECT_EQ(PaintOf(h, "UpDownSyticKorekce0"), Paint::Green);
    EXPECT_EQ(PaintOf(h, "UpDownSyticCas1"), Paint::Window);
    live.CoolantTemperature = 230;
    EXPECT_EQ(CountPaint(track(PageKorekce), "UpDownKorVoda", Paint::Green), 0);

    live.CoolantTemperature = 0;
    live.EngineSpeed = 1200;
    live.ThrottleOpening = 0;
    Put(image, FieldId::IdleRpmMez, 15);
    Put(image, FieldId::IdleTpsMez, 40);
    h = track(PageIdle);
    EXPECT_EQ(PaintOf(h, "LabelIdleServoTeplota", 7), Paint::Green);
    EXPECT_EQ(PaintOf(h, "UpDownIdleAdvPoz", 7), Paint::Green);
    EXPECT_EQ(PaintOf(h, "UpDownIdleRpmMez"), Paint::Green);
    EXPECT_EQ(PaintOf(h, "LabelIdleTpsMez"), Paint::Green);
    live.EngineSpeed = 1501;
    live.ThrottleOpening = 40;
    h = track(PageIdle);
    EXPECT_EQ(PaintOf(h, "UpDownIdleRpmMez"), Paint::Window);
    EXPECT_EQ(PaintOf(h, "LabelIdleTpsMez"), Paint::ButtonFace);

    live.Gear = 3;
    h = track(PageRace);
    EXPECT_EQ(PaintOf(h, "UpDownClutchTime", 2), Paint::Green);
    EXPECT_EQ(PaintOf(h, "LabelRaceGear3"), Paint::Green);
    EXPECT_EQ(PaintOf(h, "LabelRaceGear1"), Paint::ButtonFace);

    Put(image, FieldId::GearSystem, 0);
    live.Gear = 0;
    h = track(PageGear);
    EXPECT_EQ(PaintOf(h, "UpDownGearNapeti", 0), Paint::Green);
    EXPECT_EQ(PaintOf(h, "ButtonGear0"), Paint::Bold);
    Put(image, FieldId::GearSystem, 1);
    h = track(PageGear);
    EXPECT_EQ(PaintOf(h, "ButtonGear0"), Paint::ButtonFace);  // neutral's button is bold only by voltage
    live.Gear = 2;
    h = track(PageGear);
    EXPECT_EQ(PaintOf(h, "UpDownGearPomer", 1), Paint::Green);
    EXPECT_EQ(PaintOf(h, "ButtonGear2"), Paint::Bold);
    EXPECT_EQ(PaintOf(h, "UpDownGearKorJet", 1), Paint::Green);
    Put(image, FieldId::GearSystem, 2);
    h = track(PageGear);
    EXPECT_EQ(PaintOf(h, "LabelMonGearAuto2"), Paint::Green);
    EXPECT_EQ(PaintOf(h, "ButtonGear2"), Paint::ButtonFace);

    EXPECT_TRUE(track(PageBike).empty());
    EXPECT_TRUE(track(PageMonitor).empty());
}

}  // namespace
}  // namespace torvane
