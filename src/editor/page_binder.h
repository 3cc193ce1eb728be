#pragma once
// The generic binder of the fixed pages: finds every control of the binding table by its objectName
// under the window (or, for the position curves, the item of a grid named so), gives each spin its
// range and step from the table, and runs the two passes of a page by applying the table's rows in order.

#include <QPersistentModelIndex>
#include <QWidget>
#include <vector>

#include "editor/binding_table.h"

namespace torvane {

class DeviceImage;
class MapGridModel;

class PageBinder {
  public:
    // root holds the pages. A row whose control is missing, or is not of the kind its row declares, is
    // skipped and listed in unboundControls().
    explicit PageBinder(QWidget* root);

    // The controls of the binding table the pages lack, or have as another kind of control ("name
    // (kind)"); empty for a window built as designed.
    const std::vector<QString>& unboundControls() const { return unbound_; }

    void imageToPage(int page, const DeviceImage& image);
    void pageToImage(int page, DeviceImage& image) const;

    // Step and maximum of the nine idle servo spins (they change with the idle mode).
    void setIdleServoScale(int step, int maximum);
    int idleServoStep() const { return idleStep_; }

    QWidget* control(const Binding& row, int i) const;

  private:
    // A value shown as an item of a grid instead of a spin field of its own.
    struct GridItem {
        MapGridModel* grid = nullptr;
        QPersistentModelIndex index;
    };
    struct BoundRow {
        const Binding* row;
        std::vector<QWidget*> controls;
        std::vector<GridItem> items;  // as many as controls; grid null where a control is
    };
    std::vector<BoundRow> rows_;
    std::vector<QString> unbound_;
    int idleStep_ = 50;
};

}  // namespace torvane
