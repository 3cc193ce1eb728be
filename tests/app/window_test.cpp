// The main window's start-up, settings, tick and shutdown, offscreen, with the questions answered
// by a recording stand-in.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/window/tform_hlav.h"
#include "settings/platform_paths.h"
#include "text/message_table.h"

namespace torvane {
namespace {

class RecordingPrompts : public UserPrompts {
  public:
    explicit RecordingPrompts(QStringList* log) : log_(log) {}
    void showMessage(const QString& text) override { log_->append(text); }
    PromptAnswer askYesNoCancel(const QString& text) override {
        log_->append(text);
        return PromptAnswer::Cancel;
    }

  private:
    QStringList* log_;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    std::unique_ptr<TFormHlav> start(QStringList args = {}, QString port = "/nonexistent/tty-for-tests") {
        StartOptions o;
        o.arguments = args;
        o.portOverride = port;
        o.settingsDirectory = dir.path();
        auto w = std::make_unique<TFormHlav>(o, std::make_unique<RecordingPrompts>(&messages));
        w->timer1()->stop();  // tests drive the tick themselves
        return w;
    }
    void writeFile(const QString& name, const QByteArray& text) {
        QFile f(dir.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QByteArray readFile(const QString& name) {
        QFile f(dir.path() + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString settingsName() { return QString::fromStdString(SettingsFileName()); }
    static QString backupName() { return QString::fromStdString(ImageBackupFileName()); }

    QTemporaryDir dir;
    QStringList messages;
};

TEST_F(WindowTest, FirstStartWithoutFilesIsCentredEnglishOnTheFirstPortAndReportsTheFailedOpen) {
    auto w = start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(w->x(), (screen.width() - w->width()) / 2);
    EXPECT_EQ(w->y(), (screen.height() - w->height()) / 2);
    EXPECT_EQ(w->comPortIndex(), 0);
    EXPECT_EQ(w->languageIndex(), 0);
    EXPECT_EQ(w->windowTitle(), "Programming of Torvane_2008 unit");
    EXPECT_EQ(w->image().byteAt(300), 32);  // motorcycle type 32
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.front(), "Com opening error!");
    auto* com1 = w->findChild<QAction*>("MenuCom1");
    ASSERT_NE(com1, nullptr);
    EXPECT_TRUE(com1->isChecked());
    EXPECT_EQ(com1->text(), "Com 1");
    EXPECT_FALSE(w->findChild<QLabel*>("LabelHlaseni")->isVisibleTo(w.get()));
    EXPECT_FALSE(w->findChild<QLabel*>("LabelTest1")->isVisibleTo(w.get()));
    EXPECT_FALSE(w->findChild<QMenu*>("MenuServis")->menuAction()->isVisible());
}

TEST_F(WindowTest, MenusCarryTheirCaptionsAndShortcuts) {
    auto w = start();
    auto shortcut = [&](const char* name) { return w->findChild<QAction*>(name)->shortcut().toString(); };
    EXPECT_EQ(shortcut("MenuRead"), "F7");
    EXPECT_EQ(shortcut("MenuVerify"), "F8");
    EXPECT_EQ(shortcut("MenuProgram"), "F9");
    EXPECT_EQ(shortcut("MenuNew"), "Ctrl+N");
    EXPECT_EQ(shortcut("MenuOpen"), "F3");
    EXPECT_EQ(shortcut("MenuSave"), "F2");
    EXPECT_EQ(shortcut("MenuToolsMinus"), "F4");
    EXPECT_EQ(shortcut("MenuToolsPlus"), "F5");
    EXPECT_EQ(shortcut("MenuZnovu"), "Ctrl+Alt+Z");
    auto* pages = w->findChild<QTabWidget*>("PageControl1");
    ASSERT_EQ(pages->count(), 19);
    EXPECT_EQ(pages->tabText(18), "Monitor");
    EXPECT_EQ(pages->tabText(11), "Sensors");
    EXPECT_EQ(w->findChild<QAction*>("MenuCom20")->text(), "Com 20");
    // Hints: the long part after the bar reaches the status bar.
    EXPECT_EQ(w->findChild<QMenu*>("MenuLanguage")->menuAction()->statusTip(),
              "Set English or German or French");
}

TEST_F(WindowTest, LanguageWordOnTheCommandLineBeatsTheSettingsFileOnlyWhenExact) {
    writeFile(settingsName(), "[BASIC]\nLanguage=2\n");
    {
        auto w = start({"DEUTSCH"});
        EXPECT_EQ(w->languageIndex(), 1);
        EXPECT_EQ(w->windowTitle(), "Programmierung der Torvane_2008 Zündbox");
        EXPECT_TRUE(w->findChild<QAction*>("MenuGerman")->isChecked());
        w->close();
    }
    EXPECT_TRUE(readFile(settingsName()).contains("Language=1\n"));
    writeFile(settingsName(), "[BASIC]\nLanguage=2\n");
    auto w = start({"deutsch"});
    EXPECT_EQ(w->languageIndex(), 2);
}

TEST_F(WindowTest, PortNumbersOutsideTheMenuEndOnTheFirstPort) {
    for (const char* value : {"0", "21"}) {
        writeFile(settingsName(), QByteArray("[BASIC]\nComPort=") + value + "\nLanguage=9\n");
        auto w = start();
        EXPECT_EQ(w->comPortIndex(), 0) << value;
        EXPECT_EQ(w->languageIndex(), 0) << value;
    }
    writeFile(settingsName(), "[BASIC]\nComPort=3\n");
    auto w = start();
    EXPECT_EQ(w->comPortIndex(), 2);
    EXPECT_TRUE(w->findChild<QAction*>("MenuCom3")->isChecked());
}

TEST_F(WindowTest, ClosingWritesGeometrySettingsAndTheImageBackup) {
    {
        auto w = start();
        w->move(40, 30);
        w->resize(900, 700);
        w->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(18);
        w->image().setByte(305, 77);
        w->close();
    }
    const QByteArray settings = readFile(settingsName());
    EXPECT_TRUE(
        settings.startsWith("[BASIC]\nLeft=40\nTop=30\nHeight=700\nWidth=900\nComPort=1\nLanguage=0\n"))
        << settings.constData();
    EXPECT_TRUE(settings.contains("PageControl1->ActivePageIndex=18\n"));
    const QByteArray backup = readFile(backupName());
    EXPECT_TRUE(backup.startsWith(QByteArray("   32 ")));
    EXPECT_EQ(backup.mid(5 * 6, 6), QByteArray("   77 "));

    auto w = start();
    EXPECT_EQ(w->pos(), QPoint(40, 30));
    EXPECT_EQ(w->size(), QSize(900, 700));
    EXPECT_EQ(w->image().byteAt(305), 77);
    EXPECT_EQ(w->findChild<QTabWidget*>("PageControl1")->currentIndex(), 18);
}

TEST_F(WindowTest, ABackupFileWithTenNumbersChangesOnlyThoseBytes) {
    DeviceImage defaults;
    {
        auto w = start();
        defaults = w->image();
    }
    writeFile(backupName(), "1 2 3 4 5 6 7 8 9 10");
    auto w = start();
    // Normalization may repair the ten bytes; nothing past them moves.
    for (std::size_t i = 310; i < ImageSize; ++i) ASSERT_EQ(w->image().byteAt(i), defaults.byteAt(i)) << i;
}

TEST_F(WindowTest, DiagnosticsMarkerShowsTheTestLabelsAndTheServiceMenu) {
    writeFile(QString::fromStdString(DiagnosticsMarkerFileName()), "some words PROBE_LEVEL more");
    auto w = start();
    EXPECT_TRUE(w->diagnosticsEnabled());
    EXPECT_TRUE(w->findChild<QLabel*>("LabelTest8")->isVisibleTo(w.get()));
    EXPECT_TRUE(w->findChild<QMenu*>("MenuServis")->menuAction()->isVisible());
}

TEST_F(WindowTest, WithoutAnswersTheNoConnectionLabelShowsInTheSeventhTickAndHidesTheVersion) {
    auto w = start();
    auto* spojeni = w->findChild<QLabel*>("LabelSpojeni");
    auto* version = w->findChild<QLabel*>("LabelVersion");
    for (int tick = 1; tick <= 6; ++tick) {
        w->Timer1Timer();
        EXPECT_FALSE(spojeni->isVisibleTo(w.get())) << tick;
        EXPECT_TRUE(version->isVisibleTo(w.get())) << tick;
    }
    w->Timer1Timer();
    EXPECT_TRUE(spojeni->isVisibleTo(w.get()));
    EXPECT_EQ(spojeni->text(), "No connection with PC");
    EXPECT_FALSE(version->isVisibleTo(w.get()));
}

TEST_F(WindowTest, SelectingAPortAfterAQuietReopenStillReportsAFailedOpen) {
    auto w = start();
    messages.clear();
    for (int tick = 0; tick < 200; ++tick) w->Timer1Timer();  // watchdog reopens quietly
    EXPECT_TRUE(messages.isEmpty());
    w->MenuCom1Click(2);
    EXPECT_EQ(w->comPortIndex(), 2);
    EXPECT_TRUE(w->findChild<QAction*>("MenuCom3")->isChecked());
    EXPECT_FALSE(w->findChild<QAction*>("MenuCom1")->isChecked());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.front(), "Com opening error!");
}

}  // namespace
}  // namespace torvane
