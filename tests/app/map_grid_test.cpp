// The map grid from the keyboard and the clipboard, on the window offscreen: keys sent to the focused
// widget take the same way as a tuner's, through the window's shortcuts.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <map>
#include <vector>

#include "app/tools/tuning_tools.h"
#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "display/map_selection.h"
#include "editor/page_catalogue.h"
#include "image/fields.h"
#include "link/link_session.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

class GridPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    QStringList shown;
};

class MapGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.simulate = true;
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<GridPrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();
        SetFieldValue(w->image(), Field(FieldId::AdvanceTps), 0, 1);
        for (int k = 0; k < MapCells; ++k) SetFieldValue(w->image(), Field(FieldId::Advance), k, 10 + k % 15);
        w->editor().switchToPage(PageAdvance);
        w->editor().CommitChange();
        w->Timer1Timer();
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    MapPanel& panel() { return *w->editor().mapPanel(); }
    MapGridView& view() { return panel().gridView(); }
    QModelIndex at(int r, int c) { return panel().grid().cellIndex(MapPanel::cellIndex(r, c)); }
    int value(int r, int c) { return panel().grid().cell(MapPanel::cellIndex(r, c)).value; }
    int stored(int r, int c) {
        return FieldValue(w->image(), Field(FieldId::Advance), MapPanel::cellIndex(r, c));
    }
    // A key as the tuner presses it: to whatever has the focus, through the window's shortcuts.
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, k, m);
    }
    void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    QString editedText() { return view().editor() != nullptr ? view().editor()->edit()->text() : QString(); }
    int undoEntry() { return w->editor().undoRing().current(); }

    QTemporaryDir dir;
    GridPrompts* prompts = nullptr;
    std::unique_ptr<TFormHlav> w;
};

TEST_F(MapGridTest, CtrlArrowsHomeAndEndMoveFromCellToCellAndCommitWhatWasTyped) {
    ASSERT_NE(view().edit(at(0, 0)), nullptr);
    view().editor()->edit()->selectAll();
    type("45");
    const int entry = undoEntry();
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(view().editedIndex(), at(0, 1));
    EXPECT_EQ(stored(0, 0), 45);  // committed as a click into another field commits
    EXPECT_NE(undoEntry(), entry);
    // The new cell's text is chosen: typing replaces it.
    EXPECT_EQ(view().editor()->edit()->selectedText(), editedText());
    type("7");
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(stored(0, 1), 7);
    EXPECT_EQ(view().editedIndex(), at(1, 1));
    key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(view().editedIndex(), at(1, 0));
    // Left of the first column is the rows' caption, not a field: the cell stays.
    key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(view().editedIndex(), at(1, 0));
    key(Qt::Key_End);
    EXPECT_EQ(view().editedIndex(), at(1, MapColumns - 1));
    key(Qt::Key_Home);
    EXPECT_EQ(view().editedIndex(), at(1, 0));
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view().editedIndex(), at(MapRows - 1, MapColumns - 1));
    key(Qt::Key_Down, Qt::ControlModifier);  // the map's edge
    EXPECT_EQ(view().editedIndex(), at(MapRows - 1, MapColumns - 1));
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view().editedIndex(), at(0, 0));
    // Up from the first row reaches the rpm axis, which is edited as before.
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(view().editedIndex(), panel().grid().axisIndex(0));
    // Plain Up and Down still step the field being edited.
    key(Qt::Key_Down, Qt::ControlModifier);
    const int before = value(0, 0);
    key(Qt::Key_Up);
    EXPECT_EQ(value(0, 0), before + 1);
    EXPECT_EQ(view().editedIndex(), at(0, 0));
}

TEST_F(MapGridTest, ADigitTypedWhileNoCellIsEditedStartsANewValue) {
    view().edit(at(2, 3));
    view().closeItemEditor();
    view().setFocus();
    EXPECT_EQ(view().editor(), nullptr);
    key(Qt::Key_3);
    ASSERT_NE(view().editor(), nullptr);
    EXPECT_EQ(view().editedIndex(), at(2, 3));
    type("3");
    EXPECT_EQ(editedText(), "33");
    key(Qt::Key_Return);
    EXPECT_EQ(stored(2, 3), 33);
}

TEST_F(MapGridTest, CopyGivesTheChosenCellsAsTabSeparatedRowsAndTheWholeMapWithAxes) {
    w->tuningTools().selection().select({1, 2, 2, 4});
    view().edit(at(1, 2));
    key(Qt::Key_C, Qt::ControlModifier);
    const QString expected = QString("%1\t%2\t%3\n%4\t%5\t%6\n")
                                 .arg(value(1, 2))
                                 .arg(value(1, 3))
                                 .arg(value(1, 4))
                                 .arg(value(2, 2))
                                 .arg(value(2, 3))
                                 .arg(value(2, 4));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    // No rectangle: the cell being edited.
    w->tuningTools().selection().clear();
    view().edit(at(4, 5));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("%1\n").arg(value(4, 5)));

    key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), MapRows + 1);
    const QStringList header = lines[0].split('\t');
    ASSERT_EQ(header.size(), MapColumns + 1);
    EXPECT_EQ(header[0], "TPS");
    EXPECT_EQ(header[1], QString::number(panel().grid().axis(0).value));
    const QStringList row3 = lines[4].split('\t');
    EXPECT_EQ(row3[0], panel().grid().rowCaption(3).text.trimmed());
    EXPECT_EQ(row3[15], QString::number(value(3, 14)));
}

TEST_F(MapGridTest, PasteIsOneEditCutAtTheMapsEdgeAndABadBlockChangesNothing) {
    view().edit(at(8, 13));
    QGuiApplication::clipboard()->setText("20\t21\t22\n23\t24\t25\n26\t27\t28\n");
    const int entry = undoEntry();
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(stored(8, 13), 20);
    EXPECT_EQ(stored(8, 14), 21);
    EXPECT_EQ(stored(9, 13), 23);
    EXPECT_EQ(stored(9, 14), 24);
    EXPECT_EQ((undoEntry() - entry + UndoRing::Size) % UndoRing::Size, 1);
    const int base = Field(FieldId::Advance).index;
    EXPECT_TRUE(w->link()->session().blockChanged()[static_cast<std::size_t>(base) / BlockSize]);
    // One undo takes the whole paste back.
    w->findChild<QAction*>("MenuZpet")->trigger();
    EXPECT_EQ(stored(8, 13), 10 + MapPanel::cellIndex(8, 13) % 15);
    EXPECT_EQ(stored(9, 14), 10 + MapPanel::cellIndex(9, 14) % 15);

    // Out of range values are limited to the cell's range, as typing them would be.
    w->editor().switchToPage(PageAdvance);
    view().edit(at(0, 0));
    QGuiApplication::clipboard()->setText("9999;-9999");
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(stored(0, 0), panel().grid().cell(0).maximum);
    EXPECT_EQ(stored(0, 1), panel().grid().cell(1).minimum);

    const DeviceImage before = w->image();
    const int again = undoEntry();
    QGuiApplication::clipboard()->setText("1\t2\n3\tx\n");
    view().edit(at(0, 0));
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(std::equal(before.bytes().begin(), before.bytes().end(), w->image().bytes().begin()));
    EXPECT_EQ(undoEntry(), again);
    ASSERT_FALSE(prompts->shown.isEmpty());
    EXPECT_TRUE(prompts->shown.back().contains("no block of numbers")) << prompts->shown.back().toStdString();
    EXPECT_TRUE(prompts->shown.back().contains("line 2")) << prompts->shown.back().toStdString();
}

TEST_F(MapGridTest, InAFieldOutsideTheGridTheKeysCopyItsTextAndOffTheMapPagesNothing) {
    auto* base = w->findChild<SpinField*>("UpDownMisc_Uni[1]");
    if (base == nullptr) GTEST_SKIP() << "no base advance field";
    base->setFocus();
    base->edit()->selectAll();
    QGuiApplication::clipboard()->setText("untouched");
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), base->edit()->text());
    w->editor().switchToPage(PageBike);
    EXPECT_FALSE(w->findChild<QAction*>("MenuCellsCopy")->isEnabled());
    EXPECT_FALSE(w->findChild<QAction*>("MenuCellsPaste")->isEnabled());
}

TEST_F(MapGridTest, ACopyReadsInASpreadsheetAsABlockAndASpreadsheetBlockPastesBack) {
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
    w->tuningTools().selection().select({0, 0, 2, 3});
    view().edit(at(0, 0));
    key(Qt::Key_C, Qt::ControlModifier);
    // The tab dialect of Python's csv module reads what spreadsheets paste; it writes back each value
    // plus one, with the CR LF line ends a spreadsheet puts on the clipboard.
    QProcess p;
    p.start(python, {"-c",
                     "import csv, sys\n"
                     "rows = list(csv.reader(sys.stdin, dialect='excel-tab'))\n"
                     "assert len(rows) == 3 and all(len(r) == 4 for r in rows), rows\n"
                     "csv.writer(sys.stdout, dialect='excel-tab').writerows("
                     "[[int(v) + 1 for v in r] for r in rows])\n"});
    ASSERT_TRUE(p.waitForStarted());
    p.write(QGuiApplication::clipboard()->text().toUtf8());
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(20000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString back = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(back.contains("\r\n"));
    int old[3][4];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) old[r][c] = value(r, c);
    QGuiApplication::clipboard()->setText(back);
    view().edit(at(0, 0));
    key(Qt::Key_V, Qt::ControlModifier);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(stored(r, c), old[r][c] + 1) << r << "," << c;
    EXPECT_EQ(stored(3, 0), 10 + MapPanel::cellIndex(3, 0) % 15);
}

TEST_F(MapGridTest, CellsHaveSpokenNamesInTheWindowsLanguage) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&view());
    ASSERT_NE(table, nullptr);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    const int rpm = panel().grid().axis(4).value;
    const QString row = panel().grid().rowCaption(3).text.trimmed();
    QAccessibleInterface* cell = cells->cellAt(MapGridModel::FirstCellRow + 3, 1 + 4);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), QString("Advance %1, %2 rpm").arg(row).arg(rpm));
    // It is reported where it is drawn, and found there again.
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    const QRect drawn = view().visualRect(view().grid().index(MapGridModel::FirstCellRow + 3, 1 + 4));
    EXPECT_EQ(cell->rect(), QRect(view().viewport()->mapToGlobal(drawn.topLeft()), drawn.size()));
    EXPECT_EQ(table->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
    EXPECT_EQ(table->child(table->indexOfChild(cell)), cell);
    w->setLanguage(1);
    EXPECT_TRUE(cell->text(QAccessible::Name).endsWith(QString("%1 U/min").arg(rpm)))
        << cell->text(QAccessible::Name).toStdString();
    // The field being edited carries the name of its cell.
    w->setLanguage(0);
    view().edit(at(3, 4));
    EXPECT_EQ(view().editor()->accessibleName(), QString("Advance %1, %2 rpm").arg(row).arg(rpm));
}

TEST_F(MapGridTest, ThePositionCurvesAreGridsThatEditTheImageAndShowTheLiveColumn) {
    w->editor().switchToPage(PagePoloha);
    for (int i = 0; i < 40 && w->liveValues().EngineSpeed == 0; ++i) w->Timer1Timer();
    w->Timer1Timer();
    auto* curve = w->findChild<MapGridView*>("GridViewPolohaA");
    ASSERT_NE(curve, nullptr);
    // The items show the image: the rpm axis in rpm, the positions in degrees.
    for (int c = 0; c < MapColumns; ++c) {
        EXPECT_EQ(curve->grid().axis(c).value, 100 * FieldValue(w->image(), Field(FieldId::PolohaARpm), c));
        EXPECT_EQ(curve->grid().cell(c).value, 5 * FieldValue(w->image(), Field(FieldId::PolohaAPoz), c));
    }
    // The live column is green in both rows, and only there.
    int green = -1;
    for (int c = 0; c < MapColumns; ++c) {
        if (curve->grid().cell(c).field == QColor(0, 255, 0)) {
            EXPECT_EQ(green, -1) << "a second green column " << c;
            green = c;
            EXPECT_EQ(curve->grid().axis(c).field, QColor(0, 255, 0));
        }
    }
    EXPECT_GE(green, 0);
    // Typed, then moved on with Ctrl+Right: committed in the stored unit of 5 degrees.
    SpinField* field = curve->edit(curve->itemNamed("UpDownPolohaAPoz[3]"));
    ASSERT_NE(field, nullptr);
    field->edit()->selectAll();
    type("400");
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(FieldValue(w->image(), Field(FieldId::PolohaAPoz), 3), 80);
    EXPECT_EQ(curve->editedIndex(), curve->itemNamed("UpDownPolohaAPoz[4]"));
    // In a curve Ctrl+C copies the field's own text: the map's cell entries are off here.
    EXPECT_FALSE(w->findChild<QAction*>("MenuCellsCopy")->isEnabled());
}

// The extra fields and their captions of a map page sit where that page puts them, whichever map page
// was shown before.
TEST_F(MapGridTest, ExtraFieldsSitTheSameWhicheverPageCameBefore) {
    std::vector<int> maps;
    for (int page = 0; page < PageCount; ++page)
        if (IsMapPage(page)) maps.push_back(page);
    const auto arrangement = [this](int page) {
        w->editor().switchToPage(page);
        QApplication::processEvents();
        QStringList seen;
        for (int i = 0; i < MiscFieldCount; ++i) {
            QWidget* f = panel().misc(i);
            if (f->isVisibleTo(&panel())) seen << QString("%1 %2,%3").arg(i).arg(f->x()).arg(f->y());
        }
        for (int i = 0; i < 5; ++i) {
            QWidget* l = panel().miscLabel(i);
            if (l->isVisibleTo(&panel())) seen << QString("caption %1 %2,%3").arg(i).arg(l->x()).arg(l->y());
        }
        return seen;
    };
    std::map<int, QStringList> forwards;
    for (int page : maps) forwards[page] = arrangement(page);
    for (auto it = maps.rbegin(); it != maps.rend(); ++it)
        EXPECT_EQ(arrangement(*it), forwards[*it]) << "page " << *it;
    // Every page that places fields shows them at places of their own.
    for (const auto& [page, seen] : forwards) {
        QStringList places;
        for (const QString& s : seen) places << s.section(' ', -1);
        places.removeDuplicates();
        EXPECT_EQ(places.size(), seen.size()) << "page " << page << ": " << seen.join("; ").toStdString();
    }
}

}  // namespace
}  // namespace torvane
