#pragma once
// A small, deterministic engine that feeds the simulated unit's monitor frames: it idles, then runs
// up through the gears and coasts back down in a slow cycle, while coolant and air warm up.
// Every value is a function of the seed and the time since start, so tests see stable numbers.

#include <array>
#include <cstdint>

#include "image/device_image.h"
#include "link/frame.h"

namespace torvane {

// Physical state of the engine at one moment.
struct EngineSnapshot {
    double rpm = 0;
    double throttlePercent = 0;
    int gear = 0;  // 0 = neutral
    double speedKmh = 0;
    bool clutchPulled = false;
    bool idling = false;
    double coolantC = 20;
    double airC = 20;
    double ambientKpa = 98.3;
    double intakeKpa = 98.3;
    double lambdaMv = 450;
    double supplyMv = 12600;
    std::array<int, 4> advanceDeg{};    // per cylinder
    std::array<int, 4> injectionAUs{};  // per cylinder, primary injectors
    std::array<int, 4> injectionBUs{};  // per cylinder, secondary injectors
    double afterStartSeconds = 0;
};

// What the unit adds to the engine's picture when it builds a monitor frame.
struct MonitorContext {
    std::uint8_t dataVersion = ProgramVersion;
    std::uint16_t programmingCount = 0;
    std::uint16_t savingCountdown = 0;
    int channelCount = 4;         // cylinders beyond it read 0
    std::uint8_t ignLimiter = 0;  // limiter speeds in hundreds of rpm; 0 = limiter off
    std::uint8_t jetLimiter = 0;
    std::uint8_t retardLimiterRpm = 0;
};

// A fixed operating point the engine can be held at: steady speed and throttle in one gear.
struct OperatingPoint {
    double rpm = 3000;
    double throttlePercent = 20;
};

// How the engine moves: the run-up cycle, held at one point, or sweeping slowly through the maps
// (rpm up and down over SweepRpmSeconds while the throttle walks through its range over
// SweepThrottleSeconds), so the live point can be watched crossing cell after cell.
enum class EngineMotion { Cycle, Hold, Sweep };

class EngineModel {
  public:
    static constexpr double SweepRpmSeconds = 60.0;
    static constexpr double SweepThrottleSeconds = 37.0;
    static constexpr double SweepLowRpm = 1000.0;
    static constexpr double SweepHighRpm = 15000.0;

    static constexpr double CyclePeriodSeconds = 24.0;
    static constexpr double IdleRpm = 1250.0;
    static constexpr double ShiftRpm = 10500.0;
    static constexpr int CylinderCount = 4;

    explicit EngineModel(std::uint64_t seed = 1) : seed_(seed) {}

    // Moves the engine on; negative or non-finite steps are ignored.
    void Advance(double seconds);
    double elapsed() const { return elapsed_; }

    void hold(OperatingPoint point) {
        motion_ = EngineMotion::Hold;
        held_ = point;
    }
    void sweep() { motion_ = EngineMotion::Sweep; }
    void cycle() { motion_ = EngineMotion::Cycle; }
    EngineMotion motion() const { return motion_; }

    EngineSnapshot snapshot() const;
    // The complete 302-byte monitor answer (byte 0 = 176, valid checksum).
    DeviceFrame MonitorFrame(const MonitorContext& context) const;

  private:
    double jitter(int channel, double amplitude) const;
    void rideCycle(EngineSnapshot& s) const;
    void holdOrSweep(EngineSnapshot& s) const;
    void senseConditions(EngineSnapshot& s, bool overrun) const;
    void setUnitOutputs(EngineSnapshot& s, bool overrun) const;

    std::uint64_t seed_;
    double elapsed_ = 0;
    EngineMotion motion_ = EngineMotion::Cycle;
    OperatingPoint held_;
};

// Ratio of engine speed to road speed (rpm per km/h) in gears 1..6.
inline constexpr std::array<double, 6> GearRatios = {130.0, 100.0, 82.0, 70.0, 62.0, 56.0};
// Gear position sensor voltage, mV, for neutral and gears 1..6.
inline constexpr std::array<int, 7> GearSensorMv = {4600, 800, 1300, 1900, 2600, 3300, 4000};

}  // namespace torvane
