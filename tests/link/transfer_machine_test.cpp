#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "link_test_support.h"

namespace torvane {
namespace {

using testing::Collapsed;
using testing::Concat;
using testing::Range;

using ::testing::ElementsAre;

struct Transfer : testing::LinkFixture, ::testing::Test {
    testing::ScriptedUnit unit;
    void SetUp() override { port.responder = std::ref(unit); }
    bool ImageMatchesUnit() const {
        for (int b = 1; b < BlockCount; ++b)
            if (testing::BlockBytes(image, b) != testing::BlockBytes(unit.stored, b)) return false;
        return true;
    }
};

TEST_F(Transfer, ReadFetchesAllBlocksThenVerifies) {
    session.MenuReadClick();
    EXPECT_EQ(view.fileCaptionCleared, 1);
    EXPECT_EQ(view.pageTaken, 0);
    EXPECT_LE(TickUntilIdle(), 21 + ResendTicks + 4);
    EXPECT_EQ(Collapsed(TransferCommands()), Concat(Range(64, 74), Range(65, 74)));
    EXPECT_EQ(view.captions, (std::vector<std::string>{"Read:", "Verify::", "Verify: OK"}));
    EXPECT_EQ(view.gauges, (std::vector<int>{0, 9,  18, 27, 36, 45, 54, 63, 72, 81, 90,
                                             0, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100}));
    EXPECT_FALSE(view.statusFailure);
    EXPECT_TRUE(ImageMatchesUnit());
    EXPECT_EQ(testing::BlockBytes(image, 0), testing::BlockBytes(unit.stored, 0));
    EXPECT_EQ(view.imageShown, 1);
    EXPECT_EQ(view.header.name, "Jet01");
    EXPECT_FALSE(session.ProgramDone());
}

TEST_F(Transfer, ProgramSendsEveryBlockVerifiesAndThenShowsTheEndCaption) {
    for (std::size_t i = BlockSize; i < ImageSize; ++i) image.setByte(i, static_cast<std::uint8_t>(i % 251));
    session.MenuProgramClick();
    EXPECT_EQ(view.pageTaken, 1);
    EXPECT_TRUE(session.VerifyAfterProgram());
    EXPECT_EQ(view.statusText, "Program device:");
    TickUntilIdle();
    EXPECT_EQ(Collapsed(TransferCommands()), Concat(Range(0, 10), Range(65, 74)));
    // The tick that takes the last verify answer goes on to the idle step, which puts up the end
    // caption for as long as the status display runs.
    EXPECT_EQ(view.captions,
              (std::vector<std::string>{"Program device:", "Verify::", "Verify: OK", "Program device: OK"}));
    EXPECT_EQ(view.gauge, 100);
    EXPECT_TRUE(ImageMatchesUnit());
    EXPECT_EQ(view.imageShown, 2);  // before programming and after the unit's header came in
    EXPECT_FALSE(session.VerifyAfterProgram());
    for (bool changed : session.blockChanged()) EXPECT_FALSE(changed);

    session.Tick();
    EXPECT_EQ(view.statusText, "Program device: OK");
    EXPECT_FALSE(view.statusFailure);
    // The end caption stays until the status display times out.
    while (session.MessageTimer() > 1) session.Tick();
    EXPECT_TRUE(session.ProgramDone());
    session.Tick();
    EXPECT_FALSE(session.ProgramDone());
    EXPECT_FALSE(view.statusVisible);
}

TEST_F(Transfer, ChangedBlocksOnlyAndNoVerification) {
    session.blockChanged()[3] = true;
    session.blockChanged()[7] = true;
    session.ProgramChangedBlocks();
    EXPECT_EQ(view.gauge, 27);
    TickUntilIdle();
    EXPECT_THAT(TransferCommands(), ElementsAre(3, 7));
    EXPECT_EQ(view.statusText, "Program device: OK");
    EXPECT_EQ(view.gauge, 100);
    EXPECT_TRUE(session.ProgramDone());
}

TEST_F(Transfer, PendingVerificationFromAnAbandonedProgramRunFollowsChangedBlocks) {
    image = unit.stored;
    session.MenuProgramClick();
    session.blockChanged().fill(false);
    session.blockChanged()[7] = true;
    session.ProgramChangedBlocks();
    TickUntilIdle();
    EXPECT_EQ(Collapsed(TransferCommands()), Concat({7}, Range(65, 74)));
    EXPECT_EQ(view.captions,
              (std::vector<std::string>{"Program device:", "Verify::", "Verify: OK", "Program device: OK"}));
}

TEST_F(Transfer, NothingMarkedChangesNothing) {
    session.ProgramChangedBlocks();
    EXPECT_EQ(session.transferState(), TransferState::Idle);
    EXPECT_TRUE(view.captions.empty());
    EXPECT_EQ(session.MessageTimer(), 0);
}

TEST_F(Transfer, SilentUnitGetsFiveTransmissionsSixTicksApartThenRed) {
    unit.silent = true;
    for (int phase = 0; phase < ResendTicks; ++phase) {
        testing::LinkFixture f;
        for (int i = 0; i < phase; ++i) f.session.Tick();
        const std::size_t before = f.port.written.size();
        f.session.MenuReadClick();
        std::vector<int> sentAt;
        int tick = 0;
        while (f.session.transferState() != TransferState::Idle && tick < 100) {
            f.session.Tick();
            ++tick;
            if (f.port.written.size() > before + sentAt.size()) sentAt.push_back(tick);
        }
        ASSERT_EQ(sentAt.size(), 5u) << phase;
        for (std::size_t i = 1; i < sentAt.size(); ++i) EXPECT_EQ(sentAt[i] - sentAt[i - 1], 6);
        EXPECT_LE(tick, 36) << phase;
        EXPECT_EQ(f.view.statusText, "Read error!");
        EXPECT_TRUE(f.view.statusFailure);
        EXPECT_EQ(f.session.MessageTimer(), StatusDisplayTicks - 1);  // counted down in the same tick
    }
}

TEST_F(Transfer, FailureCaptionsNameTheTransfer) {
    unit.silent = true;
    session.MenuProgramClick();
    TickUntilIdle();
    EXPECT_EQ(view.statusText, "Program error!");
    session.MenuVerifyClick();
    TickUntilIdle();
    EXPECT_EQ(view.statusText, "Verify error!");
    EXPECT_TRUE(view.statusFailure);

    session.setLanguageIndex(3);
    session.MenuReadClick();
    EXPECT_EQ(view.statusText, "Čtení:");
    EXPECT_FALSE(view.statusFailure);
}

TEST_F(Transfer, DifferingVerifyAnswerRepeatsTheBlockUntilTheRetriesEnd) {
    image = unit.stored;
    unit.wrongVerifyBlock = 4;
    session.MenuVerifyClick();
    TickUntilIdle();
    EXPECT_EQ(TransferCommands(), (std::vector<int>{65, 66, 67, 68, 68, 68, 68, 68}));
    EXPECT_EQ(view.statusText, "Verify error!");
    EXPECT_TRUE(view.statusFailure);
}

TEST_F(Transfer, BlockWithAWrongEchoStaysMarkedUntilTheUnitEchoesIt) {
    unit.wrongVerifyBlock = -1;
    bool unitFaulty = true;
    port.responder = [&](const DeviceFrame& request) {
        auto answer = unit(request);
        if (unitFaulty && !answer.empty() && request[0] == 4) {
            answer[50] ^= 1;
            answer[301] = FrameChecksum(std::span<const std::uint8_t>(answer.data(), 301));
        }
        return answer;
    };
    session.MenuProgramClick();
    TickUntilIdle();
    EXPECT_EQ(TransferCommands(), (std::vector<int>{0, 1, 2, 3, 4, 4, 4, 4, 4}));
    EXPECT_EQ(view.statusText, "Program error!");
    EXPECT_TRUE(session.blockChanged()[4]);
    EXPECT_TRUE(session.blockChanged()[5]);
    EXPECT_EQ(view.programmedBlocks, (std::vector<int>{1, 2, 3}));

    // The next run, here one started by an edit, sends block 4 again and only then ends in OK.
    unitFaulty = false;
    port.written.clear();
    session.ProgramChangedBlocks();
    TickUntilIdle();
    EXPECT_EQ(Collapsed(TransferCommands()), Concat(Range(4, 10), Range(65, 74)));
    EXPECT_EQ(view.statusText, "Program device: OK");
    EXPECT_EQ(testing::BlockBytes(unit.stored, 4), testing::BlockBytes(image, 4));
    for (bool changed : session.blockChanged()) EXPECT_FALSE(changed);
}

TEST_F(Transfer, FailureCaptionOutlastsTheUnitsStoring) {
    unit.answerBlocksUpTo = 2;
    session.MenuProgramClick();
    TickUntilIdle();
    ASSERT_EQ(view.statusText, "Program error!");
    const int timer = session.MessageTimer();
    // The unit stores the blocks that did arrive: its countdown moves the gauge, not the caption.
    live.UnitSavingCountdown = 3030;
    session.Tick();
    EXPECT_EQ(view.statusText, "Program error!");
    EXPECT_TRUE(view.statusFailure);
    EXPECT_EQ(view.gauge, 50);
    EXPECT_EQ(session.MessageTimer(), timer - 1);
    // Once the caption has had its time the storing shows as usual.
    while (session.MessageTimer() > 0) session.Tick();
    session.Tick();
    EXPECT_EQ(view.statusText, "Saving:");
    EXPECT_FALSE(view.statusFailure);

    // So does it once a new transfer has replaced the failure.
    live.UnitSavingCountdown = 0;
    unit.answerBlocksUpTo = 0;
    session.MenuVerifyClick();
    TickUntilIdle();
    ASSERT_EQ(view.statusText, "Verify error!");
    session.MenuReadClick();
    live.UnitSavingCountdown = 6000;
    session.Tick();
    EXPECT_FALSE(view.statusFailure);
}

TEST_F(Transfer, ReadMarksOnlyTheBlocksTheRepairChanged) {
    session.blockChanged().fill(true);
    view.repair = [this] {
        image.setByte(5 * BlockSize + 17, static_cast<std::uint8_t>(image.byteAt(5 * BlockSize + 17) + 1));
    };
    session.MenuReadClick();
    TickUntilIdle();
    for (std::size_t b = 0; b < BlockCount; ++b) EXPECT_EQ(session.blockChanged()[b], b == 5) << b;
    ASSERT_EQ(view.readBlocks.size(), ImageSize - BlockSize);
    EXPECT_TRUE(
        std::equal(view.readBlocks.begin(), view.readBlocks.end(), unit.stored.bytes().begin() + BlockSize));
}

TEST_F(Transfer, WrongVersionDuringReadStopsBeforeTheConfiguration) {
    unit.stored.setByte(10, 69);
    const DeviceImage before = image;
    TransferState stateWhileShown = TransferState::Reading;
    view.duringVersionMessage = [&] {
        stateWhileShown = session.transferState();
        session.Tick();  // ticks keep running while the box is open
    };
    session.MenuReadClick();
    TickUntilIdle();
    ASSERT_EQ(view.versionMessages.size(), 1u);
    EXPECT_EQ(view.versionMessages[0], "Unmatched version of PC and Ignition programs!  PC-70, IGN-69");
    EXPECT_EQ(stateWhileShown, TransferState::Idle);
    EXPECT_EQ(session.MessageTimer(), 0);
    EXPECT_EQ(view.imageShown, 1);
    for (int b = 1; b < BlockCount; ++b)
        EXPECT_EQ(testing::BlockBytes(image, b), testing::BlockBytes(before, b));
    EXPECT_EQ(image.byteAt(10), 69);  // the unit's header itself is kept
    EXPECT_THAT(TransferCommands(), ElementsAre(64));
}

TEST_F(Transfer, WrongVersionDuringProgrammingKeepsTheMarks) {
    unit.stored.setByte(10, 71);
    session.MenuProgramClick();
    TickUntilIdle();
    ASSERT_EQ(view.versionMessages.size(), 1u);
    EXPECT_EQ(view.versionMessages[0], "Unmatched version of PC and Ignition programs!  PC-70, IGN-71");
    EXPECT_THAT(TransferCommands(), ElementsAre(0));
    for (bool changed : session.blockChanged()) EXPECT_TRUE(changed);
    EXPECT_EQ(view.statusText, "Program device:");  // the last caption stays
}

TEST_F(Transfer, ReadThatBreaksOffLeavesTheImageUntouched) {
    std::ranges::copy(unit.stored.block(0), image.block(0).begin());
    for (std::size_t i = BlockSize; i < ImageSize; ++i) image.setByte(i, 0xC3);
    image.IapAxis[4] = 77;
    const DeviceImage before = image;
    unit.answerBlocksUpTo = 5;
    session.MenuReadClick();
    TickUntilIdle();
    EXPECT_EQ(view.statusText, "Read error!");
    EXPECT_TRUE(image == before);
    EXPECT_EQ(view.imageShown, 0);

    // An abandoned read does not leak into the image either, nor into the next read.
    unit.answerBlocksUpTo = LastBlock;
    session.MenuReadClick();
    TickUntilWritten(port.written.size() + 4);
    session.MenuVerifyClick();
    EXPECT_TRUE(image == before);
    session.MenuReadClick();
    TickUntilIdle();
    EXPECT_TRUE(ImageMatchesUnit());
}

TEST_F(Transfer, StoringCountdownCaption) {
    live.UnitSavingCountdown = 3030;
    session.Tick();
    EXPECT_EQ(view.statusText, "Saving:");
    EXPECT_EQ(view.gauge, 50);
    EXPECT_EQ(session.MessageTimer(), StatusDisplayTicks - 1);
    EXPECT_FALSE(view.statusVisible);  // visibility is left alone
    live.UnitSavingCountdown = 6060;
    session.Tick();
    EXPECT_EQ(view.gauge, 0);
    live.UnitSavingCountdown = 65535;  // nonsense from the unit stays on the scale
    session.Tick();
    EXPECT_EQ(view.gauge, 0);
    live.UnitSavingCountdown = 1;
    session.Tick();
    EXPECT_EQ(view.gauge, 99);
}

TEST_F(Transfer, TimeOutCounterRunsOnAcrossAnswers) {
    // Requests go out on ticks 6, 7, 8...; the counter is not restarted by an answer, so a lost
    // answer is asked for again on the next multiple of six.
    int dropped = 0;
    port.responder = [&](const DeviceFrame& request) {
        if (request[0] == 66 && dropped++ == 0) return std::vector<std::uint8_t>();
        return unit(request);
    };
    session.MenuVerifyClick();
    image = unit.stored;
    TickUntilWritten(1);  // tick 6: 65
    session.Tick();       // tick 7: answer 65, send 66 (lost)
    EXPECT_EQ(session.RetryCount(), 1);
    EXPECT_EQ(session.TickCounter(), 1);
    for (int i = 0; i < 4; ++i) session.Tick();
    EXPECT_EQ(port.written.size(), 2u);
    session.Tick();  // tick 12: 66 again, five ticks after the first one
    EXPECT_EQ(port.written.size(), 3u);
    EXPECT_EQ(port.written.back()[0], 66);
    EXPECT_EQ(session.RetryCount(), 2);
}

}  // namespace
}  // namespace torvane
