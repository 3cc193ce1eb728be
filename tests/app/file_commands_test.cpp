// The window's file commands through the prompts seam: Save, Open and Open for actual page with
// their failures, the service batch from the menu, and printing the page as a PDF.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "files/parameter_file.h"
#include "image/fields.h"
#include "link/link_session.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "sim/unit_model.h"
#include "widgets/commit_check_box.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

class FilePrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString& text) override {
        asked.append(text);
        return answer;
    }
    QString askSaveFileName(const FileQuestion& q) override {
        questions.append(q);
        return savePath;
    }
    QString askOpenFileName(const FileQuestion& q) override {
        questions.append(q);
        return openPath;
    }
    int chooseFromList(const QString&, const QStringList& rows) override {
        listed = rows;
        return chosen;
    }
    PromptAnswer answer = PromptAnswer::Cancel;
    int chosen = -1;
    QStringList listed;
    QString savePath, openPath;
    QStringList shown, asked;
    QList<FileQuestion> questions;
};

int V(const DeviceImage& image, FieldId name, int element = 0) {
    return FieldValue(image, Field(name), element);
}
void Put(DeviceImage& image, FieldId name, int value, int element = 0) {
    SetFieldValue(image, Field(name), element, value);
}

class FileCommandsTest : public ::testing::Test {
  protected:
    void start(bool simulate = false) {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.simulate = simulate;
        if (!simulate) o.portOverride = "/nonexistent/tty-for-tests";
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<FilePrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();
        prompts->shown.clear();
    }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    int entry() const { return w->editor().undoRing().current(); }
    QLabel* fileLabel() { return w->findChild<QLabel*>("LabelFile2"); }
    // A file of the window's configuration with one change made through the image.
    QString savedWith(const QString& name, FieldId field, int value) {
        DeviceImage copy = w->image();
        Put(copy, field, value);
        EXPECT_EQ(SaveParameterFile(path(name).toStdString(), copy), FileResult::Ok);
        return path(name);
    }

    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> w;
    FilePrompts* prompts = nullptr;
};

TEST_F(FileCommandsTest, SaveWritesTheCommittedPageAndRemembersTheFile) {
    start();
    // A file that cannot be created: MsgOpenFileError and nothing else.
    prompts->savePath = "/nonexistent-folder/x.ign";
    const DeviceImage before = w->image();
    w->MenuSaveClick();
    EXPECT_EQ(prompts->shown, QStringList{"Open file error!"});
    EXPECT_TRUE(fileLabel()->text().isEmpty());
    EXPECT_TRUE(std::ranges::equal(w->image().bytes(), before.bytes()));
    ASSERT_FALSE(prompts->questions.isEmpty());
    EXPECT_EQ(prompts->questions.back().filter, "Ignition Parametrs(*.ign)");
    EXPECT_EQ(prompts->questions.back().defaultSuffix, "ign");

    // A value typed on the page and not yet committed is saved: the page is taken first.
    w->editor().switchToPage(PageBike);
    w->findChild<SpinField*>("UpDownIgnLimiter")->setValue(12500);
    prompts->shown.clear();
    prompts->savePath = path("saved.ign");
    w->MenuSaveClick();
    EXPECT_TRUE(prompts->shown.isEmpty());
    DeviceImage read;
    ASSERT_EQ(LoadParameterFile(path("saved.ign").toStdString(), read), FileResult::Ok);
    EXPECT_EQ(V(read, FieldId::IgnLimiter), 125);
    const QString shownPath = QDir::toNativeSeparators(QFileInfo(path("saved.ign")).absoluteFilePath());
    EXPECT_EQ(fileLabel()->text(), shownPath);
    EXPECT_EQ(w->currentFile(), shownPath);

    // The next dialog starts at it, and the settings keep both keys.
    w->MenuOpenClick();
    EXPECT_EQ(prompts->questions.back().startPath, shownPath);
    EXPECT_EQ(prompts->questions.back().filter, "Ignition Parametrs(*.ign);;All Files (*.*)");
    w->close();
    QFile settings(w->settingsFilePath());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QString text = QString::fromLocal8Bit(settings.readAll());
    EXPECT_TRUE(text.contains("File=" + shownPath)) << text.toStdString();
    EXPECT_TRUE(text.contains("IniDir=" + shownPath)) << text.toStdString();
}

TEST_F(FileCommandsTest, OpenRefusesBadFilesAndCommitsAGoodOneLikeAnEdit) {
    start();
    const DeviceImage before = w->image();
    const int first = entry();

    prompts->openPath = path("missing.ign");
    w->MenuOpenClick();
    EXPECT_EQ(prompts->shown, QStringList{"Open file error!"});

    QFile old(path("old.ign"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("KESTRAVO_KEY    69 \r\n\r\nBIKE            17 \r\n");
    old.close();
    prompts->shown.clear();
    prompts->openPath = path("old.ign");
    w->MenuOpenClick();
    EXPECT_EQ(prompts->shown, QStringList{"Unmatched version of *.ign file!"});
    EXPECT_TRUE(std::ranges::equal(w->image().bytes(), before.bytes()));
    EXPECT_EQ(entry(), first);
    EXPECT_TRUE(fileLabel()->text().isEmpty());

    // A good file: normalized, shown, one history entry, its block marked.
    prompts->shown.clear();
    w->link()->session().blockChanged().fill(false);
    prompts->openPath = savedWith("good.ign", FieldId::IgnLimiter, 120);
    w->editor().switchToPage(PageBike);
    w->MenuOpenClick();
    EXPECT_TRUE(prompts->shown.isEmpty());
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 120);
    EXPECT_EQ(w->findChild<SpinField*>("UpDownIgnLimiter")->value(), 12000);
    EXPECT_EQ(entry(), (first + 1) % UndoRing::Size);
    EXPECT_TRUE(w->link()->session().blockChanged()[309 / BlockSize]);
    EXPECT_FALSE(w->link()->session().blockChanged()[5]);
    EXPECT_FALSE(fileLabel()->text().isEmpty());
    EXPECT_FALSE(w->findChild<QLabel*>("LabelHlaseni")->isVisibleTo(w.get()));

    // Opening the same file again changes nothing and makes no entry.
    w->MenuOpenClick();
    EXPECT_EQ(entry(), (first + 1) % UndoRing::Size);
}

TEST_F(FileCommandsTest, ADamagedFileIsRefusedWithItsLineAndLeavesTheWindowAsItWas) {
    start();
    prompts->openPath = savedWith("good.ign", FieldId::IgnLimiter, 120);
    w->MenuOpenClick();
    const QString fileBefore = w->currentFile();
    // The same configuration with another limiter (line 12), cut after line 30 inside ADVANCE.
    DeviceImage changed = w->image();
    Put(changed, FieldId::IgnLimiter, 95);
    const std::string whole = FormatParameterFile(changed);
    std::size_t end = 0;
    for (int line = 0; line < 30; ++line) end = whole.find('\n', end) + 1;
    QFile cut(path("cut.ign"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.data(), static_cast<qint64>(end));
    cut.close();

    w->editor().switchToPage(PageBike);
    const DeviceImage before = w->image();
    const int first = entry();
    auto* status = w->findChild<QLabel*>("LabelHlaseni");
    status->setVisible(true);
    prompts->shown.clear();
    prompts->openPath = path("cut.ign");
    w->MenuOpenClick();
    EXPECT_EQ(prompts->shown,
              QStringList{"The file is damaged at line 30 (section ADVANCE): it was not opened."});
    EXPECT_EQ(w->image(), before);
    EXPECT_EQ(w->findChild<SpinField*>("UpDownIgnLimiter")->value(), 12000);
    EXPECT_EQ(entry(), first);
    EXPECT_EQ(w->currentFile(), fileBefore);
    EXPECT_EQ(fileLabel()->text(), fileBefore);
    EXPECT_FALSE(status->isVisibleTo(w.get()));

    // An open for the Advance page reads the cut section and refuses too, in the language shown; one
    // for the Synchro page skips it and takes SYNCHRO.
    w->setLanguage(1);
    w->editor().switchToPage(PageAdvance);
    prompts->shown.clear();
    w->MenuOpenActPageClick();
    EXPECT_EQ(
        prompts->shown,
        QStringList{"Die Datei ist in Zeile 30 beschädigt (Abschnitt ADVANCE): Sie wurde nicht geöffnet."});
    EXPECT_EQ(w->image(), before);
    w->editor().switchToPage(PageSynchro);
    prompts->shown.clear();
    w->MenuOpenActPageClick();
    EXPECT_TRUE(prompts->shown.isEmpty());
    EXPECT_EQ(w->currentFile(), QDir::toNativeSeparators(QFileInfo(path("cut.ign")).absoluteFilePath()));
}

TEST_F(FileCommandsTest, ADamagedRestorePointListsAsUnreadableAndIsNotRestored) {
    start();
    ASSERT_TRUE(QDir().mkpath(w->restoreFolder()));
    QFile cut(w->restoreFolder() + "/2024-01-01_10-00-00-read.ign");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("KESTRAVO_KEY    70 \r\n\r\nBIKE            17 \r\n             \r\nLIMITER         90  x");
    cut.close();
    const DeviceImage before = w->image();
    const int first = entry();
    prompts->chosen = 0;
    w->MenuRestorePointsClick();
    ASSERT_EQ(prompts->listed.size(), 1);
    EXPECT_TRUE(prompts->listed.front().endsWith("unreadable")) << prompts->listed.front().toStdString();
    EXPECT_EQ(prompts->shown,
              QStringList{"The file is damaged at line 5 (section LIMITER): it was not opened."});
    EXPECT_EQ(w->image(), before);
    EXPECT_EQ(entry(), first);
}

TEST_F(FileCommandsTest, OpenWithProgrammingAfterChangeSendsTheChangedBlocks) {
    start(true);
    w->findChild<QCheckBox*>("CheckBoxProgHned")->setChecked(true);
    prompts->openPath = savedWith("limiter.ign", FieldId::IgnLimiter, 118);
    w->MenuOpenClick();
    EXPECT_EQ(w->link()->session().transferState(), TransferState::Programming);
    for (int i = 0; i < 400 && w->link()->session().transferState() != TransferState::Idle; ++i)
        w->Timer1Timer();
    EXPECT_EQ(w->simulatedUnit()->storedImage().byteAt(309), 118);
}

TEST_F(FileCommandsTest, OpenForActualPageAppliesOnlyThatPagesSections) {
    start();
    DeviceImage changed = w->image();
    Put(changed, FieldId::IgnLimiter, 121);                                          // LIMITER: Bike page
    Put(changed, FieldId::PocPalcu, V(changed, FieldId::PocPalcu) == 24 ? 36 : 24);  // SYNCHRO: Synchro page
    Put(changed, FieldId::Jet2A, V(changed, FieldId::Jet2A, 3) + 40, 3);             // Inj-2A
    ASSERT_EQ(SaveParameterFile(path("mixed.ign").toStdString(), changed), FileResult::Ok);
    prompts->openPath = path("mixed.ign");
    const DeviceImage before = w->image();

    w->editor().switchToPage(PageSynchro);
    w->MenuOpenActPageClick();
    EXPECT_EQ(V(w->image(), FieldId::PocPalcu), V(changed, FieldId::PocPalcu));
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), V(before, FieldId::IgnLimiter));

    // Inj-2A follows Inj-1A in the coupled mode: an open for that page applies nothing.
    Put(w->image(), FieldId::Jet1423Mode, 1);
    w->editor().switchToPage(PageJet2A);
    w->MenuOpenActPageClick();
    EXPECT_EQ(V(w->image(), FieldId::Jet2A, 3), V(before, FieldId::Jet2A, 3));
    Put(w->image(), FieldId::Jet1423Mode, 0);
    w->editor().switchToPage(PageJet2A);
    w->MenuOpenActPageClick();
    EXPECT_NE(V(w->image(), FieldId::Jet2A, 3), V(before, FieldId::Jet2A, 3));

    w->editor().switchToPage(PageBike);
    w->MenuOpenActPageClick();
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 121);
}

TEST_F(FileCommandsTest, ServiceBatchLeavesTheWindowAsItWas) {
    start();
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    w->editor().switchToPage(PageIdle);
    const DeviceImage before = w->image();
    const int first = entry();
    w->findChild<QAction*>("MenuSaveAllNew")->trigger();
    EXPECT_TRUE(prompts->shown.isEmpty());
    EXPECT_EQ(QDir(dir.path() + "/new_ign").entryList({"*.ign"}, QDir::Files).size(), 50);
    EXPECT_TRUE(std::ranges::equal(w->image().bytes(), before.bytes()));
    EXPECT_EQ(w->editor().activePage(), PageIdle);
    EXPECT_EQ(entry(), first);

    w->findChild<QAction*>("MenuCompareAll")->trigger();
    EXPECT_EQ(prompts->shown, QStringList{"Results in file \".\\new_ign\\compare_all_new.txt\""});
    EXPECT_TRUE(QFile::exists(dir.path() + "/new_ign/compare_all_new.txt"));

    // A folder that cannot be made: the user is told.
    QDir(dir.path() + "/new_ign").removeRecursively();
    QFile blocker(dir.path() + "/new_ign");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    prompts->shown.clear();
    w->findChild<QAction*>("MenuSaveAllNew")->trigger();
    EXPECT_FALSE(prompts->shown.isEmpty());
    EXPECT_EQ(prompts->shown.front(), "Open file error!");
    QDir::setCurrent(saved);
}

TEST_F(FileCommandsTest, PrintModeHidesTheEditingAidsAndComesBack) {
    start();
    w->editor().switchToPage(PageJet1A);
    MapPanel* panel = w->editor().mapPanel();
    auto* tabs = w->findChild<QTabWidget*>("PageControl1");
    const std::vector<bool> tabsBefore = [&] {
        std::vector<bool> v;
        for (int i = 0; i < tabs->count(); ++i) v.push_back(tabs->isTabVisible(i));
        return v;
    }();
    const MapGridModel& grid = panel->grid();
    const auto arrows = [&grid](const QModelIndex& item) {
        return grid.data(item, MapGridModel::UpDownsRole).toBool();
    };
    w->SetPrintMode(true);
    EXPECT_TRUE(w->printMode());
    EXPECT_FALSE(arrows(grid.cellIndex(0)));
    EXPECT_FALSE(arrows(grid.axisIndex(0)));
    EXPECT_FALSE(grid.data(grid.index(MapGridModel::ButtonRow, 1), MapGridModel::ShownRole).toBool());
    EXPECT_FALSE(panel->allBox()->isVisibleTo(panel));
    EXPECT_FALSE(w->statusBar()->isVisibleTo(w.get()));
    EXPECT_FALSE(w->findChild<QWidget*>("GroupBoxToolBar")->isVisibleTo(w.get()));
    EXPECT_FALSE(w->findChild<SpinField*>("UpDownTps0")->upDownShown());
    for (int i = 0; i < tabs->count(); ++i) EXPECT_EQ(tabs->isTabVisible(i), i == PageJet1A) << i;
    EXPECT_TRUE(grid.cell(0).shown);  // the values stay
    w->SetPrintMode(false);
    w->RefreshDisplay();
    EXPECT_TRUE(arrows(grid.cellIndex(0)));
    EXPECT_TRUE(w->statusBar()->isVisibleTo(w.get()));
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(tabs->isTabVisible(i), tabsBefore[static_cast<std::size_t>(i)]);
}

TEST_F(FileCommandsTest, PrintToPdfShowsOnlyThePageWithItsTimeStamp) {
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm is not installed";
    start();
    w->resize(TFormHlav::DesignClientWidth, TFormHlav::DesignClientHeight);
    w->show();
    w->editor().switchToPage(PageBike);
    ASSERT_TRUE(w->PrintPageToPdf(path("page.pdf")));
    auto* status = w->findChild<QLabel*>("LabelHlaseni");
    EXPECT_TRUE(status->text().startsWith("Date and time of printing:  ")) << status->text().toStdString();
    EXPECT_TRUE(status->isVisibleTo(w.get()));
    EXPECT_EQ(w->link()->session().MessageTimer(), 200);
    EXPECT_FALSE(w->printMode());
    EXPECT_TRUE(w->findChild<QWidget*>("GroupBoxToolBar")->isVisibleTo(w.get()));
    EXPECT_TRUE(w->findChild<QTabWidget*>("PageControl1")->isTabVisible(PageMonitor));

    ASSERT_EQ(
        QProcess::execute(pdftoppm, {"-r", "40", "-png", "-singlefile", path("page.pdf"), path("page")}), 0);
    const QImage sheet(path("page.png"));
    ASSERT_FALSE(sheet.isNull());
    EXPECT_GT(sheet.width(), sheet.height());  // a wide window goes on a landscape sheet
    // Something is drawn, and the picture keeps the window's proportions: some rows and columns are ink.
    int inked = 0;
    for (int y = 0; y < sheet.height(); y += 4)
        for (int x = 0; x < sheet.width(); x += 4) inked += qGray(sheet.pixel(x, y)) < 200;
    EXPECT_GT(inked, 50);

    // Print without a printer offers the PDF.
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is installed";
    prompts->answer = PromptAnswer::Yes;
    prompts->savePath = path("offered.pdf");
    w->PrintPage();
    ASSERT_FALSE(prompts->asked.isEmpty());
    EXPECT_TRUE(prompts->asked.back().contains("PDF"));
    EXPECT_TRUE(QFile::exists(path("offered.pdf")));
}

TEST_F(FileCommandsTest, APageThatScrollsInASmallWindowPrintsWhole) {
    start();
    w->resize(TFormHlav::DesignClientWidth, TFormHlav::DesignClientHeight);
    w->show();
    w->editor().switchToPage(PageMonitor);
    QApplication::processEvents();
    const QSize whole = w->printImage().size();
    w->resize(1000, 640);
    QApplication::processEvents();
    const QSize small = w->printImage().size();
    EXPECT_GE(small.width(), whole.width());
    EXPECT_GE(small.height(), whole.height());
    EXPECT_EQ(w->size(), QSize(1000, 640));  // the window gets its own size back
}

}  // namespace
}  // namespace torvane
