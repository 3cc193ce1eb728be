#pragma once
// The latest decoded monitor values of the unit. Every valid monitor frame overwrites all of them.

#include <array>
#include <cstdint>

namespace torvane {

// Everything the monitor frame carries for the readouts, decoded but not yet formatted.
// Words are big-endian in the frame; all values are unsigned as the unit sends them.
struct MonitorSample {
    std::array<std::uint8_t, 4> flags{};       // bytes 1..4: inputs, outputs and unit status bits
    std::array<std::uint8_t, 4> advance{};     // bytes 10..13, degrees per cylinder
    std::array<std::uint8_t, 4> injectionA{};  // bytes 14..17, 100 us per cylinder
    std::array<std::uint8_t, 4> injectionB{};  // bytes 18..21, 100 us per cylinder
    std::uint8_t coolantRaw = 0;               // byte 23: temperature + 100; 0 = sensor error
    std::uint8_t airRaw = 0;                   // byte 24: temperature + 100; 0 = sensor error
    std::uint8_t pilotLight = 0;               // byte 27: 0 off, 2 on, else blinking
    std::uint8_t unitVersion = 0;              // byte 150: version of the unit program

    std::uint16_t ambientPressureMv = 0;               // word 25
    std::uint16_t ambientPressure = 0;                 // word 26, 0.1 kPa
    std::uint16_t intakePressureMv = 0;                // word 27
    std::uint16_t lambdaMv = 0;                        // word 29
    std::uint16_t coolantMv = 0;                       // word 30
    std::uint16_t airMv = 0;                           // word 31
    std::uint16_t supplyMv = 0;                        // word 32
    std::array<std::uint16_t, 2> exhaustServoMv{};     // words 33, 34
    std::array<std::uint16_t, 2> intakeServoMv{};      // words 35, 36
    std::uint16_t potentiometerMv = 0;                 // word 37
    std::uint16_t programmingCount = 0;                // word 38
    std::array<std::uint16_t, 8> diagnostics{};        // words 39..46
    std::uint16_t positionA = 0;                       // word 48, degrees
    std::uint16_t positionB = 0;                       // word 49, degrees
    std::uint16_t coolantJetCorrection = 0;            // word 50, 0.1 %
    std::uint16_t airJetCorrection = 0;                // word 51, 0.1 %
    std::uint16_t ambientJetCorrection = 0;            // word 52, 0.1 %
    std::uint16_t startJetCorrection = 0;              // word 53, 0.1 %
    std::uint16_t supplyJetCorrection = 0;             // word 54, us + 1000
    std::uint16_t coolantAdvanceCorrection = 0;        // word 55, 0.1 deg + 100 deg
    std::uint16_t potentiometerAdvanceCorrection = 0;  // word 56, 0.1 deg + 100 deg
    std::uint16_t potentiometerJetCorrection = 0;      // word 57, 0.1 %
    std::uint16_t roadSpeed = 0;                       // word 58, km/h
    std::array<std::uint16_t, 6> learntSpeedRatio{};   // words 61..66, 0.1
    std::uint16_t idleAdvanceCorrection = 1000;        // word 67, 0.1 deg + 100 deg

    // Largest injection time as a share of the engine cycle, from the engine speed of the frame before.
    int dutyPercent = 0;
};

struct LiveValues {
    std::uint16_t EngineSpeed = 0;        // word 24, rpm
    std::uint16_t ThrottleOpening = 0;    // word 69, 0.1 %
    std::uint16_t IntakePressure = 0;     // word 68, kPa
    std::uint16_t ThrottleSensorMv = 0;   // word 28 (throttle end-point capture)
    std::uint8_t CoolantTemperature = 0;  // byte 23 (+100); a sensor error reads 180
    std::uint8_t AirTemperature = 0;      // byte 24 (+100)
    std::uint8_t Gear = 0;                // byte 25
    std::uint16_t AfterStartTimer = 0;    // word 47
    std::uint16_t GearSensorMv = 0;       // word 59 (gear capture)
    std::uint16_t SpeedRatio = 0;         // word 60, 0.1 (gear capture)
    bool ThrottleSensorError = false;     // bit 4.0
    bool IntakePressureError = false;     // bit 4.1
    bool ThrottleShareOff = false;        // bit 3.0: the unit takes no injection from the throttle map
    std::uint8_t ThrottleShare = 0;       // byte 26, percent of injection from the throttle map
    bool InjectionFromThrottleAboveZero = false;
    bool InjectionFromThrottleBelowFull = false;
    bool IgnLimiterActive = false;          // bit 2.2
    bool JetLimiterActive = false;          // bit 2.3
    bool RetardLimiterActive = false;       // bit 2.4
    bool BaseAdvanceMode = false;           // bit 3.3
    std::uint16_t UnitSavingCountdown = 0;  // monitor word 74: the unit's storing work after programming

    MonitorSample monitor;
    std::uint32_t monitorFrames = 0;  // valid monitor frames decoded so far; 0 = readouts never filled
};

}  // namespace torvane
