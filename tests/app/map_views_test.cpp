// The row chart and the 3D surface of a map, fed as the window feeds them: whole maps after edits,
// the live cell on every tick, and maps the views cannot draw in full.
#include <gtest/gtest.h>

#include <QChart>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <cmath>
#include <limits>

#include "app/mapviews/map_chart.h"
#include "app/mapviews/map_surface.h"

#if TORVANE_HAS_SURFACE
#include <Q3DSurface>
#include <QSurface3DSeries>
#include <QSurfaceDataProxy>
#endif

namespace torvane {
namespace {

// An ignition advance map: ten throttle rows over 15 speeds, rising with both.
MapViewData AdvanceMap() {
    MapViewData map;
    map.title = "Advance";
    map.valueUnit = "deg";
    for (int c = 0; c < 15; ++c) map.rpm.push_back(1000 + 800 * c);
    for (int r = 0; r < 10; ++r) {
        map.rowNames.push_back(QString("%1 %").arg(r * 10));
        std::vector<double> row;
        for (int c = 0; c < 15; ++c) row.push_back(4.0 + 1.5 * c + 0.5 * r);
        map.values.push_back(row);
    }
    map.liveRow = 3;
    map.liveColumn = 7;
    return map;
}

int RowLineCount(const MapRowChart& chart) {
    int n = 0;
    for (QAbstractSeries* s : chart.chart()->series()) n += s->type() == QAbstractSeries::SeriesTypeLine;
    return n;
}

TEST(MapRowChart, DrawsEveryRowAndMarksTheLiveCell) {
    MapRowChart view;
    const MapViewData map = AdvanceMap();
    view.setData(map);
    EXPECT_EQ(view.objectName(), "MapRowChart");
    EXPECT_EQ(view.windowTitle(), "Map rows - Advance");
    EXPECT_TRUE(view.isWindow());
    EXPECT_EQ(RowLineCount(view), 10);
    for (int r = 0; r < 10; ++r) {
        const auto row = static_cast<std::size_t>(r);
        ASSERT_NE(view.rowSeries(r), nullptr);
        EXPECT_EQ(view.rowSeries(r)->name(), map.rowNames[row]);
        ASSERT_EQ(view.rowSeries(r)->count(), 15);
        EXPECT_EQ(view.rowSeries(r)->at(14), QPointF(12200, map.values[row][14]));
    }
    ASSERT_EQ(view.liveMarker()->count(), 1);
    EXPECT_TRUE(view.liveMarker()->isVisible());
    EXPECT_EQ(view.liveMarker()->at(0), QPointF(map.rpm[7], map.values[3][7]));
    EXPECT_GT(view.rowSeries(3)->pen().widthF(), view.rowSeries(2)->pen().widthF());
    EXPECT_TRUE(view.valueAxis()->titleText().contains("deg"));
    EXPECT_TRUE(view.rpmAxis()->titleText().contains("1/min"));
}

TEST(MapRowChart, EditsKeepTheLinesAndTheTickMovesOnlyTheMarker) {
    MapRowChart view;
    MapViewData map = AdvanceMap();
    view.setData(map);
    QLineSeries* const firstLine = view.rowSeries(0);
    map.values[3][7] = 30.0;
    view.setData(map);
    EXPECT_EQ(view.rowSeries(0), firstLine);
    EXPECT_EQ(view.rowSeries(3)->at(7).y(), 30.0);
    EXPECT_EQ(view.liveMarker()->at(0), QPointF(map.rpm[7], 30.0));

    const QList<QPointF> rowFive = view.rowSeries(5)->points();
    view.setLive(5, 2);
    EXPECT_EQ(view.chart()->series().size(), 11);
    EXPECT_EQ(view.rowSeries(5)->points(), rowFive);
    EXPECT_EQ(view.liveMarker()->at(0), QPointF(map.rpm[2], map.values[5][2]));
    EXPECT_GT(view.rowSeries(5)->pen().widthF(), view.rowSeries(3)->pen().widthF());

    view.setLive(-1, -1);
    EXPECT_FALSE(view.liveMarker()->isVisible());
    EXPECT_EQ(view.liveMarker()->count(), 0);
    EXPECT_EQ(view.rowSeries(5)->pen().widthF(), view.rowSeries(3)->pen().widthF());
}

TEST(MapRowChart, AxesHoldTheDataWithALittleRoom) {
    MapRowChart view;
    MapViewData map = AdvanceMap();
    map.values[0][0] = -12.0;  // a retarded corner
    map.values[9][14] = 48.0;
    view.setData(map);
    const auto expectHolds = [](const QValueAxis* axis, double lo, double hi) {
        EXPECT_LT(axis->min(), lo);
        EXPECT_GT(axis->max(), hi);
        EXPECT_LT(axis->max() - axis->min(), (hi - lo) * 1.25);
    };
    expectHolds(view.rpmAxis(), 1000, 12200);
    expectHolds(view.valueAxis(), -12.0, 48.0);

    // A flat map still gets an axis it sits inside.
    for (auto& row : map.values) std::fill(row.begin(), row.end(), 0.0);
    view.setData(map);
    EXPECT_LT(view.valueAxis()->min(), 0.0);
    EXPECT_GT(view.valueAxis()->max(), 0.0);
}

TEST(MapRowChart, MalformedMapsDrawWhatTheyHold) {
    MapRowChart view;
    view.show();  // axes lay their ticks out only when shown
    view.setData({});
    EXPECT_EQ(RowLineCount(view), 0);
    EXPECT_FALSE(view.liveMarker()->isVisible());

    MapViewData map = AdvanceMap();
    map.rowNames.resize(4);
    map.values[2].resize(5);
    map.values[4][6] = std::numeric_limits<double>::quiet_NaN();
    map.rpm.resize(12);
    map.values.resize(7);
    map.liveRow = 4;
    map.liveColumn = 6;  // the cell without a number
    view.setData(map);
    EXPECT_EQ(RowLineCount(view), 7);
    EXPECT_EQ(view.rowSeries(2)->count(), 5);
    EXPECT_EQ(view.rowSeries(4)->count(), 11);
    EXPECT_FALSE(view.rowSeries(6)->name().isEmpty());
    EXPECT_FALSE(view.liveMarker()->isVisible());
    view.setLive(20, 99);
    EXPECT_FALSE(view.liveMarker()->isVisible());
    EXPECT_TRUE(std::isfinite(view.valueAxis()->min()) && view.valueAxis()->min() < view.valueAxis()->max());

    view.setData(AdvanceMap());
    EXPECT_EQ(RowLineCount(view), 10);
    EXPECT_TRUE(view.liveMarker()->isVisible());
}

TEST(MapSurface, SaysWhyWhenItCannotDrawAndStillTakesData) {
    QString why;
    const bool available = MapSurface::available(&why);
    EXPECT_EQ(why.isEmpty(), available);
    MapSurface view;
    EXPECT_EQ(view.objectName(), "MapSurface");
    view.setData(AdvanceMap());
    view.setLive(-1, 3);
    view.setData({});
    EXPECT_EQ(view.windowTitle(), "Map surface - ");
    if (!available) {
        ASSERT_NE(view.message(), nullptr);
        EXPECT_EQ(view.message()->text(), why);
    }
}

TEST(MapSurface, HoldsTheWholeMapAndSelectsTheLiveCell) {
    QString why;
    if (!MapSurface::available(&why)) GTEST_SKIP() << why.toStdString();
#if TORVANE_HAS_SURFACE
    MapSurface view;
    MapViewData map = AdvanceMap();
    view.setData(map);
    const QSurfaceDataProxy* proxy = view.series()->dataProxy();
    ASSERT_EQ(proxy->rowCount(), 10);
    ASSERT_EQ(proxy->columnCount(), 15);
    EXPECT_EQ(proxy->itemAt(3, 7)->position(), QVector3D(map.rpm[7], map.values[3][7], 3));
    EXPECT_EQ(view.series()->selectedPoint(), QPoint(3, 7));

    QSurface3DSeries* const series = view.series();
    map.values[9][0] = 60.0;
    view.setData(map);
    EXPECT_EQ(view.series(), series);
    EXPECT_FLOAT_EQ(proxy->itemAt(9, 0)->y(), 60.0f);
    EXPECT_GE(view.graph()->axisY()->max(), 60.0f);

    view.setLive(-1, -1);
    EXPECT_EQ(view.series()->selectedPoint(), QSurface3DSeries::invalidSelectionPosition());
    map.rpm[5] = map.rpm[4];  // a speed that does not rise is left out of the grid
    view.setData(map);
    EXPECT_EQ(proxy->columnCount(), 14);
#endif
}

}  // namespace
}  // namespace torvane
