// Page shaping and the live point on the window's widgets, offscreen, with the built-in simulated
// unit holding the engine at one operating point.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "app/window/tform_hlav.h"
#include "display/live_point.h"
#include "image/fields.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "widgets/commit_check_box.h"
#include "widgets/spin_button.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

class QuietPrompts : public UserPrompts {
  public:
    void showMessage(const QString&) override {}
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
};

const QColor Green(0, 255, 0);

class LivePointUiTest : public ::testing::Test {
  protected:
    void start(OperatingPoint point) {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.simulate = true;
        o.motion = EngineMotion::Hold;
        o.holdPoint = point;
        o.settingsDirectory = dir.path();
        w = std::make_unique<TFormHlav>(o, std::make_unique<QuietPrompts>());
        w->timer1()->stop();
        for (int i = 0; i < 60 && w->liveValues().EngineSpeed == 0; ++i) w->Timer1Timer();
        ASSERT_GT(w->liveValues().EngineSpeed, 0);
    }
    void show(int page) {
        w->editor().switchToPage(page);
        w->Timer1Timer();
    }
    int V(FieldId field, int e = 0) { return FieldValue(w->image(), Field(field), e); }
    void put(FieldId field, int value, int e = 0) { SetFieldValue(w->image(), Field(field), e, value); }
    MapPanel& panel() { return *w->editor().mapPanel(); }
    int greenCells() {
        int n = 0;
        for (int k = 0; k < 150; ++k) n += panel().grid().cell(k).field == Green;
        return n;
    }
    // The live cell as the searches give it for the page's own axis.
    int expectedCell(FieldId axisField) {
        std::array<std::uint8_t, 15> axis{};
        for (int c = 0; c < 15; ++c)
            axis[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(V(axisField, c));
        const LiveValues& live = w->liveValues();
        return 15 * ThrottleRow(live.ThrottleOpening, live.ThrottleSensorError) +
               RpmColumn(axis, live.EngineSpeed);
    }

    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> w;
};

TEST_F(LivePointUiTest, F5OnAdvanceStepsExactlyTheGreenCellWithOneUndoEntry) {
    start({6000, 30});
    put(FieldId::AdvanceTps, 1);
    show(PageAdvance);
    const int k = expectedCell(FieldId::RpmAdv);
    EXPECT_EQ(greenCells(), 1);
    EXPECT_EQ(panel().grid().cell(k).field, Green);
    EXPECT_EQ(panel().grid().rowCaption(k / 15).background, Green);
    EXPECT_EQ(panel().grid().axis(k % 15).field, Green);
    EXPECT_NE(panel().grid().axis((k % 15 + 1) % 15).field, Green);

    const DeviceImage before = w->image();
    const int entry = w->editor().undoRing().current();
    w->findChild<QAction*>("MenuToolsPlus")->trigger();
    EXPECT_EQ(V(FieldId::Advance, k),
              before.byteAt(Field(FieldId::Advance).index + static_cast<std::size_t>(k)) + 1);
    int changed = 0;
    for (std::size_t i = 0; i < ImageSize; ++i) changed += w->image().byteAt(i) != before.byteAt(i);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(w->editor().undoRing().current(), (entry + 1) % UndoRing::Size);
    EXPECT_EQ(panel().grid().cell(k).value, V(FieldId::Advance, k));

    // "All" steps the whole map: the whole page shifts by one degree in one entry.
    panel().allBox()->setChecked(true);
    w->editor().CheckBoxMouseUp();
    const DeviceImage beforeAll = w->image();
    w->findChild<QAction*>("MenuToolsMinus")->trigger();
    for (int cell = 0; cell < 150; cell += 37)
        EXPECT_EQ(V(FieldId::Advance, cell),
                  beforeAll.byteAt(Field(FieldId::Advance).index + static_cast<std::size_t>(cell)) - 1)
            << cell;
    EXPECT_TRUE(w->findChild<QLabel*>("LabelTest1")->text().startsWith("Test1= "));
}

TEST_F(LivePointUiTest, MapPanelTakesTheShapeOfEachPage) {
    start({3000, 20});
    // An Advance map without the throttle axis shows its full-throttle row alone, at the top.
    put(FieldId::AdvanceTps, 0);
    show(PageAdvance);
    EXPECT_FALSE(panel().grid().cell(0).shown);
    EXPECT_TRUE(panel().grid().cell(135).shown);
    EXPECT_FALSE(panel().grid().rowCaption(9).shown);
    EXPECT_FALSE(panel().grid().columnButtonsShown(0));
    // The live cell is in that row, whatever the throttle.
    EXPECT_EQ(greenCells(), 1);
    EXPECT_EQ(panel().grid().cell(135 + expectedCell(FieldId::RpmAdv) % 15).field, Green);

    // The disabled intake servo: only its enable box.
    put(FieldId::ServoInEnable, 0);
    show(PageServoIn);
    EXPECT_TRUE(panel().servoEnableBox()->isVisibleTo(&panel()));
    EXPECT_FALSE(panel().procentBox()->isVisibleTo(&panel()));
    EXPECT_FALSE(panel().grid().axis(0).shown);
    EXPECT_FALSE(panel().grid().cell(135).shown);
    EXPECT_FALSE(panel().grid().bevelShown());

    // Inj-1A with Ms: the times over the cells; coupled followers read-only.
    put(FieldId::Jet1423Mode, 1);
    put(FieldId::PocKanOut, 4);
    show(PageJet1A);
    panel().msBox()->setChecked(true);
    w->editor().CheckBoxTps_UniMouseUp();
    EXPECT_TRUE(panel().grid().cell(0).timeShown);
    EXPECT_EQ(panel().grid().cell(0).time, QString::asprintf("%5.3f ", V(FieldId::Jet1A, 0) * 0.001));
    EXPECT_EQ(panel().channelsCaption()->text(), "  1 -> 2, 3, 4  ");
    panel().msBox()->setChecked(false);
    w->editor().CheckBoxTps_UniMouseUp();
    show(PageJet3A);
    EXPECT_FALSE(panel().grid().cell(0).timeShown);
    EXPECT_TRUE(panel().grid().cell(0).shown);
    EXPECT_FALSE(panel().grid().cell(0).enabled);
    EXPECT_FALSE(panel().grid().cell(0).upDowns);
    EXPECT_FALSE(panel().toolsButton()->isVisibleTo(&panel()));

    // F4 on a coupled follower does nothing, not even an undo entry.
    const int entry = w->editor().undoRing().current();
    const DeviceImage before = w->image();
    w->findChild<QAction*>("MenuToolsMinus")->trigger();
    EXPECT_EQ(w->editor().undoRing().current(), entry);
    EXPECT_TRUE(std::ranges::equal(w->image().bytes(), before.bytes()));

    // 1=2=3=4 hides the follower tabs; separate channels show as many as there are.
    auto* tabs = w->findChild<QTabWidget*>("PageControl1");
    put(FieldId::Jet1423Mode, 2);
    show(PageJet1A);
    EXPECT_FALSE(tabs->isTabVisible(PageJet2A));
    EXPECT_TRUE(w->findChild<QAction*>("Menu_Jet123Stejny")->isChecked());
    put(FieldId::Jet1423Mode, 0);
    put(FieldId::PocKanOut, 2);
    w->editor().ImageToPage();
    EXPECT_TRUE(tabs->isTabVisible(PageJet2A));
    EXPECT_FALSE(tabs->isTabVisible(PageJet3A));
    EXPECT_TRUE(w->findChild<QAction*>("Menu_Jet123Normal")->isChecked());
}

TEST_F(LivePointUiTest, FixedPagesFollowTheLivePointAndTheirSelectors) {
    start({1200, 0});
    show(PageIdle);
    // The held engine has warmed only a little: the idle curves' point of its water temperature.
    const int t = IdleTemperatureIndex(w->liveValues().CoolantTemperature);
    ASSERT_LT(t, 9);
    auto* label = w->findChild<QLabel*>(QString("LabelIdleServoTeplota[%1]").arg(t));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->palette().color(QPalette::Window), Green);
    EXPECT_EQ(w->findChild<SpinField*>(QString("UpDownIdleAdvPoz[%1]").arg(t))->fieldColor(), Green);

    // Gear page by voltage: only the engaged gear's field, and the number of gears limits the rows.
    put(FieldId::GearSystem, 0);
    put(FieldId::PocetGear, 4);
    show(PageGear);
    const int g = w->liveValues().Gear;
    EXPECT_EQ(w->findChild<SpinField*>(QString("UpDownGearNapeti[%1]").arg(g))->fieldColor(), Green);
    EXPECT_FALSE(w->findChild<QWidget*>("ButtonGear5")->isVisibleTo(w.get()));
    EXPECT_TRUE(w->findChild<QWidget*>("ButtonGear4")->isVisibleTo(w.get()));
    EXPECT_TRUE(w->findChild<QWidget*>("GroupBoxNapetiProGear")->isVisibleTo(w.get()));
    EXPECT_FALSE(w->findChild<QWidget*>("GroupBoxRpmSpeedProGear")->isVisibleTo(w.get()));

    // "Programming after change" is red while checked.
    show(PageBike);
    auto* prog = w->findChild<QCheckBox*>("CheckBoxProgHned");
    prog->setChecked(true);
    w->RefreshDisplay();
    EXPECT_EQ(prog->palette().color(QPalette::Window), QColor(255, 0, 0));
}

}  // namespace
}  // namespace torvane
