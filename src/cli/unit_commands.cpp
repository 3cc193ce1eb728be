#include "cli/unit_commands.h"

#include <chrono>
#include <ctime>
#include <memory>
#include <thread>

#include "cli/console_view.h"
#include "cli/file_commands.h"
#include "files/field_differences.h"
#include "files/parameter_file.h"
#include "files/restore_points.h"
#include "image/defaults.h"
#include "image/device_image.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "link/link_session.h"
#include "link/live_values.h"
#include "link/monitor_decoder.h"
#include "link/serial_port.h"
#include "settings/platform_paths.h"
#include "text/message_table.h"

#ifdef TORVANE_CLI_SERIAL
#include <QCoreApplication>

#include "link/qt_serial_port.h"
#endif

namespace torvane {

namespace {

constexpr auto TickPeriod = std::chrono::milliseconds(55);

const char* CommandName(UnitCommand command) {
    switch (command) {
        case UnitCommand::Read:
            return "read";
        case UnitCommand::Verify:
            return "verify";
        case UnitCommand::Program:
            return "program";
    }
    return "";
}

// Keeps ticks on a fixed 55 ms grid; a tick that comes late (a slow write) does not make the
// following ones come in a burst.
class TickPacer {
  public:
    void wait() {
        next_ += TickPeriod;
        const auto now = std::chrono::steady_clock::now();
        if (next_ < now) {
            next_ = now;
        } else {
            std::this_thread::sleep_until(next_);
        }
    }

  private:
    std::chrono::steady_clock::time_point next_ = std::chrono::steady_clock::now();
};

// A read starts from what a freshly started window holds: the defaults of the start-up type. The
// read replaces blocks 0 to 10; what the unit does not keep (the IAP row axis) stays the default.
void PrepareReadImage(DeviceImage& image) {
    image.setByte(Field(FieldId::Bike).index, static_cast<std::uint8_t>(StartupBikeCode));
    InjectionWork work;
    ApplyDefaults(image, work, false, 0);
    NormalizeImage(image);
}

// Loads the configuration to verify or program; an exit code other than 0 on failure. The link
// session normalizes the image before it sends anything, as the window does.
int LoadConfiguration(const std::string& path, DeviceImage& image, int languageIndex, std::ostream& err) {
    FileDamage damage;
    switch (LoadParameterFile(path, image, {}, &damage)) {
        case FileResult::Ok:
            return UnitExitOk;
        case FileResult::Refused:
            err << "torvane-cli: " << path << ": " << MessageText(MsgFileVersionMismatch, languageIndex)
                << '\n';
            return UnitExitTransferFailed;
        case FileResult::Damaged:
            err << "torvane-cli: " << path << ": " << DamagedFileMessage(damage, languageIndex) << '\n';
            return UnitExitTransferFailed;
        case FileResult::Unreadable:
            break;
    }
    err << "torvane-cli: cannot read \"" << path << "\"\n";
    return UnitExitUsage;
}

int SaveConfiguration(const std::string& path, const DeviceImage& image, std::ostream& err) {
    if (SaveParameterFile(path, image) == FileResult::Ok) return UnitExitOk;
    err << "torvane-cli: cannot write \"" << path << "\"\n";
    return UnitExitUsage;
}

// The words that select the window's language on its command line.
std::optional<int> LanguageOfWord(const std::string& word) {
    static constexpr const char* Words[LanguageCount] = {"ENGLISH", "DEUTSCH", "FRENCH", "CESKY"};
    for (int i = 0; i < LanguageCount; ++i) {
        if (word == Words[i]) return i;
    }
    return std::nullopt;
}

// After "Verify error!": the fields of the failing block in which the unit differs from the file.
void PrintVerifyDifferences(const DeviceImage& image, const ConsoleView& view, std::ostream& out) {
    const int block = view.failedBlock();
    if (block < 1 || block >= BlockCount || view.unitBlock().size() != BlockSize) return;
    DeviceImage unit = image;
    std::copy(view.unitBlock().begin(), view.unitBlock().end(), unit.block(block).begin());
    const std::vector<FieldDifference> differences = DifferingFields(image, unit, block);
    out << "Block " << block << " differs (file | unit):\n";
    for (const FieldDifference& d : differences) out << "  " << FormatDifference(d) << '\n';
}

bool EndsWithOk(const std::string& caption) {
    return caption.size() >= 3 && caption.compare(caption.size() - 3, 3, " OK") == 0;
}

}  // namespace

std::string UnitCommandUsage() {
    return "Usage: torvane-cli read --port DEVICE -o FILE\n"
           "       torvane-cli verify --port DEVICE FILE\n"
           "       torvane-cli program --port DEVICE FILE\n"
           "\n"
           "  read     read all blocks of the unit, verify them and write the parameter file FILE\n"
           "  verify   compare the unit with the parameter file FILE\n"
           "  program  program all blocks of the parameter file FILE into the unit, verify them and\n"
           "           wait until the unit has stored them\n"
           "\n"
           "  --port DEVICE      serial device of the unit (for example /dev/ttyUSB0)\n"
           "  -o FILE            parameter file to write (read only)\n"
           "  --language WORD    captions in ENGLISH (default), DEUTSCH, FRENCH or CESKY\n"
           "  --no-restore-point a passed read or program leaves no copy in the restore folder\n"
           "                     ($XDG_CONFIG_HOME/torvane/restore)\n"
           "\n"
           "Exit status: 0 when the transfer ends OK, 1 on a transfer error, a version mismatch or a\n"
           "damaged parameter file, 2 on bad arguments, a port that does not open or a file error.\n";
}

const std::string* TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, bool& given,
                                   std::string& error) {
    const std::string& option = args[i];
    if (i + 1 >= args.size()) {
        error = option + " needs a value";
        return nullptr;
    }
    if (given) {
        error = option + " given twice";
        return nullptr;
    }
    given = true;
    return &args[++i];
}

std::optional<UnitCommandLine> ParseUnitCommandLine(std::string_view command,
                                                    const std::vector<std::string>& args,
                                                    std::string& error) {
    UnitCommandLine line;
    if (command == "read") {
        line.command = UnitCommand::Read;
    } else if (command == "verify") {
        line.command = UnitCommand::Verify;
    } else if (command == "program") {
        line.command = UnitCommand::Program;
    } else {
        error = "unknown command \"" + std::string(command) + "\"";
        return std::nullopt;
    }

    std::vector<std::string> files;
    std::string output;
    bool portGiven = false;
    bool outputGiven = false;
    bool languageGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            line.help = true;
            return line;
        }
        if (a == "--no-restore-point") {
            line.restorePoint = false;
            continue;
        }
        if (a == "--port" || a == "-o" || a == "--output" || a == "--language") {
            bool& given = a == "--port" ? portGiven : a == "--language" ? languageGiven : outputGiven;
            const std::string* taken = TakeOptionValue(args, i, given, error);
            if (taken == nullptr) return std::nullopt;
            const std::string& value = *taken;
            if (a == "--port") {
                line.device = value;
            } else if (a == "--language") {
                const auto index = LanguageOfWord(value);
                if (!index) {
                    error = "unknown language \"" + value + "\"; use ENGLISH, DEUTSCH, FRENCH or CESKY";
                    return std::nullopt;
                }
                line.languageIndex = *index;
            } else {
                output = value;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option \"" + a + "\"";
            return std::nullopt;
        } else {
            files.push_back(a);
        }
    }

    if (!portGiven || line.device.empty()) {
        error = "--port DEVICE is missing";
        return std::nullopt;
    }
    if (line.command == UnitCommand::Read) {
        if (!files.empty()) {
            error = "read takes no file argument; name the file to write with -o FILE";
            return std::nullopt;
        }
        if (output.empty()) {
            error = "read needs -o FILE";
            return std::nullopt;
        }
        line.file = output;
    } else {
        if (outputGiven) {
            error = std::string(CommandName(line.command)) + " takes no -o";
            return std::nullopt;
        }
        if (files.size() != 1 || files[0].empty()) {
            error = std::string(CommandName(line.command)) + " needs exactly one parameter file";
            return std::nullopt;
        }
        line.file = files[0];
    }
    return line;
}

std::function<void()> RealTimeTicks() {
    auto pacer = std::make_shared<TickPacer>();
    return [pacer] { pacer->wait(); };
}

TransferResult RunTransfer(LinkSession& session, UnitCommand command, const ConsoleView& view,
                           const std::function<void()>& waitTick, int maxTicks) {
    switch (command) {
        case UnitCommand::Read:
            session.MenuReadClick();
            break;
        case UnitCommand::Verify:
            session.MenuVerifyClick();
            break;
        case UnitCommand::Program:
            session.MenuProgramClick();
            break;
    }

    TransferResult result;
    const auto tick = [&] {
        if (waitTick) waitTick();
        session.Tick();
        ++result.ticks;
    };
    while (session.transferState() != TransferState::Idle && result.ticks < maxTicks) tick();

    if (session.transferState() != TransferState::Idle) {
        result.outcome = TransferOutcome::NoEnd;
    } else if (view.versionMismatchShown()) {
        result.outcome = TransferOutcome::VersionMismatch;
    } else if (view.statusFailure()) {
        result.outcome = TransferOutcome::Failed;
    } else {
        // After a programming run the first idle tick replaces the verification caption by the
        // programming one.
        if (command == UnitCommand::Program && session.ProgramDone()) tick();
        result.outcome = EndsWithOk(view.statusText()) ? TransferOutcome::Ok : TransferOutcome::Failed;
    }
    return result;
}

std::optional<int> WaitForUnitStoring(LinkSession& session, const DeviceImage& image, LiveValues& live,
                                      const std::function<void()>& waitTick, int maxTicks) {
    // Values from before the wait say nothing about this programming run.
    bool fresh = false;
    session.setMonitorHandler([&](std::span<const std::uint8_t> frame) {
        if (DecodeMonitorFrame(frame, image, live)) fresh = true;
    });
    std::optional<int> used;
    for (int ticks = 1; ticks <= maxTicks; ++ticks) {
        if (waitTick) waitTick();
        session.Tick();
        if (fresh && live.UnitSavingCountdown == 0) {
            used = ticks;
            break;
        }
    }
    session.setMonitorHandler(nullptr);
    return used;
}

int RunUnitCommandOn(SerialPort& port, const UnitCommandLine& line, std::ostream& out, std::ostream& err,
                     const UnitRunSettings& settings) {
    if (line.help) {
        out << UnitCommandUsage();
        return UnitExitOk;
    }

    DeviceImage image;
    if (line.command == UnitCommand::Read) {
        PrepareReadImage(image);
    } else if (const int code = LoadConfiguration(line.file, image, line.languageIndex, err);
               code != UnitExitOk) {
        return code;
    }

    LiveValues live;
    ConsoleView view(out, err, image, line.languageIndex);
    view.setShowGauge(settings.showGauge);
    LinkSession session(port, image, live, view);
    session.setLanguageIndex(line.languageIndex);
    const std::string device = line.device;
    session.setDeviceNamer([device](int) { return device; });
    session.OpenComPort();
    if (!port.isOpen()) {
        err << "torvane-cli: " << device << " did not open\n";
        return UnitExitUsage;
    }

    TransferResult result = RunTransfer(session, line.command, view, settings.waitTick, settings.maxTicks);
    if (line.command == UnitCommand::Program && result.outcome == TransferOutcome::Ok) {
        // Unplugging the unit while it stores would lose the configuration: wait for it, as the
        // window's "Saving:" caption asks the tuner to.
        if (!WaitForUnitStoring(session, image, live, settings.waitTick, settings.maxStoringTicks)) {
            err << "torvane-cli: the unit did not report the end of its storing\n";
        }
        if (!EndsWithOk(view.statusText())) result.outcome = TransferOutcome::Failed;
    }
    session.CloseComPort();

    switch (result.outcome) {
        case TransferOutcome::Ok:
            break;
        case TransferOutcome::VersionMismatch:
            return UnitExitTransferFailed;
        case TransferOutcome::Failed:
            PrintVerifyDifferences(image, view, out);
            return UnitExitTransferFailed;
        case TransferOutcome::NoEnd:
            err << "torvane-cli: the transfer did not end within " << settings.maxTicks << " ticks\n";
            return UnitExitTransferFailed;
    }

    if (line.restorePoint && line.command != UnitCommand::Verify) {
        const std::string folder =
            settings.restoreFolder.empty() ? SettingsDirectory() + "/restore" : settings.restoreFolder;
        const auto kind = line.command == UnitCommand::Read ? RestoreKind::Read : RestoreKind::Program;
        if (const auto path = StoreRestorePoint(folder, image, kind, std::time(nullptr))) {
            out << "Restore point " << path->string() << '\n';
        } else {
            err << "torvane-cli: no restore point could be written in " << folder << '\n';
        }
    }

    // Only a read whose verification passed replaces the file.
    if (line.command == UnitCommand::Read) {
        if (const int code = SaveConfiguration(line.file, image, err); code != UnitExitOk) return code;
        out << "Wrote " << line.file << '\n';
    }
    return UnitExitOk;
}

#ifdef TORVANE_CLI_SERIAL
std::unique_ptr<QCoreApplication> MakeCoreApplication() {
    // The serial adapter wants an application object for its notifiers; the loop itself is ours.
    if (QCoreApplication::instance() != nullptr) return nullptr;
    static int argc = 1;
    static char name[] = "torvane-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}
#endif

int RunUnitCommand(std::string_view command, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err) {
    std::string error;
    const auto line = ParseUnitCommandLine(command, args, error);
    if (!line) {
        err << "torvane-cli " << command << ": " << error << "\n\n" << UnitCommandUsage();
        return UnitExitUsage;
    }
    if (line->help) {
        out << UnitCommandUsage();
        return UnitExitOk;
    }
#ifdef TORVANE_CLI_SERIAL
    const std::unique_ptr<QCoreApplication> app = MakeCoreApplication();
    int code = UnitExitUsage;
    {
        QtSerialPort port;
        UnitRunSettings settings;
        settings.waitTick = RealTimeTicks();
        code = RunUnitCommandOn(port, *line, out, err, settings);
    }
    return code;
#else
    err << "torvane-cli " << command << ": not built with serial support\n";
    return UnitExitUsage;
#endif
}

}  // namespace torvane
