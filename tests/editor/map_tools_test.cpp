// The map tools on plain values: Minus/Plus on the live cell or the whole map, the column steps, the
// Position curves and the servo percent switch.
#include "mapgrid/map_tools.h"

#include <gtest/gtest.h>

#include "editor/page_catalogue.h"
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

class MapToolsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Put(image, FieldId::Bike, 32);
        ApplyDefaults(image, work, state, false, 0);
        NormalizeImage(image);
        RefreshInjectionPercent(image, work);
        before = image;
    }
    int changedBytes() const {
        int n = 0;
        for (std::size_t i = 0; i < ImageSize; ++i) n += image.byteAt(i) != before.byteAt(i);
        return n;
    }
    DeviceImage image, before;
    InjectionWork work;
    DefaultsState state;
};

TEST_F(MapToolsTest, PlusOnAdvanceStepsTheLiveCellOrEveryCellBelowTheTop) {
    const int cell0 = V(image, FieldId::Advance, 0);
    EXPECT_EQ(StepMapTool(image, work, PageAdvance, +1, false, {0, 0}, 1000, false), ToolResult::Commit);
    EXPECT_EQ(V(image, FieldId::Advance, 0), cell0 + 1);
    EXPECT_EQ(changedBytes(), 1);

    Put(image, FieldId::Advance, 255, 7);
    before = image;
    StepMapTool(image, work, PageAdvance, +1, true, {0, 0}, 0, false);  // All works with the engine stopped
    EXPECT_EQ(V(image, FieldId::Advance, 7), 255);
    EXPECT_EQ(V(image, FieldId::Advance, 8), V(before, FieldId::Advance, 8) + 1);
    EXPECT_EQ(changedBytes(), 149);

    Put(image, FieldId::Advance, 0, 3);
    StepMapTool(image, work, PageAdvance, -1, false, {3, 0}, 1000, false);
    EXPECT_EQ(V(image, FieldId::Advance, 3), 0);  // at the bottom stays
}

TEST_F(MapToolsTest, SingleCellNeedsARunningEngineAndAValidRow) {
    EXPECT_EQ(StepMapTool(image, work, PageAdvance, +1, false, {4, 2}, 0, false), ToolResult::Ended);
    EXPECT_EQ(changedBytes(), 0);
    EXPECT_EQ(StepMapTool(image, work, PageJetB, +1, false, {4, NoRow}, 3000, false), ToolResult::Commit);
    EXPECT_EQ(changedBytes(), 0);
    // Fixed pages: nothing stepped, the commit still runs.
    EXPECT_EQ(StepMapTool(image, work, PageBike, +1, true, {0, 0}, 3000, false), ToolResult::Commit);
    EXPECT_EQ(changedBytes(), 0);
}

TEST_F(MapToolsTest, CoupledInjectionStepsAllFourChannelsFromInj1AAndNothingFromAFollower) {
    EXPECT_EQ(StepMapTool(image, work, PageJet2A, -1, false, {1, 1}, 3000, true), ToolResult::Ended);
    EXPECT_EQ(changedBytes(), 0);

    const int k = 1 * 15 + 1;
    std::array<int, 4> percent{};
    const InjectionMap maps[] = {InjectionMap::Jet1A, InjectionMap::Jet2A, InjectionMap::Jet3A,
                                 InjectionMap::Jet4A};
    for (std::size_t m = 0; m < 4; ++m) percent[m] = work.percentOf(maps[m])[k];
    StepMapTool(image, work, PageJet1A, -1, false, {1, 1}, 3000, true);
    for (std::size_t m = 0; m < 4; ++m) {
        const int p = work.percentOf(maps[m])[k];
        EXPECT_EQ(p, percent[m] - 1) << m;
        const int base = work.referenceOf(maps[m])[k];
        EXPECT_EQ(V(image, InjectionMapField(maps[m]), k), std::min(65535, (p * base + 50) / 100)) << m;
    }
    // Separate channels: only Inj-1A.
    before = image;
    StepMapTool(image, work, PageJet1A, +1, false, {1, 1}, 3000, false);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet2A)[k], percent[1] - 1);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet1A)[k], percent[0]);
}

TEST_F(MapToolsTest, ColumnStepChangesExactlyItsTenCells) {
    StepMapColumn(image, work, PageAdvance, +1, 6, false);
    EXPECT_EQ(changedBytes(), 10);
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(V(image, FieldId::Advance, r * 15 + 6), V(before, FieldId::Advance, r * 15 + 6) + 1);
    before = image;
    StepMapColumn(image, work, PageJet1A, -1, 3, true);  // coupled: the column in all four maps
    for (FieldId map : {FieldId::Jet1A, FieldId::Jet2A, FieldId::Jet3A, FieldId::Jet4A}) {
        for (int r = 0; r < 10; ++r)
            EXPECT_NE(V(image, map, r * 15 + 3), V(before, map, r * 15 + 3)) << Field(map).name << r;
        EXPECT_EQ(V(image, map, 4), V(before, map, 4)) << Field(map).name;
    }
}

TEST_F(MapToolsTest, PositionCurvesStayWithin0And144) {
    Put(image, FieldId::PolohaAPoz, 144, 2);
    Put(image, FieldId::PolohaAPoz, 0, 3);
    StepPositionCurve(image, false, +1, false, 2);
    EXPECT_EQ(V(image, FieldId::PolohaAPoz, 2), 144);
    StepPositionCurve(image, false, -1, false, 3);
    EXPECT_EQ(V(image, FieldId::PolohaAPoz, 3), 0);
    const int b5 = V(image, FieldId::PolohaBPoz, 5);
    StepPositionCurve(image, true, -1, true, 0);
    EXPECT_EQ(V(image, FieldId::PolohaBPoz, 5), b5 - 1);
    EXPECT_EQ(V(image, FieldId::PolohaAPoz, 5), V(before, FieldId::PolohaAPoz, 5));
}

TEST_F(MapToolsTest, ServoPercentRoundTripKeepsFullScale) {
    Put(image, FieldId::ServoInValue, 250, 0);
    Put(image, FieldId::ServoInValue, 38, 1);
    ConvertServoMap(image, true, true);
    EXPECT_EQ(V(image, FieldId::ServoInValue, 0), 100);
    EXPECT_EQ(V(image, FieldId::ServoInValue, 1), 15);
    ConvertServoMap(image, true, false);
    EXPECT_EQ(V(image, FieldId::ServoInValue, 0), 250);
    EXPECT_EQ(V(image, FieldId::ServoInValue, 1), 37);  // the switch is lossy by one unit
}

}  // namespace
}  // namespace torvane
