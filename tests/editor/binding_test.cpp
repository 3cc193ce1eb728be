// The binding of the pages to the image on plain values: a page shown from a normalized image and
// read back gives the same image, and the translations the controls apply (type list, scaled spins,
// idle servo positions) show and store what the user sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "editor/binding_table.h"
#include "editor/page_catalogue.h"
#include "image/catalogue.h"
#include "image/defaults.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "mapgrid/map_page_model.h"

namespace torvane {
namespace {

int V(const DeviceImage& image, FieldId name, int element = 0) {
    return FieldValue(image, Field(name), element);
}
void Put(DeviceImage& image, FieldId name, int value, int element = 0) {
    SetFieldValue(image, Field(name), element, value);
}

const Binding& Row(std::string_view control) {
    const Binding* row = FindBinding(control);
    EXPECT_NE(row, nullptr) << control;
    static const Binding none{};
    return row != nullptr ? *row : none;
}

// Where the two images differ, for a readable failure.
std::string Differences(const DeviceImage& a, const DeviceImage& b) {
    std::string out;
    int shown = 0;
    for (std::size_t i = 0; i < ImageSize && shown < 12; ++i) {
        if (a.byteAt(i) == b.byteAt(i)) continue;
        out += " [" + std::to_string(i) + "] " + std::to_string(a.byteAt(i)) + "->" +
               std::to_string(b.byteAt(i));
        ++shown;
    }
    for (std::size_t j = 0; j < a.IapAxis.size(); ++j) {
        if (a.IapAxis[j] != b.IapAxis[j])
            out += " IapAxis[" + std::to_string(j) + "] " + std::to_string(a.IapAxis[j]) + "->" +
                   std::to_string(b.IapAxis[j]);
    }
    return out;
}

bool IsSpin(BindKind kind) {
    return kind == BindKind::Byte || kind == BindKind::Word || kind == BindKind::IdleServo;
}

// One fixed page shown and read back as the page's controls would: a spin limits the shown value to
// its range (the idle servo spins to the range of the idle mode), and a value it shows limited and
// nobody touched is not stored back.
void FixedPageRoundTrip(DeviceImage& image, int page) {
    const IdleServoScale idle = IdleServoScaleOf(image);
    for (const Binding& row : BindingsOfPage(page)) {
        for (int i = 0; i < row.count; ++i) {
            const int shown = ShownValue(row, image, i, idle.step);
            if (IsSpin(row.kind)) {
                const int max = row.kind == BindKind::IdleServo ? idle.maximum : row.max;
                if (shown != std::clamp(shown, row.min, max)) continue;
            }
            StoreShownValue(row, image, i, shown, idle.step);
        }
    }
}

// One map page through the shared panel, its spins limiting what they show to their ranges.
void MapPageRoundTrip(DeviceImage& image, InjectionWork& work, int page, AllStates& all) {
    MapPanelValues v = ImageToMapPanel(image, work, page, all);
    for (int& rpm : v.rpm) rpm = std::clamp(rpm, RpmAxisMin, RpmAxisMax);
    for (int& iap : v.iap) iap = std::clamp(iap, 0, IapAxisMax);
    for (int& cell : v.cells) cell = std::clamp(cell, 0, v.cellMax);
    for (const MiscField& f : MiscFieldsOfPage(page)) {
        const auto element = static_cast<std::size_t>(f.element);
        v.misc[element] = std::clamp(v.misc[element], f.min, f.max);
    }
    MapPanelToImage(image, work, page, v, all);
}

class BindingRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(BindingRoundTrip, EveryPageShownAndReadBackLeavesTheNormalizedDefaultsAsTheyWere) {
    const int code = GetParam();
    DeviceImage image;
    InjectionWork work;
    DefaultsState state;
    Put(image, FieldId::Bike, code);
    ApplyDefaults(image, work, state, false, 0);
    NormalizeImage(image);
    // Normalization may rewrite the maps' µs, so the percentages follow the image the pages see.
    RefreshInjectionPercent(image, work);
    const DeviceImage normalized = image;
    AllStates all{};
    all[PageAdvance] = 1;
    all[PageServoEx] = 1;
    const AllStates allBefore = all;

    // Visited one after the other, as a user paging through the window and committing on each page.
    for (int page = 0; page < PageCount; ++page) {
        if (IsMapPage(page)) {
            MapPageRoundTrip(image, work, page, all);
        } else {
            FixedPageRoundTrip(image, page);
        }
        EXPECT_TRUE(image == normalized)
            << "type " << code << ", page " << page << ":" << Differences(normalized, image);
        EXPECT_EQ(all, allBefore) << "page " << page;
        image = normalized;
    }
    // A commit normalizes again: the defaults are already in shape, so nothing moves.
    NormalizeImage(image);
    EXPECT_TRUE(image == normalized) << Differences(normalized, image);
}

// Every type of the catalogue (17, 32 and 46 among them: map advance, start-up type, step motor).
INSTANTIATE_TEST_SUITE_P(Types, BindingRoundTrip, ::testing::Range(0, MotorcycleTypeCount));

TEST(BindingTable, EveryRowNamesAFieldWithRoomForItsControlsAndPagesKeepTheirOrder) {
    int previousPage = -1;
    for (const Binding& row : BindingTable()) {
        const FieldInfo* field = &Field(row.field);
        EXPECT_LE(row.firstElement + row.count, field->count) << row.control;
        EXPECT_FALSE(IsMapPage(row.page)) << row.control;
        EXPECT_NE(row.page, PageMonitor) << row.control;
        EXPECT_GE(row.page, previousPage) << row.control << ": rows of one page must stay together";
        previousPage = row.page;
        if (IsSpin(row.kind)) {
            EXPECT_LE(row.min, row.max) << row.control;
            EXPECT_GT(row.step, 0) << row.control;
        }
        if (row.kind == BindKind::Byte) {
            // A byte spin never offers a value the byte cannot hold.
            EXPECT_GE(row.max, ScaleToShown(row.a, row.c, 0)) << row.control;
            EXPECT_LE(row.max, ScaleToShown(row.a, row.c, 255)) << row.control;
            EXPECT_GE(row.min, ScaleToShown(row.a, row.c, 0)) << row.control;
        }
    }
    EXPECT_EQ(ControlName(Row("UpDownCidloVoda"), 3), "UpDownCidloVoda[3]");
}

TEST(BindingTable, TheTypeListTranslatesBetweenListLinesAndTypeCodes) {
    // Every code 0..49 is on exactly one line, and the line gives the code back.
    std::array<int, MotorcycleTypeCount> seen{};
    for (int item = 0; item < MotorcycleTypeCount; ++item) {
        const int code = CodeOfItem(item);
        ASSERT_GE(code, 0);
        ASSERT_LT(code, MotorcycleTypeCount);
        ++seen[static_cast<std::size_t>(code)];
        EXPECT_EQ(ItemOfCode(code), item);
    }
    EXPECT_TRUE(std::ranges::all_of(seen, [](int n) { return n == 1; }));

    const Binding& bike = Row("ComboBoxBike");
    DeviceImage image;
    Put(image, FieldId::Bike, 0);
    EXPECT_EQ(ShownValue(bike, image, 0), 1);
    Put(image, FieldId::Bike, 1);
    EXPECT_EQ(ShownValue(bike, image, 0), 0);
    Put(image, FieldId::Bike, StartupBikeCode);
    EXPECT_EQ(ShownValue(bike, image, 0), 27);
    StoreShownValue(bike, image, 0, 44);
    EXPECT_EQ(V(image, FieldId::Bike), 49);
    // The separator line has no code: choosing it keeps the stored type.
    StoreShownValue(bike, image, 0, SeparatorItem);
    EXPECT_EQ(V(image, FieldId::Bike), 49);
    StoreShownValue(bike, image, 0, -1);  // an empty selection likewise
    EXPECT_EQ(V(image, FieldId::Bike), 49);
    // A code the list does not know (only a file can bring one) shows the separator.
    for (int code : {50, 60, 255}) {
        Put(image, FieldId::Bike, code);
        EXPECT_EQ(ShownValue(bike, image, 0), SeparatorItem) << code;
        StoreShownValue(bike, image, 0, SeparatorItem);
        EXPECT_EQ(V(image, FieldId::Bike), code);
    }
    EXPECT_EQ(CodeOfItem(SeparatorItem), -1);
}

TEST(BindingTable, ScaledSpinsShowAndStoreWithTheirOffsets) {
    DeviceImage image;
    const Binding& tps100 = Row("UpDownTps100");
    Put(image, FieldId::Tps100, 0);
    EXPECT_EQ(ShownValue(tps100, image, 0), 2500);
    Put(image, FieldId::Tps100, 99);
    StoreShownValue(tps100, image, 0, 2500);
    EXPECT_EQ(V(image, FieldId::Tps100), 0);
    StoreShownValue(tps100, image, 0, 5000);
    EXPECT_EQ(V(image, FieldId::Tps100), 250);
    StoreShownValue(tps100, image, 0, 4905);  // a value between steps is cut down to the step
    EXPECT_EQ(V(image, FieldId::Tps100), 240);
    EXPECT_EQ(tps100.min, 2500);
    EXPECT_EQ(tps100.max, 5000);

    // The rpm correction is shown as a difference from 100.
    const Binding& korekce = Row("UpDownRpmKorekce");
    StoreShownValue(korekce, image, 0, -60);
    EXPECT_EQ(V(image, FieldId::RpmKorekce), 40);
    StoreShownValue(korekce, image, 0, 60);
    EXPECT_EQ(V(image, FieldId::RpmKorekce), 160);
    Put(image, FieldId::RpmKorekce, 100);
    EXPECT_EQ(ShownValue(korekce, image, 0), 0);

    // Rpm fields in hundreds; words as they are.
    const Binding& limiter = Row("UpDownIgnLimiter");
    StoreShownValue(limiter, image, 0, 14050);
    EXPECT_EQ(V(image, FieldId::IgnLimiter), 140);
    EXPECT_EQ(ShownValue(limiter, image, 0), 14000);
    const Binding& gearVoltage = Row("UpDownGearNapeti");
    StoreShownValue(gearVoltage, image, 6, 4321);
    EXPECT_EQ(V(image, FieldId::GearVoltage, 6), 4321);
    EXPECT_EQ(ShownValue(gearVoltage, image, 6), 4321);
    EXPECT_EQ(V(image, FieldId::GearVoltage, 5), 0);
    // An empty radio group or combo selection reads as 255 (the binder passes it on as such).
    StoreShownValue(Row("ComboBoxSynchro1"), image, 0, 255);
    EXPECT_EQ(V(image, FieldId::Synchro1), 255);
}

TEST(BindingTable, GearRatioSpinsStartAtTheFirstGearNotAtThePulseCount) {
    DeviceImage image;
    Put(image, FieldId::PulsuProSpeed, 1000);
    const Binding& ratio = Row("UpDownGearPomer");
    for (int gear = 0; gear < ratio.count; ++gear) StoreShownValue(ratio, image, gear, 2000 - 100 * gear);
    EXPECT_EQ(V(image, FieldId::PulsuProSpeed), 1000);
    EXPECT_EQ(image.wordAt(81), 1000);
    for (int gear = 1; gear <= 6; ++gear)
        EXPECT_EQ(image.wordAt(static_cast<std::size_t>(81 + gear)), 2000 - 100 * (gear - 1)) << gear;
}

TEST(BindingTable, IdleServoPositionsAreScaledByTheStepOfTheIdleMode) {
    DeviceImage image;
    const Binding& servo = Row("UpDownIdleServoPoz");
    Put(image, FieldId::IdleServoPoz, 10, 4);
    auto shownIn = [&](int mode, bool percent) {
        Put(image, FieldId::IdleMode, mode);
        Put(image, FieldId::ServoInProcent, percent ? 1 : 0);
        return ShownValue(servo, image, 4, IdleServoScaleOf(image).step);
    };
    EXPECT_EQ(shownIn(0, false), 500);
    EXPECT_EQ(shownIn(0, true), 500);
    EXPECT_EQ(shownIn(1, true), 10);
    EXPECT_EQ(shownIn(1, false), 200);
    EXPECT_EQ(shownIn(2, false), 500);
    EXPECT_EQ(shownIn(3, false), 50);
    EXPECT_EQ(shownIn(3, true), 50);

    // Stored back with the same step; the ranges match what a byte holds in each mode.
    Put(image, FieldId::IdleMode, 3);
    StoreShownValue(servo, image, 4, 1200, IdleServoScaleOf(image).step);
    EXPECT_EQ(V(image, FieldId::IdleServoPoz, 4), 240);
    EXPECT_EQ(IdleServoScaleOf(image).maximum, 1200);
    Put(image, FieldId::IdleMode, 1);
    Put(image, FieldId::ServoInProcent, 0);
    StoreShownValue(servo, image, 4, 5000, IdleServoScaleOf(image).step);
    EXPECT_EQ(V(image, FieldId::IdleServoPoz, 4), 250);
    Put(image, FieldId::ServoInProcent, 1);
    EXPECT_EQ(IdleServoScaleOf(image).maximum, 100);
    Put(image, FieldId::IdleMode, 0);
    EXPECT_EQ(IdleServoScaleOf(image).maximum, 12000);
    // The other eight positions are never touched by element 4.
    for (int k = 0; k < 9; ++k) EXPECT_EQ(V(image, FieldId::IdleServoPoz, k), k == 4 ? 250 : 0) << k;
}

}  // namespace
}  // namespace torvane
