#pragma once
// Builds monitor frames field by field, with a valid checksum unless told otherwise.

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "link/frame.h"

namespace torvane::testing {

struct MonitorFrameBuilder {
    DeviceFrame f{};

    MonitorFrameBuilder() {
        f[0] = MonitorAnswerCommand;
        f[150] = 70;
        f[2] = 0xC0;        // both servos report normal
        setWord(67, 1000);  // no idle correction
    }
    MonitorFrameBuilder& set(std::size_t byte, std::uint8_t value) {
        f[byte] = value;
        return *this;
    }
    MonitorFrameBuilder& setWord(std::size_t word, std::uint16_t value) {
        f[2 * word] = static_cast<std::uint8_t>(value >> 8);
        f[2 * word + 1] = static_cast<std::uint8_t>(value & 0xFF);
        return *this;
    }
    // Sets bytes and then words from {position, value} pairs.
    static MonitorFrameBuilder With(std::initializer_list<std::pair<int, int>> bytes,
                                    std::initializer_list<std::pair<int, int>> words = {}) {
        MonitorFrameBuilder b;
        for (const auto& [i, v] : bytes) b.set(static_cast<std::size_t>(i), static_cast<std::uint8_t>(v));
        for (const auto& [i, v] : words)
            b.setWord(static_cast<std::size_t>(i), static_cast<std::uint16_t>(v));
        return b;
    }
    DeviceFrame frame() const {
        DeviceFrame out = f;
        out[FrameSize - 1] = FrameChecksum(std::span<const std::uint8_t>(out.data(), FrameSize - 1));
        return out;
    }
};

}  // namespace torvane::testing
