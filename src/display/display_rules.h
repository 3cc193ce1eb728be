#pragma once
// Page shaping: for the active page and the image, which named element of the window is visible and
// enabled, which caption, colour and range it carries, and how the shared map panel is laid out. The
// rules are plain functions of their inputs; a thin layer on the widgets applies what they return.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/device_image.h"

namespace torvane {

// The colours of the window's controls. None leaves an element's colour as it is. Buttons know only
// ButtonFace (normal) and Bold (the capture button of the engaged gear).
enum class Paint : std::uint8_t { None, Window, ButtonFace, Green, Yellow, Aqua, Red, Bold };

struct SpinRange {
    int min, max, step;
    bool operator==(const SpinRange&) const = default;
};

// What one named element should look like. Unset parts are left alone.
struct ElementShape {
    std::string name;  // objectName; spins carry their up-down's name ("UpDownTop2")
    std::optional<bool> visible;
    std::optional<bool> enabled;
    std::optional<bool> upDowns;  // the arrows of a spin
    std::optional<std::string> text;
    Paint color = Paint::None;
    std::optional<SpinRange> range;
};

// The display modes of a map page.
enum MapMode : int {
    MapHidden = 0,         // nothing of the map
    MapEditable = 1,       // full map, editable
    MapReadOnly = 2,       // full map, read-only (the coupled channels)
    MapTimes = 3,          // full map as times, edited through the up-downs
    MapTimesReadOnly = 4,  // full map as times, read-only
    MapFullThrottle = 5,   // row 9 only
    MapLowestRpm = 6,      // column 0 only
};

// What the window's state adds to the image.
struct DisplayInputs {
    int page = 0;
    bool ms = false;        // CheckBoxZobrMs_Uni
    bool progHned = false;  // CheckBoxProgHned
    int language = 0;
};

struct DisplayShape {
    std::vector<ElementShape> elements;
    int mapMode = -1;                     // -1 when the active page is no map page
    bool row9AtTop = false;               // mode 5 shows row 9 at the height of row 0
    std::array<bool, 3> injectionTabs{};  // Inj-2A, Inj-3A, Inj-4A shown
    int jetMenu = 0;                      // checked item of "Jet 14-23": 0 separate, 1 coupled, 2 1=2=3=4
    bool clearTempDisplay = false;        // the type cannot show the temperature: TempDisplay is cleared
};

int MapDisplayMode(const DeviceImage& image, int page, bool ms);
// "  1 = 2 = 3  " or "  1 -> 2, 3  " and the like, for n output channels.
std::string ChannelCaption(int channels, bool identical);
// An injection time in µs as the milliseconds view shows it over a cell: "%5.3f ".
std::string TimeLabelText(std::uint16_t microseconds);
DisplayShape ShapeDisplay(const DeviceImage& image, const DisplayInputs& in);

}  // namespace torvane
