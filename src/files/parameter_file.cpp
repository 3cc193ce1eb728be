#include "files/parameter_file.h"

#include <cstdint>
#include <cstdio>

#include "files/atomic_write.h"
#include "files/parameter_layout.h"
#include "image/conversions.h"

namespace torvane {
namespace {

constexpr std::size_t Jet1423ModeIndex = 371;
constexpr int CoupledChannels = 1;

int MultiplierOf(const LayoutItem& item, const DeviceImage& image) {
    switch (item.code) {
        case ValueCode::ServoIn:
            return ServoMapStep(image, true);
        case ValueCode::ServoEx:
            return ServoMapStep(image, false);
        case ValueCode::IdlePos:
            return IdleServoScaleOf(image).step;
        default:
            return item.mul;
    }
}

bool IsByteCode(ValueCode code) {
    return code == ValueCode::Byte || code == ValueCode::ServoIn || code == ValueCode::ServoEx ||
           code == ValueCode::IdlePos;
}

std::uint16_t WordAtIndex(const DeviceImage& image, std::size_t i) {
    return static_cast<std::uint16_t>(image.byteAt(i) << 8 | image.byteAt(i + 1));
}

// ---- writing -------------------------------------------------------------------------------------

void AppendUnsigned(std::string& out, std::uint32_t v) {
    char buf[16];
    const int n = std::snprintf(buf, sizeof buf, "%5u ", static_cast<unsigned>(v));
    out.append(buf, static_cast<std::size_t>(n));
}

void AppendValue(std::string& out, const LayoutItem& item, int element, const DeviceImage& image) {
    const std::size_t at = item.index + static_cast<std::size_t>(element);
    const std::size_t wordAt = item.index + 2 * static_cast<std::size_t>(element);
    switch (item.code) {
        case ValueCode::Byte:
        case ValueCode::ServoIn:
        case ValueCode::ServoEx:
        case ValueCode::IdlePos: {
            // Formed in signed 32-bit arithmetic and printed unsigned: a negative result shows as
            // 4294967296 + result, which the reader's modular arithmetic turns back into the byte.
            const std::int32_t product = (static_cast<std::int32_t>(image.byteAt(at)) + item.add) *
                                         static_cast<std::int32_t>(MultiplierOf(item, image));
            AppendUnsigned(out, static_cast<std::uint32_t>(product));
            break;
        }
        case ValueCode::Word:
            AppendUnsigned(out, WordAtIndex(image, wordAt));
            break;
        case ValueCode::IapAxis:
            AppendUnsigned(out, at < image.IapAxis.size() ? image.IapAxis[at] : 0);
            break;
        case ValueCode::Signed: {
            char buf[16];
            const int n = std::snprintf(buf, sizeof buf, "%5d ", static_cast<int>(image.byteAt(at)) - 100);
            out.append(buf, static_cast<std::size_t>(n));
            break;
        }
        case ValueCode::Flag5:
            out += image.byteAt(at) != 0 ? "    1" : "    0";
            break;
        case ValueCode::Flag6:
            out += image.byteAt(at) != 0 ? "    1 " : "    0 ";
            break;
        case ValueCode::Flag7:
            out += image.byteAt(at) != 0 ? "     1 " : "     0 ";
            break;
    }
}

std::string_view MemoOf(const DeviceImage& image) {
    const auto& bytes = image.bytes();
    const char* begin = reinterpret_cast<const char*>(bytes.data() + MemoIndex);
    std::size_t n = 0;
    while (n < MemoMaxLength && begin[n] != '\0') ++n;
    return {begin, n};
}

// ---- reading -------------------------------------------------------------------------------------

bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A cursor over the file bytes. Tokens are views into the text, so a run of any length is safe.
class TokenReader {
  public:
    explicit TokenReader(std::string_view text) : text_(text) {}

    bool atEnd() {
        skipSpace();
        return pos_ >= text_.size();
    }

    std::string_view nextToken() {
        skipSpace();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsSpace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    // A decimal number with an optional sign, taken modulo 2^32. A failed read consumes nothing, so
    // the text that is no number is met again as the next token.
    bool readNumber(std::uint32_t& value) {
        skipSpace();
        std::size_t p = pos_;
        bool negative = false;
        if (p < text_.size() && (text_[p] == '-' || text_[p] == '+')) negative = text_[p++] == '-';
        const std::size_t digitsStart = p;
        std::uint32_t v = 0;
        while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9')
            v = v * 10u + static_cast<std::uint32_t>(text_[p++] - '0');
        if (p == digitsStart) return false;
        pos_ = p;
        value = negative ? 0u - v : v;
        return true;
    }

    // The rest of the text from the first non-blank byte on.
    std::string_view restAfterSpace() {
        skipSpace();
        return text_.substr(pos_);
    }

  private:
    void skipSpace() {
        while (pos_ < text_.size() && IsSpace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void StoreValue(DeviceImage& image, const LayoutItem& item, int element, std::uint32_t v) {
    const std::size_t at = item.index + static_cast<std::size_t>(element);
    const std::size_t wordAt = item.index + 2 * static_cast<std::size_t>(element);
    const std::int32_t low16 = static_cast<std::int32_t>(v % 65536u);
    if (IsByteCode(item.code)) {
        // Inverse of (b + add) * mul, truncated toward zero, low 8 bits kept.
        const std::int32_t mul = MultiplierOf(item, image) > 0 ? MultiplierOf(item, image) : 1;
        const std::int32_t b = (low16 - item.add * mul) / mul;
        image.setByte(at, static_cast<std::uint8_t>(static_cast<std::uint32_t>(b) & 0xFFu));
        return;
    }
    switch (item.code) {
        case ValueCode::Word:
            image.setByte(wordAt, static_cast<std::uint8_t>(low16 >> 8));
            image.setByte(wordAt + 1, static_cast<std::uint8_t>(low16 & 0xFF));
            break;
        case ValueCode::IapAxis:
            if (at < image.IapAxis.size()) image.IapAxis[at] = static_cast<std::uint16_t>(low16);
            break;
        case ValueCode::Signed:
            image.setByte(at, static_cast<std::uint8_t>((low16 + 100) & 0xFF));
            break;
        default:  // flags keep the number read
            image.setByte(at, static_cast<std::uint8_t>(v & 0xFFu));
            break;
    }
}

bool SectionApplies(const LayoutSection& section, const DeviceImage& image, const LoadOptions& options) {
    if (!options.pageOnly) return true;
    if (section.page == FullOpenOnly || section.page != options.currentPage) return false;
    return !section.coupled || image.byteAt(Jet1423ModeIndex) != CoupledChannels;
}

// Copies the memo into the image: up to 349 bytes, stopping at a 0 byte or the end of the file.
// The writer stores each memo line break as CR CR LF; it is taken back as CR LF so that the memo
// does not grow by one CR per line on every save and open.
void ReadMemo(std::string_view text, DeviceImage& image) {
    std::size_t out = 0;
    for (std::size_t in = 0; in < text.size() && out < MemoMaxLength; ++in) {
        const char c = text[in];
        if (c == '\0') break;
        if (c == '\r' && in + 2 < text.size() && text[in + 1] == '\r' && text[in + 2] == '\n') continue;
        image.setByte(MemoIndex + out++, static_cast<std::uint8_t>(c));
    }
    image.setByte(MemoIndex + out, 0);
    image.setByte(MemoIndex + MemoMaxLength, 0);
}

}  // namespace

std::string FormatParameterFile(const DeviceImage& image) {
    return FormatParameterFile(image, MemoOf(image));
}

std::string FormatParameterFile(const DeviceImage& image, std::string_view memo) {
    std::string out;
    out.reserve(12000);
    char key[32];
    const int n =
        std::snprintf(key, sizeof key, "KESTRAVO_KEY   %3u \r\n\r\n", static_cast<unsigned>(ProgramVersion));
    out.append(key, static_cast<std::size_t>(n));
    for (const LayoutSection& section : ParameterLayout()) {
        for (const LayoutLine& line : section.lines) {
            out += line.prefix;
            for (const LayoutItem& item : line.items)
                for (int e = 0; e < item.count; ++e) AppendValue(out, item, e, image);
            out += "\r\n";
        }
    }
    out += "MEMO         \r\n";
    // A 0 byte would end the memo for the reader; nothing after it belongs to the text. Every LF the
    // writer emits is a CR LF, so a memo line break (CR LF) stands in the file as CR CR LF; the reader
    // takes it back as CR LF.
    for (const char c : memo.substr(0, memo.find('\0'))) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

FileResult SaveParameterFile(const std::string& path, const DeviceImage& image) {
    return WriteFileAtomically(path, FormatParameterFile(image)) ? FileResult::Ok : FileResult::Unreadable;
}

FileResult SaveParameterFile(const std::string& path, const DeviceImage& image, std::string_view memo) {
    return WriteFileAtomically(path, FormatParameterFile(image, memo)) ? FileResult::Ok
                                                                       : FileResult::Unreadable;
}

FileResult ReadParameterText(std::string_view text, DeviceImage& target, const LoadOptions& options) {
    TokenReader reader(text);
    std::uint32_t last = 0;  // a value that is missing or no number repeats the last number read
    bool matched = false;
    while (!matched && !reader.atEnd()) {
        if (reader.nextToken() != ParameterFileKey) continue;
        std::uint32_t version = 0;
        if (reader.readNumber(version)) {
            last = version;
            matched = version == static_cast<std::uint32_t>(ProgramVersion);
        }
    }
    if (!matched) return FileResult::Refused;

    // Work on a copy so the caller's image changes only as a whole.
    DeviceImage image = target;
    const bool memoApplies = !options.pageOnly || options.currentPage == 0;
    while (!reader.atEnd()) {
        const std::string_view token = reader.nextToken();
        if (token == "MEMO" && memoApplies) {
            ReadMemo(reader.restAfterSpace(), image);
            break;
        }
        const LayoutSection* section = FindLayoutSection(token);
        if (!section || !SectionApplies(*section, image, options)) continue;
        for (const LayoutLine& line : section->lines) {
            for (const LayoutItem& item : line.items) {
                for (int e = 0; e < item.count; ++e) {
                    std::uint32_t v = last;
                    if (reader.readNumber(v)) last = v;
                    StoreValue(image, item, e, v);
                }
            }
        }
        if (section->page == FullOpenOnly) {  // BIKE: the type's defaults, which later sections override
            InjectionWork localWork;
            DefaultsState localState;
            ApplyDefaults(image, options.work ? *options.work : localWork,
                          options.defaults ? *options.defaults : localState, false, 0);
        }
    }
    target = image;
    return FileResult::Ok;
}

FileResult LoadParameterFile(const std::string& path, DeviceImage& image, const LoadOptions& options) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return FileResult::Unreadable;
    return ReadParameterText(*text, image, options);
}

}  // namespace torvane
