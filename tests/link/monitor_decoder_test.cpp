// Decoding of the unit's monitor frame into the live values.
#include "link/monitor_decoder.h"

#include <gtest/gtest.h>

#include "monitor_test_support.h"

#ifdef TORVANE_HAVE_SIM
#include "sim/unit_model.h"
#endif

namespace torvane {
namespace {

using testing::MonitorFrameBuilder;

TEST(MonitorDecoder, TakesBytesWordsAndBitsIntoTheLiveValues) {
    const auto b = MonitorFrameBuilder::With(
        {{23, 185}, {24, 125}, {25, 3}, {2, 0x14}, {3, 0x08}, {4, 0x02}},
        {{24, 0x1A2B}, {69, 456}, {68, 87}, {28, 2345}, {47, 31}, {59, 1900}, {60, 825}, {74, 6060}});
    DeviceImage image;
    LiveValues live;
    ASSERT_TRUE(DecodeMonitorFrame(b.frame(), image, live));
    EXPECT_EQ(live.EngineSpeed, 0x1A2B);
    EXPECT_EQ(live.ThrottleOpening, 456);
    EXPECT_EQ(live.IntakePressure, 87);
    EXPECT_EQ(live.ThrottleSensorMv, 2345);
    EXPECT_EQ(live.AfterStartTimer, 31);
    EXPECT_EQ(live.GearSensorMv, 1900);
    EXPECT_EQ(live.SpeedRatio, 825);
    EXPECT_EQ(live.UnitSavingCountdown, 6060);
    EXPECT_EQ(live.CoolantTemperature, 185);
    EXPECT_EQ(live.AirTemperature, 125);
    EXPECT_EQ(live.Gear, 3);
    EXPECT_TRUE(live.IgnLimiterActive);
    EXPECT_FALSE(live.JetLimiterActive);
    EXPECT_TRUE(live.RetardLimiterActive);
    EXPECT_TRUE(live.BaseAdvanceMode);
    EXPECT_FALSE(live.ThrottleSensorError);
    EXPECT_TRUE(live.IntakePressureError);
    EXPECT_EQ(live.monitorFrames, 1u);

    // A coolant sensor error reads as 180 for the live operating point.
    ASSERT_TRUE(DecodeMonitorFrame(MonitorFrameBuilder::With({{23, 0}}).frame(), image, live));
    EXPECT_EQ(live.CoolantTemperature, 180);
    EXPECT_EQ(live.monitor.coolantRaw, 0);
}

TEST(MonitorDecoder, RejectedFramesChangeNothing) {
    DeviceImage image;
    LiveValues live;
    ASSERT_TRUE(DecodeMonitorFrame(MonitorFrameBuilder::With({{26, 40}}, {{24, 3000}}).frame(), image, live));

    const auto other = MonitorFrameBuilder::With({{26, 0}, {4, 3}, {10, 44}}, {{24, 9000}, {74, 100}});
    DeviceFrame corrupt = other.frame();
    corrupt[100] ^= 0x01;
    EXPECT_FALSE(DecodeMonitorFrame(corrupt, image, live));
    DeviceFrame notMonitor = other.f;
    notMonitor[0] = 177;
    notMonitor[FrameSize - 1] =
        FrameChecksum(std::span<const std::uint8_t>(notMonitor.data(), FrameSize - 1));
    EXPECT_FALSE(DecodeMonitorFrame(notMonitor, image, live));
    const DeviceFrame good = other.frame();
    EXPECT_FALSE(DecodeMonitorFrame(std::span<const std::uint8_t>(good.data(), FrameSize - 1), image, live));
    EXPECT_FALSE(DecodeMonitorFrame({}, image, live));

    EXPECT_EQ(live.EngineSpeed, 3000);
    EXPECT_EQ(live.ThrottleShare, 40);
    EXPECT_EQ(live.UnitSavingCountdown, 0);
    EXPECT_FALSE(live.ThrottleSensorError);
    EXPECT_EQ(live.monitor.advance[0], 0);
    EXPECT_EQ(live.monitorFrames, 1u);
}

TEST(MonitorDecoder, ThrottleShareFlagsFollowTheShareUnlessTheUnitSwitchedItOff) {
    struct Case {
        int share;
        bool off, above, below;
    };
    for (const Case c :
         {Case{0, false, false, true}, Case{50, false, true, true}, Case{100, false, true, false},
          Case{50, true, false, false}, Case{0, true, false, false}}) {
        DeviceImage image;
        LiveValues live;
        ASSERT_TRUE(
            DecodeMonitorFrame(MonitorFrameBuilder::With({{26, c.share}, {3, c.off}}).frame(), image, live));
        EXPECT_EQ(live.ThrottleShare, c.share);
        EXPECT_EQ(live.InjectionFromThrottleAboveZero, c.above) << c.share << " off " << c.off;
        EXPECT_EQ(live.InjectionFromThrottleBelowFull, c.below) << c.share << " off " << c.off;
    }
}

TEST(MonitorDecoder, DutyUsesTheEngineSpeedOfThePreviousFrame) {
    DeviceImage image;
    LiveValues live;
    const auto duty = [&](std::initializer_list<std::pair<int, int>> bytes, int rpm) {
        EXPECT_TRUE(DecodeMonitorFrame(MonitorFrameBuilder::With(bytes, {{24, rpm}}).frame(), image, live));
        return live.monitor.dutyPercent;
    };
    EXPECT_EQ(duty({{14, 250}}, 6000), 0);              // no frame before
    EXPECT_EQ(duty({{14, 20}, {21, 250}}, 1000), 125);  // the largest of all eight times, a B time here
    EXPECT_EQ(duty({{17, 120}}, 65535), 10);
    EXPECT_EQ(duty({{18, 255}}, 0), 65535 * 255 / 12000);  // no overflow at the top of both ranges
}

#ifdef TORVANE_HAVE_SIM
TEST(MonitorDecoder, DecodesTheSimulatedUnitsFrames) {
    UnitModel unit;
    DeviceImage image;
    LiveValues live;
    for (int step = 0; step < 40; ++step) {
        unit.Advance(0.33);
        const std::vector<std::uint8_t> answer = unit.HandleRequest(MakeMonitorRequest());
        ASSERT_EQ(answer.size(), FrameSize);
        ASSERT_TRUE(DecodeMonitorFrame(answer, image, live));
        const EngineSnapshot s = unit.engine().snapshot();
        EXPECT_NEAR(live.EngineSpeed, s.rpm, 1.0);
        EXPECT_EQ(live.Gear, s.gear);
        EXPECT_NEAR(live.CoolantTemperature, s.coolantC + 100.0, 1.0);
        EXPECT_EQ(live.monitor.unitVersion, ProgramVersion);
    }
    EXPECT_EQ(live.monitorFrames, 40u);
}
#endif

}  // namespace
}  // namespace torvane
