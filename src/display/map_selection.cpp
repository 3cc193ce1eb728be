#include "display/map_selection.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "display/map_shading.h"
#include "editor/map_panel.h"
#include "editor/spin_field.h"

namespace torvane {

namespace {

int RowOf(int cell) {
    return cell / MapColumns;
}
int ColumnOf(int cell) {
    return cell % MapColumns;
}

}  // namespace

MapSelection::MapSelection(MapPanel& panel, QObject* parent) : QObject(parent), panel_(panel) {
    for (int k = 0; k < MapCells; ++k) {
        SpinField* cell = panel_.cell(k);
        cell->installEventFilter(this);
        cell->edit()->installEventFilter(this);
    }
}

std::optional<CellRect> MapSelection::rectangle() const {
    if (anchor_ < 0 || extent_ < 0 || anchor_ == extent_) return std::nullopt;
    return CellRect{RowOf(anchor_), ColumnOf(anchor_), RowOf(extent_), ColumnOf(extent_)}.Normalized();
}

std::optional<CellRect> MapSelection::target() const {
    if (auto rect = rectangle()) return rect;
    for (int k = 0; k < MapCells; ++k) {
        const SpinField* cell = panel_.cell(k);
        if (cell->isVisible() && (cell->hasFocus() || cell->edit()->hasFocus())) {
            return CellRect{RowOf(k), ColumnOf(k), RowOf(k), ColumnOf(k)};
        }
    }
    return std::nullopt;
}

void MapSelection::select(CellRect rect) {
    rect = rect.Normalized();
    anchor_ = MapPanel::cellIndex(rect.row0, rect.col0);
    extent_ = MapPanel::cellIndex(rect.row1, rect.col1);
    refreshColours();
    emit selectionChanged();
}

void MapSelection::clear() {
    if (anchor_ < 0 && extent_ < 0) return;
    anchor_ = extent_ = -1;
    dragging_ = false;
    refreshColours();
    emit selectionChanged();
}

void MapSelection::setChoiceShown(bool shown) {
    choiceShown_ = shown;
    refreshColours();
}

void MapSelection::setShadeByValue(bool on) {
    shade_ = on;
    refreshColours();
}

void MapSelection::refreshColours() {
    const std::optional<CellRect> rect = rectangle();
    ValueRange range;
    if (shade_) {
        bool first = true;
        for (int k = 0; k < MapCells; ++k) {
            const SpinField* cell = panel_.cell(k);
            if (!cell->isVisibleTo(&panel_)) continue;
            const int v = cell->value();
            if (first || v < range.lowest) range.lowest = v;
            if (first || v > range.highest) range.highest = v;
            first = false;
        }
    }
    for (int k = 0; k < MapCells; ++k) {
        SpinField* cell = panel_.cell(k);
        QColor colour;
        if (rect && choiceShown_ && rect->contains(RowOf(k), ColumnOf(k))) {
            colour = selectionColour();
        } else if (shade_ && cell->isVisibleTo(&panel_)) {
            const Shade s = ValueShade(cell->value(), range.lowest, range.highest);
            colour = QColor(s.red, s.green, s.blue);
        }
        cell->setUnderlayColor(colour);
    }
}

int MapSelection::cellOf(QObject* watched) const {
    for (int k = 0; k < MapCells; ++k) {
        const SpinField* cell = panel_.cell(k);
        if (watched == cell || watched == cell->edit()) return k;
    }
    return -1;
}

int MapSelection::cellAt(const QPoint& globalPos) const {
    const QPoint p = panel_.mapFromGlobal(globalPos);
    for (int k = 0; k < MapCells; ++k) {
        const SpinField* cell = panel_.cell(k);
        if (cell->isVisibleTo(&panel_) && cell->geometry().contains(p)) return k;
    }
    return -1;
}

void MapSelection::extendTo(int cell) {
    if (cell < 0 || cell == extent_) return;
    if (anchor_ < 0) anchor_ = cell;
    extent_ = cell;
    refreshColours();
    emit selectionChanged();
}

bool MapSelection::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) break;
            const int k = cellOf(watched);
            if (k < 0) break;
            if (mouse->modifiers() & Qt::ShiftModifier) {
                extendTo(k);
            } else {
                const bool had = rectangle().has_value();
                anchor_ = extent_ = k;
                if (had) {
                    refreshColours();
                    emit selectionChanged();
                }
            }
            dragging_ = true;
            break;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (dragging_ && (mouse->buttons() & Qt::LeftButton)) extendTo(cellAt(mouse->globalPosition().toPoint()));
            break;
        }
        case QEvent::MouseButtonRelease:
            dragging_ = false;
            break;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            const int k = cellOf(watched);
            if (k < 0) break;
            if (key->key() == Qt::Key_Escape && rectangle()) {
                clear();
                return true;
            }
            if (!(key->modifiers() & Qt::ShiftModifier)) break;
            int dr = 0, dc = 0;
            switch (key->key()) {
                case Qt::Key_Up: dr = -1; break;
                case Qt::Key_Down: dr = 1; break;
                case Qt::Key_Left: dc = -1; break;
                case Qt::Key_Right: dc = 1; break;
                default: return QObject::eventFilter(watched, event);
            }
            if (anchor_ < 0 || extent_ < 0 || !rectangle()) anchor_ = extent_ = k;
            const int row = std::clamp(RowOf(extent_) + dr, 0, MapRows - 1);
            const int col = std::clamp(ColumnOf(extent_) + dc, 0, MapColumns - 1);
            const int next = MapPanel::cellIndex(row, col);
            if (panel_.cell(next)->isVisibleTo(&panel_)) extendTo(next);
            return true;  // Shift+arrow chooses cells; it never steps or moves the text cursor
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace torvane
