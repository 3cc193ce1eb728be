#pragma once
// A two-arrow spin button without a value: the Minus/Plus tool, the column steps of a map and the
// Position curve steps.

#include <QWidget>

class QToolButton;

namespace torvane {

class SpinButton : public QWidget {
    Q_OBJECT

  public:
    explicit SpinButton(QWidget* parent = nullptr, Qt::Orientation orientation = Qt::Vertical);
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

  signals:
    void upClicked();
    void downClicked();

  private:
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace torvane
