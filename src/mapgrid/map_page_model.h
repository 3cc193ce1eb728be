#pragma once
// The two passes of the map pages on plain values: what the shared map panel shows for the image on
// a given map page, and how what the panel holds goes back into the image (with the injection
// percentage view and the coupling of the four injection channels).

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "editor/page_catalogue.h"
#include "image/conversions.h"
#include "image/device_image.h"

namespace torvane {

inline constexpr int MapRows = 10;
inline constexpr int MapColumns = 15;
inline constexpr int MiscFieldCount = 6;
inline constexpr int RpmAxisMin = 300;
inline constexpr int RpmAxisMax = 25000;

// The range of a page's rpm axis spins: every value the repair of the image lets the axis hold (the
// servo axes may start at 0, the Inj-3A and Inj-4A axes are only kept rising), so no legal axis is
// ever shown limited.
struct RpmAxisRange {
    int min;
    int max;
};
RpmAxisRange RpmAxisRangeOf(int page);
inline constexpr int IapAxisMax = 1000;

// An extra value of a map page (UpDownMisc_Uni element) and the range its spin offers there.
struct MiscField {
    int page;
    int element;  // 0..5
    FieldId field;
    int a, c;  // shown = a * stored + c
    int min, max, step;
};
// The extra values a page binds, in element order (empty for pages without any).
std::span<const MiscField> MiscFieldsOfPage(int page);

// Everything the map panel holds: the positions of its spins, check boxes and radio group.
struct MapPanelValues {
    std::array<int, MapColumns> rpm{};
    RpmAxisRange rpmRange{RpmAxisMin, RpmAxisMax};
    std::array<int, MapRows * MapColumns> cells{};
    std::array<int, MapRows> iap{};
    std::array<int, MiscFieldCount> misc{};
    bool tps = false;          // CheckBoxTps_Uni
    bool servoEnable = false;  // CheckBoxServoEnable
    bool procent = false;      // CheckBoxProcenta
    bool stepMotor = false;    // CheckBoxStepMotor
    int servoMode = 0;         // RadioGroupServoMode
    bool all = false;          // CheckBoxAll_Uni
    int cellMax = 0;           // range and step of the cell spins on this page
    int cellStep = 1;
};

// The channel coupling of the injection maps, from Jet1423Mode.
struct ChannelMode {
    bool coupled = false;    // Jet1423Mode 1: Inj-2A...4A follow the changes of Inj-1A
    bool identical = false;  // Jet1423Mode 2: Inj-2A...4A are copies of Inj-1A
};
ChannelMode ChannelModeOf(const DeviceImage& image);

// The cell spins of a page: maximum and step (the servo maps in percent or in units of 20).
int CellStepOf(const DeviceImage& image, int page);
int CellMaxOf(const DeviceImage& image, int page);

// Recomputes the references of all five injection maps from the image's axes and type, and every
// percentage from the stored µs, so the percentage view never lags behind the image.
void RefreshInjectionPercent(const DeviceImage& image, InjectionWork& work);

// What the map pages make of the image whenever they show it, applied as part of every repair so the
// history and the unit see it at once: in the identical mode Inj-2A...4A (axes and maps) are copies of
// Inj-1A; type 46 has no intake servo step motor.
void ApplyMapPageRules(DeviceImage& image);

// The image-to-page pass of a map page. In the identical mode the other injection maps and axes are
// first made copies of Inj-1A; on the intake servo page of type 46 the step motor is switched off.
MapPanelValues ImageToMapPanel(DeviceImage& image, InjectionWork& work, int page, const AllStates& allStates);

// The page-to-image pass of a map page. A spin that still shows the limited form of a stored value
// outside its range (an axis, a cell, an extra value) counts as untouched and keeps the stored value,
// so an edit elsewhere on the page never rewrites it, nor (in the coupled mode) the same injection cell
// of the other channels. Injection cells whose percentage did not change keep their stored µs.
void MapPanelToImage(DeviceImage& image, InjectionWork& work, int page, const MapPanelValues& values,
                     AllStates& allStates);

}  // namespace torvane
