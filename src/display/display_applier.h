#pragma once
// The thin layer that puts the page-shaping rules and the live operating point on the widgets: it
// finds each named element once, and changes a visibility, an enablement, a caption, a range or a
// colour only where it differs from what the widget has.

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "display/display_rules.h"
#include "display/live_point.h"

namespace torvane {

class MapGridModel;

class DisplayApplier {
  public:
    explicit DisplayApplier(QWidget* window) : window_(window) {}

    // The map grid whose items carry the names of the map panel's elements ("UpDownCell_Uni[k]",
    // "LabelCell_Uni[k]", "UpDownRpm_Uni[c]", "LabelRow_Uni[r]", "UpDownIap_Uni[r]",
    // "CSpinButtonColumn_Uni[c]", "LabelRpm_Uni", "LabelAxis_Uni", "BevelGrid_Uni"): their shapes and
    // colours go to the grid's items instead of widgets.
    void setMapGrid(MapGridModel* grid) { grid_ = grid; }
    // A grid of a fixed page (a position curve): its items take the shapes and paints of their names.
    void addCurveGrid(MapGridModel* grid);

    // Visibility, enablement, arrows, captions, ranges and colours of the shaped elements.
    void apply(const std::vector<ElementShape>& elements);
    // The live colours of one tick; elements already of their colour are not touched.
    void paint(const std::vector<Highlight>& highlights);
    // Forgets the colours set so far, so the next paint sets every listed colour again (after
    // something else, such as printing, recoloured the widgets).
    void forgetPaint() { painted_.clear(); }
    // The widget of an element name, found once by objectName under the window.
    QWidget* widget(const QString& name);

    static QColor colorOf(Paint paint);

  private:
    QWidget* element(std::string_view base, int index);
    bool applyToGrid(const ElementShape& e);
    bool paintGrid(std::string_view base, int index, Paint paint);
    void setPaint(QWidget* w, Paint paint);

    QWidget* window_;
    MapGridModel* grid_ = nullptr;
    struct Curve {
        MapGridModel* grid;
        std::string cells, axis;  // the element names of its items
    };
    std::vector<Curve> curves_;
    QModelIndex curveItem(std::string_view base, int index, MapGridModel*& grid) const;
    bool applyToCurve(const ElementShape& e);
    bool paintCurve(std::string_view base, int index, Paint paint);
    QHash<QString, QPointer<QWidget>> found_;
    QHash<QWidget*, Paint> painted_;
};

}  // namespace torvane
