#pragma once
// torvane-cli's unit commands: read the unit into a parameter file, verify the unit against a file,
// program a file into the unit. They run the window's link session on the window's 55 ms tick and
// print the captions its status label would show.

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class QCoreApplication;

namespace torvane {

class LinkSession;
class ConsoleView;
class DeviceImage;
class SerialPort;
struct LiveValues;

inline constexpr int UnitExitOk = 0;
inline constexpr int UnitExitTransferFailed = 1;  // transfer error, version mismatch or damaged file
inline constexpr int UnitExitUsage = 2;           // bad arguments, port or file errors

// Enough for the slowest transfer that still ends (every step of a read and its verification
// using all its transmissions); a link that runs longer has stopped making progress.
inline constexpr int MaxTransferTicks = 2000;
// The unit needs about 3 s to store a programmed configuration; a countdown that has not ended
// after this long (about 22 s) is reported instead of waited for.
inline constexpr int MaxStoringTicks = 400;

enum class UnitCommand { Read, Verify, Program };

struct UnitCommandLine {
    UnitCommand command = UnitCommand::Read;
    std::string device;        // --port DEVICE
    std::string file;          // -o FILE for read, the FILE argument for verify and program
    int languageIndex = 0;     // --language ENGLISH | DEUTSCH | FRENCH | CESKY
    bool restorePoint = true;  // a passed read or program leaves a restore point (--no-restore-point)
    bool help = false;
};

// The value after option args[i], once per command line: moves i onto it and marks the option given.
// Empty with a reason in error when the value is missing or the option came before.
const std::string* TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, bool& given,
                                   std::string& error);

#ifdef TORVANE_CLI_SERIAL
// The application object the serial adapter needs, when there is none yet (else empty).
std::unique_ptr<QCoreApplication> MakeCoreApplication();
#endif

// Empty with a reason in error on bad arguments.
std::optional<UnitCommandLine> ParseUnitCommandLine(std::string_view command,
                                                    const std::vector<std::string>& args, std::string& error);
std::string UnitCommandUsage();

enum class TransferOutcome { Ok, Failed, VersionMismatch, NoEnd };

struct TransferResult {
    TransferOutcome outcome = TransferOutcome::NoEnd;
    int ticks = 0;  // ticks from the start command to the final caption
};

// Starts the transfer on an open session and ticks it to its end, calling waitTick before each
// tick. A programming run gets one more tick so its caption turns to the programming OK text.
TransferResult RunTransfer(LinkSession& session, UnitCommand command, const ConsoleView& view,
                           const std::function<void()>& waitTick, int maxTicks = MaxTransferTicks);

// A waitTick that keeps ticks on the window's 55 ms grid in real time.
std::function<void()> RealTimeTicks();

// After programming, ticks the idle link (monitor requests every sixth tick, as in the window) until
// a monitor frame received during the wait reports the unit's storing countdown at 0; the status
// shows "Saving:" meanwhile. Returns the ticks used, or nothing when maxTicks pass first.
std::optional<int> WaitForUnitStoring(LinkSession& session, const DeviceImage& image, LiveValues& live,
                                      const std::function<void()>& waitTick, int maxTicks = MaxStoringTicks);

struct UnitRunSettings {
    std::function<void()> waitTick;  // called before every tick; the real tool keeps the 55 ms pace
    int maxTicks = MaxTransferTicks;
    int maxStoringTicks = MaxStoringTicks;
    bool showGauge = true;
    // Where restore points go; empty: the settings directory's restore/ folder.
    std::string restoreFolder;
};

// Runs a parsed command over the given port; returns the exit code.
int RunUnitCommandOn(SerialPort& port, const UnitCommandLine& line, std::ostream& out, std::ostream& err,
                     const UnitRunSettings& settings = {});

// The command as torvane-cli runs it: the real serial line named by --port, ticks every 55 ms.
int RunUnitCommand(std::string_view command, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err);

}  // namespace torvane
