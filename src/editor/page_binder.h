#pragma once
// The generic binder of the fixed pages: finds every control of the binding table by its objectName
// under the window, gives each spin its range and step from the table, and runs the two passes of a
// page by applying the table's rows in order.

#include <QWidget>
#include <vector>

#include "editor/binding_table.h"

namespace torvane {

class DeviceImage;

class PageBinder {
  public:
    // root holds the pages; rows whose control is missing are skipped.
    explicit PageBinder(QWidget* root);

    void imageToPage(int page, const DeviceImage& image);
    void pageToImage(int page, DeviceImage& image) const;

    // Step and maximum of the nine idle servo spins (they change with the idle mode).
    void setIdleServoScale(int step, int maximum);
    int idleServoStep() const { return idleStep_; }

    QWidget* control(const Binding& row, int i) const;

  private:
    struct BoundRow {
        const Binding* row;
        std::vector<QWidget*> controls;
    };
    std::vector<BoundRow> rows_;
    int idleStep_ = 50;
};

}  // namespace torvane
