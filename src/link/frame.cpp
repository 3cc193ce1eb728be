#include "link/frame.h"

#include <algorithm>

namespace torvane {

std::uint8_t FrameChecksum(std::span<const std::uint8_t> firstBytes301) {
    std::uint8_t x = 255;
    for (std::size_t i = 0; i < firstBytes301.size() && i < FrameSize - 1; ++i) x ^= firstBytes301[i];
    return x;
}

bool FrameIsValid(std::span<const std::uint8_t> frame) {
    if (frame.size() < FrameSize) return false;
    std::uint8_t x = 255;
    for (std::size_t i = 0; i < FrameSize; ++i) x ^= frame[i];
    return x == 0;
}

DeviceFrame MakeFrame(std::uint8_t command, std::span<const std::uint8_t> payload) {
    DeviceFrame f{};
    f[0] = command;
    std::copy_n(payload.begin(), std::min(payload.size(), PayloadSize), f.begin() + 1);
    f[FrameSize - 1] = FrameChecksum(std::span<const std::uint8_t>(f.data(), FrameSize - 1));
    return f;
}

DeviceFrame MakeMonitorRequest() {
    return MakeFrame(MonitorRequestCommand);
}

}  // namespace torvane
