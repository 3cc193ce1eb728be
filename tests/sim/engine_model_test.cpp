#include "sim/engine_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace torvane {
namespace {

int Word(const DeviceFrame& f, int n) {
    return f[static_cast<std::size_t>(2 * n)] << 8 | f[static_cast<std::size_t>(2 * n + 1)];
}
bool Bit(const DeviceFrame& f, int byte, int bit) {
    return (f[static_cast<std::size_t>(byte)] >> bit) & 1;
}

// Monitor frames at the configurator's polling pace over two full cycles.
std::vector<DeviceFrame> Frames(EngineModel& engine, const MonitorContext& context = {}) {
    std::vector<DeviceFrame> frames;
    for (double t = 0; t < 2 * EngineModel::CyclePeriodSeconds; t += 0.33) {
        frames.push_back(engine.MonitorFrame(context));
        engine.Advance(0.33);
    }
    return frames;
}

TEST(EngineModel, EveryMonitorFrameIsValidAndWithinRange) {
    EngineModel engine(3);
    for (const DeviceFrame& f : Frames(engine)) {
        ASSERT_EQ(f[0], MonitorAnswerCommand);
        ASSERT_TRUE(FrameIsValid(f));
        EXPECT_EQ(f[150], ProgramVersion);
        const int rpm = Word(f, 24);
        EXPECT_GE(rpm, 1000);
        EXPECT_LE(rpm, 11000);
        EXPECT_GE(Word(f, 26), 950);  // ambient pressure, 0.1 kPa
        EXPECT_LE(Word(f, 26), 1020);
        EXPECT_GE(Word(f, 68), 15);  // intake pressure, kPa, never above ambient
        EXPECT_LE(Word(f, 68) * 10, Word(f, 26) + 10);
        EXPECT_LE(Word(f, 69), 1000);  // throttle, 0.1 %
        EXPECT_NEAR(Word(f, 28), 480 + 4 * Word(f, 69), 4) << "throttle sensor follows the opening";
        EXPECT_LE(Word(f, 29), 1000);   // lambda
        EXPECT_GT(Word(f, 32), 11000);  // supply voltage in its normal band
        EXPECT_LT(Word(f, 32), 14999);
        EXPECT_GT(f[23], 100);  // coolant and air: no sensor error, above 0 °C
        EXPECT_LT(f[23], 200);
        EXPECT_GT(f[24], 100);
        EXPECT_LT(f[24], 150);
        EXPECT_LE(f[25], 6);
        EXPECT_LE(f[26], 100);
        for (std::size_t c = 0; c < 4; ++c) EXPECT_LE(f[10 + c], 60) << "advance";
        const int maxInjection = *std::max_element(f.begin() + 14, f.begin() + 22);
        EXPECT_LT(rpm * maxInjection / 12000, 100) << "injector duty stays below 100 %";
        EXPECT_LE(Word(f, 58), 200);  // road speed
        if (Word(f, 58) > 20) {       // below that, whole km/h are too coarse to compare
            EXPECT_NEAR(Word(f, 60), rpm * 10 / Word(f, 58), Word(f, 60) * 0.03);
        }
        EXPECT_EQ(Word(f, 59), GearSensorMv[f[25]]);
        // No sensor errors, servos fine, pick-ups running, idle inputs inactive.
        EXPECT_EQ(f[4] & 0x07, 0);
        EXPECT_TRUE(Bit(f, 2, 6) && Bit(f, 2, 7));
        EXPECT_TRUE(Bit(f, 3, 5) && Bit(f, 3, 6));
        EXPECT_TRUE(Bit(f, 1, 0) && Bit(f, 1, 2) && Bit(f, 1, 4) && Bit(f, 2, 0));
        EXPECT_FALSE(Bit(f, 3, 7)) << "no programmed-data error";
        EXPECT_EQ(Word(f, 54) > 900 && Word(f, 54) < 1100, true);
        EXPECT_GE(Word(f, 50), 1000);
        EXPECT_GE(Word(f, 61), Word(f, 62));
    }
}

TEST(EngineModel, IdlesThenRevsWithThrottleFollowing) {
    EngineModel engine(3);
    const auto frames = Frames(engine);
    int idleFrames = 0, revFrames = 0, gearsSeen = 0;
    std::vector<bool> gear(7, false);
    for (const DeviceFrame& f : frames) {
        const int rpm = Word(f, 24);
        const bool clutchPulled = !Bit(f, 1, 6);
        if (rpm < 1500 && !clutchPulled) {
            ++idleFrames;
            EXPECT_LT(Word(f, 69), 20) << "closed throttle at idle";
            EXPECT_EQ(f[25], 0) << "neutral at idle";
            EXPECT_TRUE(Bit(f, 4, 4)) << "intake servo in idle mode";
            EXPECT_GT(f[14], 20) << "injection still runs at idle";
        }
        if (rpm > 8000 && Word(f, 69) > 500) {
            ++revFrames;
            EXPECT_GT(Word(f, 68), 80) << "open throttle means high intake pressure";
            EXPECT_GT(f[18], 0) << "secondary injectors join at wide throttle";
        }
        gear[f[25]] = true;
    }
    for (bool g : gear) gearsSeen += g;
    EXPECT_GT(idleFrames, 20);
    EXPECT_GT(revFrames, 5);
    EXPECT_GE(gearsSeen, 4);
}

TEST(EngineModel, CoolantWarmsUpOverMinutes) {
    EngineModel engine(1);
    int last = engine.MonitorFrame({})[23];
    EXPECT_LT(last - 100, 30);
    for (int minute = 1; minute <= 15; ++minute) {
        engine.Advance(60.0);
        const int now = engine.MonitorFrame({})[23];
        EXPECT_GE(now, last);
        last = now;
    }
    EXPECT_GT(last - 100, 85);
    const DeviceFrame warm = engine.MonitorFrame({});
    EXPECT_TRUE(Bit(warm, 3, 4)) << "cooling fan once hot";
    EXPECT_LT(Word(warm, 30), 1500) << "a warm NTC reads low";
    EXPECT_EQ(Word(warm, 50), 1000) << "no coolant enrichment when warm";
}

TEST(EngineModel, ChannelCountLimitsTheCylinders) {
    EngineModel engine(1);
    MonitorContext two;
    two.channelCount = 2;
    const DeviceFrame f = engine.MonitorFrame(two);
    EXPECT_GT(f[10], 0);
    EXPECT_GT(f[11], 0);
    EXPECT_GT(f[15], 0);
    for (int i : {12, 13, 16, 17, 20, 21}) EXPECT_EQ(f[static_cast<std::size_t>(i)], 0) << "byte " << i;
    MonitorContext none;
    none.channelCount = 0;
    EXPECT_GT(engine.MonitorFrame(none)[10], 0) << "cylinder 1 always runs";
}

TEST(EngineModel, ContextFieldsReachTheFrame) {
    EngineModel engine(1);
    MonitorContext c;
    c.dataVersion = 69;
    c.programmingCount = 1234;
    c.savingCountdown = 3030;
    c.ignLimiter = 11;  // 1100 rpm: the idling engine is already at the limit
    const DeviceFrame f = engine.MonitorFrame(c);
    EXPECT_EQ(f[150], 69);
    EXPECT_EQ(Word(f, 38), 1234);
    EXPECT_EQ(Word(f, 74), 3030);
    EXPECT_TRUE(Bit(f, 2, 2));
    EXPECT_FALSE(Bit(f, 2, 3)) << "injection limiter off";
    EXPECT_TRUE(FrameIsValid(f));
}

TEST(EngineModel, DeterministicForASeed) {
    EngineModel a(5), b(5), c(6);
    EXPECT_EQ(Frames(a), Frames(b));
    EngineModel d(5);
    EXPECT_NE(Frames(d), Frames(c));
}

TEST(EngineModel, HeldPointStaysAndSweepCrossesTheMapSlowly) {
    EngineModel engine;
    engine.hold({6000, 30});
    for (double t : {0.0, 3.7, 30.0, 100.0}) {
        engine.Advance(t);
        const EngineSnapshot s = engine.snapshot();
        EXPECT_DOUBLE_EQ(s.rpm, 6000);
        EXPECT_DOUBLE_EQ(s.throttlePercent, 30);
        EXPECT_EQ(s.gear, 3);
    }
    EngineModel swept;
    swept.sweep();
    double low = 1e9, high = 0, lowTps = 1e9, highTps = 0, previous = swept.snapshot().rpm, fastest = 0;
    for (int i = 0; i < 1200; ++i) {
        swept.Advance(0.1);
        const EngineSnapshot s = swept.snapshot();
        low = std::min(low, s.rpm);
        high = std::max(high, s.rpm);
        lowTps = std::min(lowTps, s.throttlePercent);
        highTps = std::max(highTps, s.throttlePercent);
        fastest = std::max(fastest, std::abs(s.rpm - previous));
        previous = s.rpm;
    }
    EXPECT_LE(low, EngineModel::SweepLowRpm + 50);
    EXPECT_GE(high, EngineModel::SweepHighRpm - 50);
    EXPECT_LE(lowTps, 1);
    EXPECT_GE(highTps, 99);
    // Slow enough to watch: under 50 rpm per 0.1 s, a column of the map takes seconds.
    EXPECT_LT(fastest, 50);
}

}  // namespace
}  // namespace torvane
