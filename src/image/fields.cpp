#include "image/fields.h"

#include <array>

#include "image/device_image.h"

namespace torvane {

namespace {

constexpr int B = 255;    // full byte range
constexpr int W = 65535;  // full word range
using U = std::string_view;

// Shorthand for one row; the scale and range follow the editing control of each field. `unit` is what
// follows the shown value ("rpm", "°", "µs"; empty for counts, modes and switches).
constexpr FieldInfo F(FieldId id, U name, std::size_t index, int width, int count, int a, int c, int lo,
                      int hi, U section, U unit = {}) {
    return FieldInfo{id, name, index, width, count, a, c, lo, hi, section, unit};
}
constexpr FieldInfo Bool(FieldId id, U name, std::size_t index, U section) {
    return F(id, name, index, 1, 1, 1, 0, 0, 1, section);
}
constexpr FieldInfo Byte(FieldId id, U name, std::size_t index, int lo, int hi, U section, U unit = {},
                         int a = 1, int c = 0) {
    return F(id, name, index, 1, 1, a, c, lo, hi, section, unit);
}
constexpr FieldInfo Rpm(FieldId id, U name, std::size_t index, int lo, U section) {
    return F(id, name, index, 1, 1, 100, 0, lo, 250, section, "rpm");
}
constexpr FieldInfo Axis(FieldId id, U name, std::size_t index, U section) {
    return F(id, name, index, 1, 15, 100, 0, 3, 250, section, "rpm");
}
// One row: the maker, the field's identifier (also its name, verbatim) and the maker's arguments.
#define FIELD(make, id, ...) make(FieldId::id, #id, __VA_ARGS__)

// Mode-dependent scalings (servo maps and idle servo values follow their percent flag and the idle
// mode) are listed with a = 1; the conversions supply the step for the current mode.
constexpr std::array<FieldInfo, FieldCount> Table{
    // Block 0: the unit's header, read only.
    FIELD(F, HeaderName, 0, 1, 3, 1, 0, 0, B, ""),
    FIELD(Byte, HeaderVersion, 3, 0, B, ""),
    FIELD(Byte, HeaderDay, 4, 0, B, ""),
    FIELD(Byte, HeaderMonth, 5, 0, B, ""),
    FIELD(Byte, HeaderYear, 6, 0, B, "", "", 1, 2000),
    FIELD(Byte, HeaderHour, 7, 0, B, ""),
    FIELD(Byte, HeaderMinute, 8, 0, B, ""),
    FIELD(Byte, HeaderDataVersion, 10, 0, B, ""),
    FIELD(F, HeaderLongName, 16, 1, 30, 1, 0, 0, B, ""),

    // Block 1: scalars and sensor tables.
    FIELD(Byte, Bike, 300, 0, 49, "BIKE"),
    FIELD(Bool, FallEnable, 302, "INPUTS"),
    FIELD(Bool, BlokEnable, 303, "INPUTS"),
    FIELD(Bool, AktFall, 304, "INPUTS"),
    FIELD(Bool, AktClutch, 305, "INPUTS"),
    FIELD(Bool, AktStartLimiter, 306, "INPUTS"),
    FIELD(Bool, AktRpm, 307, "INPUTS"),
    FIELD(Rpm, StartLimiter, 308, 9, "LIMITER"),
    FIELD(Rpm, IgnLimiter, 309, 9, "LIMITER"),
    FIELD(Rpm, JetLimiter, 310, 9, "LIMITER"),
    FIELD(Rpm, RetardLimiterRpm, 311, 9, "LIMITER"),
    FIELD(Byte, RetardLimiterAdv, 312, 1, 250, "LIMITER", "°/100rpm"),
    FIELD(Bool, BikeSecial, 313, "SYNCHRO"),
    FIELD(Byte, Synchro1, 314, 0, 8, "SYNCHRO"),
    FIELD(Byte, Synchro2, 315, 0, 5, "SYNCHRO"),
    FIELD(Byte, PocPalcu, 316, 1, 58, "SYNCHRO"),
    FIELD(Byte, VynechPalcu, 317, 0, 58, "SYNCHRO"),
    FIELD(Byte, PocKanOut, 318, 1, 4, "SYNCHRO"),
    FIELD(Byte, SynchroHrana, 319, 0, 3, "SYNCHRO"),
    FIELD(Bool, InvInput, 320, "SYNCHRO"),
    FIELD(Byte, Top1, 321, 1, 58, "SYNCHRO"),
    FIELD(Byte, Top2, 322, 1, 58, "SYNCHRO"),
    FIELD(Byte, Top3, 323, 1, 58, "SYNCHRO"),
    FIELD(Byte, Top4, 324, 1, 58, "SYNCHRO"),
    FIELD(Byte, TeethPer180, 325, 0, B, "SYNCHRO"),
    FIELD(Byte, TeethPer60, 326, 0, B, "SYNCHRO"),
    FIELD(Byte, ToothAngle, 327, 0, B, "SYNCHRO"),
    FIELD(Byte, PredaniHodnot, 328, 1, 58, "SYNCHRO"),
    FIELD(Rpm, SynchroMaxRpm, 329, 9, "SYNCHRO"),
    FIELD(Byte, Kyvani1, 330, 0, 1, ""),
    FIELD(Byte, Kyvani2, 331, 0, 1, ""),
    FIELD(Byte, KyvaniFaze11, 332, 1, 58, ""),
    FIELD(Byte, KyvaniFaze12, 333, 1, 58, ""),
    FIELD(Byte, KyvaniFaze13, 334, 1, 58, ""),
    FIELD(Byte, KyvaniFaze21, 335, 1, 58, ""),
    FIELD(Byte, KyvaniFaze22, 336, 1, 58, ""),
    FIELD(Byte, KyvaniFaze23, 337, 1, 58, ""),
    FIELD(Byte, KyvaniFazeOtacka1, 338, 0, 1, ""),
    FIELD(Byte, KyvaniFazeOtacka2, 339, 0, 1, ""),
    FIELD(Byte, Buzeni, 340, 1, 100, "", "µs", 100),
    FIELD(F, ApsTlak1, 342, 2, 1, 1, 0, 0, 1000, "APS_IAPS", "kPa"),
    FIELD(F, ApsNapeti1, 344, 2, 1, 1, 0, 0, 25000, "APS_IAPS", "mV"),
    FIELD(F, ApsTlak2, 346, 2, 1, 1, 0, 0, 1000, "APS_IAPS", "kPa"),
    FIELD(F, ApsNapeti2, 348, 2, 1, 1, 0, 0, 25000, "APS_IAPS", "mV"),
    FIELD(F, IapsTlak1, 350, 2, 1, 1, 0, 0, 1000, "APS_IAPS", "kPa"),
    FIELD(F, IapsNapeti1, 352, 2, 1, 1, 0, 0, 25000, "APS_IAPS", "mV"),
    FIELD(F, IapsTlak2, 354, 2, 1, 1, 0, 0, 1000, "APS_IAPS", "kPa"),
    FIELD(F, IapsNapeti2, 356, 2, 1, 1, 0, 0, 25000, "APS_IAPS", "mV"),
    FIELD(Byte, Tps0, 358, 0, 250, "TPS", "mV", 10),
    FIELD(Byte, Tps100, 359, 0, 250, "TPS", "mV", 10, 2500),
    FIELD(Byte, Chlazeni, 360, 0, 150, "COOLING", "°C"),
    FIELD(Byte, RpmPulsu, 361, 0, 6, "RPM"),
    FIELD(Byte, RpmKorekce, 362, 40, 160, "RPM", "", 1, -100),
    FIELD(Rpm, IntakePortRpm, 363, 9, "INTAKE_PORT"),
    FIELD(Bool, AdvanceTps, 364, "ADVANCE_MISC"),
    FIELD(Byte, AdvCorrCyl1, 365, 85, 115, "ADVANCE_MISC", "°", 1, -100),
    FIELD(Byte, AdvCorrCyl2, 366, 85, 115, "ADVANCE_MISC", "°", 1, -100),
    FIELD(Byte, AdvCorrCyl3, 367, 85, 115, "ADVANCE_MISC", "°", 1, -100),
    FIELD(Byte, AdvCorrCyl4, 368, 85, 115, "ADVANCE_MISC", "°", 1, -100),
    FIELD(Byte, BaseAdvance, 369, 0, 100, "ADVANCE_MISC", "°"),
    FIELD(Byte, LobeWidth, 370, 0, 100, "ADVANCE_MISC", "°"),
    FIELD(Byte, Jet1423Mode, 371, 0, 2, "JET1_MISC"),
    FIELD(Byte, IapTpsMin, 372, 0, 100, "JET1_MISC", "%"),
    FIELD(Byte, IapTpsMax, 373, 0, 100, "JET1_MISC", "%"),
    FIELD(Rpm, IapRpmMin, 374, 0, "JET1_MISC"),
    FIELD(Rpm, IapRpmMax, 375, 0, "JET1_MISC"),
    FIELD(Byte, IapCorrCyl1, 376, 0, B, "IAP_MISC"),
    FIELD(Byte, IapCorrCyl2, 377, 0, B, "IAP_MISC"),
    FIELD(Byte, IapCorrCyl3, 378, 0, B, "IAP_MISC"),
    FIELD(Byte, IapCorrCyl4, 379, 0, B, "IAP_MISC"),
    FIELD(Byte, PolohaAMode, 380, 0, 2, "POSITION_A"),
    FIELD(Byte, PolohaBMode, 381, 0, 2, "POSITION_B"),
    FIELD(Bool, ServoExEnable, 382, "SERVO_EX"),
    FIELD(Bool, ServoInEnable, 383, "SERVO_IN"),
    FIELD(Byte, ServoExHyst, 384, 0, 200, "SERVO_EX", "mV", 5),
    FIELD(Byte, ServoInHyst, 385, 0, 200, "SERVO_IN", "mV", 5),
    FIELD(Bool, ServoExProcent, 386, "SERVO_EX"),
    FIELD(Bool, ServoInProcent, 387, "SERVO_IN"),
    FIELD(Byte, ServoExMode, 388, 0, 2, "SERVO_EX"),
    FIELD(Byte, ServoInMode, 389, 0, 2, "SERVO_IN"),
    FIELD(Bool, ServoInStep, 390, "SERVO_IN"),
    FIELD(Byte, SyticCas1, 391, 0, 250, "CHOKE", "s"),
    FIELD(Byte, SyticCas2, 392, 0, 250, "CHOKE", "s"),
    FIELD(Byte, SyticCas3, 393, 0, 250, "CHOKE", "s"),
    FIELD(Byte, SyticCas4, 394, 0, 250, "CHOKE", "s"),
    FIELD(Byte, SyticKorekce0, 395, 0, 250, "CHOKE", "%", 1, 100),
    FIELD(Byte, SyticKorekce1, 396, 0, 250, "CHOKE", "%", 1, 100),
    FIELD(Byte, SyticKorekce2, 397, 0, 250, "CHOKE", "%", 1, 100),
    FIELD(Byte, SyticKorekce3, 398, 0, 250, "CHOKE", "%", 1, 100),
    FIELD(Byte, PotencMode, 399, 0, 2, "POTENTIOMETER"),
    FIELD(Byte, PotencRozsah, 400, 0, 60, "POTENTIOMETER"),
    FIELD(Byte, ServoInStepPeriod, 401, 4, 100, "SERVO_IN", "ms"),
    FIELD(Byte, ServoInExcitation, 402, 1, 100, "SERVO_IN", "µs", 250),
    FIELD(F, InjCorrWater, 403, 1, 5, 1, 0, 10, 250, "INJ_CORR", "%"),
    FIELD(F, InjCorrAir, 408, 1, 5, 1, 0, 10, 250, "INJ_CORR", "%"),
    FIELD(Byte, AkcelPrah, 413, 1, 250, "ACCEL", "%/s", 10),
    FIELD(Byte, AkcelJet, 414, 0, 150, "ACCEL", "µs", 50),
    FIELD(Byte, StartJet, 415, 0, 50, "START_INJ", "ms"),
    FIELD(F, AdvCorrWater, 416, 1, 5, 1, -100, 80, 120, "ADVANCE_CORR", "°"),
    FIELD(Bool, Gas, 421, "N2O"),
    FIELD(Byte, Gas1, 422, 0, 100, "N2O", "%"),
    FIELD(Byte, Gas2, 423, 0, 100, "N2O", "%"),
    FIELD(Byte, GasT, 424, 0, B, "N2O", "ms", 100),
    FIELD(Byte, GasD, 425, 0, B, "N2O", "ms", 100),
    FIELD(Byte, Retard1, 426, 0, 25, "N2O", "°"),
    FIELD(Byte, Retard2, 427, 0, 25, "N2O", "°"),
    FIELD(Byte, RetardT, 428, 0, B, "N2O", "ms", 100),
    FIELD(Byte, RetardD, 429, 0, B, "N2O", "ms", 100),
    FIELD(Byte, GasJetKor1, 430, 0, 250, "N2O", "%", 1, 100),
    FIELD(Byte, GasJetKor2, 431, 0, 250, "N2O", "%", 1, 100),
    FIELD(Bool, TempDisplay, 432, "DISPLAY"),
    FIELD(F, PilotLight1, 433, 1, 6, 100, 0, 9, 250, "PILOT_LIGHT", "rpm"),
    FIELD(F, PilotLight2, 439, 1, 6, 100, 0, 9, 250, "PILOT_LIGHT", "rpm"),
    FIELD(Byte, ClutchMode, 445, 0, 1, "CLUTCH"),
    FIELD(F, ClutchTime, 446, 1, 6, 5, 0, 0, 250, "CLUTCH", "ms"),
    FIELD(F, ClutchPause, 452, 1, 6, 10, 0, 0, 250, "CLUTCH", "ms"),
    FIELD(Rpm, ClutchMinRpm, 458, 10, "CLUTCH"),
    FIELD(Byte, ClutchJet, 459, 0, 100, "CLUTCH", "%"),
    FIELD(Byte, ClutchAdv, 460, 0, 60, "CLUTCH", "°"),
    FIELD(F, PulsuProSpeed, 462, 2, 1, 1, 0, 1, 32000, "SPEED_PULSES"),
    FIELD(F, GearRatio, 464, 2, 6, 1, 0, 1, 32000, "GEAR"),
    FIELD(F, GearKorAdv, 476, 1, 6, 1, -100, 80, 120, "GEAR_CORR", "°"),
    FIELD(F, GearKorJet, 482, 1, 6, 1, 0, 0, B, "GEAR_CORR", "%"),
    FIELD(F, BikeConstA, 488, 1, 6, 1, 0, 0, B, ""),
    FIELD(F, WaterSensor, 494, 2, 9, 1, 0, 0, 5000, "WATER_TEMP_SENSOR", "mV"),
    FIELD(F, AirSensor, 512, 2, 9, 1, 0, 0, 5000, "AIR_TEMP_SENSOR", "mV"),
    FIELD(F, BikeTempCurve, 530, 2, 9, 1, 0, 0, W, ""),
    FIELD(Byte, GearSystem, 548, 0, 3, "GEAR"),
    FIELD(Byte, PocetGear, 549, 1, 6, "GEAR"),
    FIELD(Byte, SpeedMode, 550, 0, 1, "SPEED_PULSES"),
    FIELD(F, GearVoltage, 552, 2, 7, 1, 0, 0, 5000, "GEAR", "mV"),
    FIELD(Byte, GearAutoTime, 566, 1, 100, "GEAR_AUTO", "s"),
    FIELD(Rpm, GearAutoRpm, 567, 3, "GEAR_AUTO"),
    FIELD(Byte, GearAutoTps, 568, 0, 100, "GEAR_AUTO", "%"),
    FIELD(Byte, GearAutoBand, 569, 1, 100, "GEAR_AUTO", "0.1%"),
    FIELD(Byte, BikeRevLimit, 570, 0, B, "", "rpm", 100),
    FIELD(F, BikeConstB, 571, 1, 3, 1, 0, 0, B, ""),
    FIELD(Byte, IdleMode, 584, 0, 3, "IDLE"),
    FIELD(Byte, IdleRpmMez, 585, 3, 200, "IDLE", "rpm", 100),
    FIELD(Byte, IdleTpsMez, 586, 1, 100, "IDLE"),
    FIELD(Bool, IdleSmerReg, 587, "IDLE"),
    FIELD(Byte, IdleStepPuls, 588, 1, 100, "IDLE", "µs", 250),
    FIELD(Byte, IdleStepPerioda, 589, 4, 250, "IDLE", "ms"),
    FIELD(Byte, IdleHyster, 590, 0, 250, "IDLE", "rpm", 10),
    FIELD(F, IdleServoPoz, 591, 1, 9, 1, 0, 0, 250, "IDLE"),

    // Block 2 onwards.
    FIELD(Bool, IdleAdvOn, 600, "IDLE"),
    FIELD(Byte, IdleAdvNaRpm, 601, 1, 100, "IDLE", "°/1000rpm"),
    FIELD(Byte, IdleAdvNaCas, 602, 0, 250, "IDLE", "°/10s"),
    FIELD(Byte, IdleMaxAdv, 603, 1, 100, "IDLE", "°"),
    FIELD(F, IdleAdvPoz, 604, 1, 9, 50, 0, 0, 240, "IDLE", "rpm"),
    FIELD(Axis, PolohaARpm, 655, "POSITION_A"),
    FIELD(F, PolohaAPoz, 670, 1, 15, 5, 0, 0, 144, "POSITION_A", "°"),
    FIELD(Axis, PolohaBRpm, 685, "POSITION_B"),
    FIELD(F, PolohaBPoz, 700, 1, 15, 5, 0, 0, 144, "POSITION_B", "°"),
    FIELD(Axis, RpmAdv, 715, "RPM_ADV"),
    FIELD(Axis, RpmJet1A, 730, "RPM_JET_1A"),
    FIELD(Axis, RpmJet2A, 745, "RPM_JET_2A"),
    FIELD(Axis, RpmJet3A, 760, "RPM_JET_3A"),
    FIELD(Axis, RpmJet4A, 775, "RPM_JET_4A"),
    FIELD(Axis, RpmJetB, 790, "RPM_JET_B"),
    FIELD(Axis, RpmIap, 805, "RPM_IAP"),
    FIELD(Axis, RpmServoEx, 820, "RPM_SERVO_EX"),
    FIELD(Axis, RpmServoIn, 835, "RPM_SERVO_IN"),
    FIELD(F, Advance, 850, 1, 150, 1, 0, 0, 60, "ADVANCE", "°"),
    FIELD(F, Jet1A, 1000, 2, 150, 1, 0, 0, 60000, "JET_1A", "µs"),
    FIELD(F, Jet2A, 1300, 2, 150, 1, 0, 0, 60000, "JET_2A", "µs"),
    FIELD(F, Jet3A, 1600, 2, 150, 1, 0, 0, 60000, "JET_3A", "µs"),
    FIELD(F, Jet4A, 1900, 2, 150, 1, 0, 0, 60000, "JET_4A", "µs"),
    FIELD(F, JetB, 2200, 1, 150, 1, 0, 0, 100, "JET_B", "%"),
    FIELD(F, Iap, 2350, 2, 150, 1, 0, 0, 60000, "IAP", "µs"),
    FIELD(F, ServoExValue, 2650, 1, 150, 1, 0, 0, 250, "SERVO_EX_VALUE"),
    FIELD(F, ServoInValue, 2800, 1, 150, 1, 0, 0, 250, "SERVO_IN_VALUE"),
    FIELD(F, Memo, 2950, 1, 350, 1, 0, 0, B, "MEMO"),

    // Beside the image.
    FIELD(F, IapAxis, IapAxisIndex, 2, 10, 1, 0, 0, 1000, "IAP_IAP", "kPa"),
};

#undef FIELD

// Every row sits at the place of its identifier, so that Field(id) is one index.
constexpr bool RowsInIdentifierOrder() {
    for (std::size_t i = 0; i < Table.size(); ++i)
        if (static_cast<std::size_t>(Table[i].id) != i) return false;
    return true;
}
static_assert(RowsInIdentifierOrder(), "field rows must follow the order of FieldId");

bool InRange(const FieldInfo& field, int element) {
    return element >= 0 && element < field.count;
}

}  // namespace

std::span<const FieldInfo> FieldTable() {
    return Table;
}

const FieldInfo* FindField(std::string_view name) {
    for (const FieldInfo& f : Table)
        if (f.name == name) return &f;
    return nullptr;
}

const FieldInfo& Field(FieldId id) {
    return Table[static_cast<std::size_t>(id)];
}

int FieldValue(const DeviceImage& image, const FieldInfo& field, int element) {
    if (!InRange(field, element)) return 0;
    const auto e = static_cast<std::size_t>(element);
    if (field.index == IapAxisIndex) return e < image.IapAxis.size() ? image.IapAxis[e] : 0;
    if (field.width == 2) {
        const std::size_t i = field.index + 2 * e;
        return image.byteAt(i) << 8 | image.byteAt(i + 1);
    }
    return image.byteAt(field.index + e);
}

void SetFieldValue(DeviceImage& image, const FieldInfo& field, int element, int value) {
    if (!InRange(field, element)) return;
    const auto e = static_cast<std::size_t>(element);
    if (field.index == IapAxisIndex) {
        if (e < image.IapAxis.size()) image.IapAxis[e] = static_cast<std::uint16_t>(value);
        return;
    }
    if (field.width == 2) {
        const std::size_t i = field.index + 2 * e;
        image.setByte(i, static_cast<std::uint8_t>((value >> 8) & 0xFF));
        image.setByte(i + 1, static_cast<std::uint8_t>(value & 0xFF));
        return;
    }
    image.setByte(field.index + e, static_cast<std::uint8_t>(value & 0xFF));
}

int FieldShown(const DeviceImage& image, const FieldInfo& field, int element) {
    return field.scaleA * FieldValue(image, field, element) + field.offsetC;
}

}  // namespace torvane
