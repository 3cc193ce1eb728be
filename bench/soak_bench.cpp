// Soak run of the link against the in-process simulated unit: many reads, verifies and programs in
// random order, each under a random set of line faults (dropped answers, corrupted checksums, noise
// bytes, late answers, wrong echoes, wrong verify answers, reads that stop, silence in the middle of
// the transfer, a unit of another data version). Seeded, so a run repeats exactly.
//
// Every transfer is checked against what the tuner relies on:
//   - it ends (a caption, or the version box) within MaxTicks;
//   - it reports OK only when the unit holds the PC's configuration (blocks 1..10) - after a read,
//     the PC holds the unit's;
//   - a read that fails ("Read error!" or the version box) leaves the PC's configuration as it was;
//   - a program refused for the data version leaves the unit as it was.
// Prints how often each outcome came up per command and exits 1 if any check failed.
//
//   build/bin/soak_bench [--transfers N] [--seed S] [--verbose]

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "files/default_image.h"
#include "image/device_image.h"
#include "image/normalize.h"
#include "link/link_session.h"
#include "link/live_values.h"
#include "link/monitor_decoder.h"
#include "link/transfer_view.h"
#include "sim/loopback_port.h"
#include "sim/unit_model.h"

namespace {

using namespace torvane;

// Far more than the slowest transfer that still ends (every request of a read and its verification
// sent MaxTransmissions times): a transfer still running here has stopped making progress.
constexpr int MaxTicks = 2 * (2 * BlockCount) * MaxTransmissions * ResendTicks;
constexpr int MotorcycleTypes = 50;

class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t x = (state_ += 0x9E3779B97F4A7C15ULL);
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
        return x ^ (x >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(double p) { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0) < p; }

  private:
    std::uint64_t state_;
};

enum class Command { Read, Verify, Program };
constexpr std::array<const char*, 3> CommandNames = {"read", "verify", "program"};

// The window's side of the link: the status captions in order (with the failure colour they were
// shown in), the version box, and the repair of the image the pages do.
class SoakView : public TransferView {
  public:
    explicit SoakView(DeviceImage& image) : image_(image) {}
    void setStatusText(const std::string& text) override { captions.push_back({text, failure_}); }
    void setStatusFailure(bool failure) override { failure_ = failure; }
    void normalizeAndShowImage() override { NormalizeImage(image_); }
    void showVersionMessage(const std::string&) override { ++versionMessages; }

    struct Caption {
        std::string text;
        bool failure;
    };
    std::vector<Caption> captions;
    int versionMessages = 0;

  private:
    DeviceImage& image_;
    bool failure_ = false;
};

// The faults one transfer runs under, and the silence the line falls into part way.
struct FaultPlan {
    UnitFaults faults;
    int silenceAt = -1;  // tick of the transfer at which the unit falls silent
    int silenceTicks = 0;

    std::string describe() const {
        std::string s;
        const auto add = [&](const std::string& part) { s += (s.empty() ? "" : ", ") + part; };
        if (faults.dropEvery) add("drop every " + std::to_string(faults.dropEvery));
        if (faults.dropProbability > 0) add("drop p=" + std::to_string(faults.dropProbability).substr(0, 4));
        if (faults.corruptEvery) add("corrupt every " + std::to_string(faults.corruptEvery));
        if (faults.noiseEvery) add("noise every " + std::to_string(faults.noiseEvery));
        if (faults.lateAnswerPolls) add("late by " + std::to_string(faults.lateAnswerPolls) + " polls");
        if (faults.wrongEchoBlock) add("wrong echo of block " + std::to_string(*faults.wrongEchoBlock));
        if (faults.wrongVerifyBlock)
            add("wrong verify answers of block " + std::to_string(*faults.wrongVerifyBlock));
        if (faults.stopAfterReadBlock)
            add("reads stop after block " + std::to_string(*faults.stopAfterReadBlock));
        if (faults.headerDataVersion) add("data version " + std::to_string(*faults.headerDataVersion));
        if (silenceAt >= 0)
            add("silent from tick " + std::to_string(silenceAt) + " for " + std::to_string(silenceTicks));
        return s.empty() ? "no faults" : s;
    }
};

FaultPlan RandomPlan(Rng& rng, Command command) {
    FaultPlan plan;
    if (rng.chance(0.2)) return plan;
    UnitFaults& f = plan.faults;
    if (rng.chance(0.25)) f.dropEvery = rng.between(2, 9);
    if (rng.chance(0.15)) f.dropProbability = 0.05 * rng.between(1, 8);
    if (rng.chance(0.25)) f.corruptEvery = rng.between(2, 9);
    if (rng.chance(0.25)) f.noiseEvery = rng.between(2, 9);
    if (rng.chance(0.2)) f.lateAnswerPolls = rng.between(1, 10);
    if (command == Command::Program && rng.chance(0.1)) f.wrongEchoBlock = rng.between(1, LastBlock);
    // A unit that answers a block wrongly on every read and verify alike cannot be told from one that
    // holds those bytes; on a read the knob would only change what the unit holds, so it stays off there.
    if (command != Command::Read && rng.chance(0.1)) f.wrongVerifyBlock = rng.between(1, LastBlock);
    if (command == Command::Read && rng.chance(0.08)) f.stopAfterReadBlock = rng.between(0, LastBlock - 1);
    if (rng.chance(0.03)) f.headerDataVersion = static_cast<std::uint8_t>(ProgramVersion - 1);
    if (rng.chance(0.2)) {
        plan.silenceAt = rng.between(1, 60);
        plan.silenceTicks = rng.between(1, 50);
    }
    return plan;
}

bool SameConfiguration(const DeviceImage& a, const DeviceImage& b) {
    return std::memcmp(a.bytes().data() + BlockSize, b.bytes().data() + BlockSize, ImageSize - BlockSize) ==
           0;
}

// A few values of the configuration changed, as a tuner's edits do (the memo's closing 0 stays),
// each repaired to its allowed range as the window does when the edit is taken.
void Edit(DeviceImage& image, Rng& rng) {
    for (int n = rng.between(1, 20); n > 0; --n)
        image.setByte(static_cast<std::size_t>(rng.between(BlockSize, ImageSize - 2)),
                      static_cast<std::uint8_t>(rng.below(256)));
    NormalizeImage(image);
}

struct Outcome {
    std::string name;  // "OK", the failure caption, "version mismatch" or "did not end"
    int ticks = 0;
};

struct Soak {
    Rng rng;
    UnitModel unit;
    LoopbackPort port{unit};
    DeviceImage image = NewImageForBike(32);
    LiveValues live;
    SoakView view{image};
    LinkSession session{port, image, live, view};

    explicit Soak(std::uint64_t seed) : rng(seed), unit(UnitIdentity{}, seed) {
        session.setDeviceNamer([](int) { return std::string("sim"); });
        session.setMonitorHandler(
            [this](std::span<const std::uint8_t> f) { DecodeMonitorFrame(f, image, live); });
        session.OpenComPort();
    }

    Outcome run(Command command, const FaultPlan& plan) {
        view.captions.clear();
        view.versionMessages = 0;
        unit.faults() = plan.faults;
        switch (command) {
            case Command::Read:
                session.MenuReadClick();
                break;
            case Command::Verify:
                session.MenuVerifyClick();
                break;
            case Command::Program:
                session.MenuProgramClick();
                break;
        }
        Outcome out;
        while (session.transferState() != TransferState::Idle && out.ticks < MaxTicks) {
            ++out.ticks;
            if (out.ticks == plan.silenceAt) unit.faults().silent = true;
            if (out.ticks == plan.silenceAt + plan.silenceTicks) unit.faults().silent = false;
            session.Tick();
        }
        unit.faults() = UnitFaults{};
        if (session.transferState() != TransferState::Idle) {
            out.name = "did not end";
            return out;
        }
        for (const SoakView::Caption& c : view.captions) {
            if (c.failure) {
                out.name = c.text;
                return out;
            }
            if (c.text.ends_with(" OK")) {
                out.name = "OK";
                return out;
            }
        }
        out.name = view.versionMessages > 0 ? "version mismatch" : "ended without a caption";
        return out;
    }

    // Idle ticks between two commands: monitoring goes on and late answers still come in.
    void pause(int ticks) {
        for (int i = 0; i < ticks; ++i) session.Tick();
    }
};

struct Options {
    int transfers = 2000;
    std::uint64_t seed = 1;
    bool verbose = false;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--transfers" && i + 1 < argc) {
            o.transfers = std::atoi(argv[++i]);
        } else if (a == "--seed" && i + 1 < argc) {
            o.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (a == "--verbose") {
            o.verbose = true;
        } else {
            std::fprintf(stderr, "usage: soak_bench [--transfers N] [--seed S] [--verbose]\n");
            return false;
        }
    }
    return o.transfers > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;
    Soak soak(options.seed);
    Rng& rng = soak.rng;

    // Columns: read, verify of a PC configuration the unit holds, verify of one it does not, program.
    constexpr std::array<const char*, 4> Columns = {"read", "verify=", "verify!=", "program"};
    std::map<std::string, std::array<int, 4>> counts;
    std::array<long, 3> okTicks{};
    std::array<int, 3> okCount{};
    int maxTicks = 0;
    int okChecked = 0, failedReadsChecked = 0, refusedProgramsChecked = 0;
    int readsVerifyFailedHoldingUnit = 0, readsVerifyFailed = 0;
    int violations = 0;

    for (int n = 1; n <= options.transfers; ++n) {
        const auto command = static_cast<Command>(rng.below(3));
        // What the tuner did before the command: edits, another configuration, or nothing; now and
        // then the unit was programmed from elsewhere.
        if (command == Command::Program || rng.chance(command == Command::Read ? 0.5 : 0.3))
            Edit(soak.image, rng);
        if (rng.chance(0.05)) soak.image = NewImageForBike(rng.below(MotorcycleTypes));
        if (command == Command::Read && rng.chance(0.2))
            soak.unit.setStoredImage(NewImageForBike(rng.below(MotorcycleTypes)));

        const FaultPlan plan = RandomPlan(rng, command);
        const DeviceImage pcBefore = soak.image;
        const DeviceImage unitBefore = soak.unit.storedImage();
        const Outcome outcome = soak.run(command, plan);
        const auto c = static_cast<std::size_t>(command);
        const int column = command == Command::Read     ? 0
                           : command == Command::Verify ? (SameConfiguration(pcBefore, unitBefore) ? 1 : 2)
                                                        : 3;
        ++counts[outcome.name][static_cast<std::size_t>(column)];
        maxTicks = std::max(maxTicks, outcome.ticks);

        std::string broken;
        if (outcome.name == "did not end" || outcome.name == "ended without a caption") broken = outcome.name;
        if (outcome.name == "OK") {
            ++okChecked;
            okTicks[c] += outcome.ticks;
            ++okCount[c];
            if (!SameConfiguration(soak.image, soak.unit.storedImage()))
                broken = "reported OK, but the unit does not hold the PC's configuration";
        }
        if (command == Command::Read &&
            (outcome.name == "version mismatch" || outcome.name == "Read error!")) {
            ++failedReadsChecked;
            if (!SameConfiguration(soak.image, pcBefore))
                broken = "the failed read changed the PC's configuration";
        }
        if (command == Command::Read && outcome.name == "Verify error!") {
            ++readsVerifyFailed;
            if (SameConfiguration(soak.image, soak.unit.storedImage())) ++readsVerifyFailedHoldingUnit;
        }
        if (command == Command::Program && outcome.name == "version mismatch") {
            ++refusedProgramsChecked;
            if (!SameConfiguration(soak.unit.storedImage(), unitBefore))
                broken = "the program refused for its data version changed the unit";
        }
        if (!broken.empty()) {
            ++violations;
            std::printf("transfer %d (%s, %s): %s [%s, %d ticks]\n", n, CommandNames[c],
                        plan.describe().c_str(), broken.c_str(), outcome.name.c_str(), outcome.ticks);
        } else if (options.verbose) {
            std::printf("transfer %d (%s, %s): %s in %d ticks\n", n, CommandNames[c], plan.describe().c_str(),
                        outcome.name.c_str(), outcome.ticks);
        }
        soak.pause(rng.below(21));
    }

    std::printf("soak: %d transfers, seed %llu\n\n", options.transfers,
                static_cast<unsigned long long>(options.seed));
    const auto row = [&](const std::string& name, const std::array<int, 4>& v) {
        std::printf("%-20s %8d %8d %8d %8d %8d\n", name.c_str(), v[0], v[1], v[2], v[3],
                    v[0] + v[1] + v[2] + v[3]);
    };
    std::printf("%-20s %8s %8s %8s %8s %8s\n", "outcome", Columns[0], Columns[1], Columns[2], Columns[3],
                "total");
    std::array<int, 4> all{};
    for (const auto& [name, perColumn] : counts) {
        row(name, perColumn);
        for (std::size_t i = 0; i < 4; ++i) all[i] += perColumn[i];
    }
    row("all", all);
    std::printf(
        "(verify= : the unit held the PC's configuration when the verify began; verify!= : it did not)\n\n");
    for (std::size_t i = 0; i < 3; ++i)
        if (okCount[i] > 0)
            std::printf("ticks of an OK %-8s %6.1f on average\n", CommandNames[i],
                        static_cast<double>(okTicks[i]) / okCount[i]);
    std::printf("longest transfer           %6d ticks\n", maxTicks);
    std::printf("reads ending in \"Verify error!\": %d, of which the PC held the unit's configuration: %d\n",
                readsVerifyFailed, readsVerifyFailedHoldingUnit);
    std::printf("checked: %d OK transfers against the unit, %d failed reads unchanged, %d refused programs\n",
                okChecked, failedReadsChecked, refusedProgramsChecked);
    std::printf("invariant violations: %d\n", violations);
    return violations == 0 ? 0 : 1;
}
