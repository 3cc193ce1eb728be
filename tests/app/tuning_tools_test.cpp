// The tuning tools on the window, offscreen: datalogs recorded from the built-in simulated unit and
// replayed over the maps, the cell hits of a known log, operations on chosen cells, the cell colours.
#include "app/tools/tuning_tools.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <set>

#include "app/datalog/datalog_viewer.h"
#include "app/mapviews/map_chart.h"
#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "display/map_selection.h"
#include "files/datalog.h"
#include "image/fields.h"
#include "link/link_session.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

class ToolPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    std::optional<double> askNumber(const QString&, const QString&, double, double, double) override {
        ++numbersAsked;
        return number;
    }
    QStringList shown;
    std::optional<double> number;
    int numbersAsked = 0;
};

const QColor Green(0, 255, 0);

class TuningToolsTest : public ::testing::Test {
  protected:
    void start(EngineMotion motion = EngineMotion::Cycle, OperatingPoint hold = {}) {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.simulate = true;
        o.motion = motion;
        o.holdPoint = hold;
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<ToolPrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();
        for (int i = 0; i < 60 && w->liveValues().EngineSpeed == 0; ++i) w->Timer1Timer();
    }
    void show(int page) {
        w->editor().switchToPage(page);
        w->Timer1Timer();
    }
    int V(FieldId field, int e = 0) { return FieldValue(w->image(), Field(field), e); }
    void put(FieldId field, int value, int e = 0) { SetFieldValue(w->image(), Field(field), e, value); }
    MapPanel& panel() { return *w->editor().mapPanel(); }
    QModelIndex at(int k) { return panel().grid().cellIndex(k); }
    QColor painted(int k) { return panel().gridView().paintedColor(at(k)); }
    // A click into a cell's field, as the mouse does it (Shift for the second corner).
    void clickCell(int k, Qt::KeyboardModifiers modifiers = {}) {
        MapGridView& view = panel().gridView();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers,
                          view.itemRect(at(k)).center() - QPoint(8, 0));
    }
    TuningTools& tools() { return w->tuningTools(); }
    int greenCell() {
        for (int k = 0; k < MapCells; ++k) {
            if (panel().grid().cell(k).field == Green) return k;
        }
        return -1;
    }
    QString path(const char* name) { return dir.filePath(name); }

    QTemporaryDir dir;
    ToolPrompts* prompts = nullptr;
    std::unique_ptr<TFormHlav> w;
};

// --- datalogs --------------------------------------------------------------------------------

TEST_F(TuningToolsTest, RecordedLogReplaysToTheSameLivePointsOnEveryMapPage) {
    start();
    put(FieldId::AdvanceTps, 1);
    show(PageAdvance);
    ASSERT_TRUE(tools().startDatalog(path("ride.csv")));
    EXPECT_TRUE(w->findChild<QLabel*>("LabelDatalog")->isVisibleTo(w.get()));
    EXPECT_FALSE(w->findChild<QAction*>("MenuStartDatalog")->isEnabled());

    struct Seen {
        LiveIndexes indexes;
        int green;
    };
    std::vector<Seen> seen;
    std::size_t frames = 0;
    for (int tick = 0; tick < 6 * 40; ++tick) {
        w->Timer1Timer();
        if (tools().recordedFrames() != frames) {
            frames = tools().recordedFrames();
            seen.push_back({w->liveIndexes(), greenCell()});
        }
    }
    ASSERT_GE(seen.size(), 30u);
    w->findChild<QAction*>("MenuStopDatalog")->trigger();
    EXPECT_FALSE(tools().recording());
    EXPECT_FALSE(w->findChild<QLabel*>("LabelDatalog")->isVisibleTo(w.get()));

    ASSERT_TRUE(tools().openDatalog(path("ride.csv")));
    ASSERT_NE(tools().viewer(), nullptr);
    ASSERT_EQ(tools().viewer()->log().rows(), seen.size());
    std::set<int> cells;
    // From the end back: the viewer opens at row 0 and shows a row when the cursor moves to it.
    for (std::size_t row = seen.size(); row-- > 0;) {
        tools().viewer()->setCursorRow(row);
        EXPECT_EQ(w->liveIndexes().column, seen[row].indexes.column) << row;
        EXPECT_EQ(w->liveIndexes().tpsRow, seen[row].indexes.tpsRow) << row;
        EXPECT_EQ(w->liveIndexes().iapRow, seen[row].indexes.iapRow) << row;
        EXPECT_EQ(greenCell(), seen[row].green) << row;
        cells.insert(seen[row].green);
    }
    EXPECT_GT(cells.size(), 3u) << "the simulated ride should cross several cells";
    // The unit's frames do not move the live point while the log replays; pausing gives it back.
    const LiveIndexes replayed = w->liveIndexes();
    for (int tick = 0; tick < 12; ++tick) w->Timer1Timer();
    EXPECT_EQ(w->liveIndexes().column, replayed.column);
    tools().viewer()->close();
    EXPECT_FALSE(w->link()->replaying());
}

TEST_F(TuningToolsTest, CellHitsOfAKnownLogAndTheirTable) {
    start(EngineMotion::Hold, {3000, 0});
    put(FieldId::AdvanceTps, 1);
    show(PageAdvance);
    // Three frames at one point, two at another, one with the engine stopped.
    DatalogWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path("known.csv").toStdString(), error)) << error;
    LiveValues a;
    a.EngineSpeed = 3000;
    a.ThrottleOpening = 0;
    a.IntakePressure = 100;
    a.CoolantTemperature = 180;
    a.monitor.coolantRaw = 180;
    LiveValues b = a;
    b.EngineSpeed = 9000;
    b.ThrottleOpening = 1000;
    LiveValues stopped = a;
    stopped.EngineSpeed = 0;
    double t = 0;
    for (const LiveValues* v : {&a, &a, &a, &b, &b, &stopped}) ASSERT_TRUE(writer.append(t += 0.055, *v));
    writer.close();
    ASSERT_TRUE(tools().openDatalog(path("known.csv")));

    const CellHits hits = tools().cellHits();
    EXPECT_EQ(hits.frames, 6);
    EXPECT_EQ(hits.outside, 1);
    EXPECT_EQ(hits.highest(), 3);
    int cellsHit = 0, total = 0;
    for (int n : hits.count) {
        cellsHit += n > 0;
        total += n;
    }
    EXPECT_EQ(cellsHit, 2);
    EXPECT_EQ(total, 5);

    tools().viewer()->findChild<QAbstractButton*>("ButtonCellHits")->click();
    QDialog* dialog = tools().cellHitsDialog();
    ASSERT_NE(dialog, nullptr);
    auto* table = dialog->findChild<QTableWidget*>("TableCellHits");
    ASSERT_EQ(table->columnCount(), MapColumns);
    int shownTotal = 0;
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < table->columnCount(); ++c) shownTotal += table->item(r, c)->text().toInt();
    }
    EXPECT_EQ(shownTotal, 5);
}

TEST_F(TuningToolsTest, ReplayWithoutAUnitMovesTheLivePointWithoutAVersionWarning) {
    ASSERT_TRUE(dir.isValid());
    StartOptions o;
    o.portOverride = "/nonexistent/tty-for-tests";
    o.settingsDirectory = dir.path();
    w = std::make_unique<TFormHlav>(o, std::make_unique<ToolPrompts>());
    w->timer1()->stop();
    put(FieldId::AdvanceTps, 1);
    show(PageAdvance);
    DatalogWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path("home.csv").toStdString(), error));
    LiveValues a;
    a.EngineSpeed = 7000;
    a.ThrottleOpening = 400;
    a.monitor.coolantRaw = 180;
    ASSERT_TRUE(writer.append(0.0, a));
    a.EngineSpeed = 2000;
    ASSERT_TRUE(writer.append(0.055, a));
    writer.close();
    ASSERT_TRUE(tools().openDatalog(path("home.csv")));
    tools().viewer()->setCursorRow(1);
    EXPECT_EQ(w->liveValues().EngineSpeed, 2000);
    EXPECT_GE(greenCell(), 0);
    EXPECT_TRUE(w->findChild<QLabel*>("LabelVersion")->text().isEmpty());
    tools().viewer()->setCursorRow(0);
    EXPECT_EQ(w->liveValues().EngineSpeed, 7000);
}

TEST_F(TuningToolsTest, UnwritableDatalogAndUnreadableDatalogGiveMessages) {
    start();
    EXPECT_FALSE(tools().startDatalog(path("no/such/folder/ride.csv")));
    EXPECT_FALSE(tools().recording());
    ASSERT_EQ(prompts->shown.size(), 1);
    EXPECT_TRUE(prompts->shown.back().startsWith("The datalog cannot be written"));
    EXPECT_FALSE(tools().openDatalog(path("missing.csv")));
    EXPECT_TRUE(prompts->shown.back().startsWith("The datalog cannot be read"));
    EXPECT_EQ(tools().viewer(), nullptr);
}

TEST_F(TuningToolsTest, FastMonitorFromTheToolsMenuIsOffAtStart) {
    start();
    QAction* fast = w->findChild<QAction*>("MenuFastMonitor");
    ASSERT_NE(fast, nullptr);
    EXPECT_FALSE(fast->isChecked());
    EXPECT_FALSE(w->link()->session().FastMonitor());
    const auto framesOver = [this](int ticks) {
        const std::uint32_t before = w->liveValues().monitorFrames;
        for (int i = 0; i < ticks; ++i) w->Timer1Timer();
        return w->liveValues().monitorFrames - before;
    };
    const std::uint32_t slow = framesOver(60);
    fast->trigger();
    EXPECT_TRUE(w->link()->session().FastMonitor());
    const std::uint32_t quick = framesOver(60);
    EXPECT_GE(quick, 4 * slow) << slow << " frames without, " << quick << " with fast monitoring";
}

// --- cell operations -------------------------------------------------------------------------

TEST_F(TuningToolsTest, OperationOnChosenAdvanceCellsIsOneCommit) {
    start();
    put(FieldId::AdvanceTps, 1);
    show(PageAdvance);
    tools().selection().select({2, 3, 4, 6});  // rows 2..4, columns 3..6
    const DeviceImage before = w->image();
    const int entry = w->editor().undoRing().current();
    prompts->number = 2;
    ASSERT_TRUE(tools().applyCellOperation(SelectionOp::Add));
    EXPECT_EQ(prompts->numbersAsked, 1);
    const int base = Field(FieldId::Advance).index;
    for (int r = 0; r < MapRows; ++r) {
        for (int c = 0; c < MapColumns; ++c) {
            const int k = MapPanel::cellIndex(r, c);
            const int old = before.byteAt(static_cast<std::size_t>(base + k));
            const bool inside = r >= 2 && r <= 4 && c >= 3 && c <= 6;
            EXPECT_EQ(V(FieldId::Advance, k),
                      inside ? std::min(old + 2, panel().grid().cell(k).maximum) : old)
                << r << "," << c;
            EXPECT_EQ(panel().grid().cell(k).value, V(FieldId::Advance, k));
        }
    }
    EXPECT_EQ(w->editor().undoRing().current(), (entry + 1) % UndoRing::Size);
    EXPECT_TRUE(w->link()->session().blockChanged()[static_cast<std::size_t>(base) / BlockSize]);
    w->findChild<QAction*>("MenuZpet")->trigger();
    EXPECT_EQ(V(FieldId::Advance, MapPanel::cellIndex(3, 4)),
              before.byteAt(static_cast<std::size_t>(base + 49)));

    // Interpolation between the corners: the inner cells lie on the plane of the four corners.
    show(PageAdvance);  // the undo went back to the page of the entry it restored
    tools().selection().select({0, 0, 9, 14});
    ASSERT_TRUE(tools().applyCellOperation(SelectionOp::InterpolateBoth))
        << prompts->shown.join("|").toStdString();
    const int c00 = V(FieldId::Advance, 0), c0e = V(FieldId::Advance, 14), ce0 = V(FieldId::Advance, 135),
              cee = V(FieldId::Advance, 149);
    const double mid = (c00 + c0e + ce0 + cee) / 4.0;
    EXPECT_NEAR(panel().grid().cell(MapPanel::cellIndex(4, 7)).value, mid, 2.0);
}

TEST_F(TuningToolsTest, EveryOperationIsOneUndoEntryAndUndoesWhole) {
    start();
    put(FieldId::AdvanceTps, 1);
    show(PageAdvance);
    // A map with some relief, so that every operation changes something.
    for (int k = 0; k < MapCells; ++k) put(FieldId::Advance, 10 + (k * 7) % 23, k);
    w->editor().CommitChange();
    prompts->number = 3;
    for (SelectionOp op :
         {SelectionOp::Set, SelectionOp::Add, SelectionOp::Scale, SelectionOp::InterpolateRows,
          SelectionOp::InterpolateColumns, SelectionOp::InterpolateBoth, SelectionOp::Smooth}) {
        show(PageAdvance);
        tools().selection().select({1, 2, 5, 9});
        const DeviceImage before = w->image();
        const int entry = w->editor().undoRing().current();
        ASSERT_TRUE(tools().applyCellOperation(op)) << static_cast<int>(op);
        EXPECT_EQ(w->editor().undoRing().current(), (entry + 1) % UndoRing::Size) << static_cast<int>(op);
        EXPECT_FALSE(std::equal(before.bytes().begin(), before.bytes().end(), w->image().bytes().begin()))
            << static_cast<int>(op);
        w->findChild<QAction*>("MenuZpet")->trigger();
        EXPECT_TRUE(std::equal(before.bytes().begin(), before.bytes().end(), w->image().bytes().begin()))
            << static_cast<int>(op);
    }
    EXPECT_EQ(prompts->numbersAsked, 3);  // Set, Add and Scale ask for their number
}

TEST_F(TuningToolsTest, ScaleOnAnInjectionMapWorksOnThePercentagesShown) {
    start();
    show(PageJet1A);
    tools().selection().select({1, 1, 2, 2});
    std::vector<int> shown;
    for (int k : {16, 17, 31, 32}) shown.push_back(panel().grid().cell(k).value);
    const int outside = panel().grid().cell(0).value;
    ASSERT_TRUE(tools().applyCellOperation(SelectionOp::Scale, 110.0));
    for (std::size_t i = 0; i < 4; ++i) {
        const int k = std::array{16, 17, 31, 32}[i];
        const int expected =
            std::min(static_cast<int>(std::lround(shown[i] * 1.1)), panel().grid().cell(k).maximum);
        EXPECT_NEAR(panel().grid().cell(k).value, expected, 1)
            << k;  // the stored word is rounded back to the view
    }
    EXPECT_EQ(panel().grid().cell(0).value, outside);
    // No cells chosen and none being edited: nothing happens, the tuner is told why.
    tools().selection().clear();
    w->setFocus();
    const int entry = w->editor().undoRing().current();
    EXPECT_FALSE(tools().applyCellOperation(SelectionOp::Smooth));
    EXPECT_EQ(w->editor().undoRing().current(), entry);
    EXPECT_TRUE(prompts->shown.back().startsWith("Choose cells first"));
}

TEST_F(TuningToolsTest, FollowerMapsInCoupledModeRefuseOperations) {
    start();
    show(PageJet1A);
    w->findChild<QAction*>("Menu_Jet123Coupled")->trigger();
    show(PageJet2A);
    tools().selection().select({0, 0, 1, 1});
    const DeviceImage before = w->image();
    EXPECT_FALSE(tools().applyCellOperation(SelectionOp::Add, 5.0));
    EXPECT_TRUE(std::equal(before.bytes().begin(), before.bytes().end(), w->image().bytes().begin()));
    EXPECT_TRUE(prompts->shown.back().contains("follows Inj-1A"));
}

// --- choosing cells and their colours ----------------------------------------------------------

TEST_F(TuningToolsTest, CellsAreChosenByShiftArrowsAndDragAndTheLiveColourWins) {
    start(EngineMotion::Hold, {6000, 30});
    put(FieldId::AdvanceTps, 1);
    show(PageAdvance);
    w->show();
    SpinField* first = panel().gridView().edit(at(MapPanel::cellIndex(1, 1)));
    ASSERT_NE(first, nullptr);
    QTest::keyClick(first, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(first, Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_TRUE(tools().selection().rectangle().has_value());
    const CellRect r = *tools().selection().rectangle();
    EXPECT_EQ(r.row0, 1);
    EXPECT_EQ(r.col0, 1);
    EXPECT_EQ(r.row1, 2);
    EXPECT_EQ(r.col1, 2);
    EXPECT_EQ(painted(MapPanel::cellIndex(2, 2)), MapSelection::selectionColour());
    w->SetPrintMode(true);  // a print shows no chosen cells
    EXPECT_NE(painted(MapPanel::cellIndex(2, 2)), MapSelection::selectionColour());
    w->SetPrintMode(false);
    EXPECT_EQ(painted(MapPanel::cellIndex(2, 2)), MapSelection::selectionColour());
    first = panel().gridView().edit(at(MapPanel::cellIndex(1, 1)));
    QTest::keyClick(first, Qt::Key_Escape);
    EXPECT_FALSE(tools().selection().rectangle().has_value());

    // A plain click chooses no rectangle, so clicking into a cell looks as it always did.
    clickCell(MapPanel::cellIndex(0, 0));
    EXPECT_FALSE(tools().selection().rectangle().has_value());
    clickCell(MapPanel::cellIndex(3, 4), Qt::ShiftModifier);
    ASSERT_TRUE(tools().selection().rectangle().has_value());
    EXPECT_EQ(tools().selection().rectangle()->rows(), 4);
    EXPECT_EQ(tools().selection().rectangle()->columns(), 5);

    // Everything chosen and shaded: the live cell stays green, the others take their underlay.
    tools().selection().select({0, 0, 9, 14});
    w->findChild<QAction*>("MenuShadeCells")->trigger();
    w->Timer1Timer();
    const int live = greenCell();
    ASSERT_GE(live, 0);
    EXPECT_EQ(painted(live), Green);
    tools().selection().clear();
    int shaded = 0;
    for (int k = 0; k < MapCells; ++k) shaded += panel().grid().cell(k).underlay.isValid();
    EXPECT_EQ(shaded, MapCells);
    EXPECT_EQ(painted(live), Green);
    // A page switch drops the chosen cells.
    tools().selection().select({0, 0, 1, 1});
    show(PageJet1A);
    EXPECT_FALSE(tools().selection().rectangle().has_value());
}

TEST_F(TuningToolsTest, MapChartFollowsTheShownMapAndItsLiveCell) {
    start(EngineMotion::Hold, {6000, 30});
    put(FieldId::AdvanceTps, 1);
    show(PageAdvance);
    w->findChild<QAction*>("MenuMapChart")->trigger();
    ASSERT_NE(tools().mapChart(), nullptr);
    const MapViewData data = tools().shownMap();
    ASSERT_EQ(data.values.size(), static_cast<std::size_t>(MapRows));
    ASSERT_EQ(data.rpm.size(), static_cast<std::size_t>(MapColumns));
    const int live = greenCell();
    ASSERT_GE(live, 0);
    EXPECT_EQ(data.liveRow, live / MapColumns);
    EXPECT_EQ(data.liveColumn, live % MapColumns);
    EXPECT_EQ(data.values[2][3], panel().grid().cell(MapPanel::cellIndex(2, 3)).value);
}

}  // namespace
}  // namespace torvane
