// The tuning tools follow the window's language: their menu entries, the tool windows opened before and
// after a switch, and the messages they give.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include "app/datalog/datalog_viewer.h"
#include "app/tools/tuning_tools.h"
#include "app/window/tform_hlav.h"
#include "editor/page_catalogue.h"
#include "files/datalog.h"
#include "text/tool_texts.h"

namespace torvane {
namespace {

class QuietPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    QStringList shown;
};

QString Tool(ToolText text, int lang) {
    return QString::fromStdString(ToolTextOf(text, lang));
}

class TuningToolsLanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.simulate = true;
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<QuietPrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();
    }
    // A log of a few frames at one operating point.
    QString writeLog() {
        const QString path = dir.filePath("ride.csv");
        DatalogWriter writer;
        std::string error;
        EXPECT_TRUE(writer.open(path.toStdString(), error)) << error;
        LiveValues v;
        v.EngineSpeed = 4000;
        v.ThrottleOpening = 300;
        for (int i = 1; i <= 4; ++i) EXPECT_TRUE(writer.append(i * 0.055, v));
        writer.close();
        return path;
    }
    QString menuText(const char* name) { return w->findChild<QAction*>(name)->text(); }
    QString button(const char* name) {
        return w->tuningTools().viewer()->findChild<QAbstractButton*>(name)->text();
    }

    QTemporaryDir dir;
    QuietPrompts* prompts = nullptr;
    std::unique_ptr<TFormHlav> w;
};

TEST_F(TuningToolsLanguageTest, MenusAndAViewerOpenedAfterTheSwitchFollowTheLanguageAndBack) {
    ASSERT_EQ(menuText("MenuStartDatalog"), "Start datalog...");
    w->setLanguage(1);
    EXPECT_EQ(menuText("MenuStartDatalog"), Tool(ToolText::MenuStartDatalog, 1));
    EXPECT_EQ(menuText("MenuCellsSmooth"), Tool(ToolText::CellsSmooth, 1));
    EXPECT_EQ(w->findChild<QMenu*>("MenuView")->title(), Tool(ToolText::MenuView, 1));
    // Messages given later are in the language too.
    w->tuningTools().showCellHits();
    ASSERT_EQ(prompts->shown.size(), 1);
    EXPECT_EQ(prompts->shown.back(), Tool(ToolText::NoLogOpen, 1));

    ASSERT_TRUE(w->tuningTools().openDatalog(writeLog()));
    EXPECT_EQ(button("ButtonPlay"), Tool(ToolText::ViewerPlay, 1));
    EXPECT_EQ(button("ButtonWholeLog"), Tool(ToolText::ViewerWholeLog, 1));

    w->setLanguage(0);
    EXPECT_EQ(menuText("MenuStartDatalog"), "Start datalog...");
    EXPECT_EQ(menuText("MenuCellsSmooth"), "Smooth");
    EXPECT_EQ(button("ButtonPlay"), "Play");
    EXPECT_EQ(button("ButtonWholeLog"), "Whole log");
    EXPECT_EQ(w->tuningTools().viewer()->windowTitle(), "Datalog - ride.csv");
}

TEST_F(TuningToolsLanguageTest, OpenCellHitsDialogAndRecordingLabelAreRetextedInPlace) {
    w->editor().switchToPage(PageAdvance);
    ASSERT_TRUE(w->tuningTools().openDatalog(writeLog()));
    w->tuningTools().showCellHits();
    QDialog* dialog = w->tuningTools().cellHitsDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->windowTitle().startsWith("Cell hits - "));
    ASSERT_TRUE(w->tuningTools().startDatalog(dir.filePath("new.csv")));

    w->setLanguage(2);
    const CellHits hits = w->tuningTools().cellHits();
    const QString footer = Tool(ToolText::CellHitsFooter, 2).arg(hits.frames).arg(hits.outside);
    EXPECT_EQ(dialog->findChild<QLabel*>("LabelCellHits")->text(), footer);
    EXPECT_TRUE(dialog->windowTitle().startsWith(Tool(ToolText::CellHitsTitle, 2).arg(QString())));
    EXPECT_EQ(w->findChild<QLabel*>("LabelDatalog")->text(),
              Tool(ToolText::RecordingLabel, 2).arg("new.csv").arg(0));
    EXPECT_EQ(w->tuningTools().viewer()->findChild<QAbstractButton*>("ButtonPlay")->text(),
              Tool(ToolText::ViewerPlay, 2));
}

}  // namespace
}  // namespace torvane
