// What an edit costs the user: the commit that follows every Enter, arrow click or click into a field
// (page to image, normalization, the page shown twice from the image, the undo compare and copy), and
// the switch to a map page, which moves the shared map panel and fills its 150 cells. Measured on the
// real window at its design size, offscreen; each commit really changes the image, so every pass takes
// an undo entry as an edit would.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "app/datalog/datalog_viewer.h"
#include "app/tools/tuning_tools.h"
#include "app/window/tform_hlav.h"
#include "files/datalog.h"
#include "files/parameter_file.h"
#include "image/fields.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

class QuietPrompts : public UserPrompts {
  public:
    void showMessage(const QString&) override {}
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    QString askOpenFileName(const FileQuestion&) override { return openPath; }
    QString openPath;
};

struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> w;

    Window() {
        StartOptions o;
        o.portOverride = "/nonexistent/tty-for-bench";
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<QuietPrompts>();
        prompts = p.get();
        w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();
        w->show();
        // The offscreen screen is smaller than the design size, and the window fits itself to the
        // screen when first shown: the design size is set again after that.
        w->resize(TFormHlav::DesignClientWidth, TFormHlav::DesignClientHeight);
        QApplication::processEvents();
    }
    Editor& editor() { return w->editor(); }
    QuietPrompts* prompts = nullptr;
};

// One cell of Inj-1A in the coupled mode: the other three channels follow it.
void BM_CommitInj1ACoupled(benchmark::State& state) {
    Window win;
    win.editor().Menu_Jet123CoupledClick();
    win.editor().switchToPage(PageJet1A);
    MapGridModel& grid = win.editor().mapPanel()->grid();
    const int cell = MapPanel::cellIndex(4, 7);
    int value = 100;
    for (auto _ : state) {
        value = value == 100 ? 120 : 100;
        grid.setCellValue(cell, value);
        win.editor().UpDownClick();
        if (state.range(0) != 0) QApplication::processEvents();
    }
    if (FieldValue(win.w->image(), Field(FieldId::Jet1423Mode)) != 1)
        state.SkipWithError("not in the coupled mode");
}
BENCHMARK(BM_CommitInj1ACoupled)->ArgName("paint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// How many widgets the map panel holds (counter "widgets"): the grid paints its 150 cells, the axes and
// the column buttons itself and has one field for the item being edited.
void BM_MapPanelWidgets(benchmark::State& state) {
    Window win;
    win.editor().switchToPage(PageJet1A);
    win.editor().mapPanel()->gridView().edit(win.editor().mapPanel()->grid().cellIndex(0));
    qsizetype widgets = 0;
    for (auto _ : state) widgets = win.editor().mapPanel()->findChildren<QWidget*>().size();
    state.counters["widgets"] = static_cast<double>(widgets);
}
BENCHMARK(BM_MapPanelWidgets)->Iterations(1);

// The ignition limiter on the Bike page.
void BM_CommitBikePage(benchmark::State& state) {
    Window win;
    win.editor().switchToPage(PageBike);
    auto* limiter = win.w->findChild<SpinField*>("UpDownIgnLimiter");
    int value = 14000;
    for (auto _ : state) {
        value = value == 14000 ? 13500 : 14000;
        limiter->setValue(value);
        win.editor().UpDownClick();
        if (state.range(0) != 0) QApplication::processEvents();
    }
}
BENCHMARK(BM_CommitBikePage)->ArgName("paint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// From one map page to another: the panel moves and shows the other map.
// paint 0: the switch alone (passes, shaping, panel move); 1: with the repaint of the new page.
void BM_SwitchBetweenMapPages(benchmark::State& state) {
    Window win;
    int page = PageAdvance;
    for (auto _ : state) {
        page = page == PageAdvance ? PageJet1A : PageAdvance;
        win.editor().switchToPage(page);
        if (state.range(0) != 0) QApplication::processEvents();
    }
}
BENCHMARK(BM_SwitchBetweenMapPages)->ArgName("paint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The grid's whole repaint on Inj-1A (its 150 cells, both axes and the column buttons), as a switch to
// the page needs it.
void BM_GridRepaintInj1A(benchmark::State& state) {
    Window win;
    win.editor().switchToPage(PageJet1A);
    QApplication::processEvents();
    QWidget* viewport = win.editor().mapPanel()->gridView().viewport();
    for (auto _ : state) viewport->repaint();
}
BENCHMARK(BM_GridRepaintInj1A)->Unit(benchmark::kMicrosecond);

// The page frame and tab rows repainted alone, which every page switch repaints.
void BM_PageFrameRepaint(benchmark::State& state) {
    Window win;
    win.editor().switchToPage(PageBike);
    QApplication::processEvents();
    auto* pages = win.w->findChild<QTabWidget*>("PageControl1");
    for (auto _ : state) pages->repaint();
}
BENCHMARK(BM_PageFrameRepaint)->Unit(benchmark::kMicrosecond);

// From the Bike page to Inj-1A and back: two switches per iteration, one of them to a map page.
void BM_SwitchBikeToInj1AAndBack(benchmark::State& state) {
    Window win;
    for (auto _ : state) {
        win.editor().switchToPage(PageJet1A);
        QApplication::processEvents();
        win.editor().switchToPage(PageBike);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_SwitchBikeToInj1AAndBack)->Unit(benchmark::kMicrosecond);

// The live point of one tick on Inj-1A while the engine moves between two columns: the searches, the
// colour list and the few cells whose colour changes (paint 1 adds their repaint).
void BM_LivePointTickOnInj1A(benchmark::State& state) {
    Window win;
    win.editor().switchToPage(PageJet1A);
    QApplication::processEvents();
    LiveValues& live = win.w->liveValues();
    live.ThrottleOpening = 200;
    live.InjectionFromThrottleAboveZero = true;
    bool high = false;
    for (auto _ : state) {
        high = !high;
        live.EngineSpeed = high ? 6000 : 3000;
        win.w->TrackOperatingPoint();
        if (state.range(0) != 0) QApplication::processEvents();
    }
}
BENCHMARK(BM_LivePointTickOnInj1A)->ArgName("paint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Open of a type-32 parameter file on the Inj-1A page: read, normalize, both passes, the history entry.
// Two files alternate so that every open really changes the image.
void BM_OpenType32File(benchmark::State& state) {
    Window win;
    win.editor().switchToPage(PageJet1A);
    DeviceImage image = win.w->image();
    const QString a = win.dir.path() + "/a.ign", b = win.dir.path() + "/b.ign";
    SaveParameterFile(a.toStdString(), image);
    SetFieldValue(image, Field(FieldId::Jet1A), 20, FieldValue(image, Field(FieldId::Jet1A), 20) + 300);
    SaveParameterFile(b.toStdString(), image);
    bool first = true;
    for (auto _ : state) {
        win.prompts->openPath = first ? a : b;
        first = !first;
        win.w->MenuOpenClick();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OpenType32File)->Unit(benchmark::kMillisecond);

// Save All New from the window's service menu: 50 default files into new_ign/.
void BM_SaveAllNewFromWindow(benchmark::State& state) {
    Window win;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(win.dir.path());
    for (auto _ : state) win.w->MenuSaveAllNewClick();
    QDir::setCurrent(saved);
}
BENCHMARK(BM_SaveAllNewFromWindow)->Unit(benchmark::kMillisecond);

// One tick of a datalog replay on the Advance page: the viewer's clock moves on by 55 ms of the log,
// its cursor and readout follow, and the window takes the logged frame as its live values (monitor
// readouts, live point). paint 1 adds the repaint of the viewer and the window.
// A ride of `rows` frames 55 ms apart that wanders over the whole map.
QString WriteRide(const Window& win, int rows) {
    const QString path = win.dir.path() + "/ride.csv";
    DatalogWriter writer;
    std::string error;
    writer.open(path.toStdString(), error);
    LiveValues live;
    for (int row = 0; row < rows; ++row) {
        live.EngineSpeed = static_cast<std::uint16_t>(1200 + (row * 37) % 12000);
        live.ThrottleOpening = static_cast<std::uint16_t>((row * 13) % 1000);
        live.IntakePressure = static_cast<std::uint16_t>(30 + row % 70);
        writer.append(row * 0.055, live);
    }
    return path;
}

void BM_ReplayTickOnAdvance(benchmark::State& state) {
    Window win;
    SetFieldValue(win.w->image(), Field(FieldId::AdvanceTps), 0, 1);
    win.editor().switchToPage(PageAdvance);
    win.w->tuningTools().openDatalog(WriteRide(win, 20000));
    DatalogViewer* viewer = win.w->tuningTools().viewer();
    viewer->setSpeed(1.0);
    // paint 1: the main window's repaint (the viewer hidden); 2: the viewer's chart repainted too.
    if (state.range(0) == 1) viewer->hide();
    QApplication::processEvents();
    for (auto _ : state) {
        if (!viewer->playing()) viewer->play();  // at the end of the log, play starts over
        viewer->advanceReplay(0.055);
        if (state.range(0) != 0) QApplication::processEvents();
    }
}
BENCHMARK(BM_ReplayTickOnAdvance)->ArgName("paint")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The cell hits of an hour's ride at 18 frames a second on Inj-1A: every frame located on the map.
void BM_CellHitsOfAnHourOnInj1A(benchmark::State& state) {
    Window win;
    win.editor().switchToPage(PageJet1A);
    win.w->tuningTools().openDatalog(WriteRide(win, 64800));
    for (auto _ : state) benchmark::DoNotOptimize(win.w->tuningTools().cellHits().frames);
}
BENCHMARK(BM_CellHitsOfAnHourOnInj1A)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace torvane

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
