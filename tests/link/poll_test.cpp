#include <gtest/gtest.h>

#include <vector>

#include "link_test_support.h"

namespace torvane {
namespace {

struct Poll : testing::LinkFixture, ::testing::Test {
    std::vector<std::vector<std::uint8_t>> monitorFrames;

    void SetUp() override {
        session.setMonitorHandler(
            [this](std::span<const std::uint8_t> f) { monitorFrames.emplace_back(f.begin(), f.end()); });
    }
    // Starts a read and lets its first request (read block 0) go out.
    void StartRead() {
        session.MenuReadClick();
        TickUntilWritten(1);
        ASSERT_EQ(port.written.back()[0], 64);
    }
    std::vector<std::uint8_t> HeaderAnswer() {
        testing::ScriptedUnit unit;
        return unit(MakeFrame(64));
    }
};

TEST_F(Poll, LessThanAFrameStaysQueuedUntilTheFrameIsComplete) {
    StartRead();
    const auto answer = HeaderAnswer();
    port.receive(std::span(answer).first(301));
    session.PollComPort();
    EXPECT_TRUE(port.readSizes.empty());
    EXPECT_EQ(port.incoming.size(), 301u);

    port.receive(std::span(answer).subspan(301));
    session.PollComPort();
    EXPECT_EQ(port.readSizes, std::vector<std::size_t>{302});
    EXPECT_EQ(session.CurrentCommand(), 65);  // block 0 accepted, block 1 requested
    EXPECT_EQ(port.written.back()[0], 65);
}

TEST_F(Poll, EverythingWaitingIsReadButOnlyTheFirstFrameCounts) {
    StartRead();
    std::vector<std::uint8_t> bytes = HeaderAnswer();
    const DeviceFrame second = MakeFrame(193);
    bytes.insert(bytes.end(), second.begin(), second.end());
    bytes.resize(700, 0x33);
    port.receive(bytes);
    session.PollComPort();
    EXPECT_EQ(port.readSizes, std::vector<std::size_t>{700});
    EXPECT_EQ(session.bytesRead(), 700u);
    EXPECT_TRUE(port.incoming.empty());
    EXPECT_EQ(session.CurrentCommand(), 65);
    session.PollComPort();
    EXPECT_EQ(session.CurrentCommand(), 65);  // the answer for block 1 was dropped with the rest
}

TEST_F(Poll, AtMost15000BytesAreReadInOnePoll) {
    std::vector<std::uint8_t> bytes(20000, 0x11);
    port.receive(bytes);
    session.PollComPort();
    session.PollComPort();
    EXPECT_EQ(port.readSizes, (std::vector<std::size_t>{15000, 5000}));
    EXPECT_TRUE(port.incoming.empty());
}

TEST_F(Poll, FailedStatusQueryReadsNothing) {
    port.receive(std::vector<std::uint8_t>(604, 0));
    port.statusFails = true;
    session.PollComPort();
    EXPECT_TRUE(port.readSizes.empty());
    EXPECT_EQ(port.incoming.size(), 604u);
}

TEST_F(Poll, FirstByte176GoesToTheMonitorPathEvenDuringATransfer) {
    StartRead();
    DeviceFrame monitor = MakeFrame(MonitorAnswerCommand, std::vector<std::uint8_t>(300, 9));
    port.receive(monitor);
    session.setSilenceCounter(20);
    session.PollComPort();
    ASSERT_EQ(monitorFrames.size(), 1u);
    EXPECT_EQ(monitorFrames[0].size(), FrameSize);
    EXPECT_EQ(monitorFrames[0][5], 9);
    EXPECT_EQ(session.SilenceCounter(), 0);
    EXPECT_EQ(session.CurrentCommand(), 64);  // the transfer did not see it
    EXPECT_EQ(session.transferState(), TransferState::Reading);

    // A damaged monitor frame is dropped without touching the silence count.
    monitor[301] ^= 1;
    session.setSilenceCounter(20);
    port.receive(monitor);
    session.PollComPort();
    EXPECT_EQ(monitorFrames.size(), 1u);
    EXPECT_EQ(session.SilenceCounter(), 20);
}

TEST_F(Poll, TransferAnswersThatDoNotFitAreIgnored) {
    StartRead();
    session.setSilenceCounter(20);
    auto answer = HeaderAnswer();
    answer[301] ^= 1;  // bad checksum
    port.receive(answer);
    session.PollComPort();
    const DeviceFrame other = MakeFrame(193);  // answer to another command
    port.receive(other);
    session.PollComPort();
    EXPECT_EQ(session.CurrentCommand(), 64);
    EXPECT_EQ(session.SilenceCounter(), 20);

    // While idle even a fitting answer is ignored.
    testing::LinkFixture idle;
    idle.session.setSilenceCounter(20);
    idle.session.HandleTransferReply(MakeFrame(128));
    EXPECT_EQ(idle.session.SilenceCounter(), 20);
    idle.session.HandleTransferReply(std::span<const std::uint8_t>());  // too short: no crash
}

struct Port : testing::LinkFixture, ::testing::Test {};

TEST_F(Port, OpenNamesThePortAndMovesTheCheckMark) {
    session.setComPortIndex(2);
    session.OpenComPort();
    EXPECT_EQ(port.openedDevices, std::vector<std::string>{"COM3"});
    EXPECT_EQ(view.checkedPort, 2);
    EXPECT_TRUE(view.portErrors.empty());

    session.setDeviceNamer([](int i) { return "/dev/ttyUSB" + std::to_string(i); });
    session.OpenComPort();
    EXPECT_EQ(port.openedDevices.back(), "/dev/ttyUSB2");
}

TEST_F(Port, FailedOpenShowsTheMessageUnlessQuiet) {
    port.openSucceeds = false;
    session.setQuietReopen(true);
    session.OpenComPort();
    EXPECT_TRUE(view.portErrors.empty());

    // The port menu clears the quiet flag, so its failure is reported.
    session.MenuComClick(2);
    EXPECT_EQ(port.closeCount, 0);  // nothing was open
    EXPECT_FALSE(session.QuietReopen());
    EXPECT_EQ(port.openedDevices.back(), "COM3");
    EXPECT_EQ(view.portErrors, std::vector<std::string>{"Com opening error!"});
    EXPECT_EQ(view.checkedPort, 2);

    session.setLanguageIndex(1);
    session.OpenComPort();
    EXPECT_EQ(view.portErrors.back(), "Falscher COM-Anschlußes!");
    session.MenuComClick(20);  // no such entry
    EXPECT_EQ(port.openedDevices.size(), 3u);
}

TEST_F(Port, EmptyDeviceNameCountsAsFailure) {
    session.setDeviceNamer([](int) { return std::string(); });
    session.OpenComPort();
    EXPECT_TRUE(port.openedDevices.empty());
    EXPECT_EQ(view.portErrors.size(), 1u);
}

struct Watchdog : testing::LinkFixture, ::testing::Test {
    // Feeds one valid monitor frame into the next tick.
    void ReceiveMonitorFrame() { port.receive(MakeFrame(MonitorAnswerCommand)); }
};

TEST_F(Watchdog, LabelShowsInThe24thSilentTick) {
    EXPECT_EQ(session.SilenceCounter(), StartSilenceTicks);
    ReceiveMonitorFrame();
    session.Tick();
    EXPECT_EQ(view.connectionVisible, false);
    for (int i = 1; i < 24; ++i) {
        session.Tick();
        ASSERT_EQ(view.connectionVisible, false) << i;
    }
    session.Tick();
    EXPECT_EQ(view.connectionVisible, true);

    ReceiveMonitorFrame();
    session.Tick();
    EXPECT_EQ(view.connectionVisible, false);
}

TEST_F(Watchdog, AtStartTheLabelComesAfterSixTicks) {
    for (int i = 0; i < 6; ++i) session.Tick();
    EXPECT_EQ(view.connectionVisible, false);
    session.Tick();
    EXPECT_EQ(view.connectionVisible, true);
}

TEST_F(Watchdog, PrintJobKeepsTheLabelHidden) {
    session.setSilenceCounter(SilenceLimitTicks);
    view.printJob = true;
    session.Tick();
    EXPECT_NE(view.connectionVisible, true);
}

TEST_F(Watchdog, ReopensQuietlyEvery90TicksAndKeepsItsCountAcrossReconnects) {
    port.openSucceeds = false;
    session.setSilenceCounter(SilenceLimitTicks);
    for (int i = 0; i < 89; ++i) session.TickWatchdog();
    EXPECT_TRUE(port.openedDevices.empty());
    session.TickWatchdog();
    EXPECT_EQ(port.openedDevices.size(), 1u);
    EXPECT_EQ(port.closeCount, 1);
    EXPECT_TRUE(session.QuietReopen());
    EXPECT_TRUE(view.portErrors.empty());
    for (int i = 0; i < 90; ++i) session.TickWatchdog();
    EXPECT_EQ(port.openedDevices.size(), 2u);

    // 50 ticks at the limit, then the unit speaks again: the count stays at 50.
    for (int i = 0; i < 50; ++i) session.TickWatchdog();
    session.setSilenceCounter(0);
    for (int i = 0; i < SilenceLimitTicks; ++i) session.TickWatchdog();
    EXPECT_EQ(session.ReopenCounter(), 50);
    for (int i = 0; i < 39; ++i) session.TickWatchdog();
    EXPECT_EQ(port.openedDevices.size(), 2u);
    session.TickWatchdog();
    EXPECT_EQ(port.openedDevices.size(), 3u);
}

TEST_F(Watchdog, MonitorRequestEverySixthTickWhileIdle) {
    for (int i = 1; i <= 60; ++i) {
        session.Tick();
        ASSERT_EQ(port.written.size(), static_cast<std::size_t>(i / 6)) << i;
    }
    for (const auto& f : port.written) EXPECT_EQ(f, MakeMonitorRequest());
}

TEST_F(Watchdog, StatusDisplayHidesAfter200Ticks) {
    session.MenuVerifyClick();
    EXPECT_TRUE(view.statusVisible);
    EXPECT_EQ(session.MessageTimer(), StatusDisplayTicks);
    for (int i = 0; i < 199; ++i) session.TickStatusDisplay();
    EXPECT_TRUE(view.statusVisible);
    EXPECT_TRUE(view.gaugeVisible);
    session.TickStatusDisplay();
    EXPECT_FALSE(view.statusVisible);
    EXPECT_FALSE(view.gaugeVisible);
    session.TickStatusDisplay();
    EXPECT_EQ(session.MessageTimer(), 0);
}

}  // namespace
}  // namespace torvane
