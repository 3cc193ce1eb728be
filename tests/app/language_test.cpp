// The language commands on the window: texts composed from messages, the monitor's placeholders
// while disconnected, the radio groups' items, the help document and the About window.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "app/window/tform_about.h"
#include "app/window/tform_hlav.h"
#include "image/fields.h"
#include "text/message_table.h"
#include "widgets/radio_group.h"

namespace torvane {
namespace {

class RecordingPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    bool openDocument(const QString& path) override {
        opened.append(path);
        return !documentsMissing && QFile::exists(path);
    }
    bool documentsMissing = false;  // as on a machine where the manuals were not installed
    QStringList shown, opened;
};

QString Text(Message n, int language) {
    return QString::fromStdString(MessageText(n, language));
}

class LanguageTest : public ::testing::Test {
  protected:
    void start() {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.portOverride = "/nonexistent/tty-for-tests";
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<RecordingPrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();
        // Silent ticks until the no-connection label is up.
        for (int i = 0; i < 20; ++i) w->Timer1Timer();
        prompts->shown.clear();
    }
    QString label(const char* name) { return w->findChild<QLabel*>(QLatin1String(name))->text(); }

    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> w;
    RecordingPrompts* prompts = nullptr;
};

TEST_F(LanguageTest, DisconnectedMonitorShowsStemsOfTheLanguageWithPlaceholders) {
    start();
    ASSERT_FALSE(w->findChild<QLabel*>("LabelSpojeni")->isHidden());
    w->setLanguage(3);
    EXPECT_EQ(label("LabelMon_Ign"), Text(MsgAdvance, 3) + QString::fromUtf8("= --- [°]"));
    EXPECT_EQ(label("LabelSnimacCkps"), Text(MsgPickupCkps, 3) + " - ---");
    EXPECT_EQ(label("LabelMon_Jet_2B"), Text(MsgInjectionTime, 3) + " 2B = --- us");
    EXPECT_EQ(label("LabelMonServoIntake"), Text(MsgIntakeServo, 3) + " = ---/--- mV");
    EXPECT_EQ(label("LabelMonSpeed"), Text(MsgSpeed, 3) + " = --- [km/h]");
    EXPECT_EQ(label("LabelMonPilotLight"), Text(MsgShiftLight, 3) + " - ---");
    EXPECT_EQ(label("LabelPilotLight"), Text(MsgShiftLight, 3) + " [rpm]");

    // Type 26 uses the shift light output as a choke.
    SetFieldValue(w->image(), Field(FieldId::Bike), 0, 26);
    w->setLanguage(2);
    EXPECT_EQ(label("LabelMonPilotLight"), Text(MsgChoke, 2) + " - ---");
    EXPECT_EQ(label("LabelPilotLight"), Text(MsgShiftLight, 2) + " [rpm]");  // the French shift light text
    EXPECT_EQ(Text(MsgShiftLight, 2), QString::fromUtf8("Retard à l´allumage"));
}

TEST_F(LanguageTest, LanguageCommandsRetextTheWindowAndItsLists) {
    start();
    auto* idle = w->findChild<RadioGroup*>("RadioGroupIdleMode");
    ASSERT_NE(idle, nullptr);
    idle->setItemIndex(2);
    const QStringList english = idle->items();
    w->findChild<QAction*>("MenuGerman")->trigger();
    EXPECT_EQ(w->languageIndex(), 1);
    EXPECT_TRUE(w->findChild<QAction*>("MenuGerman")->isChecked());
    EXPECT_FALSE(w->findChild<QAction*>("MenuEnglish")->isChecked());
    EXPECT_EQ(w->windowTitle(), "Programmierung der Torvane_2008 Zündbox");
    EXPECT_EQ(idle->itemIndex(), 2);  // the choice survives the new texts
    EXPECT_EQ(idle->items().size(), english.size());
    EXPECT_EQ(w->findChild<QAction*>("MenuPrintPdf")->text(), "Als PDF drucken...");
    w->findChild<QAction*>("MenuEnglish")->trigger();
    EXPECT_EQ(idle->items(), english);

    // The channel suffix of MsgCylinderCorrection follows the number of outputs.
    EXPECT_EQ(ChannelCorrectionText(0, 2), "Correction for cylinder 1,2");
}

TEST_F(LanguageTest, HelpOpensTheManualOfTheLanguageOrSaysWhichFileIsMissing) {
    start();
    w->setLanguage(1);
    prompts->documentsMissing = true;
    w->findChild<QAction*>("MenuContens")->trigger();
    ASSERT_EQ(prompts->opened.size(), 1);
    EXPECT_TRUE(prompts->opened.front().endsWith(Text(MsgHelpDocument, 1)))
        << prompts->opened.front().toStdString();
    ASSERT_EQ(prompts->shown.size(), 1);
    EXPECT_EQ(prompts->shown.front(), QString::fromStdString(HelpOpenErrorText(1)));
    EXPECT_TRUE(prompts->shown.front().contains(Text(MsgHelpDocument, 1)));

    // Built next to the program, the manual of each language is there to be opened.
    prompts->documentsMissing = false;
    prompts->shown.clear();
    for (int language = 0; language < 4; ++language) {
        w->setLanguage(language);
        w->findChild<QAction*>("MenuContens")->trigger();
        if (QFile::exists(prompts->opened.back())) {
            EXPECT_TRUE(prompts->shown.isEmpty()) << language;
        }
    }
}

TEST_F(LanguageTest, AboutKeepsItsCaptionInCzechAndShowsTheVersion) {
    start();
    QTimer::singleShot(0, [this] { w->about()->close(); });
    w->findChild<QAction*>("MenuAbout")->trigger();
    TFormAbout* about = w->about();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), "About Torvane_Power_R");
    w->setLanguage(3);
    QTimer::singleShot(0, [about] { about->close(); });
    w->findChild<QAction*>("MenuAbout")->trigger();
    EXPECT_EQ(about->windowTitle(), "About Torvane_Power_R");
    about->applyCaption(1);
    EXPECT_EQ(about->windowTitle(), QString::fromUtf8("Über Programm Torvane_Power_R"));

    EXPECT_EQ(about->findChild<QLabel*>("LabelRsKey")->text(), "Version - 70");
    const QString date = about->findChild<QLabel*>("LabelDate")->text();
    EXPECT_TRUE(QRegularExpression("^[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4}$").match(date).hasMatch())
        << date.toStdString();
    EXPECT_TRUE(QRegularExpression("^[0-9]{2}:[0-9]{2}:[0-9]{2}$")
                    .match(about->findChild<QLabel*>("LabelTime")->text())
                    .hasMatch());
    EXPECT_FALSE(about->findChild<QLabel*>("Image1")->pixmap().isNull());  // the JPEG was read
    EXPECT_FALSE(w->findChild<QLabel*>("ImageLogo2")->pixmap().isNull());
}

}  // namespace
}  // namespace torvane
