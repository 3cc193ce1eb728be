#pragma once
// The unit's header (block 0 of the device image): program name, build date and time, data version.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace torvane {

// Byte positions of the header fields.
namespace header_layout {
inline constexpr std::size_t HeaderNameAt = 0;
inline constexpr std::size_t HeaderNameLength = 3;
inline constexpr std::size_t HeaderVersionAt = 3;
inline constexpr std::size_t HeaderDayAt = 4;
inline constexpr std::size_t HeaderMonthAt = 5;
inline constexpr std::size_t HeaderYearAt = 6;
inline constexpr std::size_t HeaderHourAt = 7;
inline constexpr std::size_t HeaderMinuteAt = 8;
inline constexpr std::size_t HeaderDataVersionAt = 10;
inline constexpr std::size_t HeaderLongNameAt = 16;
inline constexpr std::size_t HeaderLongNameLength = 30;
}  // namespace header_layout

// The three version texts shown in LabelVerze1 (name), LabelVerze2 (date) and LabelVerze3 (time).
struct UnitHeaderTexts {
    std::string name;
    std::string date;
    std::string time;
    friend bool operator==(const UnitHeaderTexts&, const UnitHeaderTexts&) = default;
};

// Two-character month for the unit's month code (low byte of the letter sum of "Jan", "Feb", ...);
// "00" for an unknown code.
std::string MonthText(std::uint8_t code);

// Builds the version texts from a header; a header shorter than 46 bytes reads as zeros beyond its end.
UnitHeaderTexts DecodeUnitHeader(std::span<const std::uint8_t> header);

// HeaderDataVersion of a header (0 when the header is too short to hold it).
std::uint8_t HeaderDataVersion(std::span<const std::uint8_t> header);

}  // namespace torvane
