#include "cli/file_commands.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

#include "files/default_image.h"
#include "files/field_differences.h"
#include "files/parameter_file.h"
#include "files/service_batch.h"
#include "image/catalogue.h"
#include "image/conversions.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "text/tool_texts.h"

namespace torvane {
namespace {

constexpr std::string_view OpenFileError = "Open file error!";
constexpr std::string_view UnmatchedVersion = "Unmatched version of *.ign file!";

struct Arguments {
    std::vector<std::string> positional;
    std::optional<std::string> output;
    std::optional<std::string> bike;
    std::string error;  // non-empty when the arguments could not be parsed
};

Arguments ParseArguments(const std::vector<std::string>& args, bool takesBike) {
    Arguments a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        const bool isOutput = s == "-o" || s == "--output";
        const bool isBike = takesBike && s == "--bike";
        if (isOutput || isBike) {
            if (i + 1 >= args.size()) {
                a.error = "option " + s + " needs a value";
                return a;
            }
            (isOutput ? a.output : a.bike) = args[++i];
        } else if (s.size() > 1 && s[0] == '-') {
            a.error = "unknown option " + s;
            return a;
        } else {
            a.positional.push_back(s);
        }
    }
    return a;
}

std::optional<int> ParseInt(std::string_view s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// The image a file is opened into: the start-up type's defaults, as in the configurator.
DeviceImage StartImage() {
    return NewImageForBike(StartupBikeCode);
}

// Opens a file fully; prints the reason and returns the exit code on failure.
int OpenFile(const std::string& path, DeviceImage& image, std::ostream& err) {
    FileDamage damage;
    switch (LoadParameterFile(path, image, {}, &damage)) {
        case FileResult::Ok:
            return ExitOk;
        case FileResult::Refused:
            err << path << ": " << UnmatchedVersion << '\n';
            return ExitRefused;
        case FileResult::Damaged:
            err << path << ": " << DamagedFileMessage(damage, 0) << '\n';
            return ExitRefused;
        case FileResult::Unreadable:
            break;
    }
    err << path << ": " << OpenFileError << '\n';
    return ExitUsage;
}

int WriteResult(const DeviceImage& image, const std::optional<std::string>& path, std::ostream& out,
                std::ostream& err) {
    if (!path) {
        out << FormatParameterFile(image);
        return out ? ExitOk : ExitUsage;
    }
    if (SaveParameterFile(*path, image) != FileResult::Ok) {
        err << *path << ": " << OpenFileError << '\n';
        return ExitUsage;
    }
    return ExitOk;
}

// ---- engineering units ---------------------------------------------------------------------------

// The memo as UTF-8 for the terminal; the image holds Windows-1250.
std::string MemoText(const DeviceImage& image) {
    return image.memoText();
}

void PrintField(const DeviceImage& image, const FieldInfo& field, std::ostream& out) {
    if (field.id == FieldId::Memo) {
        out << "Memo: \"" << MemoText(image) << "\"\n";
        return;
    }
    const std::string unit = ShownFieldUnit(image, field);
    out << field.name;
    if (!unit.empty()) out << " [" << unit << ']';
    out << ':';
    if (field.count == 150) {  // a map: ten throttle rows of fifteen rpm columns
        out << '\n';
        for (int row = 0; row < 10; ++row) {
            out << "   ";
            for (int col = 0; col < 15; ++col) {
                char buf[16];
                std::snprintf(buf, sizeof buf, " %6ld", ShownFieldValue(image, field, 15 * row + col));
                out << buf;
            }
            out << '\n';
        }
        return;
    }
    for (int e = 0; e < field.count; ++e) out << ' ' << ShownFieldValue(image, field, e);
    out << '\n';
}

// ---- commands ------------------------------------------------------------------------------------

int RunDefaults(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = ParseArguments(args, true);
    if (!a.error.empty() || !a.positional.empty() || !a.bike) {
        err << (a.error.empty() ? "usage: torvane-cli defaults --bike CODE [-o FILE]" : a.error) << '\n';
        return ExitUsage;
    }
    const std::optional<int> code = ParseInt(*a.bike);
    if (!code || !IsMotorcycleCode(*code)) {
        err << "unknown motorcycle type code " << *a.bike << " (codes are 0 to 49)\n";
        return ExitUsage;
    }
    return WriteResult(NewImageForBike(*code), a.output, out, err);
}

int RunNormalize(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = ParseArguments(args, false);
    if (!a.error.empty() || a.positional.size() != 1) {
        err << (a.error.empty() ? "usage: torvane-cli normalize FILE [-o FILE]" : a.error) << '\n';
        return ExitUsage;
    }
    DeviceImage image = StartImage();
    if (const int rc = OpenFile(a.positional[0], image, err); rc != ExitOk) return rc;
    NormalizeImage(image);
    return WriteResult(image, a.output ? a.output : a.positional[0], out, err);
}

int RunShow(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = ParseArguments(args, false);
    if (!a.error.empty() || a.positional.size() != 1 || a.output) {
        err << (a.error.empty() ? "usage: torvane-cli show FILE" : a.error) << '\n';
        return ExitUsage;
    }
    DeviceImage image = StartImage();
    if (const int rc = OpenFile(a.positional[0], image, err); rc != ExitOk) return rc;
    for (const FieldInfo& field : FieldTable())
        if (IsConfigurationField(field)) PrintField(image, field, out);
    return ExitOk;
}

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = ParseArguments(args, false);
    if (!a.error.empty() || a.positional.size() != 2 || a.output) {
        err << (a.error.empty() ? "usage: torvane-cli diff A B" : a.error) << '\n';
        return ExitUsage;
    }
    DeviceImage left = StartImage();
    DeviceImage right = StartImage();
    if (const int rc = OpenFile(a.positional[0], left, err); rc != ExitOk) return rc;
    if (const int rc = OpenFile(a.positional[1], right, err); rc != ExitOk) return rc;
    for (const FieldDifference& d : DifferingFields(left, right)) out << FormatDifference(d) << '\n';
    return ExitOk;
}

// The service batch in the current directory: new_ign/ and new_ign_old/ below it.
int RunSaveAllNew(const std::vector<std::string>& args, std::ostream& err) {
    if (!args.empty()) {
        err << "usage: torvane-cli save-all-new\n";
        return ExitUsage;
    }
    const SaveAllNewResult result = SaveAllNew(std::filesystem::current_path());
    if (result.folderFailed) {
        err << BatchNewFolder << ": " << OpenFileError << '\n';
        return ExitUsage;
    }
    for (const std::string& path : result.failed) err << path << ": " << OpenFileError << '\n';
    return result.failed.empty() ? ExitOk : ExitUsage;
}

int RunCompareAllNew(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        err << "usage: torvane-cli compare-all-new\n";
        return ExitUsage;
    }
    if (!CompareAllNew(std::filesystem::current_path()).reportWritten) {
        err << BatchNewFolder << '/' << BatchReportName << ": " << OpenFileError << '\n';
        return ExitUsage;
    }
    out << CompareAllNewMessage() << '\n';
    return ExitOk;
}

// Replaces the placeholder `marker` ("%1") by `value`.
std::string Filled(std::string text, std::string_view marker, std::string_view value) {
    if (const std::size_t at = text.find(marker); at != std::string::npos)
        text.replace(at, marker.size(), value);
    return text;
}

}  // namespace

std::string DamagedFileMessage(const FileDamage& damage, int languageIndex) {
    const std::string text = ToolTextOf(ToolText::DamagedParameterFile, languageIndex);
    return Filled(Filled(text, "%1", std::to_string(damage.line)), "%2", damage.section);
}

bool IsFileCommand(std::string_view command) {
    return command == "defaults" || command == "normalize" || command == "show" || command == "diff" ||
           command == "save-all-new" || command == "compare-all-new";
}

int RunFileCommand(std::string_view command, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err) {
    if (command == "defaults") return RunDefaults(args, out, err);
    if (command == "normalize") return RunNormalize(args, out, err);
    if (command == "show") return RunShow(args, out, err);
    if (command == "diff") return RunDiff(args, out, err);
    if (command == "save-all-new") return RunSaveAllNew(args, err);
    if (command == "compare-all-new") return RunCompareAllNew(args, out, err);
    err << "unknown command " << command << '\n';
    return ExitUsage;
}

void PrintFileCommandHelp(std::ostream& out) {
    out << "  defaults --bike CODE [-o FILE]  parameter file with the full defaults of a motorcycle type\n"
           "                                  (code 0 to 49), normalized; to standard output without -o\n"
           "  normalize FILE [-o FILE]        open FILE, normalize it and save it (in place without -o)\n"
           "  show FILE                       every field of FILE by name in engineering units\n"
           "  diff A B                        the fields whose values differ between A and B\n"
           "  save-all-new                    the defaults of every type into new_ign/ of the current\n"
           "                                  directory, one file per type named by its type-list text\n"
           "  compare-all-new                 compare new_ign/ with new_ign_old/ line by line into\n"
           "                                  new_ign/compare_all_new.txt\n";
}

}  // namespace torvane
