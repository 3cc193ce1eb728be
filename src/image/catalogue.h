#pragma once
// The motorcycle catalogue: the 50 types in the order of the type list, the code each one stores in
// `Bike`, and the per-type tables the defaults of a type are built from. All values are stored bytes or
// words of the device image unless a member says otherwise.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace torvane {

inline constexpr int MotorcycleTypeCount = 50;
// The last line of the type list; it has no code. A stored code of 50 or more shows this line.
inline constexpr int SeparatorItem = 50;
inline constexpr std::string_view SeparatorText = "-------------";
inline constexpr int TypeListDropDownCount = 42;  // lines the type list shows when dropped down
// The type the program starts with, and whose tables serve while no other type has been chosen.
inline constexpr int StartupBikeCode = 32;

struct CatalogueRow {
    std::uint8_t code;
    std::string_view listText;  // exactly as the type list shows it, blanks included
    std::uint8_t triggerProfile;
    std::uint8_t startLimiter;  // rpm / 100
    std::uint8_t ignLimiter;    // rpm / 100; also the default of BikeConstB[0]
    std::uint8_t aktFall;
    std::uint8_t rpmPulsu;
    std::uint8_t tps0;    // tens of mV
    std::uint8_t tps100;  // tens of mV above 2500
    std::uint8_t baseAdvance;
    std::uint8_t startJet;
    bool advanceMap;  // the advance table is a full 10 x 15 map (else one row of 15)
    std::uint8_t bikeConstA0;
    std::array<std::uint8_t, 3> bikeConstA3to5;
    std::array<std::uint8_t, 3> bikeConstB1to3;
};

// The synchronization fields a trigger profile gives.
struct TriggerProfile {
    std::uint8_t synchro1, synchro2, pocPalcu, vynechPalcu, pocKanOut, synchroHrana;
    std::array<std::uint8_t, 4> top;  // Top1..Top4
    std::uint8_t predaniHodnot, kyvani1, kyvani2;
    std::array<std::uint8_t, 3> kyvaniFaze1;  // KyvaniFaze11..13
    std::array<std::uint8_t, 3> kyvaniFaze2;  // KyvaniFaze21..23
    std::array<std::uint8_t, 2> kyvaniFazeOtacka;
};
inline constexpr int TriggerProfileCount = 24;

struct PositionDefaults {
    std::uint8_t modeA, modeB;
    std::array<std::uint8_t, 15> pozA, pozB;  // degrees / 5
};

struct ServoScalars {
    std::uint8_t inEnable, inProcent, inMode, inStep, inHyst;  // hysteresis in units of 5 mV
    std::uint8_t exEnable, exProcent, exHyst;
};
inline constexpr std::uint8_t DefaultServoExMode = 1;  // every type: the exhaust servo follows rpm only

struct CorrectionDefaults {
    std::array<std::uint8_t, 5> injCorrWater, injCorrAir;  // percent at -10, 20, 50, 80, 110 degC
    std::uint8_t akcelPrah;                                // tens of %/s
    std::uint8_t akcelJet;                                 // units of 50 us
};

struct IdleDefaults {
    std::uint8_t mode, rpmMez, tpsMez, smerReg, stepPuls, stepPerioda, hyster;
    std::array<std::uint8_t, 9> servoPoz;  // stored bytes (shown = byte x the idle step)
    std::uint8_t advOn, advNaRpm, advNaCas, maxAdv;
    std::array<std::uint8_t, 9> advPoz;  // rpm / 50
};

struct GearDefaults {
    std::uint8_t gearSystem;
    std::uint16_t pulsuProSpeed;
    std::array<std::uint16_t, 7> gearVoltage;  // mV
};

// ApsTlak1, ApsNapeti1, ApsTlak2, ApsNapeti2, IapsTlak1, IapsNapeti1, IapsTlak2, IapsNapeti2.
using PressureSensorWords = std::array<std::uint16_t, 8>;

struct TemperatureSensors {
    std::array<std::uint16_t, 9> water, air;  // mV at -10, 5, 20 ... 110 degC
};

// The catalogue in list order (item i is element i).
std::span<const CatalogueRow> CatalogueRows();
std::span<const TriggerProfile, TriggerProfileCount> TriggerProfiles();

// Code of a list line; -1 for the separator and for lines that do not exist.
int CodeOfItem(int item);
// List line of a code; SeparatorItem for every value that is not a type code.
int ItemOfCode(int code);
// Text of a list line, the separator included; empty for lines that do not exist.
std::string_view ListTextOfItem(int item);

bool IsMotorcycleCode(int code);

// Per-type lookups by code. A value that is not a type code gets the rows of the start-up type, so a
// lookup never reads outside a table; callers that must keep an earlier type's tables pass that code.
const CatalogueRow& CatalogueRowOfCode(int code);
const TriggerProfile& TriggerProfileOfCode(int code);
std::array<std::uint8_t, 15> RpmAxisOfCode(int code);  // rpm / 100
const PositionDefaults& PositionsOfCode(int code);
const ServoScalars& ServoScalarsOfCode(int code);
const CorrectionDefaults& CorrectionsOfCode(int code);
const IdleDefaults& IdleOfCode(int code);
const GearDefaults& GearOfCode(int code);
const PressureSensorWords& PressureSensorsOfCode(int code);
TemperatureSensors TemperatureSensorsOfCode(int code);
const std::array<std::uint16_t, 9>& NinePointCurveOfCode(int code);

// Voltage of a temperature sensor reading of `count` on the unit's 10-bit converter at 5 V.
constexpr std::uint16_t SensorMvFromCount(int count) {
    return static_cast<std::uint16_t>(count * 5000 / 1023);
}

}  // namespace torvane
