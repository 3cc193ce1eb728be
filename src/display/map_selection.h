#pragma once
// The tuner's rectangle of map cells and the cell shading of the map panel. The grid chooses the cells
// (a drag, Shift+click, Shift+arrows from the cell being edited; Escape or a plain click drops them);
// this reads the choice as a rectangle, paints the shade of every value with "Colour cells by value",
// and hides the choice while a print is made. The live colours always show over both.

#include <QColor>
#include <QObject>
#include <optional>

#include "mapgrid/selection_ops.h"

namespace torvane {

class MapPanel;

class MapSelection : public QObject {
    Q_OBJECT

  public:
    explicit MapSelection(MapPanel& panel, QObject* parent = nullptr);

    // The chosen rectangle (map rows and columns), empty while fewer than two cells are chosen.
    std::optional<CellRect> rectangle() const;
    // The cells an operation works on: the rectangle, else the cell being edited, else none.
    std::optional<CellRect> target() const;
    void select(CellRect rect);
    void clear();

    // A print shows the page without the chosen cells' colour; the choice itself stays.
    void setChoiceShown(bool shown);

    void setShadeByValue(bool on);
    bool shadeByValue() const { return shade_; }
    // Recomputes every cell's shade from the shown values; cheap when nothing changed, so the tick may
    // call it.
    void refreshColours();

    static QColor selectionColour();

  signals:
    void selectionChanged();

  private:
    MapPanel& panel_;
    bool shade_ = false;
    bool refreshing_ = false;
};

}  // namespace torvane
