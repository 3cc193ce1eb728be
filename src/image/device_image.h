#pragma once
// The unit's whole configuration as one byte image: 3300 bytes in 11 blocks of 300.
// Block 0 is the unit's header (read only), blocks 1..10 the configuration.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace torvane {

inline constexpr int ProgramVersion = 70;  // layout version of the image this configurator handles
inline constexpr std::size_t ImageSize = 3300;
inline constexpr std::size_t BlockSize = 300;
inline constexpr int BlockCount = 11;

class DeviceImage {
public:
    DeviceImage() { bytes_.fill(0); }

    std::uint8_t byteAt(std::size_t index) const { return index < ImageSize ? bytes_[index] : 0; }
    void setByte(std::size_t index, std::uint8_t value) {
        if (index < ImageSize) bytes_[index] = value;
    }

    // Word k is bytes 300+2k (high) and 301+2k (low), big-endian.
    std::uint16_t wordAt(std::size_t k) const {
        const std::size_t i = 300 + 2 * k;
        return i + 1 < ImageSize ? static_cast<std::uint16_t>(bytes_[i] << 8 | bytes_[i + 1]) : 0;
    }
    void setWord(std::size_t k, std::uint16_t value) {
        const std::size_t i = 300 + 2 * k;
        if (i + 1 >= ImageSize) return;
        bytes_[i] = static_cast<std::uint8_t>(value >> 8);
        bytes_[i + 1] = static_cast<std::uint8_t>(value & 0xFF);
    }

    std::span<const std::uint8_t, BlockSize> block(int b) const {
        return std::span<const std::uint8_t, BlockSize>(bytes_.data() + BlockSize * static_cast<std::size_t>(b),
                                                        BlockSize);
    }
    std::span<std::uint8_t, BlockSize> block(int b) {
        return std::span<std::uint8_t, BlockSize>(bytes_.data() + BlockSize * static_cast<std::size_t>(b),
                                                  BlockSize);
    }

    const std::array<std::uint8_t, ImageSize>& bytes() const { return bytes_; }
    std::array<std::uint8_t, ImageSize>& bytes() { return bytes_; }

    // The IAP row axis: ten words kept beside the image, never sent to the unit.
    std::array<std::uint16_t, 10> IapAxis{};

    friend bool operator==(const DeviceImage&, const DeviceImage&) = default;

private:
    std::array<std::uint8_t, ImageSize> bytes_;
};

}  // namespace torvane
