#pragma once
// The map in view drawn as one line per row over engine speed, with the live cell marked: a tool
// window beside the map page that follows every edit and the live point's tick.

#include <QString>
#include <QWidget>
#include <vector>

#include "text/tool_texts.h"

class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace torvane {

// One map as the views draw it, taken from the image by the window.
struct MapViewData {
    QString title;                            // the map's name, e.g. "Advance" or "Inj-1A"
    QString valueUnit;                        // e.g. "deg", "%", "ms"
    std::vector<int> rpm;                     // the rpm breakpoints (1/min), rising
    std::vector<QString> rowNames;            // one name per row, e.g. "0 %" or "30 kPa"
    std::vector<std::vector<double>> values;  // [row][column]
    int liveRow = -1, liveColumn = -1;        // the live cell, -1 when none
};

// An axis range that holds lo..hi with a little room either side, and a round tick step for it.
struct AxisRange {
    double min = 0;
    double max = 1;
    double step = 0.2;
    int decimals() const;  // what labels on this step need
};
AxisRange FitAxisRange(double lo, double hi);

class MapRowChart : public QWidget {
    Q_OBJECT

  public:
    explicit MapRowChart(QWidget* parent = nullptr);

    // Captions the window, the speed axis and the live cell's legend entry in the language.
    void setLanguage(int languageIndex);

    // Keeps the row lines and puts the new points on them; lines are added or removed only when the
    // number of rows changes.
    void setData(const MapViewData& viewData);
    // Moves the live marker (and the thick line) to another cell; -1 hides it.
    void setLive(int row, int column);

    QChart* chart() const { return chart_; }
    QLineSeries* rowSeries(int row) const;  // nullptr outside the rows
    QScatterSeries* liveMarker() const { return marker_; }
    QValueAxis* rpmAxis() const { return rpmAxis_; }
    QValueAxis* valueAxis() const { return valueAxis_; }

  private:
    void matchRowCount(int rows);
    void fillRows();
    void fitAxes();
    void showLive();
    void setRowThick(int row, bool thick);
    QString text(ToolText t) const;

    MapViewData data_;
    int language_ = 0;
    QChartView* view_ = nullptr;
    QChart* chart_ = nullptr;
    QValueAxis* rpmAxis_ = nullptr;
    QValueAxis* valueAxis_ = nullptr;
    std::vector<QLineSeries*> rows_;
    QScatterSeries* marker_ = nullptr;
    int thickRow_ = -1;
};

}  // namespace torvane
