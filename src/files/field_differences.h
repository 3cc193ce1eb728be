#pragma once
// The configuration's fields as a tuner reads them: each element's value in the units the pages show
// (rpm, mV, °, %, µs ...), and the list of fields whose values differ between two images, named as
// the command-line tool names them (map cells as "Advance[16]").

#include <optional>
#include <string>
#include <vector>

#include "image/device_image.h"
#include "image/fields.h"

namespace torvane {

// A field's element as the pages show it; the servo maps and idle positions follow their mode.
long ShownFieldValue(const DeviceImage& image, const FieldInfo& field, int element);
// The unit of a field as shown ("" when it has none).
std::string ShownFieldUnit(const DeviceImage& image, const FieldInfo& field);
// Fields of the configuration: blocks 1 to 10 and the IAP axis beside them (not the unit's header).
bool IsConfigurationField(const FieldInfo& field);

struct FieldDifference {
    std::string name;  // "IgnLimiter", "Advance[16]", "Memo"
    std::string left;  // the value in the first image, as shown
    std::string right;
    std::string unit;
};
// Every element of the configuration whose shown value differs, in field table order. With a block,
// only the fields stored in that block (1..10).
std::vector<FieldDifference> DifferingFields(const DeviceImage& left, const DeviceImage& right,
                                             std::optional<int> block = std::nullopt);
// "IgnLimiter: 14000 | 13000 rpm"; the memo as Memo: "a" | "b".
std::string FormatDifference(const FieldDifference& d);

}  // namespace torvane
