#pragma once
// The line layout of a parameter file (*.ign) as data: sections in the order the writer emits them,
// each a list of lines with a literal prefix and the image fields written on that line. The writer
// walks it line by line; the reader walks a section's values in the same order, ignoring line breaks.

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace torvane {

// How one value is written and read back.
enum class ValueCode {
    Byte,     // (b + add) * mul as "%5u "
    Word,     // big-endian word as "%5u "
    Signed,   // b - 100 as "%5d "
    Flag5,    // "    1" / "    0"
    Flag6,    // "    1 " / "    0 "
    Flag7,    // "     1 " / "     0 "
    ServoIn,  // byte times the intake servo value multiplier
    ServoEx,  // byte times the exhaust servo value multiplier
    IdlePos,  // byte times the idle position multiplier
    IapAxis,  // a word of the IAP row axis kept beside the image
};

// A run of `count` consecutive elements of one field, resolved to image positions.
struct LayoutItem {
    ValueCode code;
    std::string_view field;  // name in the field table
    std::size_t index;       // image index of the first element (element number for IapAxis)
    int count;
    int mul;
    int add;
};

struct LayoutLine {
    std::string_view prefix;
    std::vector<LayoutItem> items;
};

inline constexpr int FullOpenOnly = -1;

struct LayoutSection {
    std::string_view key;
    int page;      // page on which an open for the actual page applies it, or FullOpenOnly
    bool coupled;  // pages 4-6: applied by a page open only while the channels are not coupled
    std::vector<LayoutLine> lines;
};

// Every section of the file from BIKE to DISPLAY, in writing order (the key line and MEMO are
// handled by the writer and reader themselves).
std::span<const LayoutSection> ParameterLayout();

// The section with this key, or nullptr.
const LayoutSection* FindLayoutSection(std::string_view key);

// Count of values a section carries.
int ValueCountOf(const LayoutSection& section);

}  // namespace torvane
