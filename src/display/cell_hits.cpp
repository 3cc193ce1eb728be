#include "display/cell_hits.h"

#include <algorithm>

#include "display/live_point.h"

namespace torvane {

int CellHits::highest() const {
    return *std::max_element(count.begin(), count.end());
}

CellHits CountCellHits(const DeviceImage& image, std::span<const LiveValues> frames, int page, bool ms) {
    CellHits hits;
    for (const LiveValues& live : frames) {
        // Fresh indexes per frame: the search gives them from the frame alone, and a frame must not
        // inherit the row or column of the one before.
        LiveIndexes indexes;
        const std::vector<Highlight> marks = TrackOperatingPoint(image, live, page, ms, indexes);
        // The tick marks one cell at most (one live row, one live column): green, or yellow where the
        // unit blends the throttle and the pressure map, which is still the cell of this map the
        // engine ran in. Should several be marked, each counts once for the frame.
        std::array<bool, MapRows * MapColumns> green{};
        bool any = false;
        for (const Highlight& h : marks) {
            if (h.base != "UpDownCell_Uni" || (h.paint != Paint::Green && h.paint != Paint::Yellow)) continue;
            if (h.index < 0 || h.index >= MapRows * MapColumns) continue;
            // live_point numbers the cells row * 15 + column like the panel; showing row 9 at the top
            // only moves that row's widgets, so the index stays the same.
            bool& seen = green[static_cast<std::size_t>(h.index)];
            if (!seen) ++hits.count[static_cast<std::size_t>(h.index)];
            seen = true;
            any = true;
        }
        ++hits.frames;
        if (!any) ++hits.outside;
    }
    return hits;
}

}  // namespace torvane
