// Time to take one monitor frame from the unit to the Monitor page: decoding, the readout rules, and
// applying the readout to a built page inside a window of realistic size (offscreen). A frame arrives
// every 330 ms; the whole path should stay well under 1 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <array>
#include <vector>

#include "app/monitor/monitor_page.h"
#include "link/monitor_decoder.h"
#include "link/monitor_readout.h"
#include "sim/unit_model.h"

namespace torvane {
namespace {

// Two frames of different engine states, so that every pass really changes the texts.
std::array<std::vector<std::uint8_t>, 2> SampleFrames() {
    UnitModel unit;
    unit.Advance(3.0);
    std::vector<std::uint8_t> idle = unit.HandleRequest(MakeMonitorRequest());
    unit.Advance(6.5);
    std::vector<std::uint8_t> running = unit.HandleRequest(MakeMonitorRequest());
    return {idle, running};
}

DeviceImage SampleImage() {
    DeviceImage image;
    image.setByte(PocKanOutIndex, 4);
    image.setByte(IgnLimiterIndex, 140);
    return image;
}

void BM_DecodeMonitorFrame(benchmark::State& state) {
    const auto frames = SampleFrames();
    const DeviceImage image = SampleImage();
    LiveValues live;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeMonitorFrame(frames[i++ & 1], image, live));
    }
}
BENCHMARK(BM_DecodeMonitorFrame);

void BM_MonitorReadout(benchmark::State& state) {
    const auto frames = SampleFrames();
    const DeviceImage image = SampleImage();
    LiveValues live;
    std::size_t i = 0;
    for (auto _ : state) {
        DecodeMonitorFrame(frames[i++ & 1], image, live);
        MonitorReadout readout = ComputeMonitorReadout(live, image, true, 0);
        benchmark::DoNotOptimize(readout);
    }
}
BENCHMARK(BM_MonitorReadout);

// filler: other widgets of the window, which the lookup must not wade through on every frame.
void BM_MonitorFrameToPage(benchmark::State& state) {
    const auto frames = SampleFrames();
    const DeviceImage image = SampleImage();
    LiveValues live;
    QWidget window;
    auto* rest = new QWidget(&window);
    for (int n = 0; n < state.range(0); ++n) new QLabel(rest);
    for (const char* name : {"LabelVersion", "LabelEeDataErr", "LabelTest1", "LabelTest2", "LabelTest3",
                             "LabelTest4", "LabelTest5", "LabelTest6", "LabelTest7", "LabelTest8"}) {
        (new QLabel(&window))->setObjectName(name);
    }
    auto* page = new QWidget(&window);
    BuildMonitorPage(page, new QVBoxLayout(page));
    std::size_t i = 0;
    for (auto _ : state) {
        DecodeMonitorFrame(frames[i++ & 1], image, live);
        ApplyMonitorReadout(&window, ComputeMonitorReadout(live, image, true, 0));
    }
}
BENCHMARK(BM_MonitorFrameToPage)->Arg(0)->Arg(1500)->Unit(benchmark::kMicrosecond);

// The same with the window shown, including the layout and painting the changed labels cause.
void BM_MonitorFrameToShownPage(benchmark::State& state) {
    const auto frames = SampleFrames();
    const DeviceImage image = SampleImage();
    LiveValues live;
    QWidget window;
    auto* page = new QWidget(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(page);
    BuildMonitorPage(page, new QVBoxLayout(page));
    window.resize(1000, 700);
    window.show();
    QApplication::processEvents();
    std::size_t i = 0;
    for (auto _ : state) {
        DecodeMonitorFrame(frames[i++ & 1], image, live);
        ApplyMonitorReadout(&window, ComputeMonitorReadout(live, image, true, 0));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MonitorFrameToShownPage)->Unit(benchmark::kMicrosecond);

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
