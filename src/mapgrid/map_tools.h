#pragma once
// The coarse tools of the map pages and the Position curves: Minus/Plus on the whole map or on the
// live cell, a whole column, a whole curve or its live point. They step raw values (image bytes of
// the byte maps, the percentages of the injection maps, the 5° units of the curves) by one unit, a
// value at its limit staying where it is; the commit that follows applies each parameter's limits.

#include <cstdint>

#include "image/conversions.h"
#include "image/device_image.h"

namespace torvane {

inline constexpr int PositionMax = 144;  // 720° in 5° units

inline constexpr std::uint16_t NoRow = 20;  // a flagged sensor: no row matches

// The live operating point located on the page in view, kept by the window between ticks.
struct LiveIndexes {
    std::uint16_t column = 0;     // rpm column of the map page in view (0..14)
    std::uint16_t tpsRow = 0;     // throttle row (0..9) or NoRow
    std::uint16_t iapRow = 0;     // manifold-pressure row (0..9) or NoRow
    std::uint16_t positionA = 0;  // rpm columns of the Position page's curves
    std::uint16_t positionB = 0;
};

// Where a single-cell step lands: the live column and the live row of the page (NoRow = none).
struct LiveCell {
    int column = 0;
    int row = 0;
};

enum class ToolResult {
    Commit,  // values may have changed: commit
    Ended,   // nothing to do and no commit (a follower map in coupled mode, a stopped engine)
};

// Minus (-1) or Plus (+1) on map page `page`. all: "All" of the page; otherwise the live cell, which
// needs a running engine (rpm != 0).
ToolResult StepMapTool(DeviceImage& image, InjectionWork& work, int page, int direction, bool all,
                       LiveCell live, unsigned rpm, bool coupled);
// One column of the page's map, engine running or not; in coupled mode page 3 steps all four channels.
void StepMapColumn(DeviceImage& image, InjectionWork& work, int page, int direction, int column,
                   bool coupled);
// One Position curve (B when curveB): all its points or the point at the live column.
void StepPositionCurve(DeviceImage& image, bool curveB, int direction, bool all, int liveColumn);

}  // namespace torvane
