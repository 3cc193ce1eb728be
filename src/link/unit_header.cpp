#include "link/unit_header.h"

#include <array>
#include <utility>

namespace torvane {

using namespace header_layout;

namespace {

std::uint8_t At(std::span<const std::uint8_t> header, std::size_t i) {
    return i < header.size() ? header[i] : 0;
}

// Header text bytes are plain ASCII; anything else would not be valid text in the window.
char Printable(std::uint8_t b) {
    return b >= 32 && b < 127 ? static_cast<char>(b) : '?';
}

// Two decimal digits; a value above 99 keeps all its digits rather than showing a non-digit.
std::string TwoDigits(unsigned v, char tensFill) {
    if (v >= 100) return std::to_string(v);
    std::string s(2, '0');
    s[0] = v < 10 ? tensFill : static_cast<char>('0' + v / 10);
    s[1] = static_cast<char>('0' + v % 10);
    return s;
}

}  // namespace

std::string MonthText(std::uint8_t code) {
    static constexpr std::array<std::pair<std::uint8_t, const char*>, 12> Months = {{{25, " 1"},
                                                                                     {13, " 2"},
                                                                                     {32, " 3"},
                                                                                     {35, " 4"},
                                                                                     {39, " 5"},
                                                                                     {45, " 6"},
                                                                                     {43, " 7"},
                                                                                     {29, " 8"},
                                                                                     {40, " 9"},
                                                                                     {38, "10"},
                                                                                     {51, "11"},
                                                                                     {12, "12"}}};
    for (const auto& [c, text] : Months)
        if (c == code) return text;
    return "00";
}

UnitHeaderTexts DecodeUnitHeader(std::span<const std::uint8_t> header) {
    UnitHeaderTexts t;
    if (At(header, HeaderLongNameAt) != 0) {
        for (std::size_t i = 0; i < HeaderLongNameLength; ++i) {
            const std::uint8_t b = At(header, HeaderLongNameAt + i);
            if (b == 0) break;
            t.name += Printable(b);
        }
    } else {
        for (std::size_t i = 0; i < HeaderNameLength; ++i) {
            const std::uint8_t b = At(header, HeaderNameAt + i);
            if (b == 0) break;
            t.name += Printable(b);
        }
        t.name += TwoDigits(At(header, HeaderVersionAt), '0');
    }
    t.date = TwoDigits(At(header, HeaderDayAt), ' ') + "." + MonthText(At(header, HeaderMonthAt)) + ".20" +
             TwoDigits(At(header, HeaderYearAt), '0');
    t.time = TwoDigits(At(header, HeaderHourAt), '0') + ":" + TwoDigits(At(header, HeaderMinuteAt), '0');
    return t;
}

std::uint8_t HeaderDataVersion(std::span<const std::uint8_t> header) {
    return At(header, HeaderDataVersionAt);
}

}  // namespace torvane
