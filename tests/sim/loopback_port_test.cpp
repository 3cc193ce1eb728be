#include "sim/loopback_port.h"

#include <gtest/gtest.h>

#include <vector>

namespace torvane {
namespace {

struct Loopback : ::testing::Test {
    UnitModel unit;
    LoopbackPort port{unit};

    void SetUp() override { ASSERT_TRUE(port.open("sim")); }

    std::vector<std::uint8_t> ReadAll() {
        std::vector<std::uint8_t> bytes(20000);
        bytes.resize(port.read(bytes));
        return bytes;
    }
};

TEST_F(Loopback, AnswerIsWaitingRightAfterTheRequest) {
    ASSERT_TRUE(port.write(MakeMonitorRequest()));
    EXPECT_EQ(port.bytesWaiting(), FrameSize);
    const auto answer = ReadAll();
    ASSERT_EQ(answer.size(), FrameSize);
    EXPECT_EQ(answer[0], MonitorAnswerCommand);
    EXPECT_TRUE(FrameIsValid(answer));
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.requestCount(), 1u);
    EXPECT_EQ(port.recentRequests().back(), MakeMonitorRequest());
}

TEST_F(Loopback, RequestsAreAssembledAcrossWritesAndSplitWhenJoined) {
    const DeviceFrame request = MakeFrame(ReadCommandBit | 2);
    port.write(std::span(request.data(), 100));
    EXPECT_EQ(port.bytesWaiting(), 0u);
    port.write(std::span(request.data() + 100, FrameSize - 100));
    EXPECT_EQ(port.bytesWaiting(), FrameSize);
    ReadAll();

    std::vector<std::uint8_t> two(request.begin(), request.end());
    const DeviceFrame monitor = MakeMonitorRequest();
    two.insert(two.end(), monitor.begin(), monitor.end());
    port.write(two);
    const auto answers = ReadAll();
    ASSERT_EQ(answers.size(), 2 * FrameSize);
    EXPECT_EQ(answers[0], 192 + 2);
    EXPECT_EQ(answers[FrameSize], MonitorAnswerCommand);
}

TEST_F(Loopback, UnansweredRequestLeavesTheQueueEmpty) {
    DeviceFrame bad = MakeMonitorRequest();
    bad[5] = 1;  // checksum no longer matches
    port.write(bad);
    EXPECT_EQ(port.bytesWaiting(), 0u);
}

TEST_F(Loopback, LateAnswersWaitTheirPolls) {
    unit.faults().lateAnswerPolls = 2;
    port.write(MakeMonitorRequest());
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.bytesWaiting(), FrameSize);
}

TEST_F(Loopback, FailingStatusQueryStillLeavesBytesReadable) {
    port.knobs().statusQueryFails = true;
    port.write(MakeMonitorRequest());
    EXPECT_EQ(port.bytesWaiting(), std::nullopt);
    EXPECT_EQ(ReadAll().size(), FrameSize);
}

TEST_F(Loopback, InjectedBytesQueueBehindEachOther) {
    std::vector<std::uint8_t> junk(301, 0xAA);
    port.injectReceived(junk);
    EXPECT_EQ(port.bytesWaiting(), 301u);
    port.injectReceived(std::vector<std::uint8_t>{1});
    EXPECT_EQ(port.bytesWaiting(), 302u);
    ReadAll();

    port.injectReceived(std::vector<std::uint8_t>(20000, 7));
    std::vector<std::uint8_t> buffer(15000);
    EXPECT_EQ(port.read(buffer), 15000u);
    EXPECT_EQ(port.bytesWaiting(), 5000u);
}

TEST_F(Loopback, ClosingLosesBytesInFlightAndBlocksTraffic) {
    port.write(MakeMonitorRequest());
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write(MakeMonitorRequest()));
    EXPECT_EQ(port.bytesWaiting(), std::nullopt);
    std::vector<std::uint8_t> buffer(10);
    EXPECT_EQ(port.read(buffer), 0u);
    ASSERT_TRUE(port.open("sim"));
    EXPECT_EQ(port.bytesWaiting(), 0u);
}

TEST(LoopbackOpen, MissingPortFailsToOpen) {
    UnitModel unit;
    LoopbackPort port(unit);
    port.knobs().portMissing = true;
    EXPECT_FALSE(port.open("/dev/ttyS9"));
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write(MakeMonitorRequest()));
    EXPECT_EQ(unit.requestsAccepted(), 0u);
}

TEST_F(Loopback, PollsMoveTheUnitsClock) {
    port.write(MakeFrame(1, std::vector<std::uint8_t>(BlockSize, 9)));
    ReadAll();
    EXPECT_EQ(unit.savingCountdown(), SavingCountdownStart);
    int polls = 0;
    while (unit.savingCountdown() > 0 && polls < 1000) {
        port.bytesWaiting();
        ++polls;
    }
    EXPECT_NEAR(polls * port.knobs().secondsPerPoll, SavingSeconds, 0.1);

    port.knobs().secondsPerPoll = 0;
    const double before = unit.engine().elapsed();
    port.bytesWaiting();
    EXPECT_EQ(unit.engine().elapsed(), before);
}

}  // namespace
}  // namespace torvane
