// The configurator's window against the simulated unit served on a pseudo-terminal: the real serial
// adapter, the real tick, the unit answering from another thread as a cable-connected unit would.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "display/live_point.h"
#include "image/defaults.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "link/link_session.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "sim/pty_server.h"
#include "sim/unit_model.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

class SilentPrompts : public UserPrompts {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    QStringList shown;
};

// Serves the unit until stopped.
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
    // Waits until the unit has taken in every request written to the terminal so far and sent its
    // answers back, where the window's next poll finds them: until one whole pass of the server has
    // run since this call (gives up after two seconds). The window's write returns once the request
    // is in the terminal.
    void waitForAnswers() const {
        const std::size_t seen = server_.passes();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (server_.passes() < seen + 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

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
    // One tick; what it sent is answered before the next one.
    static void tick(TFormHlav& w, const ServedUnit& served) {
        w.Timer1Timer();
        served.waitForAnswers();
    }

    QTemporaryDir dir;
    SilentPrompts* prompts = nullptr;
};

TEST_F(WindowPtyTest, IdleWindowAsksForAMonitorFrameEverySixthTickAndHearsTheUnit) {
    ServedUnit served;
    ASSERT_TRUE(served.start());
    auto w = start(served.path());
    ASSERT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join("; ").toStdString();

    constexpr int Ticks = 64;
    for (int i = 0; i < Ticks; ++i) tick(*w, served);
    const std::uint16_t silence = w->link()->session().SilenceCounter();
    // The last request (tick 60) may still be on its way on a slow machine: it gets up to two seconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (served.requestsServed() < 10u && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    w->close();
    served.stop();

    // Idle ticks ask every sixth tick: ten times in 64 ticks.
    EXPECT_EQ(served.requestsServed(), 10u);
    // Answers keep the watchdog quiet: no no-connection label after its seventh silent tick.
    EXPECT_LT(silence, SilenceLimitTicks);
    EXPECT_TRUE(w->findChild<QLabel*>("LabelSpojeni")->isHidden());
}

// Ticks until the link is idle again (or a generous limit), as a user waiting for the caption would.
void runTransfer(TFormHlav& w, const ServedUnit& served, int limit = 400) {
    for (int i = 0; i < limit; ++i) {
        w.Timer1Timer();
        served.waitForAnswers();
        if (w.link()->session().transferState() == TransferState::Idle) return;
    }
}

TEST_F(WindowPtyTest, ReadVerifyAndProgramOverTheTerminalEndOkAndTheUnitHoldsTheWindowsImage) {
    ServedUnit served;
    ASSERT_TRUE(served.start());
    auto w = start(served.path());
    auto* status = w->findChild<QLabel*>("LabelHlaseni");

    w->MenuReadClick();
    runTransfer(*w, served);
    EXPECT_EQ(status->text(), "Verify: OK");

    w->MenuVerifyClick();
    runTransfer(*w, served);
    EXPECT_EQ(status->text(), "Verify: OK");

    // A changed limiter goes to the unit by Program, which verifies what it wrote.
    const std::size_t limiter = 309;
    // Program takes the active page into the image first, so the change is shown on it.
    w->image().setByte(limiter, static_cast<std::uint8_t>(w->image().byteAt(limiter) - 5));
    w->editor().ImageToPage();
    const DeviceImage programmed = w->image();
    w->MenuProgramClick();
    runTransfer(*w, served);
    EXPECT_EQ(status->text(), "Program device: OK");
    EXPECT_FALSE(status->property("failure").toBool());
    w->close();
    served.stop();
    for (int b = 1; b < BlockCount; ++b) {
        EXPECT_TRUE(std::ranges::equal(served.unit().storedImage().block(b), programmed.block(b)))
            << "block " << b;
    }
}

// A configuration for the unit that differs from the window's start: another type, a map cell off
// 100 %, notes with a line break and a character beyond ASCII.
DeviceImage UnitConfiguration() {
    DeviceImage image;
    InjectionWork work;
    DefaultsState state;
    SetFieldValue(image, Field(FieldId::Bike), 0, 17);
    ApplyDefaults(image, work, state, false, 0);
    SetFieldValue(image, Field(FieldId::IgnLimiter), 0, 133);
    work.percentOf(InjectionMap::Jet1A)[40] = 125;
    InjectionImageFromPercent(image, work, InjectionMap::Jet1A);
    image.setMemoText("Ladění 2008\r\nsecond line");
    // The spins of the Synchro page offer 1..58 for the tooth numbers and oscillation sections; the
    // type's profile leaves unused ones at 0, which a commit on that page would lift to 1.
    for (FieldId name : {FieldId::Top1, FieldId::Top2, FieldId::Top3, FieldId::Top4, FieldId::KyvaniFaze11,
                         FieldId::KyvaniFaze12, FieldId::KyvaniFaze13, FieldId::KyvaniFaze21,
                         FieldId::KyvaniFaze22, FieldId::KyvaniFaze23}) {
        if (FieldValue(image, Field(name)) == 0) SetFieldValue(image, Field(name), 0, 1);
    }
    NormalizeImage(image);
    return image;
}

bool SameBlocks(const DeviceImage& a, const DeviceImage& b, int* firstDifferent = nullptr) {
    for (int block = 1; block < BlockCount; ++block) {
        if (!std::ranges::equal(a.block(block), b.block(block))) {
            if (firstDifferent != nullptr) *firstDifferent = block;
            return false;
        }
    }
    return true;
}

TEST_F(WindowPtyTest, ReadThenCommittingOnEveryPageAndProgramLeavesTheUnitAsItWas) {
    ServedUnit served;
    const DeviceImage configuration = UnitConfiguration();
    served.unit().setStoredImage(configuration);
    ASSERT_TRUE(served.start());
    auto w = start(served.path());
    auto* status = w->findChild<QLabel*>("LabelHlaseni");

    w->MenuReadClick();
    runTransfer(*w, served);
    ASSERT_EQ(status->text(), "Verify: OK");
    ASSERT_TRUE(SameBlocks(w->image(), configuration));
    ASSERT_EQ(FieldValue(w->image(), Field(FieldId::Bike)), 17);

    // Every page is shown and committed as it stands, as a user clicking into a field on each.
    for (int page = 0; page < PageCount; ++page) {
        w->editor().switchToPage(page);
        w->editor().EditOnClick();
        int block = 0;
        EXPECT_TRUE(SameBlocks(w->image(), configuration, &block)) << "page " << page << ", block " << block;
    }
    w->editor().switchToPage(PageJet1A);
    w->MenuProgramClick();
    runTransfer(*w, served);
    EXPECT_EQ(status->text(), "Program device: OK");
    w->close();
    served.stop();
    int block = 0;
    EXPECT_TRUE(SameBlocks(served.unit().storedImage(), configuration, &block)) << "block " << block;
    EXPECT_EQ(served.unit().storedImage().memoText(), "Ladění 2008\r\nsecond line");
}

TEST_F(WindowPtyTest, EditsMadeInTheFieldsReachTheUnitByProgram) {
    ServedUnit served;
    const DeviceImage configuration = UnitConfiguration();
    served.unit().setStoredImage(configuration);
    ASSERT_TRUE(served.start());
    auto w = start(served.path());
    w->MenuReadClick();
    runTransfer(*w, served);

    // A limiter on the Bike page, typed and entered.
    w->editor().switchToPage(PageBike);
    auto* ign = w->findChild<SpinField*>("UpDownIgnLimiter");
    ASSERT_NE(ign, nullptr);
    ign->selectAll();
    QTest::keyClicks(ign, "12800");
    QTest::keyClick(ign, Qt::Key_Return);
    // A cell of Inj-1A in the coupled mode: the same cell of the other channels follows.
    w->editor().switchToPage(PageJet1A);
    ASSERT_TRUE(w->editor().coupledMode());
    MapPanel* panel = w->editor().mapPanel();
    ASSERT_EQ(panel->grid().cell(40).value, 125);
    SpinField* cell = panel->gridView().edit(panel->grid().cellIndex(40));
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    QTest::keyClicks(cell, "140");
    QTest::keyClick(cell, Qt::Key_Return);
    const DeviceImage edited = w->image();
    ASSERT_EQ(FieldValue(edited, Field(FieldId::IgnLimiter)), 128);
    ASSERT_GT(FieldValue(edited, Field(FieldId::Jet2A), 40),
              FieldValue(configuration, Field(FieldId::Jet2A), 40));

    w->MenuProgramClick();
    runTransfer(*w, served);
    EXPECT_EQ(w->findChild<QLabel*>("LabelHlaseni")->text(), "Program device: OK");
    w->close();
    served.stop();
    const DeviceImage& stored = served.unit().storedImage();
    EXPECT_EQ(FieldValue(stored, Field(FieldId::IgnLimiter)), 128);
    for (FieldId map : {FieldId::Jet1A, FieldId::Jet2A, FieldId::Jet3A, FieldId::Jet4A})
        EXPECT_EQ(FieldValue(stored, Field(map), 40), FieldValue(edited, Field(map), 40)) << Field(map).name;
    int block = 0;
    EXPECT_TRUE(SameBlocks(stored, edited, &block)) << "block " << block;
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

// Live tuning end to end: the engine held at one point, the cell the unit uses shown green, F5 on it
// and Program change exactly that cell in the unit.
TEST_F(WindowPtyTest, HeldOperatingPointIsHighlightedAndF5ThenProgramChangesExactlyThatCell) {
    ServedUnit served;
    served.unit().engine().hold({6000, 30});
    ASSERT_TRUE(served.start());
    auto w = start(served.path());
    w->MenuReadClick();
    runTransfer(*w, served);
    w->editor().switchToPage(PageAdvance);
    for (int i = 0; i < 40 && w->liveValues().EngineSpeed == 0; ++i) tick(*w, served);
    for (int i = 0; i < 6; ++i) tick(*w, served);  // a monitor answer comes every sixth tick
    const LiveValues live = w->liveValues();
    ASSERT_GT(live.EngineSpeed, 5900);

    std::array<std::uint8_t, 15> axis{};
    for (int c = 0; c < 15; ++c)
        axis[static_cast<std::size_t>(c)] =
            static_cast<std::uint8_t>(FieldValue(w->image(), Field(FieldId::RpmAdv), c));
    const int column = RpmColumn(axis, live.EngineSpeed);
    const int row = FieldValue(w->image(), Field(FieldId::AdvanceTps), 0) != 0
                        ? ThrottleRow(live.ThrottleOpening, live.ThrottleSensorError)
                        : 9;
    ASSERT_LT(row, 10);
    const int k = row * 15 + column;
    MapPanel* panel = w->editor().mapPanel();
    for (int cell = 0; cell < 150; ++cell) {
        EXPECT_EQ(panel->grid().cell(cell).field == QColor(0, 255, 0), cell == k) << cell;
    }

    const DeviceImage before = w->image();
    w->findChild<QAction*>("MenuToolsPlus")->trigger();
    w->MenuProgramClick();
    runTransfer(*w, served);
    w->close();
    served.stop();
    const DeviceImage& stored = served.unit().storedImage();
    const std::size_t index = Field(FieldId::Advance).index + static_cast<std::size_t>(k);
    EXPECT_EQ(stored.byteAt(index), before.byteAt(index) + 1);
    for (std::size_t i = BlockSize; i < ImageSize; ++i) {
        if (i != index) {
            ASSERT_EQ(stored.byteAt(i), before.byteAt(i)) << "byte " << i;
        }
    }
}

}  // namespace
}  // namespace torvane
