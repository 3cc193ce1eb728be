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
#include "widgets/named_control.h"
#include "widgets/radio_group.h"

namespace torvane {
namespace {

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

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
        if (auto* box = NamedControl<QCheckBox>(this, "CheckBoxTempDisplay");
            box != nullptr && box->isChecked())
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
        if (auto* tps = NamedControl<QLabel>(this, "LabelTpsNapeti")) {
            const QString text = QStringLiteral("TPS = %1 mV").arg(live_.ThrottleSensorMv);
            if (tps->text() != text) tps->setText(text);
        }
    }
}

void TFormHlav::showToolTime(int milliseconds) {
    if (auto* label = NamedControl<QLabel>(this, "LabelTest1"))
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

void TFormHlav::MenuContensClick() {
    const QString path =
        QCoreApplication::applicationDirPath() + QLatin1Char('/') + messageText(MsgHelpDocument);
    if (!prompts_->openDocument(path)) prompts_->showMessage(fromUtf8(HelpOpenErrorText(languageIndex_)));
}

void TFormHlav::MenuAboutClick() {
    if (about_ == nullptr) about_ = new TFormAbout(this);
    about_->showFor(languageIndex_);
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
