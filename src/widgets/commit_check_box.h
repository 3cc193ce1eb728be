#pragma once
// A check box that tells when the mouse button is released over it, after it has toggled: check boxes
// commit their page on mouse release, while one toggled with the keyboard waits for the next commit.

#include <QCheckBox>

namespace torvane {

class CommitCheckBox : public QCheckBox {
    Q_OBJECT

  public:
    using QCheckBox::QCheckBox;

  signals:
    void mouseReleased();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QCheckBox::mouseReleaseEvent(event);
        emit mouseReleased();
    }
};

}  // namespace torvane
