#include "files/field_differences.h"

#include <utility>

#include "image/conversions.h"

namespace torvane {

// A field's element as the pages show it. The servo maps and idle positions follow their mode.
long ShownFieldValue(const DeviceImage& image, const FieldInfo& field, int element) {
    const long stored = FieldValue(image, field, element);
    if (field.id == FieldId::ServoInValue) return stored * ServoMapStep(image, true);
    if (field.id == FieldId::ServoExValue) return stored * ServoMapStep(image, false);
    if (field.id == FieldId::IdleServoPoz) return stored * IdleServoScaleOf(image).step;
    return static_cast<long>(field.scaleA) * stored + field.offsetC;
}

std::string ShownFieldUnit(const DeviceImage& image, const FieldInfo& field) {
    if (field.id == FieldId::ServoInValue) return ServoMapStep(image, true) == 1 ? "%" : "";
    if (field.id == FieldId::ServoExValue) return ServoMapStep(image, false) == 1 ? "%" : "";
    if (field.id == FieldId::IdleServoPoz) return IdleServoScaleOf(image).step == 1 ? "%" : "";
    return std::string(field.unit);
}

bool IsConfigurationField(const FieldInfo& field) {
    // Block 0 is the unit's header, which files do not carry.
    return field.count > 0 && (field.index == IapAxisIndex || field.index >= BlockSize);
}

std::vector<FieldDifference> DifferingFields(const DeviceImage& left, const DeviceImage& right,
                                             std::optional<int> block) {
    std::vector<FieldDifference> out;
    for (const FieldInfo& field : FieldTable()) {
        if (!IsConfigurationField(field)) continue;
        if (field.id == FieldId::Memo) {
            if (block && *block != static_cast<int>(field.index / BlockSize)) continue;
            if (left.memoText() != right.memoText())
                out.push_back({"Memo", left.memoText(), right.memoText(), ""});
            continue;
        }
        const std::string unit = ShownFieldUnit(left, field);
        for (int e = 0; e < field.count; ++e) {
            if (block) {
                if (field.index == IapAxisIndex) break;  // kept beside the image, in no block
                const std::size_t at = field.index + static_cast<std::size_t>(e * field.width);
                if (static_cast<int>(at / BlockSize) != *block) continue;
            }
            const long l = ShownFieldValue(left, field, e);
            const long r = ShownFieldValue(right, field, e);
            if (l == r) continue;
            std::string name(field.name);
            if (field.count > 1) name += "[" + std::to_string(e) + "]";
            out.push_back({std::move(name), std::to_string(l), std::to_string(r), unit});
        }
    }
    return out;
}

std::string FormatDifference(const FieldDifference& d) {
    if (d.name == "Memo") return "Memo: \"" + d.left + "\" | \"" + d.right + "\"";
    std::string line = d.name + ": " + d.left + " | " + d.right;
    if (!d.unit.empty()) line += " " + d.unit;
    return line;
}

}  // namespace torvane
