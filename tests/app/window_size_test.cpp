// The main window on a laptop screen: every page, in every language and with any status text, fits a
// 1000 x 640 window; what does not fit scrolls inside the page while the tab rows, the tool bar, the
// status texts, the transfer gauge and the status bar stay in view.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/monitor/gauge_widget.h"
#include "app/monitor/monitor_page.h"
#include "app/window/page_tab_bar.h"
#include "app/window/tform_hlav.h"
#include "editor/page_catalogue.h"
#include "link/monitor_readout.h"
#include "text/message_table.h"

namespace torvane {
namespace {

constexpr int SmallWidth = 1000;
constexpr int SmallHeight = 640;

class QuietPrompts : public UserPrompts {
  public:
    void showMessage(const QString&) override {}
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::No; }
};

std::string Where(int language, int page, bool longStatus) {
    return "language " + std::to_string(language) + " page " + std::to_string(page) +
           (longStatus ? " with long status texts" : " with empty status texts");
}

class WindowSizeTest : public ::testing::Test {
  protected:
    void SetUp() override { start(); }

    void start() {
        w.reset();
        StartOptions o;
        o.portOverride = "/nonexistent/tty-for-tests";
        o.settingsDirectory = dir.path();
        w = std::make_unique<TFormHlav>(o, std::make_unique<QuietPrompts>());
        w->timer1()->stop();
    }

    template <class T>
    T* find(const char* name) const {
        T* found = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The longest text of the message table in the window's font, as a transfer or file error shows it.
    QString longestMessage(int language) const {
        const QFontMetrics metrics(w->font());
        QString longest;
        for (int n = 0; n < MessageCount; ++n) {
            const std::string s = MessageText(n, language);
            const QString text = QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
            if (!text.contains('\n') && metrics.horizontalAdvance(text) > metrics.horizontalAdvance(longest))
                longest = text;
        }
        return longest;
    }

    // Everything the status area can show at once: a long message, the transfer gauge, the error
    // caption, the connection label and a version warning.
    void showLongStatus(int language) {
        const QString message = longestMessage(language);
        find<QLabel>("LabelHlaseni")->setText(message);
        find<QLabel>("LabelHlaseni")->setVisible(true);
        find<QLabel>("LabelVersion")->setText(message + "  PC-70, IGN-69");
        find<QLabel>("LabelVersion")->setVisible(true);
        for (const char* name : {"LabelSpojeni", "LabelEeDataErr"}) find<QLabel>(name)->setVisible(true);
        find<GaugeWidget>("CGaugeProgram")->setVisible(true);
    }

    void hideStatus() {
        for (const char* name : {"LabelHlaseni", "LabelVersion", "LabelSpojeni", "LabelEeDataErr"})
            find<QLabel>(name)->setVisible(false);
        find<GaugeWidget>("CGaugeProgram")->setVisible(false);
    }

    // True when widget is shown and lies wholly inside the window's client area.
    bool inWindow(const QWidget* widget) const {
        if (widget == nullptr || !widget->isVisible() || widget->width() <= 0 || widget->height() <= 0)
            return false;
        const QRect r(widget->mapTo(w.get(), QPoint(0, 0)), widget->size());
        return w->rect().contains(r);
    }

    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> w;
};

TEST_F(WindowSizeTest, EveryPageFitsASmallWindowInEveryLanguageWhateverTheStatusSays) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    auto* pages = find<PageControl>("PageControl1");
    std::map<std::pair<int, int>, int> emptyStatusWidth;
    for (int status = 0; status < 2; ++status)
        for (int language = 0; language < 4; ++language) {
            w->setLanguage(language);
            if (status == 1)
                showLongStatus(language);
            else
                hideStatus();
            for (int page = 0; page < PageCount; ++page) {
                SCOPED_TRACE(Where(language, page, status == 1));
                w->editor().switchToPage(page);
                QApplication::processEvents();
                w->layout()->activate();
                const QSize enforced = w->layout()->totalMinimumSize();
                const QSize hint = w->minimumSizeHint();
                EXPECT_LE(enforced.width(), SmallWidth);
                EXPECT_LE(enforced.height(), SmallHeight);
                EXPECT_LE(hint.width(), SmallWidth);
                EXPECT_LE(hint.height(), SmallHeight);
                const std::pair<int, int> key(language, page);
                if (status == 0)
                    emptyStatusWidth[key] = enforced.width();
                else
                    EXPECT_EQ(enforced.width(), emptyStatusWidth[key]) << "a status text widened the window";

                w->resize(SmallWidth, SmallHeight);
                QApplication::processEvents();
                EXPECT_EQ(w->size(), QSize(SmallWidth, SmallHeight));
                if (w->size() != QSize(SmallWidth, SmallHeight)) continue;
                EXPECT_TRUE(inWindow(w->statusBar()));
                EXPECT_TRUE(inWindow(find<QWidget>("GroupBoxToolBar")));
                for (const char* name : {"ButtonRead", "ButtonVerify", "ButtonProgram"})
                    EXPECT_TRUE(inWindow(find<QWidget>(name))) << name;
                if (status == 1) {
                    EXPECT_TRUE(inWindow(find<QWidget>("CGaugeProgram")));
                    EXPECT_TRUE(inWindow(find<QWidget>("LabelHlaseni")));
                    EXPECT_TRUE(inWindow(find<QWidget>("LabelSpojeni")));
                }
                // Both tab rows and every tab on them.
                PageTabBar* bar = pages->pageTabBar();
                EXPECT_TRUE(inWindow(bar));
                int rows = 0;
                for (int tab = 0; tab < pages->count(); ++tab) {
                    if (!pages->isTabVisible(tab)) continue;
                    const QRect r = bar->pageTabRect(tab);
                    EXPECT_TRUE(bar->rect().contains(r)) << "tab " << tab;
                    rows = std::max(rows, r.bottom() / std::max(1, r.height()) + 1);
                }
                EXPECT_GE(rows, 2);
                EXPECT_TRUE(inWindow(pages->currentWidget()));
            }
        }
}

// A message longer than the room it has is cut short on the screen and readable whole in its tool
// tip; a short one is shown as it is.
TEST_F(WindowSizeTest, ALongStatusTextIsCutShortWithTheWholeTextInItsTip) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->resize(SmallWidth, SmallHeight);
    showLongStatus(1);
    w->setLanguage(1);
    showLongStatus(1);
    QApplication::processEvents();
    auto* status = find<QLabel>("LabelHlaseni");
    const QString message = longestMessage(1);
    ASSERT_LT(status->width(), status->fontMetrics().horizontalAdvance(message));
    status->repaint();
    EXPECT_EQ(status->toolTip().toStdString(), message.toStdString());
    EXPECT_EQ(status->text().toStdString(),
              message.toStdString());  // the link and the tests still read the whole text

    status->setText("OK");
    QApplication::processEvents();
    status->repaint();
    EXPECT_TRUE(status->toolTip().isEmpty());

    // A tip of the label's own (the fields that differ from the unit) is not replaced.
    auto* version = find<QLabel>("LabelVersion");
    version->setToolTip("own tip");
    version->repaint();
    EXPECT_EQ(version->toolTip().toStdString(), "own tip");
}

// The readouts of the Monitor page keep their size when the window is small: the page scrolls instead
// of laying them over each other.
TEST_F(WindowSizeTest, MonitorReadoutsNeverOverlapInASmallWindow) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    find<QCheckBox>("CheckBoxExtMonitor")->setChecked(true);
    w->editor().switchToPage(PageMonitor);
    QWidget* monitor = find<QTabWidget>("PageControl1")->widget(PageMonitor);
    for (int language = 0; language < 4; ++language) {
        SCOPED_TRACE("language " + std::to_string(language));
        w->setLanguage(language);
        ApplyMonitorReadout(w.get(), MonitorPlaceholders(language, 32));
        for (const QSize size : {QSize(SmallWidth, SmallHeight), QSize(TFormHlav::DesignClientWidth, 560)}) {
            w->resize(size);
            QApplication::processEvents();
            ASSERT_EQ(w->size(), size);
            std::vector<QWidget*> readouts;
            for (QWidget* child : monitor->findChildren<QWidget*>()) {
                if (!child->isVisibleTo(monitor)) continue;
                if (qobject_cast<QLabel*>(child) != nullptr || qobject_cast<GaugeWidget*>(child) != nullptr ||
                    qobject_cast<QGroupBox*>(child) != nullptr)
                    readouts.push_back(child);
            }
            ASSERT_GT(readouts.size(), 60U);
            auto place = [&](QWidget* widget) {
                return QRect(widget->mapTo(monitor, QPoint(0, 0)), widget->size());
            };
            for (QWidget* readout : readouts) {
                EXPECT_GE(readout->height(), readout->minimumSizeHint().height())
                    << readout->objectName().toStdString() << " squeezed";
                EXPECT_GE(readout->width(), readout->minimumWidth()) << readout->objectName().toStdString();
            }
            for (std::size_t i = 0; i < readouts.size(); ++i)
                for (std::size_t k = i + 1; k < readouts.size(); ++k) {
                    // A group box holds its readouts; only siblings must not overlap.
                    if (readouts[i]->isAncestorOf(readouts[k]) || readouts[k]->isAncestorOf(readouts[i]))
                        continue;
                    EXPECT_FALSE(place(readouts[i]).intersects(place(readouts[k])))
                        << readouts[i]->objectName().toStdString() << " and "
                        << readouts[k]->objectName().toStdString() << " at " << size.width() << "x"
                        << size.height();
                }
        }
    }
    // Given more room, the readouts take it.
    w->resize(SmallWidth, SmallHeight);
    QApplication::processEvents();
    const int narrow = find<QLabel>("LabelRpm")->width();
    w->resize(1600, 1000);
    QApplication::processEvents();
    EXPECT_GT(find<QLabel>("LabelRpm")->width(), narrow);
}

// The map grid takes the room a bigger window gives; a small window leaves it its minimum.
TEST_F(WindowSizeTest, TheMapGridGrowsWithTheWindow) {
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->editor().switchToPage(PageAdvance);
    auto* grid = find<QWidget>("GroupBoxMapGrid");
    QWidget* view = grid->findChild<QAbstractScrollArea*>();
    ASSERT_NE(view, nullptr);
    w->resize(SmallWidth, SmallHeight);
    QApplication::processEvents();
    const QSize small = view->size();
    EXPECT_GE(small.height(), view->minimumSizeHint().height());
    EXPECT_TRUE(inWindow(view));
    w->resize(1600, 1000);
    QApplication::processEvents();
    EXPECT_GT(view->width(), small.width() + 400);
    EXPECT_GT(view->height(), small.height() + 250);
}

// A window is never opened larger than the screen it appears on, whatever the settings file says,
// and its frame stays on that screen.
TEST_F(WindowSizeTest, TheWindowOpensWithinTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QFile settings(dir.path() + "/Torvane_2008_v70ini");
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[BASIC]\nLeft=-500\nTop=-300\nHeight=3000\nWidth=4000\n");
    settings.close();
    start();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QSize floor = w->minimumSize();
    EXPECT_LE(w->width(), std::max(area.width(), floor.width()));
    EXPECT_LE(w->height(), std::max(area.height(), floor.height()));
    if (area.width() >= floor.width() && area.height() >= floor.height())
        EXPECT_TRUE(area.contains(w->frameGeometry())) << area.width() << "x" << area.height();
    else
        EXPECT_TRUE(area.contains(w->frameGeometry().topLeft()));
}

}  // namespace
}  // namespace torvane
