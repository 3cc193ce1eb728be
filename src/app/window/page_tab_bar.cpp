#include "app/window/page_tab_bar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <utility>

#include "widgets/accessible_parts.h"

namespace torvane {
namespace {
constexpr int TabPadding = 12;  // blank on each side of a caption
// Until the window has its size, the tabs are laid out for the width of the design window.
constexpr int DesignWidth = 1040;

QString WithoutMnemonic(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

// One page tab to assistive tools: where it is drawn, its caption, and a press that opens its page.
// Qt's own view of a tab bar places the tabs in one row, where this bar does not draw them.
class PageTabAccessible : public AccessibleLeaf<PageTabBar>, public QAccessibleActionInterface {
  public:
    PageTabAccessible(PageTabBar* bar, int index) : AccessibleLeaf(bar), index_(index) {}

    bool isValid() const override { return !owner_.isNull() && index_ < owner_->count(); }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        switch (t) {
            case QAccessible::Name:
                return WithoutMnemonic(owner_->tabText(index_));
            case QAccessible::Description:
                return owner_->tabToolTip(index_);
            default:
                return {};
        }
    }
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = owner_->pageTabRect(index_);
        return r.isEmpty() ? QRect() : QRect(owner_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        const bool current = owner_->currentIndex() == index_;
        s.selected = current;
        s.focused = current && owner_->hasFocus();
        s.disabled = !owner_->isTabEnabled(index_);
        s.invisible =
            !owner_->isVisible() || !owner_->isTabVisible(index_) || owner_->pageTabRect(index_).isEmpty();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (isValid() && action == pressAction() && owner_->isTabEnabled(index_))
            owner_->setCurrentIndex(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    int index_;
};

// The tab header with its tabs as children, one per page, in page order.
class PageTabBarAccessible : public QAccessibleWidget {
  public:
    explicit PageTabBarAccessible(PageTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}

    int childCount() const override { return bar()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= bar()->count()) return nullptr;
        return tabs_.part(index, [&] { return new PageTabAccessible(bar(), index); });
    }
    int indexOfChild(const QAccessibleInterface* child) const override { return tabs_.keyOf(child); }
    QAccessibleInterface* focusChild() const override {
        return bar()->hasFocus() ? child(bar()->currentIndex()) : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            const QAccessibleInterface* current = child(bar()->currentIndex());
            return current != nullptr ? current->text(QAccessible::Name) : QString();
        }
        return QAccessibleWidget::text(t);
    }

  private:
    PageTabBar* bar() const { return static_cast<PageTabBar*>(widget()); }
    AccessibleParts tabs_;
};

}  // namespace

PageTabBar::PageTabBar(QWidget* parent) : QTabBar(parent) {
    setUsesScrollButtons(false);
    setExpanding(false);
    setDrawBase(false);
    setElideMode(Qt::ElideNone);
    InstallAccessible<PageTabBar, PageTabBarAccessible>();
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
    // The bar is laid out for every paint, click and size question; the texts are measured only when
    // a text, a tab's visibility or the font has changed.
    QStringList texts;
    for (int i = 0; i < count(); ++i) texts.append(isTabVisible(i) ? tabText(i) : QString());
    if (width == laidWidth_ && texts == laidTexts_ && font() == laidFont_) return laid_;
    laid_ = measureTabs(width);
    laidWidth_ = width;
    laidTexts_ = texts;
    laidFont_ = font();
    return laid_;
}

std::vector<QRect> PageTabBar::measureTabs(int width) const {
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
    const std::vector<QRect> rects = layoutTabs(width());
    return index >= 0 && index < static_cast<int>(rects.size()) ? rects[static_cast<std::size_t>(index)]
                                                                : QRect();
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

// A page switch repaints the whole bar while only two tabs change their look: each tab's look is drawn
// once (again when its text, size, state, the palette or the style change) and then copied. The tabs
// are not where the plain tab bar would put them, so a tab is never shown as under the mouse (the
// plain bar's idea of it would light another tab).
void PageTabBar::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const std::vector<QRect> rects = layoutTabs(width());
    const qreal ratio = devicePixelRatioF();
    const quint64 look = static_cast<quint64>(palette().cacheKey()) ^ reinterpret_cast<quintptr>(style());
    if (look != tabLook_ || tabPictures_.size() > 256) {
        tabPictures_.clear();
        tabLook_ = look;
    }
    QStyleOptionTab option;
    option.initFrom(this);
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    option.shape = shape();
    option.documentMode = documentMode();
    if (!documentMode()) option.features |= QStyleOptionTab::HasFrame;
    option.position = QStyleOptionTab::Middle;
    option.selectedPosition = QStyleOptionTab::NotAdjacent;
    const QStyle::State common = option.state;
    // The style may paint a little beyond a tab (the chosen one reaches into the pane): the picture has
    // room for that around the tab.
    constexpr int kOverflow = 4;
    for (int i = 0; i < count(); ++i) {
        const QRect r = rects[static_cast<std::size_t>(i)];
        if (r.isEmpty() || !event->rect().intersects(r)) continue;
        const bool current = i == currentIndex();
        option.state = common;
        option.state.setFlag(QStyle::State_Selected, current);
        option.state.setFlag(QStyle::State_HasFocus, current && hasFocus());
        if (!isTabEnabled(i)) option.state &= ~QStyle::State_Enabled;
        option.text = tabText(i);
        option.tabIndex = i;
        const TabKey key{option.text, r.size(), static_cast<quint32>(option.state), ratio};
        auto it = tabPictures_.find(key);
        if (it == tabPictures_.end()) {
            option.rect = QRect(QPoint(kOverflow, kOverflow), r.size());
            QPixmap picture((r.size() + QSize(2 * kOverflow, 2 * kOverflow)) * ratio);
            picture.setDevicePixelRatio(ratio);
            picture.fill(Qt::transparent);
            QPainter p(&picture);
            style()->drawControl(QStyle::CE_TabBarTab, &option, &p, this);
            p.end();
            it = tabPictures_.insert(key, picture);
        }
        painter.drawPixmap(r.topLeft() - QPoint(kOverflow, kOverflow), *it);
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

// The pane's frame, as the tab widget paints it, copied from its picture.
void PageControl::paintEvent(QPaintEvent* event) {
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    const QRect pane = style()->subElementRect(QStyle::SE_TabWidgetTabPane, &option, this);
    option.rect = pane;
    QPainter painter(this);
    const quint64 look = static_cast<quint64>(palette().cacheKey()) ^
                         (static_cast<quint64>(option.state) << 40) ^
                         (static_cast<quint64>(pane.top()) << 20) ^
                         (static_cast<quint64>(pane.left()) << 32) ^ reinterpret_cast<quintptr>(style());
    frame_.paint(painter, event->region() & pane, size(), look,
                 [&](QPainter& p) { style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &p, this); });
}

void PageControl::resizeEvent(QResizeEvent* event) {
    bar_->updateGeometry();
    QTabWidget::resizeEvent(event);
}

}  // namespace torvane
