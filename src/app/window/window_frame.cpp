// The window's frame: the top row (tool buttons, Read/Verify/Program, status texts, logo), the page
// control with its pages, and the window's size and place on the screen.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/monitor/gauge_widget.h"
#include "app/monitor/monitor_page.h"
#include "app/tools/tuning_tools.h"
#include "app/window/accessible_names.h"
#include "app/window/page_tab_bar.h"
#include "app/window/tform_about.h"
#include "app/window/tform_hlav.h"
#include "app/window/window_actions.h"
#include "app/window/window_link.h"
#include "image/fields.h"
#include "link/link_session.h"
#include "link/monitor_readout.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_page_model.h"
#include "mapgrid/map_panel.h"
#include "settings/ini_file.h"
#include "settings/platform_paths.h"
#include "text/message_table.h"
#include "text/tool_texts.h"
#include "widgets/commit_check_box.h"
#include "widgets/named_control.h"
#include "widgets/radio_group.h"

namespace torvane {

namespace {

// A status text that never widens the window: with less room than its text needs it ends the text
// with "..." and offers the whole text as its tool tip. text() stays the whole text.
class StatusLabel : public QLabel {
  public:
    StatusLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

    // The narrowest a status text gets: a few letters and "...", inside a frame or a style's padding.
    static int shortestWidth(const QFontMetrics& metrics) {
        return metrics.horizontalAdvance(QStringLiteral("Mm\u2026")) + 16;
    }

    QSize minimumSizeHint() const override {
        const QSize whole = QLabel::minimumSizeHint();
        return {std::min(whole.width(), shortestWidth(fontMetrics())), whole.height()};
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        const QString whole = text();
        const QString shown = fontMetrics().elidedText(whole, Qt::ElideRight, room.width());
        QPainter painter(this);
        const auto flags = static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment()).toInt());
        style()->drawItemText(&painter, room, flags, palette(), isEnabled(), shown, foregroundRole());
        // A tip the window set for its own reasons (the fields not in the unit) stays.
        const QString tip = shown == whole ? QString() : whole;
        if (toolTip() == ownTip_ && tip != ownTip_) {
            setToolTip(tip);
            ownTip_ = tip;
        }
    }

  private:
    QString ownTip_;
};

}  // namespace

void TFormHlav::buildToolbar() {
    auto* central = new QWidget(this);
    central->setObjectName("PanelMain");
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout();
    auto* toolBar = new QGroupBox(central);
    toolBar->setObjectName("GroupBoxToolBar");
    toolBar->setFlat(true);
    auto* tools = new QHBoxLayout(toolBar);
    tools->setContentsMargins(0, 0, 0, 0);
    tools->setSpacing(1);
    addSpeedButton(tools, "SpeedButton5", "open", WindowAction::Open);
    addSpeedButton(tools, "SpeedButton6", "new", WindowAction::New);
    addSpeedButton(tools, "SpeedButton7", "save", WindowAction::Save);
    addSpeedButton(tools, "SpeedButtonPrint", "print", WindowAction::Print);
    tools->addSpacing(6);
    addSpeedButton(tools, "SpeedButtonZpet", "undo", WindowAction::Undo);
    addSpeedButton(tools, "SpeedButtonZnovu", "redo", WindowAction::Redo);
    top->addWidget(toolBar);
    top->addSpacing(8);
    ButtonRead = new QPushButton("&Read", central);
    ButtonRead->setObjectName("ButtonRead");
    ButtonVerify = new QPushButton("&Verify", central);
    ButtonVerify->setObjectName("ButtonVerify");
    ButtonProgram = new QPushButton("&Program", central);
    ButtonProgram->setObjectName("ButtonProgram");
    for (QPushButton* b : {ButtonRead, ButtonVerify, ButtonProgram}) {
        b->setFocusPolicy(Qt::NoFocus);
        top->addWidget(b);
    }
    connect(ButtonRead, &QPushButton::clicked, this, &TFormHlav::MenuReadClick);
    connect(ButtonVerify, &QPushButton::clicked, this, &TFormHlav::MenuVerifyClick);
    connect(ButtonProgram, &QPushButton::clicked, this, &TFormHlav::MenuProgramClick);

    QWidget* statusPanel = buildStatusPanel(central);
    top->addSpacing(12);
    top->addWidget(statusPanel, 1);
    auto* logo = new QLabel(central);
    logo->setObjectName("ImageLogo2");
    logo->setPixmap(QPixmap(QStringLiteral(":/pictures/logo.jpg")));
    top->addWidget(logo);
    layout->addLayout(top);

    auto* fileRow = new QHBoxLayout();
    fileRow->addStretch(1);
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(QString("Test%1=").arg(i + 1), central);
        label->setObjectName(QString("LabelTest%1").arg(i + 1));
        fileRow->addWidget(label);
        LabelTest[static_cast<std::size_t>(i)] = label;
    }
    layout->addLayout(fileRow);

    // The fields that differ from the unit, in the status bar; long counts in other languages are cut
    // short like the other status texts.
    LabelNotInUnit = new StatusLabel(QString(), this);
    LabelNotInUnit->setObjectName("LabelNotInUnit");
    LabelNotInUnit->setVisible(false);
    statusBar()->addPermanentWidget(LabelNotInUnit);

    PageControl1 = new PageControl(central);
    PageControl1->setObjectName("PageControl1");
    layout->addWidget(PageControl1, 1);
    setCentralWidget(central);
}

// The status texts and the transfer gauge share the room the buttons and the logo leave: whatever
// they say and whichever of them are shown, the row asks the window for the same width.
QWidget* TFormHlav::buildStatusPanel(QWidget* parent) {
    auto* statusPanel = new QWidget(parent);
    statusPanel->setObjectName("PanelStatus");
    statusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* status = new QHBoxLayout(statusPanel);
    status->setContentsMargins(0, 0, 0, 0);
    status->setSpacing(6);
    LabelHlaseni = new StatusLabel(QString(), statusPanel);
    LabelHlaseni->setObjectName("LabelHlaseni");
    LabelHlaseni->setAutoFillBackground(true);
    LabelHlaseni->setFrameShape(QFrame::Panel);
    LabelHlaseni->setFrameShadow(QFrame::Sunken);
    CGaugeProgram = new GaugeWidget(statusPanel);
    CGaugeProgram->setObjectName("CGaugeProgram");
    status->addWidget(LabelHlaseni);
    status->addWidget(CGaugeProgram);
    status->addStretch(1);

    LabelSpojeni = new StatusLabel("No connection with PC", statusPanel);
    LabelSpojeni->setObjectName("LabelSpojeni");
    LabelSpojeni->setStyleSheet("QLabel { color: white; background: rgb(255,0,0); padding: 2px 6px; }");
    LabelSpojeni->setVisible(false);
    LabelVersion = new StatusLabel(QString(), statusPanel);
    LabelVersion->setObjectName("LabelVersion");
    LabelVersion->setAutoFillBackground(true);
    LabelEeDataErr = new StatusLabel("Programmed data error!", statusPanel);
    LabelEeDataErr->setObjectName("LabelEeDataErr");
    LabelEeDataErr->setStyleSheet("QLabel { color: white; background: rgb(255,0,0); padding: 2px 6px; }");
    status->addWidget(LabelEeDataErr);
    status->addWidget(LabelSpojeni);
    status->addWidget(LabelVersion);
    // Room for all of them at once, each cut down to a few letters.
    statusPanel->setMinimumWidth(CGaugeProgram->minimumSizeHint().width() +
                                 4 * StatusLabel::shortestWidth(statusPanel->fontMetrics()) +
                                 5 * status->spacing());
    return statusPanel;
}

void TFormHlav::buildPages() {
    for (int i = 0; i < PageCount; ++i) {
        auto* page = new QWidget(PageControl1);
        const PageInfo& info = PageInfoOf(i);
        page->setObjectName(
            QString::fromUtf8(info.objectName.data(), static_cast<qsizetype>(info.objectName.size())));
        PageControl1->addTab(
            page, QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())));
    }

    // Pages 0..17: the editor's forms and map panel; it handles the page switch.
    editor_ = new Editor(*this, this, PageControl1);
    editor_->build();
    LabelFile2 = NamedControl<QLabel>(this, "LabelFile2");
    CheckBoxProgHned = NamedControl<QCheckBox>(this, "CheckBoxProgHned");
    CheckBoxZobrMs_Uni = NamedControl<QCheckBox>(this, "CheckBoxZobrMs_Uni");
    CheckBoxAll_Uni = NamedControl<QCheckBox>(this, "CheckBoxAll_Uni");
    CheckBoxAll_PolohaA = NamedControl<QCheckBox>(this, "CheckBoxAll_PolohaA");
    CheckBoxAll_PolohaB = NamedControl<QCheckBox>(this, "CheckBoxAll_PolohaB");

    // Monitor page: the live readouts.
    QWidget* monitor = PageControl1->widget(PageMonitor);
    auto* monitorLayout = new QVBoxLayout(monitor);
    monitorLayout->setContentsMargins(0, 0, 0, 0);
    CheckBoxExtMonitor = WindowLink::buildMonitorPage(monitor, monitorLayout);
}

QToolButton* TFormHlav::addSpeedButton(QLayout* layout, const char* name, const char* icon,
                                       WindowAction action) {
    auto* button = new QToolButton(layout->parentWidget());
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(24, 24));
    const QIcon picture(QStringLiteral(":/icons/%1.png").arg(QLatin1String(icon)));
    QAction* a = (*actions_)[action];
    a->setIcon(picture);
    button->setDefaultAction(a);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    layout->addWidget(button);
    return button;
}

void TFormHlav::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && !fittedToScreen_) {
        fittedToScreen_ = true;
        fitToScreen();
    }
    QMainWindow::showEvent(event);
}

// The window opens wholly on the screen it appears on: the design size, or a size kept from a bigger
// screen, shrinks to the screen's free area; the pages scroll within what is left. Only a screen
// smaller than the window's minimum leaves part of it outside, and then its top left stays in view.

// The window opens wholly on the screen it appears on: the design size, or a size kept from a bigger
// screen, shrinks to the screen's free area; the pages scroll within what is left. Only a screen
// smaller than the window's minimum leaves part of it outside, and then its top left stays in view.
void TFormHlav::fitToScreen() {
    const QScreen* shown = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (shown == nullptr) return;
    const QRect area = shown->availableGeometry();
    const QSize frame = frameGeometry().size() - size();  // the window manager's border, once it has one
    const QSize fitted = size().boundedTo(area.size() - frame).expandedTo(minimumSize());
    if (fitted != size()) resize(fitted);
    const QSize outer = fitted + frame;
    const int left = std::max(area.left(), std::min(x(), area.right() + 1 - outer.width()));
    const int top = std::max(area.top(), std::min(y(), area.bottom() + 1 - outer.height()));
    if (QPoint(left, top) != pos()) move(left, top);
}

void TFormHlav::centreWindow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->geometry();
    move((area.width() - width()) / 2, (area.height() - height()) / 2);
}

// A settings file from another screen must not put the window where nobody can reach it.

// A settings file from another screen must not put the window where nobody can reach it.
void TFormHlav::keepOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    if (width() < 200 || height() < 150 || width() > 8 * area.width() || height() > 8 * area.height()) {
        resize(DesignClientWidth, DesignClientHeight);
    }
    const QRect frame(pos(), size());
    if (!area.intersects(frame.adjusted(0, 0, -frame.width() / 2, -frame.height() / 2))) {
        centreWindow();
    }
}

}  // namespace torvane
