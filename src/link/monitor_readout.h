#pragma once
// The monitor readouts as plain data: for every label its text, background colour and visibility,
// for every gauge its progress and foreground colour, all computed from the latest live values.
// The window only applies them by objectName.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/device_image.h"
#include "link/live_values.h"

namespace torvane {

enum class ReadoutColor : std::uint8_t { Normal, Red, Fuchsia, Aqua, Lime, Yellow, White, Blue };

// A part left empty is not touched on the window.
struct LabelReadout {
    std::string_view name;              // objectName of the label
    std::optional<std::string> text;    // UTF-8
    std::optional<ReadoutColor> color;  // background
    std::optional<bool> visible;
};

struct GaugeReadout {
    std::string_view name;
    std::optional<int> progress;  // 0..100 on the gauge; values outside are clamped by it
    std::optional<ReadoutColor> foreColor;
};

struct MonitorReadout {
    std::vector<LabelReadout> labels;
    std::vector<GaugeReadout> gauges;

    const LabelReadout* label(std::string_view name) const;
    const GaugeReadout* gauge(std::string_view name) const;
};

// Image bytes the readouts depend on.
inline constexpr std::size_t BikeIndex = 300;        // motorcycle type code
inline constexpr std::size_t IgnLimiterIndex = 309;  // ignition limiter, hundreds of rpm
inline constexpr std::size_t PocKanOutIndex = 318;   // number of output channels
inline constexpr std::size_t GasIndex = 421;         // nitrous enabled (CheckBoxGas)
inline constexpr std::uint8_t ChokeBikeCode = 26;    // the type whose pilot-light output drives a choke

// detailed: the "Detailed representation" check box adds the raw sensor voltages to the texts.
MonitorReadout ComputeMonitorReadout(const LiveValues& live, const DeviceImage& image, bool detailed,
                                     int languageIndex);

// While there is no connection: the live-value labels of the monitor with their stems in the given
// language and "---" where the value would be (the choke stem for type 26, which uses the shift light
// output as a choke).
MonitorReadout MonitorPlaceholders(int languageIndex, std::uint8_t bike);

}  // namespace torvane
