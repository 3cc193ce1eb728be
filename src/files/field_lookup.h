#pragma once
// Where a named field of the device image lives, for the file layout and the command-line tool.

#include <cstddef>
#include <optional>
#include <string_view>

namespace torvane {

struct FieldLocation {
    std::size_t index;  // image index of element 0
    int width;          // 1 for bytes, 2 for big-endian words
    int count;          // number of elements
};

// Location of a field by its name; IapAxis (kept beside the image) reports index 0, width 2, count 10.
std::optional<FieldLocation> LocateField(std::string_view name);

}  // namespace torvane
