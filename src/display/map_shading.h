#pragma once
// "Colour cells by value": a light shade for each map cell on a scale from the map's lowest to its
// highest value, light enough that the cell's black digits stay readable.

#include <cstdint>
#include <span>

namespace torvane {

struct Shade {
    std::uint8_t red = 255;
    std::uint8_t green = 255;
    std::uint8_t blue = 255;
    bool operator==(const Shade&) const = default;
};

// Low values blue, the middle white-ish, high values red; a map whose cells are all equal is
// shaded in the middle colour.
Shade ValueShade(int value, int lowest, int highest);

// Lowest and highest of the values (0, 0 for none).
struct ValueRange {
    int lowest = 0;
    int highest = 0;
};
ValueRange RangeOf(std::span<const int> values);

}  // namespace torvane
