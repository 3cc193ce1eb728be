// What the unit holds, on the window with the built-in simulated unit: restore points after a passed
// Read and Program, the "Not in the unit" status, the fields of a failed verification, and opening a
// restore point again.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "files/restore_points.h"
#include "image/fields.h"
#include "link/link_session.h"
#include "sim/unit_model.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

class ListPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    int chooseFromList(const QString&, const QStringList& offered) override {
        rows = offered;
        return choice;
    }
    void showDetails(const QString& title, const QString& text) override {
        details.append(title + "\n" + text);
    }
    QStringList shown, rows, details;
    int choice = -1;
};

class UnitStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.simulate = true;
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<ListPrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();
    }
    void finish() {
        for (int i = 0; i < 600 && w->link()->session().transferState() != TransferState::Idle; ++i)
            w->Timer1Timer();
    }
    QLabel* notInUnit() { return w->findChild<QLabel*>("LabelNotInUnit"); }
    std::vector<RestorePoint> points() { return ListRestorePoints((dir.path() + "/restore").toStdString()); }

    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> w;
    ListPrompts* prompts = nullptr;
};

TEST_F(UnitStateTest, ReadAndProgramLeaveRestorePointsAndTheStatusTellsWhatTheUnitLacks) {
    EXPECT_TRUE(w->notInUnit().empty());  // nothing known of the unit yet
    w->MenuReadClick();
    finish();
    ASSERT_EQ(points().size(), 1u);
    EXPECT_EQ(points()[0].kind, RestoreKind::Read);
    EXPECT_TRUE(notInUnit() == nullptr || notInUnit()->isHidden());

    w->editor().switchToPage(PageBike);
    auto* limiter = w->findChild<SpinField*>("UpDownIgnLimiter");
    limiter->setValue(limiter->value() - 200);
    w->editor().UpDownClick();
    ASSERT_NE(notInUnit(), nullptr);
    EXPECT_FALSE(notInUnit()->isHidden());
    EXPECT_EQ(notInUnit()->text(), "Not in the unit: 1 field");
    EXPECT_TRUE(notInUnit()->toolTip().startsWith("IgnLimiter: ")) << notInUnit()->toolTip().toStdString();

    w->MenuProgramClick();
    finish();
    EXPECT_TRUE(notInUnit()->isHidden());
    ASSERT_EQ(points().size(), 2u);
    EXPECT_EQ(points()[0].kind, RestoreKind::Program);
    // A Verify of its own leaves no restore point.
    w->MenuVerifyClick();
    finish();
    EXPECT_EQ(points().size(), 2u);
}

TEST_F(UnitStateTest, FailedVerifyNamesTheFieldsOfTheBlockWithBothValues) {
    w->MenuReadClick();
    finish();
    // The unit's block 1 changes behind the PC's back.
    DeviceImage stored = w->simulatedUnit()->storedImage();
    const int limiter = FieldValue(stored, Field(FieldId::IgnLimiter));
    SetFieldValue(stored, Field(FieldId::IgnLimiter), 0, limiter + 4);
    w->simulatedUnit()->setStoredImage(stored);
    w->MenuVerifyClick();
    finish();
    ASSERT_EQ(w->verifyDifferences().size(), 1u);
    EXPECT_EQ(w->verifyDifferences()[0].name, "IgnLimiter");
    EXPECT_EQ(w->verifyDifferences()[0].left, std::to_string(100 * limiter));
    EXPECT_EQ(w->verifyDifferences()[0].right, std::to_string(100 * (limiter + 4)));
    EXPECT_EQ(notInUnit()->text(), "Not in the unit: 1 field");
    w->findChild<QAction*>("MenuUnitDifferences")->trigger();
    ASSERT_EQ(prompts->details.size(), 1);
    EXPECT_TRUE(prompts->details[0].contains("IgnLimiter: ")) << prompts->details[0].toStdString();
}

TEST_F(UnitStateTest, ARestorePointOpensAsAnOpenDoes) {
    w->MenuReadClick();
    finish();
    const DeviceImage read = w->image();
    SetFieldValue(w->image(), Field(FieldId::StartLimiter), 0,
                  FieldValue(read, Field(FieldId::StartLimiter)) - 5);
    w->editor().ImageToPage();
    w->editor().TakeUndoSnapshot();
    const int entry = w->editor().undoRing().current();

    prompts->choice = 0;
    w->findChild<QAction*>("MenuRestorePoints")->trigger();
    ASSERT_EQ(prompts->rows.size(), 1);
    EXPECT_TRUE(prompts->rows[0].contains("read")) << prompts->rows[0].toStdString();
    EXPECT_TRUE(prompts->rows[0].contains("1 field differs")) << prompts->rows[0].toStdString();
    EXPECT_EQ(FieldValue(w->image(), Field(FieldId::StartLimiter)),
              FieldValue(read, Field(FieldId::StartLimiter)));
    EXPECT_EQ(w->editor().undoRing().current(), (entry + 1) % UndoRing::Size);

    // Cancelled: nothing happens.
    prompts->choice = -1;
    const DeviceImage before = w->image();
    w->findChild<QAction*>("MenuRestorePoints")->trigger();
    EXPECT_TRUE(std::ranges::equal(w->image().bytes(), before.bytes()));
}

TEST_F(UnitStateTest, StatusMenusAndRestorePointListFollowTheLanguage) {
    w->MenuReadClick();
    finish();
    w->editor().switchToPage(PageBike);
    for (const char* name : {"UpDownIgnLimiter", "UpDownStartLimiter"}) {
        auto* spin = w->findChild<SpinField*>(name);
        spin->setValue(spin->value() - 200);
        w->editor().UpDownClick();
    }
    EXPECT_EQ(notInUnit()->text(), "Not in the unit: 2 fields");

    // The label shown before the switch takes the new language at once.
    w->setLanguage(1);
    EXPECT_EQ(notInUnit()->text(), "Nicht im Steuergerät: 2 Felder");
    EXPECT_EQ(w->findChild<QAction*>("MenuRestorePoints")->text(), "Wiederherstellungspunkte...");
    EXPECT_EQ(w->findChild<QAction*>("MenuUnitDifferences")->text(), "Unterschiede zum Steuergerät...");

    w->setLanguage(3);
    w->findChild<QAction*>("MenuRestorePoints")->trigger();
    ASSERT_EQ(prompts->rows.size(), 1);
    EXPECT_TRUE(prompts->rows[0].contains("čtení")) << prompts->rows[0].toStdString();
    EXPECT_TRUE(prompts->rows[0].endsWith("počet rozdílných položek 2")) << prompts->rows[0].toStdString();

    w->setLanguage(0);
    EXPECT_EQ(w->findChild<QAction*>("MenuRestorePoints")->text(), "Restore points...");
}

}  // namespace
}  // namespace torvane
