#pragma once
// A serial port whose far end is a UnitModel in the same process: requests written to it are
// handed to the unit, and the unit's answers wait in the receive queue for the next poll.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/serial_port.h"
#include "sim/unit_model.h"

namespace torvane {

struct LoopbackKnobs {
    bool portMissing = false;       // open() fails
    bool statusQueryFails = false;  // bytesWaiting() reports no count
    // Unit time that passes with each poll (bytesWaiting), so the engine and the storing countdown
    // move on at the pace of the configurator's timer. 0 stops the unit's clock.
    double secondsPerPoll = 0.055;
};

class LoopbackPort : public SerialPort {
  public:
    static constexpr std::size_t RecentRequestLimit = 64;

    explicit LoopbackPort(UnitModel& unit) : unit_(unit) {}

    bool open(const std::string& device) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool write(std::span<const std::uint8_t> bytes) override;
    std::optional<std::size_t> bytesWaiting() override;
    std::size_t read(std::span<std::uint8_t> buffer) override;

    LoopbackKnobs& knobs() { return knobs_; }
    UnitModel& unit() { return unit_; }
    const std::string& device() const { return device_; }

    // Puts raw bytes into the receive queue, as if the line had delivered them.
    void injectReceived(std::span<const std::uint8_t> bytes);
    // Bytes in the receive queue, whatever the knobs say.
    std::size_t queuedBytes() const { return received_.size(); }
    // The last requests handed to the unit, oldest first.
    const std::deque<DeviceFrame>& recentRequests() const { return recent_; }
    std::size_t requestCount() const { return requestCount_; }

  private:
    struct HeldAnswer {
        int pollsLeft;
        std::vector<std::uint8_t> bytes;
    };

    UnitModel& unit_;
    LoopbackKnobs knobs_;
    bool open_ = false;
    std::string device_;
    std::vector<std::uint8_t> partial_;  // request bytes not yet making a whole frame
    std::deque<std::uint8_t> received_;
    std::deque<HeldAnswer> held_;
    std::deque<DeviceFrame> recent_;
    std::size_t requestCount_ = 0;
};

}  // namespace torvane
