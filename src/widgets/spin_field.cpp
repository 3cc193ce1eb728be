#include "widgets/spin_field.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QWheelEvent>
#include <memory>

namespace torvane {

SpinField::SpinField(QWidget* parent) : QSpinBox(parent) {
    setKeyboardTracking(true);  // the position follows what is typed, as the passes read it
    setGroupSeparatorShown(true);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAccelerated(false);
    // A map must never change because the mouse wheel passed over it.
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    lineEdit()->installEventFilter(this);
}

QSize SpinField::sizeHint() const {
    for (const Hint& h : hints_) {
        if (h.size.isValid() && h.minimum == minimum() && h.maximum == maximum() &&
            h.symbols == buttonSymbols())
            return h.size;
    }
    const QSize base = QSpinBox::sizeHint();
    const QFontMetrics fm(font());
    const int text = std::max(fm.horizontalAdvance(textFromValue(minimum())),
                              fm.horizontalAdvance(textFromValue(maximum())));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize hint =
        style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(text + 2, fm.height()), this);
    Hint& slot = hints_[nextHint_];
    nextHint_ = (nextHint_ + 1) % hints_.size();
    slot = {minimum(), maximum(), buttonSymbols(), {std::min(hint.width(), base.width()), base.height()}};
    return slot.size;
}

void SpinField::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::LocaleChange)
        hints_ = {};
    QSpinBox::changeEvent(event);
}

void SpinField::showValue(int v) {
    if (value() == v) return;
    setValue(v);
}

void SpinField::nameEditAfterUpDown() {
    const QString name = objectName();
    if (name.startsWith(QLatin1String("UpDown"))) lineEdit()->setObjectName("Edit" + name.mid(6));
}

void SpinField::setUpDownShown(bool shown) {
    const ButtonSymbols wanted = shown ? QAbstractSpinBox::UpDownArrows : QAbstractSpinBox::NoButtons;
    if (buttonSymbols() != wanted) setButtonSymbols(wanted);
}

void SpinField::setFieldColor(const QColor& color) {
    if (color == color_) return;
    color_ = color;
    applyBase();
}

void SpinField::setUnderlayColor(const QColor& color) {
    if (color == underlay_) return;
    underlay_ = color;
    applyBase();
}

void SpinField::applyBase() {
    QPalette p = palette();
    const QColor base = color_.isValid()      ? color_
                        : underlay_.isValid() ? underlay_
                                              : QPalette().color(QPalette::Base);
    if (p.color(QPalette::Base) == base) return;
    p.setColor(QPalette::Base, base);
    setPalette(p);
}

void SpinField::stepBy(int steps) {
    QSpinBox::stepBy(steps);
    emit upDownClicked();
}

void SpinField::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(lineEdit()->createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        if (name == QLatin1String("edit-undo") || name == QLatin1String("edit-redo"))
            menu->removeAction(action);
    }
    // A separator left at the top by the removal would be drawn as an empty line.
    const QList<QAction*> left = menu->actions();
    if (!left.isEmpty() && left.first()->isSeparator()) menu->removeAction(left.first());
    menu->exec(event->globalPos());
    event->accept();
}

void SpinField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    QSpinBox::keyPressEvent(event);
}

void SpinField::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QSpinBox::wheelEvent(event);
}

bool SpinField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonRelease) emit editClicked();
    return QSpinBox::eventFilter(watched, event);
}

}  // namespace torvane
