#include "image/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "image/reference_tables.h"

namespace torvane {
namespace {

TEST(Catalogue, ListLinesAndCodesTranslateBothWays) {
    EXPECT_EQ(CodeOfItem(0), 1);
    EXPECT_EQ(CodeOfItem(1), 0);
    EXPECT_EQ(CodeOfItem(12), 6);
    EXPECT_EQ(CodeOfItem(27), 32);
    EXPECT_EQ(CodeOfItem(44), 49);
    EXPECT_EQ(CodeOfItem(49), 48);

    std::set<int> codes;
    for (int item = 0; item < MotorcycleTypeCount; ++item) {
        const int code = CodeOfItem(item);
        ASSERT_TRUE(IsMotorcycleCode(code)) << "item " << item;
        EXPECT_EQ(ItemOfCode(code), item);
        codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 50u);
}

TEST(Catalogue, SeparatorAndOutOfRangeValuesHaveNoType) {
    EXPECT_EQ(CodeOfItem(SeparatorItem), -1);
    EXPECT_EQ(CodeOfItem(-1), -1);
    EXPECT_EQ(CodeOfItem(51), -1);
    for (int code : {50, 99, 255, -1}) EXPECT_EQ(ItemOfCode(code), SeparatorItem) << code;

    EXPECT_EQ(ListTextOfItem(SeparatorItem), "-------------");
    EXPECT_EQ(ListTextOfItem(51), "");
    EXPECT_EQ(ListTextOfItem(-3), "");
}

TEST(Catalogue, ListTextsKeepTheirBlanks) {
    EXPECT_EQ(ListTextOfItem(13), "Honda CBR 1100 XX               ");
    EXPECT_EQ(ListTextOfItem(27), "Suzuki GSX-R600               01-03");
    EXPECT_EQ(ListTextOfItem(18), "Kawasaki  ZX6RR               03 ");
    EXPECT_EQ(ListTextOfItem(44), "Yamaha XT 660          ");
}

TEST(Catalogue, TypesThatShareOrSplitATriggerProfile) {
    for (int code : {22, 23, 31}) EXPECT_EQ(CatalogueRowOfCode(code).triggerProfile, 11) << code;
    EXPECT_EQ(CatalogueRowOfCode(24).triggerProfile, 16);
    EXPECT_EQ(CatalogueRowOfCode(28).triggerProfile, 16);

    EXPECT_EQ(TriggerProfileOfCode(2).kyvaniFaze2, (std::array<std::uint8_t, 3>{3, 9, 15}));
    EXPECT_EQ(TriggerProfileOfCode(42).top, (std::array<std::uint8_t, 4>{35, 21, 5, 0}));
}

TEST(Catalogue, OnlyCode40HasTheLastTypeConstantSet) {
    for (const CatalogueRow& row : CatalogueRows())
        EXPECT_EQ(row.bikeConstB1to3[2], row.code == 40 ? 1 : 0) << int(row.code);
}

TEST(Catalogue, TemperatureSensorsBuiltFromCountsWithMeansBetween) {
    const std::array<std::uint16_t, 9> common = {4049, 3401, 2713, 2037, 1420, 981, 642, 443, 299};
    const std::array<std::uint16_t, 9> codes3And4 = {4095, 3631, 3167, 2316, 1466, 1133, 801, 698, 596};
    const std::array<std::uint16_t, 9> water14 = {4110, 3328, 2546, 1866, 1187, 867, 547, 412, 278};

    for (int code : {3, 4}) {
        EXPECT_EQ(TemperatureSensorsOfCode(code).water, codes3And4) << code;
        EXPECT_EQ(TemperatureSensorsOfCode(code).air, codes3And4) << code;
    }
    for (int code : {14, 15}) {
        EXPECT_EQ(TemperatureSensorsOfCode(code).water, water14) << code;
        EXPECT_EQ(TemperatureSensorsOfCode(code).air, common) << code;
    }
    for (int code : {0, 13, 16, 32, 49}) {
        EXPECT_EQ(TemperatureSensorsOfCode(code).water, common) << code;
        EXPECT_EQ(TemperatureSensorsOfCode(code).air, common) << code;
    }
    EXPECT_EQ(SensorMvFromCount(1023), 5000);
    EXPECT_EQ(SensorMvFromCount(0), 0);
}

// Properties every row of the data tables must have; a mistyped value breaks one of them.
TEST(Catalogue, EveryTypeHasPlausibleTables) {
    for (int code = 0; code < MotorcycleTypeCount; ++code) {
        SCOPED_TRACE(code);
        const auto axis = RpmAxisOfCode(code);
        EXPECT_EQ(axis[0], 10);
        EXPECT_EQ(std::adjacent_find(axis.begin(), axis.end(), std::greater_equal<>()), axis.end());

        const auto& curve = NinePointCurveOfCode(code);
        EXPECT_EQ(curve[6], 100);
        EXPECT_TRUE(std::is_sorted(curve.rbegin(), curve.rend()));

        const CatalogueRow& row = CatalogueRowOfCode(code);
        EXPECT_EQ(row.code, code);
        EXPECT_LT(row.startLimiter, row.ignLimiter);

        const TemperatureSensors sensors = TemperatureSensorsOfCode(code);
        EXPECT_TRUE(std::is_sorted(sensors.water.rbegin(), sensors.water.rend()));

        const GearDefaults& gear = GearOfCode(code);
        EXPECT_EQ(gear.gearSystem == 0,
                  code == 17 || code == 18 || code == 24 || (code >= 27 && code <= 37) || code == 42);
    }
}

// Rows whose codes are easy to mix up with a neighbouring row.
TEST(Catalogue, GroupedRowsSpotChecks) {
    EXPECT_EQ(RpmAxisOfCode(5)[14], 100);
    EXPECT_EQ(RpmAxisOfCode(29)[5], 60);
    EXPECT_EQ(PositionsOfCode(6).pozB[2], 134);
    EXPECT_EQ(PositionsOfCode(32).pozA, PositionsOfCode(32).pozB);
    EXPECT_EQ(PositionsOfCode(29).modeB, 1);
    EXPECT_EQ(IdleOfCode(42).mode, 3);
    EXPECT_EQ(CorrectionsOfCode(46).akcelJet, 30);
    EXPECT_EQ(CorrectionsOfCode(48).akcelJet, 36);
    EXPECT_EQ(PressureSensorsOfCode(0)[1], 1556);
}

TEST(Catalogue, CodesWithoutATypeGetTheStartupTypesRows) {
    for (int code : {50, 200, -1}) {
        EXPECT_EQ(CatalogueRowOfCode(code).code, StartupBikeCode);
        EXPECT_EQ(RpmAxisOfCode(code), RpmAxisOfCode(StartupBikeCode));
        EXPECT_EQ(&IdleOfCode(code), &IdleOfCode(StartupBikeCode));
        EXPECT_EQ(TemperatureSensorsOfCode(code).water, TemperatureSensorsOfCode(StartupBikeCode).water);
    }
}

// The catalogue and the compiled-in map tables describe the same types; they must not disagree.
TEST(Catalogue, AgreesWithTheCompiledInTables) {
    for (int code = 0; code < MotorcycleTypeCount; ++code) {
        SCOPED_TRACE(code);
        const auto bike = static_cast<std::uint8_t>(code);
        const AdvanceTable* advance = AdvanceTableForBike(bike);
        ASSERT_NE(advance, nullptr);
        EXPECT_EQ(advance->fullMap, CatalogueRowOfCode(code).advanceMap);

        const ServoScalars& servo = ServoScalarsOfCode(code);
        EXPECT_EQ(ServoCellStep(bike, true), servo.inProcent ? 1 : 20);
        EXPECT_EQ(ServoCellStep(bike, false), servo.exProcent ? 1 : 20);
        const ServoTable* in = ServoTableForBike(bike, true);
        const ServoTable* ex = ServoTableForBike(bike, false);
        ASSERT_NE(in, nullptr);
        ASSERT_NE(ex, nullptr);
        EXPECT_EQ(in->entries.size(), kServoCellEntry + (servo.inMode == 0 ? 150u : 15u));
        EXPECT_EQ(in->entries[kServoHysteresisEntry], 5 * servo.inHyst);
        EXPECT_EQ(ex->entries[kServoHysteresisEntry], 5 * servo.exHyst);
    }
}

}  // namespace
}  // namespace torvane
