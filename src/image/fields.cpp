#include "image/fields.h"

#include <array>

#include "image/device_image.h"

namespace torvane {

namespace {

constexpr int B = 255;    // full byte range
constexpr int W = 65535;  // full word range

// Shorthand for one row; the scale and range follow the editing control of each field.
constexpr FieldInfo F(std::string_view name, std::size_t index, int width, int count, int a, int c, int lo,
                      int hi, std::string_view section) {
    return FieldInfo{name, index, width, count, a, c, lo, hi, section};
}
constexpr FieldInfo Bool(std::string_view name, std::size_t index, std::string_view section) {
    return F(name, index, 1, 1, 1, 0, 0, 1, section);
}
constexpr FieldInfo Byte(std::string_view name, std::size_t index, int lo, int hi, std::string_view section,
                         int a = 1, int c = 0) {
    return F(name, index, 1, 1, a, c, lo, hi, section);
}
constexpr FieldInfo Rpm(std::string_view name, std::size_t index, int lo, std::string_view section) {
    return F(name, index, 1, 1, 100, 0, lo, 250, section);
}
constexpr FieldInfo Axis(std::string_view name, std::size_t index, std::string_view section) {
    return F(name, index, 1, 15, 100, 0, 3, 250, section);
}

// Mode-dependent scalings (servo maps and idle servo values follow their percent flag and the idle
// mode) are listed with a = 1; the conversions supply the step for the current mode.
constexpr std::array Table{
    // Block 0: the unit's header, read only.
    F("HeaderName", 0, 1, 3, 1, 0, 0, B, ""),
    Byte("HeaderVersion", 3, 0, B, ""),
    Byte("HeaderDay", 4, 0, B, ""),
    Byte("HeaderMonth", 5, 0, B, ""),
    Byte("HeaderYear", 6, 0, B, "", 1, 2000),
    Byte("HeaderHour", 7, 0, B, ""),
    Byte("HeaderMinute", 8, 0, B, ""),
    Byte("HeaderDataVersion", 10, 0, B, ""),
    F("HeaderLongName", 16, 1, 30, 1, 0, 0, B, ""),

    // Block 1: scalars and sensor tables.
    Byte("Bike", 300, 0, 49, "BIKE"),
    Bool("FallEnable", 302, "INPUTS"),
    Bool("BlokEnable", 303, "INPUTS"),
    Bool("AktFall", 304, "INPUTS"),
    Bool("AktClutch", 305, "INPUTS"),
    Bool("AktStartLimiter", 306, "INPUTS"),
    Bool("AktRpm", 307, "INPUTS"),
    Rpm("StartLimiter", 308, 9, "LIMITER"),
    Rpm("IgnLimiter", 309, 9, "LIMITER"),
    Rpm("JetLimiter", 310, 9, "LIMITER"),
    Rpm("RetardLimiterRpm", 311, 9, "LIMITER"),
    Byte("RetardLimiterAdv", 312, 1, 250, "LIMITER"),
    Bool("BikeSecial", 313, "SYNCHRO"),
    Byte("Synchro1", 314, 0, 8, "SYNCHRO"),
    Byte("Synchro2", 315, 0, 5, "SYNCHRO"),
    Byte("PocPalcu", 316, 1, 58, "SYNCHRO"),
    Byte("VynechPalcu", 317, 0, 58, "SYNCHRO"),
    Byte("PocKanOut", 318, 1, 4, "SYNCHRO"),
    Byte("SynchroHrana", 319, 0, 3, "SYNCHRO"),
    Bool("InvInput", 320, "SYNCHRO"),
    Byte("Top1", 321, 1, 58, "SYNCHRO"),
    Byte("Top2", 322, 1, 58, "SYNCHRO"),
    Byte("Top3", 323, 1, 58, "SYNCHRO"),
    Byte("Top4", 324, 1, 58, "SYNCHRO"),
    Byte("TeethPer180", 325, 0, B, "SYNCHRO"),
    Byte("TeethPer60", 326, 0, B, "SYNCHRO"),
    Byte("ToothAngle", 327, 0, B, "SYNCHRO"),
    Byte("PredaniHodnot", 328, 1, 58, "SYNCHRO"),
    Rpm("SynchroMaxRpm", 329, 9, "SYNCHRO"),
    Byte("Kyvani1", 330, 0, 1, ""),
    Byte("Kyvani2", 331, 0, 1, ""),
    Byte("KyvaniFaze11", 332, 1, 58, ""),
    Byte("KyvaniFaze12", 333, 1, 58, ""),
    Byte("KyvaniFaze13", 334, 1, 58, ""),
    Byte("KyvaniFaze21", 335, 1, 58, ""),
    Byte("KyvaniFaze22", 336, 1, 58, ""),
    Byte("KyvaniFaze23", 337, 1, 58, ""),
    Byte("KyvaniFazeOtacka1", 338, 0, 1, ""),
    Byte("KyvaniFazeOtacka2", 339, 0, 1, ""),
    Byte("Buzeni", 340, 1, 100, "", 100),
    F("ApsTlak1", 342, 2, 1, 1, 0, 0, 1000, "APS_IAPS"),
    F("ApsNapeti1", 344, 2, 1, 1, 0, 0, 25000, "APS_IAPS"),
    F("ApsTlak2", 346, 2, 1, 1, 0, 0, 1000, "APS_IAPS"),
    F("ApsNapeti2", 348, 2, 1, 1, 0, 0, 25000, "APS_IAPS"),
    F("IapsTlak1", 350, 2, 1, 1, 0, 0, 1000, "APS_IAPS"),
    F("IapsNapeti1", 352, 2, 1, 1, 0, 0, 25000, "APS_IAPS"),
    F("IapsTlak2", 354, 2, 1, 1, 0, 0, 1000, "APS_IAPS"),
    F("IapsNapeti2", 356, 2, 1, 1, 0, 0, 25000, "APS_IAPS"),
    Byte("Tps0", 358, 0, 250, "TPS", 10),
    Byte("Tps100", 359, 0, 250, "TPS", 10, 2500),
    Byte("Chlazeni", 360, 0, 150, "COOLING"),
    Byte("RpmPulsu", 361, 0, 6, "RPM"),
    Byte("RpmKorekce", 362, 40, 160, "RPM", 1, -100),
    Rpm("IntakePortRpm", 363, 9, "INTAKE_PORT"),
    Bool("AdvanceTps", 364, "ADVANCE_MISC"),
    Byte("AdvCorrCyl1", 365, 85, 115, "ADVANCE_MISC", 1, -100),
    Byte("AdvCorrCyl2", 366, 85, 115, "ADVANCE_MISC", 1, -100),
    Byte("AdvCorrCyl3", 367, 85, 115, "ADVANCE_MISC", 1, -100),
    Byte("AdvCorrCyl4", 368, 85, 115, "ADVANCE_MISC", 1, -100),
    Byte("BaseAdvance", 369, 0, 100, "ADVANCE_MISC"),
    Byte("LobeWidth", 370, 0, 100, "ADVANCE_MISC"),
    Byte("Jet1423Mode", 371, 0, 2, "JET1_MISC"),
    Byte("IapTpsMin", 372, 0, 100, "JET1_MISC"),
    Byte("IapTpsMax", 373, 0, 100, "JET1_MISC"),
    Rpm("IapRpmMin", 374, 0, "JET1_MISC"),
    Rpm("IapRpmMax", 375, 0, "JET1_MISC"),
    Byte("IapCorrCyl1", 376, 0, B, "IAP_MISC"),
    Byte("IapCorrCyl2", 377, 0, B, "IAP_MISC"),
    Byte("IapCorrCyl3", 378, 0, B, "IAP_MISC"),
    Byte("IapCorrCyl4", 379, 0, B, "IAP_MISC"),
    Byte("PolohaAMode", 380, 0, 2, "POSITION_A"),
    Byte("PolohaBMode", 381, 0, 2, "POSITION_B"),
    Bool("ServoExEnable", 382, "SERVO_EX"),
    Bool("ServoInEnable", 383, "SERVO_IN"),
    Byte("ServoExHyst", 384, 0, 200, "SERVO_EX", 5),
    Byte("ServoInHyst", 385, 0, 200, "SERVO_IN", 5),
    Bool("ServoExProcent", 386, "SERVO_EX"),
    Bool("ServoInProcent", 387, "SERVO_IN"),
    Byte("ServoExMode", 388, 0, 2, "SERVO_EX"),
    Byte("ServoInMode", 389, 0, 2, "SERVO_IN"),
    Bool("ServoInStep", 390, "SERVO_IN"),
    Byte("SyticCas1", 391, 0, 250, "CHOKE"),
    Byte("SyticCas2", 392, 0, 250, "CHOKE"),
    Byte("SyticCas3", 393, 0, 250, "CHOKE"),
    Byte("SyticCas4", 394, 0, 250, "CHOKE"),
    Byte("SyticKorekce0", 395, 0, 250, "CHOKE", 1, 100),
    Byte("SyticKorekce1", 396, 0, 250, "CHOKE", 1, 100),
    Byte("SyticKorekce2", 397, 0, 250, "CHOKE", 1, 100),
    Byte("SyticKorekce3", 398, 0, 250, "CHOKE", 1, 100),
    Byte("PotencMode", 399, 0, 2, "POTENTIOMETER"),
    Byte("PotencRozsah", 400, 0, 60, "POTENTIOMETER"),
    Byte("ServoInStepPeriod", 401, 4, 100, "SERVO_IN"),
    Byte("ServoInExcitation", 402, 1, 100, "SERVO_IN", 250),
    F("InjCorrWater", 403, 1, 5, 1, 0, 10, 250, "INJ_CORR"),
    F("InjCorrAir", 408, 1, 5, 1, 0, 10, 250, "INJ_CORR"),
    Byte("AkcelPrah", 413, 1, 250, "ACCEL", 10),
    Byte("AkcelJet", 414, 0, 150, "ACCEL", 50),
    Byte("StartJet", 415, 0, 50, "START_INJ"),
    F("AdvCorrWater", 416, 1, 5, 1, -100, 80, 120, "ADVANCE_CORR"),
    Bool("Gas", 421, "N2O"),
    Byte("Gas1", 422, 0, 100, "N2O"),
    Byte("Gas2", 423, 0, 100, "N2O"),
    Byte("GasT", 424, 0, B, "N2O", 100),
    Byte("GasD", 425, 0, B, "N2O", 100),
    Byte("Retard1", 426, 0, 25, "N2O"),
    Byte("Retard2", 427, 0, 25, "N2O"),
    Byte("RetardT", 428, 0, B, "N2O", 100),
    Byte("RetardD", 429, 0, B, "N2O", 100),
    Byte("GasJetKor1", 430, 0, 250, "N2O", 1, 100),
    Byte("GasJetKor2", 431, 0, 250, "N2O", 1, 100),
    Bool("TempDisplay", 432, "DISPLAY"),
    F("PilotLight1", 433, 1, 6, 100, 0, 9, 250, "PILOT_LIGHT"),
    F("PilotLight2", 439, 1, 6, 100, 0, 9, 250, "PILOT_LIGHT"),
    Byte("ClutchMode", 445, 0, 1, "CLUTCH"),
    F("ClutchTime", 446, 1, 6, 5, 0, 0, 250, "CLUTCH"),
    F("ClutchPause", 452, 1, 6, 10, 0, 0, 250, "CLUTCH"),
    Rpm("ClutchMinRpm", 458, 10, "CLUTCH"),
    Byte("ClutchJet", 459, 0, 100, "CLUTCH"),
    Byte("ClutchAdv", 460, 0, 60, "CLUTCH"),
    F("PulsuProSpeed", 462, 2, 1, 1, 0, 1, 32000, "SPEED_PULSES"),
    F("GearRatio", 464, 2, 6, 1, 0, 1, 32000, "GEAR"),
    F("GearKorAdv", 476, 1, 6, 1, -100, 80, 120, "GEAR_CORR"),
    F("GearKorJet", 482, 1, 6, 1, 0, 0, B, "GEAR_CORR"),
    F("BikeConstA", 488, 1, 6, 1, 0, 0, B, ""),
    F("WaterSensor", 494, 2, 9, 1, 0, 0, 5000, "WATER_TEMP_SENSOR"),
    F("AirSensor", 512, 2, 9, 1, 0, 0, 5000, "AIR_TEMP_SENSOR"),
    F("BikeTempCurve", 530, 2, 9, 1, 0, 0, W, ""),
    Byte("GearSystem", 548, 0, 3, "GEAR"),
    Byte("PocetGear", 549, 1, 6, "GEAR"),
    Byte("SpeedMode", 550, 0, 1, "SPEED_PULSES"),
    F("GearVoltage", 552, 2, 7, 1, 0, 0, 5000, "GEAR"),
    Byte("GearAutoTime", 566, 1, 100, "GEAR_AUTO"),
    Rpm("GearAutoRpm", 567, 3, "GEAR_AUTO"),
    Byte("GearAutoTps", 568, 0, 100, "GEAR_AUTO"),
    Byte("GearAutoBand", 569, 1, 100, "GEAR_AUTO"),
    Byte("BikeRevLimit", 570, 0, B, "", 100),
    F("BikeConstB", 571, 1, 3, 1, 0, 0, B, ""),
    Byte("IdleMode", 584, 0, 3, "IDLE"),
    Byte("IdleRpmMez", 585, 3, 200, "IDLE", 100),
    Byte("IdleTpsMez", 586, 1, 100, "IDLE"),
    Bool("IdleSmerReg", 587, "IDLE"),
    Byte("IdleStepPuls", 588, 1, 100, "IDLE", 250),
    Byte("IdleStepPerioda", 589, 4, 250, "IDLE"),
    Byte("IdleHyster", 590, 0, 250, "IDLE", 10),
    F("IdleServoPoz", 591, 1, 9, 1, 0, 0, 250, "IDLE"),

    // Block 2 onwards.
    Bool("IdleAdvOn", 600, "IDLE"),
    Byte("IdleAdvNaRpm", 601, 1, 100, "IDLE"),
    Byte("IdleAdvNaCas", 602, 0, 250, "IDLE"),
    Byte("IdleMaxAdv", 603, 1, 100, "IDLE"),
    F("IdleAdvPoz", 604, 1, 9, 50, 0, 0, 240, "IDLE"),
    Axis("PolohaARpm", 655, "POSITION_A"),
    F("PolohaAPoz", 670, 1, 15, 5, 0, 0, 144, "POSITION_A"),
    Axis("PolohaBRpm", 685, "POSITION_B"),
    F("PolohaBPoz", 700, 1, 15, 5, 0, 0, 144, "POSITION_B"),
    Axis("RpmAdv", 715, "RPM_ADV"),
    Axis("RpmJet1A", 730, "RPM_JET_1A"),
    Axis("RpmJet2A", 745, "RPM_JET_2A"),
    Axis("RpmJet3A", 760, "RPM_JET_3A"),
    Axis("RpmJet4A", 775, "RPM_JET_4A"),
    Axis("RpmJetB", 790, "RPM_JET_B"),
    Axis("RpmIap", 805, "RPM_IAP"),
    Axis("RpmServoEx", 820, "RPM_SERVO_EX"),
    Axis("RpmServoIn", 835, "RPM_SERVO_IN"),
    F("Advance", 850, 1, 150, 1, 0, 0, 60, "ADVANCE"),
    F("Jet1A", 1000, 2, 150, 1, 0, 0, 60000, "JET_1A"),
    F("Jet2A", 1300, 2, 150, 1, 0, 0, 60000, "JET_2A"),
    F("Jet3A", 1600, 2, 150, 1, 0, 0, 60000, "JET_3A"),
    F("Jet4A", 1900, 2, 150, 1, 0, 0, 60000, "JET_4A"),
    F("JetB", 2200, 1, 150, 1, 0, 0, 100, "JET_B"),
    F("Iap", 2350, 2, 150, 1, 0, 0, 60000, "IAP"),
    F("ServoExValue", 2650, 1, 150, 1, 0, 0, 250, "SERVO_EX_VALUE"),
    F("ServoInValue", 2800, 1, 150, 1, 0, 0, 250, "SERVO_IN_VALUE"),
    F("Memo", 2950, 1, 350, 1, 0, 0, B, "MEMO"),

    // Beside the image.
    F("IapAxis", IapAxisIndex, 2, 10, 1, 0, 0, 1000, "IAP_IAP"),
};

constexpr FieldInfo Placeholder{"", IapAxisIndex - 1, 1, 0, 1, 0, 0, 0, ""};

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

const FieldInfo& Field(std::string_view name) {
    const FieldInfo* f = FindField(name);
    return f ? *f : Placeholder;
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
