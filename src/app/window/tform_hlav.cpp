#include "app/window/tform_hlav.h"

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
#include "widgets/radio_group.h"

namespace torvane {
namespace {

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QByteArray readWholeFile(const QString& path, bool* ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

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
        style()->drawItemText(&painter, room, QStyle::visualAlignment(layoutDirection(), alignment()),
                              palette(), isEnabled(), shown, foregroundRole());
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

TFormHlav::TFormHlav(StartOptions options, std::unique_ptr<UserPrompts> prompts, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), prompts_(std::move(prompts)) {
    setObjectName("TFormHlav");
    if (!prompts_) prompts_ = std::make_unique<MessageBoxPrompts>(this);
    if (options_.settingsDirectory.isEmpty())
        options_.settingsDirectory = QString::fromStdString(SettingsDirectory());
    FormCreate();
    timer1_ = new QTimer(this);
    timer1_->setObjectName("Timer1");
    timer1_->setInterval(TickIntervalMs);
    connect(timer1_, &QTimer::timeout, this, &TFormHlav::Timer1Timer);
    timer1_->start();
}

TFormHlav::~TFormHlav() {
    // The tools use the link and the editor: they go first.
    delete tools_;
    tools_ = nullptr;
}

QString TFormHlav::settingsFilePath() const {
    return options_.settingsDirectory + "/" + QString::fromStdString(SettingsFileName());
}

QString TFormHlav::imageBackupFilePath() const {
    return options_.settingsDirectory + "/" + QString::fromStdString(ImageBackupFileName());
}

QString TFormHlav::messageText(int n) const {
    return fromUtf8(MessageText(n, languageIndex_));
}

void TFormHlav::FormCreate() {
    // 1. Pages, their run-time controls and the port menu.
    buildMenus();
    buildToolbar();
    buildPages();
    // 2. Hints: each control's long hint text is its status tip, shown in the status bar.
    statusBar()->setObjectName("StatusBar1");
    // 3.
    comPortIndex_ = 1;
    // 4. Defaults of motorcycle type 32.
    link_ = std::make_unique<WindowLink>(*this, image_, live_);
    editor_->applyStartDefaults();
    link_->seedSimulatedUnit();
    tools_ = new TuningTools(*this);
    // 5.
    resize(DesignClientWidth, DesignClientHeight);
    centreWindow();
    // 6.
    ReadSettings();
    // 7.
    PageControl1Change();
    // 8. Memo1 keeps at most 349 characters (the editor limits it as it is typed).
    // 9.
    CGaugeProgram->setMaxValue(100);
    // 10. Map tables of the motorcycle type: selected as part of the defaults and the normalization.
    // 11. A language word as first argument beats the settings file.
    if (!options_.arguments.isEmpty()) {
        static const char* const kWords[] = {"ENGLISH", "DEUTSCH", "FRENCH", "CESKY"};
        for (int i = 0; i < LanguageCount; ++i) {
            if (options_.arguments.front() == QLatin1String(kWords[i]))
                languageIndex_ = static_cast<std::uint8_t>(i);
        }
    }
    // 12. Without any answer the no-connection label shows in the seventh tick.
    link_->setSilenceCounter(18);
    // 13.
    NormalizeAll();
    // 14.
    ApplyLanguage();
    ImageToPage();
    // 15.
    editor_->ResetUndoHistory();
    unitType_ = FieldValue(image_, Field(FieldId::Bike));
    // 16.
    OpenComPort();
    // 17.
    ApplyLanguage();
    ImageToPage();
    // 18.
    LabelHlaseni->setVisible(false);
    CGaugeProgram->setVisible(false);
    LabelEeDataErr->setVisible(false);
    // 19.
    ReadDiagnosticsMarker();
    // 20.
    for (QLabel* label : LabelTest) label->setVisible(diagnosticsEnabled_);
    actions_->menu(WindowMenu::Service)->menuAction()->setVisible(diagnosticsEnabled_);
    // 21.
    RefreshDisplay();
}

void TFormHlav::buildMenus() {
    actions_ = std::make_unique<WindowActions>(*this);
    using A = WindowAction;
    const std::pair<A, void (TFormHlav::*)()> handlers[] = {
        {A::Open, &TFormHlav::MenuOpenClick},
        {A::OpenForPage, &TFormHlav::MenuOpenActPageClick},
        {A::Save, &TFormHlav::MenuSaveClick},
        {A::Print, &TFormHlav::PrintPage},
        {A::RestorePoints, &TFormHlav::MenuRestorePointsClick},
        {A::PrintPdf, &TFormHlav::MenuPrintPdfClick},
        {A::Exit, &TFormHlav::MenuExitClick},
        {A::Read, &TFormHlav::MenuReadClick},
        {A::Verify, &TFormHlav::MenuVerifyClick},
        {A::Program, &TFormHlav::MenuProgramClick},
        {A::UnitDifferences, &TFormHlav::MenuUnitDifferencesClick},
        {A::SaveAllNew, &TFormHlav::MenuSaveAllNewClick},
        {A::CompareAll, &TFormHlav::MenuCompareAllClick},
        {A::Contents, &TFormHlav::MenuContensClick},
        {A::About, &TFormHlav::MenuAboutClick},
    };
    for (const auto& [action, handler] : handlers)
        connect((*actions_)[action], &QAction::triggered, this, handler);
    for (int i = 0; i < WindowActions::ComPorts; ++i)
        connect(actions_->comPort(i), &QAction::triggered, this, [this, i] { MenuCom1Click(i); });
    for (int i = 0; i < WindowActions::Languages; ++i)
        connect(actions_->language(i), &QAction::triggered, this, [this, i] { setLanguage(i); });
}

QAction* TFormHlav::editorAction(EditorAction which) {
    using A = WindowAction;
    using E = EditorAction;
    static constexpr std::pair<E, A> kMap[] = {
        {E::New, A::New},
        {E::NewForPage, A::NewForPage},
        {E::Undo, A::Undo},
        {E::Redo, A::Redo},
        {E::JetSeparate, A::JetSeparate},
        {E::JetCoupled, A::JetCoupled},
        {E::JetSame, A::JetSame},
        {E::Minus, A::Minus},
        {E::Plus, A::Plus},
    };
    for (const auto& [e, a] : kMap)
        if (e == which) return (*actions_)[a];
    return nullptr;
}

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

    // The status texts and the transfer gauge share the room the buttons and the logo leave: whatever
    // they say and whichever of them are shown, the row asks the window for the same width.
    auto* statusPanel = new QWidget(central);
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
    LabelFile2 = findChild<QLabel*>("LabelFile2");
    CheckBoxProgHned = findChild<QCheckBox*>("CheckBoxProgHned");
    CheckBoxZobrMs_Uni = findChild<QCheckBox*>("CheckBoxZobrMs_Uni");
    CheckBoxAll_Uni = findChild<QCheckBox*>("CheckBoxAll_Uni");
    CheckBoxAll_PolohaA = findChild<QCheckBox*>("CheckBoxAll_PolohaA");
    CheckBoxAll_PolohaB = findChild<QCheckBox*>("CheckBoxAll_PolohaB");

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

SettingsValues TFormHlav::currentSettings() const {
    SettingsValues v;
    v.Left = x();
    v.Top = y();
    v.Height = height();
    v.Width = width();
    v.ComPortIndex = comPortIndex_;
    v.LanguageIndex = languageIndex_;
    v.File = LabelFile2->text().toStdString();
    v.IniDir = iniDir_.toStdString();
    v.ActivePageIndex = PageControl1->currentIndex();
    v.ZobrMs = CheckBoxZobrMs_Uni->isChecked();
    v.ExtMonitor = CheckBoxExtMonitor->isChecked();
    v.AllPolohaA = CheckBoxAll_PolohaA->isChecked();
    v.AllPolohaB = CheckBoxAll_PolohaB->isChecked();
    return v;
}

void TFormHlav::ReadSettings() {
    IniFile ini;
    bool ok = false;
    const QByteArray text = readWholeFile(settingsFilePath(), &ok);
    if (ok) ini.parse(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));

    SettingsValues v = currentSettings();
    ReadSettingsValues(ini, v);

    move(v.Left, v.Top);
    resize(v.Width, v.Height);
    keepOnScreen();
    comPortIndex_ = v.ComPortIndex;
    languageIndex_ = v.LanguageIndex;
    LabelFile2->setText(QString::fromStdString(v.File));
    iniDir_ = QString::fromStdString(v.IniDir);
    if (v.ActivePageIndex >= 0 && v.ActivePageIndex < PageCount)
        PageControl1->setCurrentIndex(v.ActivePageIndex);
    CheckBoxZobrMs_Uni->setChecked(v.ZobrMs);
    CheckBoxExtMonitor->setChecked(v.ExtMonitor);
    CheckBoxAll_PolohaA->setChecked(v.AllPolohaA);
    CheckBoxAll_PolohaB->setChecked(v.AllPolohaB);

    const QByteArray backup = readWholeFile(imageBackupFilePath(), &ok);
    if (ok) {
        ReadImageBackup(std::string_view(backup.constData(), static_cast<std::size_t>(backup.size())), image_,
                        allStates_);
    }
}

void TFormHlav::WriteSettings() {
    QDir().mkpath(options_.settingsDirectory);
    IniFile ini;
    bool ok = false;
    // Keys of other sections or programs in the same file survive the rewrite.
    const QByteArray old = readWholeFile(settingsFilePath(), &ok);
    if (ok) ini.parse(std::string_view(old.constData(), static_cast<std::size_t>(old.size())));

    WriteSettingsValues(ini, currentSettings());

    auto writeAtomically = [](const QString& path, const std::string& text) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write(text.data(), static_cast<qint64>(text.size()));
        file.commit();
    };
    writeAtomically(settingsFilePath(), ini.text());
    writeAtomically(imageBackupFilePath(), ImageBackupText(image_, allStates_));
}

void TFormHlav::ReadDiagnosticsMarker() {
    diagnosticsEnabled_ = false;
    bool ok = false;
    const QByteArray text = readWholeFile(
        options_.settingsDirectory + "/" + QString::fromStdString(DiagnosticsMarkerFileName()), &ok);
    if (ok) {
        diagnosticsEnabled_ = DiagnosticsMarkerEnables(
            std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    }
}

void TFormHlav::PageControl1Change() {
    editor_->PageControl1Change();
}

void TFormHlav::NormalizeAll() {
    // Settings ranges: an unknown language reads as English, a port index past the menu as the first port.
    if (languageIndex_ > 3) languageIndex_ = 0;
    if (comPortIndex_ >= ComPortCount) comPortIndex_ = 0;
    link_->normalizeImage();
    ApplyMapPageRules(image_);
}

void TFormHlav::ImageToPage() {
    editor_->ImageToPage();
}

void TFormHlav::PageToImage() {
    editor_->PageToImage();
}

DisplayApplier& TFormHlav::displayApplier() {
    // Made at first use: the grids it routes to belong to the editor, which is built after the window.
    if (!display_) {
        display_ = std::make_unique<DisplayApplier>(this);
        display_->setMapGrid(&editor_->mapPanel()->grid());
        for (MapGridView* curve : PageControl1->widget(PagePoloha)->findChildren<MapGridView*>())
            display_->addCurveGrid(&curve->grid());
    }
    return *display_;
}

void TFormHlav::RefreshDisplay() {
    if (editor_ == nullptr) return;
    DisplayApplier& display = displayApplier();
    DisplayInputs in;
    in.page = PageControl1->currentIndex();
    in.ms = editor_->mapPanel()->msBox()->isChecked();
    in.progHned = CheckBoxProgHned != nullptr && CheckBoxProgHned->isChecked();
    in.language = languageIndex_;
    const DisplayShape shape = ShapeDisplay(image_, in);
    // The fixed pages not in view take their shape too: what they hide must not widen the window
    // (the page control is as wide as its widest page), and they are ready when switched to.
    for (int page : {PageBike, PageSynchro, PageCidla, PageIdle, PageGas, PageRace, PageGear}) {
        if (page == in.page) continue;
        DisplayInputs other = in;
        other.page = page;
        const DisplayShape hidden = ShapeDisplay(image_, other);
        std::vector<ElementShape> ownElements;
        for (const ElementShape& e : hidden.elements)
            if (e.name != "CheckBoxProgHned" && e.name.rfind("LabelSnimac", 0) != 0) ownElements.push_back(e);
        display.apply(ownElements);
    }
    display.apply(shape.elements);
    if (shape.clearTempDisplay) {
        SetFieldValue(image_, Field(FieldId::TempDisplay), 0, 0);
        if (auto* box = findChild<QCheckBox*>("CheckBoxTempDisplay"); box != nullptr && box->isChecked())
            box->setChecked(false);
    }
    for (int k = 0; k < 3; ++k) {
        const int tab = PageJet2A + k;
        if (PageControl1->isTabVisible(tab) != shape.injectionTabs[static_cast<std::size_t>(k)])
            PageControl1->setTabVisible(tab, shape.injectionTabs[static_cast<std::size_t>(k)]);
    }
    const WindowAction jetModes[] = {WindowAction::JetSeparate, WindowAction::JetCoupled,
                                     WindowAction::JetSame};
    for (int k = 0; k < 3; ++k) (*actions_)[jetModes[k]]->setChecked(shape.jetMenu == k);
    showNotInUnit();
}

void TFormHlav::TrackOperatingPoint() {
    if (editor_ == nullptr) return;
    DisplayApplier& display = displayApplier();
    const int page = PageControl1->currentIndex();
    const bool ms = editor_->mapPanel()->msBox()->isChecked();
    display.paint(torvane::TrackOperatingPoint(image_, live_, page, ms, liveIndexes_));
    // The throttle sensor's voltage beside its two end points, for setting them.
    if (page == PageCidla && live_.monitorFrames > 0) {
        if (auto* tps = findChild<QLabel*>("LabelTpsNapeti")) {
            const QString text = QStringLiteral("TPS = %1 mV").arg(live_.ThrottleSensorMv);
            if (tps->text() != text) tps->setText(text);
        }
    }
}

void TFormHlav::showToolTime(int milliseconds) {
    if (auto* label = findChild<QLabel*>("LabelTest1"))
        label->setText(QString::asprintf("Test1= %d", milliseconds));
}

std::array<bool, BlockCount>& TFormHlav::blockChanged() {
    return link_->session().blockChanged();
}

void TFormHlav::showUnitHeader() {
    if (link_) link_->showUnitHeader();
}

void TFormHlav::programChangedBlocks() {
    link_->session().ProgramChangedBlocks();
}

bool TFormHlav::confirm(int messageNumber) {
    return ask(messageNumber) == Answer::Yes;
}

Answer TFormHlav::ask(int messageNumber) {
    switch (prompts_->askYesNoCancel(messageText(messageNumber))) {
        case PromptAnswer::Yes:
            return Answer::Yes;
        case PromptAnswer::No:
            return Answer::No;
        case PromptAnswer::Cancel:
            break;
    }
    return Answer::Cancel;
}

void TFormHlav::forgetLoadedFile() {
    LabelHlaseni->setVisible(false);
    CGaugeProgram->setVisible(false);
    if (LabelFile2 != nullptr) LabelFile2->clear();
}

void TFormHlav::OpenComPort() {
    std::string device = ComPortDevice(comPortIndex_);
    if (!options_.portOverride.isEmpty()) device = options_.portOverride.toStdString();
    link_->setDevice(device);
    link_->OpenComPort(false);
}

void TFormHlav::CloseComPort() {
    link_->CloseComPort();
}

void TFormHlav::MenuCom1Click(int index) {
    if (index < 0 || index >= ComPortCount) return;
    comPortIndex_ = static_cast<std::uint8_t>(index);
    CloseComPort();
    OpenComPort();
}

void TFormHlav::MenuExitClick() {
    close();
}

UnitModel* TFormHlav::simulatedUnit() {
    return link_ ? link_->simulatedUnit() : nullptr;
}

void TFormHlav::MenuReadClick() {
    link_->MenuReadClick();
}

void TFormHlav::MenuVerifyClick() {
    PageToImage();
    link_->MenuVerifyClick();
}

void TFormHlav::MenuProgramClick() {
    PageToImage();
    link_->MenuProgramClick();
}

void TFormHlav::Timer1Timer() {
    if (closed_) return;
    link_->Tick();                                       // steps 1 to 4
    LabelVersion->setVisible(LabelSpojeni->isHidden());  // step 5
    TrackOperatingPoint();                               // step 6
    if (tools_ != nullptr) tools_->tick();
}

void TFormHlav::setLanguage(int languageIndex) {
    languageIndex_ = static_cast<std::uint8_t>(languageIndex);
    ApplyLanguage();
    ImageToPage();
}

void TFormHlav::applyHint(QObject* target, const QString& hint) {
    // "short|long": the short part is the tool tip, the long part goes to the status bar.
    const qsizetype bar = hint.indexOf('|');
    const QString shortPart = bar < 0 ? hint : hint.left(bar);
    const QString longPart = bar < 0 ? hint : hint.mid(bar + 1);
    if (auto* action = qobject_cast<QAction*>(target)) {
        action->setToolTip(shortPart);
        action->setStatusTip(longPart);
    } else if (auto* widget = qobject_cast<QWidget*>(target)) {
        widget->setToolTip(shortPart);
        widget->setStatusTip(longPart);
    }
}

void TFormHlav::ApplyLanguage() {
    const int lang = languageIndex_ <= 3 ? languageIndex_ : 0;
    for (int i = 0; i < WindowActions::Languages; ++i) actions_->language(i)->setChecked(i == lang);
    (*actions_)[WindowAction::PrintPdf]->setText(fromUtf8(WindowTextOf(WindowText::PrintToPdf, lang)));
    (*actions_)[WindowAction::RestorePoints]->setText(
        fromUtf8(ToolTextOf(ToolText::MenuRestorePoints, lang)));
    (*actions_)[WindowAction::UnitDifferences]->setText(
        fromUtf8(ToolTextOf(ToolText::MenuUnitDifferences, lang)));
    if (LabelNotInUnit != nullptr) showNotInUnit();
    const QList<MapGridView*> grids = PageControl1->findChildren<MapGridView*>();
    for (const CaptionRow& row : CaptionTable()) {
        const QString name =
            QString::fromUtf8(row.control.data(), static_cast<qsizetype>(row.control.size()));
        const QString text = fromUtf8(std::string(row.text[static_cast<std::size_t>(lang)]));
        if (name == objectName()) {
            if (row.kind == CaptionKind::Caption) setWindowTitle(text);
            continue;
        }
        // The captions of the rpm axes and of the curves' rows are items of their grids.
        {
            bool taken = false;
            for (MapGridView* grid : grids) taken = grid->grid().takeCaption(name, text) || taken;
            if (taken) continue;
        }
        QObject* target = findChild<QObject*>(name);
        if (target == nullptr) {
            // Menus are found through their action.
            if (auto* menu = findChild<QMenu*>(name)) target = menu->menuAction();
        }
        if (auto* menu = qobject_cast<QMenu*>(target)) target = menu->menuAction();
        if (target == nullptr) {
            for (int i = 0; i < PageControl1->count(); ++i) {
                if (PageControl1->widget(i)->objectName() == name && row.kind == CaptionKind::Caption) {
                    PageControl1->setTabText(i, text);
                }
            }
            continue;
        }
        if (row.kind == CaptionKind::Hint) {
            applyHint(target, text);
            continue;
        }
        if (row.kind == CaptionKind::Items) {
            applyItems(target, text.split(QLatin1Char('\n')));
            continue;
        }
        if (row.kind != CaptionKind::Caption) continue;
        if (auto* action = qobject_cast<QAction*>(target)) {
            action->setText(text);
        } else if (auto* label = qobject_cast<QLabel*>(target)) {
            label->setText(text);
        } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
            button->setText(text);
        } else if (auto* box = qobject_cast<QGroupBox*>(target)) {
            box->setTitle(text);
        } else if (auto* page = qobject_cast<QWidget*>(target)) {
            const int index = PageControl1->indexOf(page);
            if (index >= 0) PageControl1->setTabText(index, text);
        }
    }
    if (auto* pilot = findChild<QLabel*>("LabelPilotLight"))
        pilot->setText(messageText(MsgShiftLight) + " [rpm]");
    // Without a connection the monitor's labels show their stems in this language and no values.
    if (LabelSpojeni != nullptr && !LabelSpojeni->isHidden())
        ApplyMonitorReadout(this, MonitorPlaceholders(lang, image_.byteAt(300)));
    link_->applyLanguage(lang);
    if (tools_ != nullptr) tools_->applyLanguage(lang);
    ApplyAccessibleNames(*this, lang);
}

void TFormHlav::MenuContensClick() {
    const QString path =
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + messageText(MsgHelpDocument);
    if (!prompts_->openDocument(path)) prompts_->showMessage(fromUtf8(HelpOpenErrorText(languageIndex_)));
}

void TFormHlav::MenuAboutClick() {
    if (about_ == nullptr) about_ = new TFormAbout(this);
    about_->showFor(languageIndex_);
}

void TFormHlav::applyItems(QObject* target, const QStringList& items) {
    if (auto* group = qobject_cast<RadioGroup*>(target)) {
        if (group->items() == items) return;
        const int index = group->itemIndex();
        group->setItems(items);
        group->setItemIndex(index);
    } else if (auto* combo = qobject_cast<QComboBox*>(target)) {
        if (combo->count() != items.size()) return;  // a list whose entries are not the table's
        for (int i = 0; i < items.size(); ++i) combo->setItemText(i, items[static_cast<qsizetype>(i)]);
    }
}

void TFormHlav::closeEvent(QCloseEvent* event) {
    if (!closed_) FormClose();
    event->accept();
}

void TFormHlav::FormClose() {
    closed_ = true;
    timer1_->stop();
    if (tools_ != nullptr) tools_->closeWindows();
    CloseComPort();
    PageToImage();
    NormalizeAll();
    WriteSettings();
}

}  // namespace torvane
