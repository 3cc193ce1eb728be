#include "sim/engine_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace torvane {

namespace {

// Phases of one cycle, seconds from its start.
constexpr double IdleEnd = 8.0;
constexpr double GearRunSeconds = 2.5;
constexpr int GearsInRun = 4;
constexpr double RunEnd = IdleEnd + GearRunSeconds * GearsInRun;  // 18 s
constexpr double CoastEnd = 22.0;
constexpr double ShiftSeconds = 0.3;
constexpr double LaunchRpm = 3000.0;
constexpr double CoastEndRpm = 3000.0;
constexpr double RunThrottle = 85.0;
constexpr double ShiftThrottle = 15.0;
constexpr double OverrunRpm = 2000.0;
constexpr double TwoPi = 2.0 * std::numbers::pi;

constexpr double CoolantStartC = 20.0;
constexpr double CoolantRiseC = 78.0;
constexpr double CoolantTimeConstant = 200.0;
constexpr double AirStartC = 20.0;
constexpr double AirRiseC = 12.0;
constexpr double AirTimeConstant = 300.0;
constexpr double FanOnC = 95.0;
constexpr double AfterStartSeconds = 60.0;
constexpr double MaxInjectorDuty = 0.9;  // injectors never stay open for more of the cycle than this

constexpr std::array<int, 4> CylinderInjectionTrimUs = {0, 30, -20, 10};
constexpr std::array<int, 4> CylinderAdvanceTrimDeg = {0, 1, -1, 0};

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

double Lerp(double a, double b, double f) {
    return a + (b - a) * f;
}

int ClampInt(double v, int lo, int hi) {
    if (!(v >= lo)) return lo;  // also catches NaN
    if (v > hi) return hi;
    return static_cast<int>(std::lround(v));
}

void PutWord(DeviceFrame& f, int word, double value) {
    const int v = ClampInt(value, 0, 0xFFFF);
    f[static_cast<std::size_t>(2 * word)] = static_cast<std::uint8_t>(v >> 8);
    f[static_cast<std::size_t>(2 * word + 1)] = static_cast<std::uint8_t>(v & 0xFF);
}

void PutByte(DeviceFrame& f, int index, double value) {
    f[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(ClampInt(value, 0, 255));
}

// Voltage of an NTC temperature sensor behind a pull-up, as the unit's input sees it.
double NtcMv(double celsius) {
    constexpr double R25 = 2000.0, Beta = 3400.0, PullUp = 1000.0, Supply = 5000.0;
    const double r = R25 * std::exp(Beta * (1.0 / (celsius + 273.15) - 1.0 / 298.15));
    return Supply * r / (r + PullUp);
}

// Coolant enrichment while cold, as a factor.
double CoolantFactor(double coolantC) {
    return 1.0 + std::max(0.0, 80.0 - coolantC) * 0.004;
}
double AfterStartFactor(double seconds) {
    return 1.0 + 0.3 * std::max(0.0, 1.0 - seconds / AfterStartSeconds);
}
double CoolantAdvanceDeg(double coolantC) {
    return std::max(0.0, 60.0 - coolantC) * 0.05;
}

}  // namespace

void EngineModel::Advance(double seconds) {
    if (std::isfinite(seconds) && seconds > 0) elapsed_ += seconds;
}

double EngineModel::jitter(int channel, double amplitude) const {
    // A fresh sample every 10 ms of engine time, the same for the same seed and moment.
    const auto slot = static_cast<std::uint64_t>(elapsed_ * 100.0);
    const std::uint64_t h = SplitMix(seed_ ^ SplitMix(slot * 64 + static_cast<std::uint64_t>(channel)));
    const double unit = static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);  // [0, 1)
    return (unit * 2.0 - 1.0) * amplitude;
}

EngineSnapshot EngineModel::snapshot() const {
    EngineSnapshot s;
    if (motion_ == EngineMotion::Cycle) {
        rideCycle(s);
    } else {
        holdOrSweep(s);
    }
    s.throttlePercent = std::clamp(s.throttlePercent, 0.0, 100.0);
    s.idling = s.throttlePercent < 1.0 && s.rpm < 1600.0;
    const bool overrun = s.throttlePercent < 1.0 && s.rpm > OverrunRpm;
    senseConditions(s, overrun);
    setUnitOutputs(s, overrun);
    return s;
}

// Idle, a run up through the gears, a coast in top gear and the return to idle, over and over.
void EngineModel::rideCycle(EngineSnapshot& s) const {
    const double t = std::fmod(elapsed_, CyclePeriodSeconds);
    if (t < IdleEnd) {
        s.rpm = IdleRpm + 40.0 * std::sin(TwoPi * elapsed_ / 3.0) + jitter(0, 10.0);
        s.throttlePercent = 0.4 + jitter(1, 0.2);
    } else if (t < RunEnd) {
        const int g = std::min(GearsInRun, 1 + static_cast<int>((t - IdleEnd) / GearRunSeconds));
        const double inGear = t - IdleEnd - GearRunSeconds * (g - 1);
        const double p = inGear / GearRunSeconds;
        const auto gearNumber = static_cast<std::size_t>(g);
        const double startRpm =
            g == 1 ? LaunchRpm : ShiftRpm * GearRatios[gearNumber - 1] / GearRatios[gearNumber - 2];
        s.gear = g;
        s.rpm = Lerp(startRpm, ShiftRpm, p);
        s.speedKmh = s.rpm / GearRatios[gearNumber - 1];
        s.throttlePercent = RunThrottle + jitter(1, 1.0);
        if (inGear < ShiftSeconds) {
            const double f = inGear / ShiftSeconds;
            s.clutchPulled = true;
            if (g == 1) {
                s.rpm = Lerp(IdleRpm, LaunchRpm, f);
                s.speedKmh *= f;
                s.throttlePercent = Lerp(0.4, RunThrottle, f);
            } else {
                s.throttlePercent = ShiftThrottle;
            }
        }
    } else if (t < CoastEnd) {
        const double f = (t - RunEnd) / (CoastEnd - RunEnd);
        s.gear = GearsInRun;
        s.rpm = Lerp(ShiftRpm, CoastEndRpm, f);
        s.speedKmh = s.rpm / GearRatios[GearsInRun - 1];
        s.throttlePercent = 0.0;
    } else {
        const double f = (t - CoastEnd) / (CyclePeriodSeconds - CoastEnd);
        s.clutchPulled = f < 0.2;
        s.rpm = IdleRpm + (CoastEndRpm - IdleRpm) * std::exp(-6.0 * f) + jitter(0, 10.0);
        s.speedKmh = CoastEndRpm / GearRatios[GearsInRun - 1] * (1.0 - f);
        s.throttlePercent = 0.4 + jitter(1, 0.2);
    }
}

// Both held and swept points run in third gear with the clutch in, no jitter on speed and throttle, so
// the cell the unit uses stays put or moves only as the sweep moves it.
void EngineModel::holdOrSweep(EngineSnapshot& s) const {
    const auto triangle = [&](double period) {
        const double phase = std::fmod(elapsed_, period) / period;
        return phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase;
    };
    if (motion_ == EngineMotion::Hold) {
        s.rpm = held_.rpm;
        s.throttlePercent = held_.throttlePercent;
    } else {
        s.rpm = Lerp(SweepLowRpm, SweepHighRpm, triangle(SweepRpmSeconds));
        s.throttlePercent = 100.0 * triangle(SweepThrottleSeconds);
    }
    s.gear = s.rpm > 0 ? 3 : 0;
    s.clutchPulled = false;
    s.speedKmh = s.rpm / GearRatios[2];
}

// Temperatures warming up since the start, pressures, the lambda probe and the supply voltage.
void EngineModel::senseConditions(EngineSnapshot& s, bool overrun) const {
    s.coolantC = CoolantStartC + CoolantRiseC * (1.0 - std::exp(-elapsed_ / CoolantTimeConstant));
    s.airC = AirStartC + AirRiseC * (1.0 - std::exp(-elapsed_ / AirTimeConstant));
    s.afterStartSeconds = elapsed_;

    s.ambientKpa = 98.3 + jitter(2, 0.05);
    if (s.throttlePercent < 1.0) {
        s.intakeKpa = (overrun ? 22.0 : 32.0) + jitter(3, 0.5);
    } else {
        s.intakeKpa = 30.0 + (s.ambientKpa - 32.0) * std::sqrt(s.throttlePercent / 100.0) + jitter(3, 0.5);
    }

    if (overrun) {
        s.lambdaMv = 80.0 + jitter(4, 10.0);
    } else if (s.throttlePercent > 60.0) {
        s.lambdaMv = 860.0 + jitter(4, 20.0);
    } else {
        s.lambdaMv = 450.0 + 350.0 * std::sin(TwoPi * 1.5 * elapsed_);
    }
    s.supplyMv = (s.rpm < 1500.0 ? 13300.0 : 14100.0) + jitter(5, 40.0);
}

// Injection times of both injector rows and the advance, per cylinder, as the unit would set them.
void EngineModel::setUnitOutputs(EngineSnapshot& s, bool overrun) const {
    const double enrich = CoolantFactor(s.coolantC) * AfterStartFactor(s.afterStartSeconds);
    const double baseA = overrun ? 0.0 : (600.0 + 85.0 * s.intakeKpa) * enrich;
    const double baseB = s.throttlePercent > 40.0 ? (s.throttlePercent - 40.0) / 60.0 * 4000.0 * enrich : 0.0;
    const double idleAdvance = 3.0 * std::sin(TwoPi * elapsed_ / 2.0);
    const double baseAdvance =
        s.idling ? 10.0 + idleAdvance
                 : 14.0 + 24.0 * std::min(s.rpm / 7000.0, 1.0) - 8.0 * s.throttlePercent / 100.0;
    // One engine cycle is two revolutions.
    const double maxOpenUs = std::min(25500.0, MaxInjectorDuty * 120.0e6 / std::max(s.rpm, 1.0));
    for (std::size_t c = 0; c < CylinderCount; ++c) {
        s.injectionAUs[c] = baseA > 0 ? ClampInt(baseA + CylinderInjectionTrimUs[c], 0, int(maxOpenUs)) : 0;
        s.injectionBUs[c] = baseB > 0 ? ClampInt(baseB + CylinderInjectionTrimUs[c], 0, int(maxOpenUs)) : 0;
        s.advanceDeg[c] =
            ClampInt(baseAdvance + CoolantAdvanceDeg(s.coolantC) + CylinderAdvanceTrimDeg[c], 0, 60);
    }
}

DeviceFrame EngineModel::MonitorFrame(const MonitorContext& context) const {
    const EngineSnapshot s = snapshot();
    DeviceFrame f{};
    f[0] = MonitorAnswerCommand;

    const auto atLimit = [&](std::uint8_t hundreds) { return hundreds != 0 && s.rpm >= hundreds * 100.0; };
    const bool running = s.rpm > 0;
    // Inputs read active at 0, so idle inputs are 1; outputs read active at 1.
    f[1] = 0x15 | (s.clutchPulled ? 0 : 0x40);
    f[2] = 0xC3 | (atLimit(context.ignLimiter) ? 0x04 : 0) | (atLimit(context.jetLimiter) ? 0x08 : 0) |
           (atLimit(context.retardLimiterRpm) ? 0x10 : 0);
    f[3] = static_cast<std::uint8_t>((s.coolantC >= FanOnC ? 0x10 : 0) | (running ? 0x60 : 0));
    f[4] = s.idling ? 0x10 : 0;

    const int channels = std::clamp(context.channelCount, 1, CylinderCount);
    for (int c = 0; c < channels; ++c) {
        const auto i = static_cast<std::size_t>(c);
        PutByte(f, 10 + c, s.advanceDeg[i]);
        PutByte(f, 14 + c, s.injectionAUs[i] / 100.0);
        PutByte(f, 18 + c, s.injectionBUs[i] / 100.0);
    }
    PutByte(f, 23, s.coolantC + 100.0);
    PutByte(f, 24, s.airC + 100.0);
    PutByte(f, 25, s.gear);
    PutByte(f, 26, std::min(100.0, s.throttlePercent * 2.0));
    PutByte(f, 27, s.rpm >= 10400.0 ? 1 : (s.rpm >= 10000.0 ? 2 : 0));  // shift light: on, then blinking
    f[150] = context.dataVersion;

    PutWord(f, 24, s.rpm);
    PutWord(f, 25, s.ambientKpa / 115.0 * 4500.0);
    PutWord(f, 26, s.ambientKpa * 10.0);
    PutWord(f, 27, s.intakeKpa * 45.0);
    PutWord(f, 28, 480.0 + s.throttlePercent * 40.0);
    PutWord(f, 29, s.lambdaMv);
    PutWord(f, 30, NtcMv(s.coolantC));
    PutWord(f, 31, NtcMv(s.airC));
    PutWord(f, 32, s.supplyMv);
    const double exhaustMv = 800.0 + 3000.0 * std::min(s.rpm / 10000.0, 1.0);
    PutWord(f, 33, exhaustMv);
    PutWord(f, 34, exhaustMv + jitter(6, 15.0));
    const double intakeServoMv = s.idling ? 1500.0 : 1000.0 + 30.0 * s.throttlePercent;
    PutWord(f, 35, intakeServoMv);
    PutWord(f, 36, intakeServoMv + jitter(7, 15.0));
    PutWord(f, 37, 2500.0 + jitter(8, 5.0));
    PutWord(f, 38, context.programmingCount);
    // Diagnostic values: crank period, speed, injection, advance, pressure, throttle, gear, uptime.
    PutWord(f, 39, s.rpm > 0 ? 60.0e6 / s.rpm : 0xFFFF);
    PutWord(f, 40, s.rpm / 100.0);
    PutWord(f, 41, s.injectionAUs[0]);
    PutWord(f, 42, s.advanceDeg[0] * 10.0);
    PutWord(f, 43, s.intakeKpa);
    PutWord(f, 44, s.throttlePercent * 10.0);
    PutWord(f, 45, s.gear);
    PutWord(f, 46, std::fmod(elapsed_, 65536.0));
    PutWord(f, 47, std::min(s.afterStartSeconds, 65535.0));
    PutWord(f, 48, s.throttlePercent * 0.85);
    PutWord(f, 49, (intakeServoMv - 1000.0) / 40.0);
    // Injection corrections are factors in 0.1 %: 1000 leaves the injection time unchanged.
    PutWord(f, 50, CoolantFactor(s.coolantC) * 1000.0);
    PutWord(f, 51, 1000.0 + (25.0 - s.airC) * 2.0);
    PutWord(f, 52, s.ambientKpa / 101.3 * 1000.0);
    PutWord(f, 53, AfterStartFactor(s.afterStartSeconds) * 1000.0);
    PutWord(f, 54, 1000.0 + (14000.0 - s.supplyMv) / 10.0);
    PutWord(f, 55, (CoolantAdvanceDeg(s.coolantC) + 100.0) * 10.0);
    PutWord(f, 56, 1000.0);
    PutWord(f, 57, 1000.0);
    PutWord(f, 58, s.speedKmh);
    PutWord(f, 59, GearSensorMv[static_cast<std::size_t>(std::clamp(s.gear, 0, 6))]);
    PutWord(f, 60, s.speedKmh > 1.0 ? s.rpm / s.speedKmh * 10.0 : 0.0);
    for (int g = 0; g < 6; ++g) PutWord(f, 61 + g, GearRatios[static_cast<std::size_t>(g)] * 10.0);
    PutWord(f, 67, s.idling ? 1000.0 + 30.0 * std::sin(2.0 * std::numbers::pi * elapsed_ / 2.0) : 1000.0);
    PutWord(f, 68, s.intakeKpa);
    PutWord(f, 69, s.throttlePercent * 10.0);
    PutWord(f, 74, context.savingCountdown);

    f[FrameSize - 1] = FrameChecksum(std::span<const std::uint8_t>(f.data(), FrameSize - 1));
    return f;
}

}  // namespace torvane
