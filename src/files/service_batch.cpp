#include "files/service_batch.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "files/atomic_write.h"
#include "files/default_image.h"
#include "files/parameter_file.h"
#include "image/catalogue.h"

namespace torvane {
namespace {

// The report's literal texts, as the maintainers' tools expect them.
constexpr std::string_view TypeSeparator = "------------------------------------------------------   ";
constexpr std::string_view OldFileMissing = "!!!!!!!!!soubor \"old\" se nepodarilo otevrit ";
constexpr std::string_view NewFileMissing =
    "!!!!!!!!!!!soubor \"akt\" se nepodarilo otevrit !!!!!!!!!!!!!!!!";
constexpr std::string_view LineMarker = "....line:";

// The lines of a file as a text-mode read gives them: a CR LF pair ends a line like a lone LF (a memo
// line break, CR CR LF in the file, leaves one CR at the end of its line); a last line without a line
// end still counts.
std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        std::size_t end = lf;
        if (end > start && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(start, end - start));
        start = lf + 1;
    }
    return lines;
}

// One block per differing line: its number, the reference line with every character that both lines
// hold at the same place blanked (so only what changed stands out), and the new line. Lines past the
// end of the shorter file are not compared.
void AppendDifferences(std::string& report, std::string_view oldText, std::string_view newText) {
    const std::vector<std::string_view> oldLines = TextLines(oldText);
    const std::vector<std::string_view> newLines = TextLines(newText);
    const std::size_t common = std::min(oldLines.size(), newLines.size());
    for (std::size_t j = 0; j < common; ++j) {
        const std::string_view before = oldLines[j];
        const std::string_view after = newLines[j];
        if (before == after) continue;
        std::string blanked(before);
        for (std::size_t k = 0; k < std::min(before.size(), after.size()); ++k)
            if (before[k] == after[k]) blanked[k] = ' ';
        report += LineMarker;
        report += std::to_string(j + 1);
        report += '\n';
        report += blanked;
        report += '\n';
        report += after;
        report += '\n';
    }
}

}  // namespace

std::string BatchFileName(int listLine) {
    if (CodeOfItem(listLine) < 0) return {};
    return std::string(ListTextOfItem(listLine)) + ".ign";
}

SaveAllNewResult SaveAllNew(const std::filesystem::path& workingDir) {
    SaveAllNewResult result;
    const std::filesystem::path folder = workingDir / BatchNewFolder;
    std::error_code ec;
    std::filesystem::create_directory(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        result.folderFailed = true;
        return result;
    }
    for (int code = 0; code < MotorcycleTypeCount; ++code) {
        const std::string path = (folder / BatchFileName(ItemOfCode(code))).string();
        // The same image as the command-line defaults: New for the type, then the normalization of Save.
        if (SaveParameterFile(path, NewImageForBike(code)) == FileResult::Ok)
            ++result.written;
        else
            result.failed.push_back(path);
    }
    return result;
}

CompareAllNewResult CompareAllNew(const std::filesystem::path& workingDir) {
    const std::filesystem::path newFolder = workingDir / BatchNewFolder;
    const std::filesystem::path oldFolder = workingDir / BatchOldFolder;
    std::string report;
    for (int line = 0; line < MotorcycleTypeCount; ++line) {
        report += TypeSeparator;
        report += ListTextOfItem(line);
        report += '\n';
        const std::string name = BatchFileName(line);
        const std::optional<std::string> oldText = ReadWholeFile((oldFolder / name).string());
        if (!oldText) {
            report += OldFileMissing;
            report += '\n';
            continue;
        }
        const std::optional<std::string> newText = ReadWholeFile((newFolder / name).string());
        if (!newText) {
            report += NewFileMissing;
            report += '\n';
            continue;
        }
        AppendDifferences(report, *oldText, *newText);
    }
    CompareAllNewResult result;
    result.reportWritten = WriteFileAtomically((newFolder / BatchReportName).string(), report);
    return result;
}

std::string CompareAllNewMessage() {
    return "Results in file \".\\" + std::string(BatchNewFolder) + "\\" + std::string(BatchReportName) + "\"";
}

}  // namespace torvane
