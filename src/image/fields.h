#pragma once
// The field table of the device image: every named field with its position, width, element count,
// display scaling, allowed stored range and parameter-file section. Later code refers to fields by
// name through this table, never by bare image indices.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace torvane {

class DeviceImage;

struct FieldInfo {
    std::string_view
        name;           // the field's name, verbatim (e.g. "Bike", "Jet1423Mode", "Advance", "WaterSensor")
    std::size_t index;  // image index of element 0
    int width;          // 1 = byte, 2 = big-endian word
    int count;          // number of elements (150 for a map, 15 for an rpm axis, 1 for a scalar)
    int scaleA;         // shown = scaleA * stored + offsetC (1 and 0 where the layout gives none)
    int offsetC;
    int minStored, maxStored;  // allowed stored range where the layout gives one (else 0..255 / 0..65535)
    std::string_view section;  // parameter-file section the field is written in ("" if none)
};

// The Iap row axis lives beside the image (DeviceImage::IapAxis), not in it. FindField("IapAxis")
// returns an entry with width 2, count 10 and this sentinel index, which lies outside the image so
// that byte/word helpers never touch image bytes through it.
inline constexpr std::size_t IapAxisIndex = static_cast<std::size_t>(-1);

std::span<const FieldInfo> FieldTable();            // every field of the layout, in index order
const FieldInfo* FindField(std::string_view name);  // nullptr when unknown

// Element access through the table. Out-of-range elements read 0 and are not written.
// Word fields are big-endian; for "IapAxis" these access DeviceImage::IapAxis.
int FieldValue(const DeviceImage& image, const FieldInfo& field, int element = 0);
void SetFieldValue(DeviceImage& image, const FieldInfo& field, int element, int value);
// Shown value = scaleA * stored + offsetC.
int FieldShown(const DeviceImage& image, const FieldInfo& field, int element = 0);

// The field by name; the name must be one of the table (checked in tests). Never returns nullptr:
// an unknown name yields an empty placeholder whose accesses read 0 and write nothing.
const FieldInfo& Field(std::string_view name);

// Element of the field named `name` (Field, then FieldValue): how the rules read the image by name.
inline int FieldValueOf(const DeviceImage& image, std::string_view name, int element = 0) {
    return FieldValue(image, Field(name), element);
}

}  // namespace torvane
