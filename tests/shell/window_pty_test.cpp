// The configurator's window against the simulated unit served on a pseudo-terminal: the real serial
// adapter, the real tick, the unit answering from another thread as a cable-connected unit would.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "link/link_session.h"
#include "shell/tform_hlav.h"
#include "shell/window_link.h"
#include "sim/pty_server.h"
#include "sim/unit_model.h"

namespace torvane {
namespace {

class SilentPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    QStringList shown;
};

// Serves the unit until stopped; counters are read only after the serving thread has ended.
class ServedUnit {
  public:
    ServedUnit() : server_(unit_) {}
    ~ServedUnit() { stop(); }

    bool start() {
        if (!server_.start()) return false;
        thread_ = std::thread([this] { server_.serve([this] { return !stopping_.load(); }); });
        return true;
    }
    void stop() {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
    }
    std::string path() const { return server_.slavePath(); }
    std::size_t requestsServed() const { return server_.requestsServed(); }
    UnitModel& unit() { return unit_; }

  private:
    UnitModel unit_;
    PtyServer server_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

class WindowPtyTest : public ::testing::Test {
  protected:
    std::unique_ptr<TFormHlav> start(const std::string& path) {
        StartOptions o;
        o.portOverride = QString::fromStdString(path);
        o.settingsDirectory = dir.path();
        auto p = std::make_unique<SilentPrompts>();
        prompts = p.get();
        auto w = std::make_unique<TFormHlav>(o, std::move(p));
        w->timer1()->stop();  // the test paces the ticks
        return w;
    }
    // One tick, then a pause long enough for the unit to answer over the terminal.
    static void tick(TFormHlav& w) {
        w.Timer1Timer();
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }

    QTemporaryDir dir;
    SilentPrompts* prompts = nullptr;
};

TEST_F(WindowPtyTest, IdleWindowAsksForAMonitorFrameEverySixthTickAndHearsTheUnit) {
    ServedUnit served;
    ASSERT_TRUE(served.start());
    auto w = start(served.path());
    ASSERT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join("; ").toStdString();

    constexpr int Ticks = 64;  // the last request (tick 60) gets four ticks to reach the unit
    for (int i = 0; i < Ticks; ++i) tick(*w);
    const std::uint16_t silence = w->link()->session().SilenceCounter();
    w->close();
    served.stop();

    // Idle ticks ask every sixth tick: ten times in 64 ticks.
    EXPECT_EQ(served.requestsServed(), 10u);
    // Answers keep the watchdog quiet: no no-connection label after its seventh silent tick.
    EXPECT_LT(silence, SilenceLimitTicks);
    EXPECT_TRUE(w->findChild<QLabel*>("LabelSpojeni")->isHidden());
}

// Ticks until the link is idle again (or a generous limit), as a user waiting for the caption would.
void runTransfer(TFormHlav& w, int limit = 400) {
    for (int i = 0; i < limit; ++i) {
        w.Timer1Timer();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (w.link()->session().transferState() == TransferState::Idle) return;
    }
}

TEST_F(WindowPtyTest, ReadVerifyAndProgramOverTheTerminalEndOkAndTheUnitHoldsTheWindowsImage) {
    ServedUnit served;
    ASSERT_TRUE(served.start());
    auto w = start(served.path());
    auto* status = w->findChild<QLabel*>("LabelHlaseni");

    w->MenuReadClick();
    runTransfer(*w);
    EXPECT_EQ(status->text(), "Verify: OK");

    w->MenuVerifyClick();
    runTransfer(*w);
    EXPECT_EQ(status->text(), "Verify: OK");

    // A changed limiter goes to the unit by Program, which verifies what it wrote.
    const std::size_t limiter = 309;
    // Program takes the active page into the image first, so the change is shown on it.
    w->image().setByte(limiter, static_cast<std::uint8_t>(w->image().byteAt(limiter) - 5));
    w->editor().ImageToPage();
    const DeviceImage programmed = w->image();
    w->MenuProgramClick();
    runTransfer(*w);
    EXPECT_EQ(status->text(), "Program device: OK");
    EXPECT_FALSE(status->property("failure").toBool());
    w->close();
    served.stop();
    for (int b = 1; b < BlockCount; ++b) {
        EXPECT_TRUE(std::ranges::equal(served.unit().storedImage().block(b), programmed.block(b)))
            << "block " << b;
    }
}

TEST(WindowSimulateTest, BuiltInUnitReadsBackWhatTheWindowStartedWith) {
    QTemporaryDir dir;
    StartOptions o;
    o.simulate = true;
    o.settingsDirectory = dir.path();
    TFormHlav w(o, std::make_unique<SilentPrompts>());
    w.timer1()->stop();
    const DeviceImage before = w.image();
    w.MenuReadClick();
    for (int i = 0; i < 200 && w.link()->session().transferState() != TransferState::Idle; ++i)
        w.Timer1Timer();
    EXPECT_EQ(w.findChild<QLabel*>("LabelHlaseni")->text(), "Verify: OK");
    for (int b = 1; b < BlockCount; ++b)
        EXPECT_TRUE(std::ranges::equal(w.image().block(b), before.block(b))) << b;
}

}  // namespace
}  // namespace torvane
