// torvane-cli: parameter files and the unit from the command line.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/file_commands.h"
#include "cli/log_command.h"
#if __has_include("cli/unit_commands.h")
#include "cli/unit_commands.h"
#define TORVANE_CLI_HAS_UNIT_COMMANDS 1
#endif

namespace {

bool IsUnitCommand(std::string_view command) {
    return command == "read" || command == "verify" || command == "program";
}

void PrintHelp(std::ostream& out) {
    out << "usage: torvane-cli COMMAND [ARGUMENTS]\n\n"
           "Parameter files (*.ign):\n";
    torvane::PrintFileCommandHelp(out);
    out << "\nThe unit on a serial port:\n"
           "  read      read the unit's configuration into a parameter file\n"
           "  verify    compare a parameter file with the unit's configuration\n"
           "  program   program a parameter file into the unit and verify it\n"
           "  log       record the unit's monitor frames into a datalog (CSV)\n"
           "  (see torvane-cli COMMAND --help for their options)\n\n"
           "Exit codes: 0 success, 1 a file of another version (no key line of version 70) or a\n"
           "            damaged file (a section cut short or holding a word where a number belongs),\n"
           "            2 usage error or a file that cannot be read or written.\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (args.empty()) {
        PrintHelp(std::cerr);
        return torvane::ExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp(std::cout);
        return torvane::ExitOk;
    }
    if (torvane::IsFileCommand(command)) {
        for (const std::string& a : args) {
            if (a == "--help" || a == "-h") {
                torvane::PrintFileCommandHelp(std::cout);
                return torvane::ExitOk;
            }
        }
        std::cout.flush();
        return torvane::RunFileCommand(command, args, std::cout, std::cerr);
    }
    if (IsUnitCommand(command)) {
#ifdef TORVANE_CLI_HAS_UNIT_COMMANDS
        return torvane::RunUnitCommand(command, args, std::cout, std::cerr);
#else
        std::cerr << "torvane-cli: " << command << " is not available in this build\n";
        return torvane::ExitUsage;
#endif
    }
    if (command == "log") return torvane::RunLogCommand(args, std::cout, std::cerr);
    std::cerr << "torvane-cli: unknown command " << command << " (see torvane-cli --help)\n";
    return torvane::ExitUsage;
}
