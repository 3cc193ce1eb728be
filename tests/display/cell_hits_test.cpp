// Counting a datalog's frames into the map cells the live point marks, on the Advance page and an
// injection page (blended frames included), with stopped-engine and non-map frames falling outside.
#include "display/cell_hits.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "display_test_support.h"
#include "editor/page_catalogue.h"

namespace torvane {
namespace {

using namespace testing_support;

LiveValues Frame(unsigned rpm, unsigned throttle, bool blended = false) {
    LiveValues live;
    live.EngineSpeed = static_cast<std::uint16_t>(rpm);
    live.ThrottleOpening = static_cast<std::uint16_t>(throttle);
    live.IntakePressure = 56;
    live.InjectionFromThrottleAboveZero = true;
    live.InjectionFromThrottleBelowFull = blended;
    return live;
}

class CellHitsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        image = TypeDefaults(32);
        for (int c = 0; c < 15; ++c) {
            for (FieldId axis : {FieldId::RpmAdv, FieldId::RpmJet1A}) Put(image, axis, 10 * (c + 1), c);
        }
        Put(image, FieldId::AdvanceTps, 1);
        // 3050 rpm / 20 %: row 4, column 2; 6100 rpm / full throttle: row 9, column 5.
        frames = {Frame(3050, 200),  Frame(3050, 200),  Frame(3050, 200),
                  Frame(6100, 1000), Frame(6100, 1000), Frame(0, 200)};
    }
    static int total(const CellHits& h) { return std::accumulate(h.count.begin(), h.count.end(), 0); }
    DeviceImage image;
    std::vector<LiveValues> frames;
};

TEST_F(CellHitsTest, AdvanceCountsEachFrameInItsLiveCell) {
    const CellHits h = CountCellHits(image, frames, PageAdvance, false);
    EXPECT_EQ(h.count[4 * 15 + 2], 3);
    EXPECT_EQ(h.count[9 * 15 + 5], 2);
    EXPECT_EQ(total(h), 5);
    EXPECT_EQ(h.frames, 6);
    EXPECT_EQ(h.outside, 1);  // the stopped engine
    EXPECT_EQ(h.highest(), 3);

    // Without the throttle axis the unit runs on the full-throttle row: everything lands in row 9.
    Put(image, FieldId::AdvanceTps, 0);
    const CellHits top = CountCellHits(image, frames, PageAdvance, false);
    EXPECT_EQ(top.count[9 * 15 + 2], 3);
    EXPECT_EQ(top.count[9 * 15 + 5], 2);
    EXPECT_EQ(top.count[4 * 15 + 2], 0);
}

TEST_F(CellHitsTest, InjectionPageCountsBlendedFramesAndTheTimesViewOnce) {
    frames.push_back(Frame(3050, 200, true));  // yellow: both maps weighted, still this map's cell
    for (bool ms : {false, true}) {
        const CellHits h = CountCellHits(image, frames, PageJet1A, ms);
        EXPECT_EQ(h.count[4 * 15 + 2], 4) << ms;  // the time label marked with the field is no second hit
        EXPECT_EQ(h.count[9 * 15 + 5], 2) << ms;
        EXPECT_EQ(h.frames, 7);
        EXPECT_EQ(h.outside, 1);
    }
}

TEST_F(CellHitsTest, PagesWithoutMapCellsAndEmptyLogsCountNoCell) {
    const CellHits fixed = CountCellHits(image, frames, PageKorekce, false);
    EXPECT_EQ(total(fixed), 0);
    EXPECT_EQ(fixed.frames, 6);
    EXPECT_EQ(fixed.outside, 6);

    const CellHits none = CountCellHits(image, {}, PageAdvance, false);
    EXPECT_EQ(none.frames, 0);
    EXPECT_EQ(none.highest(), 0);
}

}  // namespace
}  // namespace torvane
