#pragma once
// Runs torvane-unit-sim as a child process and learns the pseudo-terminal it serves from the first
// line it prints. The child is stopped with SIGTERM (SIGKILL if it lingers) when the object goes.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace torvane::e2e {

class SimProcess {
  public:
    SimProcess(const std::string& program, std::vector<std::string> args) {
        args.insert(args.begin(), "--quiet");
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        if (pid_ < 0) {
            ::close(out[0]);
            return;
        }
        path_ = readLine(out[0], std::chrono::seconds(5));
        ::close(out[0]);
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
    static std::string readLine(int fd, std::chrono::milliseconds limit) {
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

    pid_t pid_ = -1;
    std::string path_;
};

}  // namespace torvane::e2e
