#pragma once
// The live operating point: where the unit's monitor values lie on the axes of the page in view, and
// which breakpoint fields, captions and map cell carry the live colour. Every search takes the
// breakpoint nearest to the live value by comparing with the midpoints of neighbours, in doubled
// integers, so that no fractions arise.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "display/display_rules.h"
#include "image/device_image.h"
#include "link/live_values.h"
#include "mapgrid/map_tools.h"

namespace torvane {

// The column of engine speed rpm on an axis of 15 breakpoints in units of 100 rpm.
int RpmColumn(std::span<const std::uint8_t> axis100, unsigned rpm);
// The throttle row of P (0.1 % units) on the fixed throttle axis.
int ThrottleRow(unsigned throttle, bool sensorFlagged);
// The row of manifold pressure M (kPa) on the ten breakpoints of the IAP axis.
int PressureRow(std::span<const std::uint16_t> iapAxis, unsigned kpa, bool sensorFlagged);
// Water and air points of the Corrections page (5 when none applies).
int CorrectionWaterIndex(std::uint8_t water);
int CorrectionAirIndex(std::uint8_t air);
// The after-start (choke) point of time value T with the time points t1..t4.
int ChokeIndex(unsigned t, const std::array<int, 4>& points);
// The temperature point of the idle curves (9 when none applies).
int IdleTemperatureIndex(std::uint8_t water);

// One element whose colour the tick sets.
struct Highlight {
    std::string_view base;  // objectName, or the base of an array element
    int index;              // -1 for a single element, else the element of the array ("base[index]")
    Paint paint;
};

// Locates the live point on the page in view and lists the colour of every element that can carry
// the live colour there. Fields that are not live get Window, labels ButtonFace. ms: the times view.
std::vector<Highlight> TrackOperatingPoint(const DeviceImage& image, const LiveValues& live, int page,
                                           bool ms, LiveIndexes& indexes);

}  // namespace torvane
