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

#ifdef TORVANE_WINDOW_PATH

namespace {

namespace fs = std::filesystem;

class WindowProcess {
  public:
    explicit WindowProcess(const fs::path& configHome) {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
            ::execl(TORVANE_WINDOW_PATH, TORVANE_WINDOW_PATH, "--simulate", "--report-startup",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
    }
    ~WindowProcess() {
        if (out_ >= 0) ::close(out_);
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // True once the window reports itself shown.
    bool waitShown() {
        std::string text;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < end && text.find("startup-ms") == std::string::npos) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char buffer[256];
            const ssize_t n = ::read(out_, buffer, sizeof buffer);
            if (n <= 0) return false;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text.find("startup-ms") != std::string::npos;
    }

    // The exit status after the signal, or -1 when the process does not end within ten seconds.
    int signalAndWait(int signal) {
        ::kill(pid_, signal);
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
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
