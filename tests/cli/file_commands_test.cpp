#include "cli/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/default_image.h"
#include "files/parameter_file.h"

namespace torvane {
namespace {

class FileCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("torvane_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int run(const std::string& command, const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return RunFileCommand(command, args, out_, err_);
    }

    std::filesystem::path dir_;
    std::ostringstream out_, err_;
};

TEST_F(FileCommands, DefaultsWriteWhatNewAndSaveWould) {
    EXPECT_EQ(run("defaults", {"--bike", "17"}), ExitOk);
    EXPECT_EQ(out_.str(), FormatParameterFile(NewImageForBike(17)));
    EXPECT_EQ(run("defaults", {"--bike", "32", "-o", path("t32.ign")}), ExitOk);
    EXPECT_EQ(read("t32.ign"), FormatParameterFile(NewImageForBike(32)));
    EXPECT_TRUE(out_.str().empty());
}

TEST_F(FileCommands, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"--bike"},
                                                 {"--bike", "50"},
                                                 {"--bike", "-1"},
                                                 {"--bike", "3x"},
                                                 {"--frob"},
                                                 {"--bike", "3", "extra"}})
        EXPECT_EQ(run("defaults", args), ExitUsage) << (args.empty() ? "" : args[0]);
    EXPECT_EQ(run("show", {}), ExitUsage);
    EXPECT_EQ(run("diff", {path("a.ign")}), ExitUsage);
    EXPECT_EQ(run("normalize", {"a", "b"}), ExitUsage);
    EXPECT_EQ(run("frob", {}), ExitUsage);
    EXPECT_FALSE(err_.str().empty());
    EXPECT_EQ(run("defaults", {"--bike", "3", "-o", path("no/such/dir.ign")}), ExitUsage);
}

TEST_F(FileCommands, RefusedAndUnreadableFiles) {
    write("old.ign", "KESTRAVO_KEY    69 \r\nBIKE 3\r\n");
    EXPECT_EQ(run("show", {path("old.ign")}), ExitRefused);
    EXPECT_NE(err_.str().find("Unmatched version of *.ign file!"), std::string::npos);
    EXPECT_EQ(run("normalize", {path("old.ign")}), ExitRefused);
    EXPECT_EQ(read("old.ign"), "KESTRAVO_KEY    69 \r\nBIKE 3\r\n");  // left alone
    EXPECT_EQ(run("show", {path("missing.ign")}), ExitUsage);
    EXPECT_NE(err_.str().find("Open file error!"), std::string::npos);
    write("ok.ign", FormatParameterFile(NewImageForBike(5)));
    EXPECT_EQ(run("diff", {path("ok.ign"), path("old.ign")}), ExitRefused);
    EXPECT_EQ(run("diff", {path("missing.ign"), path("ok.ign")}), ExitUsage);
}

TEST_F(FileCommands, DamagedFilesExitWithOneAndWriteNothing) {
    // Cut after line 30, inside ADVANCE.
    const std::string whole = FormatParameterFile(NewImageForBike(5));
    std::size_t end = 0;
    for (int line = 0; line < 30; ++line) end = whole.find('\n', end) + 1;
    const std::string cut = whole.substr(0, end);
    write("cut.ign", cut);
    write("ok.ign", whole);
    const std::string message =
        "cut.ign: The file is damaged at line 30 (section ADVANCE): it was not opened.\n";

    EXPECT_EQ(run("show", {path("cut.ign")}), ExitRefused);
    EXPECT_TRUE(out_.str().empty());
    EXPECT_TRUE(err_.str().ends_with(message)) << err_.str();
    EXPECT_EQ(run("normalize", {path("cut.ign"), "-o", path("out.ign")}), ExitRefused);
    EXPECT_FALSE(std::filesystem::exists(path("out.ign")));
    EXPECT_EQ(run("normalize", {path("cut.ign")}), ExitRefused);
    EXPECT_EQ(read("cut.ign"), cut);  // not rewritten in place
    EXPECT_EQ(run("diff", {path("ok.ign"), path("cut.ign")}), ExitRefused);
    EXPECT_TRUE(out_.str().empty());

    write("word.ign", "KESTRAVO_KEY 70\nBIKE 5\nLIMITER 90 90 x 90 30\n");
    EXPECT_EQ(run("show", {path("word.ign")}), ExitRefused);
    EXPECT_NE(err_.str().find("damaged at line 3 (section LIMITER)"), std::string::npos) << err_.str();
}

TEST_F(FileCommands, OutOfRangeValuesAreLimitedNotWrapped) {
    write("high.ign", "KESTRAVO_KEY 70\r\nBIKE 32\r\nLIMITER 9000 26000 9000 9000 30\r\n");
    EXPECT_EQ(run("show", {path("high.ign")}), ExitOk);
    EXPECT_NE(out_.str().find("IgnLimiter [rpm]: 25500\n"), std::string::npos);  // not 400
}

TEST_F(FileCommands, NormalizeRepairsTheFile) {
    // JetB above 100 and a falling advance axis are repaired; the rest keeps the type's defaults.
    std::string jetB = "JET_B 150";
    for (int cell = 1; cell < 150; ++cell) jetB += " 7";
    std::string rpmAdv = "RPM_ADV 5000";
    for (int column = 1; column < 15; ++column) rpmAdv += " 4000";
    write("in.ign", "KESTRAVO_KEY 70\r\nBIKE 32\r\n" + jetB + "\r\n" + rpmAdv + "\r\nCOOLING 77\r\n");
    EXPECT_EQ(run("normalize", {path("in.ign"), "-o", path("out.ign")}), ExitOk);
    DeviceImage image;
    ASSERT_EQ(LoadParameterFile(path("out.ign"), image), FileResult::Ok);
    EXPECT_EQ(image.byteAt(2200), 100);
    EXPECT_EQ(image.byteAt(2201), 7);
    EXPECT_EQ(image.byteAt(715), 50);
    EXPECT_EQ(image.byteAt(716), 51);
    EXPECT_EQ(image.byteAt(360), 77);
    EXPECT_EQ(run("normalize", {path("in.ign")}), ExitOk);  // in place without -o
    EXPECT_EQ(read("in.ign"), read("out.ign"));
}

TEST_F(FileCommands, ShowAndDiffUseEngineeringUnits) {
    DeviceImage a = NewImageForBike(32);
    DeviceImage b = a;
    b.setByte(309, 120);      // IgnLimiter 12000 rpm
    b.setByte(365, 95);       // AdvCorrCyl1 -5 degrees
    b.setByte(850 + 16, 33);  // Advance row 1, column 1
    b.setMemoText("new note");
    write("a.ign", FormatParameterFile(a));
    write("b.ign", FormatParameterFile(b));

    EXPECT_EQ(run("show", {path("b.ign")}), ExitOk);
    const std::string shown = out_.str();
    EXPECT_NE(shown.find("IgnLimiter [rpm]: 12000\n"), std::string::npos);
    EXPECT_NE(shown.find("AdvCorrCyl1 [°]: -5\n"), std::string::npos);
    EXPECT_NE(shown.find("Tps100 [mV]: 4300\n"), std::string::npos);
    EXPECT_NE(shown.find("IapAxis [kPa]: 30 50 60 70 75 80 85 90 95 100\n"), std::string::npos);
    EXPECT_NE(shown.find("Memo: \"new note\""), std::string::npos);
    EXPECT_EQ(shown.find("HeaderName"), std::string::npos);  // the unit header is not in files
    const std::size_t advance = shown.find("Advance [°]:\n");
    ASSERT_NE(advance, std::string::npos);
    EXPECT_NE(shown.find("\n        16     33", advance), std::string::npos);  // second grid row

    EXPECT_EQ(run("diff", {path("a.ign"), path("b.ign")}), ExitOk);
    EXPECT_EQ(out_.str(),
              "IgnLimiter: 14000 | 12000 rpm\n"
              "AdvCorrCyl1: 0 | -5 °\n"
              "Advance[16]: 30 | 33 °\n"
              "Memo: \"\" | \"new note\"\n");
    EXPECT_EQ(run("diff", {path("a.ign"), path("a.ign")}), ExitOk);
    EXPECT_TRUE(out_.str().empty());
}

}  // namespace
}  // namespace torvane
