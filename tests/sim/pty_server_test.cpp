#include "sim/pty_server.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace torvane {
namespace {

using namespace std::chrono_literals;

// Opens the terminal the way a serial adapter does: raw, 115200 baud.
int OpenClient(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return fd;
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

void WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + sent, bytes.size() - sent);
        ASSERT_GT(n, 0);
        sent += static_cast<std::size_t>(n);
    }
}

// Collects bytes until want have arrived or the time is up.
std::vector<std::uint8_t> ReadUpTo(int fd, std::size_t want, std::chrono::milliseconds within) {
    std::vector<std::uint8_t> got;
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (got.size() < want) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        std::uint8_t buffer[1024];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

// Waits until done() holds, looking every millisecond, for at most within.
template <typename Condition>
void WaitUntil(Condition done, std::chrono::milliseconds within = 2000ms) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!done() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
}

// Waits until the server has begun and ended a whole pass over the terminal since this call, so it
// has seen whatever the client did before.
void WaitForAFreshPass(const PtyServer& server) {
    const std::size_t seen = server.passes();
    WaitUntil([&] { return server.passes() >= seen + 2; });
}

class PtyServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.start()) << server.error();
        ASSERT_FALSE(server.slavePath().empty());
        thread = std::thread([this] { server.serve([this] { return running.load(); }); });
    }
    void TearDown() override {
        running = false;
        if (thread.joinable()) thread.join();
    }

    UnitModel unit;
    PtyServer server{unit};
    std::atomic<bool> running{true};
    std::thread thread;
};

TEST_F(PtyServerTest, AnswersAMonitorRequestOverTheTerminal) {
    const int fd = OpenClient(server.slavePath());
    ASSERT_GE(fd, 0);
    WriteAll(fd, MakeMonitorRequest());
    const auto answer = ReadUpTo(fd, FrameSize, 2000ms);
    ASSERT_EQ(answer.size(), FrameSize);
    EXPECT_EQ(answer[0], MonitorAnswerCommand);
    EXPECT_TRUE(FrameIsValid(answer));
    EXPECT_EQ(answer[150], ProgramVersion);
    ::close(fd);
}

TEST_F(PtyServerTest, KeepsServingWhenTheClientReopens) {
    for (int round = 0; round < 3; ++round) {
        const int fd = OpenClient(server.slavePath());
        ASSERT_GE(fd, 0);
        WriteAll(fd, MakeFrame(ReadCommandBit | 0));
        const auto answer = ReadUpTo(fd, FrameSize, 2000ms);
        ASSERT_EQ(answer.size(), FrameSize) << "round " << round;
        EXPECT_EQ(answer[0], 192);
        EXPECT_EQ(answer[1], 'J');
        ::close(fd);
        WaitForAFreshPass(server);  // the server sees the terminal closed before it opens again
    }
}

TEST_F(PtyServerTest, StaleHalfRequestIsDroppedSoTheNextRequestIsAnswered) {
    const int fd = OpenClient(server.slavePath());
    ASSERT_GE(fd, 0);
    const std::vector<std::uint8_t> half(100, 0x42);
    WriteAll(fd, half);
    // The server throws the half away once no byte has followed for PartialRequestTimeout.
    WaitUntil([&] { return server.partialRequestsDropped() >= 1; });
    WriteAll(fd, MakeMonitorRequest());
    const auto answer = ReadUpTo(fd, FrameSize, 2000ms);
    ASSERT_EQ(answer.size(), FrameSize);
    EXPECT_EQ(answer[0], MonitorAnswerCommand);
    EXPECT_TRUE(FrameIsValid(answer));
    ::close(fd);
}

TEST(PtyServerLate, AnswersAreHeldBack) {
    UnitModel unit;
    unit.faults().lateAnswerMs = 400;
    PtyServer server(unit);
    ASSERT_TRUE(server.start());
    std::atomic<bool> running{true};
    std::thread thread([&] { server.serve([&] { return running.load(); }); });
    const int fd = OpenClient(server.slavePath());
    ASSERT_GE(fd, 0);
    WriteAll(fd, MakeMonitorRequest());
    EXPECT_TRUE(ReadUpTo(fd, 1, 100ms).empty()) << "nothing before the delay";
    const auto answer = ReadUpTo(fd, FrameSize, 3000ms);
    EXPECT_EQ(answer.size(), FrameSize);
    ::close(fd);
    running = false;
    thread.join();
}

#ifdef TORVANE_UNIT_SIM_PATH
// The program prints its terminal first, serves it, and ends cleanly on SIGTERM.
TEST(UnitSimProgram, PrintsItsTerminalServesItAndStopsOnSignal) {
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(TORVANE_UNIT_SIM_PATH, TORVANE_UNIT_SIM_PATH, "--quiet", "--version", "69", nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    // Whatever happens below, the program does not outlive the test.
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
        }
    } reaper{pid};
    std::string line;
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        char c = 0;
        if (::poll(&p, 1, 3000) <= 0 || ::read(out[0], &c, 1) != 1 || c == '\n') break;
        line.push_back(c);
    }
    ASSERT_EQ(line.rfind("/dev/", 0), 0u) << line;
    const int fd = OpenClient(line);
    ASSERT_GE(fd, 0) << line;
    WriteAll(fd, MakeMonitorRequest());
    const auto answer = ReadUpTo(fd, FrameSize, 3000ms);
    ASSERT_EQ(answer.size(), FrameSize);
    EXPECT_EQ(answer[150], 69);
    ::close(fd);

    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    reaper.pid = 0;
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ::close(out[0]);
}
#endif

}  // namespace
}  // namespace torvane
