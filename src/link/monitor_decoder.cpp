#include "link/monitor_decoder.h"

#include <algorithm>

#include "link/frame.h"

namespace torvane {

namespace {

// Word N of the monitor frame: byte 2N high, byte 2N + 1 low.
std::uint16_t Word(std::span<const std::uint8_t> f, std::size_t n) {
    return static_cast<std::uint16_t>(f[2 * n] << 8 | f[2 * n + 1]);
}

bool Bit(std::uint8_t value, int bit) {
    return (value >> bit & 1) != 0;
}

// Engine cycles of two revolutions against the longest injection time: rpm x 100 us / 12000.
constexpr int DutyDivisor = 12000;

}  // namespace

void DeriveMonitorStates(LiveValues& live) {
    const std::uint8_t outputs = live.monitor.flags[1];
    const std::uint8_t status = live.monitor.flags[2];
    const std::uint8_t sensors = live.monitor.flags[3];
    live.IgnLimiterActive = Bit(outputs, 2);
    live.JetLimiterActive = Bit(outputs, 3);
    live.RetardLimiterActive = Bit(outputs, 4);
    live.ThrottleShareOff = Bit(status, 0);
    live.BaseAdvanceMode = Bit(status, 3);
    live.ThrottleSensorError = Bit(sensors, 0);
    live.IntakePressureError = Bit(sensors, 1);
    live.InjectionFromThrottleAboveZero = live.ThrottleShare > 0 && !live.ThrottleShareOff;
    live.InjectionFromThrottleBelowFull = live.ThrottleShare < 100 && !live.ThrottleShareOff;
}

std::uint8_t CoolantTemperatureOf(std::uint8_t coolantRaw) {
    return coolantRaw == 0 ? 180 : coolantRaw;
}

int MonitorDutyPercent(std::uint16_t previousSpeed, const MonitorSample& m) {
    const std::uint8_t longest = std::max(*std::max_element(m.injectionA.begin(), m.injectionA.end()),
                                          *std::max_element(m.injectionB.begin(), m.injectionB.end()));
    return static_cast<int>(previousSpeed) * longest / DutyDivisor;
}

bool DecodeMonitorFrame(std::span<const std::uint8_t> frame, const DeviceImage&, LiveValues& live) {
    if (frame.size() < FrameSize || frame[0] != MonitorAnswerCommand ||
        !FrameIsValid(frame.first(FrameSize))) {
        return false;
    }
    const auto f = frame.first(FrameSize);
    MonitorSample& m = live.monitor;

    for (std::size_t i = 0; i < 4; ++i) {
        m.flags[i] = f[1 + i];
        m.advance[i] = f[10 + i];
        m.injectionA[i] = f[14 + i];
        m.injectionB[i] = f[18 + i];
    }
    // The duty uses the engine speed of the previous frame: this frame's speed is taken only below.
    m.dutyPercent = MonitorDutyPercent(live.EngineSpeed, m);

    m.coolantRaw = f[23];
    m.airRaw = f[24];
    live.CoolantTemperature = CoolantTemperatureOf(f[23]);
    live.AirTemperature = f[24];
    live.Gear = f[25];
    live.ThrottleShare = f[26];
    DeriveMonitorStates(live);
    m.pilotLight = f[27];
    m.unitVersion = f[150];

    live.EngineSpeed = Word(f, 24);
    m.ambientPressureMv = Word(f, 25);
    m.ambientPressure = Word(f, 26);
    m.intakePressureMv = Word(f, 27);
    live.ThrottleSensorMv = Word(f, 28);
    m.lambdaMv = Word(f, 29);
    m.coolantMv = Word(f, 30);
    m.airMv = Word(f, 31);
    m.supplyMv = Word(f, 32);
    m.exhaustServoMv = {Word(f, 33), Word(f, 34)};
    m.intakeServoMv = {Word(f, 35), Word(f, 36)};
    m.potentiometerMv = Word(f, 37);
    m.programmingCount = Word(f, 38);
    for (std::size_t i = 0; i < m.diagnostics.size(); ++i) m.diagnostics[i] = Word(f, 39 + i);
    live.AfterStartTimer = Word(f, 47);
    m.positionA = Word(f, 48);
    m.positionB = Word(f, 49);
    m.coolantJetCorrection = Word(f, 50);
    m.airJetCorrection = Word(f, 51);
    m.ambientJetCorrection = Word(f, 52);
    m.startJetCorrection = Word(f, 53);
    m.supplyJetCorrection = Word(f, 54);
    m.coolantAdvanceCorrection = Word(f, 55);
    m.potentiometerAdvanceCorrection = Word(f, 56);
    m.potentiometerJetCorrection = Word(f, 57);
    m.roadSpeed = Word(f, 58);
    live.GearSensorMv = Word(f, 59);
    live.SpeedRatio = Word(f, 60);
    for (std::size_t i = 0; i < m.learntSpeedRatio.size(); ++i) m.learntSpeedRatio[i] = Word(f, 61 + i);
    m.idleAdvanceCorrection = Word(f, 67);
    live.IntakePressure = Word(f, 68);
    live.ThrottleOpening = Word(f, 69);
    live.UnitSavingCountdown = Word(f, 74);

    ++live.monitorFrames;
    return true;
}

}  // namespace torvane
