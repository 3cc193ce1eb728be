// The fast monitor switch: a monitor request on every idle tick, none while a transfer runs, and the
// transfers paced exactly as without it.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "link_test_support.h"

namespace torvane {
namespace {

struct FastMonitor : testing::LinkFixture, ::testing::Test {
    testing::ScriptedUnit unit;
    void SetUp() override { port.responder = std::ref(unit); }

    std::size_t MonitorRequests() const {
        std::size_t n = 0;
        for (int command : port.writtenCommands()) n += command == MonitorRequestCommand;
        return n;
    }
    // The ticks (1-based) among the next `ticks` on which a monitor request went out.
    std::vector<int> RequestTicks(int ticks) {
        std::vector<int> at;
        for (int t = 1; t <= ticks; ++t) {
            const std::size_t before = MonitorRequests();
            session.Tick();
            if (MonitorRequests() > before) at.push_back(t);
        }
        return at;
    }
    // Ticks the running transfer to its end; fails when a monitor request goes out while it runs.
    int TickTransfer() {
        int ticks = 0;
        while (session.transferState() != TransferState::Idle && ticks++ < 400) {
            const std::size_t before = MonitorRequests();
            session.Tick();
            if (session.transferState() != TransferState::Idle) {
                EXPECT_EQ(MonitorRequests(), before);
            }
        }
        return ticks;
    }
};

TEST_F(FastMonitor, IdleLinkAsksOnEveryTickUntilTurnedOff) {
    EXPECT_FALSE(session.FastMonitor());
    EXPECT_EQ(RequestTicks(12), (std::vector<int>{6, 12}));

    session.setFastMonitor(true);
    EXPECT_TRUE(session.FastMonitor());
    EXPECT_EQ(RequestTicks(9), testing::Range(1, 9));

    // Back to every sixth tick, on the beat the resend counter kept meanwhile.
    session.setFastMonitor(false);
    EXPECT_EQ(RequestTicks(13), (std::vector<int>{3, 9}));
}

TEST_F(FastMonitor, TransfersRunAsWithoutIt) {
    // The same read and program with the switch off, for comparison.
    testing::LinkFixture slow;
    testing::ScriptedUnit slowUnit;
    slow.port.responder = std::ref(slowUnit);
    for (int t = 0; t < 3; ++t) slow.session.Tick();
    slow.session.MenuReadClick();
    const int slowRead = slow.TickUntilIdle();
    slow.session.MenuProgramClick();
    const int slowProgram = slow.TickUntilIdle();

    session.setFastMonitor(true);
    EXPECT_EQ(RequestTicks(3), testing::Range(1, 3));
    session.MenuReadClick();
    EXPECT_EQ(TickTransfer(), slowRead);
    session.MenuProgramClick();
    EXPECT_EQ(TickTransfer(), slowProgram);
    EXPECT_EQ(TransferCommands(), slow.TransferCommands());
    EXPECT_EQ(view.captions, slow.view.captions);
    EXPECT_EQ(RequestTicks(3), testing::Range(1, 3));  // and on every tick again once idle
}

}  // namespace
}  // namespace torvane
