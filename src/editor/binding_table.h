#pragma once
// The binding of the fixed pages: one row per control (or per run-time array of controls) naming the
// image field it shows, how, and the range of its spin. PageToImage and ImageToPage of every fixed page
// are these rows applied in order by one generic binder.

#include <span>
#include <string>
#include <string_view>

#include "image/fields.h"

namespace torvane {

class DeviceImage;

enum class BindKind {
    Byte,       // spin: shown = a * b + c, stored = (shown - c) / a in 8 bits
    Word,       // spin: shown = the big-endian word
    Check,      // check box: checked when the byte is non-zero, stored as 0 or 1
    Radio,      // radio group: item index
    Combo,      // combo box: item index (an empty selection stores 255)
    BikeCombo,  // the motorcycle type list: list line <-> type code
    IdleServo,  // spin: like Byte with a = the step the idle mode gives (IdleServoScaleOf)
};

struct Binding {
    int page;
    std::string_view control;  // objectName; for count > 1 the elements are "control[i]"
    FieldId field;
    BindKind kind;
    int count = 1;         // number of controls of a run-time array
    int firstElement = 0;  // field element of control 0
    int a = 1;             // shown = a * stored + c
    int c = 0;
    int min = 0;  // spin range and step
    int max = 0;
    int step = 1;
};

// Every row of every fixed page, pages in index order, rows in the order the passes handle them.
std::span<const Binding> BindingTable();
// The rows of one page (empty for map pages and the Monitor page).
std::span<const Binding> BindingsOfPage(int page);
// The row of a control, by objectName (array elements by their base name); nullptr when unbound.
const Binding* FindBinding(std::string_view control);
// objectName of element i of a row: the name itself for single controls, "name[i]" for arrays.
std::string ControlName(const Binding& row, int i);
std::string ArrayElementName(std::string_view base, int i);

const FieldInfo& BoundField(const Binding& row);

// The value control i of the row shows for the image: a spin position, a check state (0/1), an item.
// idleStep is the step of the idle servo spins for IdleServo rows.
int ShownValue(const Binding& row, const DeviceImage& image, int i, int idleStep = 1);
// Stores what control i of the row holds. A BikeCombo row leaves Bike alone for the separator line.
void StoreShownValue(const Binding& row, DeviceImage& image, int i, int shown, int idleStep = 1);

}  // namespace torvane
