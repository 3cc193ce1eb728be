// The unit commands of torvane-cli against the in-process simulated unit: arguments, how a transfer's
// end becomes an exit code and console lines, and the files written and read around it.

#include "cli/unit_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/console_view.h"
#include "files/parameter_file.h"
#include "image/defaults.h"
#include "image/device_image.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "link/link_session.h"
#include "link/live_values.h"
#include "sim/loopback_port.h"
#include "sim/unit_model.h"

namespace torvane {
namespace {

// A configuration the unit can hold and give back unchanged through a read and its verification.
DeviceImage SettledImage(std::uint8_t seed) {
    DeviceImage image;
    for (std::size_t i = BlockSize; i < ImageSize; ++i)
        image.setByte(i, static_cast<std::uint8_t>(i * 7 + seed));
    NormalizeImage(image);
    return image;
}

bool SameConfiguration(const DeviceImage& a, const DeviceImage& b) {
    for (int blk = 1; blk < BlockCount; ++blk) {
        if (!std::ranges::equal(a.block(blk), b.block(blk))) return false;
    }
    return true;
}

struct Rig {
    UnitModel unit;
    LoopbackPort port{unit};
    DeviceImage image;
    LiveValues live;
    std::ostringstream out, err;
    ConsoleView view{out, err, image};
    LinkSession session{port, image, live, view};

    Rig() {
        view.setShowGauge(false);
        session.setDeviceNamer([](int) { return std::string("loop"); });
        session.OpenComPort();
    }
    TransferResult run(UnitCommand command) { return RunTransfer(session, command, view, {}); }
};

TEST(UnitCommandLineTest, AcceptsTheThreeCommandsWithTheirArguments) {
    std::string error;
    auto read = ParseUnitCommandLine("read", {"--port", "/dev/ttyUSB0", "-o", "out.ign"}, error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->command, UnitCommand::Read);
    EXPECT_EQ(read->device, "/dev/ttyUSB0");
    EXPECT_EQ(read->file, "out.ign");

    auto verify = ParseUnitCommandLine("verify", {"a.ign", "--port", "/dev/pts/3"}, error);
    ASSERT_TRUE(verify) << error;
    EXPECT_EQ(verify->command, UnitCommand::Verify);
    EXPECT_EQ(verify->file, "a.ign");

    auto program = ParseUnitCommandLine("program", {"--port", "COM3", "b.ign", "--language", "CESKY"}, error);
    ASSERT_TRUE(program) << error;
    EXPECT_EQ(program->command, UnitCommand::Program);
    EXPECT_EQ(program->device, "COM3");
    EXPECT_EQ(program->languageIndex, 3);

    auto help = ParseUnitCommandLine("program", {"--help"}, error);
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->help);
}

TEST(UnitCommandLineTest, RefusesIncompleteOrContradictoryArguments) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> bad = {
        {"read", {"-o", "x.ign"}},                                // no port
        {"read", {"--port"}},                                     // port without a value
        {"read", {"--port", "", "-o", "x.ign"}},                  // empty device
        {"read", {"--port", "d"}},                                // nowhere to write
        {"read", {"--port", "d", "-o", "x.ign", "y.ign"}},        // a stray file
        {"verify", {"--port", "d"}},                              // nothing to compare with
        {"verify", {"--port", "d", "a.ign", "b.ign"}},            // two files
        {"program", {"--port", "d", "-o", "x.ign", "a.ign"}},     // -o means nothing here
        {"program", {"--port", "d", "--port", "e", "a.ign"}},     // two ports
        {"program", {"--port", "d", "--baud", "9600", "a.ign"}},  // unknown option
        {"erase", {"--port", "d"}},                               // unknown command
    };
    for (const auto& [command, args] : bad) {
        std::string error;
        EXPECT_FALSE(ParseUnitCommandLine(command, args, error)) << command << " " << args.size();
        EXPECT_FALSE(error.empty());
    }
}

TEST(UnitCommandLineTest, UsageErrorsExitWithTwoAndNameTheProblem) {
    std::ostringstream out, err;
    EXPECT_EQ(RunUnitCommand("read", {"--port", "d"}, out, err), UnitExitUsage);
    EXPECT_NE(err.str().find("-o FILE"), std::string::npos);
    std::ostringstream helpOut, helpErr;
    EXPECT_EQ(RunUnitCommand("verify", {"-h"}, helpOut, helpErr), UnitExitOk);
    EXPECT_NE(helpOut.str().find("torvane-cli verify --port DEVICE FILE"), std::string::npos);
}

TEST(RunTransferTest, ReadTakesTheUnitsConfigurationAndPrintsTheWindowCaptions) {
    Rig rig;
    const DeviceImage stored = SettledImage(3);
    rig.unit.setStoredImage(stored);

    const TransferResult result = rig.run(UnitCommand::Read);
    EXPECT_EQ(result.outcome, TransferOutcome::Ok);
    EXPECT_TRUE(SameConfiguration(rig.image, stored));
    EXPECT_EQ(rig.out.str(), "Read:\nUnit: Jet01  14. 3.2008  16:21\nVerify::\nVerify: OK\n");
    EXPECT_EQ(rig.err.str(), "");
    // A prompt unit answers within the tick: the first request waits for the resend counter, then
    // 21 blocks follow one per tick.
    EXPECT_LE(result.ticks, ResendTicks + 21);
}

TEST(RunTransferTest, VersionMismatchStopsBeforeAnythingIsProgrammed) {
    Rig rig;
    rig.unit.faults().headerDataVersion = 69;
    EXPECT_EQ(rig.run(UnitCommand::Program).outcome, TransferOutcome::VersionMismatch);
    EXPECT_NE(rig.err.str().find("Unmatched version of PC and Ignition programs!  PC-70, IGN-69\n"),
              std::string::npos);
    EXPECT_EQ(rig.unit.programmingCount(), 0);
}

TEST(RunTransferTest, GivesUpWhenTheLinkStopsMakingProgress) {
    Rig rig;
    rig.unit.faults().silent = true;
    const TransferResult result = RunTransfer(rig.session, UnitCommand::Read, rig.view, {}, 10);
    EXPECT_EQ(result.outcome, TransferOutcome::NoEnd);
    EXPECT_EQ(result.ticks, 10);
}

class UnitCommandFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("torvane-unit-cmd-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    int run(UnitCommand command, const std::string& file, LoopbackPort& port, int languageIndex = 0,
            bool restorePoint = true) {
        UnitCommandLine line;
        line.command = command;
        line.device = "loop";
        line.file = file;
        line.languageIndex = languageIndex;
        line.restorePoint = restorePoint;
        UnitRunSettings settings;
        settings.showGauge = false;
        settings.restoreFolder = path("restore");
        return RunUnitCommandOn(port, line, out_, err_, settings);
    }
    // Restore point files written so far.
    std::vector<std::string> restorePoints() const {
        std::vector<std::string> names;
        if (!std::filesystem::exists(dir_ / "restore")) return names;
        for (const auto& e : std::filesystem::directory_iterator(dir_ / "restore"))
            names.push_back(e.path().filename().string());
        return names;
    }

    std::filesystem::path dir_;
    std::ostringstream out_, err_;
};

TEST_F(UnitCommandFileTest, FailedReadLeavesTheFileAlone) {
    UnitModel unit;
    unit.faults().stopAfterReadBlock = 5;
    LoopbackPort port(unit);
    {
        std::ofstream keep(path("kept.ign"));
        keep << "previous";
    }
    EXPECT_EQ(run(UnitCommand::Read, path("kept.ign"), port), UnitExitTransferFailed);
    std::ifstream in(path("kept.ign"));
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "previous");
}

TEST_F(UnitCommandFileTest, ReadWritesWhatProgramPutsBack) {
    // Program a configuration from a file into one unit, read it back into a new file, and program
    // that file into a second unit: both units hold the same configuration.
    const DeviceImage tuned = SettledImage(5);
    ASSERT_EQ(SaveParameterFile(path("tuned.ign"), tuned), FileResult::Ok);

    UnitModel first;
    LoopbackPort firstPort(first);
    ASSERT_EQ(run(UnitCommand::Program, path("tuned.ign"), firstPort), UnitExitOk) << err_.str();
    ASSERT_EQ(run(UnitCommand::Verify, path("tuned.ign"), firstPort), UnitExitOk) << err_.str();
    ASSERT_EQ(run(UnitCommand::Read, path("back.ign"), firstPort), UnitExitOk) << err_.str();
    EXPECT_NE(out_.str().find("Wrote " + path("back.ign")), std::string::npos);

    // The unit keeps no IAP row axis: the file carries the start-up type's default, not a filler.
    DeviceImage startup;
    startup.setByte(Field(FieldId::Bike).index, static_cast<std::uint8_t>(StartupBikeCode));
    InjectionWork work;
    ApplyDefaults(startup, work, false, 0);
    DeviceImage back;
    ASSERT_EQ(LoadParameterFile(path("back.ign"), back), FileResult::Ok);
    EXPECT_EQ(back.IapAxis, startup.IapAxis);

    UnitModel second;
    LoopbackPort secondPort(second);
    ASSERT_EQ(run(UnitCommand::Program, path("back.ign"), secondPort), UnitExitOk) << err_.str();
    EXPECT_TRUE(SameConfiguration(first.storedImage(), second.storedImage()));
}

TEST_F(UnitCommandFileTest, ProgramEndsOnlyOnceTheUnitHasStoredTheConfiguration) {
    ASSERT_EQ(SaveParameterFile(path("tuned.ign"), SettledImage(6)), FileResult::Ok);
    UnitModel unit;
    LoopbackPort port(unit);
    // German captions; the end is still told by the " OK" the window appends in every language.
    ASSERT_EQ(run(UnitCommand::Program, path("tuned.ign"), port, 1), UnitExitOk) << err_.str();
    EXPECT_EQ(unit.savingCountdown(), 0);
    const std::string text = out_.str();
    const auto saving = text.find("Speicherung:\n");
    ASSERT_NE(saving, std::string::npos) << text;
    EXPECT_LT(text.find("Vergleichen: OK\n"), saving);
    // The last caption is the end of the programming; the restore point is told after it.
    const auto restore = text.rfind("Restore point ");
    ASSERT_NE(restore, std::string::npos) << text;
    EXPECT_TRUE(text.substr(0, restore).ends_with("\nProgrammieren: OK\n")) << text;
    ASSERT_EQ(restorePoints().size(), 1u);
    EXPECT_TRUE(restorePoints().front().ends_with("-program.ign"));
}

TEST_F(UnitCommandFileTest, PassedReadLeavesARestorePointUnlessAskedNotTo) {
    UnitModel unit;
    LoopbackPort port(unit);
    ASSERT_EQ(run(UnitCommand::Read, path("a.ign"), port), UnitExitOk) << err_.str();
    ASSERT_EQ(restorePoints().size(), 1u);
    EXPECT_TRUE(restorePoints().front().ends_with("-read.ign"));
    DeviceImage stored, written;
    ASSERT_EQ(LoadParameterFile(path("restore/" + restorePoints().front()), stored), FileResult::Ok);
    ASSERT_EQ(LoadParameterFile(path("a.ign"), written), FileResult::Ok);
    EXPECT_TRUE(SameConfiguration(stored, written));

    LoopbackPort again(unit);
    ASSERT_EQ(run(UnitCommand::Read, path("b.ign"), again, 0, false), UnitExitOk) << err_.str();
    EXPECT_EQ(restorePoints().size(), 1u);
    // A failed transfer leaves none.
    UnitModel broken;
    broken.faults().stopAfterReadBlock = 4;
    LoopbackPort brokenPort(broken);
    EXPECT_EQ(run(UnitCommand::Read, path("c.ign"), brokenPort), UnitExitTransferFailed);
    EXPECT_EQ(restorePoints().size(), 1u);
}

TEST_F(UnitCommandFileTest, FailedVerifyListsTheFieldsInWhichTheUnitDiffers) {
    UnitModel unit;
    LoopbackPort port(unit);
    ASSERT_EQ(run(UnitCommand::Read, path("held.ign"), port), UnitExitOk) << err_.str();
    DeviceImage changed;
    ASSERT_EQ(LoadParameterFile(path("held.ign"), changed), FileResult::Ok);
    SetFieldValue(changed, Field(FieldId::IgnLimiter), 0,
                  FieldValue(changed, Field(FieldId::IgnLimiter)) - 3);
    ASSERT_EQ(SaveParameterFile(path("changed.ign"), changed), FileResult::Ok);
    out_.str("");
    LoopbackPort verifyPort(unit);
    EXPECT_EQ(run(UnitCommand::Verify, path("changed.ign"), verifyPort), UnitExitTransferFailed);
    const std::string text = out_.str();
    EXPECT_NE(text.find("Block 1 differs (file | unit):"), std::string::npos) << text;
    const int was = FieldValue(unit.storedImage(), Field(FieldId::IgnLimiter));
    EXPECT_NE(text.find("IgnLimiter: " + std::to_string(100 * (was - 3)) + " | " + std::to_string(100 * was) +
                        " rpm"),
              std::string::npos)
        << text;
}

TEST_F(UnitCommandFileTest, FileProblemsStopBeforeTheLinkIsTouched) {
    UnitModel unit;
    LoopbackPort port(unit);
    EXPECT_EQ(run(UnitCommand::Program, path("missing.ign"), port), UnitExitUsage);
    {
        std::ofstream wrong(path("old.ign"), std::ios::binary);
        wrong << "KESTRAVO_KEY    69 \r\n";
    }
    EXPECT_EQ(run(UnitCommand::Program, path("old.ign"), port), UnitExitTransferFailed);
    EXPECT_NE(err_.str().find("Unmatched version of *.ign file!"), std::string::npos);
    // A configuration cut short never reaches the unit.
    {
        std::ofstream cut(path("cut.ign"), std::ios::binary);
        cut << "KESTRAVO_KEY    70 \r\n\r\nBIKE            17 \r\n             \r\nLIMITER         90";
    }
    EXPECT_EQ(run(UnitCommand::Program, path("cut.ign"), port), UnitExitTransferFailed);
    EXPECT_NE(err_.str().find(path("cut.ign") +
                              ": The file is damaged at line 5 (section LIMITER): it was not opened.\n"),
              std::string::npos)
        << err_.str();
    EXPECT_EQ(run(UnitCommand::Verify, path("cut.ign"), port), UnitExitTransferFailed);
    EXPECT_EQ(port.requestCount(), 0u);
    EXPECT_EQ(unit.programmingCount(), 0);
    EXPECT_TRUE(restorePoints().empty());
}

}  // namespace
}  // namespace torvane
