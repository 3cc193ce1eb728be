// The configurator as a process: a termination signal or Ctrl+C closes the window in order, so the
// settings file and the image backup are written and the process ends normally.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "e2e/sim_process.h"

#ifdef TORVANE_WINDOW_PATH

namespace {

namespace fs = std::filesystem;
using torvane::e2e::ReadLine;
using torvane::e2e::SpawnWithOutput;

class WindowProcess {
  public:
    explicit WindowProcess(const fs::path& configHome)
        : child_(SpawnWithOutput(
              TORVANE_WINDOW_PATH, {"--simulate", "--report-startup"},
              {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_CONFIG_HOME", configHome.string()}})) {}
    ~WindowProcess() {
        if (child_.out >= 0) ::close(child_.out);
        if (child_.pid > 0 && !reaped_) {
            ::kill(child_.pid, SIGKILL);
            ::waitpid(child_.pid, nullptr, 0);
        }
    }

    // True once the window reports itself shown.
    bool waitShown() {
        return child_.out >= 0 && ReadLine(child_.out, std::chrono::seconds(20)).starts_with("startup-ms");
    }

    // The exit status after the signal, or -1 when the process does not end within ten seconds.
    int signalAndWait(int signal) {
        ::kill(child_.pid, signal);
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (::waitpid(child_.pid, &status, WNOHANG) == child_.pid) {
                reaped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

  private:
    torvane::e2e::Spawned child_;
    bool reaped_ = false;
};

class WindowSignal : public ::testing::TestWithParam<int> {};

TEST_P(WindowSignal, ClosesInOrderAndWritesSettingsAndBackup) {
    const fs::path home = fs::temp_directory_path() /
                          ("torvane-signal-" + std::to_string(::getpid()) + "-" + std::to_string(GetParam()));
    fs::remove_all(home);
    fs::create_directories(home);
    {
        WindowProcess window(home);
        ASSERT_TRUE(window.waitShown());
        EXPECT_EQ(window.signalAndWait(GetParam()), 0);
    }
    EXPECT_TRUE(fs::exists(home / "torvane" / "Torvane_2008_v70ini"));
    EXPECT_TRUE(fs::exists(home / "torvane" / "_Torvane_2008_v70ini"));
    fs::remove_all(home);
}

INSTANTIATE_TEST_SUITE_P(TermAndInterrupt, WindowSignal, ::testing::Values(SIGTERM, SIGINT));

}  // namespace

#endif
