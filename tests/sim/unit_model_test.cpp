#include "sim/unit_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace torvane {
namespace {

std::vector<std::uint8_t> Ask(UnitModel& unit, std::uint8_t command,
                              std::span<const std::uint8_t> payload = {}) {
    const DeviceFrame request = MakeFrame(command, payload);
    return unit.HandleRequest(request);
}

std::vector<std::uint8_t> Pattern(std::uint8_t seed) {
    std::vector<std::uint8_t> p(BlockSize);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>(seed + 7 * i);
    return p;
}

std::vector<std::uint8_t> PayloadOf(const std::vector<std::uint8_t>& answer) {
    return {answer.begin() + 1, answer.begin() + 1 + BlockSize};
}

TEST(MonthCode, MatchesTheUnitsCodes) {
    const int expected[] = {25, 13, 32, 35, 39, 45, 43, 29, 40, 38, 51, 12};
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(MonthCode(m), expected[m - 1]) << "month " << m;
    EXPECT_EQ(MonthCode(0), 0);
    EXPECT_EQ(MonthCode(13), 0);
}

TEST(UnitModel, HeaderCarriesNameDateAndDataVersion) {
    UnitIdentity id;
    id.version = 7;
    id.day = 5;
    id.month = 1;
    id.year = 2009;
    id.hour = 9;
    id.minute = 45;
    UnitModel unit(id);
    const auto answer = Ask(unit, ReadCommandBit | 0);
    ASSERT_EQ(answer.size(), FrameSize);
    EXPECT_TRUE(FrameIsValid(answer));
    EXPECT_EQ(answer[0], 192);
    const std::uint8_t* h = answer.data() + 1;
    EXPECT_EQ(std::string(h, h + 3), "Jet");
    EXPECT_EQ(h[3], 7);
    EXPECT_EQ(h[4], 5);
    EXPECT_EQ(h[5], 25);  // January
    EXPECT_EQ(h[6], 9);
    EXPECT_EQ(h[7], 9);
    EXPECT_EQ(h[8], 45);
    EXPECT_EQ(h[10], ProgramVersion);
    EXPECT_EQ(h[16], 0) << "no long name by default";
}

TEST(UnitModel, LongNameAndDataVersionAreConfigurable) {
    UnitIdentity id;
    id.longName = std::string(40, 'L');  // longer than the field: cut to 30
    UnitModel unit(id);
    unit.setDataVersion(69);
    const auto answer = Ask(unit, 0);
    ASSERT_EQ(answer.size(), FrameSize);
    EXPECT_EQ(answer[0], 128);
    EXPECT_EQ(answer[1 + 10], 69);
    EXPECT_EQ(answer[1 + 16], 'L');
    EXPECT_EQ(answer[1 + 45], 'L');
    EXPECT_EQ(answer[1 + 46], 0);
    EXPECT_EQ(unit.storedImage().byteAt(10), 69);
    EXPECT_EQ(unit.engine().MonitorFrame(unit.monitorContext())[150], 69);
}

TEST(UnitModel, ProgramStoresAndEchoesThenReadReturnsTheBlock) {
    UnitModel unit;
    for (int b = 1; b <= 10; ++b) {
        const auto data = Pattern(static_cast<std::uint8_t>(b));
        const auto echo = Ask(unit, static_cast<std::uint8_t>(b), data);
        ASSERT_EQ(echo.size(), FrameSize) << "block " << b;
        EXPECT_EQ(echo[0], 128 + b);
        EXPECT_TRUE(FrameIsValid(echo));
        EXPECT_EQ(PayloadOf(echo), data);
    }
    for (int b = 1; b <= 10; ++b) {
        const auto answer = Ask(unit, static_cast<std::uint8_t>(ReadCommandBit + b));
        ASSERT_EQ(answer.size(), FrameSize);
        EXPECT_EQ(answer[0], 192 + b);
        EXPECT_TRUE(FrameIsValid(answer));
        EXPECT_EQ(PayloadOf(answer), Pattern(static_cast<std::uint8_t>(b))) << "block " << b;
        const auto stored = unit.storedImage().block(b);
        EXPECT_TRUE(std::equal(stored.begin(), stored.end(), answer.begin() + 1));
    }
}

TEST(UnitModel, ProgramBlockZeroFetchesTheHeaderWithoutWritingIt) {
    UnitModel unit;
    const auto before = unit.storedImage();
    const auto answer = Ask(unit, 0, Pattern(99));
    ASSERT_EQ(answer.size(), FrameSize);
    EXPECT_EQ(answer[0], 128);
    EXPECT_EQ(unit.storedImage(), before);
    EXPECT_EQ(unit.savingCountdown(), 0) << "fetching the header is not programming";
}

TEST(UnitModel, VerifyPayloadDoesNotChangeTheUnit) {
    UnitModel unit;
    Ask(unit, 4, Pattern(4));
    const auto answer = Ask(unit, ReadCommandBit | 4, Pattern(200));
    EXPECT_EQ(PayloadOf(answer), Pattern(4));
}

TEST(UnitModel, IgnoresBadChecksumsWrongSizesAndUnknownCommands) {
    UnitModel unit;
    DeviceFrame bad = MakeMonitorRequest();
    bad[301] ^= 1;
    EXPECT_TRUE(unit.HandleRequest(bad).empty());
    const DeviceFrame good = MakeMonitorRequest();
    EXPECT_TRUE(unit.HandleRequest(std::span(good.data(), FrameSize - 1)).empty());
    std::vector<std::uint8_t> longer(good.begin(), good.end());
    longer.push_back(0);
    EXPECT_TRUE(unit.HandleRequest(longer).empty());
    EXPECT_TRUE(unit.HandleRequest({}).empty());
    for (std::uint8_t c : {std::uint8_t{11}, std::uint8_t{47}, std::uint8_t{64 + 11}, std::uint8_t{128},
                           std::uint8_t{176}, std::uint8_t{255}}) {
        EXPECT_TRUE(Ask(unit, c).empty()) << "command " << int(c);
    }
    EXPECT_EQ(unit.answersSent(), 0u);
}

std::uint16_t CountdownWord(UnitModel& unit) {
    const auto a = unit.HandleRequest(MakeMonitorRequest());
    return static_cast<std::uint16_t>(a[148] << 8 | a[149]);
}

TEST(UnitModel, StoringCountdownStartsAfterProgrammingAndFallsToZero) {
    UnitModel unit;
    EXPECT_EQ(CountdownWord(unit), 0);
    Ask(unit, 2, Pattern(2));
    EXPECT_EQ(CountdownWord(unit), SavingCountdownStart);
    EXPECT_EQ(unit.programmingCount(), 1);

    std::uint16_t last = SavingCountdownStart;
    double t = 0;
    while (CountdownWord(unit) > 0 && t < 10.0) {
        unit.Advance(0.055);
        t += 0.055;
        const std::uint16_t now = CountdownWord(unit);
        EXPECT_LE(now, last);
        last = now;
    }
    EXPECT_EQ(CountdownWord(unit), 0);
    EXPECT_GT(t, 1.0) << "storing takes a few seconds";
    EXPECT_LT(t, 6.0);

    // Halfway through, the configurator's gauge stands near 50.
    Ask(unit, 3, Pattern(3));
    unit.Advance(SavingSeconds / 2);
    EXPECT_NEAR(CountdownWord(unit), SavingCountdownStart / 2, 2);
    EXPECT_EQ(unit.programmingCount(), 2);
    const auto monitor = unit.HandleRequest(MakeMonitorRequest());
    EXPECT_EQ(monitor[76] << 8 | monitor[77], 2) << "programming count in word 38";
}

TEST(UnitModel, SeveralBlocksInOneRunCountAsOneProgramming) {
    UnitModel unit;
    for (int b = 1; b <= 10; ++b) Ask(unit, static_cast<std::uint8_t>(b), Pattern(1));
    EXPECT_EQ(unit.programmingCount(), 1);
    unit.Advance(-1.0);
    unit.Advance(std::nan(""));
    EXPECT_EQ(unit.savingCountdown(), SavingCountdownStart) << "bad time steps are ignored";
}

TEST(UnitModel, SetStoredImageKeepsTheHeader) {
    UnitModel unit;
    DeviceImage image;
    std::ranges::fill(image.bytes(), std::uint8_t{0x33});
    unit.setStoredImage(image);
    EXPECT_EQ(unit.storedImage().byteAt(0), 'J');
    EXPECT_EQ(unit.storedImage().byteAt(300), 0x33);
    EXPECT_EQ(unit.storedImage().byteAt(3299), 0x33);
}

// Fault knobs.

TEST(UnitFaults, SilentUnitIgnoresEverythingAndStoresNothing) {
    UnitModel unit;
    const DeviceImage before = unit.storedImage();
    unit.faults().silent = true;
    EXPECT_TRUE(unit.HandleRequest(MakeMonitorRequest()).empty());
    EXPECT_TRUE(Ask(unit, 5, Pattern(5)).empty());
    EXPECT_TRUE(unit.storedImage() == before);
}

TEST(UnitFaults, DropEveryNthAnswerButStillStores) {
    UnitModel unit;
    unit.faults().dropEvery = 3;
    std::vector<bool> answered;
    for (int i = 1; i <= 9; ++i)
        answered.push_back(!Ask(unit, 6, Pattern(static_cast<std::uint8_t>(i))).empty());
    EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true, false, true, true, false}));
    EXPECT_EQ(unit.storedImage().byteAt(1800), Pattern(9)[0]) << "the lost answer's block was stored";
}

TEST(UnitFaults, DropProbabilityIsSeededAndRoughlyRight) {
    const auto run = [](std::uint64_t seed) {
        UnitModel unit({}, seed);
        unit.faults().dropProbability = 0.25;
        std::vector<bool> got;
        for (int i = 0; i < 400; ++i) got.push_back(!unit.HandleRequest(MakeMonitorRequest()).empty());
        return got;
    };
    const auto a = run(7);
    EXPECT_EQ(a, run(7));
    EXPECT_NE(a, run(8));
    const auto lost = std::count(a.begin(), a.end(), false);
    EXPECT_GT(lost, 60);
    EXPECT_LT(lost, 140);
}

TEST(UnitFaults, CorruptEveryNthChecksum) {
    UnitModel unit;
    unit.faults().corruptEvery = 2;
    const auto first = unit.HandleRequest(MakeMonitorRequest());
    const auto second = unit.HandleRequest(MakeMonitorRequest());
    ASSERT_EQ(second.size(), FrameSize);
    EXPECT_TRUE(FrameIsValid(first));
    EXPECT_FALSE(FrameIsValid(second));
    EXPECT_EQ(second[0], MonitorAnswerCommand);
}

TEST(UnitFaults, NoiseSurroundsTheAnswer) {
    UnitModel unit;
    unit.faults().noiseEvery = 1;
    unit.faults().corruptEvery = 1;  // both on one answer: the checksum, not the noise, is spoiled
    const auto a = unit.HandleRequest(MakeMonitorRequest());
    ASSERT_EQ(a.size(), NoiseBytesBefore + FrameSize + NoiseBytesAfter);
    const std::span<const std::uint8_t> frame(a.data() + NoiseBytesBefore, FrameSize);
    EXPECT_EQ(frame[0], MonitorAnswerCommand);
    EXPECT_FALSE(FrameIsValid(frame));
    DeviceFrame repaired;
    std::ranges::copy(frame, repaired.begin());
    repaired[301] ^= 0x5A;
    EXPECT_TRUE(FrameIsValid(repaired));
}

TEST(UnitFaults, WrongDataVersionInHeaderOrMonitorOnly) {
    UnitModel unit;
    unit.faults().headerDataVersion = 69;
    EXPECT_EQ(Ask(unit, ReadCommandBit)[11], 69);
    EXPECT_EQ(Ask(unit, 0)[11], 69);
    EXPECT_TRUE(FrameIsValid(Ask(unit, 0)));
    EXPECT_EQ(unit.HandleRequest(MakeMonitorRequest())[150], ProgramVersion);
    unit.faults() = {};
    unit.faults().monitorDataVersion = 71;
    EXPECT_EQ(unit.HandleRequest(MakeMonitorRequest())[150], 71);
    EXPECT_EQ(Ask(unit, ReadCommandBit)[11], ProgramVersion);
}

TEST(UnitFaults, WrongEchoDiffersInOneByteWhileTheStoreIsRight) {
    UnitModel unit;
    unit.faults().wrongEchoBlock = 4;
    const auto data = Pattern(4);
    const auto echo = Ask(unit, 4, data);
    ASSERT_EQ(echo.size(), FrameSize);
    EXPECT_TRUE(FrameIsValid(echo));
    const auto payload = PayloadOf(echo);
    int differing = 0;
    for (std::size_t i = 0; i < BlockSize; ++i) differing += payload[i] != data[i];
    EXPECT_EQ(differing, 1);
    EXPECT_EQ(PayloadOf(Ask(unit, ReadCommandBit | 4)), data);
    EXPECT_EQ(PayloadOf(Ask(unit, 5, data)), data) << "other blocks echo correctly";
}

TEST(UnitFaults, WrongVerifyAnswerDiffersInOneByte) {
    UnitModel unit;
    unit.faults().wrongVerifyBlock = 4;
    const auto data = Pattern(4);
    EXPECT_EQ(PayloadOf(Ask(unit, 4, data)), data);
    const auto answer = Ask(unit, ReadCommandBit | 4, data);
    EXPECT_TRUE(FrameIsValid(answer));
    const auto payload = PayloadOf(answer);
    EXPECT_NE(payload, data);
    EXPECT_EQ(payload[WrongBytePosition], data[WrongBytePosition] ^ 1);
}

TEST(UnitFaults, StopAnsweringReadsAfterBlockK) {
    UnitModel unit;
    unit.faults().stopAfterReadBlock = 3;
    for (int b = 0; b <= 3; ++b)
        EXPECT_FALSE(Ask(unit, static_cast<std::uint8_t>(ReadCommandBit + b)).empty());
    for (int b = 4; b <= 10; ++b)
        EXPECT_TRUE(Ask(unit, static_cast<std::uint8_t>(ReadCommandBit + b)).empty());
    EXPECT_FALSE(unit.HandleRequest(MakeMonitorRequest()).empty());
    EXPECT_FALSE(Ask(unit, 7, Pattern(7)).empty());
}

}  // namespace
}  // namespace torvane
