#include "shell/page_tab_bar.h"

#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>

namespace torvane {
namespace {
constexpr int TabPadding = 12;  // blank on each side of a caption
// Until the window has its size, the tabs are laid out for the width of the design window.
constexpr int DesignWidth = 1040;
}

PageTabBar::PageTabBar(QWidget* parent) : QTabBar(parent) {
    setUsesScrollButtons(false);
    setExpanding(false);
    setDrawBase(false);
    setElideMode(Qt::ElideNone);
}

int PageTabBar::layoutWidth() const {
    const QWidget* owner = parentWidget();
    const int w = owner != nullptr ? owner->width() : width();
    return w < 400 ? DesignWidth : w;
}

int PageTabBar::rowHeight() const {
    return fontMetrics().height() + 10;
}

std::vector<QRect> PageTabBar::layoutTabs(int width) const {
    const int n = count();
    std::vector<QRect> rects(static_cast<std::size_t>(n));
    std::vector<int> visible;
    std::vector<int> natural;
    int total = 0;
    for (int i = 0; i < n; ++i) {
        if (!isTabVisible(i)) continue;
        visible.push_back(i);
        const int w = fontMetrics().horizontalAdvance(tabText(i)) + 2 * TabPadding;
        natural.push_back(w);
        total += w;
    }
    if (visible.empty() || width <= 0) return rects;
    // As few rows as the width allows, the tabs shared out evenly so the rows look alike.
    int rows = std::max(1, (total + width - 1) / width);
    std::vector<std::vector<std::size_t>> rowTabs;
    for (;; ++rows) {
        rowTabs.assign(static_cast<std::size_t>(rows), {});
        const int target = (total + rows - 1) / rows;
        int row = 0;
        int used = 0;
        bool fits = true;
        for (std::size_t k = 0; k < visible.size(); ++k) {
            if (used > 0 && used + natural[k] > target && row + 1 < rows) {
                ++row;
                used = 0;
            }
            used += natural[k];
            rowTabs[static_cast<std::size_t>(row)].push_back(k);
        }
        for (const auto& r : rowTabs) {
            int sum = 0;
            for (std::size_t k : r) sum += natural[k];
            if (sum > width && r.size() > 1) fits = false;
        }
        if (fits || rows >= static_cast<int>(visible.size())) break;
    }
    const int h = rowHeight();
    for (std::size_t r = 0; r < rowTabs.size(); ++r) {
        const auto& tabs = rowTabs[r];
        if (tabs.empty()) continue;
        int sum = 0;
        for (std::size_t k : tabs) sum += natural[k];
        // Stretch the row to the full width.
        int x = 0;
        int extra = std::max(0, width - sum);
        for (std::size_t j = 0; j < tabs.size(); ++j) {
            const std::size_t k = tabs[j];
            const int share = extra / static_cast<int>(tabs.size() - j);
            extra -= share;
            const int w = natural[k] + share;
            rects[static_cast<std::size_t>(visible[k])] = QRect(x, static_cast<int>(r) * h, w, h);
            x += w;
        }
    }
    return rects;
}

QRect PageTabBar::pageTabRect(int index) const {
    const std::vector<QRect> rects = layoutTabs(layoutWidth());
    return index >= 0 && index < static_cast<int>(rects.size()) ? rects[static_cast<std::size_t>(index)] : QRect();
}

QSize PageTabBar::sizeHint() const {
    const std::vector<QRect> rects = layoutTabs(layoutWidth());
    int bottom = rowHeight();
    for (const QRect& r : rects) bottom = std::max(bottom, r.bottom() + 1);
    return {layoutWidth(), bottom};
}

QSize PageTabBar::minimumSizeHint() const {
    return {100, sizeHint().height()};
}

void PageTabBar::tabLayoutChange() {
    QTabBar::tabLayoutChange();
    updateGeometry();
    update();
}

void PageTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const std::vector<QRect> rects = layoutTabs(width());
    for (int i = 0; i < count(); ++i) {
        const QRect r = rects[static_cast<std::size_t>(i)];
        if (r.isEmpty()) continue;
        QStyleOptionTab option;
        initStyleOption(&option, i);
        option.rect = r;
        option.position = QStyleOptionTab::Middle;
        option.selectedPosition = QStyleOptionTab::NotAdjacent;
        option.state.setFlag(QStyle::State_Selected, i == currentIndex());
        painter.drawControl(QStyle::CE_TabBarTab, option);
    }
}

void PageTabBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const std::vector<QRect> rects = layoutTabs(width());
    for (int i = 0; i < count(); ++i) {
        if (rects[static_cast<std::size_t>(i)].contains(event->position().toPoint())) {
            setCurrentIndex(i);
            return;
        }
    }
}

void PageTabBar::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void PageTabBar::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

PageControl::PageControl(QWidget* parent) : QTabWidget(parent), bar_(new PageTabBar(this)) {
    setTabBar(bar_);
}

void PageControl::resizeEvent(QResizeEvent* event) {
    bar_->updateGeometry();
    QTabWidget::resizeEvent(event);
}

}  // namespace torvane
