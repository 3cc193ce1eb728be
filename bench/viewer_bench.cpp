// What the datalog viewer costs over a long ride: one hour logged at 18 frames a second (64,800 rows of
// every column the recorder writes), written by the datalog writer and read back. The first plot of a newly
// opened log, a pan step of a zoomed view and a replay tick, each with the paint that follows (the window is
// grabbed, so the chart really lays out and draws), and the open of the same log from its file. Offscreen, at
// the window's own size.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "app/datalog/datalog_viewer.h"
#include "files/datalog.h"

namespace torvane {
namespace {

constexpr std::size_t HourRows = 64800;
constexpr double FrameSeconds = 1.0 / 18;

// One frame of a ride with plausible values: throttle in waves with short blips, engine speed and gear
// following it, the engine warming up, injection times and advance from load and speed, bit sets of
// inputs and outputs.
LiveValues FrameAt(std::size_t i) {
    const double t = static_cast<double>(i) * FrameSeconds;
    const double wave = 0.5 + 0.5 * std::sin(t / 23) * std::sin(t / 7.1);
    const double tps = std::min(100.0, 100 * wave * wave + ((i % 997) < 20 ? 40 : 0));
    const double rpm = 1300 + 110 * tps + 400 * std::sin(t / 3.3);
    const double load = 30 + 0.7 * tps;
    const auto u8 = [](double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); };
    const auto u16 = [](double v) { return static_cast<std::uint16_t>(std::clamp(v, 0.0, 65535.0)); };
    LiveValues live;
    live.EngineSpeed = u16(rpm);
    live.ThrottleOpening = u16(tps * 10);
    live.IntakePressure = u16(load);
    live.ThrottleSensorMv = u16(450 + 40 * tps);
    live.Gear = static_cast<std::uint8_t>(1 + static_cast<int>(t / 40) % 6);
    live.AfterStartTimer = u16(std::min(t, 600.0));
    live.ThrottleShare = u8(std::min(100.0, 2 * tps));
    live.SpeedRatio = u16(80 + 10 * live.Gear);
    live.GearSensorMv = u16(500 * live.Gear);
    MonitorSample& m = live.monitor;
    m.coolantRaw = u8(100 + std::min(92.0, 20 + t / 12));
    m.airRaw = u8(124 + std::sin(t / 300));
    m.ambientPressure = 987;
    m.lambdaMv = u16(450 + 400 * std::sin(t));
    m.supplyMv = u16(13600 + 50 * std::sin(t / 9));
    for (std::size_t c = 0; c < 4; ++c) {
        m.injectionA[c] = u8((900 + 60 * load + 0.05 * rpm) / 100 + static_cast<double>(c % 2));
        m.injectionB[c] = u8(m.injectionA[c] * 0.6);
        m.advance[c] = u8(10 + rpm / 400 - load / 20 - 0.5 * static_cast<double>(c / 2));
    }
    m.coolantJetCorrection = u16(1000 + 5 * std::max(0.0, 92 - (m.coolantRaw - 100.0)));
    m.airJetCorrection = 990;
    m.ambientJetCorrection = 1000;
    m.startJetCorrection = t < 30 ? 1200 : 1000;
    m.supplyJetCorrection = 1000;
    m.coolantAdvanceCorrection = 1000;
    m.potentiometerAdvanceCorrection = 1000;
    m.potentiometerJetCorrection = 1000;
    m.roadSpeed = u16(rpm * live.Gear / 120);
    m.positionA = u16(3 * tps);
    m.positionB = u16(3 * tps);
    m.flags = {u8(i % 3 == 0 ? 1 : 0), u8((i / 50) % 8), 4, u8(tps > 90 ? 8 : 0)};
    return live;
}

// The hour as the window records it, written once by the datalog writer.
const std::string& RideFile() {
    static const std::string path = [] {
        static QTemporaryDir dir;
        const std::string file = (dir.path() + QStringLiteral("/ride.csv")).toStdString();
        DatalogWriter writer;
        std::string error;
        if (!writer.open(file, error)) return std::string();
        for (std::size_t i = 0; i < HourRows; ++i)
            if (!writer.append(static_cast<double>(i) * FrameSeconds, FrameAt(i))) return std::string();
        return file;
    }();
    return path;
}

// The hour read back; empty when it could not be written or read.
const Datalog& Ride() {
    static const Datalog ride = [] {
        std::string error;
        std::optional<Datalog> log = RideFile().empty() ? std::nullopt : ReadDatalog(RideFile(), error);
        return log ? std::move(*log) : Datalog{};
    }();
    return ride;
}

bool RideReady(benchmark::State& state) {
    if (Ride().rows() == HourRows) return true;
    state.SkipWithError("the hour's log could not be written and read back");
    return false;
}

struct Window {
    DatalogViewer viewer;
    Window() {
        viewer.setLog(Ride(), QStringLiteral("ride.csv"));
        viewer.show();
        QApplication::processEvents();
        viewer.grab();
    }
};

// setLog of a one-hour log and its first paint: the channel list and readout filled, rpm and tps thinned
// for the plot's width, the chart laid out and drawn. The copy of the log into the call is not counted.
void BM_SetLogAndFirstPlot(benchmark::State& state) {
    if (!RideReady(state)) return;
    Window win;
    for (auto _ : state) {
        state.PauseTiming();
        Datalog copy = Ride();
        state.ResumeTiming();
        win.viewer.setLog(std::move(copy), QStringLiteral("ride.csv"));
        benchmark::DoNotOptimize(win.viewer.grab());
    }
    state.counters["rows"] = static_cast<double>(Ride().rows());
    state.counters["columns"] = static_cast<double>(Ride().columns.size());
}
BENCHMARK(BM_SetLogAndFirstPlot)->Unit(benchmark::kMillisecond);

// One pan step (a tenth of the view, as the arrow keys do) of a ten-minute view with four channels (engine
// speed, throttle, intake pressure, coolant), then the paint. paint 0: the pan alone (new window, the lines
// thinned again).
void BM_PanStep(benchmark::State& state) {
    if (!RideReady(state)) return;
    Window win;
    win.viewer.setChannelShown(4, true);
    win.viewer.setChannelShown(5, true);
    win.viewer.zoom(6, 1800);
    const auto [begin, end] = win.viewer.timeRange();
    const double step = (end - begin) / 10;
    bool forward = true;
    for (auto _ : state) {
        win.viewer.pan(forward ? step : -step);
        forward = !forward;
        if (state.range(0) != 0) benchmark::DoNotOptimize(win.viewer.grab());
    }
}
BENCHMARK(BM_PanStep)->ArgName("paint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One replay tick at 8x over the whole-log view: the cursor row, the readout of every channel, the paint.
void BM_ReplayTick(benchmark::State& state) {
    if (!RideReady(state)) return;
    Window win;
    win.viewer.setSpeed(8);
    win.viewer.play();
    for (auto _ : state) {
        if (!win.viewer.playing()) win.viewer.play();
        win.viewer.advanceReplay(DatalogViewer::ReplayIntervalMs / 1000.0);
        benchmark::DoNotOptimize(win.viewer.grab());
    }
    win.viewer.pause();
}
BENCHMARK(BM_ReplayTick)->Unit(benchmark::kMicrosecond);

// What the user waits for on Open datalog: ReadDatalog of the hour's file, setLog and the first paint.
void BM_OpenHourLogFile(benchmark::State& state) {
    if (!RideReady(state)) return;
    Window win;
    QString error;
    for (auto _ : state) {
        if (!win.viewer.openLog(QString::fromStdString(RideFile()), error)) {
            state.SkipWithError(("ReadDatalog: " + error.toStdString()).c_str());
            break;
        }
        benchmark::DoNotOptimize(win.viewer.grab());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(QFileInfo(QString::fromStdString(RideFile())).size()));
}
BENCHMARK(BM_OpenHourLogFile)->Unit(benchmark::kMillisecond);

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
