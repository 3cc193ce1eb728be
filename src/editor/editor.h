#pragma once
// The parameter editor of the main window: the two passes between the active page and the image, the
// commit of every edit, the handlers of the pages' controls, the undo and redo history, New and the
// change of motorcycle type. The window owns it and answers what it needs through EditorHost.

#include <QObject>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

#include "editor/page_binder.h"
#include "editor/page_catalogue.h"
#include "editor/undo_ring.h"
#include "image/conversions.h"
#include "image/defaults.h"
#include "image/device_image.h"
#include "link/live_values.h"
#include "mapgrid/map_page_model.h"
#include "mapgrid/map_tools.h"

class QAction;
class QComboBox;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

namespace torvane {

class MapPanel;
class SpinField;

// The answer to a Yes/No/Cancel question.
enum class Answer { Yes, No, Cancel };

// Why a configuration about to be programmed after a change may not be what the unit is meant to get.
enum class ProgramDoubt {
    BeforeRead,  // an undo or redo goes back to a configuration from before the last passed Read
    OtherType,   // it is for another motorcycle type than the unit holds
};

// What made the image change, for the programming after a change.
enum class ChangeKind {
    Edit,     // an edit on a page or a tool: it must not carry another motorcycle type into the unit unasked
    Chosen,   // New, the type change, Open, a restore point: the tuner chose another configuration
    History,  // undo or redo
};

// What the editor asks of the window.
// The window's menu entries the editor answers; the host hands them out.
enum class EditorAction { New, NewForPage, Undo, Redo, JetSeparate, JetCoupled, JetSame, Minus, Plus };

class EditorHost {
  public:
    virtual ~EditorHost() = default;
    virtual DeviceImage& editedImage() = 0;
    virtual const LiveValues& editorLiveValues() = 0;
    virtual AllStates& mapAllFlags() = 0;
    virtual std::array<bool, BlockCount>& blockChanged() = 0;
    // NormalizeImage with the settings indices, and its side outputs shown.
    virtual void normalizeImage() = 0;
    virtual void refreshDisplay() = 0;
    // LabelVerze1..3 from the unit header in block 0.
    virtual void showUnitHeader() = 0;
    virtual void programChangedBlocks() = 0;
    // A Yes/No/Cancel question with message n; true only for Yes.
    virtual bool confirm(int messageNumber) = 0;
    virtual Answer ask(int messageNumber) { return confirm(messageNumber) ? Answer::Yes : Answer::Cancel; }
    // The motorcycle type the unit holds, as far as it is known (a Read, a passed verification).
    virtual std::optional<int> unitMotorcycleType() { return std::nullopt; }
    // Asks whether the image, which the doubt concerns, goes to the unit; true for Yes.
    virtual bool agreeToProgram(ProgramDoubt /*doubt*/) { return true; }
    virtual void applyLanguage() = 0;
    // LabelHlaseni and CGaugeProgram hidden, LabelFile2 emptied (a fresh configuration).
    virtual void forgetLoadedFile() = 0;
    // The live operating point as the last tick on the page in view located it.
    virtual const LiveIndexes& liveIndexes() = 0;
    // The time the Minus tool took, on LabelTest1.
    virtual void showToolTime(int milliseconds) = 0;
    // The menu entry of an editor command; nullptr for a host without menus.
    virtual QAction* editorAction(EditorAction /*which*/) { return nullptr; }
};

class Editor : public QObject {
    Q_OBJECT

  signals:
    // The page in view shows the image (after a page switch, an undo, a Read, a file opened ...).
    void pageShown();

  public:
    // window is searched for the pages' controls by name; pages is PageControl1.
    Editor(EditorHost& host, QWidget* window, QTabWidget* pages);
    ~Editor() override;

    // Builds the fixed pages and the map panel into the tab sheets and connects every handler.
    void build();
    // Start-up: type 32 and its full defaults.
    void applyStartDefaults();

    // --- the passes and the commit -------------------------------------------------------------
    void ImageToPage();
    void PageToImage();
    // True when the commit changed the configuration (and took a history entry).
    bool CommitChange();
    // The history entry of a commit; with "Programming after change" the changed blocks go to the unit,
    // after a question where kind says the configuration may not be meant for it.
    bool TakeUndoSnapshot(ChangeKind kind = ChangeKind::Edit);
    // A Read has brought in the image: an entry of its own, nothing marked, nothing programmed.
    void TakeReadEntry();
    void ResetUndoHistory();
    void RestoreUndoSnapshot();
    void UpdateUndoButtons();
    void PageControl1Change();
    // Switches the page control to page and runs the page-switch handler once.
    void switchToPage(int page);
    // Hides the map panel while a map page is rebuilt and shows it again.
    void hideGrid();
    void showGrid();

    // --- handlers ------------------------------------------------------------------------------
    void UpDownClick();
    void EditOnClick();
    // Enter in a field: focus moves on from it, then the page is committed.
    void FormKeyPress(QWidget* from);
    void CheckBoxMouseUp();
    // CheckBoxMouseUp of "Programming after change"; ticked, it also programs what is still marked.
    void CheckBoxProgHnedMouseUp();
    void CheckBoxTps_UniMouseUp();
    void CheckBoxBikeSecialClick();
    void CheckBoxServoEnableMouseUp();
    void CheckBoxProcentaMouseUp();
    void RadioGroupServoModeClick(int index);
    void ComboBoxSynchro1Change(int index);
    void ComboBoxSynchro2Change(int index);
    void ComboBoxBikeChange(int item);
    void RadioGroupPolohaAClick();
    void RadioGroupGearSystemClick();
    void RadioGroupIdleModeClick(int index);
    void RadioGroupPotencModeClick(int index);
    void RadioGroupSynchroHranaClick(int index);
    void CaptureGearValue(int gear);
    void ButtonGearClick(int gear);
    void ButtonTps0Click();
    void ButtonTps100Click();
    void Menu_Jet123NormalClick();
    void Menu_Jet123CoupledClick();
    void Menu_Jet123StejnyClick();
    void MenuNewClick();
    void MenuNewActPageClick();
    void SpeedButtonZpetClick();
    void SpeedButtonZnovuClick();
    // The map tools: F4 and F5, the tools spin button, the column spin buttons, the Position curves.
    void MenuToolsMinusClick();
    void MenuToolsPlusClick();
    void CSpinButtonDownClick_Uni(int column);
    void CSpinButtonUpClick_Uni(int column);
    void ButtonMinusClick_PolohaA();
    void ButtonPlusClick_PolohaA();
    void ButtonMinusClick_PolohaB();
    void ButtonPlusClick_PolohaB();

    // --- state ---------------------------------------------------------------------------------
    int activePage() const { return activePage_; }
    bool coupledMode() const { return coupled_; }
    bool identicalMode() const { return identical_; }
    InjectionWork& injection() { return injection_; }
    DefaultsState& defaultsState() { return defaults_; }
    const UndoRing& undoRing() const { return undo_; }
    MapPanel* mapPanel() const { return panel_; }
    PageBinder& binder() { return *binder_; }
    bool programAfterChange() const;
    // The time of the last Minus tool and similar diagnostics are shown on LabelTest1 by the tools.

  protected:
    // Ctrl+Z and Ctrl+Alt+Z are the configuration's undo and redo wherever the focus is in the window;
    // no field keeps a text undo of its own (the notes memo excepted).
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    DeviceImage& image() { return host_.editedImage(); }
    void connectSpin(SpinField* spin);
    void connectHandlers();
    void connectSpins();
    void connectCheckBoxes();
    void connectRadioGroups();
    void connectComboBoxes();
    void connectButtons();
    void connectMenuEntries();
    void connectGrids();
    void movePanelTo(int page);
    bool gridHidden_ = false;  // between hideGrid and showGrid
    void showMemo();
    void takeMemo();
    void limitMemo();
    void setJetMode(int mode);
    void stepTool(int direction);
    void stepColumn(int direction, int column);
    void stepPosition(bool curveB, int direction);
    void loadDefaults(bool pageOnly);
    void programAfterChangeIfAgreed(ChangeKind kind);
    QAction* action(EditorAction which) const;

    EditorHost& host_;
    QWidget* window_;
    QTabWidget* pages_;
    MapPanel* panel_ = nullptr;
    std::unique_ptr<PageBinder> binder_;
    QPlainTextEdit* memo_ = nullptr;
    QComboBox* bikeCombo_ = nullptr;

    InjectionWork injection_;
    DefaultsState defaults_;
    UndoRing undo_;
    int activePage_ = 0;
    bool coupled_ = false;
    bool identical_ = false;
    bool switching_ = false;
    // Commits inside New, the type change or an Open are the tuner's choice of a configuration.
    ChangeKind commitKind_ = ChangeKind::Edit;
};

}  // namespace torvane
