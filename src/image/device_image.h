#pragma once
// The unit's whole configuration as one byte image: 3300 bytes in 11 blocks of 300.
// Block 0 is the unit's header (read only), blocks 1..10 the configuration.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvane {

inline constexpr int ProgramVersion = 70;  // layout version of the image this configurator handles
inline constexpr std::size_t ImageSize = 3300;
inline constexpr std::size_t BlockSize = 300;
inline constexpr int BlockCount = 11;

// The notes text: NUL-terminated Windows-1250 at 2950..3299; byte 3299 always stays 0.
inline constexpr std::size_t MemoIndex = 2950;
inline constexpr std::size_t MemoMaxLength = 349;

// The three version texts of a unit header, shown in LabelVerze1 (name), LabelVerze2 (date) and
// LabelVerze3 (time).
struct UnitHeaderTexts {
    std::string name;
    std::string date;
    std::string time;
    friend bool operator==(const UnitHeaderTexts&, const UnitHeaderTexts&) = default;
};

// Two-character month of the unit's month code (low byte of the letter sum of "Jan", "Feb", ...);
// "00" for an unknown code.
std::string MonthText(std::uint8_t code);
// Builds the version texts from a header; a header shorter than 46 bytes reads as zeros beyond its end.
UnitHeaderTexts DecodeUnitHeader(std::span<const std::uint8_t> header);
// HeaderDataVersion of a header (0 when the header is too short to hold it).
std::uint8_t HeaderDataVersion(std::span<const std::uint8_t> header);

// Windows-1250 <-> UTF-8. Every byte decodes (the five unassigned ones to the C1 code points of the
// same value), so decoding and encoding again gives the same bytes. Characters the code page lacks and
// malformed UTF-8 encode as '?'.
std::string Utf8FromCp1250(std::span<const std::uint8_t> bytes);
std::string Cp1250FromUtf8(std::string_view text);

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

    // b must be 0..10.
    std::span<const std::uint8_t, BlockSize> block(int b) const {
        return std::span<const std::uint8_t, BlockSize>(
            bytes_.data() + BlockSize * static_cast<std::size_t>(b), BlockSize);
    }
    std::span<std::uint8_t, BlockSize> block(int b) {
        return std::span<std::uint8_t, BlockSize>(bytes_.data() + BlockSize * static_cast<std::size_t>(b),
                                                  BlockSize);
    }

    const std::array<std::uint8_t, ImageSize>& bytes() const { return bytes_; }
    std::array<std::uint8_t, ImageSize>& bytes() { return bytes_; }

    // Header fields of block 0 (written only by the link).
    std::string headerName() const;  // the three short-name characters, up to the first NUL
    std::uint8_t headerVersion() const;
    std::uint8_t headerDay() const;
    std::uint8_t headerMonth() const;
    std::uint8_t headerYear() const;  // year - 2000
    std::uint8_t headerHour() const;
    std::uint8_t headerMinute() const;
    std::uint8_t headerDataVersion() const;
    std::string headerLongName() const;  // up to 30 characters, up to the first NUL
    UnitHeaderTexts headerTexts() const { return DecodeUnitHeader(block(0)); }

    // The notes text as UTF-8. setMemoText keeps at most 349 Windows-1250 characters, NUL-terminates,
    // clears the rest of the memo and always leaves byte 3299 = 0; setting the text already held
    // leaves every byte as it is.
    std::string memoText() const;
    void setMemoText(std::string_view utf8);

    // The IAP row axis: ten words kept beside the image, never sent to the unit.
    std::array<std::uint16_t, 10> IapAxis{};

    friend bool operator==(const DeviceImage&, const DeviceImage&) = default;

  private:
    std::array<std::uint8_t, ImageSize> bytes_;
};

}  // namespace torvane
