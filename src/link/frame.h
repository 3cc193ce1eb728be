#pragma once
// The 302-byte frame every exchange with the unit uses: command, 300 payload bytes, checksum.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace torvane {

inline constexpr std::size_t FrameSize = 302;
inline constexpr std::size_t PayloadSize = 300;
using DeviceFrame = std::array<std::uint8_t, FrameSize>;

inline constexpr std::uint8_t MonitorRequestCommand = 48;
inline constexpr std::uint8_t MonitorAnswerCommand = 176;
inline constexpr std::uint8_t ReadCommandBit = 64;  // bit 6: read (or verify) instead of write
inline constexpr std::uint8_t AnswerBit = 128;      // bit 7: set in every answer
inline constexpr std::uint8_t BlockMask = 63;

// NOT of the XOR of bytes 0..300.
std::uint8_t FrameChecksum(std::span<const std::uint8_t> firstBytes301);
// True when the XOR of all 302 bytes, XORed with 255, is 0.
bool FrameIsValid(std::span<const std::uint8_t> frame);
// Builds a complete frame from a command and a payload (zeros when the payload is empty).
DeviceFrame MakeFrame(std::uint8_t command, std::span<const std::uint8_t> payload = {});
DeviceFrame MakeMonitorRequest();

}  // namespace torvane
