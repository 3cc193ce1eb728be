// torvane-cli log: its arguments, and logs taken from the in-process simulated unit tick by tick.
#include "cli/log_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/unit_commands.h"
#include "files/datalog.h"
#include "link/link_session.h"
#include "sim/loopback_port.h"
#include "sim/unit_model.h"

namespace torvane {
namespace {

TEST(LogCommandLineTest, TakesPortFileSecondsAndFast) {
    std::string error;
    const auto line =
        ParseLogCommandLine({"--fast", "-o", "ride.csv", "--port", "/dev/ttyUSB0", "--seconds", "90"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->device, "/dev/ttyUSB0");
    EXPECT_EQ(line->file, "ride.csv");
    EXPECT_EQ(line->seconds, 90);
    EXPECT_TRUE(line->fast);

    const auto plain = ParseLogCommandLine({"--port", "d", "--output", "x.csv"}, error);
    EXPECT_TRUE(plain && !plain->seconds && !plain->fast) << error;

    const std::vector<std::vector<std::string>> bad = {
        {"--port", "d"},                                  // nowhere to write
        {"-o", "x.csv"},                                  // no port
        {"--port", "d", "-o"},                            // -o without a value
        {"--port", "d", "-o", "x", "--seconds", "0"},     // not a positive count
        {"--port", "d", "-o", "x", "--seconds", "2.5"},   // whole seconds only
        {"--port", "d", "-o", "x", "--seconds", "1e99"},  //
        {"--port", "d", "-o", "x", "--baud", "9600"},     // unknown option
        {"--port", "d", "-o", "x", "extra.csv"},          // a stray argument
        {"--port", "d", "-o", "x", "-o", "y"},            // two logs
    };
    for (const auto& args : bad) EXPECT_FALSE(ParseLogCommandLine(args, error)) << args.back();

    std::ostringstream out, err;
    EXPECT_EQ(RunLogCommand({"--port", "d", "--seconds", "x"}, out, err), UnitExitUsage);
    EXPECT_NE(err.str().find("--seconds"), std::string::npos);
    EXPECT_NE(err.str().find("Usage: torvane-cli log"), std::string::npos);
}

class LogRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("torvane-log-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        unit.engine().hold({3500, 25});
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    int run(const std::string& file, bool fast, LogRunSettings settings, std::optional<int> seconds = {}) {
        LogCommandLine line;
        line.device = "loop";
        line.file = file;
        line.fast = fast;
        line.seconds = seconds;
        out.str("");
        err.str("");
        return RunLogCommandOn(port, line, out, err, settings);
    }
    Datalog read(const std::string& file) {
        std::string error;
        auto log = ReadDatalog(file, error);
        EXPECT_TRUE(log) << error;
        return log ? *log : Datalog{};
    }

    UnitModel unit;
    LoopbackPort port{unit};
    std::ostringstream out, err;
    std::filesystem::path dir_;
};

TEST_F(LogRunTest, LogsEveryMonitorFrameAndFastGivesSixTimesAsMany) {
    LogRunSettings settings;
    settings.maxTicks = 120;
    ASSERT_EQ(run(path("slow.csv"), false, settings), UnitExitOk) << err.str();
    const Datalog slow = read(path("slow.csv"));
    ASSERT_EQ(run(path("fast.csv"), true, settings), UnitExitOk) << err.str();
    const Datalog fast = read(path("fast.csv"));

    // Each answer is read on the tick after its request; the last one is still waiting at the end.
    EXPECT_EQ(slow.rows(), 120u / ResendTicks - 1);
    EXPECT_EQ(fast.rows(), 119u);
    EXPECT_NEAR(fast.value("time", 118), 119 * 0.055, 1e-9);  // stamped with the tick clock
    EXPECT_NEAR(fast.value("rpm", 118), 3500, 200);

    // One line per second of the 6.6 s logged, then the summary.
    const std::string printed = out.str();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 7);
    EXPECT_EQ(printed.rfind("   1 s     18 frames  18.0 frames/s  rpm 3", 0), 0u) << printed;
    EXPECT_TRUE(printed.ends_with("\nLogged 119 frames in 6.6 s to " + path("fast.csv") + "\n")) << printed;
}

TEST_F(LogRunTest, EndsAfterTheSecondsOrWhenStopped) {
    ASSERT_EQ(run(path("timed.csv"), true, {}, 2), UnitExitOk) << err.str();
    // 37 ticks take the tick clock past 2 s; the first has no answer to read yet.
    EXPECT_EQ(read(path("timed.csv")).rows(), 36u);

    // A stop (the signal of the real tool) ends the log cleanly with what came so far.
    int polls = 0;
    LogRunSettings settings;
    settings.stopRequested = [&polls] { return ++polls > 10; };
    ASSERT_EQ(run(path("stopped.csv"), true, settings), UnitExitOk);
    EXPECT_EQ(read(path("stopped.csv")).rows(), 9u);
}

TEST_F(LogRunTest, PortFileAndSilenceFailures) {
    LogRunSettings settings;
    settings.maxTicks = 30;

    unit.faults().silent = true;
    EXPECT_EQ(run(path("silent.csv"), false, settings), UnitExitTransferFailed);
    EXPECT_EQ(read(path("silent.csv")).rows(), 0u);
    EXPECT_NE(err.str().find("no monitor frame"), std::string::npos);
    unit.faults().silent = false;

    EXPECT_EQ(run(path("no-such-folder/x.csv"), false, settings), UnitExitUsage);

    // A port that does not open leaves an earlier log of the same name as it was.
    std::ofstream(path("kept.csv")) << "earlier";
    port.knobs().portMissing = true;
    EXPECT_EQ(run(path("kept.csv"), false, settings), UnitExitUsage);
    std::ifstream in(path("kept.csv"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier");
}

}  // namespace
}  // namespace torvane
