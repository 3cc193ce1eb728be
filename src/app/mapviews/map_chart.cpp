#include "app/mapviews/map_chart.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "display/display_applier.h"
#include "text/message_table.h"
#include "text/tool_texts.h"

namespace torvane {

namespace {

// The value axis: the map's name and its unit, the same in every language.
const char* const ValueAxisText = "%1 [%2]";

constexpr double ThinLine = 1.5;
constexpr double ThickLine = 4.0;
constexpr double MarkerSize = 16.0;
// Room left beside the data on each axis, as a share of the data's span.
constexpr double AxisMargin = 0.04;
constexpr int WantedTicks = 7;

// Rows run from blue (closed throttle, low pressure) through violet and red to amber (full load);
// green stays free for the live cell.
QColor RowColor(int row, int rows) {
    const int hue = rows > 1 ? 240 + row * 170 / (rows - 1) : 240;
    return QColor::fromHsv(hue % 360, 230, 205);
}

// 1, 2 or 5 times a power of ten, the nearest at or above raw.
double RoundStep(double raw) {
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0})
        if (f * power >= raw * 0.999) return f * power;
    return 10.0 * power;
}

void ApplyRange(QValueAxis* axis, const AxisRange& range) {
    // The axis lays its ticks out on every change: an old small step over a new wide range would make
    // tens of thousands of labels, so the step changes on the side where both give few ticks.
    const bool coarser = range.step >= axis->tickInterval();
    if (coarser) axis->setTickInterval(range.step);
    axis->setRange(range.min, range.max);
    if (!coarser) axis->setTickInterval(range.step);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(range.decimals()));
}

}  // namespace

AxisRange FitAxisRange(double lo, double hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi)) return {};
    if (hi < lo) std::swap(lo, hi);
    double span = hi - lo;
    // A flat map still gets an axis that shows it in the middle.
    if (span < 1e-9) {
        const double pad = std::max(std::abs(lo) * 0.1, 1.0);
        lo -= pad;
        hi += pad;
        span = hi - lo;
    } else {
        lo -= span * AxisMargin;
        hi += span * AxisMargin;
        span = hi - lo;
    }
    return {lo, hi, RoundStep(span / WantedTicks)};
}

int AxisRange::decimals() const {
    if (!(step > 0) || !std::isfinite(step)) return 0;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
}

MapRowChart::MapRowChart(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("MapRowChart"));
    chart_ = new QChart();
    chart_->legend()->setAlignment(Qt::AlignRight);
    chart_->legend()->setShowToolTips(true);
    chart_->setMargins(QMargins(4, 4, 4, 4));

    rpmAxis_ = new QValueAxis(chart_);
    valueAxis_ = new QValueAxis(chart_);
    for (QValueAxis* axis : {rpmAxis_, valueAxis_}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setRange(0.0, 1.0);
        axis->setTickInterval(0.2);
    }
    chart_->addAxis(rpmAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);

    marker_ = new QScatterSeries(chart_);
    marker_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    marker_->setMarkerSize(MarkerSize);
    chart_->addSeries(marker_);
    marker_->attachAxis(rpmAxis_);
    marker_->attachAxis(valueAxis_);
    // Set after adding: the chart's theme colours a series as it joins.
    marker_->setColor(DisplayApplier::colorOf(Paint::Green));
    marker_->setBorderColor(QColor(0, 90, 0));
    marker_->setPen(QPen(QColor(0, 90, 0), 2.0));
    // Its legend entry ("Live cell") comes and goes with the marker.
    marker_->setVisible(false);

    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(860, 520);
    setLanguage(language_);
    setData({});
}

QString MapRowChart::text(ToolText t) const {
    return QString::fromStdString(ToolTextOf(t, language_));
}

void MapRowChart::setLanguage(int languageIndex) {
    language_ = languageIndex >= 0 && languageIndex < LanguageCount ? languageIndex : 0;
    setWindowTitle(text(ToolText::ChartTitle).arg(data_.title));
    rpmAxis_->setTitleText(text(ToolText::EngineSpeedAxis));
    marker_->setName(text(ToolText::ChartLiveCell));
    fillRows();  // rows without a name are numbered in the language
}

QLineSeries* MapRowChart::rowSeries(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[static_cast<std::size_t>(row)];
}

void MapRowChart::setData(const MapViewData& viewData) {
    data_ = viewData;
    setWindowTitle(text(ToolText::ChartTitle).arg(data_.title));
    chart_->setTitle(data_.title);
    valueAxis_->setTitleText(data_.valueUnit.isEmpty()
                                 ? data_.title
                                 : QString::fromUtf8(ValueAxisText).arg(data_.title, data_.valueUnit));
    matchRowCount(static_cast<int>(data_.values.size()));
    fillRows();
    fitAxes();
    showLive();
}

void MapRowChart::setLive(int row, int column) {
    if (row == data_.liveRow && column == data_.liveColumn) return;
    data_.liveRow = row;
    data_.liveColumn = column;
    showLive();
}

void MapRowChart::matchRowCount(int rows) {
    const int before = static_cast<int>(rows_.size());
    if (before == rows) return;
    while (static_cast<int>(rows_.size()) > rows) {
        QLineSeries* series = rows_.back();
        rows_.pop_back();
        chart_->removeSeries(series);
        delete series;
    }
    if (thickRow_ >= rows) thickRow_ = -1;
    while (static_cast<int>(rows_.size()) < rows) {
        auto* series = new QLineSeries(chart_);
        rows_.push_back(series);
        chart_->addSeries(series);
        series->attachAxis(rpmAxis_);
        series->attachAxis(valueAxis_);
    }
    if (rows > before) {
        // The marker is drawn last, above the lines.
        chart_->removeSeries(marker_);
        chart_->addSeries(marker_);
        marker_->attachAxis(rpmAxis_);
        marker_->attachAxis(valueAxis_);
        marker_->setColor(DisplayApplier::colorOf(Paint::Green));
    }
    // A line's colour follows its place among the rows.
    for (int r = 0; r < rows; ++r) setRowThick(r, r == thickRow_);
}

void MapRowChart::fillRows() {
    const std::size_t columns = data_.rpm.size();
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const std::vector<double>& row = data_.values[r];
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(std::min(columns, row.size())));
        for (std::size_t c = 0; c < columns && c < row.size(); ++c)
            if (std::isfinite(row[c])) points.append(QPointF(data_.rpm[c], row[c]));
        // An edit changes one cell: the rows it did not touch keep their points and are not laid out again.
        if (rows_[r]->points() != points) rows_[r]->replace(points);
        const QString name =
            r < data_.rowNames.size() ? data_.rowNames[r] : text(ToolText::ChartUnnamedRow).arg(r + 1);
        if (rows_[r]->name() != name) rows_[r]->setName(name);
    }
}

void MapRowChart::fitAxes() {
    double rpmLo = HUGE_VAL, rpmHi = -HUGE_VAL, valueLo = HUGE_VAL, valueHi = -HUGE_VAL;
    for (const QLineSeries* series : rows_) {
        for (const QPointF& p : series->points()) {
            rpmLo = std::min(rpmLo, p.x());
            rpmHi = std::max(rpmHi, p.x());
            valueLo = std::min(valueLo, p.y());
            valueHi = std::max(valueHi, p.y());
        }
    }
    ApplyRange(rpmAxis_, FitAxisRange(rpmLo, rpmHi));
    ApplyRange(valueAxis_, FitAxisRange(valueLo, valueHi));
}

void MapRowChart::showLive() {
    const int row = data_.liveRow;
    const int column = data_.liveColumn;
    bool shown = row >= 0 && column >= 0 && row < static_cast<int>(rows_.size()) &&
                 column < static_cast<int>(data_.rpm.size());
    double value = 0;
    if (shown) {
        const std::vector<double>& values = data_.values[static_cast<std::size_t>(row)];
        shown = column < static_cast<int>(values.size()) &&
                std::isfinite(values[static_cast<std::size_t>(column)]);
        if (shown) value = values[static_cast<std::size_t>(column)];
    }
    if (shown) {
        const QPointF point(data_.rpm[static_cast<std::size_t>(column)], value);
        if (marker_->count() != 1 || marker_->at(0) != point) marker_->replace(QList<QPointF>{point});
    } else if (marker_->count() > 0) {
        marker_->clear();
    }
    marker_->setVisible(shown);

    const int thick = shown ? row : -1;
    if (thick == thickRow_) return;
    if (thickRow_ >= 0) setRowThick(thickRow_, false);
    if (thick >= 0) setRowThick(thick, true);
    thickRow_ = thick;
}

void MapRowChart::setRowThick(int row, bool thick) {
    QLineSeries* series = rowSeries(row);
    if (!series) return;
    QPen pen(RowColor(row, static_cast<int>(rows_.size())), thick ? ThickLine : ThinLine);
    pen.setCapStyle(Qt::RoundCap);
    series->setPen(pen);
}

}  // namespace torvane
