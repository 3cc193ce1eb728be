#include "widgets/spin_button.h"

#include <QBoxLayout>
#include <QToolButton>

namespace torvane {

SpinButton::SpinButton(QWidget* parent, Qt::Orientation orientation)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    auto* layout =
        new QBoxLayout(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::RightToLeft, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(false);
        b->setFixedSize(orientation == Qt::Vertical ? QSize(22, 12) : QSize(16, 20));
        layout->addWidget(b);
    }
    up_->setArrowType(orientation == Qt::Vertical ? Qt::UpArrow : Qt::RightArrow);
    down_->setArrowType(orientation == Qt::Vertical ? Qt::DownArrow : Qt::LeftArrow);
    up_->setObjectName("up");
    down_->setObjectName("down");
    connect(up_, &QToolButton::clicked, this, &SpinButton::upClicked);
    connect(down_, &QToolButton::clicked, this, &SpinButton::downClicked);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

}  // namespace torvane
