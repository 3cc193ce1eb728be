#include "mapgrid/map_tools.h"

#include <algorithm>
#include <vector>

#include "editor/page_catalogue.h"
#include "image/fields.h"
#include "mapgrid/map_page_model.h"

namespace torvane {
namespace {

int Stepped(int value, int direction, int maximum) {
    if (direction < 0) return value > 0 ? value - 1 : value;
    return value < maximum ? value + 1 : value;
}

// Which cells a step covers.
std::vector<int> Targets(bool all, int column, int row) {
    std::vector<int> cells;
    if (all) {
        for (int k = 0; k < MapCells; ++k) cells.push_back(k);
    } else if (column >= 0 && column < MapColumns && row >= 0 && row < MapRows) {
        cells.push_back(row * MapColumns + column);
    }
    return cells;
}
std::vector<int> ColumnCells(int column) {
    std::vector<int> cells;
    if (column < 0 || column >= MapColumns) return cells;
    for (int r = 0; r < MapRows; ++r) cells.push_back(r * MapColumns + column);
    return cells;
}

// Steps the cells of one injection map's percentages and writes the map back when one changed
// (always, when writeAlways: the whole-map steps).
void StepPercent(DeviceImage& image, InjectionWork& work, InjectionMap map, const std::vector<int>& cells,
                 int direction, bool writeAlways) {
    auto& percent = work.percentOf(map);
    bool changed = false;
    for (int k : cells) {
        const auto was = percent[static_cast<std::size_t>(k)];
        percent[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(Stepped(was, direction, 65535));
        changed = changed || percent[static_cast<std::size_t>(k)] != was;
    }
    if (changed || writeAlways) InjectionImageFromChangedPercent(image, work, map);
}

void StepCells(DeviceImage& image, InjectionWork& work, int page, const std::vector<int>& cells,
               int direction, bool coupled, bool writeAlways) {
    const MapPageInfo* info = MapPageOf(page);
    if (info == nullptr) return;
    if (!info->wordCells) {
        const FieldInfo& map = Field(info->mapField);
        for (int k : cells) SetFieldValue(image, map, k, Stepped(FieldValue(image, map, k), direction, 255));
        return;
    }
    StepPercent(image, work, *info->injection, cells, direction, writeAlways);
    if (page == PageJet1A && coupled) {
        for (InjectionMap m : {InjectionMap::Jet2A, InjectionMap::Jet3A, InjectionMap::Jet4A})
            StepPercent(image, work, m, cells, direction, writeAlways);
    }
}

}  // namespace

ToolResult StepMapTool(DeviceImage& image, InjectionWork& work, int page, int direction, bool all,
                       LiveCell live, unsigned rpm, bool coupled) {
    if (!IsMapPage(page)) return ToolResult::Commit;
    if (IsFollowerInjectionPage(page) && coupled) return ToolResult::Ended;
    if (!all && rpm == 0) return ToolResult::Ended;
    StepCells(image, work, page, Targets(all, live.column, live.row), direction, coupled, all);
    return ToolResult::Commit;
}

void StepMapColumn(DeviceImage& image, InjectionWork& work, int page, int direction, int column,
                   bool coupled) {
    if (!IsMapPage(page)) return;
    StepCells(image, work, page, ColumnCells(column), direction, coupled, true);
}

void StepPositionCurve(DeviceImage& image, bool curveB, int direction, bool all, int liveColumn) {
    const FieldInfo& curve = Field(curveB ? FieldId::PolohaBPoz : FieldId::PolohaAPoz);
    for (int c = 0; c < curve.count; ++c) {
        if (!all && c != liveColumn) continue;
        SetFieldValue(image, curve, c, Stepped(FieldValue(image, curve, c), direction, PositionMax));
    }
}

}  // namespace torvane
