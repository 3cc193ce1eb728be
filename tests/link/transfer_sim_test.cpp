// Whole transfers against the in-process simulated unit through its loopback port.
#if defined(TORVANE_HAVE_SIM)

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link_test_support.h"
#include "sim/loopback_port.h"
#include "sim/unit_model.h"

namespace torvane {
namespace {

using testing::Collapsed;
using testing::Concat;
using testing::Range;

struct SimLink : ::testing::Test {
    UnitModel unit;
    LoopbackPort port{unit};
    DeviceImage image;
    LiveValues live;
    testing::RecordingView view;
    LinkSession session{port, image, live, view};
    std::vector<int> commands;  // transfer requests seen by the unit, in order
    std::size_t seen = 0;

    void SetUp() override {
        session.setDeviceNamer([](int) { return std::string("sim"); });
        session.OpenComPort();
        // The storing countdown is monitor word 74; the rest of the monitor frame is not needed here.
        session.setMonitorHandler([this](std::span<const std::uint8_t> f) {
            live.UnitSavingCountdown = static_cast<std::uint16_t>(f[148] << 8 | f[149]);
        });
        DeviceImage pattern;
        for (std::size_t i = BlockSize; i < ImageSize; ++i)
            pattern.setByte(i, static_cast<std::uint8_t>(i * 31 + 7));
        unit.setStoredImage(pattern);
    }
    void Tick() {
        session.Tick();
        // Collect what the unit was asked since the last tick (the loopback keeps the latest ones).
        const auto& recent = port.recentRequests();
        const std::size_t fresh = port.requestCount() - seen;
        for (std::size_t i = recent.size() - std::min(fresh, recent.size()); i < recent.size(); ++i)
            if (recent[i][0] != MonitorRequestCommand) commands.push_back(recent[i][0]);
        seen = port.requestCount();
    }
    int TickUntilIdle(int maxTicks = 400) {
        int ticks = 0;
        do {
            Tick();
            ++ticks;
        } while (session.transferState() != TransferState::Idle && ticks < maxTicks);
        return ticks;
    }
    bool ImageMatchesUnit(int first = 1, int last = LastBlock) const {
        for (int b = first; b <= last; ++b)
            if (testing::BlockBytes(image, b) != testing::BlockBytes(unit.storedImage(), b)) return false;
        return true;
    }
};

TEST_F(SimLink, ReadTakesTheUnitsConfigurationAndVerifiesIt) {
    session.MenuReadClick();
    const int ticks = TickUntilIdle();
    EXPECT_LE(ticks, 21 + ResendTicks + 3);
    EXPECT_EQ(Collapsed(commands), Concat(Range(64, 74), Range(65, 74)));
    EXPECT_EQ(view.captions, (std::vector<std::string>{"Read:", "Verify::", "Verify: OK"}));
    EXPECT_EQ(view.gauge, 100);
    EXPECT_TRUE(ImageMatchesUnit(0, LastBlock));
    EXPECT_EQ(view.header, (UnitHeaderTexts{"Jet01", "14. 3.2008", "16:21"}));
}

TEST_F(SimLink, ProgramThenVerifyThenStoringProgressThenEndCaption) {
    for (std::size_t i = BlockSize; i < ImageSize; ++i) image.setByte(i, static_cast<std::uint8_t>(i % 199));
    session.MenuProgramClick();
    TickUntilIdle();
    EXPECT_EQ(Collapsed(commands), Concat(Range(0, 10), Range(65, 74)));
    EXPECT_TRUE(ImageMatchesUnit());
    EXPECT_EQ(view.statusText, "Program device: OK");

    // The unit reports its storing work through the monitor frames; the gauge follows it up.
    std::vector<int> savingGauges;
    for (int i = 0; i < 120; ++i) {
        Tick();
        if (view.statusText == "Saving:") savingGauges.push_back(view.gauge);
    }
    ASSERT_FALSE(savingGauges.empty());
    EXPECT_TRUE(std::ranges::is_sorted(savingGauges));
    EXPECT_GT(savingGauges.front(), 0);
    EXPECT_EQ(live.UnitSavingCountdown, 0);
    EXPECT_EQ(view.statusText, "Program device: OK");
    EXPECT_EQ(view.gauge, 100);
}

TEST_F(SimLink, ChangedBlocksAreTheOnlyOnesWritten) {
    image = unit.storedImage();
    std::ranges::fill(image.block(3), std::uint8_t{1});
    std::ranges::fill(image.block(7), std::uint8_t{2});
    const DeviceImage unitBefore = unit.storedImage();
    session.blockChanged()[3] = true;
    session.blockChanged()[7] = true;
    session.ProgramChangedBlocks();
    TickUntilIdle();
    EXPECT_EQ(Collapsed(commands), (std::vector<int>{3, 7}));
    EXPECT_TRUE(ImageMatchesUnit());
    EXPECT_EQ(testing::BlockBytes(unit.storedImage(), 5), testing::BlockBytes(unitBefore, 5));
    EXPECT_EQ(view.statusText, "Program device: OK");
}

TEST_F(SimLink, SilentUnitFailsTheReadWithinThirtySixTicks) {
    unit.faults().silent = true;
    session.MenuReadClick();
    EXPECT_LE(TickUntilIdle(), 36);
    EXPECT_EQ(commands, (std::vector<int>{64, 64, 64, 64, 64}));
    EXPECT_EQ(view.statusText, "Read error!");
    EXPECT_TRUE(view.statusFailure);
}

TEST_F(SimLink, DifferingBlockFourFailsTheVerification) {
    image = unit.storedImage();
    unit.faults().wrongVerifyBlock = 4;
    session.MenuVerifyClick();
    TickUntilIdle();
    EXPECT_EQ(std::ranges::count(commands, 68), 5);
    EXPECT_EQ(std::ranges::count(commands, 69), 0);
    EXPECT_EQ(view.statusText, "Verify error!");
    EXPECT_TRUE(view.statusFailure);
}

TEST_F(SimLink, OldUnitProgramIsRefusedOnReadAndOnProgram) {
    unit.faults().headerDataVersion = 69;
    const DeviceImage before = image;
    session.MenuReadClick();
    TickUntilIdle();
    ASSERT_EQ(view.versionMessages.size(), 1u);
    EXPECT_EQ(view.versionMessages[0], "Unmatched version of PC and Ignition programs!  PC-70, IGN-69");
    for (int b = 1; b < BlockCount; ++b)
        EXPECT_EQ(testing::BlockBytes(image, b), testing::BlockBytes(before, b));

    const DeviceImage unitBefore = unit.storedImage();
    session.MenuProgramClick();
    TickUntilIdle();
    ASSERT_EQ(view.versionMessages.size(), 2u);
    EXPECT_EQ(Collapsed(commands), (std::vector<int>{64, 0}));
    EXPECT_TRUE(unit.storedImage() == unitBefore);
}

TEST_F(SimLink, ReadThatStopsAfterBlockFiveLeavesTheImageByteIdentical) {
    std::ranges::copy(unit.storedImage().block(0), image.block(0).begin());
    for (std::size_t i = BlockSize; i < ImageSize; ++i) image.setByte(i, 0x5A);
    const DeviceImage before = image;
    unit.faults().stopAfterReadBlock = 5;
    session.MenuReadClick();
    TickUntilIdle();
    EXPECT_EQ(view.statusText, "Read error!");
    EXPECT_TRUE(image == before);
    EXPECT_EQ(view.imageShown, 0);
}

TEST_F(SimLink, LossyLineStillCompletesTheRead) {
    unit.faults().dropEvery = 4;
    unit.faults().corruptEvery = 7;
    unit.faults().noiseEvery = 5;
    session.MenuReadClick();
    TickUntilIdle();
    EXPECT_EQ(view.statusText, "Verify: OK");
    EXPECT_TRUE(ImageMatchesUnit());
}

TEST_F(SimLink, IdleMonitoringKeepsTheConnectionAndSilenceShowsTheLabelThenReopens) {
    for (int i = 0; i < 60; ++i) Tick();
    EXPECT_EQ(port.requestCount(), 10u);
    EXPECT_EQ(view.connectionVisible, false);
    EXPECT_LT(session.SilenceCounter(), SilenceLimitTicks);

    // Count the ticks after the one that received the last monitor frame.
    unit.faults().silent = true;
    int sinceLastFrame = 0;
    std::size_t frames = 0;
    session.setMonitorHandler([&](std::span<const std::uint8_t>) { ++frames; });
    for (int guard = 0; view.connectionVisible != true && guard < 100; ++guard) {
        const std::size_t before = frames;
        Tick();
        sinceLastFrame = frames != before ? 0 : sinceLastFrame + 1;
    }
    EXPECT_EQ(sinceLastFrame, 24);

    // The tick that shows the label is the first of 90 at the limit.
    port.knobs().portMissing = true;
    for (int i = 0; i < ReopenTicks - 2; ++i) Tick();
    EXPECT_TRUE(port.isOpen());
    Tick();
    EXPECT_FALSE(port.isOpen());  // closed and quietly failed to reopen
    EXPECT_TRUE(view.portErrors.empty());

    port.knobs().portMissing = false;
    unit.faults().silent = false;
    for (int i = 0; i < ReopenTicks + 12; ++i) Tick();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(view.connectionVisible, false);
}

}  // namespace
}  // namespace torvane

#endif
