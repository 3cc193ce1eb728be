#include "app/monitor/monitor_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>
#include <initializer_list>

#include "app/monitor/gauge_widget.h"
#include "widgets/named_control.h"

namespace torvane {

namespace {

constexpr const char* IndexObjectName = "MonitorWidgetIndex";

QLabel* AddLabel(QWidget* parent, QLayout* layout, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    // Readouts signal states through their background, so it must be painted.
    label->setAutoFillBackground(true);
    label->setMargin(1);
    // A readout whose text changes with every frame must not re-lay the window out three times a second:
    // its size comes from the column and the font, not from its text.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumSize(
        label->fontMetrics().horizontalAdvance(QStringLiteral("Injection time 4B = 25500 us")),
        label->fontMetrics().height() + 2 * label->margin());
    layout->addWidget(label);
    return label;
}

GaugeWidget* AddGauge(QWidget* parent, QLayout* layout, const char* name, const QColor& fore) {
    auto* gauge = new GaugeWidget(parent);
    gauge->setObjectName(QString::fromLatin1(name));
    gauge->setMaxValue(100);
    gauge->setForeColor(fore);
    layout->addWidget(gauge);
    return gauge;
}

QGroupBox* AddGroup(QGridLayout* grid, QWidget* page, const char* name, const QString& title, int row,
                    int column, std::initializer_list<const char*> labels) {
    auto* box = new QGroupBox(title, page);
    box->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(box);
    layout->setSpacing(1);
    for (const char* label : labels) AddLabel(box, layout, label);
    grid->addWidget(box, row, column);
    return box;
}

void SetLabel(QLabel* label, const LabelReadout& r) {
    if (r.text) {
        const QString text = QString::fromUtf8(r.text->data(), static_cast<qsizetype>(r.text->size()));
        if (label->text() != text) label->setText(text);
    }
    if (r.color) {
        const QColor color = ReadoutQColor(*r.color);
        if (label->palette().color(QPalette::Window) != color || !label->autoFillBackground()) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::Window, color);
            label->setPalette(palette);
            label->setAutoFillBackground(true);
        }
    }
    // isHidden is the label's own state, whether or not the window is shown yet.
    if (r.visible && label->isHidden() == *r.visible) label->setVisible(*r.visible);
}

void SetGauge(GaugeWidget* gauge, const GaugeReadout& r) {
    if (r.progress) gauge->setProgress(*r.progress);
    if (r.foreColor) gauge->setForeColor(ReadoutQColor(*r.foreColor));
}

}  // namespace

QColor ReadoutQColor(ReadoutColor color) {
    switch (color) {
        case ReadoutColor::Red:
            return {255, 0, 0};
        case ReadoutColor::Fuchsia:
            return {255, 0, 255};
        case ReadoutColor::Aqua:
            return {0, 255, 255};
        case ReadoutColor::Lime:
            return {0, 255, 0};
        case ReadoutColor::Yellow:
            return {255, 255, 0};
        case ReadoutColor::White:
            return {255, 255, 255};
        case ReadoutColor::Blue:
            return {0, 0, 255};
        case ReadoutColor::Normal:
            break;
    }
    return QApplication::palette().color(QPalette::Button);
}

MonitorWidgetIndex::MonitorWidgetIndex(QWidget* root) : QObject(root), root_(root) {
    setObjectName(QString::fromLatin1(IndexObjectName));
}

QWidget* MonitorWidgetIndex::find(std::string_view name) {
    const QString key = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    auto it = widgets_.find(key);
    if (it != widgets_.end() && !it->isNull()) return it->data();
    // Not seen yet, or destroyed since: search once more. A name the window lacks is searched each time,
    // which only happens on partial windows such as a page built alone.
    QWidget* widget = NamedControl<QWidget>(root_, key);
    if (widget != nullptr) widgets_.insert(key, widget);
    return widget;
}

QCheckBox* BuildMonitorPage(QWidget* page, QVBoxLayout* layout) {
    // The readouts keep their size in a small window: the page scrolls rather than laying them over each
    // other. A bigger window widens the columns.
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QStringLiteral("ScrollBoxMonitor"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* readouts = new QWidget(scroll);
    readouts->setObjectName(QStringLiteral("PanelMonitorScrolled"));
    auto* grid = new QGridLayout(readouts);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(4);

    QGroupBox* engine = AddGroup(grid, readouts, "GroupBoxMonEngine", QStringLiteral("Engine"), 0, 0, {});
    auto* engineLayout = static_cast<QVBoxLayout*>(engine->layout());
    AddLabel(engine, engineLayout, "LabelRpm");
    AddGauge(engine, engineLayout, "CGaugeRpm", QColor(0, 0, 255));
    AddLabel(engine, engineLayout, "LabelTpsMon");
    AddGauge(engine, engineLayout, "CGaugeTps", QColor(0, 0, 255));
    AddLabel(engine, engineLayout, "LabelLambda");
    AddGauge(engine, engineLayout, "CGaugeLambda", QColor(0, 0, 255));
    AddLabel(engine, engineLayout, "LabelMaxInjProcent");
    AddGauge(engine, engineLayout, "CGaugeDuty", QColor(0, 0, 255));
    AddLabel(engine, engineLayout, "LabelDleTpsProcent");
    AddLabel(engine, engineLayout, "LabelNapeti");
    engineLayout->addStretch(1);

    QGroupBox* jetIgn = AddGroup(
        grid, readouts, "GroupBoxMonJetIgn", QStringLiteral("Injection / ignition"), 0, 1,
        {"LabelMon_Ign1", "LabelMon_Ign2", "LabelMon_Ign3", "LabelMon_Ign4", "LabelMon_Ign",
         "LabelMon_Jet_1A", "LabelMon_Jet_2A", "LabelMon_Jet_3A", "LabelMon_Jet_4A", "LabelMon_Jet_A",
         "LabelMon_Jet_1B", "LabelMon_Jet_2B", "LabelMon_Jet_3B", "LabelMon_Jet_4B", "LabelMon_Jet_B"});
    static_cast<QVBoxLayout*>(jetIgn->layout())->addStretch(1);

    QGroupBox* sensors = AddGroup(grid, readouts, "GroupBoxMonSensors", QStringLiteral("Sensors"), 0, 2,
                                  {"LabelTlak", "LabelPodtlak", "LabelVoda"});
    auto* sensorLayout = static_cast<QVBoxLayout*>(sensors->layout());
    AddGauge(sensors, sensorLayout, "CGaugeVoda", QColor(0, 255, 255));
    for (const char* name : {"LabelVzduch", "LabelMonServoIntake", "LabelMonServoExhaust", "LabelMonPotenc",
                             "LabelMon_PolohaA", "LabelMon_PolohaB"}) {
        AddLabel(sensors, sensorLayout, name);
    }
    sensorLayout->addStretch(1);

    QGroupBox* inOut =
        AddGroup(grid, readouts, "GroupBoxMonInOut", QStringLiteral("Inputs / outputs"), 1, 0,
                 {"LabelMonFallIn", "LabelMonFallOut", "LabelMonBlock2In", "LabelMonBlock2Out",
                  "LabelMonStartLimiterIn", "LabelMonStartLimiterOut", "LabelMonClutchIn",
                  "LabelMonClutchOut", "LabelMonRpmLambdaIn", "LabelMonRpmLambdaOut", "LabelMonIgnLimiter",
                  "LabelMonJetLimiter", "LabelMonRetardLimiter", "LabelMonPilotLight", "LabelClazeniMon",
                  "LabelN2oEnable", "LabelSnimacCkps", "LabelSnimacCmps", "LabelPocetProgramovani"});
    static_cast<QVBoxLayout*>(inOut->layout())->addStretch(1);

    QGroupBox* corrections =
        AddGroup(grid, readouts, "GroupBoxMonKorekce", QStringLiteral("Corrections"), 1, 1,
                 {"LabelKorVodaJet", "LabelKorVzduch", "LabelKorTlak", "LabelKorSytic", "LabelKorNapeti",
                  "LabelKorPotencJet", "LabelKorVodaIgn", "LabelKorPotencIgn"});
    static_cast<QVBoxLayout*>(corrections->layout())->addStretch(1);

    QGroupBox* gear = AddGroup(grid, readouts, "GroupBoxMonGear", QStringLiteral("Gear / speed"), 1, 2,
                               {"LabelGear", "LabelMonSpeed"});
    static_cast<QVBoxLayout*>(gear->layout())->addStretch(1);

    for (int c = 0; c < 3; ++c) grid->setColumnStretch(c, 1);
    scroll->setWidget(readouts);
    layout->addWidget(scroll, 1);

    auto* detailed = new QCheckBox(QStringLiteral("Detailed representation"), page);
    detailed->setObjectName(QStringLiteral("CheckBoxExtMonitor"));
    layout->addWidget(detailed);
    return detailed;
}

void ApplyMonitorReadout(QWidget* root, const MonitorReadout& readout) {
    if (root == nullptr) return;
    auto* index = NamedControlIfAny<MonitorWidgetIndex>(root, QString::fromLatin1(IndexObjectName),
                                                        Qt::FindDirectChildrenOnly);
    if (index == nullptr) index = new MonitorWidgetIndex(root);

    for (const LabelReadout& r : readout.labels) {
        if (auto* label = qobject_cast<QLabel*>(index->find(r.name))) SetLabel(label, r);
    }
    for (const GaugeReadout& r : readout.gauges) {
        if (auto* gauge = qobject_cast<GaugeWidget*>(index->find(r.name))) SetGauge(gauge, r);
    }
}

}  // namespace torvane
