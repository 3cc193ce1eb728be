#pragma once
// How many logged frames fell into each cell of a map page: the cell the live operating point marks
// (green, or yellow where two maps are blended) for each frame, counted over a whole datalog.

#include <array>
#include <span>

#include "image/device_image.h"
#include "link/live_values.h"
#include "mapgrid/map_page_model.h"

namespace torvane {

struct CellHits {
    std::array<int, MapRows * MapColumns>
        count{};      // index MapColumns * row + column, as the map panel's cells
    int frames = 0;   // frames counted
    int outside = 0;  // frames that marked no cell of the page (engine stopped, ...)
    int highest() const;
};

// page: a map page (the Advance, injection and servo maps); ms: the times view of injection maps.
// Frames on a page without map cells all count as outside.
CellHits CountCellHits(const DeviceImage& image, std::span<const LiveValues> frames, int page, bool ms);

}  // namespace torvane
