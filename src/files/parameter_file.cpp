#include "files/parameter_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

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

    // A decimal number with an optional sign. The text is taken modulo 2^32 and read as a signed 32-bit
    // value, so the ten-digit numbers the writer prints for negative products (4294967216 for -80) read
    // back as what they stand for. A failed read consumes nothing.
    bool readNumber(std::int32_t& value) {
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
        value = static_cast<std::int32_t>(negative ? 0u - v : v);
        return true;
    }

    // The line the reader stands on: that of the next token, or at the end of the file the line of the
    // last text in it, so that a cut file names its last line whether or not a line end follows.
    int line() {
        skipSpace();
        std::size_t at = pos_;
        if (at >= text_.size()) {
            at = 0;
            for (std::size_t p = text_.size(); p > 0; --p) {
                if (!IsSpace(static_cast<unsigned char>(text_[p - 1]))) {
                    at = p - 1;
                    break;
                }
            }
        }
        // CR LF is one line end because only its LF is counted; a lone CR ends no line.
        return 1 + static_cast<int>(
                       std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
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

std::uint8_t ByteWithin(std::int64_t v) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 0xFF));
}

std::uint16_t WordWithin(std::int64_t v) {
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(v, 0, 0xFFFF));
}

// A number from the file into its field, limited to what the field can store: a limiter of 26000 rpm
// becomes 255 (25500 rpm), not the 400 rpm its low bits would give. 64-bit arithmetic keeps the
// inverse of the writer's product exact for every 32-bit number.
void StoreValue(DeviceImage& image, const LayoutItem& item, int element, std::int32_t v) {
    const std::size_t at = item.index + static_cast<std::size_t>(element);
    const std::size_t wordAt = item.index + 2 * static_cast<std::size_t>(element);
    if (IsByteCode(item.code)) {
        // Inverse of (b + add) * mul, truncated toward zero.
        const std::int64_t mul = std::max(MultiplierOf(item, image), 1);
        image.setByte(at, ByteWithin((std::int64_t{v} - std::int64_t{item.add} * mul) / mul));
        return;
    }
    switch (item.code) {
        case ValueCode::Word: {
            const std::uint16_t w = WordWithin(v);
            image.setByte(wordAt, static_cast<std::uint8_t>(w >> 8));
            image.setByte(wordAt + 1, static_cast<std::uint8_t>(w & 0xFF));
            break;
        }
        case ValueCode::IapAxis:
            if (at < image.IapAxis.size()) image.IapAxis[at] = WordWithin(v);
            break;
        case ValueCode::Signed:
            image.setByte(at, ByteWithin(std::int64_t{v} + 100));
            break;
        default:  // flags keep the number read, within a byte
            image.setByte(at, ByteWithin(v));
            break;
    }
}

// Every value of a section, in layout order; false at the first one that is missing or no number.
bool ReadSection(TokenReader& reader, const LayoutSection& section, DeviceImage& image) {
    for (const LayoutLine& line : section.lines) {
        for (const LayoutItem& item : line.items) {
            for (int e = 0; e < item.count; ++e) {
                std::int32_t v = 0;
                if (!reader.readNumber(v)) return false;
                StoreValue(image, item, e, v);
            }
        }
    }
    return true;
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

FileResult ReadParameterText(std::string_view text, DeviceImage& target, const LoadOptions& options,
                             FileDamage* damage) {
    TokenReader reader(text);
    bool matched = false;
    while (!matched && !reader.atEnd()) {
        if (reader.nextToken() != ParameterFileKey) continue;
        std::int32_t version = 0;
        matched = reader.readNumber(version) && version == ProgramVersion;
    }
    if (!matched) return FileResult::Refused;

    // Work on copies so the caller's image and defaults state change only when the whole file is taken.
    DeviceImage image = target;
    std::optional<InjectionWork> work;
    std::optional<DefaultsState> defaults;
    const bool memoApplies = !options.pageOnly || options.currentPage == 0;
    while (!reader.atEnd()) {
        const std::string_view token = reader.nextToken();
        if (token == "MEMO") {
            // The memo is free text to the end of the file: its words are never taken for sections.
            if (memoApplies) ReadMemo(reader.restAfterSpace(), image);
            break;
        }
        const LayoutSection* section = FindLayoutSection(token);
        if (!section || !SectionApplies(*section, image, options)) continue;
        if (!ReadSection(reader, *section, image)) {
            if (damage != nullptr) *damage = {reader.line(), std::string(section->key)};
            return FileResult::Damaged;
        }
        if (section->page == FullOpenOnly) {  // BIKE: the type's defaults, which later sections override
            if (!work) work = options.work ? *options.work : InjectionWork{};
            if (!defaults) defaults = options.defaults ? *options.defaults : DefaultsState{};
            ApplyDefaults(image, *work, *defaults, false, 0);
        }
    }
    target = image;
    if (work && options.work) *options.work = *work;
    if (defaults && options.defaults) *options.defaults = *defaults;
    return FileResult::Ok;
}

FileResult LoadParameterFile(const std::string& path, DeviceImage& image, const LoadOptions& options,
                             FileDamage* damage) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return FileResult::Unreadable;
    return ReadParameterText(*text, image, options, damage);
}

}  // namespace torvane
