#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "link/frame.h"

namespace torvane {

namespace {

std::string Describe(std::uint8_t command) {
    char text[48];
    if (command == MonitorRequestCommand) {
        std::snprintf(text, sizeof text, "monitor");
    } else if (command & ReadCommandBit) {
        std::snprintf(text, sizeof text, "read block %d", command & BlockMask);
    } else {
        std::snprintf(text, sizeof text, "program block %d", command & BlockMask);
    }
    return text;
}

}  // namespace

PtyServer::~PtyServer() {
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::start() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error_ = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error_ = std::string("cannot unlock the pseudo-terminal: ") + std::strerror(errno);
        ::close(master_);
        master_ = -1;
        return false;
    }
    const char* name = ::ptsname(master_);
    slavePath_ = name ? name : "";
    termios tio{};
    if (::tcgetattr(master_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B115200);
        ::cfsetospeed(&tio, B115200);
        ::tcsetattr(master_, TCSANOW, &tio);
    }
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags >= 0) ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    lastAdvance_ = Clock::now();
    return true;
}

void PtyServer::advanceClock(Clock::time_point now) {
    const std::chrono::duration<double> elapsed = now - lastAdvance_;
    lastAdvance_ = now;
    unit_.Advance(elapsed.count());
}

void PtyServer::clientGone() {
    if (clientPresent_) log("client closed the terminal");
    clientPresent_ = false;
    partial_.clear();
    held_.clear();
    // Answers nobody read would greet the next client as stray bytes.
    ::tcflush(master_, TCIOFLUSH);
}

void PtyServer::serveOnce(std::chrono::milliseconds timeout) {
    if (master_ < 0) return;
    auto now = Clock::now();
    if (!held_.empty()) {
        const auto untilDue = std::chrono::duration_cast<std::chrono::milliseconds>(held_.front().due - now);
        timeout = std::clamp(untilDue + std::chrono::milliseconds(1), std::chrono::milliseconds(0), timeout);
    }
    if (!partial_.empty()) {
        const auto untilStale =
            std::chrono::duration_cast<std::chrono::milliseconds>(lastByte_ + PartialRequestTimeout - now);
        timeout =
            std::clamp(untilStale + std::chrono::milliseconds(1), std::chrono::milliseconds(0), timeout);
    }

    pollfd p{master_, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
    now = Clock::now();
    advanceClock(now);

    bool hungUp = ready > 0 && (p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLIN);
    if (ready > 0 && (p.revents & POLLIN)) {
        std::array<std::uint8_t, 4096> buffer;
        for (;;) {
            const ssize_t n = ::read(master_, buffer.data(), buffer.size());
            if (n > 0) {
                if (!clientPresent_) log("client connected");
                clientPresent_ = true;
                receive(buffer.data(), static_cast<std::size_t>(n), now);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EIO) hungUp = true;  // no client holds the terminal open
            break;
        }
    }
    if (hungUp) {
        clientGone();
        std::this_thread::sleep_for(NoClientPause);
        ++passes_;
        return;
    }
    if (!partial_.empty() && now - lastByte_ > PartialRequestTimeout) {
        partial_.clear();
        ++partialDropped_;
        log("dropped an incomplete request");
    }
    sendDueAnswers(now);
    ++passes_;
}

void PtyServer::serve(const std::function<bool()>& keepGoing) {
    constexpr std::chrono::milliseconds Slice{20};
    while (keepGoing()) serveOnce(Slice);
}

void PtyServer::receive(const std::uint8_t* data, std::size_t n, Clock::time_point now) {
    if (!partial_.empty() && now - lastByte_ > PartialRequestTimeout) {
        partial_.clear();
        ++partialDropped_;
        log("dropped an incomplete request");
    }
    lastByte_ = now;
    partial_.insert(partial_.end(), data, data + n);
    std::size_t used = 0;
    while (partial_.size() - used >= FrameSize) {
        const std::span<const std::uint8_t> request(partial_.data() + used, FrameSize);
        used += FrameSize;
        ++requestsServed_;
        std::vector<std::uint8_t> answer = unit_.HandleRequest(request);
        log(Describe(request[0]) + (answer.empty() ? ": no answer" : ""));
        if (answer.empty()) continue;
        const int lateMs = unit_.faults().lateAnswerMs;
        if (lateMs > 0) {
            held_.push_back({now + std::chrono::milliseconds(lateMs), std::move(answer)});
        } else {
            sendAnswer(answer);
        }
    }
    partial_.erase(partial_.begin(), partial_.begin() + static_cast<std::ptrdiff_t>(used));
}

void PtyServer::sendDueAnswers(Clock::time_point now) {
    while (!held_.empty() && held_.front().due <= now) {
        sendAnswer(held_.front().bytes);
        held_.pop_front();
    }
}

void PtyServer::sendAnswer(const std::vector<std::uint8_t>& bytes) {
    std::size_t sent = 0;
    const auto deadline = Clock::now() + WriteTimeout;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && Clock::now() < deadline) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 10);
            continue;
        }
        log("answer not delivered");
        return;
    }
}

}  // namespace torvane
