#pragma once
// The main window: menus, the 19 pages, the transfer status display and the 55 ms tick that drives
// the link and the live displays.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "app/window/user_prompts.h"
#include "app/window/window_actions.h"
#include "display/display_applier.h"
#include "editor/editor.h"
#include "files/field_differences.h"
#include "image/device_image.h"
#include "link/live_values.h"
#include "link/transfer_view.h"
#include "settings/startup_settings.h"
#include "sim/engine_model.h"
#include "text/message_table.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QImage;
class QPrinter;
class QTabWidget;
class QTimer;
class QToolButton;

namespace torvane {

class GaugeWidget;
class TFormAbout;
class TuningTools;
class UnitModel;
class WindowLink;

struct StartOptions {
    QStringList arguments;      // positional arguments; the first may be a language word
    bool simulate = false;      // talk to the built-in simulated unit instead of a serial port
    QString portOverride;       // replaces the device of the selected port entry
    QString settingsDirectory;  // where the settings, backup and marker files live
    // How the built-in simulated unit's engine moves (--hold RPM,TPS / --sweep).
    EngineMotion motion = EngineMotion::Cycle;
    OperatingPoint holdPoint;
};

class TFormHlav : public QMainWindow, public EditorHost {
    Q_OBJECT
  public:
    // The page in view as it prints: the client area at least at its designed size, without the
    // editing aids, with the time stamp.
    QImage printImage();
    static constexpr int TickIntervalMs = 55;
    static constexpr int DesignClientWidth = 1056;
    static constexpr int DesignClientHeight = 901;

    explicit TFormHlav(StartOptions options, std::unique_ptr<UserPrompts> prompts = nullptr,
                       QWidget* parent = nullptr);
    ~TFormHlav() override;

    // One tick of Timer1: poll, link state, status countdown, watchdog, version label, live point.
    void Timer1Timer();
    void MenuCom1Click(int index);
    void MenuExitClick();
    void MenuReadClick();
    void MenuVerifyClick();
    void MenuProgramClick();
    void ApplyLanguage();
    // The unit's configuration as of the last passed verification: restore points, what differs.
    void onVerificationPassed(VerifiedAfter after);
    // A Read has brought in what the unit holds (blocks 1..10): it takes its own history entry.
    void onReadCompleted(std::span<const std::uint8_t> unitBlocks);
    // The unit echoed a programmed block exactly.
    void onBlockProgrammed(int block);
    void onVerificationFailed(int block, std::span<const std::uint8_t> unitBlock);
    // The fields in which the PC's image differs from what the unit was last known to hold (empty
    // while that is not known).
    std::vector<FieldDifference> notInUnit() const;
    // The fields of the block that failed the last verification: PC's value | unit's value.
    const std::vector<FieldDifference>& verifyDifferences() const { return verifyDifferences_; }
    void MenuUnitDifferencesClick();
    void MenuRestorePointsClick();
    QString restoreFolder() const;
    // Help: the manual of the language with the desktop's viewer; the About window.
    void MenuContensClick();
    void MenuAboutClick();
    TFormAbout* about() const { return about_; }
    // Files, the service batch and printing.
    void MenuSaveClick();
    void MenuOpenClick();
    void MenuOpenActPageClick();
    void MenuSaveAllNewClick();
    void MenuCompareAllClick();
    void PrintPage();
    void MenuPrintPdfClick();
    void SetPrintMode(bool on);
    bool printMode() const { return printMode_; }
    // Prints the page shown into a PDF file, as Print does on paper; false when it cannot be written.
    bool PrintPageToPdf(const QString& path);
    QString currentFile() const { return iniDir_; }
    void setLanguage(int languageIndex);

    DeviceImage& image() { return image_; }
    const DeviceImage& image() const { return image_; }
    LiveValues& liveValues() { return live_; }
    std::uint8_t comPortIndex() const { return comPortIndex_; }
    std::uint8_t languageIndex() const { return languageIndex_; }
    bool diagnosticsEnabled() const { return diagnosticsEnabled_; }
    const AllStates& allStates() const { return allStates_; }
    QString settingsFilePath() const;
    QString imageBackupFilePath() const;
    WindowLink* link() { return link_.get(); }
    // The built-in simulated unit when the window runs with --simulate, else nullptr.
    UnitModel* simulatedUnit();
    const StartOptions& startOptions() const { return options_; }
    UserPrompts& prompts() { return *prompts_; }
    QTimer* timer1() { return timer1_; }

    // The text of message n in the current language.
    QString messageText(int n) const;

    // The operations every change of the image passes through; the link calls them around transfers.
    void NormalizeAll();
    void ImageToPage();
    void PageToImage();
    void RefreshDisplay();
    Editor& editor() { return *editor_; }
    // Datalogs, replay, cell operations and map views.
    TuningTools& tuningTools() { return *tools_; }
    // The menus and their entries.
    WindowActions& actions() { return *actions_; }

    // EditorHost
    DeviceImage& editedImage() override { return image_; }
    const LiveValues& editorLiveValues() override { return live_; }
    AllStates& mapAllFlags() override { return allStates_; }
    std::array<bool, BlockCount>& blockChanged() override;
    void normalizeImage() override { NormalizeAll(); }
    void refreshDisplay() override { RefreshDisplay(); }
    void showUnitHeader() override;
    void programChangedBlocks() override;
    bool confirm(int messageNumber) override;
    Answer ask(int messageNumber) override;
    std::optional<int> unitMotorcycleType() override;
    bool agreeToProgram(ProgramDoubt doubt) override;
    void applyLanguage() override { ApplyLanguage(); }
    void forgetLoadedFile() override;
    const LiveIndexes& liveIndexes() override { return liveIndexes_; }
    void showToolTime(int milliseconds) override;
    QAction* editorAction(EditorAction which) override;

    // Locates the live values on the page in view and paints the live elements (end of every tick).
    void TrackOperatingPoint();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void FormCreate();
    void FormClose();
    void buildMenus();
    void buildToolbar();
    QWidget* buildStatusPanel(QWidget* parent);
    QToolButton* addSpeedButton(QLayout* layout, const char* name, const char* icon, WindowAction action);
    void buildPages();
    SettingsValues currentSettings() const;
    void ReadSettings();
    void WriteSettings();
    void ReadDiagnosticsMarker();
    void PageControl1Change();
    void OpenComPort();
    void CloseComPort();
    void applyHint(QObject* target, const QString& hint);
    void centreWindow();
    void fitToScreen();
    void keepOnScreen();
    void openFile(bool pageOnly);
    void openFileAt(const QString& path, bool pageOnly);
    static void applyItems(QObject* target, const QStringList& items);
    void setCurrentFile(const QString& path);
    static bool printPicture(const QImage& picture, QPrinter& printer);
    static bool writePdf(const QImage& picture, const QString& path);
    void offerPdf(const QImage& picture, WindowText reason);
    void savePdf(const QImage& picture);

    StartOptions options_;
    std::unique_ptr<UserPrompts> prompts_;
    DeviceImage image_;
    LiveValues live_;
    LiveIndexes liveIndexes_;
    std::unique_ptr<DisplayApplier> display_;
    DisplayApplier& displayApplier();
    AllStates allStates_{};
    std::uint8_t comPortIndex_ = 1;
    std::uint8_t languageIndex_ = 0;
    bool diagnosticsEnabled_ = false;
    bool closed_ = false;
    bool printMode_ = false;
    bool fittedToScreen_ = false;
    TFormAbout* about_ = nullptr;
    // Blocks 1..10 as the unit holds them as far as known: from the last Read or passed verification,
    // with every block since echoed exactly by the unit.
    std::optional<DeviceImage> unitImage_;
    // The motorcycle type the unit holds as far as the window can tell: the type it started with (the
    // configuration of the last session) until a Read, a verification or an echo of block 1 says more.
    std::optional<int> unitType_;
    std::vector<FieldDifference> verifyDifferences_;
    QLabel* LabelNotInUnit = nullptr;
    void showNotInUnit();
    QString iniDir_;

    std::unique_ptr<WindowLink> link_;
    Editor* editor_ = nullptr;
    TuningTools* tools_ = nullptr;

    QTimer* timer1_ = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QLabel* LabelSpojeni = nullptr;
    QLabel* LabelHlaseni = nullptr;
    GaugeWidget* CGaugeProgram = nullptr;
    QLabel* LabelVersion = nullptr;
    QLabel* LabelFile2 = nullptr;
    QLabel* LabelEeDataErr = nullptr;
    std::array<QLabel*, 8> LabelTest{};
    QCheckBox* CheckBoxProgHned = nullptr;
    QCheckBox* CheckBoxExtMonitor = nullptr;
    QCheckBox* CheckBoxZobrMs_Uni = nullptr;
    QCheckBox* CheckBoxAll_Uni = nullptr;
    QCheckBox* CheckBoxAll_PolohaA = nullptr;
    QCheckBox* CheckBoxAll_PolohaB = nullptr;
    QPushButton* ButtonRead = nullptr;
    QPushButton* ButtonVerify = nullptr;
    QPushButton* ButtonProgram = nullptr;
    std::unique_ptr<WindowActions> actions_;
};

}  // namespace torvane
