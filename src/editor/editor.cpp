#include "editor/editor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>
#include <utility>

#include "editor/binding_table.h"
#include "editor/fixed_pages.h"
#include "image/catalogue.h"
#include "image/fields.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "text/message_table.h"
#include "widgets/commit_check_box.h"
#include "widgets/named_control.h"
#include "widgets/radio_group.h"
#include "widgets/spin_button.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

// Check boxes that commit their page when the mouse button is released over them.
constexpr const char* kCommitCheckBoxes[] = {"CheckBoxAktRpm",      "CheckBoxAktStartLimiter",
                                             "CheckBoxAktFall",     "CheckBoxAktClutch",
                                             "CheckBoxBlokEnable",  "CheckBoxFallEnable",
                                             "CheckBoxInvInput",    "CheckBoxBikeSecial",
                                             "CheckBoxAll_PolohaA", "CheckBoxAll_PolohaB",
                                             "CheckBoxTempDisplay", "CheckBoxIdleSmerReg",
                                             "CheckBoxIdleAdvOn",   "CheckBoxGas",
                                             "CheckBoxProgHned",    "CheckBoxAll_Uni",
                                             "CheckBoxStepMotor"};

// Radio groups without a handler of their own commit like any other control of their page.
constexpr const char* kCommitRadioGroups[] = {"RadioGroupKyvani1", "RadioGroupKyvani2",
                                              "RadioGroupKyvaniFazeOtacka1", "RadioGroupKyvaniFazeOtacka2"};

// The selectors RadioGroupGearSystemClick stores, with the page each one sits on.
struct Selector {
    const char* control;
    FieldId field;
    int page;
};
constexpr Selector kGearSelectors[] = {{"RadioGroupGearSystem", FieldId::GearSystem, PageGear},
                                       {"RadioGroupClutchMode", FieldId::ClutchMode, PageRace},
                                       {"RadioGroupSpeedMode", FieldId::SpeedMode, PageGear},
                                       {"RadioGroupIdleMode", FieldId::IdleMode, PageIdle}};

constexpr int kThrottleZeroMinMv = 300;
constexpr int kThrottleZeroMaxMv = 2500;
constexpr int kThrottleFullMinMv = 2500;
constexpr int kThrottleFullMaxMv = 4900;

int Get(const DeviceImage& image, FieldId field, int element = 0) {
    return FieldValue(image, Field(field), element);
}
void Set(DeviceImage& image, FieldId field, int value, int element = 0) {
    SetFieldValue(image, Field(field), element, value);
}

// The memo keeps its line breaks as CR LF in the image; the box shows them as plain line breaks.
QString MemoForBox(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).replace("\r\n", "\n");
}
std::string MemoForImage(QString text) {
    return text.replace('\n', "\r\n").toStdString();
}
qsizetype MemoBytes(const QString& text) {
    return text.size() + text.count('\n');
}

class EnterFilter : public QObject {
  public:
    EnterFilter(Editor* editor, QWidget* target) : QObject(target), editor_(editor), target_(target) {
        target->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        editor_->FormKeyPress(target_);
        return true;
    }

  private:
    Editor* editor_;
    QWidget* target_;
};

}  // namespace

Editor::Editor(EditorHost& host, QWidget* window, QTabWidget* pages)
    : QObject(window), host_(host), window_(window), pages_(pages) {}

Editor::~Editor() = default;

void Editor::build() {
    BuildFixedPages(pages_);
    panel_ = new MapPanel(pages_->widget(PageAdvance));
    for (int page = 0; page < PageCount; ++page) {
        if (!IsMapPage(page)) continue;
        auto* layout = new QVBoxLayout(pages_->widget(page));
        layout->setContentsMargins(0, 0, 0, 0);
    }
    pages_->widget(PageAdvance)->layout()->addWidget(panel_);
    binder_ = std::make_unique<PageBinder>(window_);
    memo_ = NamedControl<QPlainTextEdit>(window_, "Memo1");
    bikeCombo_ = NamedControl<QComboBox>(window_, "ComboBoxBike");
    connectHandlers();
    // Every key event passes here before a field can claim Ctrl+Z for the undo of its text.
    qApp->installEventFilter(this);
}

bool Editor::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != window_) return false;
    if (memo_ != nullptr && (widget == memo_ || memo_->isAncestorOf(widget))) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeyCombination combination = key->keyCombination();
    const bool configurationKey =
        combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Z) ||
        combination == QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_Z);
    if (type == QEvent::ShortcutOverride) {
        // Left unclaimed, the key goes to the window's Undo and Redo; the other text-undo keys are
        // claimed here and then dropped as key presses below.
        if (configurationKey) {
            key->ignore();
            return true;
        }
        return false;
    }
    // With nothing to undo the window's action is off and the key arrives as a key press: no field
    // may take it for its text then either.
    return configurationKey || key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo);
}

QAction* Editor::action(EditorAction which) const {
    return host_.editorAction(which);
}

void Editor::connectSpin(SpinField* spin) {
    connect(spin, &SpinField::upDownClicked, this, &Editor::UpDownClick);
    connect(spin, &SpinField::editClicked, this, &Editor::EditOnClick);
    connect(spin, &SpinField::enterPressed, this, [this, spin] { FormKeyPress(spin); });
}

void Editor::connectHandlers() {
    connectSpins();
    connectCheckBoxes();
    connectRadioGroups();
    connectComboBoxes();
    connectButtons();
    connectMenuEntries();
    connectGrids();
    connect(pages_, &QTabWidget::currentChanged, this, [this] {
        if (!switching_) PageControl1Change();
    });
    if (memo_ != nullptr) connect(memo_, &QPlainTextEdit::textChanged, this, &Editor::limitMemo);
}

void Editor::connectSpins() {
    for (SpinField* spin : pages_->findChildren<SpinField*>()) {
        // The grid's one spin field reports through the grid.
        if (!panel_->gridView().isAncestorOf(spin)) connectSpin(spin);
    }
}

void Editor::connectCheckBoxes() {
    for (const char* name : kCommitCheckBoxes) {
        if (std::string_view(name) == "CheckBoxProgHned") continue;  // a handler of its own, below
        if (auto* box = NamedControl<CommitCheckBox>(window_, QLatin1String(name)))
            connect(box, &CommitCheckBox::mouseReleased, this, &Editor::CheckBoxMouseUp);
    }
    if (auto* box = NamedControl<CommitCheckBox>(window_, "CheckBoxProgHned"))
        connect(box, &CommitCheckBox::mouseReleased, this, &Editor::CheckBoxProgHnedMouseUp);
    if (auto* box = NamedControl<CommitCheckBox>(window_, "CheckBoxBikeSecial"))
        connect(box, &QCheckBox::clicked, this, &Editor::CheckBoxBikeSecialClick);
    connect(panel_->tpsBox(), &CommitCheckBox::mouseReleased, this, &Editor::CheckBoxTps_UniMouseUp);
    connect(panel_->msBox(), &CommitCheckBox::mouseReleased, this, &Editor::CheckBoxTps_UniMouseUp);
    connect(panel_->servoEnableBox(), &CommitCheckBox::mouseReleased, this,
            &Editor::CheckBoxServoEnableMouseUp);
    // The percent switch converts the servo map however it is toggled, so the flag and the map never
    // disagree.
    connect(panel_->procentBox(), &QCheckBox::clicked, this, &Editor::CheckBoxProcentaMouseUp);
}

void Editor::connectRadioGroups() {
    connect(panel_->servoModeGroup(), &RadioGroup::itemClicked, this, &Editor::RadioGroupServoModeClick);
    auto radio = [this](const char* name) { return NamedControl<RadioGroup>(window_, QLatin1String(name)); };
    auto onRadio = [&](const char* name, auto handler) {
        if (RadioGroup* g = radio(name)) connect(g, &RadioGroup::itemClicked, this, handler);
    };
    onRadio("RadioGroupPolohaA", [this](int) { RadioGroupPolohaAClick(); });
    onRadio("RadioGroupPolohaB", [this](int) { RadioGroupPolohaAClick(); });
    onRadio("RadioGroupGearSystem", [this](int) { RadioGroupGearSystemClick(); });
    onRadio("RadioGroupClutchMode", [this](int) { RadioGroupGearSystemClick(); });
    onRadio("RadioGroupSpeedMode", [this](int) { RadioGroupGearSystemClick(); });
    onRadio("RadioGroupIdleMode", [this](int i) { RadioGroupIdleModeClick(i); });
    onRadio("RadioGroupPotencMode", [this](int i) { RadioGroupPotencModeClick(i); });
    onRadio("RadioGroupSynchroHrana", [this](int i) { RadioGroupSynchroHranaClick(i); });
    for (const char* name : kCommitRadioGroups) onRadio(name, [this](int) { UpDownClick(); });
}

void Editor::connectComboBoxes() {
    if (bikeCombo_ != nullptr) {
        connect(bikeCombo_, &QComboBox::activated, this, &Editor::ComboBoxBikeChange);
        new EnterFilter(this, bikeCombo_);
    }
    if (auto* c = NamedControl<QComboBox>(window_, "ComboBoxSynchro1"))
        connect(c, &QComboBox::activated, this, &Editor::ComboBoxSynchro1Change);
    if (auto* c = NamedControl<QComboBox>(window_, "ComboBoxSynchro2"))
        connect(c, &QComboBox::activated, this, &Editor::ComboBoxSynchro2Change);
}

void Editor::connectButtons() {
    for (int gear = 0; gear <= 6; ++gear) {
        if (auto* b = NamedControl<QPushButton>(window_, QStringLiteral("ButtonGear%1").arg(gear)))
            connect(b, &QPushButton::clicked, this, [this, gear] { ButtonGearClick(gear); });
    }
    if (auto* b = NamedControl<QPushButton>(window_, "ButtonTps0"))
        connect(b, &QPushButton::clicked, this, &Editor::ButtonTps0Click);
    if (auto* b = NamedControl<QPushButton>(window_, "ButtonTps100"))
        connect(b, &QPushButton::clicked, this, &Editor::ButtonTps100Click);
}

// The menu entries are the window's actions, enabled as the editor takes them over; the map panel's
// tools button steps the same tools as the Minus and Plus entries.
void Editor::connectMenuEntries() {
    auto onAction = [this](EditorAction which, void (Editor::*handler)()) {
        if (QAction* a = action(which)) {
            a->setEnabled(true);
            connect(a, &QAction::triggered, this, handler);
        }
    };
    onAction(EditorAction::New, &Editor::MenuNewClick);
    onAction(EditorAction::NewForPage, &Editor::MenuNewActPageClick);
    onAction(EditorAction::Undo, &Editor::SpeedButtonZpetClick);
    onAction(EditorAction::Redo, &Editor::SpeedButtonZnovuClick);
    onAction(EditorAction::JetSeparate, &Editor::Menu_Jet123NormalClick);
    onAction(EditorAction::JetCoupled, &Editor::Menu_Jet123CoupledClick);
    onAction(EditorAction::JetSame, &Editor::Menu_Jet123StejnyClick);
    onAction(EditorAction::Minus, &Editor::MenuToolsMinusClick);
    onAction(EditorAction::Plus, &Editor::MenuToolsPlusClick);
    connect(panel_->toolsButton(), &SpinButton::downClicked, this, &Editor::MenuToolsMinusClick);
    connect(panel_->toolsButton(), &SpinButton::upClicked, this, &Editor::MenuToolsPlusClick);
}

// The grids (the map panel's and the position curves'): their items commit as every field does;
// the map grid's column buttons step a column.
void Editor::connectGrids() {
    for (MapGridView* g : pages_->findChildren<MapGridView*>()) {
        connect(g, &MapGridView::upDownClicked, this, &Editor::UpDownClick);
        connect(g, &MapGridView::editClicked, this, &Editor::EditOnClick);
        connect(g, &MapGridView::enterPressed, this, [this] {
            PageToImage();
            CommitChange();
        });
    }
    MapGridView& grid = panel_->gridView();
    connect(&grid, &MapGridView::columnStepped, this, [this](int column, int direction) {
        if (direction > 0) {
            CSpinButtonUpClick_Uni(column);
        } else {
            CSpinButtonDownClick_Uni(column);
        }
    });
    if (auto* b = NamedControl<SpinButton>(window_, "CSpinButtonPolohaA")) {
        connect(b, &SpinButton::downClicked, this, &Editor::ButtonMinusClick_PolohaA);
        connect(b, &SpinButton::upClicked, this, &Editor::ButtonPlusClick_PolohaA);
    }
    if (auto* b = NamedControl<SpinButton>(window_, "CSpinButtonPolohaB")) {
        connect(b, &SpinButton::downClicked, this, &Editor::ButtonMinusClick_PolohaB);
        connect(b, &SpinButton::upClicked, this, &Editor::ButtonPlusClick_PolohaB);
    }
}

void Editor::applyStartDefaults() {
    Set(image(), FieldId::Bike, StartupBikeCode);
    ApplyDefaults(image(), injection_, defaults_, false, 0);
}

bool Editor::programAfterChange() const {
    auto* box = NamedControl<QCheckBox>(window_, "CheckBoxProgHned");
    return box != nullptr && box->isChecked();
}

// --- passes ----------------------------------------------------------------------------------------

void Editor::movePanelTo(int page) {
    QWidget* sheet = pages_->widget(page);
    if (panel_->parentWidget() == sheet) return;
    sheet->layout()->addWidget(panel_);
    // A panel hidden while its page is rebuilt is shown when the rebuild is done.
    if (!gridHidden_) panel_->show();
}

void Editor::showMemo() {
    if (memo_ == nullptr) return;
    const QString text = MemoForBox(image().memoText());
    if (memo_->toPlainText() != text) memo_->setPlainText(text);
}

void Editor::takeMemo() {
    if (memo_ != nullptr) image().setMemoText(MemoForImage(memo_->toPlainText()));
}

void Editor::limitMemo() {
    // The unit keeps 349 bytes of notes; a line break takes two of them.
    const QString text = memo_->toPlainText();
    if (MemoBytes(text) <= static_cast<qsizetype>(MemoMaxLength)) return;
    QString cut = text;
    while (MemoBytes(cut) > static_cast<qsizetype>(MemoMaxLength)) cut.chop(1);
    QTextCursor cursor = memo_->textCursor();
    const int position = cursor.position();
    memo_->setPlainText(cut);
    cursor = memo_->textCursor();
    cursor.setPosition(std::min(position, static_cast<int>(cut.size())));
    memo_->setTextCursor(cursor);
}

void Editor::ImageToPage() {
    const ChannelMode mode = ChannelModeOf(image());
    coupled_ = mode.coupled;
    identical_ = mode.identical;
    activePage_ = pages_->currentIndex();
    if (IsMapPage(activePage_)) {
        movePanelTo(activePage_);
        panel_->showValues(activePage_,
                           ImageToMapPanel(image(), injection_, activePage_, host_.mapAllFlags()));
    } else if (activePage_ != PageMonitor) {
        if (activePage_ == PageBike) {
            host_.showUnitHeader();
            showMemo();
        }
        if (activePage_ == PageIdle) {
            const IdleServoScale scale = IdleServoScaleOf(image());
            binder_->setIdleServoScale(scale.step, scale.maximum);
        }
        binder_->imageToPage(activePage_, image());
        RefreshInjectionPercent(image(), injection_);
    } else {
        RefreshInjectionPercent(image(), injection_);
    }
    host_.refreshDisplay();
    emit pageShown();
}

void Editor::PageToImage() {
    activePage_ = pages_->currentIndex();
    if (IsMapPage(activePage_)) {
        MapPanelToImage(image(), injection_, activePage_, panel_->values(), host_.mapAllFlags());
        return;
    }
    binder_->pageToImage(activePage_, image());
    if (activePage_ == PageBike) takeMemo();
}

bool Editor::CommitChange() {
    host_.normalizeImage();
    ImageToPage();
    ImageToPage();
    return TakeUndoSnapshot(commitKind_);
}

bool Editor::TakeUndoSnapshot(ChangeKind kind) {
    if (!undo_.takeSnapshot(image(), activePage_, host_.blockChanged())) return false;
    UpdateUndoButtons();
    programAfterChangeIfAgreed(kind);
    return true;
}

void Editor::CheckBoxProgHnedMouseUp() {
    PageToImage();
    host_.refreshDisplay();
    if (CommitChange()) return;  // a change went to the unit with everything still marked
    // Ticking "Programming after change" sends at once whatever the unit still lacks, so from then on
    // the unit holds what the pages show.
    if (!programAfterChange()) return;
    const auto& marked = host_.blockChanged();
    if (std::find(marked.begin() + 1, marked.end(), true) == marked.end()) return;
    programAfterChangeIfAgreed(ChangeKind::Edit);
}

void Editor::TakeReadEntry() {
    // The unit holds what was read: the entry marks no block for programming.
    UndoRing::BlockFlags unmarked{};
    if (undo_.takeSnapshot(image(), activePage_, unmarked)) UpdateUndoButtons();
    undo_.markRead();
}

void Editor::programAfterChangeIfAgreed(ChangeKind kind) {
    if (!programAfterChange()) return;
    if (kind != ChangeKind::Chosen) {
        std::optional<ProgramDoubt> doubt;
        const std::optional<int> unitType = host_.unitMotorcycleType();
        if (kind == ChangeKind::History && undo_.currentBeforeRead()) {
            doubt = ProgramDoubt::BeforeRead;
        } else if (unitType && *unitType != Get(image(), FieldId::Bike)) {
            doubt = ProgramDoubt::OtherType;
        }
        // Answered No, the configuration stays on the pages and its blocks stay marked.
        if (doubt && !host_.agreeToProgram(*doubt)) return;
    }
    host_.programChangedBlocks();
}

void Editor::ResetUndoHistory() {
    undo_.reset(image(), activePage_);
    UpdateUndoButtons();
}

void Editor::RestoreUndoSnapshot() {
    const UndoRing::RestoreResult result = undo_.restore(image(), host_.blockChanged());
    if (result.page != activePage_) switchToPage(result.page);
    ImageToPage();
    UpdateUndoButtons();
    if (result.changed) programAfterChangeIfAgreed(ChangeKind::History);
}

void Editor::UpdateUndoButtons() {
    if (QAction* a = action(EditorAction::Undo)) a->setEnabled(undo_.canUndo());
    if (QAction* a = action(EditorAction::Redo)) a->setEnabled(undo_.canRedo());
}

void Editor::hideGrid() {
    gridHidden_ = true;
    panel_->setVisible(false);
}

void Editor::showGrid() {
    gridHidden_ = false;
    panel_->setVisible(true);
}

void Editor::PageControl1Change() {
    hideGrid();
    activePage_ = pages_->currentIndex();
    ImageToPage();
    showGrid();
}

void Editor::switchToPage(int page) {
    switching_ = true;
    pages_->setCurrentIndex(page);
    switching_ = false;
    PageControl1Change();
}

// --- handlers ----------------------------------------------------------------------------------------

void Editor::UpDownClick() {
    PageToImage();
    CommitChange();
}

void Editor::EditOnClick() {
    PageToImage();
    CommitChange();
}

void Editor::FormKeyPress(QWidget* from) {
    if (from != nullptr) {
        QWidget* next = from->nextInFocusChain();
        while (next != nullptr && next != from &&
               !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
                 !from->isAncestorOf(next))) {
            next = next->nextInFocusChain();
        }
        if (next != nullptr && next != from) next->setFocus(Qt::TabFocusReason);
    }
    PageToImage();
    CommitChange();
}

void Editor::CheckBoxMouseUp() {
    PageToImage();
    host_.refreshDisplay();
    CommitChange();
}

void Editor::CheckBoxTps_UniMouseUp() {
    hideGrid();
    PageToImage();
    host_.refreshDisplay();
    showGrid();
    CommitChange();
}

void Editor::CheckBoxBikeSecialClick() {
    auto* box = NamedControl<QCheckBox>(window_, "CheckBoxBikeSecial");
    if (box == nullptr) return;
    Set(image(), FieldId::BikeSecial, box->isChecked() ? 1 : 0);
    if (box->isChecked()) return;
    ApplySpecialSettingOff(image(), defaults_);
    // Repaired before its history entry, like every other entry: the trigger fields it writes derive
    // others (teeth per 180° and 60°, tooth angle) that only the repair fills in.
    host_.normalizeImage();
    ImageToPage();
    TakeUndoSnapshot();
}

void Editor::CheckBoxServoEnableMouseUp() {
    hideGrid();
    const bool on = panel_->servoEnableBox()->isChecked();
    if (activePage_ == PageServoIn) Set(image(), FieldId::ServoInEnable, on ? 1 : 0);
    if (activePage_ == PageServoEx) Set(image(), FieldId::ServoExEnable, on ? 1 : 0);
    host_.refreshDisplay();
    showGrid();
    TakeUndoSnapshot();
}

void Editor::CheckBoxProcentaMouseUp() {
    const MapPageInfo* info = MapPageOf(activePage_);
    if (info == nullptr || !info->servo) {
        CommitChange();
        return;
    }
    hideGrid();
    const bool intake = info->intakeServo;
    const bool wanted = panel_->procentBox()->isChecked();
    const FieldId flag = intake ? FieldId::ServoInProcent : FieldId::ServoExProcent;
    if ((Get(image(), flag) != 0) != wanted) {
        Set(image(), flag, wanted ? 1 : 0);
        ConvertServoMap(image(), intake, wanted);
        if (intake && Get(image(), FieldId::IdleMode) == 1) ConvertIdleServoValues(image(), wanted);
    }
    showGrid();
    CommitChange();
}

void Editor::RadioGroupServoModeClick(int index) {
    hideGrid();
    if (activePage_ == PageServoIn) Set(image(), FieldId::ServoInMode, index);
    if (activePage_ == PageServoEx) Set(image(), FieldId::ServoExMode, index);
    host_.refreshDisplay();
    showGrid();
    TakeUndoSnapshot();
}

void Editor::ComboBoxSynchro1Change(int index) {
    Set(image(), FieldId::Synchro1, index & 0xFF);
    ImageToPage();
    TakeUndoSnapshot();
}

void Editor::ComboBoxSynchro2Change(int index) {
    Set(image(), FieldId::Synchro2, index & 0xFF);
    ImageToPage();
    TakeUndoSnapshot();
}

void Editor::ComboBoxBikeChange(int item) {
    const int code = CodeOfItem(item);
    Answer answer = Answer::No;
    if (code >= 0) {
        answer = host_.ask(MsgAskDefaultSetting);
        if (answer == Answer::Cancel) {
            // The tuner changed his mind: the selector shows the type the configuration holds again.
            if (bikeCombo_ != nullptr) bikeCombo_->setCurrentIndex(ItemOfCode(Get(image(), FieldId::Bike)));
            return;
        }
    }
    const ChangeKind kind = std::exchange(commitKind_, ChangeKind::Chosen);
    if (code >= 0) Set(image(), FieldId::Bike, code);
    if (answer == Answer::Yes) loadDefaults(false);
    // Yes or No: the maps keep their percentages over the new type's references, and the
    // synchronization and the type constants follow the new type.
    ApplyTypeChange(image(), injection_, defaults_);
    CommitChange();
    SelectReferenceTables(image(), injection_);
    host_.applyLanguage();
    commitKind_ = kind;
}

void Editor::RadioGroupPolohaAClick() {
    for (const char* side : {"A", "B"}) {
        if (auto* g = NamedControl<RadioGroup>(window_, QStringLiteral("RadioGroupPoloha%1").arg(side)))
            Set(image(), side[0] == 'A' ? FieldId::PolohaAMode : FieldId::PolohaBMode, g->itemIndex() & 0xFF);
    }
    TakeUndoSnapshot();
}

void Editor::RadioGroupGearSystemClick() {
    // Only the selectors of the page in view hold what the image holds; one on another page may show
    // an older state, which must not be written back.
    for (const Selector& s : kGearSelectors) {
        if (s.page != activePage_) continue;
        if (auto* g = NamedControl<RadioGroup>(window_, QLatin1String(s.control)))
            Set(image(), s.field, g->itemIndex() & 0xFF);
    }
    host_.refreshDisplay();
    TakeUndoSnapshot();
}

void Editor::RadioGroupIdleModeClick(int index) {
    const auto previous = static_cast<std::uint8_t>(Get(image(), FieldId::IdleMode));
    Set(image(), FieldId::IdleMode, index);
    const IdleServoScale scale = IdleServoScaleOf(image());
    binder_->setIdleServoScale(scale.step, scale.maximum);
    ConvertIdleServoForModeChange(image(), previous, static_cast<std::uint8_t>(index));
    ImageToPage();
    // A step of the history of its own, like every other selector: left for the next commit, an Undo
    // dropped it and the unit did not get it with programming after change.
    TakeUndoSnapshot();
}

void Editor::RadioGroupPotencModeClick(int index) {
    Set(image(), FieldId::PotencMode, index);
    host_.refreshDisplay();
    TakeUndoSnapshot();
}

void Editor::RadioGroupSynchroHranaClick(int index) {
    Set(image(), FieldId::SynchroHrana, index);
    TakeUndoSnapshot();
}

void Editor::CaptureGearValue(int gear) {
    const int system = Get(image(), FieldId::GearSystem);
    const LiveValues& live = host_.editorLiveValues();
    if (system == 0) Set(image(), FieldId::GearVoltage, live.GearSensorMv, gear);
    if (system == 1 && gear >= 1) Set(image(), FieldId::GearRatio, live.SpeedRatio, gear - 1);
    CommitChange();
}

void Editor::ButtonGearClick(int gear) {
    if (gear == 0 && Get(image(), FieldId::GearSystem) == 1) return;
    CaptureGearValue(gear);
}

void Editor::ButtonTps0Click() {
    const int v = host_.editorLiveValues().ThrottleSensorMv;
    if (v < kThrottleZeroMinMv || v > kThrottleZeroMaxMv) return;
    Set(image(), FieldId::Tps0, v / 10);
    CommitChange();
}

void Editor::ButtonTps100Click() {
    const int v = host_.editorLiveValues().ThrottleSensorMv;
    if (v < kThrottleFullMinMv || v > kThrottleFullMaxMv) return;
    Set(image(), FieldId::Tps100, v / 10 - 250);
    CommitChange();
}

void Editor::setJetMode(int mode) {
    Set(image(), FieldId::Jet1423Mode, mode);
    coupled_ = mode == 1;
    identical_ = mode == 2;
    if (mode != 0) {
        const FieldInfo& from = Field(FieldId::RpmJet1A);
        const FieldInfo& to = Field(FieldId::RpmJet2A);
        for (int c = 0; c < from.count; ++c) SetFieldValue(image(), to, c, FieldValue(image(), from, c));
    }
    if (mode == 2 && IsFollowerInjectionPage(activePage_)) {
        activePage_ = PageJet1A;
        switching_ = true;
        pages_->setCurrentIndex(PageJet1A);
        switching_ = false;
    }
    // The copies of the identical mode are made now, not when a map page is next shown, so the history
    // entry and the unit get them with the mode.
    ApplyMapPageRules(image());
    hideGrid();
    ImageToPage();
    showGrid();
    TakeUndoSnapshot();
}

void Editor::Menu_Jet123NormalClick() {
    setJetMode(0);
}
void Editor::Menu_Jet123CoupledClick() {
    setJetMode(1);
}
void Editor::Menu_Jet123StejnyClick() {
    setJetMode(2);
}

void Editor::loadDefaults(bool pageOnly) {
    const ChangeKind kind = std::exchange(commitKind_, ChangeKind::Chosen);
    ApplyDefaults(image(), injection_, defaults_, pageOnly, activePage_);
    host_.forgetLoadedFile();
    CommitChange();
    commitKind_ = kind;
}

void Editor::MenuNewClick() {
    if (bikeCombo_ == nullptr || bikeCombo_->currentIndex() < 0 ||
        bikeCombo_->currentIndex() >= SeparatorItem)
        return;
    if (host_.ask(MsgAskDefaultSetting) != Answer::Yes) return;
    loadDefaults(false);
}

void Editor::MenuNewActPageClick() {
    if (bikeCombo_ == nullptr || bikeCombo_->currentIndex() < 0 ||
        bikeCombo_->currentIndex() >= SeparatorItem)
        return;
    if (host_.ask(MsgAskDefaultPageSetting) != Answer::Yes) return;
    loadDefaults(true);
}

void Editor::SpeedButtonZpetClick() {
    if (!undo_.stepBack()) return;
    RestoreUndoSnapshot();
}

void Editor::SpeedButtonZnovuClick() {
    if (!undo_.stepForward()) return;
    RestoreUndoSnapshot();
}

}  // namespace torvane

// --- map tools -----------------------------------------------------------------------------------

namespace torvane {

void Editor::stepTool(int direction) {
    activePage_ = pages_->currentIndex();
    if (activePage_ == PagePoloha) {
        stepPosition(false, direction);
        stepPosition(true, direction);
        return;
    }
    if (IsMapPage(activePage_)) {
        const LiveIndexes& live = host_.liveIndexes();
        const LiveCell cell{live.column, activePage_ == PageIap ? live.iapRow : live.tpsRow};
        const bool all = host_.mapAllFlags()[static_cast<std::size_t>(activePage_)] != 0;
        if (StepMapTool(image(), injection_, activePage_, direction, all, cell,
                        host_.editorLiveValues().EngineSpeed, coupled_) == ToolResult::Ended)
            return;
    }
    CommitChange();
}

void Editor::MenuToolsMinusClick() {
    QElapsedTimer took;
    took.start();
    stepTool(-1);
    host_.showToolTime(static_cast<int>(took.elapsed()));
}

void Editor::MenuToolsPlusClick() {
    stepTool(+1);
}

void Editor::stepColumn(int direction, int column) {
    activePage_ = pages_->currentIndex();
    StepMapColumn(image(), injection_, activePage_, direction, column, coupled_);
    CommitChange();
}

void Editor::CSpinButtonDownClick_Uni(int column) {
    stepColumn(-1, column);
}

void Editor::CSpinButtonUpClick_Uni(int column) {
    stepColumn(+1, column);
}

void Editor::stepPosition(bool curveB, int direction) {
    PageToImage();
    auto* all = NamedControl<QCheckBox>(window_, curveB ? "CheckBoxAll_PolohaB" : "CheckBoxAll_PolohaA");
    const LiveIndexes& live = host_.liveIndexes();
    StepPositionCurve(image(), curveB, direction, all != nullptr && all->isChecked(),
                      curveB ? live.positionB : live.positionA);
    CommitChange();
}

void Editor::ButtonMinusClick_PolohaA() {
    stepPosition(false, -1);
}
void Editor::ButtonPlusClick_PolohaA() {
    stepPosition(false, +1);
}
void Editor::ButtonMinusClick_PolohaB() {
    stepPosition(true, -1);
}
void Editor::ButtonPlusClick_PolohaB() {
    stepPosition(true, +1);
}

}  // namespace torvane
