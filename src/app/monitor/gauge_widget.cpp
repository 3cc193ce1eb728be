#include "app/monitor/gauge_widget.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace torvane {

GaugeWidget::GaugeWidget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void GaugeWidget::setMaxValue(int value) {
    // A zero or negative maximum would divide by zero when painting.
    value = std::max(1, value);
    if (value == maxValue_) return;
    maxValue_ = value;
    progress_ = std::clamp(progress_, 0, maxValue_);
    update();
}

int GaugeWidget::maxValue() const {
    return maxValue_;
}

void GaugeWidget::setProgress(int value) {
    value = std::clamp(value, 0, maxValue_);
    if (value == progress_) return;
    progress_ = value;
    update();
}

int GaugeWidget::progress() const {
    return progress_;
}

void GaugeWidget::setForeColor(const QColor& color) {
    if (color == foreColor_) return;
    foreColor_ = color;
    update();
}

QColor GaugeWidget::foreColor() const {
    return foreColor_;
}

int GaugeWidget::percent() const {
    return static_cast<int>(static_cast<long long>(progress_) * 100 / maxValue_);
}

QSize GaugeWidget::sizeHint() const {
    const int h = fontMetrics().height() + 6;
    return {160, h};
}

QSize GaugeWidget::minimumSizeHint() const {
    const int h = fontMetrics().height() + 6;
    return {fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 8, h};
}

void GaugeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    p.fillRect(rect(), palette().color(QPalette::Base));

    const QRect inner = frame.adjusted(1, 1, 0, 0);
    const int filled = static_cast<int>(static_cast<long long>(inner.width()) * progress_ / maxValue_);
    const QRect bar(inner.left(), inner.top(), filled, inner.height());
    p.fillRect(bar, foreColor_);

    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(frame);

    // The text reads in the window's text colour over the empty part and inverted over the bar.
    const QString text = QString::number(percent()) + QLatin1Char('%');
    p.setPen(palette().color(QPalette::Text));
    p.drawText(inner, Qt::AlignCenter, text);
    p.save();
    p.setClipRect(bar);
    const QColor inverse(255 - foreColor_.red(), 255 - foreColor_.green(), 255 - foreColor_.blue());
    p.setPen(inverse);
    p.drawText(inner, Qt::AlignCenter, text);
    p.restore();
}

}  // namespace torvane
