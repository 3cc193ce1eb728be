#include "link/unit_header.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace torvane {
namespace {

using namespace header_layout;

std::array<std::uint8_t, 300> Header(const char* name, int version, int day, int month, int year, int hour,
                                     int minute) {
    std::array<std::uint8_t, 300> h{};
    std::memcpy(h.data(), name, 3);
    h[HeaderVersionAt] = static_cast<std::uint8_t>(version);
    h[HeaderDayAt] = static_cast<std::uint8_t>(day);
    h[HeaderMonthAt] = static_cast<std::uint8_t>(month);
    h[HeaderYearAt] = static_cast<std::uint8_t>(year);
    h[HeaderHourAt] = static_cast<std::uint8_t>(hour);
    h[HeaderMinuteAt] = static_cast<std::uint8_t>(minute);
    h[HeaderDataVersionAt] = 70;
    return h;
}

TEST(UnitHeader, ShortNameDateAndTime) {
    const auto t = DecodeUnitHeader(Header("Jet", 1, 25, 13, 2, 16, 21));
    EXPECT_EQ(t.name, "Jet01");
    EXPECT_EQ(t.date, "25. 2.2002");
    EXPECT_EQ(t.time, "16:21");

    const auto u = DecodeUnitHeader(Header("Ign", 42, 5, 32, 7, 9, 5));
    EXPECT_EQ(u.name, "Ign42");
    EXPECT_EQ(u.date, " 5. 3.2007");
    EXPECT_EQ(u.time, "09:05");
}

TEST(UnitHeader, MonthTableAndUnknownCodes) {
    const std::array<std::uint8_t, 12> codes = {25, 13, 32, 35, 39, 45, 43, 29, 40, 38, 51, 12};
    const std::array<const char*, 12> shown = {" 1", " 2", " 3", " 4", " 5", " 6",
                                               " 7", " 8", " 9", "10", "11", "12"};
    for (std::size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(MonthText(codes[i]), shown[i]) << i;
    EXPECT_EQ(MonthText(0), "00");
    EXPECT_EQ(MonthText(2), "00");
}

TEST(UnitHeader, LongNameWinsAndStopsAtZeroOrThirtyCharacters) {
    auto h = Header("Jet", 1, 1, 25, 8, 0, 0);
    std::memcpy(h.data() + HeaderLongNameAt, "Race unit", 9);
    EXPECT_EQ(DecodeUnitHeader(h).name, "Race unit");
    std::fill(h.begin() + HeaderLongNameAt, h.begin() + HeaderLongNameAt + 40, std::uint8_t{'x'});
    EXPECT_EQ(DecodeUnitHeader(h).name, std::string(30, 'x'));
}

TEST(UnitHeader, GarbageStaysReadableAndShortInputIsSafe) {
    auto h = Header("J\x01\xE9", 250, 200, 99, 123, 255, 60);
    const auto t = DecodeUnitHeader(h);
    EXPECT_EQ(t.name, "J??250");
    EXPECT_EQ(t.date, "200.00.20123");
    EXPECT_EQ(t.time, "255:60");
    EXPECT_EQ(HeaderDataVersion(h), 70);

    const auto empty = DecodeUnitHeader({});
    EXPECT_EQ(empty.name, "00");
    EXPECT_EQ(empty.date, " 0.00.2000");
    EXPECT_EQ(HeaderDataVersion({}), 0);
}

}  // namespace
}  // namespace torvane
