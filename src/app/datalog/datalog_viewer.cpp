#include "app/datalog/datalog_viewer.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "text/message_table.h"
#include "widgets/named_control.h"

namespace torvane {

namespace {

// The window's texts come from the tool texts in the window's language; these are data and formats that
// read the same in every language.
constexpr const char* TextTimeChannel = "time";  // the name of the log's time column
constexpr const char* TextTimeUnit = "s";
constexpr const char* TextNoValue = "-";

// The buttons of the tool row with their captions.
struct ButtonCaption {
    const char* objectName;
    ToolText caption;
};
constexpr ButtonCaption ButtonCaptions[] = {
    {"ButtonStepBack", ToolText::ViewerStepBack}, {"ButtonStep", ToolText::ViewerStep},
    {"ButtonZoomIn", ToolText::ViewerZoomIn},     {"ButtonZoomOut", ToolText::ViewerZoomOut},
    {"ButtonWholeLog", ToolText::ViewerWholeLog}, {"ButtonCellHits", ToolText::ViewerCellHits},
};

struct SpeedChoice {
    const char* text;
    double factor;
};
constexpr std::array<SpeedChoice, 6> SpeedChoices{
    {{"0.25x", 0.25}, {"0.5x", 0.5}, {"1x", 1}, {"2x", 2}, {"4x", 4}, {"8x", 8}}};

// Distinct on white and on each other; a channel takes the first one no shown channel has.
constexpr std::array<QRgb, 10> ChannelColours{0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
                                              0x8c564b, 0xe377c2, 0x17becf, 0x7f7f7f, 0xbcbd22};

constexpr double ButtonZoomFactor = 2.0;
constexpr double WheelZoomFactor = 1.25;  // per notch
constexpr double KeyPanShare = 0.1;       // of the visible window
constexpr int DragThresholdPx = 4;        // a press that moves less is a click
constexpr int PixelsPerTimeTick = 90;
constexpr std::size_t MaxTitledAxes = 4;
constexpr double ValueAxisSteps = 7;  // about as many steps between ticks on a channel's axis

QString ChannelText(const Datalog& log, int column) {
    const QString name = QString::fromStdString(log.names[static_cast<std::size_t>(column)]);
    const std::string& unit = log.units[static_cast<std::size_t>(column)];
    return unit.empty() ? name : QStringLiteral("%1 [%2]").arg(name, QString::fromStdString(unit));
}

// At most three decimals, and none that are only zeros: logged values carry one decimal at most.
QString FormatValue(double value) {
    if (std::isnan(value)) return QString::fromLatin1(TextNoValue);
    if (!(std::abs(value) < 1e9)) return QString::number(value, 'g', 6);
    QString text = QString::number(value, 'f', 3);
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString FormatDuration(double seconds) {
    const auto total = static_cast<long long>(std::llround(std::max(0.0, seconds)));
    return QStringLiteral("%1:%2:%3")
        .arg(total / 3600)
        .arg(total / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(total % 60, 2, 10, QLatin1Char('0'));
}

// 1, 2 or 5 times a power of ten, at least raw.
double NiceInterval(double raw) {
    if (!(raw > 0) || !std::isfinite(raw)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) return m * power;
    return 10 * power;
}

struct AxisScale {
    double low = 0;
    double high = 1;
    int ticks = 2;
};

// The whole log's range of a channel rounded out to round ticks, for an axis that stays put while the
// view moves and the replay runs.
AxisScale ChannelScale(const std::vector<double>& values) {
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (double v : values) {
        if (!std::isfinite(v)) continue;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    if (low > high) return {};
    if (low == high) {
        const double pad = std::max(1.0, std::abs(low) * 0.1);
        low -= pad;
        high += pad;
    }
    const double step = NiceInterval((high - low) / ValueAxisSteps);
    AxisScale scale{std::floor(low / step) * step, std::ceil(high / step) * step, 2};
    scale.ticks = static_cast<int>(std::lround((scale.high - scale.low) / step)) + 1;
    return scale;
}

QIcon ColourIcon(const QColor& colour) {
    QPixmap pixmap(12, 12);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

}  // namespace

// The plot: the cursor line drawn over the chart, and the mouse and keys that move the cursor and the
// time window.
class DatalogChartView : public QChartView {
  public:
    DatalogChartView(QChart* chart, DatalogViewer* viewer) : QChartView(chart, viewer), viewer_(viewer) {
        setFocusPolicy(Qt::StrongFocus);
        setRenderHint(QPainter::Antialiasing);
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return QChartView::mousePressEvent(event);
        setFocus(Qt::MouseFocusReason);
        pressX_ = lastX_ = event->position().x();
        pressed_ = true;
        dragging_ = false;
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!pressed_) return QChartView::mouseMoveEvent(event);
        const double x = event->position().x();
        if (!dragging_ && std::abs(x - pressX_) >= DragThresholdPx) dragging_ = true;
        if (dragging_) {
            viewer_->pan(-(x - lastX_) * viewer_->secondsPerPixel());
            lastX_ = x;
        }
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton || !pressed_) return QChartView::mouseReleaseEvent(event);
        if (!dragging_) viewer_->setCursorTime(viewer_->timeAtViewX(event->position().x()));
        pressed_ = dragging_ = false;
        event->accept();
    }
    void wheelEvent(QWheelEvent* event) override {
        const double notches = event->angleDelta().y() / 120.0;
        if (notches == 0) return QChartView::wheelEvent(event);
        viewer_->zoom(std::pow(WheelZoomFactor, notches), viewer_->timeAtViewX(event->position().x()));
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (viewer_->handleKey(event->key()))
            event->accept();
        else
            QChartView::keyPressEvent(event);
    }
    void drawForeground(QPainter* painter, const QRectF& rect) override {
        QChartView::drawForeground(painter, rect);
        const Datalog& log = viewer_->log();
        if (log.rows() == 0) return;
        const double t = log.columns[0][viewer_->cursorRow()];
        const auto [begin, end] = viewer_->timeRange();
        if (!(t >= begin && t <= end)) return;
        const QRectF area = chart()->plotArea();
        const double x = area.left() + (t - begin) / (end - begin) * area.width();
        const QPointF top = chart()->mapToScene(QPointF(x, area.top()));
        const QPointF bottom = chart()->mapToScene(QPointF(x, area.bottom()));
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(QColor(30, 30, 30), 1));
        painter->drawLine(top, bottom);
        painter->restore();
    }

  private:
    DatalogViewer* viewer_;
    double pressX_ = 0;
    double lastX_ = 0;
    bool pressed_ = false;
    bool dragging_ = false;
};

DatalogViewer::DatalogViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("DatalogViewer");
    buildWindow();
    setLanguage(language_);
    replayTimer_ = new QTimer(this);
    replayTimer_->setInterval(ReplayIntervalMs);
    connect(replayTimer_, &QTimer::timeout, this, &DatalogViewer::onReplayTimer);
}

DatalogViewer::~DatalogViewer() = default;

void DatalogViewer::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(buildToolRow());

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName("SplitterDatalog");
    splitter->setChildrenCollapsible(false);
    buildPlotArea(splitter);
    buildReadout(splitter);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    splitter->setSizes({190, 630, 300});
    layout->addWidget(splitter, 1);
    resize(1120, 640);
}

// The row of replay, speed and zoom controls over the plot, with the log's summary.
QHBoxLayout* DatalogViewer::buildToolRow() {
    auto* tools = new QHBoxLayout;
    tools->setSpacing(4);
    // Captions come with setLanguage.
    const auto button = [&](const char* name, auto slot) {
        auto* b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        tools->addWidget(b);
        return b;
    };
    playButton_ = button("ButtonPlay", [this] { playing_ ? pause() : play(); });
    button("ButtonStepBack", [this] { step(-1); });
    button("ButtonStep", [this] { step(1); });
    speedLabel_ = new QLabel(this);
    speedLabel_->setObjectName("LabelSpeed");
    tools->addSpacing(8);
    tools->addWidget(speedLabel_);
    speedCombo_ = new QComboBox(this);
    speedCombo_->setObjectName("ComboSpeed");
    for (const SpeedChoice& choice : SpeedChoices)
        speedCombo_->addItem(QString::fromLatin1(choice.text), choice.factor);
    speedCombo_->setCurrentIndex(2);
    speedLabel_->setBuddy(speedCombo_);
    connect(speedCombo_, &QComboBox::currentIndexChanged, this,
            [this](int index) { setSpeed(speedCombo_->itemData(index).toDouble()); });
    tools->addWidget(speedCombo_);
    tools->addSpacing(16);
    button("ButtonZoomIn", [this] { zoom(ButtonZoomFactor, (view_.begin + view_.end) / 2); });
    button("ButtonZoomOut", [this] { zoom(1 / ButtonZoomFactor, (view_.begin + view_.end) / 2); });
    button("ButtonWholeLog", [this] { showWholeLog(); });
    tools->addSpacing(16);
    info_ = new QLabel(this);
    info_->setObjectName("LabelLogInfo");
    info_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    tools->addWidget(info_, 1);
    button("ButtonCellHits", [this] { emit cellHitsRequested(); });
    return tools;
}

// The channel list and, right of it, the chart of the shown channels over time.
void DatalogViewer::buildPlotArea(QSplitter* splitter) {
    channelList_ = new QListWidget(splitter);
    channelList_->setObjectName("ListChannels");
    channelList_->setUniformItemSizes(true);
    connect(channelList_, &QListWidget::itemChanged, this, &DatalogViewer::onChannelItemChanged);

    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(4, 8, 4, 4));
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    timeAxis_ = new QValueAxis(chart_);
    timeAxis_->setTickType(QValueAxis::TicksDynamic);
    timeAxis_->setTickAnchor(0);
    timeAxis_->setTruncateLabels(false);
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chartView_ = new DatalogChartView(chart_, this);
    chartView_->setObjectName("ChartDatalog");
    chartView_->setMinimumSize(320, 240);
    splitter->addWidget(chartView_);
    // A new width of the plot area means new pixel columns, so the lines are thinned again.
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        const std::size_t buckets = plotBuckets();
        if (buckets + 2 < lastBuckets_ || buckets > lastBuckets_ + 2) {
            setTimeAxisTicks();
            replot();
        }
        chartView_->viewport()->update();
    });
}

// The table of the shown channels' values at the cursor: name, value and unit.
void DatalogViewer::buildReadout(QSplitter* splitter) {
    readout_ = new QTableWidget(0, 3, splitter);
    readout_->setObjectName("TableCursor");
    readout_->verticalHeader()->hide();
    readout_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    readout_->verticalHeader()->setDefaultSectionSize(readout_->fontMetrics().height() + 4);
    readout_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    readout_->setSelectionMode(QAbstractItemView::NoSelection);
    readout_->setFocusPolicy(Qt::NoFocus);
    readout_->setWordWrap(false);
    readout_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    readout_->setTextElideMode(Qt::ElideRight);
    // The name takes what the value and the unit leave; values have a fixed width, so a replay never
    // re-lays the table out.
    readout_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    readout_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    readout_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Fixed);
    readout_->horizontalHeader()->setStretchLastSection(false);
    readout_->setColumnWidth(1,
                             readout_->fontMetrics().horizontalAdvance(QStringLiteral("-000000.000")) + 12);
}

QString DatalogViewer::text(ToolText t) const {
    return QString::fromStdString(ToolTextOf(t, language_));
}

void DatalogViewer::setLanguage(int languageIndex) {
    language_ = languageIndex >= 0 && languageIndex < LanguageCount ? languageIndex : 0;
    setWindowTitle(fileName_.isEmpty() ? text(ToolText::ViewerTitleNoLog)
                                       : text(ToolText::ViewerTitle).arg(QFileInfo(fileName_).fileName()));
    for (const ButtonCaption& b : ButtonCaptions) {
        if (auto* button = NamedControl<QPushButton>(this, QLatin1String(b.objectName)))
            button->setText(text(b.caption));
    }
    updatePlayButton();
    // Wide enough for either text, so the row does not jump when it changes.
    const QFontMetrics metrics = playButton_->fontMetrics();
    playButton_->setMinimumWidth(std::max(metrics.horizontalAdvance(text(ToolText::ViewerPause)),
                                          metrics.horizontalAdvance(text(ToolText::ViewerPlay))) +
                                 28);
    playButton_->setToolTip(text(ToolText::ViewerPlayTip));
    NamedControl<QPushButton>(this, "ButtonCellHits")->setToolTip(text(ToolText::ViewerCellHitsTip));
    speedLabel_->setText(text(ToolText::ViewerSpeed));
    chartView_->setToolTip(text(ToolText::ViewerPlotTip));
    timeAxis_->setTitleText(text(ToolText::ViewerTimeAxis));
    readout_->setHorizontalHeaderLabels({text(ToolText::ViewerChannelHeader),
                                         text(ToolText::ViewerValueHeader),
                                         text(ToolText::ViewerUnitHeader)});
    fitUnitColumn();
    if (!info_->text().isEmpty()) updateInfo();
}

QChart* DatalogViewer::chart() const {
    return chart_;
}

QChartView* DatalogViewer::chartView() const {
    return chartView_;
}

std::span<const double> DatalogViewer::times() const {
    if (log_.columns.empty()) return {};
    return log_.columns.front();
}

bool DatalogViewer::openLog(const QString& path, QString& error) {
    std::string reason;
    std::optional<Datalog> log = ReadDatalog(QFile::encodeName(path).toStdString(), reason);
    if (!log) {
        error = reason.empty() ? text(ToolText::ViewerCannotRead) : QString::fromStdString(reason);
        return false;
    }
    setLog(std::move(*log), path);
    return true;
}

void DatalogViewer::setLog(Datalog log, const QString& fileName) {
    if (playing_) pause();
    for (const Channel& c : channels_) {
        chart_->removeSeries(c.series);
        delete c.series;
        chart_->removeAxis(c.axis);
        delete c.axis;
    }
    channels_.clear();

    // A log put together by hand may be ragged; every column gets a name, a unit and every row.
    const std::size_t columns = log.columns.size();
    log.names.resize(columns);
    log.units.resize(columns);
    const std::size_t rows = columns == 0 ? 0 : log.columns.front().size();
    for (std::size_t c = 0; c < columns; ++c) {
        if (log.names[c].empty()) log.names[c] = text(ToolText::ViewerUnnamedColumn).arg(c).toStdString();
        if (log.columns[c].size() < rows)
            log.columns[c].resize(rows, std::numeric_limits<double>::quiet_NaN());
    }
    log_ = std::move(log);
    fileName_ = fileName;
    setWindowTitle(text(ToolText::ViewerTitle).arg(QFileInfo(fileName).fileName()));

    whole_ = LogTimeWindow(times());
    view_ = whole_;
    cursorRow_ = 0;
    replayClock_ = rows == 0 ? 0 : times().front();
    fillChannelList();
    fillReadout();
    updateInfo();

    timeAxis_->setRange(view_.begin, view_.end);
    setTimeAxisTicks();
    const auto find = [&](const char* name) {
        const auto it =
            std::find(log_.names.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(1, columns)),
                      log_.names.end(), name);
        return it == log_.names.end() ? -1 : static_cast<int>(it - log_.names.begin());
    };
    const int rpm = find("rpm"), tps = find("tps");
    if (rpm > 0) setChannelShown(rpm, true);
    if (tps > 0) setChannelShown(tps, true);
    if (rpm < 0 && tps < 0 && columns > 1) setChannelShown(1, true);
    updateReadout();
    chartView_->viewport()->update();
}

void DatalogViewer::fillChannelList() {
    const QSignalBlocker block(channelList_);
    channelList_->clear();
    for (std::size_t c = 1; c < log_.columns.size(); ++c) {
        auto* item = new QListWidgetItem(ChannelText(log_, static_cast<int>(c)), channelList_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
        item->setData(Qt::UserRole, static_cast<int>(c));
    }
}

void DatalogViewer::fillReadout() {
    const int rows = static_cast<int>(log_.columns.size());
    readout_->setRowCount(std::max(rows, 1));
    const auto cell = [&](int row, int column, const QString& text, Qt::Alignment align) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(align | Qt::AlignVCenter);
        readout_->setItem(row, column, item);
    };
    cell(0, 0, QString::fromLatin1(TextTimeChannel), Qt::AlignLeft);
    cell(0, 1, QString(), Qt::AlignRight);
    cell(0, 2, QString::fromLatin1(TextTimeUnit), Qt::AlignLeft);
    for (int c = 1; c < rows; ++c) {
        cell(c, 0, QString::fromStdString(log_.names[static_cast<std::size_t>(c)]), Qt::AlignLeft);
        cell(c, 1, QString(), Qt::AlignRight);
        cell(c, 2, QString::fromStdString(log_.units[static_cast<std::size_t>(c)]), Qt::AlignLeft);
    }
    fitUnitColumn();
}

void DatalogViewer::fitUnitColumn() {
    int unitWidth = readout_->fontMetrics().horizontalAdvance(text(ToolText::ViewerUnitHeader));
    for (const std::string& unit : log_.units)
        unitWidth =
            std::max(unitWidth, readout_->fontMetrics().horizontalAdvance(QString::fromStdString(unit)));
    readout_->setColumnWidth(2, unitWidth + 16);
}

void DatalogViewer::updateReadout() {
    const std::size_t rows = log_.rows();
    for (std::size_t c = 0; c < log_.columns.size(); ++c) {
        QTableWidgetItem* item = readout_->item(static_cast<int>(c), 1);
        if (item == nullptr) continue;
        const QString text = rows == 0 ? QString::fromLatin1(TextNoValue)
                             : c == 0  ? QString::number(log_.columns[0][cursorRow_], 'f', 3)
                                       : FormatValue(log_.columns[c][cursorRow_]);
        if (item->text() != text) item->setText(text);
    }
}

void DatalogViewer::updateInfo() {
    QString info = text(ToolText::ViewerLogInfo)
                       .arg(QLocale().toString(static_cast<qulonglong>(log_.rows())))
                       .arg(FormatDuration(log_.rows() < 2 ? 0 : whole_.span()));
    if (log_.skippedLines > 0)
        info += QStringLiteral(", ") + text(ToolText::ViewerSkippedLines).arg(log_.skippedLines);
    info_->setText(info);
    info_->setToolTip(fileName_);
}

void DatalogViewer::setChannelShown(int column, bool shown) {
    if (column < 1 || static_cast<std::size_t>(column) >= log_.columns.size()) return;
    const auto it = std::find_if(channels_.begin(), channels_.end(),
                                 [&](const Channel& c) { return c.column == column; });
    if ((it != channels_.end()) == shown) return;

    QColor colour;
    if (shown) {
        QRgb rgb = ChannelColours[channels_.size() % ChannelColours.size()];
        for (QRgb candidate : ChannelColours) {
            if (std::none_of(channels_.begin(), channels_.end(),
                             [&](const Channel& c) { return c.colour == QColor::fromRgb(candidate); })) {
                rgb = candidate;
                break;
            }
        }
        colour = QColor::fromRgb(rgb);
        Channel channel;
        channel.column = column;
        channel.colour = colour;
        channel.series = new QLineSeries;
        channel.series->setName(ChannelText(log_, column));
        channel.series->setPen(QPen(colour, 1.5));
        channel.axis = new QValueAxis;
        channel.axis->setTitleText(ChannelText(log_, column));
        channel.axis->setTitleBrush(colour);
        channel.axis->setLabelsColor(colour);
        channel.axis->setLinePenColor(colour);
        channel.axis->setLabelFormat(QStringLiteral("%.6g"));
        channel.axis->setTruncateLabels(false);
        const AxisScale scale = ChannelScale(log_.columns[static_cast<std::size_t>(column)]);
        channel.axis->setRange(scale.low, scale.high);
        channel.axis->setTickCount(scale.ticks);
        const auto rightCount =
            std::count_if(channels_.begin(), channels_.end(), [](const Channel& c) { return c.right; });
        channel.right = rightCount * 2 < static_cast<long>(channels_.size());
        chart_->addSeries(channel.series);
        chart_->addAxis(channel.axis, channel.right ? Qt::AlignRight : Qt::AlignLeft);
        channel.series->attachAxis(timeAxis_);
        channel.series->attachAxis(channel.axis);
        channels_.push_back(channel);
        replot(channels_.back());
    } else {
        chart_->removeSeries(it->series);
        delete it->series;
        chart_->removeAxis(it->axis);
        delete it->axis;
        channels_.erase(it);
    }
    // One set of grid lines is enough to read by; more would only clutter. The chart gives its value axes
    // at most two fifths of its width, so past a few axes the titles go and the colours (in the list and
    // the readout) tell the axes apart.
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        channels_[i].axis->setGridLineVisible(i == 0);
        channels_[i].axis->setTitleVisible(channels_.size() <= MaxTitledAxes);
    }

    if (QListWidgetItem* item = channelList_->item(column - 1)) {
        const QSignalBlocker block(channelList_);
        item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
        item->setIcon(shown ? ColourIcon(colour) : QIcon());
    }
    if (QTableWidgetItem* name = readout_->item(column, 0)) {
        name->setForeground(shown ? QBrush(colour) : QBrush());
        QFont font = name->font();
        font.setBold(shown);
        name->setFont(font);
    }
}

std::vector<int> DatalogViewer::shownChannels() const {
    std::vector<int> shown;
    for (const Channel& c : channels_) shown.push_back(c.column);
    std::sort(shown.begin(), shown.end());
    return shown;
}

void DatalogViewer::onChannelItemChanged(QListWidgetItem* item) {
    setChannelShown(item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked);
}

void DatalogViewer::setCursorRow(std::size_t row) {
    moveCursor(row, true);
    if (playing_ && log_.rows() > 0) replayClock_ = times()[cursorRow_];
}

void DatalogViewer::setCursorTime(double t) {
    setCursorRow(NearestRow(times(), t));
}

void DatalogViewer::moveCursor(std::size_t row, bool followView) {
    const std::size_t rows = log_.rows();
    if (rows == 0) return;
    row = std::min(row, rows - 1);
    if (row == cursorRow_) return;
    cursorRow_ = row;
    updateReadout();
    if (followView) {
        const TimeWindow followed = FollowTime(view_, whole_, times()[row]);
        if (followed.begin != view_.begin || followed.end != view_.end) setView(followed);
    }
    chartView_->viewport()->update();
    emit rowShown(row);
}

void DatalogViewer::zoom(double factor, double centreTime) {
    setView(ZoomWindow(view_, whole_, factor, centreTime, MinimumSpanSeconds));
}

void DatalogViewer::pan(double seconds) {
    setView(PanWindow(view_, whole_, seconds));
}

void DatalogViewer::showWholeLog() {
    setView(whole_);
}

void DatalogViewer::setView(TimeWindow view) {
    if (view.begin == view_.begin && view.end == view_.end) return;
    view_ = view;
    timeAxis_->setRange(view_.begin, view_.end);
    setTimeAxisTicks();
    replot();
    chartView_->viewport()->update();
}

void DatalogViewer::setTimeAxisTicks() {
    const double ticks = std::max(2.0, static_cast<double>(plotBuckets()) / PixelsPerTimeTick);
    const double interval = NiceInterval(view_.span() / ticks);
    timeAxis_->setTickInterval(interval);
    timeAxis_->setLabelFormat(interval >= 1     ? QStringLiteral("%.0f")
                              : interval >= 0.1 ? QStringLiteral("%.1f")
                                                : QStringLiteral("%.2f"));
}

std::size_t DatalogViewer::plotBuckets() const {
    double width = chart_->plotArea().width();
    // Before the first layout the plot area is empty; the view's width is a close guess.
    if (width < 50) width = chartView_->width() - 120;
    return static_cast<std::size_t>(std::clamp(width, 200.0, 4000.0));
}

void DatalogViewer::replot() {
    for (const Channel& c : channels_) replot(c);
}

void DatalogViewer::replot(const Channel& channel) {
    lastBuckets_ = plotBuckets();
    const std::span<const double> t = times();
    const std::vector<PlotPoint> points =
        DecimateMinMax(t, log_.columns[static_cast<std::size_t>(channel.column)],
                       RowsForTimes(t, view_.begin, view_.end), view_.begin, view_.end, lastBuckets_);
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const PlotPoint& p : points) list.append(QPointF(p.time, p.value));
    channel.series->replace(list);
}

double DatalogViewer::timeAtViewX(double x) const {
    const QPointF scene = chartView_->mapToScene(QPoint(static_cast<int>(std::lround(x)), 0));
    const QPointF inChart = chart_->mapFromScene(scene);
    const QRectF area = chart_->plotArea();
    if (area.width() <= 0) return view_.begin;
    const double share = std::clamp((inChart.x() - area.left()) / area.width(), 0.0, 1.0);
    return view_.begin + share * view_.span();
}

double DatalogViewer::secondsPerPixel() const {
    const double width = chart_->plotArea().width();
    return width > 0 ? view_.span() / width : 0;
}

bool DatalogViewer::handleKey(int key) {
    const double centre = (view_.begin + view_.end) / 2;
    switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoom(ButtonZoomFactor, centre);
            return true;
        case Qt::Key_Minus:
            zoom(1 / ButtonZoomFactor, centre);
            return true;
        case Qt::Key_Left:
            pan(-KeyPanShare * view_.span());
            return true;
        case Qt::Key_Right:
            pan(KeyPanShare * view_.span());
            return true;
        case Qt::Key_Home:
            showWholeLog();
            return true;
        case Qt::Key_Space:
            playing_ ? pause() : play();
            return true;
        default:
            return false;
    }
}

void DatalogViewer::keyPressEvent(QKeyEvent* event) {
    if (handleKey(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void DatalogViewer::play() {
    const std::size_t rows = log_.rows();
    if (playing_ || rows == 0) return;
    // From the end, a replay starts over.
    if (cursorRow_ + 1 >= rows) moveCursor(0, true);
    replayClock_ = times()[cursorRow_];
    playing_ = true;
    replayWall_.start();
    replayTimer_->start();
    updatePlayButton();
}

void DatalogViewer::pause() {
    if (!playing_) return;
    playing_ = false;
    replayTimer_->stop();
    updatePlayButton();
    emit replayStopped();
}

void DatalogViewer::step(int rows) {
    pause();
    moveCursor(StepRow(cursorRow_, rows, log_.rows()), true);
}

void DatalogViewer::setSpeed(double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    speed_ = factor;
    const int index = speedCombo_->findData(factor);
    if (index >= 0 && index != speedCombo_->currentIndex()) {
        const QSignalBlocker block(speedCombo_);
        speedCombo_->setCurrentIndex(index);
    }
}

void DatalogViewer::advanceReplay(double wallSeconds) {
    if (!playing_) return;
    const ReplayStep next = AdvanceReplayClock(times(), replayClock_, wallSeconds, speed_);
    replayClock_ = next.clock;
    moveCursor(next.row, true);
    if (next.atEnd) pause();
}

void DatalogViewer::onReplayTimer() {
    const double wall = static_cast<double>(replayWall_.nsecsElapsed()) / 1e9;
    replayWall_.restart();
    advanceReplay(wall);
}

void DatalogViewer::updatePlayButton() {
    playButton_->setText(text(playing_ ? ToolText::ViewerPause : ToolText::ViewerPlay));
}

void DatalogViewer::closeEvent(QCloseEvent* event) {
    if (playing_) {
        pause();
    } else {
        emit replayStopped();
    }
    QWidget::closeEvent(event);
}

}  // namespace torvane
