// The datalog viewer: its arithmetic (rows by time, thinning, zoom and pan limits) and the window built
// offscreen over logs made in memory.
#include "app/datalog/datalog_viewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>
#include <QXYSeries>
#include <cmath>
#include <limits>

#include "app/datalog/datalog_plot_math.h"

namespace torvane {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// rows rows logged every dt seconds: rpm rising by 10 a row, tps a saw tooth, clt steady.
Datalog MakeLog(std::size_t rows, double dt = 0.1, bool withRpmTps = true) {
    Datalog log;
    log.names = {"time", withRpmTps ? "rpm" : "map", withRpmTps ? "tps" : "lambda", "clt", "flags"};
    log.units = {"s", withRpmTps ? "1/min" : "kPa", withRpmTps ? "%" : "mV", "C", ""};
    log.columns.resize(log.names.size());
    for (std::size_t i = 0; i < rows; ++i) {
        log.columns[0].push_back(static_cast<double>(i) * dt);
        log.columns[1].push_back(1000.0 + 10.0 * static_cast<double>(i));
        log.columns[2].push_back(static_cast<double>(i % 50) / 2);
        log.columns[3].push_back(85);
        log.columns[4].push_back(static_cast<double>(i % 4));
    }
    return log;
}

TEST(DatalogPlotMath, RowsFoundByTime) {
    const std::vector<double> t{0.0, 0.1, 0.2, 0.5, 1.0};
    EXPECT_EQ(NearestRow(t, 0.2), 2u);   // at a row
    EXPECT_EQ(NearestRow(t, 0.34), 2u);  // between, nearer the earlier
    EXPECT_EQ(NearestRow(t, 0.36), 3u);  // between, nearer the later
    EXPECT_EQ(NearestRow(t, 0.75), 3u);  // a tie takes the earlier row
    EXPECT_EQ(NearestRow(t, -5), 0u);    // before the log
    EXPECT_EQ(NearestRow(t, 99), 4u);    // after it
    EXPECT_EQ(NearestRow(t, NaN), 0u);
    EXPECT_EQ(NearestRow({}, 1.0), 0u);
    EXPECT_EQ(LastRowAtOrBefore(t, 0.5), 3u);
    EXPECT_EQ(LastRowAtOrBefore(t, 0.99), 3u);
    EXPECT_EQ(LastRowAtOrBefore(t, -1), 0u);
    EXPECT_EQ(LastRowAtOrBefore(t, 5), 4u);
    const RowRange r = RowsForTimes(t, 0.15, 0.6);
    EXPECT_EQ(r.first, 1u);  // one row before the window ...
    EXPECT_EQ(r.last, 5u);   // ... and one after it
    // Times that jump back (a damaged log) give some row, never one outside the log.
    const std::vector<double> broken{0, 5, 1, NaN, 2};
    for (double q : {-1.0, 0.5, 3.0, 9.0, NaN}) {
        EXPECT_LT(NearestRow(broken, q), broken.size());
        EXPECT_LT(LastRowAtOrBefore(broken, q), broken.size());
        EXPECT_LE(RowsForTimes(broken, q, q + 1).last, broken.size());
    }
}

TEST(DatalogPlotMath, DecimationKeepsExtremesWithinItsPointBudget) {
    // One hour at 18 rows a second, with a one-row spike either way that any thinning must keep.
    const std::size_t rows = 64800;
    std::vector<double> t(rows), v(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        t[i] = static_cast<double>(i) / 18;
        v[i] = 50 + 10 * std::sin(static_cast<double>(i) / 300);
    }
    v[12345] = 400;
    v[50001] = -300;
    const std::size_t buckets = 800;
    const auto points = DecimateMinMax(t, v, {0, rows}, t.front(), t.back(), buckets);
    EXPECT_LE(points.size(), 2 * buckets + 2);
    EXPECT_GE(points.size(), buckets);
    double high = -1e9, low = 1e9, lastTime = -1;
    for (const PlotPoint& p : points) {
        high = std::max(high, p.value);
        low = std::min(low, p.value);
        EXPECT_GE(p.time, lastTime);  // still in the order logged
        lastTime = p.time;
    }
    EXPECT_EQ(high, 400);
    EXPECT_EQ(low, -300);

    // A zoomed window: only its rows (and one either side), all of them when they fit.
    const RowRange shortRange = RowsForTimes(t, 100, 120);
    const auto zoomed = DecimateMinMax(t, v, shortRange, 100, 120, buckets);
    EXPECT_EQ(zoomed.size(), shortRange.last - shortRange.first);
    EXPECT_LT(zoomed.front().time, 100);
    EXPECT_GT(zoomed.back().time, 120);

    // Missing values are left out rather than drawn.
    std::vector<double> gaps{1, NaN, 3};
    EXPECT_EQ(DecimateMinMax(std::vector<double>{0, 1, 2}, gaps, {0, 3}, 0, 2, 100).size(), 2u);
    // A range beyond the data is cut to it.
    EXPECT_EQ(DecimateMinMax(std::vector<double>{0, 1}, std::vector<double>{5}, {0, 9}, 0, 1, 10).size(), 1u);
}

TEST(DatalogPlotMath, ZoomAndPanStayInsideTheLog) {
    const TimeWindow whole{0, 100};
    TimeWindow v = ZoomWindow(whole, whole, 4, 50, 0.5);
    EXPECT_DOUBLE_EQ(v.begin, 37.5);
    EXPECT_DOUBLE_EQ(v.end, 62.5);
    // The time under the mouse stays where it was on the screen.
    v = ZoomWindow({20, 60}, whole, 2, 30, 0.5);
    EXPECT_DOUBLE_EQ(v.begin, 25);
    EXPECT_DOUBLE_EQ(v.end, 45);
    v = ZoomWindow({0, 10}, whole, 1000, 5, 0.5);
    EXPECT_DOUBLE_EQ(v.span(), 0.5);
    v = ZoomWindow({90, 100}, whole, 0.01, 95, 0.5);
    EXPECT_DOUBLE_EQ(v.begin, 0);
    EXPECT_DOUBLE_EQ(v.end, 100);
    v = ZoomWindow({80, 100}, whole, 0.5, 100, 0.5);  // zoomed out at the end: held inside
    EXPECT_DOUBLE_EQ(v.end, 100);
    EXPECT_DOUBLE_EQ(v.span(), 40);
    v = PanWindow({10, 20}, whole, -50);
    EXPECT_DOUBLE_EQ(v.begin, 0);
    EXPECT_DOUBLE_EQ(v.end, 10);
    v = PanWindow({10, 20}, whole, 1e9);
    EXPECT_DOUBLE_EQ(v.end, 100);
    EXPECT_DOUBLE_EQ(v.span(), 10);
    v = FollowTime({0, 10}, whole, 12);
    EXPECT_DOUBLE_EQ(v.begin, 11);
    EXPECT_DOUBLE_EQ(v.end, 21);
    EXPECT_DOUBLE_EQ(FollowTime({0, 10}, whole, 5).begin, 0);
    EXPECT_DOUBLE_EQ(LogTimeWindow(std::vector<double>{}).span(), 1);
    EXPECT_DOUBLE_EQ(LogTimeWindow(std::vector<double>{7}).span(), 1);
    EXPECT_EQ(StepRow(0, -1, 10), 0u);
    EXPECT_EQ(StepRow(9, 1, 10), 9u);
    EXPECT_EQ(StepRow(5, -100, 10), 0u);
    EXPECT_EQ(StepRow(0, 0, 0), 0u);
}

class DatalogViewerTest : public ::testing::Test {
  protected:
    void SetUp() override { viewer.setLog(MakeLog(100), "/logs/ride-1.csv"); }

    QListWidget* list() { return viewer.findChild<QListWidget*>("ListChannels"); }
    QTableWidget* table() { return viewer.findChild<QTableWidget*>("TableCursor"); }
    QString readout(int row) { return table()->item(row, 1)->text(); }

    DatalogViewer viewer;
};

TEST_F(DatalogViewerTest, ShowsEngineSpeedAndThrottleAndPlotsCheckedChannels) {
    EXPECT_EQ(viewer.windowTitle(), "Datalog - ride-1.csv");
    EXPECT_EQ(viewer.shownChannels(), (std::vector<int>{1, 2}));
    ASSERT_EQ(list()->count(), 4);
    EXPECT_EQ(list()->item(0)->text(), "rpm [1/min]");
    EXPECT_EQ(list()->item(3)->text(), "flags");
    EXPECT_EQ(viewer.chart()->series().size(), 2);
    // Each channel reads on its own axis, on alternate sides.
    const auto left = viewer.chart()->axes(Qt::Vertical);
    ASSERT_EQ(left.size(), 2);
    EXPECT_NE(left[0]->alignment(), left[1]->alignment());

    list()->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(viewer.shownChannels(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(viewer.chart()->series().size(), 3);
    EXPECT_EQ(viewer.chart()->axes(Qt::Vertical).size(), 3);
    list()->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(viewer.shownChannels(), (std::vector<int>{2, 3}));
    EXPECT_EQ(viewer.chart()->series().size(), 2);
    viewer.setChannelShown(0, true);  // the time is no channel
    viewer.setChannelShown(99, true);
    EXPECT_EQ(viewer.chart()->series().size(), 2);

    viewer.setLog(MakeLog(10, 0.1, false), "other.csv");
    EXPECT_EQ(viewer.shownChannels(), (std::vector<int>{1}));
    EXPECT_EQ(viewer.chart()->series().size(), 1);
    EXPECT_EQ(list()->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list()->item(1)->checkState(), Qt::Unchecked);
}

TEST_F(DatalogViewerTest, CursorReadsOutEveryChannelAtItsRow) {
    viewer.setChannelShown(1, false);
    viewer.setCursorRow(42);
    ASSERT_EQ(table()->rowCount(), 5);
    EXPECT_EQ(table()->item(0, 0)->text(), "time");
    EXPECT_EQ(readout(0), "4.200");
    EXPECT_EQ(readout(1), "1420");  // rpm, shown or not
    EXPECT_EQ(readout(2), "21");
    EXPECT_EQ(readout(3), "85");
    EXPECT_EQ(table()->item(1, 2)->text(), "1/min");
    EXPECT_EQ(table()->item(3, 2)->text(), "C");
    viewer.setCursorTime(0.56);
    EXPECT_EQ(viewer.cursorRow(), 6u);
    EXPECT_EQ(readout(1), "1060");
}

TEST_F(DatalogViewerTest, RowShownOncePerCursorChange) {
    QSignalSpy shown(&viewer, &DatalogViewer::rowShown);
    viewer.step(-1);  // already on the first row
    EXPECT_EQ(shown.count(), 0);
    viewer.step(1);
    viewer.setCursorRow(1);
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown.takeFirst().at(0).value<std::size_t>(), 1u);
    viewer.setCursorRow(1000);
    EXPECT_EQ(viewer.cursorRow(), 99u);
    viewer.step(1);
    EXPECT_EQ(viewer.cursorRow(), 99u);
    viewer.step(-3);
    EXPECT_EQ(viewer.cursorRow(), 96u);
    EXPECT_EQ(shown.count(), 2);
}

TEST_F(DatalogViewerTest, ReplayAtTwiceTheLoggedPaceStopsAtTheEnd) {
    QSignalSpy shown(&viewer, &DatalogViewer::rowShown);
    QSignalSpy stopped(&viewer, &DatalogViewer::replayStopped);
    viewer.setSpeed(2);
    EXPECT_EQ(viewer.findChild<QComboBox*>("ComboSpeed")->currentText(), "2x");
    viewer.setCursorRow(10);
    viewer.play();
    ASSERT_TRUE(viewer.playing());
    viewer.advanceReplay(0.5);  // 1 s of log
    EXPECT_EQ(viewer.cursorRow(), 20u);
    viewer.advanceReplay(0.02);  // 0.04 s: not yet the next row
    EXPECT_EQ(viewer.cursorRow(), 20u);
    viewer.advanceReplay(0.04);  // 0.12 s in all: one row on
    EXPECT_EQ(viewer.cursorRow(), 21u);
    viewer.advanceReplay(1.0);
    EXPECT_EQ(viewer.cursorRow(), 41u);
    EXPECT_EQ(shown.count(), 4);
    EXPECT_EQ(stopped.count(), 0);
    viewer.advanceReplay(60);
    EXPECT_EQ(viewer.cursorRow(), 99u);
    EXPECT_FALSE(viewer.playing());
    EXPECT_EQ(stopped.count(), 1);
    viewer.advanceReplay(1);  // not playing: nothing moves
    EXPECT_EQ(viewer.cursorRow(), 99u);

    // Play from the end starts over; a step pauses; closing the window ends the replay once.
    viewer.play();
    EXPECT_EQ(viewer.cursorRow(), 0u);
    viewer.step(1);
    EXPECT_FALSE(viewer.playing());
    EXPECT_EQ(stopped.count(), 2);
    viewer.play();
    viewer.close();
    EXPECT_FALSE(viewer.playing());
    EXPECT_EQ(stopped.count(), 3);
}

TEST_F(DatalogViewerTest, ZoomAndPanKeepToTheLog) {
    EXPECT_EQ(viewer.timeRange(), (std::pair<double, double>{0, 9.9}));
    viewer.zoom(3.3, 3.3);
    EXPECT_NEAR(viewer.timeRange().first, 2.3, 1e-9);  // 3.3 s stays a third of the way in
    EXPECT_NEAR(viewer.timeRange().second, 5.3, 1e-9);
    viewer.pan(-100);
    EXPECT_NEAR(viewer.timeRange().first, 0, 1e-9);
    EXPECT_NEAR(viewer.timeRange().second, 3, 1e-9);
    viewer.zoom(1e6, 1);
    EXPECT_NEAR(viewer.timeRange().second - viewer.timeRange().first, DatalogViewer::MinimumSpanSeconds,
                1e-9);
    viewer.zoom(1e-6, 1);
    EXPECT_EQ(viewer.timeRange(), (std::pair<double, double>{0, 9.9}));

    // The keys on the plot.
    QChartView* plot = viewer.chartView();
    QTest::keyClick(plot, Qt::Key_Plus);
    EXPECT_NEAR(viewer.timeRange().second - viewer.timeRange().first, 4.95, 1e-9);
    QTest::keyClick(plot, Qt::Key_Right);
    QTest::keyClick(plot, Qt::Key_Right);
    EXPECT_NEAR(viewer.timeRange().first, 3.465, 1e-9);
    QTest::keyClick(plot, Qt::Key_Home);
    EXPECT_EQ(viewer.timeRange(), (std::pair<double, double>{0, 9.9}));

    // A replay that runs out of the window takes the window with it.
    viewer.zoom(4, 0);
    viewer.play();
    viewer.advanceReplay(3);
    EXPECT_LE(viewer.timeRange().first, 3.0);
    EXPECT_GE(viewer.timeRange().second, 3.0);
}

TEST_F(DatalogViewerTest, ClickInThePlotSetsTheCursor) {
    viewer.resize(1000, 600);
    viewer.show();
    QApplication::processEvents();
    const QRectF area = viewer.chart()->plotArea();
    ASSERT_GT(area.width(), 100);
    const QPoint middle = viewer.chartView()->mapFromScene(viewer.chart()->mapToScene(area.center()));
    QSignalSpy shown(&viewer, &DatalogViewer::rowShown);
    QTest::mouseClick(viewer.chartView()->viewport(), Qt::LeftButton, {}, middle);
    EXPECT_NEAR(static_cast<double>(viewer.cursorRow()), 49.5, 1.0);
    EXPECT_EQ(shown.count(), 1);
    // Plotted lines stay within about two points per pixel column.
    viewer.setLog(MakeLog(64800, 1.0 / 18), "long.csv");
    QApplication::processEvents();
    const auto* series = static_cast<QXYSeries*>(viewer.chart()->series().front());
    EXPECT_LE(series->count(), 2 * viewer.chart()->plotArea().width() + 10);
}

TEST(DatalogViewer, DamagedLogsShowWithoutHarm) {
    DatalogViewer viewer;
    viewer.setLog(Datalog{}, "empty.csv");
    EXPECT_TRUE(viewer.shownChannels().empty());
    viewer.play();
    viewer.step(1);
    viewer.setCursorRow(5);
    viewer.zoom(2, 0);
    EXPECT_FALSE(viewer.playing());
    EXPECT_EQ(viewer.cursorRow(), 0u);

    // Names and units missing, a short column, a gap: every row stays, the gap reads as no value.
    Datalog ragged;
    ragged.names = {"time", "rpm"};
    ragged.columns = {{0, 1, 2, 3}, {1000, NaN, 1200, 1300}, {5, 6}};
    viewer.setLog(ragged, "ragged.csv");
    EXPECT_EQ(viewer.log().rows(), 4u);
    EXPECT_EQ(viewer.log().columns[2].size(), 4u);
    viewer.setChannelShown(2, true);
    viewer.setCursorRow(1);
    auto* table = viewer.findChild<QTableWidget*>("TableCursor");
    EXPECT_EQ(table->item(1, 1)->text(), "-");
    viewer.setCursorRow(3);
    EXPECT_EQ(table->item(2, 1)->text(), "-");
    EXPECT_EQ(table->item(2, 0)->text(), "column 2");

    Datalog single;
    single.names = {"time", "rpm"};
    single.columns = {{7}, {900}};
    viewer.setLog(single, "one-row.csv");
    EXPECT_GT(viewer.timeRange().second, viewer.timeRange().first);
    viewer.play();
    viewer.advanceReplay(0.1);
    EXPECT_FALSE(viewer.playing());
}

}  // namespace
}  // namespace torvane
