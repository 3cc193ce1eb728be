#include "sim/unit_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "image/defaults.h"
#include "image/fields.h"
#include "image/normalize.h"

namespace torvane {

namespace {

// Header byte positions.
constexpr std::size_t HeaderNameAt = 0;
constexpr std::size_t HeaderNameLength = 3;
constexpr std::size_t HeaderVersionAt = 3;
constexpr std::size_t HeaderDayAt = 4;
constexpr std::size_t HeaderMonthAt = 5;
constexpr std::size_t HeaderYearAt = 6;
constexpr std::size_t HeaderHourAt = 7;
constexpr std::size_t HeaderMinuteAt = 8;
constexpr std::size_t HeaderDataVersionAt = 10;
constexpr std::size_t HeaderLongNameAt = 16;
constexpr std::size_t HeaderLongNameLength = 30;

constexpr std::uint8_t HighestBlock = BlockCount - 1;

void FlipOneByte(DeviceFrame& answer) {
    answer[1 + WrongBytePosition] ^= 0x01;
}

void Reseal(DeviceFrame& f) {
    f[FrameSize - 1] = FrameChecksum(std::span<const std::uint8_t>(f.data(), FrameSize - 1));
}

}  // namespace

std::uint8_t MonthCode(int month) {
    static constexpr std::array<std::string_view, 12> Abbreviations = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12) return 0;
    unsigned sum = 0;
    for (char c : Abbreviations[static_cast<std::size_t>(month - 1)]) sum += static_cast<unsigned char>(c);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

UnitModel::UnitModel(UnitIdentity identity, std::uint64_t seed)
    : identity_(std::move(identity)), engine_(seed), rng_(seed) {
    // A unit as delivered: it holds the repaired defaults of the start-up motorcycle type, as a unit
    // programmed by this configurator would, so a first Read verifies cleanly.
    stored_.setByte(Field(FieldId::Bike).index, StartupBikeCode);
    InjectionWork injection;
    ApplyDefaults(stored_, injection, false, 0);
    NormalizeImage(stored_);
    writeHeader();
}

void UnitModel::setIdentity(const UnitIdentity& identity) {
    identity_ = identity;
    writeHeader();
}

void UnitModel::setDataVersion(std::uint8_t version) {
    identity_.dataVersion = version;
    writeHeader();
}

void UnitModel::setStoredImage(const DeviceImage& image) {
    for (int b = 1; b < BlockCount; ++b) std::ranges::copy(image.block(b), stored_.block(b).begin());
}

void UnitModel::writeHeader() {
    auto header = stored_.block(0);
    std::ranges::fill(header, std::uint8_t{0});
    for (std::size_t i = 0; i < HeaderNameLength; ++i) {
        header[HeaderNameAt + i] =
            i < identity_.name.size() ? static_cast<std::uint8_t>(identity_.name[i]) : std::uint8_t{' '};
    }
    header[HeaderVersionAt] = identity_.version;
    header[HeaderDayAt] = identity_.day;
    header[HeaderMonthAt] = MonthCode(identity_.month);
    header[HeaderYearAt] = static_cast<std::uint8_t>(std::clamp(identity_.year - 2000, 0, 255));
    header[HeaderHourAt] = identity_.hour;
    header[HeaderMinuteAt] = identity_.minute;
    header[HeaderDataVersionAt] = identity_.dataVersion;
    const std::size_t longLength = std::min(identity_.longName.size(), HeaderLongNameLength);
    for (std::size_t i = 0; i < longLength; ++i) {
        header[HeaderLongNameAt + i] = static_cast<std::uint8_t>(identity_.longName[i]);
    }
}

std::uint64_t UnitModel::nextRandom() {
    std::uint64_t x = (rng_ += 0x9E3779B97F4A7C15ULL);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

std::uint16_t UnitModel::savingCountdown() const {
    return static_cast<std::uint16_t>(std::clamp(std::ceil(savingLeft_), 0.0, 65535.0));
}

MonitorContext UnitModel::monitorContext() const {
    MonitorContext c;
    c.dataVersion = faults_.monitorDataVersion.value_or(identity_.dataVersion);
    c.programmingCount = programmingCount_;
    c.savingCountdown = savingCountdown();
    c.channelCount = static_cast<std::uint8_t>(FieldValue(stored_, Field(FieldId::PocKanOut)));
    c.ignLimiter = static_cast<std::uint8_t>(FieldValue(stored_, Field(FieldId::IgnLimiter)));
    c.jetLimiter = static_cast<std::uint8_t>(FieldValue(stored_, Field(FieldId::JetLimiter)));
    c.retardLimiterRpm = static_cast<std::uint8_t>(FieldValue(stored_, Field(FieldId::RetardLimiterRpm)));
    return c;
}

void UnitModel::Advance(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0) return;
    engine_.Advance(seconds);
    savingLeft_ = std::max(0.0, savingLeft_ - seconds * SavingCountdownStart / SavingSeconds);
}

std::optional<DeviceFrame> UnitModel::answerFor(const DeviceFrame& request) {
    const std::uint8_t command = request[0];
    if (command == MonitorRequestCommand) return engine_.MonitorFrame(monitorContext());
    if (command & AnswerBit) return std::nullopt;
    const int block = command & BlockMask;
    if (block > HighestBlock) return std::nullopt;
    const auto answerCommand = static_cast<std::uint8_t>(command ^ AnswerBit);

    if (command & ReadCommandBit) {
        if (faults_.stopAfterReadBlock && block > *faults_.stopAfterReadBlock) return std::nullopt;
        DeviceFrame answer = MakeFrame(answerCommand, stored_.block(block));
        if (block == 0 && faults_.headerDataVersion)
            answer[1 + HeaderDataVersionAt] = *faults_.headerDataVersion;
        if (faults_.wrongVerifyBlock == block) FlipOneByte(answer);
        Reseal(answer);
        return answer;
    }

    if (block == 0) {
        // Block 0 is never written: the request only fetches the header.
        DeviceFrame answer = MakeFrame(answerCommand, stored_.block(0));
        if (faults_.headerDataVersion) answer[1 + HeaderDataVersionAt] = *faults_.headerDataVersion;
        Reseal(answer);
        return answer;
    }

    std::copy_n(request.begin() + 1, BlockSize, stored_.block(block).begin());
    if (savingCountdown() == 0) ++programmingCount_;
    savingLeft_ = SavingCountdownStart;
    DeviceFrame answer = MakeFrame(answerCommand, stored_.block(block));
    if (faults_.wrongEchoBlock == block) {
        FlipOneByte(answer);
        Reseal(answer);
    }
    return answer;
}

std::vector<std::uint8_t> UnitModel::applyLineFaults(const DeviceFrame& answer) {
    ++answersDue_;
    const auto every = [&](int n) { return n > 0 && answersDue_ % static_cast<std::size_t>(n) == 0; };
    if (every(faults_.dropEvery)) return {};
    if (faults_.dropProbability > 0) {
        const double draw = static_cast<double>(nextRandom() >> 11) * (1.0 / 9007199254740992.0);
        if (draw < faults_.dropProbability) return {};
    }

    std::vector<std::uint8_t> bytes;
    const bool noisy = every(faults_.noiseEvery);
    bytes.reserve(FrameSize + (noisy ? NoiseBytesBefore + NoiseBytesAfter : 0));
    const auto noise = [&](std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(nextRandom()));
    };
    if (noisy) noise(NoiseBytesBefore);
    bytes.insert(bytes.end(), answer.begin(), answer.end());
    if (every(faults_.corruptEvery)) bytes[bytes.size() - 1] ^= 0x5A;
    if (noisy) noise(NoiseBytesAfter);
    ++answersSent_;
    return bytes;
}

std::vector<std::uint8_t> UnitModel::HandleRequest(std::span<const std::uint8_t> request) {
    if (faults_.silent) return {};
    if (request.size() != FrameSize || !FrameIsValid(request)) return {};
    ++requestsAccepted_;
    DeviceFrame frame;
    std::ranges::copy(request, frame.begin());
    const std::optional<DeviceFrame> answer = answerFor(frame);
    if (!answer) return {};
    return applyLineFaults(*answer);
}

}  // namespace torvane
