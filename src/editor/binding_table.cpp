#include "editor/binding_table.h"

#include <algorithm>

#include "image/catalogue.h"
#include "image/conversions.h"
#include "image/device_image.h"
#include "image/fields.h"

namespace torvane {
namespace {

using K = BindKind;

// A spin shows the field as the field table scales it and offers the field's stored range; its step
// is the scale unless the row gives another.
Binding Scaled(int page, std::string_view control, FieldId id, BindKind kind, int count, int step) {
    const FieldInfo& f = Field(id);
    return {page,
            control,
            id,
            kind,
            count,
            0,
            f.scaleA,
            f.offsetC,
            f.scaleA * f.minStored + f.offsetC,
            f.scaleA * f.maxStored + f.offsetC,
            step != 0 ? step : f.scaleA};
}
Binding Spin(int page, std::string_view control, FieldId field, int step = 0) {
    return Scaled(page, control, field, K::Byte, 1, step);
}
Binding Word(int page, std::string_view control, FieldId field) {
    return Scaled(page, control, field, K::Word, 1, 0);
}
Binding Array(int page, std::string_view control, FieldId field, int count, int step = 0) {
    return Scaled(page, control, field, K::Byte, count, step);
}
Binding WordArray(int page, std::string_view control, FieldId field, int count) {
    return Scaled(page, control, field, K::Word, count, 0);
}
constexpr Binding Check(int page, std::string_view control, FieldId field) {
    return {page, control, field, K::Check, 1, 0, 1, 0, 0, 1, 1};
}
constexpr Binding Radio(int page, std::string_view control, FieldId field) {
    return {page, control, field, K::Radio, 1, 0, 1, 0, 0, 255, 1};
}
constexpr Binding Combo(int page, std::string_view control, FieldId field) {
    return {page, control, field, K::Combo, 1, 0, 1, 0, 0, 255, 1};
}

// Every control of the fixed pages. The idle servo positions follow the idle mode, so their row gives
// the scale and range of the stepper form itself.
const Binding kTable[] = {
    // 0 Bike
    {0, "ComboBoxBike", FieldId::Bike, K::BikeCombo, 1, 0, 1, 0, 0, 50, 1},
    Check(0, "CheckBoxFallEnable", FieldId::FallEnable),
    Check(0, "CheckBoxBlokEnable", FieldId::BlokEnable),
    Check(0, "CheckBoxAktFall", FieldId::AktFall),
    Check(0, "CheckBoxAktClutch", FieldId::AktClutch),
    Check(0, "CheckBoxAktRpm", FieldId::AktRpm),
    Check(0, "CheckBoxAktStartLimiter", FieldId::AktStartLimiter),
    Spin(0, "UpDownStartLimiter", FieldId::StartLimiter),
    Spin(0, "UpDownIgnLimiter", FieldId::IgnLimiter),
    Spin(0, "UpDownJetLimiter", FieldId::JetLimiter),
    Spin(0, "UpDownRetardLimiterRpm", FieldId::RetardLimiterRpm),
    Spin(0, "UpDownRetardLimiterAdv", FieldId::RetardLimiterAdv),
    Spin(0, "UpDownChlazeni", FieldId::Chlazeni),
    Spin(0, "UpDownRpmPulsu", FieldId::RpmPulsu),
    Spin(0, "UpDownRpmKorekce", FieldId::RpmKorekce),
    Spin(0, "UpDownIntakePortRpm", FieldId::IntakePortRpm),

    // 1 Synchro
    Check(1, "CheckBoxBikeSecial", FieldId::BikeSecial),
    Combo(1, "ComboBoxSynchro1", FieldId::Synchro1),
    Combo(1, "ComboBoxSynchro2", FieldId::Synchro2),
    Spin(1, "UpDownPocPalcu", FieldId::PocPalcu),
    Spin(1, "UpDownVynechPalcu", FieldId::VynechPalcu),
    Spin(1, "UpDownPocKanOut", FieldId::PocKanOut),
    Radio(1, "RadioGroupSynchroHrana", FieldId::SynchroHrana),
    Check(1, "CheckBoxInvInput", FieldId::InvInput),
    Spin(1, "UpDownTop1", FieldId::Top1),
    Spin(1, "UpDownTop2", FieldId::Top2),
    Spin(1, "UpDownTop3", FieldId::Top3),
    Spin(1, "UpDownTop4", FieldId::Top4),
    Spin(1, "UpDownPredaniHodnot", FieldId::PredaniHodnot),
    Spin(1, "UpDownSynchroMaxRpm", FieldId::SynchroMaxRpm),
    Radio(1, "RadioGroupKyvani1", FieldId::Kyvani1),
    Spin(1, "UpDownKyvaniFaze11", FieldId::KyvaniFaze11),
    Spin(1, "UpDownKyvaniFaze12", FieldId::KyvaniFaze12),
    Spin(1, "UpDownKyvaniFaze13", FieldId::KyvaniFaze13),
    Radio(1, "RadioGroupKyvaniFazeOtacka1", FieldId::KyvaniFazeOtacka1),
    Radio(1, "RadioGroupKyvani2", FieldId::Kyvani2),
    Spin(1, "UpDownKyvaniFaze21", FieldId::KyvaniFaze21),
    Spin(1, "UpDownKyvaniFaze22", FieldId::KyvaniFaze22),
    Spin(1, "UpDownKyvaniFaze23", FieldId::KyvaniFaze23),
    Radio(1, "RadioGroupKyvaniFazeOtacka2", FieldId::KyvaniFazeOtacka2),
    Spin(1, "UpDownBuzeni", FieldId::Buzeni),

    // 9 Position
    Array(9, "UpDownPolohaARpm", FieldId::PolohaARpm, 15),
    Array(9, "UpDownPolohaAPoz", FieldId::PolohaAPoz, 15),
    Array(9, "UpDownPolohaBRpm", FieldId::PolohaBRpm, 15),
    Array(9, "UpDownPolohaBPoz", FieldId::PolohaBPoz, 15),
    Radio(9, "RadioGroupPolohaA", FieldId::PolohaAMode),
    Radio(9, "RadioGroupPolohaB", FieldId::PolohaBMode),

    // 10 Corrections
    Array(10, "UpDownKorVoda", FieldId::InjCorrWater, 5),
    Array(10, "UpDownKorVzduch", FieldId::InjCorrAir, 5),
    Array(10, "UpDownKorIgnVoda", FieldId::AdvCorrWater, 5),
    Spin(10, "UpDownSyticCas1", FieldId::SyticCas1),
    Spin(10, "UpDownSyticCas2", FieldId::SyticCas2),
    Spin(10, "UpDownSyticCas3", FieldId::SyticCas3),
    Spin(10, "UpDownSyticCas4", FieldId::SyticCas4),
    Spin(10, "UpDownSyticKorekce0", FieldId::SyticKorekce0),
    Spin(10, "UpDownSyticKorekce1", FieldId::SyticKorekce1),
    Spin(10, "UpDownSyticKorekce2", FieldId::SyticKorekce2),
    Spin(10, "UpDownSyticKorekce3", FieldId::SyticKorekce3),
    Spin(10, "UpDownAkcelPrah", FieldId::AkcelPrah),
    Spin(10, "UpDownAkcelJet", FieldId::AkcelJet),
    Spin(10, "UpDownStartJet", FieldId::StartJet),

    // 11 Sensors
    Spin(11, "UpDownTps0", FieldId::Tps0),
    Spin(11, "UpDownTps100", FieldId::Tps100),
    Word(11, "UpDownApsTlak1", FieldId::ApsTlak1),
    Word(11, "UpDownApsNapeti1", FieldId::ApsNapeti1),
    Word(11, "UpDownApsTlak2", FieldId::ApsTlak2),
    Word(11, "UpDownApsNapeti2", FieldId::ApsNapeti2),
    Word(11, "UpDownIapsTlak1", FieldId::IapsTlak1),
    Word(11, "UpDownIapsNapeti1", FieldId::IapsNapeti1),
    Word(11, "UpDownIapsTlak2", FieldId::IapsTlak2),
    Word(11, "UpDownIapsNapeti2", FieldId::IapsNapeti2),
    WordArray(11, "UpDownCidloVoda", FieldId::WaterSensor, 9),
    WordArray(11, "UpDownCidloVzduch", FieldId::AirSensor, 9),
    Radio(11, "RadioGroupPotencMode", FieldId::PotencMode),
    Spin(11, "UpDownPotencRozsah", FieldId::PotencRozsah),

    // 14 Idle
    Radio(14, "RadioGroupIdleMode", FieldId::IdleMode),
    Spin(14, "UpDownIdleRpmMez", FieldId::IdleRpmMez),
    Spin(14, "UpDownIdleTpsMez", FieldId::IdleTpsMez),
    Check(14, "CheckBoxIdleSmerReg", FieldId::IdleSmerReg),
    Spin(14, "UpDownIdleStepPuls", FieldId::IdleStepPuls),
    Spin(14, "UpDownIdleStepPerioda", FieldId::IdleStepPerioda),
    Spin(14, "UpDownIdleHyster", FieldId::IdleHyster),
    {14, "UpDownIdleServoPoz", FieldId::IdleServoPoz, K::IdleServo, 9, 0, 50, 0, 0, 12000, 50},
    Array(14, "UpDownIdleAdvPoz", FieldId::IdleAdvPoz, 9),
    Check(14, "CheckBoxIdleAdvOn", FieldId::IdleAdvOn),
    Spin(14, "UpDownIdleAdvNaRpm", FieldId::IdleAdvNaRpm),
    Spin(14, "UpDownIdleAdvNaCas", FieldId::IdleAdvNaCas),
    Spin(14, "UpDownIdleMaxAdv", FieldId::IdleMaxAdv),

    // 15 N2O
    Check(15, "CheckBoxGas", FieldId::Gas),
    Spin(15, "UpDownGas1", FieldId::Gas1),
    Spin(15, "UpDownGas2", FieldId::Gas2),
    Spin(15, "UpDownGasD", FieldId::GasD),
    Spin(15, "UpDownGasT", FieldId::GasT),
    Spin(15, "UpDownRetard1", FieldId::Retard1),
    Spin(15, "UpDownRetard2", FieldId::Retard2),
    Spin(15, "UpDownRetardD", FieldId::RetardD),
    Spin(15, "UpDownRetardT", FieldId::RetardT),
    Spin(15, "UpDownGasJetKor1", FieldId::GasJetKor1),
    Spin(15, "UpDownGasJetKor2", FieldId::GasJetKor2),

    // 16 Race
    Array(16, "UpDownClutchTime", FieldId::ClutchTime, 6),
    Array(16, "UpDownClutchPause", FieldId::ClutchPause, 6, 100),
    Array(16, "UpDownPilotLight1", FieldId::PilotLight1, 6),
    Array(16, "UpDownPilotLight2", FieldId::PilotLight2, 6),
    Radio(16, "RadioGroupClutchMode", FieldId::ClutchMode),
    Spin(16, "UpDownClutchMinRpm", FieldId::ClutchMinRpm),
    Spin(16, "UpDownClutchJet", FieldId::ClutchJet),
    Spin(16, "UpDownClutchAdv", FieldId::ClutchAdv),
    Check(16, "CheckBoxTempDisplay", FieldId::TempDisplay),

    // 17 Gear
    Radio(17, "RadioGroupGearSystem", FieldId::GearSystem),
    Spin(17, "UpDownPocetGear", FieldId::PocetGear),
    WordArray(17, "UpDownGearNapeti", FieldId::GearVoltage, 7),
    WordArray(17, "UpDownGearPomer", FieldId::GearRatio, 6),
    Array(17, "UpDownGearKorAdv", FieldId::GearKorAdv, 6),
    Array(17, "UpDownGearKorJet", FieldId::GearKorJet, 6),
    Spin(17, "UpDownGearAutoTime", FieldId::GearAutoTime),
    Spin(17, "UpDownGearAutoRpm", FieldId::GearAutoRpm),
    Spin(17, "UpDownGearAutoTps", FieldId::GearAutoTps),
    Spin(17, "UpDownGearAutoBand", FieldId::GearAutoBand),
    Radio(17, "RadioGroupSpeedMode", FieldId::SpeedMode),
    Word(17, "UpDownPulsuProSpeed", FieldId::PulsuProSpeed),
};

}  // namespace

std::span<const Binding> BindingTable() {
    return kTable;
}

std::span<const Binding> BindingsOfPage(int page) {
    const auto* first = std::find_if(std::begin(kTable), std::end(kTable),
                                     [page](const Binding& b) { return b.page == page; });
    const auto* last =
        std::find_if(first, std::end(kTable), [page](const Binding& b) { return b.page != page; });
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
