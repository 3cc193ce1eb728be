#include "files/field_lookup.h"

#include "image/fields.h"

namespace torvane {

std::optional<FieldLocation> LocateField(std::string_view name) {
    const FieldInfo* f = FindField(name);
    if (!f) return std::nullopt;
    // The IAP row axis is addressed by element number in DeviceImage::IapAxis, not by image index.
    const std::size_t index = f->index == IapAxisIndex ? 0 : f->index;
    return FieldLocation{index, f->width, f->count};
}

}  // namespace torvane
