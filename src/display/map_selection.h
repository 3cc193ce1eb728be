#pragma once
// The tuner's rectangle of map cells and the cell shading of the map panel. A rectangle is chosen by
// dragging over the cells with the mouse, by Shift+click, or with Shift+arrow keys from the cell being
// edited; Escape or a plain click elsewhere drops it. A single cell is no rectangle: a click into a
// cell looks as it always did. Selected cells, and with "Colour cells by value" every visible cell,
// get an underlay colour under the live colours, so the green and yellow live cells always win.

#include <QColor>
#include <QObject>
#include <optional>

#include "editor/selection_ops.h"

namespace torvane {

class MapPanel;
class SpinField;

class MapSelection : public QObject {
    Q_OBJECT

  public:
    explicit MapSelection(MapPanel& panel, QObject* parent = nullptr);

    // The chosen rectangle (model rows and columns), empty while fewer than two cells are chosen.
    std::optional<CellRect> rectangle() const;
    // The cells an operation works on: the rectangle, else the cell that has the focus, else none.
    std::optional<CellRect> target() const;
    void select(CellRect rect);
    void clear();

    // A print shows the page without the chosen cells' colour; the choice itself stays.
    void setChoiceShown(bool shown);

    void setShadeByValue(bool on);
    bool shadeByValue() const { return shade_; }
    // Recomputes every cell's underlay from the selection and the shown values; cheap when nothing
    // changed, so the tick may call it.
    void refreshColours();

    static QColor selectionColour() { return QColor(150, 175, 235); }

  signals:
    void selectionChanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int cellOf(QObject* watched) const;  // index of the cell spin (or its edit), -1 for none
    int cellAt(const QPoint& globalPos) const;
    void extendTo(int cell);

    MapPanel& panel_;
    int anchor_ = -1;
    int extent_ = -1;
    bool dragging_ = false;
    bool shade_ = false;
    bool choiceShown_ = true;
};

}  // namespace torvane
