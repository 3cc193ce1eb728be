#pragma once
// torvane-cli's commands on parameter files: defaults, normalize, show, diff and the service batch
// (save-all-new, compare-all-new).

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// Exit codes of torvane-cli.
inline constexpr int ExitOk = 0;
inline constexpr int ExitRefused = 1;  // a file without the key line of version 70, or a damaged one
inline constexpr int ExitUsage = 2;    // bad arguments, or a file that cannot be read or written

struct FileDamage;

bool IsFileCommand(std::string_view command);

// "The file is damaged at line N (section KEY): it was not opened." in the given language.
std::string DamagedFileMessage(const FileDamage& damage, int languageIndex);

// Runs one of the file commands; `args` are the arguments after the command name. Results go to
// `out`, messages to `err`; the return value is the exit code.
int RunFileCommand(std::string_view command, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err);

// The help lines of the file commands.
void PrintFileCommandHelp(std::ostream& out);

}  // namespace torvane
