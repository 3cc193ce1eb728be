#include "app/tools/tuning_tools.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/datalog/datalog_viewer.h"
#include "app/mapviews/map_chart.h"
#include "app/mapviews/map_surface.h"
#include "app/window/tform_hlav.h"
#include "app/window/window_actions.h"
#include "app/window/window_link.h"
#include "display/display_rules.h"
#include "display/map_selection.h"
#include "display/map_shading.h"
#include "editor/page_catalogue.h"
#include "link/link_session.h"
#include "mapgrid/cell_block.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "text/message_table.h"
#include "text/tool_texts.h"
#include "widgets/commit_check_box.h"
#include "widgets/named_control.h"
#include "widgets/spin_field.h"

namespace torvane {

namespace {

struct OperationEntry {
    SelectionOp op;
    const char* objectName;
    ToolText caption;
    std::optional<ToolText> question;  // for the operations that take a number
    double start, minimum, maximum;
    const char* shortcut;
};

const OperationEntry kOperations[] = {
    {SelectionOp::Set, "MenuCellsSet", ToolText::CellsSet, ToolText::CellsSetQuestion, 0, -100000, 100000,
     "Ctrl+Shift+S"},
    {SelectionOp::Add, "MenuCellsAdd", ToolText::CellsAdd, ToolText::CellsAddQuestion, 1, -100000, 100000,
     "Ctrl+Shift+A"},
    {SelectionOp::Scale, "MenuCellsScale", ToolText::CellsScale, ToolText::CellsScaleQuestion, 100, 0, 1000,
     "Ctrl+Shift+P"},
    {SelectionOp::InterpolateRows, "MenuCellsInterpolateRows", ToolText::CellsInterpolateRows, std::nullopt,
     0, 0, 0, "Ctrl+Shift+H"},
    {SelectionOp::InterpolateColumns, "MenuCellsInterpolateColumns", ToolText::CellsInterpolateColumns,
     std::nullopt, 0, 0, 0, "Ctrl+Shift+V"},
    {SelectionOp::InterpolateBoth, "MenuCellsInterpolateBoth", ToolText::CellsInterpolateBoth, std::nullopt,
     0, 0, 0, "Ctrl+Shift+B"},
    {SelectionOp::Smooth, "MenuCellsSmooth", ToolText::CellsSmooth, std::nullopt, 0, 0, 0, "Ctrl+Shift+M"},
};

// The menu entries the tools add to the window, by objectName, with their captions.
struct MenuCaption {
    const char* objectName;
    ToolText caption;
};
const MenuCaption kMenuCaptions[] = {
    {"MenuOpenDatalog", ToolText::MenuOpenDatalog}, {"MenuStartDatalog", ToolText::MenuStartDatalog},
    {"MenuStopDatalog", ToolText::MenuStopDatalog}, {"MenuFastMonitor", ToolText::MenuFastMonitor},
    {"MenuShadeCells", ToolText::MenuShadeCells},   {"MenuMapChart", ToolText::MenuMapChart},
    {"MenuMapSurface", ToolText::MenuMapSurface},   {"MenuCellsCopy", ToolText::CellsCopy},
    {"MenuCellsCopyMap", ToolText::CellsCopyMap},   {"MenuCellsPaste", ToolText::CellsPaste},
};

constexpr std::size_t MenuCaptionCount = std::size(kMenuCaptions);

const OperationEntry& EntryOf(SelectionOp op) {
    return *std::find_if(std::begin(kOperations), std::end(kOperations),
                         [op](const OperationEntry& e) { return e.op == op; });
}

QString PageTitle(TFormHlav& window, int page) {
    auto* pages = NamedControl<QTabWidget>(&window, "PageControl1");
    return pages != nullptr ? pages->tabText(page) : QString::number(page);
}

}  // namespace

TuningTools::TuningTools(TFormHlav& window) : QObject(&window), window_(window) {
    selection_ = std::make_unique<MapSelection>(*window_.editor().mapPanel());
    buildMenus();
    recordingLabel_ = new QLabel(&window_);
    recordingLabel_->setObjectName("LabelDatalog");
    recordingLabel_->setStyleSheet("QLabel { color: white; background: #c00000; padding: 0 6px; }");
    recordingLabel_->hide();
    window_.statusBar()->addPermanentWidget(recordingLabel_);
    window_.link()->setFrameObserver([this](const LiveValues& live) { onUnitFrame(live); });
    // A page switch starts with no cells chosen: the panel moves on to the next map.
    if (auto* pages = NamedControl<QTabWidget>(&window_, "PageControl1")) {
        connect(pages, &QTabWidget::currentChanged, this, [this] {
            selection_->clear();
            onPageShown();
        });
    }
    applyLanguage(window_.languageIndex());
}

QString TuningTools::text(ToolText t) const {
    return QString::fromStdString(ToolTextOf(t, language_));
}

void TuningTools::applyLanguage(int languageIndex) {
    language_ = languageIndex >= 0 && languageIndex < LanguageCount ? languageIndex : 0;
    for (std::size_t i = 0; i < std::size(kMenuCaptions); ++i)
        menuActions_[i]->setText(text(kMenuCaptions[i].caption));
    window_.actions().menu(WindowMenu::Cells)->setTitle(text(ToolText::MenuCells));
    for (std::size_t i = 0; i < std::size(kOperations); ++i)
        operationActions_[i]->setText(text(kOperations[i].caption));
    window_.actions().menu(WindowMenu::View)->setTitle(text(ToolText::MenuView));
    recordingCountShown_ = -1;
    showRecordingLabel();
    if (viewer_) viewer_->setLanguage(language_);
    if (chart_) chart_->setLanguage(language_);
    if (surface_) surface_->setLanguage(language_);
    captionCellHits();
    onPageShown();
}

void TuningTools::onPageShown() {
    auto* pages = NamedControl<QTabWidget>(&window_, "PageControl1");
    const int page = pages != nullptr ? pages->currentIndex() : -1;
    for (QAction* a : clipboardActions_) a->setEnabled(IsMapPage(page));
    // What a screen reader says for the grid's items names the page.
    MapGridModel::SpokenNames names;
    names.title = IsMapPage(page) ? QString(PageTitle(window_, page)).remove('&') : QString();
    names.cellFormat = text(ToolText::GridCellName);
    names.axisFormat = text(ToolText::GridAxisName);
    names.iapFormat = text(ToolText::GridIapName);
    window_.editor().mapPanel()->grid().setSpokenNames(names);
    // The position curves are named by their group's title.
    if (pages != nullptr) {
        for (MapGridView* curve : pages->widget(PagePoloha)->findChildren<MapGridView*>()) {
            if (auto* box = qobject_cast<QGroupBox*>(curve->parentWidget())) names.title = box->title();
            curve->grid().setSpokenNames(names);
        }
    }
}

TuningTools::~TuningTools() {
    if (window_.link() != nullptr) window_.link()->setFrameObserver({});
    writer_.close();
    delete viewer_.data();
    delete chart_.data();
    delete surface_.data();
}

DatalogViewer* TuningTools::viewer() const {
    return viewer_;
}
QDialog* TuningTools::cellHitsDialog() const {
    return cellHitsDialog_;
}
MapRowChart* TuningTools::mapChart() const {
    return chart_;
}
MapSurface* TuningTools::mapSurface() const {
    return surface_;
}

void TuningTools::keep(QAction* action) {
    static_assert(MenuCaptionCount == MenuEntryCount && std::size(kOperations) == CellOperationCount);
    for (std::size_t i = 0; i < MenuCaptionCount; ++i)
        if (action->objectName() == QLatin1String(kMenuCaptions[i].objectName)) menuActions_[i] = action;
}

QAction* TuningTools::addEntry(QMenu* menu, const char* name) {
    auto* a = new QAction(menu);
    a->setObjectName(name);
    menu->addAction(a);
    keep(a);
    return a;
}

void TuningTools::buildMenus() {
    QMenuBar* bar = window_.menuBar();
    // Every entry the tools add is one of kMenuCaptions (captions come with applyLanguage).
    WindowActions& actions = window_.actions();
    {
        QMenu* file = actions.menu(WindowMenu::File);
        QAction* open = new QAction(file);
        open->setObjectName("MenuOpenDatalog");
        keep(open);
        QAction* exitAction = actions[WindowAction::Exit];
        // Before the separator that precedes Exit.
        const QList<QAction*> entries = file->actions();
        const qsizetype at = entries.indexOf(exitAction);
        file->insertAction(at > 0 ? entries[at - 1] : exitAction, open);
        connect(open, &QAction::triggered, this, &TuningTools::MenuOpenDatalogClick);
    }

    {
        QMenu* tools = actions.menu(WindowMenu::Tools);
        tools->addSeparator();
        startAction_ = addEntry(tools, "MenuStartDatalog");
        stopAction_ = addEntry(tools, "MenuStopDatalog");
        stopAction_->setEnabled(false);
        fastAction_ = addEntry(tools, "MenuFastMonitor");
        fastAction_->setCheckable(true);  // off at every start: not kept in the settings
        connect(startAction_, &QAction::triggered, this, &TuningTools::MenuStartDatalogClick);
        connect(stopAction_, &QAction::triggered, this, &TuningTools::MenuStopDatalogClick);
        connect(fastAction_, &QAction::toggled, this, &TuningTools::setFastMonitor);
        buildCellsMenu(tools);
    }

    QMenu* view = new QMenu(bar);
    view->setObjectName("MenuView");
    actions.addMenu(WindowMenu::View, view);
    bar->insertMenu(actions.menu(WindowMenu::Language)->menuAction(), view);
    shadeAction_ = addEntry(view, "MenuShadeCells");
    shadeAction_->setCheckable(true);
    connect(shadeAction_, &QAction::toggled, this, &TuningTools::setShadeByValue);
    connect(addEntry(view, "MenuMapChart"), &QAction::triggered, this, &TuningTools::MenuMapChartClick);
    connect(addEntry(view, "MenuMapSurface"), &QAction::triggered, this, &TuningTools::MenuMapSurfaceClick);
}

// Tools > Cells: the operations on the chosen cells, copy and paste, and the same on the grid's context
// menu.
void TuningTools::buildCellsMenu(QMenu* tools) {
    WindowActions& actions = window_.actions();
    QMenu* cells = tools->addMenu(QString());
    cells->setObjectName("MenuCells");
    actions.addMenu(WindowMenu::Cells, cells);
    for (std::size_t i = 0; i < std::size(kOperations); ++i) {
        const OperationEntry& e = kOperations[i];
        QAction* a = new QAction(cells);
        a->setObjectName(e.objectName);
        cells->addAction(a);
        operationActions_[i] = a;
        a->setShortcut(QKeySequence(e.shortcut));
        a->setShortcutContext(Qt::WindowShortcut);
        const SelectionOp op = e.op;
        connect(a, &QAction::triggered, this, [this, op] { applyCellOperation(op); });
    }
    // Copy and paste of cells. In a field outside the grid the keys copy and paste its text: the
    // field takes them first. Off the map pages they do nothing.
    cells->addSeparator();
    QAction* copy = addEntry(cells, "MenuCellsCopy");
    QAction* copyMap = addEntry(cells, "MenuCellsCopyMap");
    QAction* paste = addEntry(cells, "MenuCellsPaste");
    copy->setShortcut(QKeySequence::Copy);
    copyMap->setShortcut(QKeySequence("Ctrl+Shift+C"));
    paste->setShortcut(QKeySequence::Paste);
    connect(copy, &QAction::triggered, this, [this] { copyCells(false); });
    connect(copyMap, &QAction::triggered, this, [this] { copyCells(true); });
    connect(paste, &QAction::triggered, this, [this] {
        if (const QClipboard* board = QGuiApplication::clipboard()) pasteCells(board->text());
    });
    clipboardActions_ = {copy, copyMap, paste};
    // The same operations on the cells' context menu.
    MapGridView& grid = window_.editor().mapPanel()->gridView();
    connect(&grid, &MapGridView::cellContextMenu, this, [this, &grid, cells](int k, const QPoint& at) {
        // Outside the chosen cells the menu works on the cell clicked.
        const std::optional<CellRect> rect = selection_->rectangle();
        if (!rect || !rect->contains(k / MapColumns, k % MapColumns)) {
            selection_->clear();
            grid.edit(grid.grid().cellIndex(k));
        }
        cells->exec(at);
    });
}

// --- datalogs --------------------------------------------------------------------------------

void TuningTools::MenuStartDatalogClick() {
    FileQuestion q;
    const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss");
    const QString folder = window_.currentFile().isEmpty() ? QDir::currentPath()
                                                           : QFileInfo(window_.currentFile()).absolutePath();
    q.startPath = folder + "/datalog-" + stamp + ".csv";
    q.filter = text(ToolText::DatalogFilter);
    q.defaultSuffix = "csv";
    const QString path = window_.prompts().askSaveFileName(q);
    if (!path.isEmpty()) startDatalog(path);
}

bool TuningTools::startDatalog(const QString& path) {
    if (writer_.isOpen()) writer_.close();
    std::string error;
    if (!writer_.open(path.toStdString(), error)) {
        window_.prompts().showMessage(text(ToolText::CannotRecord).arg(QString::fromStdString(error)));
        return false;
    }
    recordClock_.start();
    recordingCountShown_ = -1;
    startAction_->setEnabled(false);
    stopAction_->setEnabled(true);
    showRecordingLabel();
    return true;
}

void TuningTools::MenuStopDatalogClick() {
    stopRecording({});
}

void TuningTools::stopRecording(const QString& reason) {
    const std::size_t rows = writer_.rows();
    const QString path = QString::fromStdString(writer_.path());
    writer_.close();
    startAction_->setEnabled(true);
    stopAction_->setEnabled(false);
    recordingLabel_->hide();
    if (!reason.isEmpty())
        window_.prompts().showMessage(text(ToolText::RecordingStopped).arg(rows).arg(path));
}

void TuningTools::onUnitFrame(const LiveValues& live) {
    if (!writer_.isOpen()) return;
    const double seconds = static_cast<double>(recordClock_.nsecsElapsed()) / 1e9;
    if (!writer_.append(seconds, live)) {
        stopRecording("write");
        return;
    }
    showRecordingLabel();
}

void TuningTools::showRecordingLabel() {
    if (!writer_.isOpen()) return;
    const int rows = static_cast<int>(writer_.rows());
    if (rows == recordingCountShown_ && recordingLabel_->isVisible()) return;
    recordingCountShown_ = rows;
    recordingLabel_->setText(text(ToolText::RecordingLabel)
                                 .arg(QFileInfo(QString::fromStdString(writer_.path())).fileName())
                                 .arg(rows));
    recordingLabel_->show();
}

void TuningTools::setFastMonitor(bool on) {
    window_.link()->session().setFastMonitor(on);
    if (fastAction_->isChecked() != on) fastAction_->setChecked(on);
}

void TuningTools::MenuOpenDatalogClick() {
    FileQuestion q;
    q.startPath = viewer_ ? viewer_->property("datalogPath").toString() : QDir::currentPath();
    q.filter = text(ToolText::DatalogFilter);
    q.defaultSuffix = "csv";
    const QString path = window_.prompts().askOpenFileName(q);
    if (!path.isEmpty()) openDatalog(path);
}

bool TuningTools::openDatalog(const QString& path) {
    std::string error;
    std::optional<Datalog> log = ReadDatalog(path.toStdString(), error);
    if (!log) {
        window_.prompts().showMessage(text(ToolText::CannotReadLog).arg(QString::fromStdString(error)));
        return false;
    }
    endReplay();
    log_ = *log;
    if (!viewer_) {
        viewer_ = new DatalogViewer();
        viewer_->setLanguage(language_);
        viewer_->setAttribute(Qt::WA_DeleteOnClose, false);
        connect(viewer_, &DatalogViewer::rowShown, this, &TuningTools::showReplayRow);
        connect(viewer_, &DatalogViewer::replayStopped, this, &TuningTools::endReplay);
        connect(viewer_, &DatalogViewer::cellHitsRequested, this, &TuningTools::showCellHits);
        placeBesideWindow(viewer_);
    }
    viewer_->setProperty("datalogPath", path);
    viewer_->setLog(std::move(*log), QFileInfo(path).fileName());
    viewer_->show();
    viewer_->raise();
    if (log_.skippedLines > 0)
        window_.prompts().showMessage(text(ToolText::SkippedLogLines).arg(log_.skippedLines));
    return true;
}

void TuningTools::placeBesideWindow(QWidget* tool) {
    // Beside the main window where the screen has room, else below it, so the map stays in view.
    const QScreen* screen = window_.screen();
    if (screen == nullptr) return;
    const QRect free = screen->availableGeometry();
    const QRect main = window_.frameGeometry();
    const QSize size = tool->sizeHint().expandedTo(QSize(640, 420));
    if (main.right() + size.width() <= free.right()) {
        tool->move(main.right() + 1, main.top());
    } else if (main.bottom() + size.height() <= free.bottom()) {
        tool->move(main.left(), main.bottom() + 1);
    }
}

void TuningTools::showReplayRow(std::size_t row) {
    if (row >= log_.rows()) return;
    window_.link()->setReplaying(true);
    LiveValues& live = window_.liveValues();
    LiveValues logged = LiveValuesFromDatalog(log_, row);
    // What the log does not carry stays the unit's own: its storing work, its program version (a unit
    // that has not answered yet gives no cause for a version warning), its counters and learnt ratios.
    const LiveValues& unit = window_.link()->unitLiveValues();
    logged.UnitSavingCountdown = unit.UnitSavingCountdown;
    logged.monitor.unitVersion =
        unit.monitorFrames > 0 ? unit.monitor.unitVersion : static_cast<std::uint8_t>(ProgramVersion);
    logged.monitor.programmingCount = unit.monitor.programmingCount;
    logged.monitor.diagnostics = unit.monitor.diagnostics;
    logged.monitor.learntSpeedRatio = unit.monitor.learntSpeedRatio;
    live = logged;
    window_.link()->showReadouts(live);
    window_.TrackOperatingPoint();
    updateMapViews();
}

void TuningTools::endReplay() {
    if (window_.link() != nullptr && window_.link()->replaying()) {
        window_.link()->setReplaying(false);
        window_.TrackOperatingPoint();
    }
}

CellHits TuningTools::cellHits() const {
    std::vector<LiveValues> frames;
    frames.reserve(log_.rows());
    for (std::size_t r = 0; r < log_.rows(); ++r) frames.push_back(LiveValuesFromDatalog(log_, r));
    auto* pages = NamedControl<QTabWidget>(&window_, "PageControl1");
    const int page = pages != nullptr ? pages->currentIndex() : 0;
    const bool ms = window_.editor().mapPanel()->msBox()->isChecked();
    return CountCellHits(window_.image(), frames, page, ms);
}

void TuningTools::showCellHits() {
    if (log_.rows() == 0) {
        window_.prompts().showMessage(text(ToolText::NoLogOpen));
        return;
    }
    auto* pages = NamedControl<QTabWidget>(&window_, "PageControl1");
    const int page = pages != nullptr ? pages->currentIndex() : 0;
    if (!IsMapPage(page)) {
        window_.prompts().showMessage(text(ToolText::NoMapPage));
        return;
    }
    const CellHits hits = cellHits();
    const MapViewData map = shownMap();
    if (!cellHitsDialog_) {
        cellHitsDialog_ = new QDialog(&window_, Qt::Tool);
        cellHitsDialog_->setObjectName("DialogCellHits");
        auto* layout = new QVBoxLayout(cellHitsDialog_);
        auto* table = new QTableWidget(cellHitsDialog_);
        table->setObjectName("TableCellHits");
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        layout->addWidget(table);
        auto* footer = new QLabel(cellHitsDialog_);
        footer->setObjectName("LabelCellHits");
        layout->addWidget(footer);
        cellHitsDialog_->resize(900, 360);
    }
    auto* table = NamedControl<QTableWidget>(cellHitsDialog_, "TableCellHits");
    const MapGridModel& grid = window_.editor().mapPanel()->grid();
    std::vector<int> rows;
    for (int r = 0; r < MapRows; ++r) {
        if (grid.cell(MapPanel::cellIndex(r, 0)).shown) rows.push_back(r);
    }
    table->setRowCount(static_cast<int>(rows.size()));
    table->setColumnCount(MapColumns);
    QStringList columnNames;
    for (int c = 0; c < MapColumns; ++c) columnNames << QString::number(grid.axis(c).value);
    table->setHorizontalHeaderLabels(columnNames);
    QStringList rowNames(map.rowNames.begin(), map.rowNames.end());
    table->setVerticalHeaderLabels(rowNames);
    const int highest = hits.highest();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (int c = 0; c < MapColumns; ++c) {
            const int n = hits.count[static_cast<std::size_t>(MapPanel::cellIndex(rows[i], c))];
            auto* item = new QTableWidgetItem(n > 0 ? QString::number(n) : QString());
            item->setTextAlignment(Qt::AlignCenter);
            if (n > 0) {
                const Shade s = ValueShade(n, 0, std::max(1, highest));
                item->setBackground(QColor(s.red, s.green, s.blue));
            }
            table->setItem(static_cast<int>(i), c, item);
        }
    }
    cellHitsFrames_ = hits.frames;
    cellHitsOutside_ = hits.outside;
    cellHitsPage_ = page;
    captionCellHits();
    cellHitsDialog_->show();
    cellHitsDialog_->raise();
}

void TuningTools::captionCellHits() {
    if (!cellHitsDialog_) return;
    NamedControl<QLabel>(cellHitsDialog_, "LabelCellHits")
        ->setText(text(ToolText::CellHitsFooter).arg(cellHitsFrames_).arg(cellHitsOutside_));
    cellHitsDialog_->setWindowTitle(text(ToolText::CellHitsTitle).arg(PageTitle(window_, cellHitsPage_)));
}

// --- cells -----------------------------------------------------------------------------------

bool TuningTools::cellsCanChange(bool paste) {
    auto* pages = NamedControl<QTabWidget>(&window_, "PageControl1");
    const int page = pages != nullptr ? pages->currentIndex() : -1;
    if (!IsMapPage(page)) {
        window_.prompts().showMessage(text(ToolText::NoMapPage));
        return false;
    }
    MapPanel* panel = window_.editor().mapPanel();
    const int mode = MapDisplayMode(window_.image(), page, panel->msBox()->isChecked());
    if (mode == MapReadOnly || mode == MapTimesReadOnly || mode == MapHidden) {
        window_.prompts().showMessage(text(ToolText::FollowerMap));
        return false;
    }
    // Pasted numbers are the percentages the cells hold, never the times shown over them.
    if (paste && mode == MapTimes) {
        window_.prompts().showMessage(text(ToolText::PasteInTimes));
        return false;
    }
    return true;
}

void TuningTools::commitCells(const std::vector<std::pair<int, int>>& values) {
    MapGridModel& cells = window_.editor().mapPanel()->grid();
    bool any = false;
    for (const auto& [k, value] : values) {
        if (cells.cell(k).value == value) continue;
        cells.setCellValue(k, value);
        any = true;
    }
    if (!any) return;
    Editor& editor = window_.editor();
    editor.PageToImage();
    editor.CommitChange();
    selection_->refreshColours();
}

bool TuningTools::applyCellOperation(SelectionOp op, std::optional<double> parameter) {
    if (!cellsCanChange(false)) return false;
    MapGridModel& cells = window_.editor().mapPanel()->grid();
    const std::optional<CellRect> rect = selection_->target();
    if (!rect) {
        window_.prompts().showMessage(text(ToolText::NoCellsChosen));
        return false;
    }
    if (SelectionOpTakesParameter(op) && !parameter) {
        const OperationEntry& e = EntryOf(op);
        double start = e.start;
        if (op == SelectionOp::Set) start = cells.cell(MapPanel::cellIndex(rect->row0, rect->col0)).value;
        parameter = window_.prompts().askNumber(text(e.caption).remove("..."), text(*e.question), start,
                                                e.minimum, e.maximum);
        if (!parameter) return false;
    }
    // The operation sees the map as the page shows it: hidden rows and columns are left out, so
    // smoothing never reads a cell the tuner cannot see.
    const std::vector<int> rows = cells.shownRows();
    const std::vector<int> columns = cells.shownColumns();
    const auto position = [](const std::vector<int>& v, int x) {
        return static_cast<int>(std::find(v.begin(), v.end(), x) - v.begin());
    };
    CellGrid grid;
    grid.rows = static_cast<int>(rows.size());
    grid.columns = static_cast<int>(columns.size());
    for (int r : rows) {
        for (int c : columns) {
            const MapGridModel::ValueItem& cell = cells.cell(MapPanel::cellIndex(r, c));
            grid.values.push_back(cell.value);
            grid.minimum.push_back(cell.minimum);
            grid.maximum.push_back(cell.maximum);
        }
    }
    const CellRect shown{position(rows, rect->row0), position(columns, rect->col0),
                         position(rows, rect->row1), position(columns, rect->col1)};
    const std::vector<int> before = grid.values;
    if (ApplySelectionOp(grid, shown, op, parameter.value_or(0.0)) == 0) return true;
    std::vector<std::pair<int, int>> changed;
    for (int i = 0; i < grid.rows; ++i) {
        for (int j = 0; j < grid.columns; ++j) {
            const std::size_t g = static_cast<std::size_t>(i * grid.columns + j);
            if (grid.values[g] != before[g])
                changed.emplace_back(MapPanel::cellIndex(rows[static_cast<std::size_t>(i)],
                                                         columns[static_cast<std::size_t>(j)]),
                                     grid.values[g]);
        }
    }
    commitCells(changed);
    return true;
}

QString TuningTools::copyCells(bool withAxes) {
    auto* pages = NamedControl<QTabWidget>(&window_, "PageControl1");
    if (pages == nullptr || !IsMapPage(pages->currentIndex())) return {};
    const MapGridModel& cells = window_.editor().mapPanel()->grid();
    std::vector<int> rows = cells.shownRows();
    std::vector<int> columns = cells.shownColumns();
    if (!withAxes) {
        const std::optional<CellRect> rect = selection_->target();
        if (!rect) {
            window_.prompts().showMessage(text(ToolText::NoCellsChosen));
            return {};
        }
        std::erase_if(rows, [&](int r) { return r < rect->row0 || r > rect->row1; });
        std::erase_if(columns, [&](int c) { return c < rect->col0 || c > rect->col1; });
    }
    // The values as the cells show them: the times where "Ms" shows times, else the numbers.
    const auto shown = [](const MapGridModel::ValueItem& item) {
        return (item.timeShown ? item.time : QString::number(item.value)).trimmed().toStdString();
    };
    std::vector<std::vector<std::string>> block;
    if (withAxes) {
        std::vector<std::string> header{cells.axisCaption().text.trimmed().toStdString()};
        for (int c : columns) header.push_back(std::to_string(cells.axis(c).value));
        block.push_back(std::move(header));
    }
    for (int r : rows) {
        std::vector<std::string> line;
        if (withAxes) {
            const MapGridModel::ValueItem& iap = cells.iap(r);
            line.push_back(iap.shown ? std::to_string(iap.value)
                                     : cells.rowCaption(r).text.trimmed().toStdString());
        }
        for (int c : columns) line.push_back(shown(cells.cell(MapPanel::cellIndex(r, c))));
        block.push_back(std::move(line));
    }
    const QString text = QString::fromStdString(FormatCellBlock(block));
    if (QClipboard* board = QGuiApplication::clipboard()) board->setText(text);
    return text;
}

bool TuningTools::pasteCells(const QString& text) {
    if (!cellsCanChange(true)) return false;
    // The block goes to the cell being edited; with none, to the chosen rectangle's corner.
    const MapGridView& view = window_.editor().mapPanel()->gridView();
    const int edited = view.editor() != nullptr ? MapGridModel::cellOf(view.editedIndex()) : -1;
    const std::optional<CellRect> at =
        edited >= 0 ? CellRect{edited / MapColumns, edited % MapColumns, 0, 0} : selection_->target();
    if (!at) {
        window_.prompts().showMessage(this->text(ToolText::NoCellsChosen));
        return false;
    }
    const CellBlock block = ParseCellBlock(text.toStdString());
    if (!block.ok()) {
        window_.prompts().showMessage(this->text(ToolText::PasteNotNumbers)
                                          .arg(block.badLine)
                                          .arg(QString::fromStdString(block.badText).left(40)));
        return false;
    }
    // The block lies over the shown cells from there on and is cut at the map's edge; each value is
    // limited to its cell's range.
    MapGridModel& cells = window_.editor().mapPanel()->grid();
    std::vector<int> rows = cells.shownRows();
    std::vector<int> columns = cells.shownColumns();
    std::erase_if(rows, [&](int r) { return r < at->row0; });
    std::erase_if(columns, [&](int c) { return c < at->col0; });
    std::vector<std::pair<int, int>> values;
    int lastRow = -1, lastColumn = -1;
    for (std::size_t i = 0; i < block.rows.size() && i < rows.size(); ++i) {
        for (std::size_t j = 0; j < block.rows[i].size() && j < columns.size(); ++j) {
            const int k = MapPanel::cellIndex(rows[i], columns[j]);
            const MapGridModel::ValueItem& cell = cells.cell(k);
            values.emplace_back(k, std::clamp(block.rows[i][j], cell.minimum, cell.maximum));
            lastRow = std::max(lastRow, rows[i]);
            lastColumn = std::max(lastColumn, columns[j]);
        }
    }
    commitCells(values);
    // The pasted cells stay chosen, so the tuner sees where the block went.
    if (lastRow > at->row0 || lastColumn > at->col0)
        selection_->select({at->row0, at->col0, lastRow, lastColumn});
    return true;
}

// --- map views -------------------------------------------------------------------------------

void TuningTools::setShadeByValue(bool on) {
    selection_->setShadeByValue(on);
    if (shadeAction_->isChecked() != on) shadeAction_->setChecked(on);
}

MapViewData TuningTools::shownMap() const {
    MapViewData data;
    auto* pages = NamedControl<QTabWidget>(&window_, "PageControl1");
    const int page = pages != nullptr ? pages->currentIndex() : -1;
    if (!IsMapPage(page)) return data;
    const MapGridModel& grid = window_.editor().mapPanel()->grid();
    data.title = PageTitle(window_, page);
    data.valueUnit = page == PageAdvance ? "deg" : "%";
    for (int c = 0; c < MapColumns; ++c) data.rpm.push_back(grid.axis(c).value);
    // The live cell is the green one; where the unit blends two maps, the yellow one.
    const QColor green(0, 255, 0), yellow(255, 255, 0);
    int yellowRow = -1, yellowColumn = -1;
    for (int r = 0; r < MapRows; ++r) {
        if (!grid.cell(MapPanel::cellIndex(r, 0)).shown) continue;
        const MapGridModel::ValueItem& iap = grid.iap(r);
        data.rowNames.push_back(iap.shown ? QString("%1 kPa").arg(iap.value)
                                          : grid.rowCaption(r).text.trimmed());
        std::vector<double> row;
        for (int c = 0; c < MapColumns; ++c) {
            const MapGridModel::ValueItem& cell = grid.cell(MapPanel::cellIndex(r, c));
            row.push_back(cell.value);
            if (cell.field == green) {
                data.liveRow = static_cast<int>(data.values.size());
                data.liveColumn = c;
            } else if (cell.field == yellow) {
                yellowRow = static_cast<int>(data.values.size());
                yellowColumn = c;
            }
        }
        data.values.push_back(std::move(row));
    }
    if (data.liveRow < 0) {
        data.liveRow = yellowRow;
        data.liveColumn = yellowColumn;
    }
    return data;
}

void TuningTools::MenuMapChartClick() {
    if (!chart_) {
        chart_ = new MapRowChart();
        chart_->setLanguage(language_);
        placeBesideWindow(chart_);
    }
    chart_->setData(shownMap());
    chart_->show();
    chart_->raise();
}

void TuningTools::MenuMapSurfaceClick() {
    QString why;
    if (!MapSurface::available(&why, language_)) {
        window_.prompts().showMessage(text(ToolText::NoSurface).arg(why));
        return;
    }
    if (!surface_) {
        surface_ = new MapSurface();
        surface_->setLanguage(language_);
        placeBesideWindow(surface_);
    }
    surface_->setData(shownMap());
    surface_->show();
    surface_->raise();
}

void TuningTools::updateMapViews() {
    const bool chartShown = chart_ && chart_->isVisible();
    const bool surfaceShown = surface_ && surface_->isVisible();
    if (!chartShown && !surfaceShown) return;
    const MapViewData data = shownMap();
    if (chartShown) chart_->setData(data);
    if (surfaceShown) surface_->setData(data);
}

void TuningTools::tick() {
    selection_->refreshColours();
    updateMapViews();
    if (writer_.isOpen()) showRecordingLabel();
}

void TuningTools::closeWindows() {
    if (writer_.isOpen()) stopRecording({});
    endReplay();
    for (QWidget* w : std::initializer_list<QWidget*>{viewer_, chart_, surface_, cellHitsDialog_}) {
        if (w != nullptr) w->close();
    }
}

}  // namespace torvane
