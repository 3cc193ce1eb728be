#include "display/map_shading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace torvane {
namespace {

// Every channel stays at 160 or above, so no shade comes near the live green (0, 255, 0) or the
// blended yellow (255, 255, 0), both of which have a zero blue channel.
constexpr Shade kLow{170, 200, 255};
constexpr Shade kMiddle{245, 245, 245};
constexpr Shade kHigh{255, 180, 160};

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, double t) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

Shade Mix(const Shade& a, const Shade& b, double t) {
    return {Mix(a.red, b.red, t), Mix(a.green, b.green, t), Mix(a.blue, b.blue, t)};
}

}  // namespace

Shade ValueShade(int value, int lowest, int highest) {
    if (lowest > highest) std::swap(lowest, highest);
    if (lowest == highest) return kMiddle;
    // In 64 bits: the span of two ints does not fit in one.
    const long long v = std::clamp(value, lowest, highest);
    const double t =
        static_cast<double>(v - lowest) / static_cast<double>(static_cast<long long>(highest) - lowest);
    return t < 0.5 ? Mix(kLow, kMiddle, 2.0 * t) : Mix(kMiddle, kHigh, 2.0 * t - 1.0);
}

ValueRange RangeOf(std::span<const int> values) {
    if (values.empty()) return {};
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    return {*lo, *hi};
}

}  // namespace torvane
