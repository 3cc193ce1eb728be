// What reaches the unit: a passed Read is a history entry of its own, an undo or redo that would send
// the unit a configuration from before that Read or of another motorcycle type asks first, the type
// change can be cancelled, Ctrl+Z reaches the configuration from any field, and an edit on a map page
// sends only what it changed.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "files/default_image.h"
#include "files/parameter_file.h"
#include "image/catalogue.h"
#include "image/fields.h"
#include "link/link_session.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "sim/unit_model.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

class QuestionPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString& text) override {
        asked.append(text);
        return answer;
    }
    PromptAnswer askYesNo(const QString& text) override {
        programQuestions.append(text);
        return programAnswer;
    }
    QString askOpenFileName(const FileQuestion&) override { return openPath; }
    PromptAnswer answer = PromptAnswer::Yes;
    QString openPath;
    PromptAnswer programAnswer = PromptAnswer::No;
    QStringList shown, asked, programQuestions;
};

int V(const DeviceImage& image, FieldId name, int element = 0) {
    return FieldValue(image, Field(name), element);
}
bool SameConfiguration(const DeviceImage& a, const DeviceImage& b) {
    return std::equal(a.bytes().begin() + BlockSize, a.bytes().end(), b.bytes().begin() + BlockSize);
}

class UnitTrustTest : public ::testing::Test {
  protected:
    static constexpr int UnitType = 46;  // the motorcycle on the bench; the window starts with type 32

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.simulate = true;
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<QuestionPrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        // A tuned motorcycle: its limiter is not the type's default, so New changes something.
        DeviceImage tuned = NewImageForBike(UnitType);
        SetFieldValue(tuned, Field(FieldId::IgnLimiter), 0,
                      FieldValue(tuned, Field(FieldId::IgnLimiter)) - 3);
        unit().setStoredImage(tuned);
        ASSERT_NE(V(w->image(), FieldId::Bike), UnitType);
    }
    UnitModel& unit() { return *w->simulatedUnit(); }
    void finish() {
        for (int i = 0; i < 600; ++i) {
            w->Timer1Timer();
            if (w->link()->session().transferState() == TransferState::Idle) return;
        }
        FAIL() << "transfer did not end";
    }
    void read() {
        w->MenuReadClick();
        finish();
        ASSERT_TRUE(SameConfiguration(w->image(), unit().storedImage()));
    }
    void programAfterChange(bool on) { find<QCheckBox>("CheckBoxProgHned")->setChecked(on); }
    template <class T = QWidget>
    T* find(const char* name) {
        T* widget = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Lowers the retard limiter on the Bike page by one step and commits it with Enter.
    void editRetard() {
        w->editor().switchToPage(PageBike);
        auto* retard = find<SpinField>("UpDownRetardLimiterRpm");
        retard->setFocus();
        retard->selectAll();
        QTest::keyClicks(retard, QString::number(retard->value() - 100));
        QTest::keyClick(retard, Qt::Key_Return);
    }
    void undo() { w->editor().SpeedButtonZpetClick(); }
    void redo() { w->editor().SpeedButtonZnovuClick(); }

    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> w;
    QuestionPrompts* prompts = nullptr;
};

TEST_F(UnitTrustTest, UndoAfterReadAndOneEditOrNewReturnsToWhatWasRead) {
    const DeviceImage before = w->image();
    read();
    const DeviceImage wasRead = w->image();
    editRetard();
    ASSERT_NE(V(w->image(), FieldId::RetardLimiterRpm), V(wasRead, FieldId::RetardLimiterRpm));
    undo();
    EXPECT_TRUE(SameConfiguration(w->image(), wasRead));

    prompts->answer = PromptAnswer::Yes;
    w->editor().MenuNewClick();
    undo();
    EXPECT_TRUE(SameConfiguration(w->image(), wasRead));
    // One step further back is the configuration from before the Read.
    undo();
    EXPECT_TRUE(SameConfiguration(w->image(), before));
    EXPECT_TRUE(prompts->programQuestions.isEmpty());  // nothing goes to the unit without the option
}

TEST_F(UnitTrustTest, UndoBackPastTheReadAsksBeforeProgrammingAndNoKeepsTheUnit) {
    read();
    const DeviceImage wasRead = unit().storedImage();
    programAfterChange(true);
    editRetard();
    finish();
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), w->image()));

    undo();  // back to what was read: the unit's own type, no question
    finish();
    EXPECT_TRUE(prompts->programQuestions.isEmpty());
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), wasRead));

    prompts->programAnswer = PromptAnswer::No;
    undo();  // back to the start configuration of another type
    finish();
    ASSERT_EQ(prompts->programQuestions.size(), 1);
    const QString& question = prompts->programQuestions[0];
    EXPECT_TRUE(question.contains("from before the last Read")) << question.toStdString();
    const QString typeName =
        QString::fromUtf8(std::string(ListTextOfItem(ItemOfCode(V(w->image(), FieldId::Bike)))).c_str());
    EXPECT_TRUE(question.contains(typeName.simplified())) << question.toStdString();
    const std::size_t differing = w->notInUnit().size();
    EXPECT_GT(differing, 100u);
    EXPECT_TRUE(question.contains(QString("Fields to program: %1").arg(differing))) << question.toStdString();
    // Shown, not programmed; the status bar says what the unit lacks.
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), wasRead));
    EXPECT_EQ(V(unit().storedImage(), FieldId::Bike), UnitType);
    EXPECT_NE(V(w->image(), FieldId::Bike), UnitType);

    // An edit of that configuration would carry the other type into the unit: it asks too.
    editRetard();
    finish();
    ASSERT_EQ(prompts->programQuestions.size(), 2);
    EXPECT_TRUE(prompts->programQuestions[1].contains("another motorcycle type"));
    EXPECT_EQ(V(unit().storedImage(), FieldId::Bike), UnitType);

    // Redo back to what was read, then Yes to going back past the Read: the unit gets it all.
    undo();
    finish();
    prompts->programAnswer = PromptAnswer::Yes;
    redo();
    finish();
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), w->image()));
    EXPECT_NE(V(unit().storedImage(), FieldId::Bike), UnitType);
}

TEST_F(UnitTrustTest, RedoIntoAnotherTypeAsksAndAReadThatChangesNothingStillCounts) {
    programAfterChange(true);
    read();
    // The same Read again brings nothing new: it takes no entry, but what was read is still the mark.
    const int entries = w->editor().undoRing().current();
    read();
    EXPECT_EQ(w->editor().undoRing().current(), entries);
    prompts->programAnswer = PromptAnswer::No;
    undo();
    finish();
    EXPECT_EQ(prompts->programQuestions.size(), 1);
    EXPECT_EQ(V(unit().storedImage(), FieldId::Bike), UnitType);
    redo();  // back to what the unit holds: nothing to ask
    finish();
    EXPECT_EQ(prompts->programQuestions.size(), 1);
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), w->image()));
}

TEST_F(UnitTrustTest, CancelAtTheTypeChangePutsTheSelectorBackAndChangesNothing) {
    read();
    programAfterChange(true);
    w->editor().switchToPage(PageBike);
    auto* combo = find<QComboBox>("ComboBoxBike");
    const int item = combo->currentIndex();
    const DeviceImage before = w->image();
    const int entry = w->editor().undoRing().current();
    prompts->answer = PromptAnswer::Cancel;
    const int other = ItemOfCode(32);
    combo->setCurrentIndex(other);
    w->editor().ComboBoxBikeChange(other);
    finish();
    EXPECT_EQ(combo->currentIndex(), item);
    EXPECT_TRUE(SameConfiguration(w->image(), before));
    EXPECT_EQ(w->editor().undoRing().current(), entry);
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), before));

    // No keeps the maps and limiters but takes the new type's synchronization, and goes to the unit.
    prompts->answer = PromptAnswer::No;
    combo->setCurrentIndex(other);
    w->editor().ComboBoxBikeChange(other);
    finish();
    EXPECT_EQ(V(w->image(), FieldId::Bike), 32);
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), V(before, FieldId::IgnLimiter));
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), w->image()));
    EXPECT_TRUE(prompts->programQuestions.isEmpty());  // the tuner chose the type himself
}

TEST_F(UnitTrustTest, CtrlZReachesTheConfigurationFromEveryKindOfField) {
    read();
    const DeviceImage wasRead = w->image();
    editRetard();
    auto* retard = find<SpinField>("UpDownRetardLimiterRpm");
    const int edited = V(w->image(), FieldId::RetardLimiterRpm);
    ASSERT_NE(edited, V(wasRead, FieldId::RetardLimiterRpm));

    // The cursor is in a field whose text has an edit history of its own.
    retard->setFocus();
    QTest::keyClick(retard, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(V(w->image(), FieldId::RetardLimiterRpm), V(wasRead, FieldId::RetardLimiterRpm));
    QTest::keyClick(retard, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(V(w->image(), FieldId::RetardLimiterRpm), edited);

    // A map cell, a check box and the type selector pass it on the same way.
    w->editor().switchToPage(PageAdvance);
    MapPanel& panel = *w->editor().mapPanel();
    SpinField* cell = panel.gridView().edit(panel.grid().cellIndex(16));
    ASSERT_NE(cell, nullptr);
    for (QWidget* target :
         {static_cast<QWidget*>(cell), static_cast<QWidget*>(find<QCheckBox>("CheckBoxProgHned")),
          static_cast<QWidget*>(find<QComboBox>("ComboBoxBike"))}) {
        w->editor().SpeedButtonZnovuClick();
        ASSERT_EQ(V(w->image(), FieldId::RetardLimiterRpm), edited);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(V(w->image(), FieldId::RetardLimiterRpm), V(wasRead, FieldId::RetardLimiterRpm))
            << target->objectName().toStdString();
    }

    // With nothing left to undo, the field's text stays what it shows: no undo of the typing.
    while (w->editor().undoRing().canUndo()) undo();
    w->editor().switchToPage(PageBike);
    retard->setFocus();
    retard->selectAll();
    QTest::keyClicks(retard, "99");
    const QString typed = retard->text();
    QTest::keyClick(retard, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(retard, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(retard, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(retard->text(), typed);
}

TEST_F(UnitTrustTest, AMapEditSendsTheUnitOnlyTheCellsItChanged) {
    // The unit's Inj-1A map is off the whole-percent grid by 7 µs; its exhaust servo axis starts at 0 rpm.
    DeviceImage tuned = unit().storedImage();
    for (int k = 0; k < MapCells; ++k)
        SetFieldValue(tuned, Field(FieldId::Jet1A), k, V(tuned, FieldId::Jet1A, k) + 7);
    for (int c = 0; c < 15; ++c) SetFieldValue(tuned, Field(FieldId::RpmServoEx), c, c);
    unit().setStoredImage(tuned);
    read();
    const DeviceImage wasRead = unit().storedImage();

    w->editor().switchToPage(PageJet1A);
    w->editor().CSpinButtonUpClick_Uni(3);
    w->editor().switchToPage(PageServoEx);
    w->editor().CSpinButtonUpClick_Uni(8);
    w->MenuProgramClick();
    finish();
    int jetCells = 0;
    for (int k = 0; k < MapCells; ++k)
        jetCells += V(unit().storedImage(), FieldId::Jet1A, k) != V(wasRead, FieldId::Jet1A, k);
    EXPECT_EQ(jetCells, 10);
    for (int c = 0; c < 15; ++c) EXPECT_EQ(V(unit().storedImage(), FieldId::RpmServoEx, c), c) << c;
}

TEST_F(UnitTrustTest, AnOpenedFileOfAnotherTypeGoesToTheUnitUnasked) {
    read();
    programAfterChange(true);
    const QString path = dir.filePath("other.ign");
    ASSERT_EQ(SaveParameterFile(path.toStdString(), NewImageForBike(17)), FileResult::Ok);
    prompts->openPath = path;
    w->MenuOpenClick();
    finish();
    EXPECT_TRUE(prompts->programQuestions.isEmpty());  // the tuner chose the file
    EXPECT_EQ(V(unit().storedImage(), FieldId::Bike), 17);
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), w->image()));
}

TEST_F(UnitTrustTest, TickingProgrammingAfterChangeSendsWhatTheUnitLacks) {
    read();
    editRetard();
    ASSERT_FALSE(SameConfiguration(unit().storedImage(), w->image()));
    auto* box = find<QCheckBox>("CheckBoxProgHned");
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    ASSERT_TRUE(box->isChecked());
    finish();
    EXPECT_TRUE(SameConfiguration(unit().storedImage(), w->image()));
    EXPECT_TRUE(prompts->programQuestions.isEmpty());
}

}  // namespace
}  // namespace torvane
