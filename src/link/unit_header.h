#pragma once
// The unit's header (block 0 of the device image): program name, build date and time, data version.
// The texts are decoded by the image (MonthText, DecodeUnitHeader, HeaderDataVersion in device_image.h).

#include <cstddef>

#include "image/device_image.h"

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

}  // namespace torvane
