#include "editor/binding_table.h"

#include <algorithm>

#include "image/catalogue.h"
#include "image/conversions.h"
#include "image/device_image.h"
#include "image/fields.h"

namespace torvane {
namespace {

using K = BindKind;

constexpr Binding Spin(int page, std::string_view control, std::string_view field, int min, int max,
                       int a = 1, int c = 0, int step = 0) {
    return {page, control, field, K::Byte, 1, 0, a, c, min, max, step != 0 ? step : a};
}
constexpr Binding Rpm(int page, std::string_view control, std::string_view field, int min = 900) {
    return Spin(page, control, field, min, 25000, 100);
}
constexpr Binding Word(int page, std::string_view control, std::string_view field, int min, int max) {
    return {page, control, field, K::Word, 1, 0, 1, 0, min, max, 1};
}
constexpr Binding Check(int page, std::string_view control, std::string_view field) {
    return {page, control, field, K::Check, 1, 0, 1, 0, 0, 1, 1};
}
constexpr Binding Radio(int page, std::string_view control, std::string_view field) {
    return {page, control, field, K::Radio, 1, 0, 1, 0, 0, 255, 1};
}
constexpr Binding Combo(int page, std::string_view control, std::string_view field) {
    return {page, control, field, K::Combo, 1, 0, 1, 0, 0, 255, 1};
}
constexpr Binding Array(int page, std::string_view control, std::string_view field, int count, int min,
                        int max, int a = 1, int c = 0, int step = 0) {
    return {page, control, field, K::Byte, count, 0, a, c, min, max, step != 0 ? step : a};
}
constexpr Binding WordArray(int page, std::string_view control, std::string_view field, int count, int min,
                            int max) {
    return {page, control, field, K::Word, count, 0, 1, 0, min, max, 1};
}

// Ranges are those of the editing controls; single-byte fields never offer more than a byte holds.
constexpr Binding kTable[] = {
    // 0 Bike
    {0, "ComboBoxBike", "Bike", K::BikeCombo, 1, 0, 1, 0, 0, 50, 1},
    Check(0, "CheckBoxFallEnable", "FallEnable"),
    Check(0, "CheckBoxBlokEnable", "BlokEnable"),
    Check(0, "CheckBoxAktFall", "AktFall"),
    Check(0, "CheckBoxAktClutch", "AktClutch"),
    Check(0, "CheckBoxAktRpm", "AktRpm"),
    Check(0, "CheckBoxAktStartLimiter", "AktStartLimiter"),
    Rpm(0, "UpDownStartLimiter", "StartLimiter"),
    Rpm(0, "UpDownIgnLimiter", "IgnLimiter"),
    Rpm(0, "UpDownJetLimiter", "JetLimiter"),
    Rpm(0, "UpDownRetardLimiterRpm", "RetardLimiterRpm"),
    Spin(0, "UpDownRetardLimiterAdv", "RetardLimiterAdv", 1, 250),
    Spin(0, "UpDownChlazeni", "Chlazeni", 0, 150),
    Spin(0, "UpDownRpmPulsu", "RpmPulsu", 0, 6),
    Spin(0, "UpDownRpmKorekce", "RpmKorekce", -60, 60, 1, -100),
    Rpm(0, "UpDownIntakePortRpm", "IntakePortRpm"),

    // 1 Synchro
    Check(1, "CheckBoxBikeSecial", "BikeSecial"),
    Combo(1, "ComboBoxSynchro1", "Synchro1"),
    Combo(1, "ComboBoxSynchro2", "Synchro2"),
    Spin(1, "UpDownPocPalcu", "PocPalcu", 1, 58),
    Spin(1, "UpDownVynechPalcu", "VynechPalcu", 0, 58),
    Spin(1, "UpDownPocKanOut", "PocKanOut", 1, 4),
    Radio(1, "RadioGroupSynchroHrana", "SynchroHrana"),
    Check(1, "CheckBoxInvInput", "InvInput"),
    Spin(1, "UpDownTop1", "Top1", 1, 58),
    Spin(1, "UpDownTop2", "Top2", 1, 58),
    Spin(1, "UpDownTop3", "Top3", 1, 58),
    Spin(1, "UpDownTop4", "Top4", 1, 58),
    Spin(1, "UpDownPredaniHodnot", "PredaniHodnot", 1, 58),
    Rpm(1, "UpDownSynchroMaxRpm", "SynchroMaxRpm"),
    Radio(1, "RadioGroupKyvani1", "Kyvani1"),
    Spin(1, "UpDownKyvaniFaze11", "KyvaniFaze11", 1, 58),
    Spin(1, "UpDownKyvaniFaze12", "KyvaniFaze12", 1, 58),
    Spin(1, "UpDownKyvaniFaze13", "KyvaniFaze13", 1, 58),
    Radio(1, "RadioGroupKyvaniFazeOtacka1", "KyvaniFazeOtacka1"),
    Radio(1, "RadioGroupKyvani2", "Kyvani2"),
    Spin(1, "UpDownKyvaniFaze21", "KyvaniFaze21", 1, 58),
    Spin(1, "UpDownKyvaniFaze22", "KyvaniFaze22", 1, 58),
    Spin(1, "UpDownKyvaniFaze23", "KyvaniFaze23", 1, 58),
    Radio(1, "RadioGroupKyvaniFazeOtacka2", "KyvaniFazeOtacka2"),
    Spin(1, "UpDownBuzeni", "Buzeni", 100, 10000, 100),

    // 9 Position
    Array(9, "UpDownPolohaARpm", "PolohaARpm", 15, 300, 25000, 100),
    Array(9, "UpDownPolohaAPoz", "PolohaAPoz", 15, 0, 720, 5),
    Array(9, "UpDownPolohaBRpm", "PolohaBRpm", 15, 300, 25000, 100),
    Array(9, "UpDownPolohaBPoz", "PolohaBPoz", 15, 0, 720, 5),
    Radio(9, "RadioGroupPolohaA", "PolohaAMode"),
    Radio(9, "RadioGroupPolohaB", "PolohaBMode"),

    // 10 Corrections
    Array(10, "UpDownKorVoda", "InjCorrWater", 5, 10, 250),
    Array(10, "UpDownKorVzduch", "InjCorrAir", 5, 10, 250),
    Array(10, "UpDownKorIgnVoda", "AdvCorrWater", 5, -20, 20, 1, -100),
    Spin(10, "UpDownSyticCas1", "SyticCas1", 0, 250),
    Spin(10, "UpDownSyticCas2", "SyticCas2", 0, 250),
    Spin(10, "UpDownSyticCas3", "SyticCas3", 0, 250),
    Spin(10, "UpDownSyticCas4", "SyticCas4", 0, 250),
    Spin(10, "UpDownSyticKorekce0", "SyticKorekce0", 100, 350, 1, 100),
    Spin(10, "UpDownSyticKorekce1", "SyticKorekce1", 100, 350, 1, 100),
    Spin(10, "UpDownSyticKorekce2", "SyticKorekce2", 100, 350, 1, 100),
    Spin(10, "UpDownSyticKorekce3", "SyticKorekce3", 100, 350, 1, 100),
    Spin(10, "UpDownAkcelPrah", "AkcelPrah", 10, 2500, 10),
    Spin(10, "UpDownAkcelJet", "AkcelJet", 0, 7500, 50),
    Spin(10, "UpDownStartJet", "StartJet", 0, 50),

    // 11 Sensors
    Spin(11, "UpDownTps0", "Tps0", 0, 2500, 10),
    Spin(11, "UpDownTps100", "Tps100", 2500, 5000, 10, 2500),
    Word(11, "UpDownApsTlak1", "ApsTlak1", 0, 1000),
    Word(11, "UpDownApsNapeti1", "ApsNapeti1", 0, 25000),
    Word(11, "UpDownApsTlak2", "ApsTlak2", 0, 1000),
    Word(11, "UpDownApsNapeti2", "ApsNapeti2", 0, 25000),
    Word(11, "UpDownIapsTlak1", "IapsTlak1", 0, 1000),
    Word(11, "UpDownIapsNapeti1", "IapsNapeti1", 0, 25000),
    Word(11, "UpDownIapsTlak2", "IapsTlak2", 0, 1000),
    Word(11, "UpDownIapsNapeti2", "IapsNapeti2", 0, 25000),
    WordArray(11, "UpDownCidloVoda", "WaterSensor", 9, 0, 5000),
    WordArray(11, "UpDownCidloVzduch", "AirSensor", 9, 0, 5000),
    Radio(11, "RadioGroupPotencMode", "PotencMode"),
    Spin(11, "UpDownPotencRozsah", "PotencRozsah", 0, 60),

    // 14 Idle
    Radio(14, "RadioGroupIdleMode", "IdleMode"),
    Spin(14, "UpDownIdleRpmMez", "IdleRpmMez", 300, 20000, 100),
    Spin(14, "UpDownIdleTpsMez", "IdleTpsMez", 1, 100),
    Check(14, "CheckBoxIdleSmerReg", "IdleSmerReg"),
    Spin(14, "UpDownIdleStepPuls", "IdleStepPuls", 250, 25000, 250),
    Spin(14, "UpDownIdleStepPerioda", "IdleStepPerioda", 4, 250),
    Spin(14, "UpDownIdleHyster", "IdleHyster", 0, 2500, 10),
    {14, "UpDownIdleServoPoz", "IdleServoPoz", K::IdleServo, 9, 0, 50, 0, 0, 12000, 50},
    Array(14, "UpDownIdleAdvPoz", "IdleAdvPoz", 9, 0, 12000, 50),
    Check(14, "CheckBoxIdleAdvOn", "IdleAdvOn"),
    Spin(14, "UpDownIdleAdvNaRpm", "IdleAdvNaRpm", 1, 100),
    Spin(14, "UpDownIdleAdvNaCas", "IdleAdvNaCas", 0, 250),
    Spin(14, "UpDownIdleMaxAdv", "IdleMaxAdv", 1, 100),

    // 15 N2O
    Check(15, "CheckBoxGas", "Gas"),
    Spin(15, "UpDownGas1", "Gas1", 0, 100),
    Spin(15, "UpDownGas2", "Gas2", 0, 100),
    Spin(15, "UpDownGasD", "GasD", 0, 25500, 100),
    Spin(15, "UpDownGasT", "GasT", 0, 25500, 100),
    Spin(15, "UpDownRetard1", "Retard1", 0, 25),
    Spin(15, "UpDownRetard2", "Retard2", 0, 25),
    Spin(15, "UpDownRetardD", "RetardD", 0, 25500, 100),
    Spin(15, "UpDownRetardT", "RetardT", 0, 25500, 100),
    Spin(15, "UpDownGasJetKor1", "GasJetKor1", 100, 350, 1, 100),
    Spin(15, "UpDownGasJetKor2", "GasJetKor2", 100, 350, 1, 100),

    // 16 Race
    Array(16, "UpDownClutchTime", "ClutchTime", 6, 0, 1250, 5),
    Array(16, "UpDownClutchPause", "ClutchPause", 6, 0, 2500, 10, 0, 100),
    Array(16, "UpDownPilotLight1", "PilotLight1", 6, 900, 25000, 100),
    Array(16, "UpDownPilotLight2", "PilotLight2", 6, 900, 25000, 100),
    Radio(16, "RadioGroupClutchMode", "ClutchMode"),
    Rpm(16, "UpDownClutchMinRpm", "ClutchMinRpm", 1000),
    Spin(16, "UpDownClutchJet", "ClutchJet", 0, 100),
    Spin(16, "UpDownClutchAdv", "ClutchAdv", 0, 60),
    Check(16, "CheckBoxTempDisplay", "TempDisplay"),

    // 17 Gear
    Radio(17, "RadioGroupGearSystem", "GearSystem"),
    Spin(17, "UpDownPocetGear", "PocetGear", 1, 6),
    WordArray(17, "UpDownGearNapeti", "GearVoltage", 7, 0, 5000),
    WordArray(17, "UpDownGearPomer", "GearRatio", 6, 1, 32000),
    Array(17, "UpDownGearKorAdv", "GearKorAdv", 6, -20, 20, 1, -100),
    Array(17, "UpDownGearKorJet", "GearKorJet", 6, 0, 255),
    Spin(17, "UpDownGearAutoTime", "GearAutoTime", 1, 100),
    Rpm(17, "UpDownGearAutoRpm", "GearAutoRpm", 300),
    Spin(17, "UpDownGearAutoTps", "GearAutoTps", 0, 100),
    Spin(17, "UpDownGearAutoBand", "GearAutoBand", 1, 100),
    Radio(17, "RadioGroupSpeedMode", "SpeedMode"),
    Word(17, "UpDownPulsuProSpeed", "PulsuProSpeed", 1, 32000),
};

}  // namespace

std::span<const Binding> BindingTable() {
    return kTable;
}

std::span<const Binding> BindingsOfPage(int page) {
    const auto* first = std::find_if(std::begin(kTable), std::end(kTable),
                                     [page](const Binding& b) { return b.page == page; });
    const auto* last = std::find_if(first, std::end(kTable), [page](const Binding& b) { return b.page != page; });
    return {first, last};
}

const Binding* FindBinding(std::string_view control) {
    for (const Binding& b : kTable) {
        if (b.control == control) return &b;
    }
    return nullptr;
}

std::string ArrayElementName(std::string_view base, int i) {
    return std::string(base) + "[" + std::to_string(i) + "]";
}

std::string ControlName(const Binding& row, int i) {
    return row.count > 1 ? ArrayElementName(row.control, i) : std::string(row.control);
}

const FieldInfo& BoundField(const Binding& row) {
    return Field(row.field);
}

int ShownValue(const Binding& row, const DeviceImage& image, int i, int idleStep) {
    const int stored = FieldValue(image, BoundField(row), row.firstElement + i);
    switch (row.kind) {
        case K::Byte:
            return ScaleToShown(row.a, row.c, stored);
        case K::IdleServo:
            return ScaleToShown(idleStep, 0, stored);
        case K::Word:
        case K::Radio:
        case K::Combo:
            return stored;
        case K::Check:
            return stored != 0 ? 1 : 0;
        case K::BikeCombo:
            return ItemOfCode(stored);
    }
    return stored;
}

void StoreShownValue(const Binding& row, DeviceImage& image, int i, int shown, int idleStep) {
    const FieldInfo& field = BoundField(row);
    const int element = row.firstElement + i;
    switch (row.kind) {
        case K::Byte:
            SetFieldValue(image, field, element, ScaleToStored(row.a, row.c, shown));
            return;
        case K::IdleServo:
            SetFieldValue(image, field, element, ScaleToStored(idleStep, 0, shown));
            return;
        case K::Word:
            SetFieldValue(image, field, element, shown & 0xFFFF);
            return;
        case K::Check:
            SetFieldValue(image, field, element, shown != 0 ? 1 : 0);
            return;
        case K::Radio:
        case K::Combo:
            SetFieldValue(image, field, element, shown & 0xFF);
            return;
        case K::BikeCombo: {
            const int code = CodeOfItem(shown);
            if (code >= 0) SetFieldValue(image, field, element, code);
            return;
        }
    }
}

}  // namespace torvane
