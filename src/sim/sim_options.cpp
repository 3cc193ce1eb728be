#include "sim/sim_options.h"

#include <charconv>
#include <cstdlib>
#include <functional>
#include <map>

namespace torvane {

namespace {

constexpr long long MaxSeed = 0x7FFFFFFFFFFFFFFFLL;
constexpr int MaxLateMs = 60000;
constexpr int MaxEvery = 1000000;

std::optional<long long> ParseInteger(const std::string& text, long long lo, long long hi) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < lo || value > hi) return std::nullopt;
    return value;
}

std::optional<double> ParseFraction(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !(value >= 0.0 && value <= 1.0)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<OperatingPoint> ParseOperatingPoint(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const auto rpm = ParseInteger(std::string(text.substr(0, comma)), 0, 25000);
    const auto tps = ParseInteger(std::string(text.substr(comma + 1)), 0, 100);
    if (!rpm || !tps) return std::nullopt;
    return OperatingPoint{static_cast<double>(*rpm), static_cast<double>(*tps)};
}

std::string SimUsage() {
    return "Usage: torvane-unit-sim [OPTIONS]\n"
           "Serves a simulated engine control unit on a pseudo-terminal and prints the terminal's path\n"
           "as its first line. Runs until interrupted.\n"
           "\n"
           "  --help                     show this text\n"
           "  --version N                data version the unit reports (default 70)\n"
           "  --long-name TEXT           long program name in the unit's header (up to 30 characters)\n"
           "  --image FILE               start with blocks 1..10 of a raw 3300-byte image\n"
           "  --seed N                   seed of the engine model and of random faults (default 1)\n"
           "  --quiet                    no log of requests on standard error\n"
           "Engine:\n"
           "  --hold RPM,TPS             hold the engine at RPM and throttle TPS % (e.g. 3000,20)\n"
           "  --sweep                    sweep rpm and throttle slowly through the maps\n"
           "Faults:\n"
           "  --silent                   never answer\n"
           "  --drop-every N             lose every Nth answer\n"
           "  --drop-probability P       lose each answer with probability P (0..1)\n"
           "  --corrupt-every N          give every Nth answer a wrong checksum\n"
           "  --noise-every N            put stray bytes before and after every Nth answer\n"
           "  --late-ms N                hold every answer back N milliseconds\n"
           "  --header-version N         report data version N in block 0 only\n"
           "  --monitor-version N        report data version N in monitor frames only\n"
           "  --wrong-echo-block B       echo programmed block B (1..10) with one byte changed\n"
           "  --wrong-verify-block B     answer reads of block B (0..10) with one byte changed\n"
           "  --stop-after-read-block K  stop answering reads after block K (0..10)\n";
}

std::optional<SimOptions> ParseSimOptions(std::span<const std::string> args, std::string& error) {
    SimOptions o;
    using IntSetter = std::function<void(long long)>;
    struct IntOption {
        long long lo, hi;
        IntSetter set;
    };
    const std::map<std::string, IntOption> intOptions = {
        {"--version", {0, 255, [&](long long v) { o.identity.dataVersion = static_cast<std::uint8_t>(v); }}},
        {"--seed", {0, MaxSeed, [&](long long v) { o.seed = static_cast<std::uint64_t>(v); }}},
        {"--drop-every", {0, MaxEvery, [&](long long v) { o.faults.dropEvery = static_cast<int>(v); }}},
        {"--corrupt-every", {0, MaxEvery, [&](long long v) { o.faults.corruptEvery = static_cast<int>(v); }}},
        {"--noise-every", {0, MaxEvery, [&](long long v) { o.faults.noiseEvery = static_cast<int>(v); }}},
        {"--late-ms", {0, MaxLateMs, [&](long long v) { o.faults.lateAnswerMs = static_cast<int>(v); }}},
        {"--header-version",
         {0, 255, [&](long long v) { o.faults.headerDataVersion = static_cast<std::uint8_t>(v); }}},
        {"--monitor-version",
         {0, 255, [&](long long v) { o.faults.monitorDataVersion = static_cast<std::uint8_t>(v); }}},
        {"--wrong-echo-block",
         {1, ProgrammableBlocks, [&](long long v) { o.faults.wrongEchoBlock = int(v); }}},
        {"--wrong-verify-block",
         {0, BlockCount - 1, [&](long long v) { o.faults.wrongVerifyBlock = int(v); }}},
        {"--stop-after-read-block",
         {0, BlockCount - 1, [&](long long v) { o.faults.stopAfterReadBlock = int(v); }}},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string* {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a == "--sweep") {
            o.motion = EngineMotion::Sweep;
        } else if (a == "--hold") {
            const std::string* text = value();
            if (!text) return std::nullopt;
            const auto point = ParseOperatingPoint(*text);
            if (!point) {
                error = a + ": expected RPM,TPS with RPM from 0 to 25000 and TPS from 0 to 100, got \"" + *text + "\"";
                return std::nullopt;
            }
            o.motion = EngineMotion::Hold;
            o.holdPoint = *point;
        } else if (a == "--silent") {
            o.faults.silent = true;
        } else if (auto it = intOptions.find(a); it != intOptions.end()) {
            const std::string* text = value();
            if (!text) return std::nullopt;
            const auto v = ParseInteger(*text, it->second.lo, it->second.hi);
            if (!v) {
                error = a + ": expected a whole number from " + std::to_string(it->second.lo) + " to " +
                        std::to_string(it->second.hi) + ", got \"" + *text + "\"";
                return std::nullopt;
            }
            it->second.set(*v);
        } else if (a == "--drop-probability") {
            const std::string* text = value();
            if (!text) return std::nullopt;
            const auto v = ParseFraction(*text);
            if (!v) {
                error = a + ": expected a number from 0 to 1, got \"" + *text + "\"";
                return std::nullopt;
            }
            o.faults.dropProbability = *v;
        } else if (a == "--long-name") {
            const std::string* text = value();
            if (!text) return std::nullopt;
            o.identity.longName = *text;
        } else if (a == "--image") {
            const std::string* text = value();
            if (!text) return std::nullopt;
            o.imageFile = *text;
        } else {
            error = "unknown option \"" + a + "\"";
            return std::nullopt;
        }
    }
    return o;
}

}  // namespace torvane
