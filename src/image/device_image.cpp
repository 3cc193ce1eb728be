#include "image/device_image.h"

#include <algorithm>
#include <utility>

#include "image/fields.h"

namespace torvane {

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

std::string HeaderString(std::span<const std::uint8_t> header, FieldId field) {
    const FieldInfo& f = Field(field);
    std::string s;
    for (int i = 0; i < f.count; ++i) {
        const std::uint8_t b = At(header, f.index + static_cast<std::size_t>(i));
        if (b == 0) break;
        s += Printable(b);
    }
    return s;
}

std::uint8_t HeaderByte(std::span<const std::uint8_t> header, FieldId field) {
    return At(header, Field(field).index);
}

// Unicode code points of Windows-1250 bytes 0x80..0xFF.
constexpr std::array<char16_t, 128> Cp1250High = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::uint8_t Cp1250Byte(char32_t cp) {
    if (cp < 0x80) return static_cast<std::uint8_t>(cp);
    for (std::size_t i = 0; i < Cp1250High.size(); ++i)
        if (Cp1250High[i] == cp) return static_cast<std::uint8_t>(0x80 + i);
    return '?';
}

// Next code point of a UTF-8 text; a malformed sequence yields U+FFFD and consumes one byte.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = cp << 6 | (c & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
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
    if (At(header, Field(FieldId::HeaderLongName).index) != 0) {
        t.name = HeaderString(header, FieldId::HeaderLongName);
    } else {
        t.name = HeaderString(header, FieldId::HeaderName) +
                 TwoDigits(HeaderByte(header, FieldId::HeaderVersion), '0');
    }
    t.date = TwoDigits(HeaderByte(header, FieldId::HeaderDay), ' ') + "." +
             MonthText(HeaderByte(header, FieldId::HeaderMonth)) + ".20" +
             TwoDigits(HeaderByte(header, FieldId::HeaderYear), '0');
    t.time = TwoDigits(HeaderByte(header, FieldId::HeaderHour), '0') + ":" +
             TwoDigits(HeaderByte(header, FieldId::HeaderMinute), '0');
    return t;
}

std::uint8_t HeaderDataVersion(std::span<const std::uint8_t> header) {
    return HeaderByte(header, FieldId::HeaderDataVersion);
}

std::string Utf8FromCp1250(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::uint8_t b : bytes) AppendUtf8(out, b < 0x80 ? char32_t{b} : char32_t{Cp1250High[b - 0x80u]});
    return out;
}

std::string Cp1250FromUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) out += static_cast<char>(Cp1250Byte(NextCodePoint(text, i)));
    return out;
}

std::string DeviceImage::headerName() const {
    return HeaderString(block(0), FieldId::HeaderName);
}
std::uint8_t DeviceImage::headerVersion() const {
    return HeaderByte(block(0), FieldId::HeaderVersion);
}
std::uint8_t DeviceImage::headerDay() const {
    return HeaderByte(block(0), FieldId::HeaderDay);
}
std::uint8_t DeviceImage::headerMonth() const {
    return HeaderByte(block(0), FieldId::HeaderMonth);
}
std::uint8_t DeviceImage::headerYear() const {
    return HeaderByte(block(0), FieldId::HeaderYear);
}
std::uint8_t DeviceImage::headerHour() const {
    return HeaderByte(block(0), FieldId::HeaderHour);
}
std::uint8_t DeviceImage::headerMinute() const {
    return HeaderByte(block(0), FieldId::HeaderMinute);
}
std::uint8_t DeviceImage::headerDataVersion() const {
    return HeaderByte(block(0), FieldId::HeaderDataVersion);
}
std::string DeviceImage::headerLongName() const {
    return HeaderString(block(0), FieldId::HeaderLongName);
}

std::string DeviceImage::memoText() const {
    const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(MemoIndex);
    const auto end = std::find(begin, begin + static_cast<std::ptrdiff_t>(MemoMaxLength), std::uint8_t{0});
    return Utf8FromCp1250(std::span<const std::uint8_t>(&*begin, static_cast<std::size_t>(end - begin)));
}

void DeviceImage::setMemoText(std::string_view utf8) {
    std::string encoded = Cp1250FromUtf8(utf8);
    // A NUL inside the text ends it, as it does in the unit.
    encoded.resize(std::min({encoded.size(), MemoMaxLength, encoded.find('\0')}));
    if (encoded == Cp1250FromUtf8(memoText()) && bytes_[ImageSize - 1] == 0) return;
    auto memo = bytes_.begin() + static_cast<std::ptrdiff_t>(MemoIndex);
    std::fill(memo, bytes_.end(), std::uint8_t{0});
    std::copy(encoded.begin(), encoded.end(), memo);
}

}  // namespace torvane
