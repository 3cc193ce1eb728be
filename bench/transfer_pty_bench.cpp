// Ticks and wall time of a full read (with its verification) and of programming all blocks (with
// the verification that follows) against a prompt simulated unit on a pseudo-terminal. A unit that
// answers within the tick needs one tick per block after the first request's wait, so the ideal is
// about 27 ticks (1.5 s) for either transfer.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/console_view.h"
#include "cli/unit_commands.h"
#include "e2e/sim_process.h"
#include "image/defaults.h"
#include "image/device_image.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "link/link_session.h"
#include "link/live_values.h"
#include "link/qt_serial_port.h"

namespace {

using namespace torvane;

DeviceImage StartupConfiguration() {
    DeviceImage image;
    image.setByte(Field(FieldId::Bike).index, static_cast<std::uint8_t>(StartupBikeCode));
    InjectionWork work;
    ApplyDefaults(image, work, false, 0);
    NormalizeImage(image);
    return image;
}

// One simulated unit for the whole run, holding the start-up configuration.
e2e::SimProcess& Unit() {
    static const std::string imagePath = [] {
        const auto path = std::filesystem::temp_directory_path() / "torvane-transfer-bench.bin";
        const DeviceImage image = StartupConfiguration();
        std::ofstream raw(path, std::ios::binary);
        raw.write(reinterpret_cast<const char*>(image.bytes().data()), ImageSize);
        return path.string();
    }();
    static e2e::SimProcess sim(TORVANE_UNIT_SIM_PATH, {"--image", imagePath});
    return sim;
}

void Transfer(benchmark::State& state, UnitCommand command, bool waitForStoring = false) {
    const std::string tty = Unit().terminal();
    if (tty.empty()) {
        state.SkipWithError("the simulated unit did not start");
        return;
    }
    QtSerialPort port;
    double ticks = 0;
    for (auto _ : state) {
        DeviceImage image = StartupConfiguration();
        LiveValues live;
        std::ostringstream out, err;
        ConsoleView view(out, err, image);
        view.setShowGauge(false);
        LinkSession session(port, image, live, view);
        session.setDeviceNamer([&tty](int) { return tty; });
        session.OpenComPort();
        const auto pace = RealTimeTicks();
        const TransferResult result = RunTransfer(session, command, view, pace);
        const std::optional<int> storing =
            waitForStoring ? WaitForUnitStoring(session, image, live, pace) : std::optional<int>(0);
        session.CloseComPort();
        if (result.outcome != TransferOutcome::Ok || !storing) {
            state.SkipWithError(("transfer failed: " + err.str()).c_str());
            return;
        }
        ticks += result.ticks + *storing;
    }
    state.counters["ticks"] = benchmark::Counter(ticks, benchmark::Counter::kAvgIterations);
}

void BM_ReadAndVerify(benchmark::State& state) {
    Transfer(state, UnitCommand::Read);
}
void BM_ProgramAndVerify(benchmark::State& state) {
    Transfer(state, UnitCommand::Program);
}

// What torvane-cli program takes: the unit's storing work (about 3 s) follows the verification.
void BM_ProgramVerifyAndStore(benchmark::State& state) {
    Transfer(state, UnitCommand::Program, true);
}

BENCHMARK(BM_ReadAndVerify)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ProgramAndVerify)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ProgramVerifyAndStore)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    // The serial adapter wants an application object; the ticks are paced by the benchmark itself.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
