#pragma once
// Serves a UnitModel on a pseudo-terminal, so a real serial adapter can talk to the simulated unit.
// The master side stays open for the server's whole life; clients may close and reopen the
// terminal at any time.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "sim/unit_model.h"

namespace torvane {

class PtyServer {
  public:
    using Clock = std::chrono::steady_clock;
    // A request whose bytes stop arriving for longer than this is thrown away, so the server falls
    // back into step with the client's frames.
    static constexpr std::chrono::milliseconds PartialRequestTimeout{50};
    // How long to sleep while no client holds the terminal open.
    static constexpr std::chrono::milliseconds NoClientPause{20};
    // How long an answer may wait for room in the terminal's queue before it is given up.
    static constexpr std::chrono::milliseconds WriteTimeout{100};

    explicit PtyServer(UnitModel& unit) : unit_(unit) {}
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Opens the pseudo-terminal in raw mode. False (with a reason in error()) on failure.
    bool start();
    const std::string& slavePath() const { return slavePath_; }
    const std::string& error() const { return error_; }

    // Waits up to timeout for bytes, answers complete requests, sends answers that are due and moves
    // the unit's clock on by the real time that has passed.
    void serveOnce(std::chrono::milliseconds timeout);
    // Repeats serveOnce until keepGoing() returns false.
    void serve(const std::function<bool()>& keepGoing);

    void setLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }
    // These counters may be read while another thread serves.
    std::size_t requestsServed() const { return requestsServed_.load(); }
    std::size_t partialRequestsDropped() const { return partialDropped_.load(); }
    // How many calls of serveOnce have ended. Each call looks at the terminal afresh, so once the count
    // has gone up by two from a reading, one whole call began after that reading: whatever a client
    // had written by then has been taken in and its answers sent (those of a late unit are held), and
    // a client that had closed the terminal has been seen gone.
    std::size_t passes() const { return passes_.load(); }

  private:
    struct HeldAnswer {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };

    void receive(const std::uint8_t* data, std::size_t n, Clock::time_point now);
    void sendAnswer(const std::vector<std::uint8_t>& bytes);
    void sendDueAnswers(Clock::time_point now);
    void clientGone();
    void advanceClock(Clock::time_point now);
    void log(const std::string& line) const {
        if (log_) log_(line);
    }

    UnitModel& unit_;
    int master_ = -1;
    std::string slavePath_;
    std::string error_;
    std::vector<std::uint8_t> partial_;
    Clock::time_point lastByte_{};
    Clock::time_point lastAdvance_{};
    std::deque<HeldAnswer> held_;
    bool clientPresent_ = false;
    std::atomic<std::size_t> requestsServed_{0};
    std::atomic<std::size_t> partialDropped_{0};
    std::atomic<std::size_t> passes_{0};
    std::function<void(const std::string&)> log_;
};

}  // namespace torvane
