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

void Set(DeviceImage& image, std::string_view name, int value, int element = 0) {
    SetFieldValue(image, Field(name), element, value);
}

template <typename T, std::size_t N>
void SetAll(DeviceImage& image, std::string_view name, const std::array<T, N>& values) {
    const FieldInfo& field = Field(name);
    for (std::size_t i = 0; i < N; ++i) SetFieldValue(image, field, static_cast<int>(i), values[i]);
}

void Fill(DeviceImage& image, std::string_view name, int value) {
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

    Set(image, intake ? "ServoInHyst" : "ServoExHyst", entries[kServoHysteresisEntry] / 5);
    const FieldInfo& axis = Field(intake ? "RpmServoIn" : "RpmServoEx");
    for (int c = 0; c < kAxisPoints; ++c) SetFieldValue(image, axis, c, entries[kServoRpmEntry + c] / 100);

    const std::span<const std::uint16_t> cells = entries.subspan(kServoCellEntry);
    const bool fullMap = cells.size() == kMapRows * kAxisPoints;
    if (!fullMap && cells.size() != kAxisPoints) return;
    const FieldInfo& map = Field(intake ? "ServoInValue" : "ServoExValue");
    for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kAxisPoints; ++c) {
            const std::size_t from = fullMap ? static_cast<std::size_t>(kAxisPoints * r + c) : c;
            SetFieldValue(image, map, kAxisPoints * r + c, cells[from] / step);
        }
}

void ApplyBikePage(DeviceImage& image, int code) {
    const CatalogueRow& row = CatalogueRowOfCode(code);
    Set(image, "FallEnable", 1);
    Set(image, "BlokEnable", 0);
    Set(image, "AktFall", row.aktFall);
    Set(image, "AktClutch", 1);
    Set(image, "AktStartLimiter", 1);
    Set(image, "AktRpm", 1);
    Set(image, "Chlazeni", 100);
    Set(image, "RpmPulsu", row.rpmPulsu);
    Set(image, "RpmKorekce", 100);  // no correction
    Set(image, "IntakePortRpm", 90);
    Set(image, "StartLimiter", row.startLimiter);
    const int ignLimiter = FieldValue(image, Field("BikeRevLimit"));
    Set(image, "IgnLimiter", ignLimiter);
    Set(image, "JetLimiter", ignLimiter + 3);  // 300 rpm above the ignition cut
    Set(image, "RetardLimiterRpm", ignLimiter + 3);
    Set(image, "RetardLimiterAdv", 20);
    Fill(image, "Memo", 0);
}

void ApplyAdvancePage(DeviceImage& image, int code, const std::array<std::uint8_t, 15>& rpmAxis) {
    SetAll(image, "RpmAdv", rpmAxis);
    if (const AdvanceTable* table = AdvanceTableForBike(static_cast<std::uint8_t>(code))) {
        const std::size_t n = table->degrees.size();
        if (n == kMapRows * kAxisPoints || n == kAxisPoints) {
            const FieldInfo& advance = Field("Advance");
            for (int r = 0; r < kMapRows; ++r)
                for (int c = 0; c < kAxisPoints; ++c) {
                    const std::size_t from =
                        n == kAxisPoints ? c : static_cast<std::size_t>(kAxisPoints * r + c);
                    SetFieldValue(image, advance, kAxisPoints * r + c, table->degrees[from]);
                }
        }
    }
    Set(image, "AdvanceTps", 1);
    for (std::string_view name : {"AdvCorrCyl1", "AdvCorrCyl2", "AdvCorrCyl3", "AdvCorrCyl4"})
        Set(image, name, 100);  // 0 degrees
    Set(image, "BaseAdvance", CatalogueRowOfCode(code).baseAdvance);
    Set(image, "LobeWidth", code == 8 ? 40 : code == 9 ? 60 : 50);
}

void ApplyInjectionChannel(DeviceImage& image, InjectionWork& work, InjectionMap map,
                           const std::array<std::uint8_t, 15>& rpmAxis) {
    SetAll(image, InjectionMapAxisName(map), rpmAxis);
    work.percentOf(map).fill(100);
}

void ApplyJet1APage(DeviceImage& image, InjectionWork& work, int code,
                    const std::array<std::uint8_t, 15>& axis) {
    ApplyInjectionChannel(image, work, InjectionMap::Jet1A, axis);
    Set(image, "IapTpsMin", code == 46 ? 5 : 2);
    Set(image, "IapTpsMax", code == 46 ? 7 : 5);
    Set(image, "IapRpmMin", 20);
    Set(image, "IapRpmMax", 30);
}

void ApplyJetBPage(DeviceImage& image, int code, const std::array<std::uint8_t, 15>& rpmAxis) {
    SetAll(image, "RpmJetB", rpmAxis);
    if (const auto* table = InjectionBTableForBike(static_cast<std::uint8_t>(code)))
        SetAll(image, "JetB", *table);
}

void ApplyIapPage(DeviceImage& image, InjectionWork& work, const std::array<std::uint8_t, 15>& rpmAxis) {
    image.IapAxis = kIapAxisKpa;
    ApplyInjectionChannel(image, work, InjectionMap::Iap, rpmAxis);
    for (std::string_view name : {"IapCorrCyl1", "IapCorrCyl2", "IapCorrCyl3", "IapCorrCyl4"})
        Set(image, name, 100);
}

void ApplyPolohaPage(DeviceImage& image, int code, const std::array<std::uint8_t, 15>& rpmAxis) {
    const PositionDefaults& positions = PositionsOfCode(code);
    SetAll(image, "PolohaARpm", rpmAxis);
    SetAll(image, "PolohaBRpm", rpmAxis);
    Set(image, "PolohaAMode", positions.modeA);
    Set(image, "PolohaBMode", positions.modeB);
    SetAll(image, "PolohaAPoz", positions.pozA);
    SetAll(image, "PolohaBPoz", positions.pozB);
}

void ApplyKorekcePage(DeviceImage& image, int code) {
    const CorrectionDefaults& corrections = CorrectionsOfCode(code);
    const std::array<int, 4> seconds = {5, 10, 15, 20};
    const std::array<int, 4> enrichment = {150, 50, 30, 10};  // 250 %, 150 %, 130 %, 110 %
    for (int i = 0; i < 4; ++i) {
        Set(image, "SyticCas" + std::to_string(i + 1), seconds[i]);
        Set(image, "SyticKorekce" + std::to_string(i), enrichment[i]);
    }
    Set(image, "AkcelPrah", corrections.akcelPrah);
    Set(image, "AkcelJet", corrections.akcelJet);
    SetAll(image, "InjCorrWater", corrections.injCorrWater);
    SetAll(image, "InjCorrAir", corrections.injCorrAir);
    SetAll(image, "AdvCorrWater", std::array<int, 5>{110, 110, 100, 100, 95});
    Set(image, "StartJet", CatalogueRowOfCode(code).startJet);
}

void ApplyCidlaPage(DeviceImage& image, int code) {
    static constexpr std::array<std::string_view, 8> kPressureNames = {
        "ApsTlak1",  "ApsNapeti1",  "ApsTlak2",  "ApsNapeti2",
        "IapsTlak1", "IapsNapeti1", "IapsTlak2", "IapsNapeti2"};
    const PressureSensorWords& words = PressureSensorsOfCode(code);
    for (std::size_t i = 0; i < words.size(); ++i) Set(image, kPressureNames[i], words[i]);
    const CatalogueRow& row = CatalogueRowOfCode(code);
    Set(image, "Tps0", row.tps0);
    Set(image, "Tps100", row.tps100);
    Set(image, "PotencMode", 0);
    Set(image, "PotencRozsah", 20);
}

void ApplyServoPage(DeviceImage& image, int code, bool intake) {
    const ServoScalars& servo = ServoScalarsOfCode(code);
    if (intake) {
        Set(image, "ServoInEnable", servo.inEnable);
        Set(image, "ServoInProcent", servo.inProcent);
        Set(image, "ServoInStep", servo.inStep);
        Set(image, "ServoInStepPeriod", 8);
        Set(image, "ServoInExcitation", 6);
    } else {
        Set(image, "ServoExEnable", servo.exEnable);
        Set(image, "ServoExProcent", servo.exProcent);
    }
    ApplyServoTable(image, code, intake);
}

void ApplyIdlePage(DeviceImage& image, int code) {
    const IdleDefaults& idle = IdleOfCode(code);
    Set(image, "IdleMode", idle.mode);
    Set(image, "IdleRpmMez", idle.rpmMez);
    Set(image, "IdleTpsMez", idle.tpsMez);
    Set(image, "IdleSmerReg", idle.smerReg);
    Set(image, "IdleStepPuls", idle.stepPuls);
    Set(image, "IdleStepPerioda", idle.stepPerioda);
    Set(image, "IdleHyster", idle.hyster);
    SetAll(image, "IdleServoPoz", idle.servoPoz);  // already stored bytes: no division by the idle step
    Set(image, "IdleAdvOn", idle.advOn);
    Set(image, "IdleAdvNaRpm", idle.advNaRpm);
    Set(image, "IdleAdvNaCas", idle.advNaCas);
    Set(image, "IdleMaxAdv", idle.maxAdv);
    SetAll(image, "IdleAdvPoz", idle.advPoz);
    Set(image, "SpeedMode", 0);
    Set(image, "PulsuProSpeed", GearOfCode(code).pulsuProSpeed);
}

void ApplyGasPage(DeviceImage& image) {
    Set(image, "Gas", 0);
    Set(image, "Gas1", 20);
    Set(image, "Gas2", 60);
    Set(image, "GasD", 20);
    Set(image, "GasT", 30);
    Set(image, "Retard1", 0);
    Set(image, "Retard2", 0);
    Set(image, "RetardD", 20);
    Set(image, "RetardT", 30);
    Set(image, "GasJetKor1", 0);  // 100 %
    Set(image, "GasJetKor2", 0);
}

void ApplyRacePage(DeviceImage& image) {
    const int ignLimiter = FieldValue(image, Field("IgnLimiter"));
    Fill(image, "PilotLight1", Below(ignLimiter, 20));  // 2000 rpm below the ignition cut
    Fill(image, "PilotLight2", Below(ignLimiter, 15));
    Fill(image, "ClutchTime", 20);
    Fill(image, "ClutchPause", 50);
    Set(image, "ClutchMode", 0);
    Set(image, "ClutchMinRpm", 20);
    Set(image, "ClutchJet", 50);
    Set(image, "ClutchAdv", 0);
    Set(image, "TempDisplay", 0);
}

void ApplyGearPage(DeviceImage& image, int code) {
    const GearDefaults& gear = GearOfCode(code);
    Set(image, "GearSystem", gear.gearSystem);
    SetAll(image, "GearVoltage", gear.gearVoltage);
    Set(image, "PocetGear", 6);
    SetAll(image, "GearRatio", std::array<int, 6>{2000, 1000, 666, 500, 400, 333});
    Set(image, "GearAutoTime", 3);
    Set(image, "GearAutoRpm", 15);
    Set(image, "GearAutoTps", 20);
    Set(image, "GearAutoBand", 40);
    Fill(image, "GearKorAdv", 100);
    Fill(image, "GearKorJet", 100);
}

void ApplyTemperatureSensors(DeviceImage& image, int code) {
    const TemperatureSensors sensors = TemperatureSensorsOfCode(code);
    SetAll(image, "WaterSensor", sensors.water);
    SetAll(image, "AirSensor", sensors.air);
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
    const int bike = FieldValue(image, Field("Bike"));
    if (IsMotorcycleCode(bike)) state.tableCode = bike;
    if (!IsMotorcycleCode(state.tableCode)) state.tableCode = StartupBikeCode;
    state.triggerProfile = CatalogueRowOfCode(state.tableCode).triggerProfile;
    return state.tableCode;
}

void ApplySynchronizationDefaults(DeviceImage& image, DefaultsState& state) {
    const int code = ChooseTypeTables(image, state);
    const CatalogueRow& row = CatalogueRowOfCode(code);
    const TriggerProfile& p = TriggerProfiles()[row.triggerProfile];
    Set(image, "BikeSecial", 0);
    Set(image, "Synchro1", p.synchro1);
    Set(image, "Synchro2", p.synchro2);
    Set(image, "PocPalcu", p.pocPalcu);
    Set(image, "VynechPalcu", p.vynechPalcu);
    Set(image, "PocKanOut", p.pocKanOut);
    Set(image, "SynchroHrana", p.synchroHrana);
    for (int i = 0; i < 4; ++i) Set(image, "Top" + std::to_string(i + 1), p.top[i]);
    Set(image, "PredaniHodnot", p.predaniHodnot);
    Set(image, "Kyvani1", p.kyvani1);
    Set(image, "Kyvani2", p.kyvani2);
    for (int i = 0; i < 3; ++i) {
        Set(image, "KyvaniFaze1" + std::to_string(i + 1), p.kyvaniFaze1[i]);
        Set(image, "KyvaniFaze2" + std::to_string(i + 1), p.kyvaniFaze2[i]);
    }
    Set(image, "KyvaniFazeOtacka1", p.kyvaniFazeOtacka[0]);
    Set(image, "KyvaniFazeOtacka2", p.kyvaniFazeOtacka[1]);
    // Normalization derives these from the tooth counts.
    Set(image, "TeethPer180", 0);
    Set(image, "TeethPer60", 0);
    Set(image, "ToothAngle", 0);
    Set(image, "SynchroMaxRpm", 80);
    Set(image, "InvInput", IsOneOf(code, {24, 29, 37, 46, 48}) ? 1 : 0);
    Set(image, "Buzeni", IsOneOf(code, {1, 38, 39, 41, 43}) ? 30 : 19);
    Set(image, "BikeConstA", row.bikeConstA0, 0);
}

void ApplyBikeConstants(DeviceImage& image, DefaultsState& state) {
    const CatalogueRow& row = CatalogueRowOfCode(ChooseTypeTables(image, state));
    for (int i = 0; i < 3; ++i) Set(image, "BikeConstA", row.bikeConstA3to5[i], 3 + i);
    // Bytes 570..573 are one array of four: the ignition-limiter column first, then BikeConstB.
    Set(image, "BikeRevLimit", row.ignLimiter);
    SetAll(image, "BikeConstB", row.bikeConstB1to3);
}

void ApplyBikeTempCurve(DeviceImage& image, DefaultsState& state) {
    SetAll(image, "BikeTempCurve", NinePointCurveOfCode(ChooseTypeTables(image, state)));
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
    Set(image, "ServoInMode", ServoScalarsOfCode(code).inMode);
    Set(image, "ServoExMode", DefaultServoExMode);
    const std::array<std::uint8_t, 15> rpmAxis = RpmAxisOfCode(code);

    if (!pageOnly) Set(image, "Jet1423Mode", kCoupledChannels);
    const bool channelsApart = FieldValue(image, Field("Jet1423Mode")) != kCoupledChannels;

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
