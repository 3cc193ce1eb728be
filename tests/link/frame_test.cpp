#include "link/frame.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link_test_support.h"

namespace torvane {
namespace {

using testing::LinkFixture;

TEST(FrameChecksum, KnownRequestsCarryTheirChecksums) {
    EXPECT_EQ(MakeMonitorRequest()[301], 207);
    EXPECT_EQ(MakeFrame(64)[301], 191);
    EXPECT_EQ(MakeFrame(65)[301], 190);
    EXPECT_TRUE(FrameIsValid(MakeFrame(65)));
}

TEST(FrameChecksum, AllZerosIsInvalidButZerosFollowedBy255IsValid) {
    DeviceFrame f{};
    EXPECT_FALSE(FrameIsValid(f));
    f[301] = 255;
    EXPECT_TRUE(FrameIsValid(f));
    f[150] = 1;
    EXPECT_FALSE(FrameIsValid(f));
}

struct TransferPayload : LinkFixture, ::testing::Test {};

TEST_F(TransferPayload, ProgramBlockCarriesTheImageBlockAndEqualBytesCancelOut) {
    std::ranges::fill(image.block(3), std::uint8_t{0x55});
    session.blockChanged()[3] = true;
    session.ProgramChangedBlocks();
    ASSERT_GT(TickUntilWritten(1), 0);
    const DeviceFrame& f = port.written.back();
    EXPECT_EQ(f[0], 3);
    EXPECT_TRUE(std::all_of(f.begin() + 1, f.end() - 1, [](std::uint8_t b) { return b == 0x55; }));
    EXPECT_EQ(f[301], 252);
    EXPECT_EQ(session.CurrentBlock(), 3);
}

TEST_F(TransferPayload, ProgramBlockZeroCarriesZerosWhateverTheHeaderHolds) {
    std::ranges::fill(image.block(0), std::uint8_t{0xA5});
    session.blockChanged()[0] = true;
    session.ProgramChangedBlocks();
    TickUntilWritten(1);
    EXPECT_EQ(port.written.back(), MakeFrame(0));
}

TEST_F(TransferPayload, VerifyCarriesTheImageBlockButReadingCarriesZeros) {
    for (std::size_t i = 0; i < ImageSize; ++i) image.setByte(i, static_cast<std::uint8_t>(i * 13 + 1));
    session.MenuVerifyClick();
    TickUntilWritten(1);
    EXPECT_EQ(port.written.back(), MakeFrame(65, image.block(1)));

    // Walk a read up to block 4 with a unit that answers blocks 0..3 only.
    testing::ScriptedUnit unit;
    unit.answerBlocksUpTo = 3;
    port.responder = std::ref(unit);
    session.MenuReadClick();
    TickUntilWritten(port.written.size() + 5);
    ASSERT_EQ(session.CurrentCommand(), 68);
    const DeviceFrame& f = port.written.back();
    EXPECT_EQ(f, MakeFrame(68));
    EXPECT_TRUE(FrameIsValid(f));
}

TEST_F(TransferPayload, MonitorRequestIsCommand48WithZeros) {
    session.SendMonitorRequest();
    ASSERT_EQ(port.written.size(), 1u);
    EXPECT_EQ(port.written[0], MakeMonitorRequest());
    EXPECT_EQ(session.transmitBuffer()[301], 207);
}

}  // namespace
}  // namespace torvane
