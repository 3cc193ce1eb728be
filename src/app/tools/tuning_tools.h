#pragma once
// The tuning tools of the main window, all off until the tuner turns them on: datalog recording and
// fast monitoring, the datalog viewer with replay into the live values and the cell hits of the shown
// map, operations on a rectangle of map cells, and the map views (cells coloured by value, the rows
// chart, the 3D surface).

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "display/cell_hits.h"
#include "files/datalog.h"
#include "mapgrid/selection_ops.h"
#include "text/tool_texts.h"

class QAction;
class QDialog;
class QLabel;
class QMenu;

namespace torvane {

class DatalogViewer;
class MapRowChart;
class MapSelection;
class MapSurface;
class TFormHlav;
struct MapViewData;

class TuningTools : public QObject {
    Q_OBJECT

  public:
    // Adds the tools' menu entries and the recording label to the window; the editor must be built.
    explicit TuningTools(TFormHlav& window);
    ~TuningTools() override;

    // Captions the tools' menu entries, the recording label and the open tool windows in the language;
    // messages shown later use it too.
    void applyLanguage(int languageIndex);
    int language() const { return language_; }

    // --- datalogs ------------------------------------------------------------------------------
    void MenuStartDatalogClick();
    // Starts recording into path; false (and a message) when the file cannot be made.
    bool startDatalog(const QString& path);
    void MenuStopDatalogClick();
    bool recording() const { return writer_.isOpen(); }
    std::size_t recordedFrames() const { return writer_.rows(); }
    void setFastMonitor(bool on);
    void MenuOpenDatalogClick();
    // Shows the log of path in the viewer; false (and a message) when it cannot be read.
    bool openDatalog(const QString& path);
    DatalogViewer* viewer() const;
    // A logged frame becomes the window's live values, so the live point moves as it did on the road.
    void showReplayRow(std::size_t row);
    void endReplay();
    // The frames of the open log per cell of the map page in view.
    CellHits cellHits() const;
    void showCellHits();
    QDialog* cellHitsDialog() const;

    // --- cells ---------------------------------------------------------------------------------
    MapSelection& selection() { return *selection_; }
    // Runs op on the chosen cells (or the cell being edited) of the map page in view, then commits
    // once. Set, Add and Scale ask for their number unless parameter is given. False when nothing
    // could be done (no map page, no cells chosen, a map that follows another).
    bool applyCellOperation(SelectionOp op, std::optional<double> parameter = std::nullopt);
    // Puts the chosen cells (or the cell being edited) of the map in view on the clipboard as
    // tab-separated rows of the values shown; withAxes puts the whole map with its rpm axis as the first
    // line and the rows' names as the first column. Returns the text (empty when nothing was copied).
    QString copyCells(bool withAxes);
    // Pastes a block of numbers at the cell being edited (or the chosen rectangle's corner) as one edit;
    // a block that is not numbers is refused with a message and changes nothing.
    bool pasteCells(const QString& text);

    // --- map views -----------------------------------------------------------------------------
    void setShadeByValue(bool on);
    void MenuMapChartClick();
    void MenuMapSurfaceClick();
    MapRowChart* mapChart() const;
    MapSurface* mapSurface() const;
    // The shown map as the views draw it (visible rows only); empty title when no map page is shown.
    MapViewData shownMap() const;

    // End of every tick: the cell colours and the open map views follow the page.
    void tick();
    // The window closes: the log is closed and the tool windows go with it.
    void closeWindows();

  private:
    void buildMenus();
    void buildCellsMenu(QMenu* tools);
    void onUnitFrame(const LiveValues& live);
    void stopRecording(const QString& reason);
    void showRecordingLabel();
    void updateMapViews();
    void placeBesideWindow(QWidget* tool);
    void captionCellHits();
    void onPageShown();
    bool cellsCanChange(bool paste);
    // Gives cells (index, value) their values and commits once: normalized, one undo step.
    void commitCells(const std::vector<std::pair<int, int>>& values);
    QString text(ToolText t) const;
    // Holds an entry the tools added to the menus, for its caption in each language.
    void keep(QAction* action);
    // A new entry at the end of a menu, held like keep() does; its caption comes with the language.
    QAction* addEntry(QMenu* menu, const char* name);

    TFormHlav& window_;
    std::unique_ptr<MapSelection> selection_;
    DatalogWriter writer_;
    QElapsedTimer recordClock_;
    Datalog log_;
    QPointer<DatalogViewer> viewer_;
    QPointer<QDialog> cellHitsDialog_;
    QPointer<MapRowChart> chart_;
    QPointer<MapSurface> surface_;
    QLabel* recordingLabel_ = nullptr;
    QAction* startAction_ = nullptr;
    QAction* stopAction_ = nullptr;
    QAction* fastAction_ = nullptr;
    QAction* shadeAction_ = nullptr;
    std::vector<QAction*> clipboardActions_;
    // The entries the tools add to the window's menus, in the order of their caption table, and the
    // cell operations in the order of theirs.
    static constexpr std::size_t MenuEntryCount = 10;
    static constexpr std::size_t CellOperationCount = 7;
    std::array<QAction*, MenuEntryCount> menuActions_{};
    std::array<QAction*, CellOperationCount> operationActions_{};
    int recordingCountShown_ = -1;
    int language_ = 0;
    // What the cell hits dialog shows, for its captions in another language.
    int cellHitsFrames_ = 0;
    int cellHitsOutside_ = 0;
    int cellHitsPage_ = 0;
};

}  // namespace torvane
