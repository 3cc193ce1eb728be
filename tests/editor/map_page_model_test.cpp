// The map pages' passes on plain values: Inj-1A with the other injection channels following it
// (coupled) or copying it (1=2=3=4), the percentage view of the 16-bit maps, and the per-page scaling
// of the cells and extra values.
#include "mapgrid/map_page_model.h"

#include <gtest/gtest.h>

#include "image/defaults.h"
#include "image/fields.h"
#include "image/normalize.h"

namespace torvane {
namespace {

int V(const DeviceImage& image, FieldId name, int element = 0) {
    return FieldValue(image, Field(name), element);
}
void Put(DeviceImage& image, FieldId name, int value, int element = 0) {
    SetFieldValue(image, Field(name), element, value);
}

constexpr InjectionMap kFollowers[] = {InjectionMap::Jet2A, InjectionMap::Jet3A, InjectionMap::Jet4A};
constexpr FieldId kFollowerAxes[] = {FieldId::RpmJet2A, FieldId::RpmJet3A, FieldId::RpmJet4A};
constexpr FieldId kFollowerMaps[] = {FieldId::Jet2A, FieldId::Jet3A, FieldId::Jet4A};

class MapPageModelTest : public ::testing::Test {
  protected:
    void start(int code, int jetMode) {
        Put(image, FieldId::Bike, code);
        ApplyDefaults(image, work, state, false, 0);
        Put(image, FieldId::Jet1423Mode, jetMode);
        NormalizeImage(image);
        RefreshInjectionPercent(image, work);
    }
    MapPanelValues show(int page) { return ImageToMapPanel(image, work, page, all); }
    void store(int page, const MapPanelValues& v) { MapPanelToImage(image, work, page, v, all); }

    DeviceImage image;
    InjectionWork work;
    DefaultsState state;
    AllStates all{};
};

TEST_F(MapPageModelTest, CoupledInj1AAxisChangeMovesTheOtherAxesByTheSameAmount) {
    start(32, 1);
    EXPECT_TRUE(ChannelModeOf(image).coupled);
    EXPECT_FALSE(ChannelModeOf(image).identical);
    // Inj-3A's column 2 sits three steps below Inj-1A's: the difference is kept, not overwritten.
    const int o = V(image, FieldId::RpmJet1A, 2);
    Put(image, FieldId::RpmJet3A, o - 3, 2);
    const int jet2Col5 = V(image, FieldId::RpmJet2A, 5);

    MapPanelValues v = show(PageJet1A);
    EXPECT_EQ(v.rpm[2], 100 * o);
    v.rpm[2] = 100 * (o + 5);
    store(PageJet1A, v);
    EXPECT_EQ(V(image, FieldId::RpmJet1A, 2), o + 5);
    EXPECT_EQ(V(image, FieldId::RpmJet2A, 2), o + 5);
    EXPECT_EQ(V(image, FieldId::RpmJet3A, 2), o + 2);
    EXPECT_EQ(V(image, FieldId::RpmJet4A, 2), o + 5);
    EXPECT_EQ(V(image, FieldId::RpmJet2A, 5), jet2Col5);  // columns that did not change stay

    // Lowering follows as well; an rpm value between hundreds counts by its hundreds.
    v = show(PageJet1A);
    v.rpm[2] = 100 * (o + 1) + 99;
    store(PageJet1A, v);
    EXPECT_EQ(V(image, FieldId::RpmJet1A, 2), o + 1);
    EXPECT_EQ(V(image, FieldId::RpmJet2A, 2), o + 1);
    EXPECT_EQ(V(image, FieldId::RpmJet3A, 2), o - 2);

    // The same change made on Inj-2A is Inj-2A's alone.
    const DeviceImage before = image;
    v = show(PageJet2A);
    v.rpm[2] += 100;
    store(PageJet2A, v);
    EXPECT_EQ(V(image, FieldId::RpmJet2A, 2), V(before, FieldId::RpmJet2A, 2) + 1);
    EXPECT_EQ(V(image, FieldId::RpmJet1A, 2), V(before, FieldId::RpmJet1A, 2));
    EXPECT_EQ(V(image, FieldId::RpmJet3A, 2), V(before, FieldId::RpmJet3A, 2));
}

TEST_F(MapPageModelTest, CoupledInj1ACellChangeRaisesTheSameCellOfTheOtherChannelsInPercentagePoints) {
    start(32, 1);
    constexpr int k = 37;
    // Inj-3A's cell already stands at 995 %: it stops at the top of the range.
    auto& jet3 = work.percentOf(InjectionMap::Jet3A);
    Put(image, FieldId::Jet3A, RawFromPercent(995, work.referenceOf(InjectionMap::Jet3A)[k]), k);
    Put(image, FieldId::Jet2A, RawFromPercent(80, work.referenceOf(InjectionMap::Jet2A)[k]), k);
    const DeviceImage before = image;

    MapPanelValues v = show(PageJet1A);
    ASSERT_EQ(v.cells[k], 100);
    EXPECT_EQ(jet3[k], 995);
    v.cells[k] = 110;
    store(PageJet1A, v);

    EXPECT_EQ(work.percentOf(InjectionMap::Jet1A)[k], 110);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet2A)[k], 90);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet3A)[k], 1000);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet4A)[k], 110);
    EXPECT_EQ(V(image, FieldId::Jet1A, k), RawFromPercent(110, work.referenceOf(InjectionMap::Jet1A)[k]));
    EXPECT_EQ(V(image, FieldId::Jet2A, k), RawFromPercent(90, work.referenceOf(InjectionMap::Jet2A)[k]));
    EXPECT_EQ(V(image, FieldId::Jet3A, k), RawFromPercent(1000, work.referenceOf(InjectionMap::Jet3A)[k]));
    EXPECT_EQ(V(image, FieldId::Jet4A, k), RawFromPercent(110, work.referenceOf(InjectionMap::Jet4A)[k]));
    // Every other cell of every channel keeps its µs.
    for (FieldId map : {FieldId::Jet1A, FieldId::Jet2A, FieldId::Jet3A, FieldId::Jet4A}) {
        for (int cell = 0; cell < MapCells; ++cell) {
            if (cell == k) continue;
            ASSERT_EQ(V(image, map, cell), V(before, map, cell)) << Field(map).name << " " << cell;
        }
    }
    // Lowering the cell again moves the others back down (Inj-3A from its limit).
    v = show(PageJet1A);
    v.cells[k] = 100;
    store(PageJet1A, v);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet2A)[k], 80);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet3A)[k], 990);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet4A)[k], 100);
    EXPECT_EQ(V(image, FieldId::Jet4A, k), V(before, FieldId::Jet4A, k));
}

TEST_F(MapPageModelTest, InjectionCellAboveTheSpinRangeIsLeftAloneByAnEditElsewhere) {
    start(32, 1);
    constexpr int high = 12;
    const std::uint16_t ref = work.referenceOf(InjectionMap::Jet1A)[high];
    Put(image, FieldId::Jet1A, RawFromPercent(1200, ref), high);
    const int jet1Raw = V(image, FieldId::Jet1A, high);
    const int jet2Raw = V(image, FieldId::Jet2A, high);

    MapPanelValues v = show(PageJet1A);
    EXPECT_EQ(v.cells[high], 1200);
    EXPECT_EQ(v.cellMax, 1000);
    v.cells[high] = 1000;  // what the spin can show
    v.cells[high + 1] = 120;
    store(PageJet1A, v);
    EXPECT_EQ(V(image, FieldId::Jet1A, high), jet1Raw);
    EXPECT_EQ(V(image, FieldId::Jet2A, high), jet2Raw);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet1A)[high + 1], 120);
    EXPECT_EQ(work.percentOf(InjectionMap::Jet2A)[high + 1], 120);
}

TEST_F(MapPageModelTest, AnEditRewritesOnlyTheInjectionCellsWhosePercentageOrReferenceChanged) {
    start(32, 0);
    // A map as a unit may hold it: every cell 7 µs off the whole-percent grid.
    for (int k = 0; k < MapCells; ++k) Put(image, FieldId::Jet1A, V(image, FieldId::Jet1A, k) + 7, k);
    const DeviceImage before = image;
    MapPanelValues v = show(PageJet1A);
    v.cells[16] += 1;
    store(PageJet1A, v);
    for (int k = 0; k < MapCells; ++k) {
        if (k == 16) continue;
        EXPECT_EQ(V(image, FieldId::Jet1A, k), V(before, FieldId::Jet1A, k)) << k;
    }
    EXPECT_EQ(V(image, FieldId::Jet1A, 16), RawFromPercent(static_cast<std::uint32_t>(v.cells[16]),
                                                           work.referenceOf(InjectionMap::Jet1A)[16]));

    // An axis edit moves the references of its column: those cells keep their percentages over the new
    // references, the other columns keep their µs.
    v = show(PageJet1A);
    v.rpm[4] += 300;
    store(PageJet1A, v);
    for (int r = 0; r < MapRows; ++r) {
        for (int c = 0; c < MapColumns; ++c) {
            const int k = r * MapColumns + c;
            if (c == 4) {
                EXPECT_EQ(V(image, FieldId::Jet1A, k),
                          RawFromPercent(static_cast<std::uint32_t>(v.cells[static_cast<std::size_t>(k)]),
                                         work.referenceOf(InjectionMap::Jet1A)[static_cast<std::size_t>(k)]))
                    << k;
            } else if (k != 16) {
                EXPECT_EQ(V(image, FieldId::Jet1A, k), V(before, FieldId::Jet1A, k)) << k;
            }
        }
    }
}

TEST_F(MapPageModelTest, EveryAxisTheRepairAllowsIsShownAndKeptAsItIs) {
    start(32, 0);
    // The exhaust servo axis may start at 0 rpm, the Inj-3A axis may end at 25500 rpm.
    for (int c = 0; c < MapColumns; ++c) Put(image, FieldId::RpmServoEx, c, c);
    Put(image, FieldId::RpmJet3A, 255, MapColumns - 1);
    NormalizeImage(image);
    ASSERT_EQ(V(image, FieldId::RpmServoEx, 0), 0);
    ASSERT_EQ(V(image, FieldId::RpmJet3A, MapColumns - 1), 255);

    MapPanelValues v = show(PageServoEx);
    EXPECT_EQ(v.rpm[0], 0);
    EXPECT_EQ(v.rpm[2], 200);
    EXPECT_LE(v.rpmRange.min, 0);
    v.cells[20] += v.cellStep;  // an edit elsewhere on the page
    store(PageServoEx, v);
    for (int c = 0; c < MapColumns; ++c) EXPECT_EQ(V(image, FieldId::RpmServoEx, c), c) << c;

    const DeviceImage before = image;
    v = show(PageJet3A);
    EXPECT_EQ(v.rpm[MapColumns - 1], 25500);
    EXPECT_GE(v.rpmRange.max, 25500);
    store(PageJet3A, v);
    EXPECT_TRUE(image == before);
}

TEST_F(MapPageModelTest, ValuesShownLimitedAndLeftAloneKeepWhatIsStored) {
    start(32, 0);
    // A servo map in units of 20 mV holds 255 (5100 mV) while its spins end at 5000; an extra value of
    // the Inj-1A page holds 25500 rpm while its spin ends at 25000; an IAP row above the spins' 1000 kPa.
    Put(image, FieldId::ServoInProcent, 0);
    Put(image, FieldId::ServoInValue, 255, 3);
    Put(image, FieldId::IapRpmMax, 255);
    image.IapAxis[9] = 1500;
    MapPanelValues v = show(PageServoIn);
    EXPECT_EQ(v.cellMax, 5000);
    v.cells[3] = v.cellMax;  // what the spin shows
    v.cells[4] = v.cells[4] == 0 ? 20 : v.cells[4] - 20;
    store(PageServoIn, v);
    EXPECT_EQ(V(image, FieldId::ServoInValue, 3), 255);

    v = show(PageJet1A);
    v.cells[0] += 1;
    store(PageJet1A, v);
    EXPECT_EQ(V(image, FieldId::IapRpmMax), 255);

    v = show(PageIap);
    v.cells[0] += 1;
    store(PageIap, v);
    EXPECT_EQ(image.IapAxis[9], 1500);
}

TEST_F(MapPageModelTest, IdenticalModeMakesTheOtherChannelsCopiesOfInj1A) {
    start(17, 2);
    EXPECT_TRUE(ChannelModeOf(image).identical);
    // Differences left over from another mode are overwritten as soon as Inj-1A is shown.
    Put(image, FieldId::RpmJet4A, V(image, FieldId::RpmJet4A, 7) + 2, 7);
    Put(image, FieldId::Jet2A, V(image, FieldId::Jet2A, 3) + 50, 3);
    MapPanelValues v = show(PageJet1A);
    for (FieldId axis : kFollowerAxes) {
        for (int c = 0; c < MapColumns; ++c)
            ASSERT_EQ(V(image, axis, c), V(image, FieldId::RpmJet1A, c)) << Field(axis).name;
    }
    EXPECT_EQ(V(image, FieldId::Jet2A, 3), V(image, FieldId::Jet1A, 3));

    v.rpm[4] += 200;
    v.cells[20] = 130;
    v.cells[149] = 55;
    store(PageJet1A, v);
    for (FieldId axis : kFollowerAxes) {
        for (int c = 0; c < MapColumns; ++c)
            EXPECT_EQ(V(image, axis, c), V(image, FieldId::RpmJet1A, c)) << Field(axis).name << c;
    }
    for (FieldId map : kFollowerMaps) {
        for (int k = 0; k < MapCells; ++k)
            ASSERT_EQ(V(image, map, k), V(image, FieldId::Jet1A, k)) << Field(map).name << " " << k;
    }
    EXPECT_EQ(V(image, FieldId::Jet1A, 20), RawFromPercent(130, work.referenceOf(InjectionMap::Jet1A)[20]));
}

TEST_F(MapPageModelTest, SeparateChannelsIgnoreInj1AChanges) {
    start(32, 0);
    const DeviceImage before = image;
    MapPanelValues v = show(PageJet1A);
    v.rpm[3] += 100;
    v.cells[0] = 150;
    store(PageJet1A, v);
    EXPECT_EQ(V(image, FieldId::RpmJet1A, 3), V(before, FieldId::RpmJet1A, 3) + 1);
    for (FieldId axis : kFollowerAxes) EXPECT_EQ(V(image, axis, 3), V(before, axis, 3)) << Field(axis).name;
    for (InjectionMap m : kFollowers) EXPECT_EQ(work.percentOf(m)[0], 100);
    for (FieldId map : kFollowerMaps) EXPECT_EQ(V(image, map, 0), V(before, map, 0)) << Field(map).name;
}

TEST_F(MapPageModelTest, CellsAndExtraValuesAreScaledPerPage) {
    start(32, 1);
    // Advance: cylinder corrections around 100, degrees as stored, the TPS box stored only here.
    MapPanelValues v = show(PageAdvance);
    EXPECT_EQ(v.cellMax, 60);
    EXPECT_EQ(v.misc[0], V(image, FieldId::AdvCorrCyl1) - 100);
    v.misc[1] = -7;
    v.cells[5] = 33;
    v.tps = !v.tps;
    v.all = true;
    const bool tps = v.tps;
    store(PageAdvance, v);
    EXPECT_EQ(V(image, FieldId::AdvCorrCyl2), 93);
    EXPECT_EQ(V(image, FieldId::Advance, 5), 33);
    EXPECT_EQ(V(image, FieldId::AdvanceTps) != 0, tps);
    EXPECT_EQ(all[PageAdvance], 1);
    // Another map page shows the TPS box but never stores it, and has its own All state.
    v = show(PageJetB);
    EXPECT_EQ(v.tps, tps);
    EXPECT_FALSE(v.all);
    v.tps = !tps;
    store(PageJetB, v);
    EXPECT_EQ(V(image, FieldId::AdvanceTps) != 0, tps);

    // Inj-1A: the changeover rpm in hundreds.
    v = show(PageJet1A);
    EXPECT_EQ(v.misc[2], 100 * V(image, FieldId::IapRpmMin));
    v.misc[3] = 3150;
    store(PageJet1A, v);
    EXPECT_EQ(V(image, FieldId::IapRpmMax), 31);

    // Intake servo in units of 20 unless in percent; the hysteresis in fives, the excitation in 250s.
    Put(image, FieldId::ServoInProcent, 0);
    Put(image, FieldId::ServoInValue, 40, 9);
    v = show(PageServoIn);
    EXPECT_EQ(v.cellStep, 20);
    EXPECT_EQ(v.cellMax, 5000);
    EXPECT_EQ(v.cells[9], 800);
    v.cells[9] = 1010;
    v.misc[0] = 35;
    v.misc[3] = 1000;
    store(PageServoIn, v);
    EXPECT_EQ(V(image, FieldId::ServoInValue, 9), 50);
    EXPECT_EQ(V(image, FieldId::ServoInHyst), 7);
    EXPECT_EQ(V(image, FieldId::ServoInExcitation), 4);

    // The IAP row axis is taken from the panel on every map page, and it is no image byte.
    const DeviceImage beforeIap = image;
    v = show(PageJetB);
    v.iap[9] = 777;
    store(PageJetB, v);
    EXPECT_EQ(image.IapAxis[9], 777);
    EXPECT_EQ(image.bytes(), beforeIap.bytes());
}

TEST_F(MapPageModelTest, StepMotorOfTheIntakeServoIsSwitchedOffForType46) {
    start(46, 1);
    Put(image, FieldId::ServoInStep, 1);
    MapPanelValues v = show(PageServoIn);
    EXPECT_FALSE(v.stepMotor);
    EXPECT_EQ(V(image, FieldId::ServoInStep), 0);
    start(32, 1);
    Put(image, FieldId::ServoInStep, 1);
    EXPECT_TRUE(show(PageServoIn).stepMotor);
}

}  // namespace
}  // namespace torvane
