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
        // The tick greens one cell at most (one live row, one live column). Should it ever green
        // several, each of them counts once for the frame; a repeated entry does not count twice.
        std::array<bool, MapRows * MapColumns> green{};
        bool any = false;
        for (const Highlight& h : marks) {
            // Yellow is the blended injection (both maps weighted), not the cell the unit runs on.
            if (h.base != "UpDownCell_Uni" || h.paint != Paint::Green) continue;
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
