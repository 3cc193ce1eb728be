#pragma once
// The names a screen reader speaks for the fields and check boxes of the window, in the window's
// language. A field's name is made of the captions the tuner sees around it: the frame it sits in, its
// row label, the column it stands under, a number where one caption serves several fields; the unit of
// the innermost caption that has one goes last ("Temperature sensors, Coolant, -10 °C [mV]"). The rows
// below say which captions make up each name; one function composes it.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class QWidget;

namespace torvane {

// One piece of a name.
struct NamePart {
    enum class Kind : std::uint8_t {
        None,             // no further part
        Caption,          // the caption of the control `control` in the caption table
        NumberedCaption,  // the caption of `control` + (value + element): "LabelGear" -> "LabelGear3"
        Message,          // numbered message `value`
        Number,           // the number value, + element when `indexed`
        Shown,            // the text a widget shows now: `control`, or element (value + element) of the
                          // run-time array `control` when `indexed`
    };
    Kind kind = Kind::None;
    std::string_view control;
    int value = 0;
    bool spaced = false;   // joined to the part before by a blank instead of ", "
    bool indexed = false;  // Number and Shown: counts along a run-time array
};

inline constexpr int AnyPage = -1;

struct AccessibleNameRow {
    // objectName of the control, or the base name of a run-time array whose elements are "name[i]".
    std::string_view control;
    // The map panel's extra fields serve every map page under other captions: the page a row is for.
    int page = AnyPage;
    std::array<NamePart, 5> parts{};
    // The unit when none of the captions carries one.
    std::string_view unit;
};

std::span<const AccessibleNameRow> AccessibleNameTable();

// The row naming the control with this objectName on the given page, and the element of a run-time
// array it is (0 for a single control); nullptr when the table has none.
const AccessibleNameRow* FindAccessibleNameRow(std::string_view objectName, int page, int* element);
// Whether the control takes its name from rows that each serve one page only.
bool HasPageNames(std::string_view objectName);

// What a widget shows now, for Shown parts: the text of a label or button, the title of a group box.
using ShownText = std::function<std::string(std::string_view objectName)>;

// The name of element `element` of the row's control in the language (0..3): the parts' captions
// without mnemonics, trailing colons or units, joined, then the innermost unit in brackets.
std::string ComposeAccessibleName(const AccessibleNameRow& row, int element, int languageIndex,
                                  const ShownText& shown);

// Names every field and check box of the window the table knows, in the language, and keeps the
// names of the map panel and of captions that the page shapes right when the page or the idle mode
// changes. Called after the captions of a language are set.
void ApplyAccessibleNames(QWidget& window, int languageIndex);

}  // namespace torvane
