#include "display/display_applier.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "editor/spin_field.h"

namespace torvane {

QColor DisplayApplier::colorOf(Paint paint) {
    switch (paint) {
        case Paint::Green: return QColor(0, 255, 0);
        case Paint::Yellow: return QColor(255, 255, 0);
        case Paint::Aqua: return QColor(0, 255, 255);
        case Paint::Red: return QColor(255, 0, 0);
        case Paint::Window: return QApplication::palette().color(QPalette::Base);
        default: return QApplication::palette().color(QPalette::Button);
    }
}

QWidget* DisplayApplier::widget(const QString& name) {
    auto it = found_.find(name);
    if (it != found_.end() && !it.value().isNull()) return it.value();
    QWidget* w = window_->findChild<QWidget*>(name);
    found_.insert(name, w);
    return w;
}

QWidget* DisplayApplier::element(std::string_view base, int index) {
    QString name = QString::fromLatin1(base.data(), static_cast<qsizetype>(base.size()));
    if (index >= 0) name += QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
    return widget(name);
}

void DisplayApplier::setPaint(QWidget* w, Paint paint) {
    if (paint == Paint::None) return;
    auto it = painted_.find(w);
    if (it != painted_.end() && it.value() == paint) return;
    painted_.insert(w, paint);
    if (auto* spin = qobject_cast<SpinField*>(w)) {
        spin->setFieldColor(paint == Paint::Window ? QColor() : colorOf(paint));
        return;
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        QFont f = button->font();
        f.setBold(paint == Paint::Bold);
        button->setFont(f);
        return;
    }
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colorOf(paint));
    w->setAutoFillBackground(true);
    w->setPalette(p);
}

void DisplayApplier::apply(const std::vector<ElementShape>& elements) {
    for (const ElementShape& e : elements) {
        QWidget* w = widget(QString::fromStdString(e.name));
        if (w == nullptr) continue;
        if (e.text) {
            const QString text = QString::fromStdString(*e.text);
            if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->text() != text) label->setText(text);
            } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
                if (box->title() != text) box->setTitle(text);
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                if (button->text() != text) button->setText(text);
            }
        }
        if (auto* spin = qobject_cast<SpinField*>(w)) {
            if (e.upDowns && spin->upDownShown() != *e.upDowns) spin->setUpDownShown(*e.upDowns);
            if (e.range && (spin->minimum() != e.range->min || spin->maximum() != e.range->max)) {
                spin->setRange(e.range->min, e.range->max);
            }
            if (e.range && spin->singleStep() != e.range->step) spin->setSingleStep(e.range->step);
        }
        if (e.enabled && w->isEnabled() != *e.enabled) w->setEnabled(*e.enabled);
        if (e.visible && w->isHidden() == *e.visible) w->setVisible(*e.visible);
        setPaint(w, e.color);
    }
}

void DisplayApplier::paint(const std::vector<Highlight>& highlights) {
    for (const Highlight& h : highlights) {
        if (QWidget* w = element(h.base, h.index)) setPaint(w, h.paint);
    }
}

}  // namespace torvane
