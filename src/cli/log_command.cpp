#include "cli/log_command.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>

#include "cli/console_view.h"
#include "cli/unit_commands.h"
#include "files/datalog.h"
#include "image/device_image.h"
#include "link/link_session.h"
#include "link/live_values.h"
#include "link/monitor_decoder.h"
#include "link/serial_port.h"

#ifdef TORVANE_CLI_SERIAL
#include <QCoreApplication>

#include "link/qt_serial_port.h"
#endif

namespace torvane {

namespace {

constexpr double TickSeconds = 0.055;

#ifdef TORVANE_CLI_SERIAL
volatile std::sig_atomic_t stopSignal = 0;

void OnStopSignal(int) {
    stopSignal = 1;
}

// SIGINT and SIGTERM end the log instead of the process, so the last rows are kept and the file is
// closed; the previous handlers come back when the log ends.
class StopSignals {
  public:
    StopSignals() {
        stopSignal = 0;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousInt_);
        sigaction(SIGTERM, &action, &previousTerm_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

  private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};
#endif

std::optional<int> ParseSeconds(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 1 || value > MaxLogSeconds)
        return std::nullopt;
    return value;
}

// "  12 s   216 frames  18.0 frames/s  rpm 3500  tps 12.5 %"
std::string ProgressLine(int second, std::size_t frames, const LiveValues& live) {
    char line[128];
    const double rate = second > 0 ? static_cast<double>(frames) / second : 0.0;
    int n = std::snprintf(line, sizeof line, "%4d s %6zu frames %5.1f frames/s", second, frames, rate);
    if (frames > 0 && n > 0 && static_cast<std::size_t>(n) < sizeof line) {
        n +=
            std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "  rpm %u  tps %u.%u %%",
                          unsigned{live.EngineSpeed}, live.ThrottleOpening / 10u, live.ThrottleOpening % 10u);
    }
    return n > 0 ? std::string(line) : std::string();
}

}  // namespace

std::string LogCommandUsage() {
    return "Usage: torvane-cli log --port DEVICE -o FILE.csv [--seconds N] [--fast]\n"
           "\n"
           "  Records every monitor frame of the unit as one row of the datalog FILE.csv (CSV, \".\" as\n"
           "  decimal point, each row written at once), and prints a line every second.\n"
           "\n"
           "  --port DEVICE  serial device of the unit (for example /dev/ttyUSB0)\n"
           "  -o FILE.csv    the datalog to write; an existing file is replaced\n"
           "  --seconds N    stop after N seconds (default: run until interrupted with Ctrl+C)\n"
           "  --fast         ask for a monitor frame on every 55 ms tick instead of every sixth\n"
           "                 (about 18 instead of 3 frames a second)\n"
           "\n"
           "Exit status: 0 when the log ends, 1 when the unit sent no monitor frame at all,\n"
           "2 on bad arguments, a port that does not open or a file that cannot be written.\n";
}

std::optional<LogCommandLine> ParseLogCommandLine(const std::vector<std::string>& args, std::string& error) {
    LogCommandLine line;
    bool portGiven = false;
    bool outputGiven = false;
    bool secondsGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            line.help = true;
            return line;
        }
        if (a == "--fast") {
            line.fast = true;
            continue;
        }
        if (a != "--port" && a != "-o" && a != "--output" && a != "--seconds") {
            error = a.size() > 1 && a[0] == '-'
                        ? "unknown option \"" + a + "\""
                        : "log takes no argument \"" + a + "\"; name the log with -o FILE";
            return std::nullopt;
        }
        bool& given = a == "--port" ? portGiven : a == "--seconds" ? secondsGiven : outputGiven;
        const std::string* taken = TakeOptionValue(args, i, given, error);
        if (taken == nullptr) return std::nullopt;
        const std::string& value = *taken;
        if (a == "--port") {
            line.device = value;
        } else if (a == "--seconds") {
            line.seconds = ParseSeconds(value);
            if (!line.seconds) {
                error = "--seconds needs a whole number from 1 to " + std::to_string(MaxLogSeconds) +
                        ", not \"" + value + "\"";
                return std::nullopt;
            }
        } else {
            line.file = value;
        }
    }
    if (!portGiven || line.device.empty()) {
        error = "--port DEVICE is missing";
        return std::nullopt;
    }
    if (line.file.empty()) {
        error = "log needs -o FILE.csv";
        return std::nullopt;
    }
    return line;
}

int RunLogCommandOn(SerialPort& port, const LogCommandLine& line, std::ostream& out, std::ostream& err,
                    const LogRunSettings& settings) {
    if (line.help) {
        out << LogCommandUsage();
        return UnitExitOk;
    }

    DeviceImage image;
    LiveValues live;
    ConsoleView view(out, err, image);
    LinkSession session(port, image, live, view);
    const std::string device = line.device;
    session.setDeviceNamer([device](int) { return device; });
    session.OpenComPort();
    if (!port.isOpen()) {
        err << "torvane-cli: " << device << " did not open\n";
        return UnitExitUsage;
    }
    // The port first: a log that cannot start leaves an earlier file of the same name alone.
    DatalogWriter writer;
    std::string error;
    if (!writer.open(line.file, error)) {
        err << "torvane-cli: " << error << '\n';
        session.CloseComPort();
        return UnitExitUsage;
    }

    int ticks = 0;
    const std::function<double()> clock =
        settings.clock ? settings.clock : [&ticks] { return ticks * TickSeconds; };
    bool writeFailed = false;
    session.setFastMonitor(line.fast);
    session.setMonitorHandler([&](std::span<const std::uint8_t> frame) {
        if (writeFailed || !DecodeMonitorFrame(frame, image, live)) return;
        if (!writer.append(clock(), live)) writeFailed = true;
    });

    int reported = 0;  // whole seconds already reported
    while (!writeFailed) {
        if (settings.stopRequested && settings.stopRequested()) break;
        if (settings.maxTicks > 0 && ticks >= settings.maxTicks) break;
        if (line.seconds && clock() >= *line.seconds) break;
        if (settings.waitTick) settings.waitTick();
        session.Tick();
        ++ticks;
        const double now = clock();
        if (now >= reported + 1) {
            reported = static_cast<int>(now);
            out << ProgressLine(reported, writer.rows(), live) << '\n' << std::flush;
        }
    }

    session.setMonitorHandler(nullptr);
    session.CloseComPort();
    const std::size_t rows = writer.rows();
    writer.close();
    if (writeFailed) {
        err << "torvane-cli: writing \"" << line.file << "\" failed after " << rows << " rows\n";
        return UnitExitUsage;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", clock());
    out << "Logged " << rows << " frames in " << seconds << " s to " << line.file << '\n';
    if (rows == 0) {
        err << "torvane-cli: the unit sent no monitor frame\n";
        return UnitExitTransferFailed;
    }
    return UnitExitOk;
}

int RunLogCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto line = ParseLogCommandLine(args, error);
    if (!line) {
        err << "torvane-cli log: " << error << "\n\n" << LogCommandUsage();
        return UnitExitUsage;
    }
    if (line->help) {
        out << LogCommandUsage();
        return UnitExitOk;
    }
#ifdef TORVANE_CLI_SERIAL
    const std::unique_ptr<QCoreApplication> app = MakeCoreApplication();
    const StopSignals stopSignals;
    const auto start = std::chrono::steady_clock::now();
    LogRunSettings settings;
    settings.waitTick = RealTimeTicks();
    settings.clock = [start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    settings.stopRequested = [] { return stopSignal != 0; };
    QtSerialPort port;
    return RunLogCommandOn(port, *line, out, err, settings);
#else
    err << "torvane-cli log: not built with serial support\n";
    return UnitExitUsage;
#endif
}

}  // namespace torvane
