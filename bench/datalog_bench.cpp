// Datalogs at the fast monitor's rate: a one-hour ride is 64,800 rows (18 frames a second). Reading
// such a log for the viewer should take well under a second; writing a row (formatted and flushed)
// and replaying one must stay far below the 55 ms between frames.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "files/datalog.h"
#include "link/frame.h"
#include "link/monitor_decoder.h"
#include "sim/unit_model.h"

namespace torvane {
namespace {

constexpr std::size_t HourRows = 64'800;
constexpr double FrameSeconds = 1.0 / 18;

// Live values of the simulated engine over its run-up cycle, one per frame.
const std::vector<LiveValues>& RideFrames() {
    static const std::vector<LiveValues> frames = [] {
        UnitModel unit;
        const DeviceImage image;
        LiveValues live;
        std::vector<LiveValues> out;
        out.reserve(2048);
        while (out.size() < 2048) {
            unit.Advance(FrameSeconds);
            const std::vector<std::uint8_t> answer = unit.HandleRequest(MakeMonitorRequest());
            if (DecodeMonitorFrame(answer, image, live)) out.push_back(live);
        }
        return out;
    }();
    return frames;
}

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// The one-hour log, written once and removed when the benchmark ends.
struct HourLogFile {
    std::string path;
    ~HourLogFile() {
        if (!path.empty()) std::filesystem::remove(path);
    }
};

bool WriteHourLog(const std::string& path) {
    DatalogWriter writer;
    std::string error;
    if (!writer.open(path, error)) return false;
    const auto& frames = RideFrames();
    for (std::size_t i = 0; i < HourRows; ++i) writer.append(i * FrameSeconds, frames[i % frames.size()]);
    return true;
}

const std::string& HourLog() {
    static const HourLogFile file{TempPath("torvane-bench-hour.csv")};
    static const bool written = WriteHourLog(file.path);
    (void)written;
    return file.path;
}

void BM_ReadHourLog(benchmark::State& state) {
    const std::string& path = HourLog();
    std::string error;
    std::size_t rows = 0;
    for (auto _ : state) {
        const auto log = ReadDatalog(path, error);
        if (!log) {
            state.SkipWithError(error.c_str());
            return;
        }
        rows = log->rows();
        benchmark::DoNotOptimize(log->columns.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_ReadHourLog)->Unit(benchmark::kMillisecond);

void BM_FormatRow(benchmark::State& state) {
    const auto& frames = RideFrames();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatDatalogRow(i * FrameSeconds, frames[i % frames.size()]));
        ++i;
    }
}
BENCHMARK(BM_FormatRow);

// Formatting, writing and flushing one row, as the writer does for every frame.
void BM_AppendRow(benchmark::State& state) {
    const auto& frames = RideFrames();
    const std::string path = TempPath("torvane-bench-append.csv");
    DatalogWriter writer;
    std::string error;
    if (!writer.open(path, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(writer.append(i * FrameSeconds, frames[i % frames.size()]));
        ++i;
    }
    writer.close();
    std::filesystem::remove(path);
}
BENCHMARK(BM_AppendRow);

void BM_LiveValuesFromDatalog(benchmark::State& state) {
    std::string error;
    const auto log = ReadDatalog(HourLog(), error);
    if (!log || log->rows() == 0) {
        state.SkipWithError("no log");
        return;
    }
    std::size_t row = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(LiveValuesFromDatalog(*log, row));
        row = (row + 1) % log->rows();
    }
}
BENCHMARK(BM_LiveValuesFromDatalog);

}  // namespace
}  // namespace torvane
