#pragma once
// Runs torvane-unit-sim as a child process and learns the pseudo-terminal it serves from the first
// line it prints. The child is stopped with SIGTERM (SIGKILL if it lingers) when the object goes.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace torvane::e2e {

// A child process whose standard output comes back on a pipe.
struct Spawned {
    pid_t pid = -1;
    int out = -1;  // read end of the child's standard output
};

// Starts program with args, and with the given environment variables set in the child only.
inline Spawned SpawnWithOutput(const std::string& program, std::vector<std::string> args,
                               const std::vector<std::pair<std::string, std::string>>& env = {}) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (pid < 0) {
        ::close(out[0]);
        return {};
    }
    return {pid, out[0]};
}

// One line of output (without its line end), or empty when none comes within limit.
inline std::string ReadLine(int fd, std::chrono::milliseconds limit) {
    std::string line;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char c;
        if (::read(fd, &c, 1) != 1) break;
        if (c == '\n') return line;
        line += c;
    }
    return {};
}

class SimProcess {
  public:
    SimProcess(const std::string& program, std::vector<std::string> args) {
        args.insert(args.begin(), "--quiet");
        const Spawned child = SpawnWithOutput(program, std::move(args));
        pid_ = child.pid;
        if (child.out < 0) return;
        path_ = ReadLine(child.out, std::chrono::seconds(5));
        ::close(child.out);
    }

    ~SimProcess() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }

    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The terminal's path; empty when the simulator did not start.
    const std::string& terminal() const { return path_; }

  private:
    pid_t pid_ = -1;
    std::string path_;
};

}  // namespace torvane::e2e
