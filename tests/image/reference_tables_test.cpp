#include "image/reference_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

namespace torvane {
namespace {

std::vector<int> Values(std::span<const std::uint16_t> s) {
    return {s.begin(), s.end()};
}
std::vector<int> Values(std::span<const std::int16_t> s) {
    return {s.begin(), s.end()};
}

std::vector<int> Row(const RefTable& t, int row) {
    return Values(
        t.values.subspan(static_cast<std::size_t>(row * t.columns), static_cast<std::size_t>(t.columns)));
}

// Reference groups as the catalogue lists them, written out independently of the lookup.
int ExpectedGroup(int code) {
    static const std::vector<std::pair<int, std::vector<int>>> groups = {
        {1, {0, 1, 49}},      {2, {2}},           {3, {3}},           {4, {4}},       {5, {5}},
        {6, {6, 13, 14, 15}}, {7, {7, 10, 16}},   {8, {11}},          {9, {12}},      {10, {17, 18, 42}},
        {11, {19, 20}},       {12, {22, 23, 24}}, {13, {26, 27, 28}}, {14, {29}},     {15, {30, 31}},
        {16, {35, 36}},       {17, {38, 39, 41}}, {18, {40}},         {19, {43, 47}}, {20, {44}},
        {21, {45}},           {22, {46, 48}},
    };
    if (code >= 50) return 14;
    for (const auto& [group, codes] : groups)
        if (std::find(codes.begin(), codes.end(), code) != codes.end()) return group;
    return 23;
}

bool HasWideTables(int code) {
    return code >= 50 || code == 2 || code == 17 || code == 18 || code == 29 || code == 42 || code == 46 ||
           code == 48;
}

TEST(ReferenceTables, EveryCodeFallsIntoItsGroupWithCustomCodesInGroup14) {
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(ReferenceGroupOfBike(static_cast<std::uint8_t>(code)), ExpectedGroup(code)) << code;
    for (int code : {8, 9, 21, 25, 32, 33, 34, 37}) EXPECT_EQ(ReferenceGroupOfBike(code), 23);
}

TEST(ReferenceTables, CodesOfOneGroupShareTheTableAndEachFamilyHas23) {
    for (RefFamily family : {RefFamily::Ext, RefFamily::Int, RefFamily::Iap}) {
        std::set<const std::uint16_t*> distinct;
        for (int code = 0; code < 256; ++code) {
            const RefTable& t = ReferenceTableForBike(family, static_cast<std::uint8_t>(code));
            distinct.insert(t.values.data());
            const int expectedColumns = HasWideTables(code) ? 15 : 10;
            ASSERT_EQ(t.columns, expectedColumns) << code;
            ASSERT_EQ(t.values.size(), static_cast<std::size_t>(10 * expectedColumns)) << code;
        }
        EXPECT_EQ(distinct.size(), 23u);
    }
    EXPECT_EQ(ReferenceTableForBike(RefFamily::Ext, 0).values.data(),
              ReferenceTableForBike(RefFamily::Ext, 49).values.data());
    EXPECT_EQ(ReferenceTableForBike(RefFamily::Int, 29).values.data(),
              ReferenceTableForBike(RefFamily::Int, 200).values.data());
}

TEST(ReferenceTables, PressureFamilyJoinsGroups2And14AndSplitsGroup22) {
    auto data = [](RefFamily f, int code) { return ReferenceTableForBike(f, code).values.data(); };
    EXPECT_EQ(data(RefFamily::Iap, 2), data(RefFamily::Iap, 29));
    EXPECT_EQ(data(RefFamily::Iap, 2), data(RefFamily::Iap, 50));
    EXPECT_EQ(data(RefFamily::Iap, 2), data(RefFamily::Iap, 255));
    EXPECT_NE(data(RefFamily::Iap, 46), data(RefFamily::Iap, 48));
    for (RefFamily f : {RefFamily::Ext, RefFamily::Int}) {
        EXPECT_NE(data(f, 2), data(f, 29));
        EXPECT_EQ(data(f, 46), data(f, 48));
    }
}

TEST(ReferenceTables, TellingRowsOfGroups1And10) {
    const RefTable& g1 = ReferenceTableForBike(RefFamily::Ext, 0);
    EXPECT_EQ(Row(g1, 0), (std::vector<int>{250, 187, 214, 214, 161, 121, 127, 127, 127, 127}));
    EXPECT_EQ(Row(g1, 9), (std::vector<int>{650, 687, 763, 736, 800, 898, 900, 900, 900, 900}));
    const RefTable& g10 = ReferenceTableForBike(RefFamily::Ext, 42);
    EXPECT_EQ(Row(g10, 0), (std::vector<int>{93, 59, 35, 25, 24, 19, 21, 22, 22, 25, 15, 24, 24, 24, 24}));
    EXPECT_EQ(Row(g10, 9),
              (std::vector<int>{472, 317, 265, 346, 413, 375, 441, 465, 487, 504, 495, 484, 473, 473, 473}));
}

TEST(ReferenceTables, InjectionRisesWithLoadAndStaysInsideTheMapRange) {
    for (RefFamily family : {RefFamily::Ext, RefFamily::Int, RefFamily::Iap}) {
        for (int code = 0; code <= 50; ++code) {
            const RefTable& t = ReferenceTableForBike(family, code);
            const auto columns = static_cast<std::size_t>(t.columns);
            for (std::size_t c = 0; c < columns; ++c) {
                for (std::size_t r = 0; r < 10; ++r) {
                    const int v = t.values[r * columns + c];
                    // In µs the value must stay under the 60000 µs ceiling of the injection maps.
                    EXPECT_GT(v, 0);
                    EXPECT_LE(v * 10, 60000);
                    if (r > 0) {
                        EXPECT_LE(t.values[(r - 1) * columns + c], v) << code << " r" << r << " c" << c;
                    }
                }
                // Full load needs clearly more fuel than a closed throttle or low pressure.
                EXPECT_GT(t.values[9 * columns + c], t.values[c] * 3 / 2) << code << " c" << c;
            }
        }
    }
}

TEST(ReferenceTables, InnerCylindersStayCloseToOuterOnes) {
    for (int code = 0; code < 50; ++code) {
        const RefTable& ext = ReferenceTableForBike(RefFamily::Ext, code);
        const RefTable& in = ReferenceTableForBike(RefFamily::Int, code);
        ASSERT_EQ(ext.values.size(), in.values.size());
        for (std::size_t k = 0; k < ext.values.size(); ++k) {
            EXPECT_NEAR(in.values[k], ext.values[k], ext.values[k] / 10 + 1) << code << " " << k;
        }
    }
}

TEST(ReferenceTables, FullLoadFuelFollowsATorqueCurve) {
    // The full-throttle row peaks in the upper half of the speed range, not at idle or at the top.
    for (int code = 0; code < 50; ++code) {
        const RefTable& t = ReferenceTableForBike(RefFamily::Iap, code);
        const std::vector<int> full = Row(t, 9);
        const auto peak = std::max_element(full.begin() + 1, full.end()) - full.begin();
        EXPECT_GE(peak, t.columns / 3) << code;
        EXPECT_LT(full[1], full[static_cast<std::size_t>(peak)]) << code;
    }
}

bool HasFullAdvanceMap(int code) {
    return code == 2 || code == 17 || code == 18 || code == 29 || code == 42 || code == 46 || code == 48;
}

TEST(AdvanceTables, ShapeFollowsTheAdvanceSourceAnd18TablesServeAllTypes) {
    std::set<const std::int16_t*> distinct;
    for (int code = 0; code < 50; ++code) {
        const AdvanceTable* t = AdvanceTableForBike(code);
        ASSERT_NE(t, nullptr) << code;
        EXPECT_EQ(t->fullMap, HasFullAdvanceMap(code)) << code;
        EXPECT_EQ(t->degrees.size(), t->fullMap ? 150u : 15u) << code;
        for (int v : Values(t->degrees)) {
            EXPECT_GE(v, 0);
            EXPECT_LE(v, 60);
        }
        distinct.insert(t->degrees.data());
    }
    EXPECT_EQ(distinct.size(), 18u);
    for (int code : {50, 100, 255}) EXPECT_EQ(AdvanceTableForBike(code), nullptr);
}

TEST(AdvanceTables, TellingRowsAndDistinctRowsOfFullMaps) {
    EXPECT_EQ(Values(AdvanceTableForBike(32)->degrees),
              (std::vector<int>{16, 30, 38, 35, 39, 40, 40, 40, 39, 39, 39, 37, 34, 34, 34}));
    const auto d17 = Values(AdvanceTableForBike(17)->degrees);
    EXPECT_EQ(std::vector<int>(d17.begin(), d17.begin() + 15),
              (std::vector<int>{0, 5, 25, 38, 36, 38, 38, 38, 38, 38, 38, 38, 38, 38, 38}));
    EXPECT_EQ(std::vector<int>(d17.end() - 15, d17.end()),
              (std::vector<int>{5, 10, 20, 27, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30}));
    for (int code = 0; code < 50; ++code) {
        if (!HasFullAdvanceMap(code)) continue;
        const auto d = Values(AdvanceTableForBike(code)->degrees);
        std::set<std::vector<int>> rows;
        for (int r = 0; r < 10; ++r)
            rows.insert(std::vector<int>(d.begin() + 15 * r, d.begin() + 15 * r + 15));
        EXPECT_EQ(rows.size(), 10u) << code;
    }
}

TEST(AdvanceTables, CurvesRiseFromIdleAndStayUnderTheLobeLimitOfSingles) {
    for (int code = 0; code < 50; ++code) {
        const auto d = Values(AdvanceTableForBike(code)->degrees);
        const int lastRow = static_cast<int>(d.size()) - 15;
        const int top = *std::max_element(d.begin() + lastRow, d.end());
        EXPECT_LT(d[static_cast<std::size_t>(lastRow)], top)
            << code;  // less advance at 1000 rpm than in the mid range
        EXPECT_GE(top, 25) << code;
        EXPECT_LE(top, 45) << code;
    }
    // Code 8 cuts advance at base advance (10) + lobe width (40), code 25 at 10 + 50.
    for (int v : Values(AdvanceTableForBike(8)->degrees)) EXPECT_LE(v, 50);
    for (int v : Values(AdvanceTableForBike(25)->degrees)) EXPECT_LE(v, 60);
}

TEST(InjectionBTables, OnlyTheNamedTypesUseTheSecondInjectors) {
    const std::set<int> users = {6, 13, 14, 15, 23, 24, 29, 34, 37, 48};
    for (int code = 0; code < 50; ++code) {
        const auto* t = InjectionBTableForBike(code);
        ASSERT_NE(t, nullptr) << code;
        const bool any = std::any_of(t->begin(), t->end(), [](std::uint8_t v) { return v != 0; });
        EXPECT_EQ(any, users.count(code) == 1) << code;
        for (std::size_t c = 0; c < 15; ++c) {
            for (std::size_t r = 0; r < 10; ++r) {
                EXPECT_LE((*t)[15 * r + c], 100);
                if (r > 0) {
                    EXPECT_LE((*t)[15 * (r - 1) + c], (*t)[15 * r + c]) << code;
                }
            }
        }
    }
    EXPECT_EQ(InjectionBTableForBike(6), InjectionBTableForBike(15));
    EXPECT_EQ(InjectionBTableForBike(23), InjectionBTableForBike(24));
    EXPECT_EQ(InjectionBTableForBike(34), InjectionBTableForBike(37));
    EXPECT_NE(InjectionBTableForBike(29), InjectionBTableForBike(48));
    EXPECT_EQ(InjectionBTableForBike(50), nullptr);
}

TEST(InjectionBTables, TellingRowOfCode6WithClosedThrottleRowsEmpty) {
    const auto& t = *InjectionBTableForBike(13);
    EXPECT_EQ(std::vector<int>(t.begin() + 135, t.end()),
              (std::vector<int>{0, 0, 0, 0, 9, 16, 24, 35, 47, 53, 59, 54, 50, 50, 50}));
    EXPECT_TRUE(std::all_of(t.begin(), t.begin() + 30, [](std::uint8_t v) { return v == 0; }));
}

// Servo scalars of each type: intake procent, intake mode, intake hysteresis, exhaust procent,
// exhaust hysteresis (hysteresis stored in units of 5 mV).
struct ServoScalars {
    int inProcent, inMode, inHyst, exProcent, exHyst;
};

ServoScalars ScalarsOf(int code) {
    auto in = [code](std::initializer_list<int> codes) {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    };
    if (in({17, 18})) return {1, 0, 60, 1, 40};
    if (in({22})) return {1, 0, 30, 0, 40};
    if (in({23, 24})) return {1, 0, 30, 1, 40};
    if (in({29, 37})) return {1, 0, 30, 0, 80};
    if (in({42})) return {0, 1, 40, 0, 40};
    if (in({46, 48})) return {0, 0, 40, 0, 60};
    return {0, 1, 80, 0, 80};
}

TEST(ServoTables, HeadShapeAndUnitAgreeWithTheServoScalars) {
    for (int code = 0; code < 50; ++code) {
        const ServoScalars sc = ScalarsOf(code);
        for (bool intake : {true, false}) {
            SCOPED_TRACE(testing::Message() << "code " << code << (intake ? " intake" : " exhaust"));
            const ServoTable* t = ServoTableForBike(code, intake);
            ASSERT_NE(t, nullptr);
            const auto e = Values(t->entries);
            const int hyst = intake ? sc.inHyst : sc.exHyst;
            const bool percent = (intake ? sc.inProcent : sc.exProcent) == 1;
            const bool fullMap = intake && sc.inMode == 0;  // the exhaust servo always runs one row
            EXPECT_EQ(e[kServoHysteresisEntry], 5 * hyst);
            ASSERT_EQ(e.size(), kServoCellEntry + (fullMap ? 150u : 15u));
            EXPECT_EQ(ServoCellStep(code, intake), percent ? 1 : 20);
            for (std::size_t i = 0; i < 15; ++i) {
                const int rpm = e[kServoRpmEntry + i];
                EXPECT_EQ(rpm % 100, 0);
                // Stored as rpm / 100 within the axis bounds i ... i + 236.
                EXPECT_GE(rpm / 100, static_cast<int>(i));
                EXPECT_LE(rpm / 100, static_cast<int>(i) + 236);
                if (i > 0) {
                    EXPECT_LT(e[kServoRpmEntry + i - 1], rpm);
                }
            }
            for (std::size_t k = kServoCellEntry; k < e.size(); ++k) {
                if (percent) {
                    EXPECT_LE(e[k], 100);
                } else {
                    EXPECT_EQ(e[k] % 20, 0);
                    EXPECT_LE(e[k], 4980);  // 249 stored: the closed-throttle row may not exceed it
                }
            }
        }
    }
    EXPECT_EQ(ServoTableForBike(50, true), nullptr);
    EXPECT_EQ(ServoTableForBike(255, false), nullptr);
    EXPECT_EQ(ServoCellStep(77, true), 0);
}

TEST(ServoTables, TellingRowsOfCodes32And17) {
    const std::vector<int> stored32 = {100, 105, 110, 115, 120, 122, 125, 127,
                                       130, 132, 135, 137, 140, 142, 145};
    for (bool intake : {true, false}) {
        const auto e = Values(ServoTableForBike(32, intake)->entries);
        ASSERT_EQ(e.size(), 31u);
        EXPECT_EQ(e[kServoRpmEntry], 1000);
        EXPECT_EQ(e[kServoRpmEntry + 14], 16000);
        for (std::size_t i = 0; i < 15; ++i) EXPECT_EQ(e[kServoCellEntry + i], 20 * stored32[i]) << i;
    }
    const auto in17 = Values(ServoTableForBike(17, true)->entries);
    ASSERT_EQ(in17.size(), 166u);
    EXPECT_EQ(std::vector<int>(in17.begin() + 16, in17.begin() + 31), std::vector<int>(15, 40));
    EXPECT_EQ(std::vector<int>(in17.end() - 15, in17.end()),
              (std::vector<int>{45, 45, 50, 50, 75, 80, 99, 99, 99, 99, 99, 99, 99, 99, 99}));
    const auto ex17 = Values(ServoTableForBike(17, false)->entries);
    EXPECT_EQ(std::vector<int>(ex17.begin() + 1, ex17.begin() + 16),
              (std::vector<int>{300, 800, 1000, 6500, 6600, 7000, 8000, 9000, 10000, 11000, 12000, 13000,
                                14000, 15000, 16000}));
    EXPECT_EQ(std::vector<int>(ex17.begin() + 16, ex17.end()),
              (std::vector<int>{70, 49, 49, 98, 98, 98, 98, 98, 98, 98, 98, 98, 98, 98, 98}));
}

TEST(ServoTables, IntakeMapsOpenWithThrottle) {
    for (int code = 0; code < 50; ++code) {
        const auto e = Values(ServoTableForBike(code, true)->entries);
        if (e.size() != 166) continue;
        for (std::size_t c = 0; c < 15; ++c)
            for (std::size_t r = 1; r < 10; ++r)
                EXPECT_LE(e[16 + 15 * (r - 1) + c], e[16 + 15 * r + c]) << code << " r" << r << " c" << c;
    }
}

}  // namespace
}  // namespace torvane
