#pragma once
// The service batch over all motorcycle types: Save All New writes one parameter file with the full
// defaults of every type into new_ign/, Compare All New compares those files line by line with an
// earlier set in new_ign_old/ and writes a difference report. Maintainers of the per-type tables run
// it after a change to see what the change did to the defaults.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace torvane {

inline constexpr std::string_view BatchNewFolder = "new_ign";
inline constexpr std::string_view BatchOldFolder = "new_ign_old";
inline constexpr std::string_view BatchReportName = "compare_all_new.txt";

// File name of list line i (0..49) of the type list: its text exactly as the type combo shows it, blanks
// included, + ".ign". Empty for a line that is no type (the separator and beyond).
std::string BatchFileName(int listLine);

struct SaveAllNewResult {
    int written = 0;  // files written
    std::vector<std::string>
        failed;  // paths that could not be created (the window shows "Open file error!" for each)
    bool folderFailed = false;  // new_ign/ could not be created
};

// For every motorcycle code 0..49 in code order: the type's full defaults, normalized (what New followed by
// Save gives), written to workingDir/new_ign/<list text>.ign, replacing an existing file. Creates new_ign/
// if missing; when it cannot, nothing is written.
SaveAllNewResult SaveAllNew(const std::filesystem::path& workingDir);

struct CompareAllNewResult {
    bool reportWritten = false;
};

// Compares workingDir/new_ign_old/<name> with workingDir/new_ign/<name> for every list line in list order
// and writes the report workingDir/new_ign/compare_all_new.txt (LF line ends). When the report cannot be
// created the comparison still runs, without output, and reportWritten is false.
CompareAllNewResult CompareAllNew(const std::filesystem::path& workingDir);

// The final message: Results in file ".\new_ign\compare_all_new.txt"
std::string CompareAllNewMessage();

}  // namespace torvane
