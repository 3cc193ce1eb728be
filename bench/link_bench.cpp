// A full read and a full program run, each with its verification, against the in-process simulated
// unit. Reports the ticks each transfer took (21 answers plus at most six ticks to the first request
// is the floor) and the processor time the link logic needs for it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "link/link_session.h"
#include "sim/loopback_port.h"
#include "sim/unit_model.h"

namespace torvane {
namespace {

// Keeps the last status caption so a run that did not end well is counted.
struct CaptionView : TransferView {
    void setStatusText(const std::string& text) override { caption = text; }
    std::string caption;
};

struct Bench {
    UnitModel unit;
    LoopbackPort port{unit};
    DeviceImage image;
    LiveValues live;
    CaptionView view;
    LinkSession session{port, image, live, view};

    Bench() {
        session.setDeviceNamer([](int) { return std::string("sim"); });
        session.OpenComPort();
        for (std::size_t i = BlockSize; i < ImageSize; ++i)
            image.setByte(i, static_cast<std::uint8_t>(i * 7));
    }
    int RunToIdle() {
        int ticks = 0;
        do {
            session.Tick();
            ++ticks;
        } while (session.transferState() != TransferState::Idle && ticks < 1000);
        return ticks;
    }
};

template <typename Start>
void RunTransfer(benchmark::State& state, Start start, const std::string& endCaption) {
    Bench b;
    long long ticks = 0;
    long long runs = 0;
    int worst = 0;
    long long failed = 0;
    for (auto _ : state) {
        start(b.session);
        const int t = b.RunToIdle();
        ticks += t;
        worst = std::max(worst, t);
        ++runs;
        if (b.view.caption != endCaption) ++failed;
    }
    state.counters["failed"] = static_cast<double>(failed);
    state.counters["ticks"] = static_cast<double>(ticks) / static_cast<double>(runs);
    state.counters["worst_ticks"] = worst;
    state.counters["unit_requests"] = static_cast<double>(b.port.requestCount()) / static_cast<double>(runs);
}

void BM_ReadWithVerify(benchmark::State& state) {
    RunTransfer(
        state, [](LinkSession& s) { s.MenuReadClick(); }, "Verify: OK");
}
BENCHMARK(BM_ReadWithVerify);

void BM_ProgramWithVerify(benchmark::State& state) {
    RunTransfer(
        state, [](LinkSession& s) { s.MenuProgramClick(); }, "Program device: OK");
}
BENCHMARK(BM_ProgramWithVerify);

}  // namespace
}  // namespace torvane
