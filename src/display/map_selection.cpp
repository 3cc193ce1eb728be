#include "display/map_selection.h"

#include <QItemSelectionModel>

#include "display/map_shading.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"

namespace torvane {

MapSelection::MapSelection(MapPanel& panel, QObject* parent) : QObject(parent), panel_(panel) {
    connect(&panel_.gridView(), &MapGridView::choiceChanged, this, &MapSelection::selectionChanged);
    // A value that changes may change the shades of all others.
    connect(&panel_.grid(), &MapGridModel::dataChanged, this, [this] {
        if (shade_) refreshColours();
    });
}

QColor MapSelection::selectionColour() {
    return MapGridView::choiceColor();
}

std::optional<CellRect> MapSelection::rectangle() const {
    const QModelIndexList chosen = panel_.gridView().selectionModel()->selectedIndexes();
    std::optional<CellRect> rect;
    int cells = 0;
    for (const QModelIndex& index : chosen) {
        const int k = MapGridModel::cellOf(index);
        if (k < 0) continue;
        const int r = k / MapColumns;
        const int c = k % MapColumns;
        ++cells;
        if (!rect) {
            rect = CellRect{r, c, r, c};
            continue;
        }
        rect->row0 = std::min(rect->row0, r);
        rect->col0 = std::min(rect->col0, c);
        rect->row1 = std::max(rect->row1, r);
        rect->col1 = std::max(rect->col1, c);
    }
    if (cells < 2) return std::nullopt;
    return rect;
}

std::optional<CellRect> MapSelection::target() const {
    if (auto rect = rectangle()) return rect;
    const MapGridView& view = panel_.gridView();
    const int k = MapGridModel::cellOf(view.editedIndex());
    if (k < 0 || view.editor() == nullptr) return std::nullopt;
    return CellRect{k / MapColumns, k % MapColumns, k / MapColumns, k % MapColumns};
}

void MapSelection::select(CellRect rect) {
    rect = rect.Normalized();
    panel_.gridView().chooseCells(MapPanel::cellIndex(rect.row0, rect.col0),
                                  MapPanel::cellIndex(rect.row1, rect.col1));
}

void MapSelection::clear() {
    panel_.gridView().dropChoice();
}

void MapSelection::setChoiceShown(bool /*shown*/) {
    // The grid's print form leaves the chosen cells' colour out by itself.
    refreshColours();
}

void MapSelection::setShadeByValue(bool on) {
    shade_ = on;
    refreshColours();
}

void MapSelection::refreshColours() {
    if (refreshing_) return;  // the shades it sets report back as changes
    refreshing_ = true;
    MapGridModel& grid = panel_.grid();
    ValueRange range;
    if (shade_) {
        bool first = true;
        for (int k = 0; k < MapCells; ++k) {
            const MapGridModel::ValueItem& cell = grid.cell(k);
            if (!cell.shown) continue;
            if (first || cell.value < range.lowest) range.lowest = cell.value;
            if (first || cell.value > range.highest) range.highest = cell.value;
            first = false;
        }
    }
    for (int k = 0; k < MapCells; ++k) {
        QColor colour;
        if (shade_ && grid.cell(k).shown) {
            const Shade s = ValueShade(grid.cell(k).value, range.lowest, range.highest);
            colour = QColor(s.red, s.green, s.blue);
        }
        grid.setUnderlayColor(k, colour);
    }
    refreshing_ = false;
}

}  // namespace torvane
