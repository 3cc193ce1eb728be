#pragma once
// A normalized configuration of a motorcycle type, and lookups into what the rules return.
#include <algorithm>
#include <string>
#include <string_view>

#include "display/display_rules.h"
#include "display/live_point.h"
#include "image/defaults.h"
#include "image/fields.h"
#include "image/normalize.h"

namespace torvane::testing_support {

inline int V(const DeviceImage& image, FieldId name, int element = 0) {
    return FieldValue(image, Field(name), element);
}
inline void Put(DeviceImage& image, FieldId name, int value, int element = 0) {
    SetFieldValue(image, Field(name), element, value);
}
inline DeviceImage TypeDefaults(int code) {
    DeviceImage image;
    InjectionWork work;
    DefaultsState state;
    Put(image, FieldId::Bike, code);
    ApplyDefaults(image, work, state, false, 0);
    NormalizeImage(image);
    return image;
}

// The last shape the rules give an element (nullptr when they say nothing of it).
inline const ElementShape* Find(const DisplayShape& shape, std::string_view name) {
    const ElementShape* found = nullptr;
    for (const ElementShape& e : shape.elements) {
        if (e.name == name) found = &e;
    }
    return found;
}
inline bool Shown(const DisplayShape& shape, std::string_view name) {
    const ElementShape* e = Find(shape, name);
    return e != nullptr && e->visible.value_or(false);
}
inline std::string Cell(int k) {
    return "UpDownCell_Uni[" + std::to_string(k) + "]";
}

// The paint the tick gives element base[index] (None when it is not listed).
inline Paint PaintOf(const std::vector<Highlight>& h, std::string_view base, int index = -1) {
    Paint p = Paint::None;
    for (const Highlight& x : h) {
        if (x.base == base && x.index == index) p = x.paint;
    }
    return p;
}
inline int CountPaint(const std::vector<Highlight>& h, std::string_view base, Paint paint) {
    return static_cast<int>(std::count_if(
        h.begin(), h.end(), [&](const Highlight& x) { return x.base == base && x.paint == paint; }));
}

}  // namespace torvane::testing_support
