#include "app/mapviews/map_surface.h"

#include <QGuiApplication>
#include <QLabel>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "display/display_applier.h"
#include "text/message_table.h"
#include "text/tool_texts.h"

#if TORVANE_HAS_SURFACE
#include <Q3DCamera>
#include <Q3DInputHandler>
#include <Q3DLight>
#include <Q3DScene>
#include <Q3DSurface>
#include <Q3DTheme>
#include <QLinearGradient>
#include <QSurface3DSeries>
#include <QSurfaceDataProxy>
#include <QValue3DAxis>
#include <QValue3DAxisFormatter>
#endif

namespace torvane {

namespace {

#if TORVANE_HAS_SURFACE
// Formats that read the same in every language: the map's name with its unit, and the point's label.
const char* const ValueAxisText = "%1 [%2]";
const char* const ItemLabelText = "@zLabel, @xLabel 1/min: @yLabel";
#endif

// Where the tuner looks from when the window opens.
constexpr float CameraYaw = 35.0f;
constexpr float CameraPitch = 28.0f;
constexpr float CameraZoom = 95.0f;
constexpr float HorizontalAspect = 1.4f;
// Enough light that the surface's colours read as the grid's shades, from any side.
constexpr float AmbientLight = 0.55f;

QString Text(ToolText text, int languageIndex) {
    return QString::fromStdString(ToolTextOf(text, languageIndex));
}

// Why the surface cannot be drawn, kept apart from its wording so that one probe serves every language.
struct Unavailable {
    std::optional<ToolText> reason;  // none: the surface can be drawn
    QString platform;
    int major = 0, minor = 0;  // the OpenGL version the display gives
};

QString ReasonText(const Unavailable& u, int languageIndex) {
    if (!u.reason) return {};
    const QString text = Text(*u.reason, languageIndex);
    switch (*u.reason) {
        case ToolText::SurfaceNoScreen:
        case ToolText::SurfaceNoContext:
        case ToolText::SurfaceNoCurrent:
            return text.arg(u.platform);
        case ToolText::SurfaceOldOpenGl:
            return text.arg(u.platform).arg(u.major).arg(u.minor);
        default:
            return text;
    }
}

#if TORVANE_HAS_SURFACE
QString Text(const char* text) {
    return QString::fromUtf8(text);
}

// No reason when an OpenGL context good enough for the surface can be made and used.
Unavailable ProbeOpenGl() {
    const QString platform = QGuiApplication::platformName();
    // These displays have no screen to put a 3D window on; with an X server at hand "offscreen" even
    // makes a context, and the graph then crashes on its first frame.
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return {ToolText::SurfaceNoScreen, platform};
    QOpenGLContext context;
    if (!context.create()) return {ToolText::SurfaceNoContext, platform};
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) return {ToolText::SurfaceNoCurrent, platform};
    context.doneCurrent();
    const QSurfaceFormat format = context.format();
    if (format.majorVersion() * 10 + format.minorVersion() < (context.isOpenGLES() ? 20 : 21))
        return {ToolText::SurfaceOldOpenGl, platform, format.majorVersion(), format.minorVersion()};
    return {};
}

// An axis range on whole tick steps, so that evenly spread 3D labels land on round values.
struct StepRange {
    float min;
    float max;
    int segments;
    int decimals;
};
StepRange RoundedOut(const AxisRange& fit) {
    const double lo = std::floor(fit.min / fit.step + 1e-9) * fit.step;
    const double hi = std::ceil(fit.max / fit.step - 1e-9) * fit.step;
    const int segments = std::clamp(static_cast<int>(std::lround((hi - lo) / fit.step)), 1, 20);
    return {static_cast<float>(lo), static_cast<float>(hi), segments, fit.decimals()};
}

void ApplyRange(QValue3DAxis* axis, const StepRange& range) {
    axis->setRange(range.min, range.max);
    axis->setSegmentCount(range.segments);
    axis->setSubSegmentCount(1);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(range.decimals));
}
#endif

}  // namespace

#if TORVANE_HAS_SURFACE
// Labels the row axis with the rows' names ("0 %", "30 kPa") instead of their numbers.
class RowNameFormatter : public QValue3DAxisFormatter {
  public:
    void setNames(const std::vector<QString>& names) {
        if (names == names_) return;
        names_ = names;
        markDirty(true);
    }

  protected:
    QValue3DAxisFormatter* createNewInstance() const override { return new RowNameFormatter(); }
    void populateCopy(QValue3DAxisFormatter& copy) const override {
        QValue3DAxisFormatter::populateCopy(copy);
        static_cast<RowNameFormatter&>(copy).names_ = names_;
    }
    QString stringForValue(qreal value, const QString& format) const override {
        const long row = std::lround(value);
        if (std::abs(value - static_cast<double>(row)) < 1e-3 && row >= 0 &&
            row < static_cast<long>(names_.size()))
            return names_[static_cast<std::size_t>(row)];
        return QValue3DAxisFormatter::stringForValue(value, format);
    }

  private:
    std::vector<QString> names_;
};
#endif

bool MapSurface::available(QString* why, int languageIndex) {
    Unavailable u;
#if TORVANE_HAS_SURFACE
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        u.reason = ToolText::SurfaceNoApplication;
    } else {
        // The display does not change while the program runs: one probe is enough.
        static const Unavailable probed = ProbeOpenGl();
        u = probed;
    }
#else
    u.reason = ToolText::SurfaceNoModule;
#endif
    if (why) *why = ReasonText(u, languageIndex);
    return !u.reason;
}

MapSurface::MapSurface(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("MapSurface"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QString why;
    if (available(&why)) {
        layout->addWidget(buildGraph());
    } else {
        message_ = new QLabel(why, this);
        message_->setObjectName(QStringLiteral("MapSurfaceMessage"));
        message_->setWordWrap(true);
        message_->setAlignment(Qt::AlignCenter);
        message_->setMargin(24);
        layout->addWidget(message_);
    }
    resize(760, 560);
    setLanguage(language_);
    setData({});
}

void MapSurface::setLanguage(int languageIndex) {
    language_ = languageIndex >= 0 && languageIndex < LanguageCount ? languageIndex : 0;
    setWindowTitle(Text(ToolText::SurfaceTitle, language_).arg(data_.title));
    if (message_) {
        QString why;
        available(&why, language_);
        message_->setText(why);
    }
#if TORVANE_HAS_SURFACE
    if (graph_) {
        graph_->axisX()->setTitle(Text(ToolText::EngineSpeedAxis, language_));
        graph_->axisZ()->setTitle(Text(ToolText::SurfaceRowAxis, language_));
    }
#endif
}

QWidget* MapSurface::buildGraph() {
#if TORVANE_HAS_SURFACE
    graph_ = new Q3DSurface();
    // Shadows cost much on software OpenGL and say nothing about a map.
    graph_->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    graph_->setSelectionMode(QAbstract3DGraph::SelectionItem);
    // Seen from the front left and above: speed rises to the right, load away from the tuner. The floor
    // keeps its shape although speeds span thousands and rows ten; the light turns with the camera.
    graph_->setHorizontalAspectRatio(HorizontalAspect);
    graph_->scene()->activeCamera()->setCameraPosition(CameraYaw, CameraPitch, CameraZoom);
    graph_->scene()->activeLight()->setAutoPosition(true);
    graph_->activeTheme()->setAmbientLightStrength(AmbientLight);
    // The selection is the live cell; a click must not move it.
    if (auto* input = qobject_cast<Q3DInputHandler*>(graph_->activeInputHandler()))
        input->setSelectionEnabled(false);

    auto* x = new QValue3DAxis();
    auto* y = new QValue3DAxis();
    auto* z = new QValue3DAxis();
    rowFormatter_ = new RowNameFormatter();
    z->setFormatter(rowFormatter_);
    for (QValue3DAxis* axis : {x, y, z}) axis->setTitleVisible(true);
    graph_->setAxisX(x);
    graph_->setAxisY(y);
    graph_->setAxisZ(z);

    series_ = new QSurface3DSeries(new QSurfaceDataProxy());
    series_->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
    // Low values blue, high values red, as the map grid shades its cells; green stays the live cell's.
    QLinearGradient gradient;
    gradient.setColorAt(0.0, QColor(30, 90, 255));
    gradient.setColorAt(0.5, QColor(255, 255, 255));
    gradient.setColorAt(1.0, QColor(255, 40, 30));
    series_->setBaseGradient(gradient);
    series_->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
    series_->setSingleHighlightColor(DisplayApplier::colorOf(Paint::Green));
    series_->setItemLabelFormat(Text(ItemLabelText));
    graph_->addSeries(series_);

    QWidget* container = QWidget::createWindowContainer(graph_, this);
    container->setMinimumSize(320, 240);
    container->setFocusPolicy(Qt::StrongFocus);
    return container;
#else
    return nullptr;
#endif
}

void MapSurface::setData(const MapViewData& viewData) {
    data_ = viewData;
    setWindowTitle(Text(ToolText::SurfaceTitle, language_).arg(data_.title));
    if (!graph_) return;
    fillSurface();
    showLive();
}

void MapSurface::setLive(int row, int column) {
    data_.liveRow = row;
    data_.liveColumn = column;
    showLive();
}

void MapSurface::fillSurface() {
#if TORVANE_HAS_SURFACE
    graph_->axisY()->setTitle(
        data_.valueUnit.isEmpty() ? data_.title : Text(ValueAxisText).arg(data_.title, data_.valueUnit));
    rowFormatter_->setNames(data_.rowNames);

    // The surface is a whole grid: every row gets the columns all rows have, and a column whose speed
    // does not rise would fold the grid back over itself.
    std::size_t usable = data_.values.empty() ? 0 : data_.rpm.size();
    for (const std::vector<double>& row : data_.values) usable = std::min(usable, row.size());
    columns_.clear();
    int lastRpm = INT_MIN;
    for (std::size_t c = 0; c < usable; ++c) {
        if (data_.rpm[c] <= lastRpm) continue;
        columns_.push_back(static_cast<int>(c));
        lastRpm = data_.rpm[c];
    }
    const int rows = columns_.empty() ? 0 : static_cast<int>(data_.values.size());
    const int columns = static_cast<int>(columns_.size());

    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (int r = 0; r < rows; ++r) {
        for (int c : columns_) {
            const double v = data_.values[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            if (!std::isfinite(v)) continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    // A cell that holds no number sits at the map's lowest value, so the grid stays whole.
    const double filler = std::isfinite(lo) ? lo : 0.0;
    const auto position = [&](int r, int c) {
        const auto column = static_cast<std::size_t>(columns_[static_cast<std::size_t>(c)]);
        const double v = data_.values[static_cast<std::size_t>(r)][column];
        return QVector3D(static_cast<float>(data_.rpm[column]),
                         static_cast<float>(std::isfinite(v) ? v : filler), static_cast<float>(r));
    };

    QSurfaceDataProxy* proxy = series_->dataProxy();
    if (proxy->rowCount() == rows && proxy->columnCount() == columns) {
        // An edit changes one cell: only that one goes to the graph.
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const QVector3D p = position(r, c);
                if (proxy->itemAt(r, c)->position() != p) proxy->setItem(r, c, QSurfaceDataItem(p));
            }
        }
    } else {
        auto* array = new QSurfaceDataArray();
        array->reserve(rows);
        for (int r = 0; r < rows; ++r) {
            auto* row = new QSurfaceDataRow(columns);
            for (int c = 0; c < columns; ++c) (*row)[c].setPosition(position(r, c));
            array->append(row);
        }
        proxy->resetArray(array);
    }

    if (columns > 0) {
        ApplyRange(graph_->axisX(),
                   RoundedOut(FitAxisRange(data_.rpm[static_cast<std::size_t>(columns_.front())],
                                           data_.rpm[static_cast<std::size_t>(columns_.back())])));
    }
    if (std::isfinite(lo)) ApplyRange(graph_->axisY(), RoundedOut(FitAxisRange(lo, hi)));
    QValue3DAxis* z = graph_->axisZ();
    z->setRange(0.0f, static_cast<float>(std::max(rows - 1, 1)));
    z->setSegmentCount(std::max(rows - 1, 1));
    z->setSubSegmentCount(1);
#endif
}

void MapSurface::showLive() {
#if TORVANE_HAS_SURFACE
    if (!series_) return;
    QPoint selected = QSurface3DSeries::invalidSelectionPosition();
    const int row = data_.liveRow;
    const auto column = std::find(columns_.begin(), columns_.end(), data_.liveColumn);
    if (row >= 0 && row < series_->dataProxy()->rowCount() && data_.liveColumn >= 0 &&
        column != columns_.end())
        selected = QPoint(row, static_cast<int>(column - columns_.begin()));
    if (series_->selectedPoint() != selected) series_->setSelectedPoint(selected);
#endif
}

}  // namespace torvane
