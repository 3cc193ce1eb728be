#include "files/parameter_layout.h"

#include <cstdlib>

#include "files/field_lookup.h"

namespace torvane {
namespace {

constexpr std::string_view Cont = "             ";  // continuation prefix: 13 blanks
constexpr std::string_view Empty = "";

// One run of a field: `count` < 0 means the whole field from `first` on.
LayoutItem Run(ValueCode code, std::string_view name, int first, int count, int mul = 1, int add = 0) {
    const std::optional<FieldLocation> loc = LocateField(name);
    if (!loc) std::abort();  // the layout names only fields the table knows; a typo must fail loudly
    const int n = count < 0 ? loc->count - first : count;
    const std::size_t index =
        code == ValueCode::IapAxis ? static_cast<std::size_t>(first) : loc->index + loc->width * first;
    return LayoutItem{code, name, index, n, mul, add};
}

LayoutItem B(std::string_view name, int mul = 1, int add = 0) {
    return Run(ValueCode::Byte, name, 0, -1, mul, add);
}
LayoutItem W(std::string_view name) {
    return Run(ValueCode::Word, name, 0, -1);
}
LayoutItem D(std::string_view name) {
    return Run(ValueCode::Signed, name, 0, -1);
}
LayoutItem F(ValueCode code, std::string_view name) {
    return Run(code, name, 0, -1);
}

// A 10 x 15 map, one row per line, the first line carrying `firstPrefix`.
std::vector<LayoutLine> MapLines(std::string_view firstPrefix, ValueCode code, std::string_view name) {
    std::vector<LayoutLine> lines;
    for (int row = 0; row < 10; ++row)
        lines.push_back({row == 0 ? firstPrefix : Cont, {Run(code, name, 15 * row, 15)}});
    return lines;
}

std::vector<LayoutLine> Join(std::vector<LayoutLine> a, const std::vector<LayoutLine>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<LayoutSection> BuildLayout() {
    using V = ValueCode;
    std::vector<LayoutSection> s;
    s.push_back({"BIKE", FullOpenOnly, false, {{"BIKE         ", {B("Bike")}}, {Cont, {}}}});
    s.push_back({"APS_IAPS",
                 11,
                 false,
                 {{"APS_IAPS     ", {W("ApsTlak1"), W("ApsNapeti1"), W("ApsTlak2"), W("ApsNapeti2")}},
                  {Cont, {W("IapsTlak1"), W("IapsNapeti1"), W("IapsTlak2"), W("IapsNapeti2")}}}});
    s.push_back({"WATER_TEMP_SENSOR", 11, false, {{"WATER_TEMP_SENSOR", {}}, {Cont, {W("WaterSensor")}}}});
    s.push_back({"AIR_TEMP_SENSOR", 11, false, {{"AIR_TEMP_SENSOR    ", {}}, {Cont, {W("AirSensor")}}}});
    s.push_back({"INPUTS",
                 0,
                 false,
                 {{"INPUTS       ",
                   {B("FallEnable"), B("BlokEnable"), B("AktFall"), B("AktClutch"), B("AktStartLimiter"),
                    B("AktRpm")}}}});
    s.push_back({"LIMITER",
                 0,
                 false,
                 {{"LIMITER      ",
                   {B("StartLimiter", 100), B("IgnLimiter", 100), B("JetLimiter", 100),
                    B("RetardLimiterRpm", 100), B("RetardLimiterAdv")}}}});
    s.push_back({"TPS", 11, false, {{"TPS          ", {B("Tps0", 10), B("Tps100", 10, 250)}}}});
    s.push_back(
        {"POTENTIOMETER", 11, false, {{"POTENTIOMETER      ", {B("PotencMode"), B("PotencRozsah")}}}});
    s.push_back({"COOLING", 0, false, {{"COOLING      ", {B("Chlazeni")}}}});
    s.push_back({"RPM", 0, false, {{"RPM          ", {B("RpmPulsu"), D("RpmKorekce")}}}});
    s.push_back({"INTAKE_PORT", 0, false, {{"INTAKE_PORT  ", {B("IntakePortRpm", 100)}}}});
    s.push_back(
        {"SYNCHRO",
         1,
         false,
         {{"SYNCHRO      ", {B("BikeSecial"), B("Synchro1"), B("Synchro2")}},
          {Cont, {B("PocPalcu"), B("VynechPalcu"), B("PocKanOut"), B("SynchroHrana"), B("InvInput")}},
          {Cont, {B("Top1"), B("Top2"), B("Top3"), B("Top4")}},
          {Cont,
           {B("TeethPer180"), B("TeethPer60"), B("ToothAngle"), B("PredaniHodnot"), B("SynchroMaxRpm")}},
          {Empty, {}}}});
    s.push_back(
        {"ADVANCE_MISC",
         2,
         false,
         {{"ADVANCE_MISC ",
           {B("AdvanceTps"), B("AdvCorrCyl1", 1, -100), B("AdvCorrCyl2", 1, -100), B("AdvCorrCyl3", 1, -100),
            B("AdvCorrCyl4", 1, -100), B("BaseAdvance"), B("LobeWidth")}}}});
    s.push_back({"RPM_ADV", 2, false, {{"RPM_ADV      ", {B("RpmAdv", 100)}}}});
    s.push_back({"ADVANCE", 2, false, Join(MapLines("ADVANCE      ", V::Byte, "Advance"), {{Cont, {}}})});
    s.push_back(
        {"JET1_MISC",
         3,
         false,
         {{"JET1_MISC    ",
           {B("Jet1423Mode"), B("IapTpsMin"), B("IapTpsMax"), B("IapRpmMin", 100), B("IapRpmMax", 100)}}}});
    struct Jet {
        std::string_view rpmKey, rpmPrefix, rpmField, mapKey, mapPrefix, mapField;
        int page;
        bool coupled;
    };
    const Jet jets[] = {
        {"RPM_JET_1A", "RPM_JET_1A   ", "RpmJet1A", "JET_1A", "JET_1A       ", "Jet1A", 3, false},
        {"RPM_JET_2A", "RPM_JET_2A   ", "RpmJet2A", "JET_2A", "JET_2A       ", "Jet2A", 4, true},
        {"RPM_JET_3A", "RPM_JET_3A   ", "RpmJet3A", "JET_3A", "JET_3A       ", "Jet3A", 5, true},
        {"RPM_JET_4A", "RPM_JET_4A   ", "RpmJet4A", "JET_4A", "JET_4A       ", "Jet4A", 6, true},
    };
    for (const Jet& j : jets) {
        s.push_back({j.rpmKey, j.page, j.coupled, {{j.rpmPrefix, {B(j.rpmField, 100)}}}});
        s.push_back(
            {j.mapKey, j.page, j.coupled, Join(MapLines(j.mapPrefix, V::Word, j.mapField), {{Cont, {}}})});
    }
    s.push_back({"RPM_JET_B", 7, false, {{"RPM_JET_B    ", {B("RpmJetB", 100)}}}});
    s.push_back({"JET_B", 7, false, Join(MapLines("JET_B        ", V::Byte, "JetB"), {{Cont, {}}})});
    s.push_back(
        {"IAP_MISC",
         8,
         false,
         {{"IAP_MISC     ", {B("IapCorrCyl1"), B("IapCorrCyl2"), B("IapCorrCyl3"), B("IapCorrCyl4")}}}});
    s.push_back({"IAP_IAP", 8, false, {{"IAP_IAP      ", {F(V::IapAxis, "IapAxis")}}}});
    s.push_back({"RPM_IAP", 8, false, {{"RPM_IAP      ", {B("RpmIap", 100)}}}});
    s.push_back({"IAP", 8, false, Join(MapLines("IAP          ", V::Word, "Iap"), {{Cont, {}}})});
    for (const char ab : {'A', 'B'}) {
        const bool a = ab == 'A';
        s.push_back({a ? "POSITION_A" : "POSITION_B",
                     9,
                     false,
                     {{a ? "POSITION_A   " : "POSITION_B   ", {B(a ? "PolohaAMode" : "PolohaBMode")}},
                      {Cont, {B(a ? "PolohaARpm" : "PolohaBRpm", 100)}},
                      {Cont, {B(a ? "PolohaAPoz" : "PolohaBPoz", 5)}},
                      {Empty, {}}}});
    }
    s.push_back({"SERVO_IN",
                 12,
                 false,
                 {{"SERVO_IN     ",
                   {F(V::Flag5, "ServoInEnable"), F(V::Flag7, "ServoInProcent"), B("ServoInHyst", 5),
                    B("ServoInMode"), F(V::Flag6, "ServoInStep"), B("ServoInStepPeriod"),
                    B("ServoInExcitation", 250)}}}});
    s.push_back({"RPM_SERVO_IN", 12, false, {{"RPM_SERVO_IN ", {B("RpmServoIn", 100)}}}});
    s.push_back({"SERVO_IN_VALUE", 12, false,
                 Join(Join({{"SERVO_IN_VALUE", {}}}, MapLines(Cont, V::ServoIn, "ServoInValue")),
                      {{Cont, {}}, {Empty, {}}})});
    s.push_back({"SERVO_EX",
                 13,
                 false,
                 {{"SERVO_EX     ",
                   {F(V::Flag5, "ServoExEnable"), F(V::Flag7, "ServoExProcent"), B("ServoExHyst", 5),
                    B("ServoExMode")}}}});
    s.push_back({"RPM_SERVO_EX", 13, false, {{"RPM_SERVO_EX ", {B("RpmServoEx", 100)}}}});
    s.push_back(
        {"SERVO_EX_VALUE", 13, false,
         Join(Join({{"SERVO_EX_VALUE", {}}}, MapLines(Cont, V::ServoEx, "ServoExValue")), {{Cont, {}}})});
    s.push_back({"IDLE",
                 14,
                 false,
                 {{"IDLE         ",
                   {B("IdleMode"), B("IdleRpmMez", 100), B("IdleTpsMez"), B("IdleSmerReg"),
                    B("IdleStepPuls", 250), B("IdleStepPerioda"), B("IdleHyster", 10)}},
                  {Cont, {F(V::IdlePos, "IdleServoPoz")}},
                  {Cont, {B("IdleAdvOn"), B("IdleAdvNaRpm"), B("IdleAdvNaCas"), B("IdleMaxAdv")}},
                  {Cont, {B("IdleAdvPoz", 50)}},
                  {Cont, {}},
                  {Cont, {}}}});
    s.push_back({"CHOKE",
                 10,
                 false,
                 {{"CHOKE        ", {B("SyticCas1"), B("SyticCas2"), B("SyticCas3"), B("SyticCas4")}},
                  {Cont,
                   {B("SyticKorekce0", 1, 100), B("SyticKorekce1", 1, 100), B("SyticKorekce2", 1, 100),
                    B("SyticKorekce3", 1, 100)}}}});
    s.push_back({"START_INJ", 10, false, {{"START_INJ    ", {B("StartJet")}}, {Cont, {}}}});
    s.push_back({"INJ_CORR", 10, false, {{"INJ_CORR     ", {B("InjCorrWater")}}, {Cont, {B("InjCorrAir")}}}});
    s.push_back({"ACCEL", 10, false, {{"ACCEL        ", {B("AkcelPrah", 10), B("AkcelJet", 50)}}}});
    s.push_back({"ADVANCE_CORR", 10, false, {{"ADVANCE_CORR ", {B("AdvCorrWater")}}, {Cont, {}}}});
    s.push_back({"N2O",
                 15,
                 false,
                 {{"N2O          ", {F(V::Flag6, "Gas")}},
                  {Cont,
                   {B("Gas1"), B("Gas2"), B("GasD", 100), B("GasT", 100), B("GasJetKor1", 1, -100),
                    B("GasJetKor2", 1, -100)}},
                  {Cont, {B("Retard1"), B("Retard2"), B("RetardD", 100), B("RetardT", 100)}}}});
    s.push_back(
        {"SPEED_PULSES", 17, false, {{"SPEED_PULSES ", {B("SpeedMode"), W("PulsuProSpeed")}}, {Cont, {}}}});
    s.push_back({"GEAR",
                 17,
                 false,
                 {{"GEAR         ", {B("GearSystem"), B("PocetGear")}},
                  {Cont, {W("GearVoltage")}},
                  {Cont, {W("GearRatio")}}}});
    s.push_back({"GEAR_AUTO",
                 17,
                 false,
                 {{"GEAR_AUTO    ",
                   {B("GearAutoTime"), B("GearAutoRpm", 100), B("GearAutoTps"), B("GearAutoBand")}}}});
    s.push_back({"GEAR_CORR", 17, false, {{"GEAR_CORR    ", {D("GearKorAdv")}}, {Cont, {B("GearKorJet")}}}});
    s.push_back({"PILOT_LIGHT",
                 16,
                 false,
                 {{"PILOT_LIGHT  ", {B("PilotLight1", 100)}}, {Cont, {B("PilotLight2", 100)}}}});
    s.push_back(
        {"CLUTCH",
         16,
         false,
         {{"CLUTCH       ", {B("ClutchMode"), B("ClutchMinRpm", 100), B("ClutchJet"), B("ClutchAdv")}},
          {Cont, {B("ClutchTime", 5)}},
          {Cont, {B("ClutchPause", 10)}},
          {Empty, {}}}});
    s.push_back(
        {"DISPLAY", 16, false, {{"DISPLAY      ", {F(V::Flag5, "TempDisplay")}}, {Cont, {}}, {Empty, {}}}});
    return s;
}

const std::vector<LayoutSection>& Layout() {
    static const std::vector<LayoutSection> layout = BuildLayout();
    return layout;
}

}  // namespace

std::span<const LayoutSection> ParameterLayout() {
    return Layout();
}

const LayoutSection* FindLayoutSection(std::string_view key) {
    for (const LayoutSection& s : Layout())
        if (s.key == key) return &s;
    return nullptr;
}

int ValueCountOf(const LayoutSection& section) {
    int n = 0;
    for (const LayoutLine& line : section.lines)
        for (const LayoutItem& item : line.items) n += item.count;
    return n;
}

}  // namespace torvane
