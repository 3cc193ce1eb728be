#pragma once
// torvane-cli log: records the unit's monitor frames into a datalog while the engine runs. The
// window's link session runs on its 55 ms tick with nothing to transfer; every decoded monitor frame
// becomes one row, stamped with the time since the log began.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace torvane {

class SerialPort;

// Longest --seconds accepted: a week, far beyond any ride.
inline constexpr int MaxLogSeconds = 7 * 24 * 3600;

struct LogCommandLine {
    std::string device;          // --port DEVICE
    std::string file;            // -o FILE.csv
    std::optional<int> seconds;  // --seconds N; none: until interrupted
    bool fast = false;           // --fast: a monitor request on every tick
    bool help = false;
};

// Empty with a reason in error on bad arguments.
std::optional<LogCommandLine> ParseLogCommandLine(const std::vector<std::string>& args, std::string& error);
std::string LogCommandUsage();

struct LogRunSettings {
    std::function<void()> waitTick;  // called before every tick; the real tool keeps the 55 ms pace
    // Seconds since the log began; by default the ticks run so far times 55 ms.
    std::function<double()> clock;
    // Polled before every tick; true ends the log as --seconds running out does.
    std::function<bool()> stopRequested;
    int maxTicks = 0;  // 0: no limit
};

// Logs over the given port until --seconds pass, stopRequested says so or maxTicks are run; returns
// the exit code: 0 logged, 1 no monitor frame came at all, 2 the port or the file failed.
int RunLogCommandOn(SerialPort& port, const LogCommandLine& line, std::ostream& out, std::ostream& err,
                    const LogRunSettings& settings = {});

// The command as torvane-cli runs it: the real serial line, real time, SIGINT and SIGTERM end the log.
int RunLogCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace torvane
