// torvane-cli's read, verify and program over the real serial adapter against the simulated unit
// on a pseudo-terminal, at the window's real 55 ms pace.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/unit_commands.h"
#include "e2e/sim_process.h"
#include "files/parameter_file.h"
#include "image/defaults.h"
#include "image/device_image.h"
#include "image/fields.h"
#include "image/normalize.h"

namespace torvane {
namespace {

using e2e::SimProcess;

// A tuned configuration of the start-up type: its defaults with a reworked advance map. The unit
// holds it and gives it back unchanged through a read and its verification.
DeviceImage SettledImage() {
    DeviceImage image;
    image.setByte(Field(FieldId::Bike).index, static_cast<std::uint8_t>(StartupBikeCode));
    InjectionWork work;
    ApplyDefaults(image, work, false, 0);
    const FieldInfo& advance = Field(FieldId::Advance);
    for (int c = 0; c < advance.count; ++c) {
        image.setByte(advance.index + static_cast<std::size_t>(c), static_cast<std::uint8_t>(20 + c % 23));
    }
    NormalizeImage(image);
    return image;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class UnitTransferE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::ranges::replace(name, '/', '_');
        dir_ = std::filesystem::temp_directory_path() /
               ("torvane-e2e-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        // The simulator starts with a settled configuration, as a unit that was programmed before.
        const DeviceImage settled = SettledImage();
        std::ofstream raw(path("unit.bin"), std::ios::binary);
        raw.write(reinterpret_cast<const char*>(settled.bytes().data()), ImageSize);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::unique_ptr<SimProcess> startSim(std::vector<std::string> knobs) {
        knobs.insert(knobs.end(), {"--image", path("unit.bin")});
        auto sim = std::make_unique<SimProcess>(TORVANE_UNIT_SIM_PATH, knobs);
        EXPECT_FALSE(sim->terminal().empty()) << "the simulator printed no terminal";
        return sim;
    }

    int cli(const std::string& command, const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return RunUnitCommand(command, args, out_, err_);
    }

    std::filesystem::path dir_;
    std::ostringstream out_, err_;
};

TEST_F(UnitTransferE2e, ReadThenProgramAChangeLeavesTheUnitHoldingIt) {
    auto sim = startSim({});
    const std::string tty = sim->terminal();

    ASSERT_EQ(cli("read", {"--port", tty, "-o", path("read.ign")}), UnitExitOk) << err_.str();
    EXPECT_NE(out_.str().find("Read:\n"), std::string::npos);
    EXPECT_NE(out_.str().find("Verify: OK\n"), std::string::npos);
    EXPECT_EQ(FileText(path("read.ign")), FormatParameterFile(SettledImage()));

    // Step one cell of the advance map and program the changed file.
    DeviceImage changed;
    ASSERT_EQ(LoadParameterFile(path("read.ign"), changed), FileResult::Ok);
    const std::size_t Cell = Field(FieldId::Advance).index + 15 * 4 + 7;
    changed.setByte(Cell, static_cast<std::uint8_t>(changed.byteAt(Cell) == 40 ? 41 : 40));
    NormalizeImage(changed);
    ASSERT_EQ(SaveParameterFile(path("changed.ign"), changed), FileResult::Ok);
    ASSERT_NE(FileText(path("changed.ign")), FileText(path("read.ign")));

    ASSERT_EQ(cli("program", {"--port", tty, path("changed.ign")}), UnitExitOk) << err_.str();
    EXPECT_NE(out_.str().find("Program device:\n"), std::string::npos);
    // The tool ends only after the unit's storing, with the programming caption back.
    const auto saving = out_.str().find("Saving:\n");
    ASSERT_NE(saving, std::string::npos) << out_.str();
    EXPECT_GT(out_.str().rfind("Program device: OK\n"), saving);

    ASSERT_EQ(cli("verify", {"--port", tty, path("changed.ign")}), UnitExitOk) << err_.str();
    ASSERT_EQ(cli("read", {"--port", tty, "-o", path("back.ign")}), UnitExitOk) << err_.str();
    EXPECT_EQ(FileText(path("back.ign")), FileText(path("changed.ign")));

    // The file read before the change no longer matches the unit.
    EXPECT_EQ(cli("verify", {"--port", tty, path("read.ign")}), UnitExitTransferFailed);
    EXPECT_NE(err_.str().find("Verify error!"), std::string::npos);
}

class LineFaultE2e : public UnitTransferE2e,
                     public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(LineFaultE2e, ProgramAndReadCompleteThroughTheFault) {
    ASSERT_EQ(SaveParameterFile(path("settled.ign"), SettledImage()), FileResult::Ok);
    auto sim = startSim(GetParam());
    const std::string tty = sim->terminal();
    EXPECT_EQ(cli("program", {"--port", tty, path("settled.ign")}), UnitExitOk) << err_.str();
    EXPECT_EQ(cli("read", {"--port", tty, "-o", path("back.ign")}), UnitExitOk) << err_.str();
    EXPECT_EQ(FileText(path("back.ign")), FileText(path("settled.ign")));
}

INSTANTIATE_TEST_SUITE_P(DroppedCorruptedNoisy, LineFaultE2e,
                         ::testing::Values(std::vector<std::string>{"--drop-every", "7"},
                                           std::vector<std::string>{"--corrupt-every", "6"},
                                           std::vector<std::string>{"--noise-every", "3"}));

TEST_F(UnitTransferE2e, SilentUnitAndWrongVersionFailWithTheirMessages) {
    {
        auto sim = startSim({"--silent"});
        EXPECT_EQ(cli("read", {"--port", sim->terminal(), "-o", path("none.ign")}), UnitExitTransferFailed);
        EXPECT_NE(err_.str().find("Read error!\n"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(path("none.ign")));
    }
    {
        auto sim = startSim({"--version", "69"});
        EXPECT_EQ(cli("read", {"--port", sim->terminal(), "-o", path("none.ign")}), UnitExitTransferFailed);
        EXPECT_NE(err_.str().find("Unmatched version of PC and Ignition programs!  PC-70, IGN-69"),
                  std::string::npos);
    }
    EXPECT_EQ(cli("read", {"--port", path("no-such-tty"), "-o", path("none.ign")}), UnitExitUsage);
    EXPECT_NE(err_.str().find("Com opening error!"), std::string::npos);
}

#ifdef TORVANE_CLI_PATH
// The installed program gives the same exit codes as the in-process command.
TEST_F(UnitTransferE2e, ProgramExitCodesFromTheTool) {
    ASSERT_EQ(SaveParameterFile(path("settled.ign"), SettledImage()), FileResult::Ok);
    auto sim = startSim({});
    const std::string run = std::string(TORVANE_CLI_PATH) + " program --port " + sim->terminal() + " " +
                            path("settled.ign") + " >" + path("out.txt") + " 2>&1";
    const int status = std::system(run.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << FileText(path("out.txt"));
    EXPECT_NE(FileText(path("out.txt")).find("Program device: OK"), std::string::npos);

    const int usage = std::system(
        (std::string(TORVANE_CLI_PATH) + " program " + path("settled.ign") + " >/dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(usage));
    EXPECT_EQ(WEXITSTATUS(usage), 2);
}
#endif

}  // namespace
}  // namespace torvane
