#pragma once
// The tab header of PageControl1: 19 pages do not fit in one row of a 1056-pixel window, so the tabs
// wrap onto as many rows as they need, each row filling the width, and every page stays one click away.

#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <vector>

#include "widgets/frame_picture.h"

namespace torvane {

class PageTabBar : public QTabBar {
    Q_OBJECT

  public:
    explicit PageTabBar(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Where tab i is drawn, in the bar's coordinates (an empty rectangle for a hidden tab). Assistive
    // tools are told the same places, and a click there opens that tab.
    QRect pageTabRect(int index) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void tabLayoutChange() override;

  private:
    int layoutWidth() const;
    int rowHeight() const;
    std::vector<QRect> layoutTabs(int width) const;
    std::vector<QRect> measureTabs(int width) const;

    mutable std::vector<QRect> laid_;
    mutable int laidWidth_ = -1;
    mutable QStringList laidTexts_;
    mutable QFont laidFont_;
    struct TabKey {
        QString text;
        QSize size;
        quint32 state;
        qreal ratio;
        bool operator==(const TabKey&) const = default;
        friend size_t qHash(const TabKey& k, size_t seed = 0) {
            return qHashMulti(seed, k.text, k.size.width(), k.size.height(), k.state);
        }
    };
    QHash<TabKey, QPixmap> tabPictures_;  // each tab's look, by text, size and state
    quint64 tabLook_ = 0;
};

// PageControl1: a tab widget with the wrapping tab header.
class PageControl : public QTabWidget {
    Q_OBJECT

  public:
    explicit PageControl(QWidget* parent = nullptr);
    PageTabBar* pageTabBar() const { return bar_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    PageTabBar* bar_;
    FramePicture frame_;
};

}  // namespace torvane
