// The parameter editor on the main window, offscreen: what commits an edit and what does not, the
// history the commits leave, the captures of live values, New and the change of motorcycle type, the
// programming after a change, and the pages fitting the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "image/catalogue.h"
#include "image/defaults.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "link/link_session.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "sim/unit_model.h"
#include "widgets/radio_group.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

// Answers every question with the answer the test chose, and keeps what was asked.
class AnsweringPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString& text) override {
        asked.append(text);
        return answer;
    }
    PromptAnswer answer = PromptAnswer::Cancel;
    QStringList asked;
    QStringList shown;
};

int V(const DeviceImage& image, FieldId name, int element = 0) {
    return FieldValue(image, Field(name), element);
}
void Put(DeviceImage& image, FieldId name, int value, int element = 0) {
    SetFieldValue(image, Field(name), element, value);
}
bool SameConfiguration(const DeviceImage& a, const DeviceImage& b) {
    return std::equal(a.bytes().begin() + BlockSize, a.bytes().end(), b.bytes().begin() + BlockSize) &&
           a.IapAxis == b.IapAxis;
}

class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void start(bool simulate = false, bool shown = true) {
        StartOptions o;
        o.simulate = simulate;
        if (!simulate) o.portOverride = "/nonexistent/tty-for-tests";
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<AnsweringPrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();  // the test drives the ticks
        if (shown) {
            w->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        }
        prompts->shown.clear();
    }
    void go(int page) {
        w->editor().switchToPage(page);
        QApplication::processEvents();
    }
    template <class T = QWidget>
    T* find(const char* name) {
        T* widget = w->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    SpinField* spin(const char* name) { return find<SpinField>(name); }
    MapPanel& panel() { return *w->editor().mapPanel(); }
    // The grid's field opened on map cell k, or on rpm axis column c, as a click into it opens it.
    SpinField* editCell(int k) { return panel().gridView().edit(panel().grid().cellIndex(k)); }
    SpinField* editAxis(int c) { return panel().gridView().edit(panel().grid().axisIndex(c)); }
    int cellValue(int k) { return panel().grid().cell(k).value; }
    // Entries taken since `from` (the ring's current index then).
    int entriesSince(int from) const {
        return (w->editor().undoRing().current() - from + UndoRing::Size) % UndoRing::Size;
    }
    int current() const { return w->editor().undoRing().current(); }
    // Types into a field as a user would, replacing its text, without committing.
    static void type(SpinField* s, const QString& text) {
        s->setFocus();
        s->selectAll();
        QTest::keyClicks(s, text);
    }
    static void enter(SpinField* s) { QTest::keyClick(s, Qt::Key_Return); }
    static void clickArrow(SpinField* s, QStyle::SubControl arrow) {
        QStyleOptionSpinBox option;
        option.initFrom(s);
        option.subControls = QStyle::SC_All;
        option.buttonSymbols = s->buttonSymbols();
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        option.frame = s->hasFrame();
        const QRect r = s->style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, s);
        QTest::mouseClick(s, Qt::LeftButton, {}, r.center());
    }
    static void clickBox(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    void tickUntilIdle(int limit = 600) {
        for (int i = 0; i < limit; ++i) {
            w->Timer1Timer();
            if (w->link()->session().transferState() == TransferState::Idle) return;
        }
        FAIL() << "transfer did not end";
    }

    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> w;
    AnsweringPrompts* prompts = nullptr;
};

TEST_F(EditorTest, EnterCommitsTheFieldAndTypingAloneChangesNothing) {
    start();
    go(PageBike);
    SpinField* ign = spin("UpDownIgnLimiter");
    ASSERT_EQ(V(w->image(), FieldId::IgnLimiter), 140);
    EXPECT_FALSE(find<QAction>("MenuZpet")->isEnabled());
    const int before = current();

    type(ign, "13000");
    EXPECT_EQ(ign->value(), 13000);
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 140);
    EXPECT_EQ(entriesSince(before), 0);

    enter(ign);
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 130);
    EXPECT_EQ(entriesSince(before), 1);
    EXPECT_TRUE(find<QAction>("MenuZpet")->isEnabled());
    EXPECT_FALSE(find<QAction>("MenuZnovu")->isEnabled());
    EXPECT_FALSE(ign->hasFocus());  // Enter moves on to the next field
    // Enter again without a change is a commit that finds nothing new: no entry.
    enter(ign);
    EXPECT_EQ(entriesSince(before), 1);

    // Typed, then the page is left: the value is dropped and the return shows the image.
    type(ign, "12000");
    go(PageSynchro);
    go(PageBike);
    EXPECT_EQ(ign->value(), 13000);
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 130);
    EXPECT_EQ(entriesSince(before), 1);
}

TEST_F(EditorTest, ArrowClicksAndClicksIntoAnotherFieldCommitThePage) {
    start();
    go(PageBike);
    SpinField* ign = spin("UpDownIgnLimiter");
    int before = current();
    clickArrow(ign, QStyle::SC_SpinBoxUp);
    EXPECT_EQ(ign->value(), 14100);
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 141);
    EXPECT_EQ(entriesSince(before), 1);
    clickArrow(ign, QStyle::SC_SpinBoxDown);
    clickArrow(ign, QStyle::SC_SpinBoxDown);
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 139);
    EXPECT_EQ(entriesSince(before), 3);
    QTest::keyClick(ign, Qt::Key_Up);  // the arrow keys step like the arrows
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 140);
    EXPECT_EQ(entriesSince(before), 4);

    // A value typed into one field goes in when the user clicks into the next one.
    before = current();
    type(spin("UpDownStartLimiter"), "9500");
    QTest::mouseClick(spin("UpDownJetLimiter")->edit(), Qt::LeftButton);
    EXPECT_EQ(V(w->image(), FieldId::StartLimiter), 95);
    EXPECT_EQ(entriesSince(before), 1);
}

// A row of the binding table whose control the pages lack, or have as another kind of control, would
// silently show and store nothing.
TEST_F(EditorTest, EveryBindingRowFindsAControlOfItsKind) {
    start(false, false);
    QStringList unbound;
    for (const QString& name : w->editor().binder().unboundControls()) unbound << name;
    EXPECT_TRUE(unbound.isEmpty()) << unbound.join(", ").toStdString();
}

TEST_F(EditorTest, CommittingEveryPageAsShownLeavesTheImageAlone) {
    start();
    // Trigger profiles leave the unused Top2..4 and oscillation sections at 0 (one type at 59) while
    // their spins offer 1..58: shown limited and left untouched, they keep what is stored.
    Put(w->image(), FieldId::Top4, 0);
    Put(w->image(), FieldId::KyvaniFaze23, 59);
    w->editor().ImageToPage();
    const DeviceImage initial = w->image();
    for (int page = 0; page < PageCount; ++page) {
        go(page);
        w->editor().EditOnClick();
        for (std::size_t i = BlockSize; i < ImageSize; ++i) {
            ASSERT_EQ(w->image().byteAt(i), initial.byteAt(i)) << "page " << page << ", byte " << i;
        }
        ASSERT_EQ(w->image().IapAxis, initial.IapAxis) << "page " << page;
    }
    // An edit elsewhere on the page leaves them too; the tuner's own value in such a spin is stored.
    go(PageSynchro);
    SpinField* top1 = spin("UpDownTop1");
    type(top1, QString::number(top1->value() + 1));
    enter(top1);
    EXPECT_EQ(V(w->image(), FieldId::Top1), V(initial, FieldId::Top1) + 1);
    EXPECT_EQ(V(w->image(), FieldId::Top4), 0);
    SpinField* top4 = spin("UpDownTop4");
    EXPECT_EQ(top4->value(), 1);
    type(top4, "7");
    enter(top4);
    EXPECT_EQ(V(w->image(), FieldId::Top4), 7);
}

TEST_F(EditorTest, NegativeCorrectionsAreStoredAroundTheirOffset) {
    start();
    auto enterValue = [&](int page, const char* name, const char* text) {
        go(page);
        SpinField* s = spin(name);
        type(s, text);
        enter(s);
        return s->value();
    };
    EXPECT_EQ(enterValue(PageBike, "UpDownRpmKorekce", "-60"), -60);
    EXPECT_EQ(V(w->image(), FieldId::RpmKorekce), 40);
    EXPECT_EQ(enterValue(PageKorekce, "UpDownKorIgnVoda[1]", "-7"), -7);
    EXPECT_EQ(V(w->image(), FieldId::AdvCorrWater, 1), 93);
    EXPECT_EQ(enterValue(PageGear, "UpDownGearKorAdv[5]", "-20"), -20);
    EXPECT_EQ(V(w->image(), FieldId::GearKorAdv, 5), 80);
    EXPECT_EQ(enterValue(PageAdvance, "UpDownMisc_Uni[2]", "-12"), -12);
    EXPECT_EQ(V(w->image(), FieldId::AdvCorrCyl3), 88);
    // And a commit elsewhere on the page keeps them.
    go(PageBike);
    enter(spin("UpDownChlazeni"));
    EXPECT_EQ(V(w->image(), FieldId::RpmKorekce), 40);
    EXPECT_EQ(spin("UpDownRpmKorekce")->value(), -60);
}

TEST_F(EditorTest, CheckBoxesCommitOnMouseReleaseOnly) {
    start();
    go(PageBike);
    auto* akt = find<QCheckBox>("CheckBoxAktRpm");
    auto* fall = find<QCheckBox>("CheckBoxFallEnable");
    ASSERT_EQ(V(w->image(), FieldId::AktRpm), 1);
    int before = current();
    clickBox(akt);
    EXPECT_FALSE(akt->isChecked());
    EXPECT_EQ(V(w->image(), FieldId::AktRpm), 0);
    EXPECT_EQ(entriesSince(before), 1);

    // The keyboard toggles the box; the image takes it with the next commit made on the page.
    before = current();
    fall->setFocus();
    QTest::keyClick(fall, Qt::Key_Space);
    EXPECT_FALSE(fall->isChecked());
    EXPECT_EQ(V(w->image(), FieldId::FallEnable), 1);
    EXPECT_EQ(entriesSince(before), 0);
    SpinField* chl = spin("UpDownChlazeni");
    chl->setFocus();
    enter(chl);
    EXPECT_EQ(V(w->image(), FieldId::FallEnable), 0);
    EXPECT_EQ(entriesSince(before), 1);
}

TEST_F(EditorTest, UndoShowsThePageOfTheEntryAndRedoComesBack) {
    start();
    const DeviceImage initial = w->image();
    go(PageAdvance);
    SpinField* advanceCell = editCell(MapPanel::cellIndex(2, 4));
    type(advanceCell, QString::number(cellValue(34) + 3));
    enter(advanceCell);
    const DeviceImage afterAdvance = w->image();
    ASSERT_EQ(V(afterAdvance, FieldId::Advance, 34), V(initial, FieldId::Advance, 34) + 3);

    go(PageJet1A);
    SpinField* jetCell = editCell(MapPanel::cellIndex(5, 5));
    type(jetCell, "120");
    enter(jetCell);
    const DeviceImage afterJet = w->image();
    ASSERT_FALSE(SameConfiguration(afterJet, afterAdvance));
    go(PageGas);

    auto* undo = find<QAction>("MenuZpet");
    auto* redo = find<QAction>("MenuZnovu");
    undo->trigger();
    EXPECT_EQ(w->editor().activePage(), PageAdvance);
    EXPECT_EQ(find<QTabWidget>("PageControl1")->currentIndex(), PageAdvance);
    EXPECT_TRUE(SameConfiguration(w->image(), afterAdvance));
    EXPECT_EQ(cellValue(34), V(afterAdvance, FieldId::Advance, 34));
    EXPECT_TRUE(redo->isEnabled());

    undo->trigger();
    EXPECT_TRUE(SameConfiguration(w->image(), initial));
    EXPECT_FALSE(undo->isEnabled());
    undo->trigger();  // at the oldest entry: nothing
    EXPECT_TRUE(SameConfiguration(w->image(), initial));

    redo->trigger();
    redo->trigger();
    EXPECT_EQ(w->editor().activePage(), PageJet1A);
    EXPECT_TRUE(SameConfiguration(w->image(), afterJet));
    EXPECT_EQ(jetCell->value(), 120);
    EXPECT_FALSE(redo->isEnabled());
}

TEST_F(EditorTest, ThrottleCapturesStoreOnlyInsideTheirWindows) {
    start();
    go(PageCidla);
    LiveValues& live = w->liveValues();
    auto* tps0 = find<QPushButton>("ButtonTps0");
    auto* tps100 = find<QPushButton>("ButtonTps100");
    const int tps0Before = V(w->image(), FieldId::Tps0);
    const int tps100Before = V(w->image(), FieldId::Tps100);
    int before = current();

    for (int mv : {4910, 2499, 0}) {
        live.ThrottleSensorMv = static_cast<std::uint16_t>(mv);
        tps100->click();
        EXPECT_EQ(V(w->image(), FieldId::Tps100), tps100Before) << mv;
    }
    for (int mv : {299, 2501, 4000}) {
        live.ThrottleSensorMv = static_cast<std::uint16_t>(mv);
        tps0->click();
        EXPECT_EQ(V(w->image(), FieldId::Tps0), tps0Before) << mv;
    }
    EXPECT_EQ(entriesSince(before), 0);

    live.ThrottleSensorMv = 4900;
    tps100->click();
    EXPECT_EQ(V(w->image(), FieldId::Tps100), 240);
    EXPECT_EQ(spin("UpDownTps100")->value(), 4900);
    EXPECT_EQ(entriesSince(before), 1);
    live.ThrottleSensorMv = 2500;
    tps100->click();
    EXPECT_EQ(V(w->image(), FieldId::Tps100), 0);
    live.ThrottleSensorMv = 3217;
    tps100->click();
    EXPECT_EQ(V(w->image(), FieldId::Tps100), 71);

    live.ThrottleSensorMv = 300;
    tps0->click();
    EXPECT_EQ(V(w->image(), FieldId::Tps0), 30);
    EXPECT_EQ(spin("UpDownTps0")->value(), 300);
    live.ThrottleSensorMv = 2500;
    tps0->click();
    EXPECT_EQ(V(w->image(), FieldId::Tps0), 250);
    EXPECT_EQ(entriesSince(before), 5);
}

TEST_F(EditorTest, GearCapturesFollowTheGearSystem) {
    start();
    go(PageGear);
    ASSERT_EQ(V(w->image(), FieldId::GearSystem), 0);  // voltage for type 32
    LiveValues& live = w->liveValues();
    live.GearSensorMv = 2345;
    live.SpeedRatio = 777;
    int before = current();
    find<QPushButton>("ButtonGear3")->click();
    EXPECT_EQ(V(w->image(), FieldId::GearVoltage, 3), 2345);
    EXPECT_EQ(w->image().wordAt(126 + 3), 2345);
    EXPECT_EQ(spin("UpDownGearNapeti[3]")->value(), 2345);
    find<QPushButton>("ButtonGear0")->click();
    EXPECT_EQ(V(w->image(), FieldId::GearVoltage, 0), 2345);
    EXPECT_EQ(entriesSince(before), 2);

    // The ratio system: gears 1..6 take the live ratio; gear 0 does nothing, not even a commit, so
    // what was typed on the page stays in its field.
    find<RadioGroup>("RadioGroupGearSystem")->button(1)->click();
    ASSERT_EQ(V(w->image(), FieldId::GearSystem), 1);
    const int pulses = V(w->image(), FieldId::PulsuProSpeed);
    before = current();
    SpinField* auto1 = spin("UpDownGearAutoTps");
    type(auto1, "33");
    find<QPushButton>("ButtonGear0")->click();
    EXPECT_EQ(auto1->value(), 33);
    EXPECT_EQ(V(w->image(), FieldId::PulsuProSpeed), pulses);
    EXPECT_EQ(entriesSince(before), 0);
    find<QPushButton>("ButtonGear2")->click();
    EXPECT_EQ(w->image().wordAt(81 + 2), 777);
    EXPECT_EQ(spin("UpDownGearPomer[1]")->value(), 777);
    EXPECT_EQ(V(w->image(), FieldId::PulsuProSpeed), pulses);
    EXPECT_EQ(entriesSince(before), 1);
    EXPECT_NE(auto1->value(), 33);  // the capture's commit showed the image again

    // No gear sensor: the buttons commit but store nothing.
    find<RadioGroup>("RadioGroupGearSystem")->button(3)->click();
    const DeviceImage none = w->image();
    live.GearSensorMv = 1111;
    live.SpeedRatio = 1111;
    for (const char* b : {"ButtonGear0", "ButtonGear4"}) find<QPushButton>(b)->click();
    EXPECT_TRUE(SameConfiguration(w->image(), none));
}

TEST_F(EditorTest, CapturesTakeTheValuesOfTheLastMonitorFrameFromTheUnit) {
    start(true);
    // Idle ticks ask for a monitor frame every sixth tick; the built-in unit answers on the next poll.
    LiveValues& live = w->liveValues();
    for (int i = 0; i < 60 && live.GearSensorMv == 0; ++i) w->Timer1Timer();
    ASSERT_NE(live.GearSensorMv, 0) << "no monitor frame arrived";
    const int gearMv = live.GearSensorMv;
    const int throttleMv = live.ThrottleSensorMv;
    ASSERT_GE(throttleMv, 300);
    ASSERT_LE(throttleMv, 2500);
    go(PageGear);
    find<QPushButton>("ButtonGear5")->click();
    EXPECT_EQ(V(w->image(), FieldId::GearVoltage, 5), gearMv);
    go(PageCidla);
    find<QPushButton>("ButtonTps0")->click();
    EXPECT_EQ(V(w->image(), FieldId::Tps0), throttleMv / 10);
}

TEST_F(EditorTest, NewAsksAndOnlyYesLoadsTheDefaults) {
    start();
    go(PageBike);
    SpinField* ign = spin("UpDownIgnLimiter");
    type(ign, "12000");
    enter(ign);
    find<QLabel>("LabelFile2")->setText("some.ign");
    const DeviceImage edited = w->image();
    int before = current();

    for (PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Cancel}) {
        prompts->answer = answer;
        prompts->asked.clear();
        find<QAction>("MenuNew")->trigger();
        ASSERT_EQ(prompts->asked.size(), 1);
        EXPECT_EQ(prompts->asked.front(), "Do you want default setting?");
        EXPECT_TRUE(SameConfiguration(w->image(), edited));
        EXPECT_EQ(find<QLabel>("LabelFile2")->text(), "some.ign");
    }
    EXPECT_EQ(entriesSince(before), 0);

    prompts->answer = PromptAnswer::Yes;
    find<QAction>("MenuNew")->trigger();
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 140);
    EXPECT_EQ(ign->value(), 14000);
    EXPECT_EQ(find<QLabel>("LabelFile2")->text(), "");
    EXPECT_EQ(entriesSince(before), 1);

    // While the type list shows the separator line New asks nothing and does nothing.
    Put(w->image(), FieldId::Bike, 60);
    w->editor().ImageToPage();
    ASSERT_EQ(find<QComboBox>("ComboBoxBike")->currentIndex(), SeparatorItem);
    prompts->asked.clear();
    const DeviceImage separator = w->image();
    find<QAction>("MenuNew")->trigger();
    find<QAction>("MenuNewActPage")->trigger();
    EXPECT_TRUE(prompts->asked.isEmpty());
    EXPECT_TRUE(SameConfiguration(w->image(), separator));
}

TEST_F(EditorTest, NewForTheActualPageResetsOnlyThatPage) {
    start();
    go(PageBike);
    SpinField* ign = spin("UpDownIgnLimiter");
    type(ign, "12500");
    enter(ign);
    go(PageJet1A);
    const DeviceImage initial = w->image();
    SpinField* cell = editCell(20);
    type(cell, "130");
    enter(cell);
    SpinField* axis = editAxis(14);
    type(axis, QString::number(panel().grid().axis(14).value + 500));
    enter(axis);
    ASSERT_NE(V(w->image(), FieldId::Jet1A, 20), V(initial, FieldId::Jet1A, 20));
    int before = current();

    prompts->answer = PromptAnswer::No;
    find<QAction>("MenuNewActPage")->trigger();
    ASSERT_EQ(prompts->asked.size(), 1);
    EXPECT_EQ(prompts->asked.front(), "Do you want default setting for this page?");
    EXPECT_EQ(cellValue(20), 130);

    prompts->answer = PromptAnswer::Yes;
    find<QAction>("MenuNewActPage")->trigger();
    EXPECT_EQ(cellValue(20), 100);
    EXPECT_EQ(w->editor().injection().percentOf(InjectionMap::Jet1A)[20], 100);
    for (int c = 0; c < 15; ++c)
        EXPECT_EQ(V(w->image(), FieldId::RpmJet1A, c), V(initial, FieldId::RpmJet1A, c)) << c;
    EXPECT_EQ(V(w->image(), FieldId::Jet1A, 20), V(initial, FieldId::Jet1A, 20));
    EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 125);  // another page's change stays
    EXPECT_EQ(entriesSince(before), 1);

    // Inj-2A follows Inj-1A in the coupled mode (the 130 % of cell 20 reached it): its own defaults
    // are not applied from its page.
    go(PageJet2A);
    ASSERT_TRUE(w->editor().coupledMode());
    ASSERT_EQ(cellValue(20), 130);
    const DeviceImage coupled = w->image();
    find<QAction>("MenuNewActPage")->trigger();
    for (FieldId field : {FieldId::Jet2A, FieldId::RpmJet2A}) {
        for (int k = 0; k < Field(field).count; ++k)
            ASSERT_EQ(V(w->image(), field, k), V(coupled, field, k)) << Field(field).name << " " << k;
    }
    EXPECT_EQ(cellValue(20), 130);
}

TEST_F(EditorTest, ChangingTheTypeAppliesItsSynchronizationUnlessCancelled) {
    start();
    go(PageBike);
    SpinField* ign = spin("UpDownIgnLimiter");
    type(ign, "12500");
    enter(ign);
    go(PageJet1A);
    SpinField* cell = editCell(33);
    type(cell, "120");
    enter(cell);
    go(PageBike);
    const DeviceImage before32 = w->image();
    const auto percentBefore = w->editor().injection().percentOf(InjectionMap::Jet1A);
    auto* combo = find<QComboBox>("ComboBoxBike");
    const int item17 = ItemOfCode(17);

    // The reference result for type 17's synchronization and its type constants.
    DeviceImage fresh17;
    InjectionWork work17;
    Put(fresh17, FieldId::Bike, 17);
    ApplyDefaults(fresh17, work17, false, 0);
    NormalizeImage(fresh17);

    // Cancel: the selector goes back to type 32 and nothing changes.
    prompts->answer = PromptAnswer::Cancel;
    const int beforeCancel = current();
    combo->setCurrentIndex(item17);
    emit combo->activated(item17);
    EXPECT_EQ(prompts->asked.size(), 1);
    EXPECT_EQ(combo->currentIndex(), ItemOfCode(32));
    EXPECT_TRUE(SameConfiguration(w->image(), before32));
    EXPECT_EQ(entriesSince(beforeCancel), 0);

    for (PromptAnswer answer : {PromptAnswer::No}) {
        prompts->answer = answer;
        prompts->asked.clear();
        const int before = current();
        combo->setCurrentIndex(item17);
        emit combo->activated(item17);
        EXPECT_EQ(prompts->asked.size(), 1);
        EXPECT_EQ(V(w->image(), FieldId::Bike), 17);
        EXPECT_EQ(entriesSince(before), 1);
        // Limiters and the advance map stay; the trigger fields are the new type's.
        EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 125);
        for (int k = 0; k < MapCells; ++k)
            ASSERT_EQ(V(w->image(), FieldId::Advance, k), V(before32, FieldId::Advance, k)) << k;
        for (FieldId name : {FieldId::Synchro1, FieldId::Synchro2, FieldId::PocPalcu, FieldId::VynechPalcu,
                             FieldId::PocKanOut, FieldId::Top1, FieldId::Top2, FieldId::Top3, FieldId::Top4,
                             FieldId::PredaniHodnot}) {
            EXPECT_EQ(V(w->image(), name), V(fresh17, name)) << Field(name).name;
        }
        // The maps keep their percentages, their µs follow the new type's references.
        const InjectionWork& work = w->editor().injection();
        EXPECT_EQ(work.percentOf(InjectionMap::Jet1A), percentBefore);
        EXPECT_EQ(V(w->image(), FieldId::Jet1A, 33),
                  RawFromPercent(120, work.referenceOf(InjectionMap::Jet1A)[33]));

        // Back to type 32 for the next answer, again keeping the edits.
        combo->setCurrentIndex(ItemOfCode(32));
        emit combo->activated(ItemOfCode(32));
        ASSERT_EQ(V(w->image(), FieldId::Bike), 32);
        EXPECT_EQ(V(w->image(), FieldId::IgnLimiter), 125);
    }

    prompts->answer = PromptAnswer::Yes;
    combo->setCurrentIndex(item17);
    emit combo->activated(item17);
    EXPECT_TRUE(SameConfiguration(w->image(), fresh17));
    EXPECT_EQ(spin("UpDownIgnLimiter")->value(), 100 * V(fresh17, FieldId::IgnLimiter));
    EXPECT_EQ(combo->currentIndex(), item17);
}

TEST_F(EditorTest, IdleModeSwitchConvertsThePercentPositionsAsOneStepOfTheHistory) {
    start();
    Put(w->image(), FieldId::ServoInProcent, 1);
    Put(w->image(), FieldId::IdleMode, 1);
    Put(w->image(), FieldId::IdleServoPoz, 40, 2);
    go(PageIdle);
    ASSERT_EQ(spin("UpDownIdleServoPoz[2]")->value(), 40);
    const int before = current();
    auto* modes = find<RadioGroup>("RadioGroupIdleMode");
    modes->button(0)->click();
    EXPECT_EQ(V(w->image(), FieldId::IdleMode), 0);
    EXPECT_EQ(V(w->image(), FieldId::IdleServoPoz, 2), 100);
    EXPECT_EQ(spin("UpDownIdleServoPoz[2]")->value(), 5000);
    EXPECT_EQ(spin("UpDownIdleServoPoz[2]")->singleStep(), 50);
    modes->button(1)->click();
    EXPECT_EQ(V(w->image(), FieldId::IdleServoPoz, 2), 40);
    EXPECT_EQ(spin("UpDownIdleServoPoz[2]")->value(), 40);
    EXPECT_EQ(spin("UpDownIdleServoPoz[2]")->maximum(), 100);
    EXPECT_EQ(entriesSince(before), 2);
    // Undo takes back the last switch, and only it.
    w->editor().SpeedButtonZpetClick();
    EXPECT_EQ(V(w->image(), FieldId::IdleMode), 0);
    EXPECT_EQ(V(w->image(), FieldId::IdleServoPoz, 2), 100);
}

TEST_F(EditorTest, UndoWithProgrammingAfterChangeSendsExactlyTheBlocksTheUndoChanged) {
    start(true, false);
    UnitModel* unit = w->simulatedUnit();
    ASSERT_NE(unit, nullptr);
    go(PageAdvance);
    // One commit changes a cell in block 2 (image byte 850) and one in block 3 (byte 950).
    panel().grid().setCellValue(0, cellValue(0) + 2);
    panel().grid().setCellValue(100, cellValue(100) + 1);
    w->editor().UpDownClick();
    // Program everything so the unit and the flags start even.
    w->MenuProgramClick();
    tickUntilIdle();
    ASSERT_TRUE(SameConfiguration(unit->storedImage(), w->image()));
    ASSERT_TRUE(std::ranges::none_of(w->blockChanged(), [](bool f) { return f; }));

    // Each block the unit holds gets a mark the window does not have: a block that is programmed
    // loses it.
    DeviceImage marked = w->image();
    for (std::size_t block = 1; block < BlockCount; ++block)
        marked.setByte(BlockSize * block + 299 - (block == 10), 0xA5);
    unit->setStoredImage(marked);

    find<QCheckBox>("CheckBoxProgHned")->setChecked(true);
    find<QAction>("MenuZpet")->trigger();
    EXPECT_EQ(w->link()->session().transferState(), TransferState::Programming);
    EXPECT_TRUE(w->blockChanged()[2]);
    EXPECT_TRUE(w->blockChanged()[3]);
    tickUntilIdle();
    EXPECT_EQ(find<QLabel>("LabelHlaseni")->text().left(14), "Program device");
    const DeviceImage& stored = unit->storedImage();
    for (int block = 1; block < BlockCount; ++block) {
        const bool sent = block == 2 || block == 3;
        EXPECT_EQ(std::ranges::equal(stored.block(block), w->image().block(block)), sent)
            << "block " << block;
        EXPECT_EQ(std::ranges::equal(stored.block(block), marked.block(block)), !sent) << "block " << block;
    }
    EXPECT_TRUE(std::ranges::none_of(w->blockChanged(), [](bool f) { return f; }));

    // A commit that changes nothing programs nothing, even with the option on.
    w->editor().UpDownClick();
    EXPECT_EQ(w->link()->session().transferState(), TransferState::Idle);
}

TEST_F(EditorTest, EveryPageFitsTheDesignClientSizeInEveryLanguage) {
    start(false, false);
    w->resize(TFormHlav::DesignClientWidth, TFormHlav::DesignClientHeight);
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    auto* pages = find<QTabWidget>("PageControl1");
    for (int language = 0; language < 4; ++language)
        for (int p = 0; p < PageCount; ++p) {
            if (p == 0) {
                w->setLanguage(language);
                w->resize(TFormHlav::DesignClientWidth, TFormHlav::DesignClientHeight);
                QApplication::processEvents();
                // Every page counts, also those not in view: the page control is as wide as its widest.
                EXPECT_LE(w->minimumSizeHint().width(), TFormHlav::DesignClientWidth)
                    << "language " << language;
                EXPECT_LE(w->minimumSizeHint().height(), TFormHlav::DesignClientHeight)
                    << "language " << language;
            }
            SCOPED_TRACE("language " + std::to_string(language));
            go(p);
            QWidget* page = pages->widget(p);
            EXPECT_EQ(w->size(), QSize(TFormHlav::DesignClientWidth, TFormHlav::DesignClientHeight))
                << "page " << p;
            if (page->layout() != nullptr) {
                const QSize need = page->layout()->minimumSize();
                EXPECT_LE(need.width(), page->width()) << "page " << p;
                EXPECT_LE(need.height(), page->height()) << "page " << p;
            }
            // Nothing shown on the page reaches past its edges.
            for (QWidget* child : page->findChildren<QWidget*>()) {
                if (!child->isVisibleTo(page) || child->isWindow()) continue;
                const QRect r(child->mapTo(page, QPoint(0, 0)), child->size());
                EXPECT_TRUE(page->rect().contains(r))
                    << "page " << p << ": " << child->objectName().toStdString() << " at " << r.x() << ","
                    << r.y() << " " << r.width() << "x" << r.height() << " on " << page->width() << "x"
                    << page->height();
            }
        }
}

// The size a cell asks for follows its range, its arrows and its font, also when a range comes back.
TEST(SpinFieldHint, FollowsRangeArrowsAndFont) {
    SpinField spin;
    spin.setRange(0, 9);
    const int narrow = spin.sizeHint().width();
    spin.setRange(0, 25500);
    const int wide = spin.sizeHint().width();
    EXPECT_GT(wide, narrow);
    spin.setRange(0, 9);
    EXPECT_EQ(spin.sizeHint().width(), narrow);
    spin.setUpDownShown(false);
    EXPECT_LT(spin.sizeHint().width(), narrow);
    spin.setUpDownShown(true);
    QFont big = spin.font();
    big.setPointSizeF(big.pointSizeF() * 2);
    spin.setFont(big);
    EXPECT_GT(spin.sizeHint().width(), narrow);
}

}  // namespace
}  // namespace torvane
