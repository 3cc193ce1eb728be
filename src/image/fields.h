#pragma once
// The field table of the device image: every field once, with its position, width, element count,
// display scaling, allowed stored range, unit and parameter-file section. Code refers to fields by
// their identifier through this table, never by bare image indices or by name.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace torvane {

class DeviceImage;

// Every field of the layout, by the name the layout gives it, in the order of the table (image index
// order, the IAP row axis last). Code names fields only through these, so a misspelt name does not build.
// clang-format off
enum class FieldId : std::uint8_t {
    HeaderName, HeaderVersion, HeaderDay, HeaderMonth, HeaderYear, HeaderHour, HeaderMinute, HeaderDataVersion,
    HeaderLongName, Bike, FallEnable, BlokEnable, AktFall, AktClutch, AktStartLimiter, AktRpm, StartLimiter,
    IgnLimiter, JetLimiter, RetardLimiterRpm, RetardLimiterAdv, BikeSecial, Synchro1, Synchro2, PocPalcu,
    VynechPalcu, PocKanOut, SynchroHrana, InvInput, Top1, Top2, Top3, Top4, TeethPer180, TeethPer60,
    ToothAngle, PredaniHodnot, SynchroMaxRpm, Kyvani1, Kyvani2, KyvaniFaze11, KyvaniFaze12, KyvaniFaze13,
    KyvaniFaze21, KyvaniFaze22, KyvaniFaze23, KyvaniFazeOtacka1, KyvaniFazeOtacka2, Buzeni, ApsTlak1,
    ApsNapeti1, ApsTlak2, ApsNapeti2, IapsTlak1, IapsNapeti1, IapsTlak2, IapsNapeti2, Tps0, Tps100, Chlazeni,
    RpmPulsu, RpmKorekce, IntakePortRpm, AdvanceTps, AdvCorrCyl1, AdvCorrCyl2, AdvCorrCyl3, AdvCorrCyl4,
    BaseAdvance, LobeWidth, Jet1423Mode, IapTpsMin, IapTpsMax, IapRpmMin, IapRpmMax, IapCorrCyl1, IapCorrCyl2,
    IapCorrCyl3, IapCorrCyl4, PolohaAMode, PolohaBMode, ServoExEnable, ServoInEnable, ServoExHyst, ServoInHyst,
    ServoExProcent, ServoInProcent, ServoExMode, ServoInMode, ServoInStep, SyticCas1, SyticCas2, SyticCas3,
    SyticCas4, SyticKorekce0, SyticKorekce1, SyticKorekce2, SyticKorekce3, PotencMode, PotencRozsah,
    ServoInStepPeriod, ServoInExcitation, InjCorrWater, InjCorrAir, AkcelPrah, AkcelJet, StartJet,
    AdvCorrWater, Gas, Gas1, Gas2, GasT, GasD, Retard1, Retard2, RetardT, RetardD, GasJetKor1, GasJetKor2,
    TempDisplay, PilotLight1, PilotLight2, ClutchMode, ClutchTime, ClutchPause, ClutchMinRpm, ClutchJet,
    ClutchAdv, PulsuProSpeed, GearRatio, GearKorAdv, GearKorJet, BikeConstA, WaterSensor, AirSensor,
    BikeTempCurve, GearSystem, PocetGear, SpeedMode, GearVoltage, GearAutoTime, GearAutoRpm, GearAutoTps,
    GearAutoBand, BikeRevLimit, BikeConstB, IdleMode, IdleRpmMez, IdleTpsMez, IdleSmerReg, IdleStepPuls,
    IdleStepPerioda, IdleHyster, IdleServoPoz, IdleAdvOn, IdleAdvNaRpm, IdleAdvNaCas, IdleMaxAdv, IdleAdvPoz,
    PolohaARpm, PolohaAPoz, PolohaBRpm, PolohaBPoz, RpmAdv, RpmJet1A, RpmJet2A, RpmJet3A, RpmJet4A, RpmJetB,
    RpmIap, RpmServoEx, RpmServoIn, Advance, Jet1A, Jet2A, Jet3A, Jet4A, JetB, Iap, ServoExValue, ServoInValue,
    Memo, IapAxis,
};
// clang-format on
inline constexpr std::size_t FieldCount = static_cast<std::size_t>(FieldId::IapAxis) + 1;

// Field i of a numbered run that stands together in the table (Top1..Top4, SyticCas1..SyticCas4,
// AdvCorrCyl1..AdvCorrCyl4): FieldRun(FieldId::Top1, 2) is Top3.
constexpr FieldId FieldRun(FieldId first, int i) {
    return static_cast<FieldId>(static_cast<int>(first) + i);
}

struct FieldInfo {
    FieldId id;
    std::string_view
        name;           // the field's name, verbatim (e.g. "Bike", "Jet1423Mode", "Advance", "WaterSensor")
    std::size_t index;  // image index of element 0
    int width;          // 1 = byte, 2 = big-endian word
    int count;          // number of elements (150 for a map, 15 for an rpm axis, 1 for a scalar)
    int scaleA;         // shown = scaleA * stored + offsetC (1 and 0 where the layout gives none)
    int offsetC;
    int minStored, maxStored;  // allowed stored range where the layout gives one (else 0..255 / 0..65535)
    std::string_view section;  // parameter-file section the field is written in ("" if none)
    std::string_view unit;     // what follows the shown value ("rpm", "°", "µs"; "" for none)
};

// The Iap row axis lives beside the image (DeviceImage::IapAxis), not in it. Field(FieldId::IapAxis)
// is an entry with width 2, count 10 and this sentinel index, which lies outside the image so
// that byte/word helpers never touch image bytes through it.
inline constexpr std::size_t IapAxisIndex = static_cast<std::size_t>(-1);

std::span<const FieldInfo> FieldTable();  // every field of the layout, in index order
// The field a parameter file, a command line or a report names; nullptr when unknown.
const FieldInfo* FindField(std::string_view name);
const FieldInfo& Field(FieldId id);

// Element access through the table. Out-of-range elements read 0 and are not written.
// Word fields are big-endian; for "IapAxis" these access DeviceImage::IapAxis.
int FieldValue(const DeviceImage& image, const FieldInfo& field, int element = 0);
void SetFieldValue(DeviceImage& image, const FieldInfo& field, int element, int value);
// Shown value = scaleA * stored + offsetC.
int FieldShown(const DeviceImage& image, const FieldInfo& field, int element = 0);

// Element of a field (Field, then FieldValue): how the rules read the image.
inline int FieldValueOf(const DeviceImage& image, FieldId id, int element = 0) {
    return FieldValue(image, Field(id), element);
}

}  // namespace torvane
