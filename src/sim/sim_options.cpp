#include "sim/sim_options.h"

#include <charconv>
#include <cstdlib>

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

// The options that take no value; false when a is none of them.
bool ApplySwitch(const std::string& a, SimOptions& o) {
    if (a == "--help" || a == "-h") {
        o.help = true;
    } else if (a == "--quiet") {
        o.quiet = true;
    } else if (a == "--sweep") {
        o.motion = EngineMotion::Sweep;
    } else if (a == "--silent") {
        o.faults.silent = true;
    } else {
        return false;
    }
    return true;
}

// The options whose value is a whole number from lo to hi.
struct IntOption {
    const char* name;
    long long lo, hi;
    void (*set)(SimOptions& o, long long v);
};
constexpr IntOption IntOptions[] = {
    {"--version", 0, 255,
     [](SimOptions& o, long long v) { o.identity.dataVersion = static_cast<std::uint8_t>(v); }},
    {"--seed", 0, MaxSeed, [](SimOptions& o, long long v) { o.seed = static_cast<std::uint64_t>(v); }},
    {"--drop-every", 0, MaxEvery,
     [](SimOptions& o, long long v) { o.faults.dropEvery = static_cast<int>(v); }},
    {"--corrupt-every", 0, MaxEvery,
     [](SimOptions& o, long long v) { o.faults.corruptEvery = static_cast<int>(v); }},
    {"--noise-every", 0, MaxEvery,
     [](SimOptions& o, long long v) { o.faults.noiseEvery = static_cast<int>(v); }},
    {"--late-ms", 0, MaxLateMs,
     [](SimOptions& o, long long v) { o.faults.lateAnswerMs = static_cast<int>(v); }},
    {"--header-version", 0, 255,
     [](SimOptions& o, long long v) { o.faults.headerDataVersion = static_cast<std::uint8_t>(v); }},
    {"--monitor-version", 0, 255,
     [](SimOptions& o, long long v) { o.faults.monitorDataVersion = static_cast<std::uint8_t>(v); }},
    {"--wrong-echo-block", 1, ProgrammableBlocks,
     [](SimOptions& o, long long v) { o.faults.wrongEchoBlock = int(v); }},
    {"--wrong-verify-block", 0, BlockCount - 1,
     [](SimOptions& o, long long v) { o.faults.wrongVerifyBlock = int(v); }},
    {"--stop-after-read-block", 0, BlockCount - 1,
     [](SimOptions& o, long long v) { o.faults.stopAfterReadBlock = int(v); }},
};

bool SetInteger(const IntOption& option, const std::string& text, SimOptions& o, std::string& error) {
    const auto v = ParseInteger(text, option.lo, option.hi);
    if (!v) {
        error = std::string(option.name) + ": expected a whole number from " + std::to_string(option.lo) +
                " to " + std::to_string(option.hi) + ", got \"" + text + "\"";
        return false;
    }
    option.set(o, *v);
    return true;
}

// The other options with a value: each checks the text and stores it, or says in error why it cannot.
bool SetHold(const std::string& option, const std::string& text, SimOptions& o, std::string& error) {
    const auto point = ParseOperatingPoint(text);
    if (!point) {
        error = option + ": expected RPM,TPS with RPM from 0 to 25000 and TPS from 0 to 100, got \"" + text +
                "\"";
        return false;
    }
    o.motion = EngineMotion::Hold;
    o.holdPoint = *point;
    return true;
}

bool SetDropProbability(const std::string& option, const std::string& text, SimOptions& o,
                        std::string& error) {
    const auto v = ParseFraction(text);
    if (!v) {
        error = option + ": expected a number from 0 to 1, got \"" + text + "\"";
        return false;
    }
    o.faults.dropProbability = *v;
    return true;
}

bool SetLongName(const std::string&, const std::string& text, SimOptions& o, std::string&) {
    o.identity.longName = text;
    return true;
}

bool SetImage(const std::string&, const std::string& text, SimOptions& o, std::string&) {
    o.imageFile = text;
    return true;
}

struct TextOption {
    const char* name;
    bool (*set)(const std::string& option, const std::string& text, SimOptions& o, std::string& error);
};
constexpr TextOption TextOptions[] = {
    {"--hold", SetHold},
    {"--drop-probability", SetDropProbability},
    {"--long-name", SetLongName},
    {"--image", SetImage},
};

template <class Option, std::size_t N>
const Option* FindOption(const Option (&options)[N], const std::string& name) {
    for (const Option& option : options) {
        if (name == option.name) return &option;
    }
    return nullptr;
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (ApplySwitch(a, o)) continue;
        const IntOption* intOption = FindOption(IntOptions, a);
        const TextOption* textOption = FindOption(TextOptions, a);
        if (intOption == nullptr && textOption == nullptr) {
            error = "unknown option \"" + a + "\"";
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = a + " needs a value";
            return std::nullopt;
        }
        const std::string& text = args[++i];
        const bool taken = intOption != nullptr ? SetInteger(*intOption, text, o, error)
                                                : textOption->set(a, text, o, error);
        if (!taken) return std::nullopt;
    }
    return o;
}

}  // namespace torvane
