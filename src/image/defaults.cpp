#include "image/defaults.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "image/fields.h"
#include "image/reference_tables.h"

namespace torvane {
namespace {

// Page indices of the main window's pages.
constexpr int kPageBike = 0;
constexpr int kPageSynchro = 1;
constexpr int kPageAdvance = 2;
constexpr int kPageJet1A = 3;
constexpr int kPageJet2A = 4;
constexpr int kPageJet3A = 5;
constexpr int kPageJet4A = 6;
constexpr int kPageJetB = 7;
constexpr int kPageIap = 8;
constexpr int kPagePoloha = 9;
constexpr int kPageKorekce = 10;
constexpr int kPageCidla = 11;
constexpr int kPageServoIn = 12;
constexpr int kPageServoEx = 13;
constexpr int kPageIdle = 14;
constexpr int kPageGas = 15;
constexpr int kPageRace = 16;
constexpr int kPageGear = 17;

constexpr int kCoupledChannels = 1;  // Jet1423Mode: channels 2 and 3 follow 1 and 4
constexpr int kMapRows = 10;
constexpr int kAxisPoints = 15;
constexpr std::array<std::uint16_t, 10> kIapAxisKpa = {30, 50, 60, 70, 75, 80, 85, 90, 95, 100};

void Set(DeviceImage& image, FieldId name, int value, int element = 0) {
    SetFieldValue(image, Field(name), element, value);
}

template <typename T, std::size_t N>
void SetAll(DeviceImage& image, FieldId name, const std::array<T, N>& values) {
    const FieldInfo& field = Field(name);
    for (std::size_t i = 0; i < N; ++i) SetFieldValue(image, field, static_cast<int>(i), values[i]);
}

void Fill(DeviceImage& image, FieldId name, int value) {
    const FieldInfo& field = Field(name);
    for (int i = 0; i < field.count; ++i) SetFieldValue(image, field, i, value);
}

bool IsOneOf(int code, std::initializer_list<int> codes) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// A limiter speed some hundreds of rpm below another, never wrapping below zero.
int Below(int rpmByte, int hundreds) {
    return std::max(0, rpmByte - hundreds);
}

// Writes a servo map from the type's servo table: hysteresis, rpm axis and cells, the cells divided by
// the table's shown step. A table of one row is copied into every throttle row.
void ApplyServoTable(DeviceImage& image, int code, bool intake) {
    const ServoTable* table = ServoTableForBike(static_cast<std::uint8_t>(code), intake);
    if (table == nullptr || table->entries.size() < kServoCellEntry) return;
    const std::span<const std::uint16_t> entries = table->entries;
    const int step = std::max(1, ServoCellStep(static_cast<std::uint8_t>(code), intake));

    Set(image, intake ? FieldId::ServoInHyst : FieldId::ServoExHyst, entries[kServoHysteresisEntry] / 5);
    const FieldInfo& axis = Field(intake ? FieldId::RpmServoIn : FieldId::RpmServoEx);
    for (int c = 0; c < kAxisPoints; ++c)
        SetFieldValue(image, axis, c, entries[kServoRpmEntry + static_cast<std::size_t>(c)] / 100);

    const std::span<const std::uint16_t> cells = entries.subspan(kServoCellEntry);
    const bool fullMap = cells.size() == kMapRows * kAxisPoints;
    if (!fullMap && cells.size() != kAxisPoints) return;
    const FieldInfo& map = Field(intake ? FieldId::ServoInValue : FieldId::ServoExValue);
    for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kAxisPoints; ++c) {
            const std::size_t from = static_cast<std::size_t>(fullMap ? kAxisPoints * r + c : c);
            SetFieldValue(image, map, kAxisPoints * r + c, cells[from] / step);
        }
}

void ApplyBikePage(DeviceImage& image, int code) {
    const CatalogueRow& row = CatalogueRowOfCode(code);
    Set(image, FieldId::FallEnable, 1);
    Set(image, FieldId::BlokEnable, 0);
    Set(image, FieldId::AktFall, row.aktFall);
    Set(image, FieldId::AktClutch, 1);
    Set(image, FieldId::AktStartLimiter, 1);
    Set(image, FieldId::AktRpm, 1);
    Set(image, FieldId::Chlazeni, 100);
    Set(image, FieldId::RpmPulsu, row.rpmPulsu);
    Set(image, FieldId::RpmKorekce, 100);  // no correction
    Set(image, FieldId::IntakePortRpm, 90);
    Set(image, FieldId::StartLimiter, row.startLimiter);
    const int ignLimiter = FieldValue(image, Field(FieldId::BikeRevLimit));
    Set(image, FieldId::IgnLimiter, ignLimiter);
    Set(image, FieldId::JetLimiter, ignLimiter + 3);  // 300 rpm above the ignition cut
    Set(image, FieldId::RetardLimiterRpm, ignLimiter + 3);
    Set(image, FieldId::RetardLimiterAdv, 20);
    Fill(image, FieldId::Memo, 0);
}

void ApplyAdvancePage(DeviceImage& image, int code, const std::array<std::uint8_t, 15>& rpmAxis) {
    SetAll(image, FieldId::RpmAdv, rpmAxis);
    if (const AdvanceTable* table = AdvanceTableForBike(static_cast<std::uint8_t>(code))) {
        const std::size_t n = table->degrees.size();
        if (n == kMapRows * kAxisPoints || n == kAxisPoints) {
            const FieldInfo& advance = Field(FieldId::Advance);
            for (int r = 0; r < kMapRows; ++r)
                for (int c = 0; c < kAxisPoints; ++c) {
                    const std::size_t from =
                        static_cast<std::size_t>(n == kAxisPoints ? c : kAxisPoints * r + c);
                    SetFieldValue(image, advance, kAxisPoints * r + c, table->degrees[from]);
                }
        }
    }
    Set(image, FieldId::AdvanceTps, 1);
    for (FieldId name :
         {FieldId::AdvCorrCyl1, FieldId::AdvCorrCyl2, FieldId::AdvCorrCyl3, FieldId::AdvCorrCyl4})
        Set(image, name, 100);  // 0 degrees
    Set(image, FieldId::BaseAdvance, CatalogueRowOfCode(code).baseAdvance);
    Set(image, FieldId::LobeWidth, code == 8 ? 40 : code == 9 ? 60 : 50);
}

void ApplyInjectionChannel(DeviceImage& image, InjectionWork& work, InjectionMap map,
                           const std::array<std::uint8_t, 15>& rpmAxis) {
    SetAll(image, InjectionMapAxisField(map), rpmAxis);
    work.percentOf(map).fill(100);
}

void ApplyJet1APage(DeviceImage& image, InjectionWork& work, int code,
                    const std::array<std::uint8_t, 15>& axis) {
    ApplyInjectionChannel(image, work, InjectionMap::Jet1A, axis);
    Set(image, FieldId::IapTpsMin, code == 46 ? 5 : 2);
    Set(image, FieldId::IapTpsMax, code == 46 ? 7 : 5);
    Set(image, FieldId::IapRpmMin, 20);
    Set(image, FieldId::IapRpmMax, 30);
}

void ApplyJetBPage(DeviceImage& image, int code, const std::array<std::uint8_t, 15>& rpmAxis) {
    SetAll(image, FieldId::RpmJetB, rpmAxis);
    if (const auto* table = InjectionBTableForBike(static_cast<std::uint8_t>(code)))
        SetAll(image, FieldId::JetB, *table);
}

void ApplyIapPage(DeviceImage& image, InjectionWork& work, const std::array<std::uint8_t, 15>& rpmAxis) {
    image.IapAxis = kIapAxisKpa;
    ApplyInjectionChannel(image, work, InjectionMap::Iap, rpmAxis);
    for (FieldId name :
         {FieldId::IapCorrCyl1, FieldId::IapCorrCyl2, FieldId::IapCorrCyl3, FieldId::IapCorrCyl4})
        Set(image, name, 100);
}

void ApplyPolohaPage(DeviceImage& image, int code, const std::array<std::uint8_t, 15>& rpmAxis) {
    const PositionDefaults& positions = PositionsOfCode(code);
    SetAll(image, FieldId::PolohaARpm, rpmAxis);
    SetAll(image, FieldId::PolohaBRpm, rpmAxis);
    Set(image, FieldId::PolohaAMode, positions.modeA);
    Set(image, FieldId::PolohaBMode, positions.modeB);
    SetAll(image, FieldId::PolohaAPoz, positions.pozA);
    SetAll(image, FieldId::PolohaBPoz, positions.pozB);
}

void ApplyKorekcePage(DeviceImage& image, int code) {
    const CorrectionDefaults& corrections = CorrectionsOfCode(code);
    const std::array<int, 4> seconds = {5, 10, 15, 20};
    const std::array<int, 4> enrichment = {150, 50, 30, 10};  // 250 %, 150 %, 130 %, 110 %
    for (std::size_t i = 0; i < 4; ++i) {
        Set(image, FieldRun(FieldId::SyticCas1, static_cast<int>(i)), seconds[i]);
        Set(image, FieldRun(FieldId::SyticKorekce0, static_cast<int>(i)), enrichment[i]);
    }
    Set(image, FieldId::AkcelPrah, corrections.akcelPrah);
    Set(image, FieldId::AkcelJet, corrections.akcelJet);
    SetAll(image, FieldId::InjCorrWater, corrections.injCorrWater);
    SetAll(image, FieldId::InjCorrAir, corrections.injCorrAir);
    SetAll(image, FieldId::AdvCorrWater, std::array<int, 5>{110, 110, 100, 100, 95});
    Set(image, FieldId::StartJet, CatalogueRowOfCode(code).startJet);
}

void ApplyCidlaPage(DeviceImage& image, int code) {
    static constexpr std::array<FieldId, 8> kPressureFields = {
        FieldId::ApsTlak1,  FieldId::ApsNapeti1,  FieldId::ApsTlak2,  FieldId::ApsNapeti2,
        FieldId::IapsTlak1, FieldId::IapsNapeti1, FieldId::IapsTlak2, FieldId::IapsNapeti2};
    const PressureSensorWords& words = PressureSensorsOfCode(code);
    for (std::size_t i = 0; i < words.size(); ++i) Set(image, kPressureFields[i], words[i]);
    const CatalogueRow& row = CatalogueRowOfCode(code);
    Set(image, FieldId::Tps0, row.tps0);
    Set(image, FieldId::Tps100, row.tps100);
    Set(image, FieldId::PotencMode, 0);
    Set(image, FieldId::PotencRozsah, 20);
}

void ApplyServoPage(DeviceImage& image, int code, bool intake) {
    const ServoScalars& servo = ServoScalarsOfCode(code);
    if (intake) {
        Set(image, FieldId::ServoInEnable, servo.inEnable);
        Set(image, FieldId::ServoInProcent, servo.inProcent);
        Set(image, FieldId::ServoInStep, servo.inStep);
        Set(image, FieldId::ServoInStepPeriod, 8);
        Set(image, FieldId::ServoInExcitation, 6);
    } else {
        Set(image, FieldId::ServoExEnable, servo.exEnable);
        Set(image, FieldId::ServoExProcent, servo.exProcent);
    }
    ApplyServoTable(image, code, intake);
}

void ApplyIdlePage(DeviceImage& image, int code) {
    const IdleDefaults& idle = IdleOfCode(code);
    Set(image, FieldId::IdleMode, idle.mode);
    Set(image, FieldId::IdleRpmMez, idle.rpmMez);
    Set(image, FieldId::IdleTpsMez, idle.tpsMez);
    Set(image, FieldId::IdleSmerReg, idle.smerReg);
    Set(image, FieldId::IdleStepPuls, idle.stepPuls);
    Set(image, FieldId::IdleStepPerioda, idle.stepPerioda);
    Set(image, FieldId::IdleHyster, idle.hyster);
    SetAll(image, FieldId::IdleServoPoz,
           idle.servoPoz);  // already stored bytes: no division by the idle step
    Set(image, FieldId::IdleAdvOn, idle.advOn);
    Set(image, FieldId::IdleAdvNaRpm, idle.advNaRpm);
    Set(image, FieldId::IdleAdvNaCas, idle.advNaCas);
    Set(image, FieldId::IdleMaxAdv, idle.maxAdv);
    SetAll(image, FieldId::IdleAdvPoz, idle.advPoz);
    Set(image, FieldId::SpeedMode, 0);
    Set(image, FieldId::PulsuProSpeed, GearOfCode(code).pulsuProSpeed);
}

void ApplyGasPage(DeviceImage& image) {
    Set(image, FieldId::Gas, 0);
    Set(image, FieldId::Gas1, 20);
    Set(image, FieldId::Gas2, 60);
    Set(image, FieldId::GasD, 20);
    Set(image, FieldId::GasT, 30);
    Set(image, FieldId::Retard1, 0);
    Set(image, FieldId::Retard2, 0);
    Set(image, FieldId::RetardD, 20);
    Set(image, FieldId::RetardT, 30);
    Set(image, FieldId::GasJetKor1, 0);  // 100 %
    Set(image, FieldId::GasJetKor2, 0);
}

void ApplyRacePage(DeviceImage& image) {
    const int ignLimiter = FieldValue(image, Field(FieldId::IgnLimiter));
    Fill(image, FieldId::PilotLight1, Below(ignLimiter, 20));  // 2000 rpm below the ignition cut
    Fill(image, FieldId::PilotLight2, Below(ignLimiter, 15));
    Fill(image, FieldId::ClutchTime, 20);
    Fill(image, FieldId::ClutchPause, 50);
    Set(image, FieldId::ClutchMode, 0);
    Set(image, FieldId::ClutchMinRpm, 20);
    Set(image, FieldId::ClutchJet, 50);
    Set(image, FieldId::ClutchAdv, 0);
    Set(image, FieldId::TempDisplay, 0);
}

void ApplyGearPage(DeviceImage& image, int code) {
    const GearDefaults& gear = GearOfCode(code);
    Set(image, FieldId::GearSystem, gear.gearSystem);
    SetAll(image, FieldId::GearVoltage, gear.gearVoltage);
    Set(image, FieldId::PocetGear, 6);
    SetAll(image, FieldId::GearRatio, std::array<int, 6>{2000, 1000, 666, 500, 400, 333});
    Set(image, FieldId::GearAutoTime, 3);
    Set(image, FieldId::GearAutoRpm, 15);
    Set(image, FieldId::GearAutoTps, 20);
    Set(image, FieldId::GearAutoBand, 40);
    Fill(image, FieldId::GearKorAdv, 100);
    Fill(image, FieldId::GearKorJet, 100);
}

void ApplyTemperatureSensors(DeviceImage& image, int code) {
    const TemperatureSensors sensors = TemperatureSensorsOfCode(code);
    SetAll(image, FieldId::WaterSensor, sensors.water);
    SetAll(image, FieldId::AirSensor, sensors.air);
}

// Every 16-bit injection map follows its percentages over the references of the current axes and tables.
void RebuildInjectionMaps(DeviceImage& image, InjectionWork& work) {
    ComputeInjectionReference(image, work);
    for (InjectionMap map : {InjectionMap::Jet1A, InjectionMap::Jet2A, InjectionMap::Jet3A,
                             InjectionMap::Jet4A, InjectionMap::Iap})
        InjectionImageFromPercent(image, work, map);
}

}  // namespace

int ChooseTypeTables(const DeviceImage& image, DefaultsState& state) {
    const int bike = FieldValue(image, Field(FieldId::Bike));
    if (IsMotorcycleCode(bike)) state.tableCode = bike;
    if (!IsMotorcycleCode(state.tableCode)) state.tableCode = StartupBikeCode;
    state.triggerProfile = CatalogueRowOfCode(state.tableCode).triggerProfile;
    return state.tableCode;
}

void ApplySynchronizationDefaults(DeviceImage& image, DefaultsState& state) {
    const int code = ChooseTypeTables(image, state);
    const CatalogueRow& row = CatalogueRowOfCode(code);
    const TriggerProfile& p = TriggerProfiles()[row.triggerProfile];
    Set(image, FieldId::BikeSecial, 0);
    Set(image, FieldId::Synchro1, p.synchro1);
    Set(image, FieldId::Synchro2, p.synchro2);
    Set(image, FieldId::PocPalcu, p.pocPalcu);
    Set(image, FieldId::VynechPalcu, p.vynechPalcu);
    Set(image, FieldId::PocKanOut, p.pocKanOut);
    Set(image, FieldId::SynchroHrana, p.synchroHrana);
    for (int i = 0; i < 4; ++i) Set(image, FieldRun(FieldId::Top1, i), p.top[static_cast<std::size_t>(i)]);
    Set(image, FieldId::PredaniHodnot, p.predaniHodnot);
    Set(image, FieldId::Kyvani1, p.kyvani1);
    Set(image, FieldId::Kyvani2, p.kyvani2);
    for (std::size_t i = 0; i < 3; ++i) {
        Set(image, FieldRun(FieldId::KyvaniFaze11, static_cast<int>(i)), p.kyvaniFaze1[i]);
        Set(image, FieldRun(FieldId::KyvaniFaze21, static_cast<int>(i)), p.kyvaniFaze2[i]);
    }
    Set(image, FieldId::KyvaniFazeOtacka1, p.kyvaniFazeOtacka[0]);
    Set(image, FieldId::KyvaniFazeOtacka2, p.kyvaniFazeOtacka[1]);
    // Normalization derives these from the tooth counts.
    Set(image, FieldId::TeethPer180, 0);
    Set(image, FieldId::TeethPer60, 0);
    Set(image, FieldId::ToothAngle, 0);
    Set(image, FieldId::SynchroMaxRpm, 80);
    Set(image, FieldId::InvInput, IsOneOf(code, {24, 29, 37, 46, 48}) ? 1 : 0);
    Set(image, FieldId::Buzeni, IsOneOf(code, {1, 38, 39, 41, 43}) ? 30 : 19);
    Set(image, FieldId::BikeConstA, row.bikeConstA0, 0);
}

void ApplyBikeConstants(DeviceImage& image, DefaultsState& state) {
    const CatalogueRow& row = CatalogueRowOfCode(ChooseTypeTables(image, state));
    for (int i = 0; i < 3; ++i)
        Set(image, FieldId::BikeConstA, row.bikeConstA3to5[static_cast<std::size_t>(i)], 3 + i);
    // Bytes 570..573 are one array of four: the ignition-limiter column first, then BikeConstB.
    Set(image, FieldId::BikeRevLimit, row.ignLimiter);
    SetAll(image, FieldId::BikeConstB, row.bikeConstB1to3);
}

void ApplyBikeTempCurve(DeviceImage& image, DefaultsState& state) {
    SetAll(image, FieldId::BikeTempCurve, NinePointCurveOfCode(ChooseTypeTables(image, state)));
}

void ApplyTypeConstants(DeviceImage& image, DefaultsState& state) {
    ApplyBikeConstants(image, state);
    ApplyBikeTempCurve(image, state);
}

void ApplyTypeChange(DeviceImage& image, InjectionWork& work, DefaultsState& state) {
    SelectReferenceTables(image, work);
    RebuildInjectionMaps(image, work);
    ApplySynchronizationDefaults(image, state);
    ApplyTypeConstants(image, state);
}

void ApplySpecialSettingOff(DeviceImage& image, DefaultsState& state) {
    ApplySynchronizationDefaults(image, state);
    ApplyBikeConstants(image, state);
}

void ApplyDefaults(DeviceImage& image, InjectionWork& work, DefaultsState& state, bool pageOnly,
                   int pageIndex) {
    auto runs = [&](int page) { return !pageOnly || pageIndex == page; };

    SelectReferenceTables(image, work);
    if (runs(kPageSynchro)) ApplySynchronizationDefaults(image, state);
    ApplyTypeConstants(image, state);

    const int code = ChooseTypeTables(image, state);
    Set(image, FieldId::ServoInMode, ServoScalarsOfCode(code).inMode);
    Set(image, FieldId::ServoExMode, DefaultServoExMode);
    const std::array<std::uint8_t, 15> rpmAxis = RpmAxisOfCode(code);

    if (!pageOnly) Set(image, FieldId::Jet1423Mode, kCoupledChannels);
    const bool channelsApart = FieldValue(image, Field(FieldId::Jet1423Mode)) != kCoupledChannels;

    if (runs(kPageBike)) ApplyBikePage(image, code);
    if (runs(kPageAdvance)) ApplyAdvancePage(image, code, rpmAxis);
    if (runs(kPageJet1A)) ApplyJet1APage(image, work, code, rpmAxis);
    if (!pageOnly || (channelsApart && pageIndex == kPageJet2A))
        ApplyInjectionChannel(image, work, InjectionMap::Jet2A, rpmAxis);
    if (!pageOnly || (channelsApart && pageIndex == kPageJet3A))
        ApplyInjectionChannel(image, work, InjectionMap::Jet3A, rpmAxis);
    if (!pageOnly || (channelsApart && pageIndex == kPageJet4A))
        ApplyInjectionChannel(image, work, InjectionMap::Jet4A, rpmAxis);
    if (runs(kPageJetB)) ApplyJetBPage(image, code, rpmAxis);
    if (runs(kPageIap)) ApplyIapPage(image, work, rpmAxis);
    if (runs(kPagePoloha)) ApplyPolohaPage(image, code, rpmAxis);
    if (runs(kPageKorekce)) ApplyKorekcePage(image, code);
    if (runs(kPageCidla)) ApplyCidlaPage(image, code);
    ApplyTemperatureSensors(image, code);
    if (runs(kPageServoIn)) ApplyServoPage(image, code, true);
    if (runs(kPageServoEx)) ApplyServoPage(image, code, false);
    if (runs(kPageIdle)) ApplyIdlePage(image, code);
    if (runs(kPageGas)) ApplyGasPage(image);
    if (runs(kPageRace)) ApplyRacePage(image);
    if (runs(kPageGear)) ApplyGearPage(image, code);

    RebuildInjectionMaps(image, work);
}

void ApplyDefaults(DeviceImage& image, InjectionWork& work, bool pageOnly, int pageIndex) {
    DefaultsState state;
    ApplyDefaults(image, work, state, pageOnly, pageIndex);
}

}  // namespace torvane
