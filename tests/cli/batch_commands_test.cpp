// save-all-new and compare-all-new, run in a temporary working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/file_commands.h"
#include "files/service_batch.h"
#include "image/catalogue.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

TEST(BatchCommands, WorkInTheCurrentDirectoryAndExitWithTwoWhenTheyCannotWrite) {
    const fs::path saved = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / "torvane_cli_batch";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
    std::ostringstream out, err;
    const auto run = [&](const std::string& command, const std::vector<std::string>& args) {
        out.str("");
        return RunFileCommand(command, args, out, err);
    };

    std::ofstream("new_ign") << "in the way";
    EXPECT_EQ(run("save-all-new", {}), ExitUsage);
    EXPECT_EQ(run("compare-all-new", {}), ExitUsage);  // nowhere to put the report
    EXPECT_NE(err.str().find("new_ign: Open file error!"), std::string::npos);
    fs::remove("new_ign");

    EXPECT_EQ(run("save-all-new", {"extra"}), ExitUsage);
    EXPECT_EQ(run("save-all-new", {}), ExitOk);
    std::stringstream written;
    written << std::ifstream("new_ign/" + BatchFileName(ItemOfCode(17)), std::ios::binary).rdbuf();
    EXPECT_EQ(run("defaults", {"--bike", "17"}), ExitOk);
    EXPECT_EQ(written.str(), out.str());

    EXPECT_EQ(run("compare-all-new", {}), ExitOk);
    EXPECT_EQ(out.str(), "Results in file \".\\new_ign\\compare_all_new.txt\"\n");
    EXPECT_TRUE(fs::is_regular_file("new_ign/compare_all_new.txt"));

    fs::remove("new_ign/" + BatchFileName(10));
    fs::create_directory("new_ign/" + BatchFileName(10));  // a folder in the way of one type's file
    EXPECT_EQ(run("save-all-new", {}), ExitUsage);
    EXPECT_NE(err.str().find(BatchFileName(10) + ": Open file error!"), std::string::npos);

    fs::current_path(saved);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace torvane
