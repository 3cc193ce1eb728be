#include "files/parameter_layout.h"

#include <cstdlib>

#include "image/fields.h"

namespace torvane {
namespace {

constexpr std::string_view Cont = "             ";  // continuation prefix: 13 blanks
constexpr std::string_view Empty = "";

// One run of a field: `count` < 0 means the whole field from `first` on.
LayoutItem Run(ValueCode code, FieldId id, int first, int count, int mul = 1, int add = 0) {
    const FieldInfo& field = Field(id);
    const int n = count < 0 ? field.count - first : count;
    // The IAP row axis is addressed by element number in DeviceImage::IapAxis, not by image index.
    const std::size_t index = code == ValueCode::IapAxis
                                  ? static_cast<std::size_t>(first)
                                  : field.index + static_cast<std::size_t>(field.width * first);
    return LayoutItem{code, field.name, index, n, mul, add};
}

LayoutItem B(FieldId name, int mul = 1, int add = 0) {
    return Run(ValueCode::Byte, name, 0, -1, mul, add);
}
LayoutItem W(FieldId name) {
    return Run(ValueCode::Word, name, 0, -1);
}
LayoutItem D(FieldId name) {
    return Run(ValueCode::Signed, name, 0, -1);
}
LayoutItem F(ValueCode code, FieldId name) {
    return Run(code, name, 0, -1);
}

// A 10 x 15 map, one row per line, the first line carrying `firstPrefix`.
std::vector<LayoutLine> MapLines(std::string_view firstPrefix, ValueCode code, FieldId name) {
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
    s.push_back({"BIKE", FullOpenOnly, false, {{"BIKE         ", {B(FieldId::Bike)}}, {Cont, {}}}});
    s.push_back(
        {"APS_IAPS",
         11,
         false,
         {{"APS_IAPS     ",
           {W(FieldId::ApsTlak1), W(FieldId::ApsNapeti1), W(FieldId::ApsTlak2), W(FieldId::ApsNapeti2)}},
          {Cont,
           {W(FieldId::IapsTlak1), W(FieldId::IapsNapeti1), W(FieldId::IapsTlak2),
            W(FieldId::IapsNapeti2)}}}});
    s.push_back(
        {"WATER_TEMP_SENSOR", 11, false, {{"WATER_TEMP_SENSOR", {}}, {Cont, {W(FieldId::WaterSensor)}}}});
    s.push_back(
        {"AIR_TEMP_SENSOR", 11, false, {{"AIR_TEMP_SENSOR    ", {}}, {Cont, {W(FieldId::AirSensor)}}}});
    s.push_back({"INPUTS",
                 0,
                 false,
                 {{"INPUTS       ",
                   {B(FieldId::FallEnable), B(FieldId::BlokEnable), B(FieldId::AktFall),
                    B(FieldId::AktClutch), B(FieldId::AktStartLimiter), B(FieldId::AktRpm)}}}});
    s.push_back({"LIMITER",
                 0,
                 false,
                 {{"LIMITER      ",
                   {B(FieldId::StartLimiter, 100), B(FieldId::IgnLimiter, 100), B(FieldId::JetLimiter, 100),
                    B(FieldId::RetardLimiterRpm, 100), B(FieldId::RetardLimiterAdv)}}}});
    s.push_back({"TPS", 11, false, {{"TPS          ", {B(FieldId::Tps0, 10), B(FieldId::Tps100, 10, 250)}}}});
    s.push_back({"POTENTIOMETER",
                 11,
                 false,
                 {{"POTENTIOMETER      ", {B(FieldId::PotencMode), B(FieldId::PotencRozsah)}}}});
    s.push_back({"COOLING", 0, false, {{"COOLING      ", {B(FieldId::Chlazeni)}}}});
    s.push_back({"RPM", 0, false, {{"RPM          ", {B(FieldId::RpmPulsu), D(FieldId::RpmKorekce)}}}});
    s.push_back({"INTAKE_PORT", 0, false, {{"INTAKE_PORT  ", {B(FieldId::IntakePortRpm, 100)}}}});
    s.push_back({"SYNCHRO",
                 1,
                 false,
                 {{"SYNCHRO      ", {B(FieldId::BikeSecial), B(FieldId::Synchro1), B(FieldId::Synchro2)}},
                  {Cont,
                   {B(FieldId::PocPalcu), B(FieldId::VynechPalcu), B(FieldId::PocKanOut),
                    B(FieldId::SynchroHrana), B(FieldId::InvInput)}},
                  {Cont, {B(FieldId::Top1), B(FieldId::Top2), B(FieldId::Top3), B(FieldId::Top4)}},
                  {Cont,
                   {B(FieldId::TeethPer180), B(FieldId::TeethPer60), B(FieldId::ToothAngle),
                    B(FieldId::PredaniHodnot), B(FieldId::SynchroMaxRpm)}},
                  {Empty, {}}}});
    s.push_back({"ADVANCE_MISC",
                 2,
                 false,
                 {{"ADVANCE_MISC ",
                   {B(FieldId::AdvanceTps), B(FieldId::AdvCorrCyl1, 1, -100),
                    B(FieldId::AdvCorrCyl2, 1, -100), B(FieldId::AdvCorrCyl3, 1, -100),
                    B(FieldId::AdvCorrCyl4, 1, -100), B(FieldId::BaseAdvance), B(FieldId::LobeWidth)}}}});
    s.push_back({"RPM_ADV", 2, false, {{"RPM_ADV      ", {B(FieldId::RpmAdv, 100)}}}});
    s.push_back(
        {"ADVANCE", 2, false, Join(MapLines("ADVANCE      ", V::Byte, FieldId::Advance), {{Cont, {}}})});
    s.push_back({"JET1_MISC",
                 3,
                 false,
                 {{"JET1_MISC    ",
                   {B(FieldId::Jet1423Mode), B(FieldId::IapTpsMin), B(FieldId::IapTpsMax),
                    B(FieldId::IapRpmMin, 100), B(FieldId::IapRpmMax, 100)}}}});
    struct Jet {
        std::string_view rpmKey, rpmPrefix;
        FieldId rpmField;
        std::string_view mapKey, mapPrefix;
        FieldId mapField;
        int page;
        bool coupled;
    };
    const Jet jets[] = {
        {"RPM_JET_1A", "RPM_JET_1A   ", FieldId::RpmJet1A, "JET_1A", "JET_1A       ", FieldId::Jet1A, 3,
         false},
        {"RPM_JET_2A", "RPM_JET_2A   ", FieldId::RpmJet2A, "JET_2A", "JET_2A       ", FieldId::Jet2A, 4,
         true},
        {"RPM_JET_3A", "RPM_JET_3A   ", FieldId::RpmJet3A, "JET_3A", "JET_3A       ", FieldId::Jet3A, 5,
         true},
        {"RPM_JET_4A", "RPM_JET_4A   ", FieldId::RpmJet4A, "JET_4A", "JET_4A       ", FieldId::Jet4A, 6,
         true},
    };
    for (const Jet& j : jets) {
        s.push_back({j.rpmKey, j.page, j.coupled, {{j.rpmPrefix, {B(j.rpmField, 100)}}}});
        s.push_back(
            {j.mapKey, j.page, j.coupled, Join(MapLines(j.mapPrefix, V::Word, j.mapField), {{Cont, {}}})});
    }
    s.push_back({"RPM_JET_B", 7, false, {{"RPM_JET_B    ", {B(FieldId::RpmJetB, 100)}}}});
    s.push_back({"JET_B", 7, false, Join(MapLines("JET_B        ", V::Byte, FieldId::JetB), {{Cont, {}}})});
    s.push_back({"IAP_MISC",
                 8,
                 false,
                 {{"IAP_MISC     ",
                   {B(FieldId::IapCorrCyl1), B(FieldId::IapCorrCyl2), B(FieldId::IapCorrCyl3),
                    B(FieldId::IapCorrCyl4)}}}});
    s.push_back({"IAP_IAP", 8, false, {{"IAP_IAP      ", {F(V::IapAxis, FieldId::IapAxis)}}}});
    s.push_back({"RPM_IAP", 8, false, {{"RPM_IAP      ", {B(FieldId::RpmIap, 100)}}}});
    s.push_back({"IAP", 8, false, Join(MapLines("IAP          ", V::Word, FieldId::Iap), {{Cont, {}}})});
    for (const char ab : {'A', 'B'}) {
        const bool a = ab == 'A';
        s.push_back(
            {a ? "POSITION_A" : "POSITION_B",
             9,
             false,
             {{a ? "POSITION_A   " : "POSITION_B   ", {B(a ? FieldId::PolohaAMode : FieldId::PolohaBMode)}},
              {Cont, {B(a ? FieldId::PolohaARpm : FieldId::PolohaBRpm, 100)}},
              {Cont, {B(a ? FieldId::PolohaAPoz : FieldId::PolohaBPoz, 5)}},
              {Empty, {}}}});
    }
    s.push_back({"SERVO_IN",
                 12,
                 false,
                 {{"SERVO_IN     ",
                   {F(V::Flag5, FieldId::ServoInEnable), F(V::Flag7, FieldId::ServoInProcent),
                    B(FieldId::ServoInHyst, 5), B(FieldId::ServoInMode), F(V::Flag6, FieldId::ServoInStep),
                    B(FieldId::ServoInStepPeriod), B(FieldId::ServoInExcitation, 250)}}}});
    s.push_back({"RPM_SERVO_IN", 12, false, {{"RPM_SERVO_IN ", {B(FieldId::RpmServoIn, 100)}}}});
    s.push_back({"SERVO_IN_VALUE", 12, false,
                 Join(Join({{"SERVO_IN_VALUE", {}}}, MapLines(Cont, V::ServoIn, FieldId::ServoInValue)),
                      {{Cont, {}}, {Empty, {}}})});
    s.push_back({"SERVO_EX",
                 13,
                 false,
                 {{"SERVO_EX     ",
                   {F(V::Flag5, FieldId::ServoExEnable), F(V::Flag7, FieldId::ServoExProcent),
                    B(FieldId::ServoExHyst, 5), B(FieldId::ServoExMode)}}}});
    s.push_back({"RPM_SERVO_EX", 13, false, {{"RPM_SERVO_EX ", {B(FieldId::RpmServoEx, 100)}}}});
    s.push_back({"SERVO_EX_VALUE", 13, false,
                 Join(Join({{"SERVO_EX_VALUE", {}}}, MapLines(Cont, V::ServoEx, FieldId::ServoExValue)),
                      {{Cont, {}}})});
    s.push_back({"IDLE",
                 14,
                 false,
                 {{"IDLE         ",
                   {B(FieldId::IdleMode), B(FieldId::IdleRpmMez, 100), B(FieldId::IdleTpsMez),
                    B(FieldId::IdleSmerReg), B(FieldId::IdleStepPuls, 250), B(FieldId::IdleStepPerioda),
                    B(FieldId::IdleHyster, 10)}},
                  {Cont, {F(V::IdlePos, FieldId::IdleServoPoz)}},
                  {Cont,
                   {B(FieldId::IdleAdvOn), B(FieldId::IdleAdvNaRpm), B(FieldId::IdleAdvNaCas),
                    B(FieldId::IdleMaxAdv)}},
                  {Cont, {B(FieldId::IdleAdvPoz, 50)}},
                  {Cont, {}},
                  {Cont, {}}}});
    s.push_back(
        {"CHOKE",
         10,
         false,
         {{"CHOKE        ",
           {B(FieldId::SyticCas1), B(FieldId::SyticCas2), B(FieldId::SyticCas3), B(FieldId::SyticCas4)}},
          {Cont,
           {B(FieldId::SyticKorekce0, 1, 100), B(FieldId::SyticKorekce1, 1, 100),
            B(FieldId::SyticKorekce2, 1, 100), B(FieldId::SyticKorekce3, 1, 100)}}}});
    s.push_back({"START_INJ", 10, false, {{"START_INJ    ", {B(FieldId::StartJet)}}, {Cont, {}}}});
    s.push_back({"INJ_CORR",
                 10,
                 false,
                 {{"INJ_CORR     ", {B(FieldId::InjCorrWater)}}, {Cont, {B(FieldId::InjCorrAir)}}}});
    s.push_back(
        {"ACCEL", 10, false, {{"ACCEL        ", {B(FieldId::AkcelPrah, 10), B(FieldId::AkcelJet, 50)}}}});
    s.push_back({"ADVANCE_CORR", 10, false, {{"ADVANCE_CORR ", {B(FieldId::AdvCorrWater)}}, {Cont, {}}}});
    s.push_back(
        {"N2O",
         15,
         false,
         {{"N2O          ", {F(V::Flag6, FieldId::Gas)}},
          {Cont,
           {B(FieldId::Gas1), B(FieldId::Gas2), B(FieldId::GasD, 100), B(FieldId::GasT, 100),
            B(FieldId::GasJetKor1, 1, -100), B(FieldId::GasJetKor2, 1, -100)}},
          {Cont,
           {B(FieldId::Retard1), B(FieldId::Retard2), B(FieldId::RetardD, 100), B(FieldId::RetardT, 100)}}}});
    s.push_back({"SPEED_PULSES",
                 17,
                 false,
                 {{"SPEED_PULSES ", {B(FieldId::SpeedMode), W(FieldId::PulsuProSpeed)}}, {Cont, {}}}});
    s.push_back({"GEAR",
                 17,
                 false,
                 {{"GEAR         ", {B(FieldId::GearSystem), B(FieldId::PocetGear)}},
                  {Cont, {W(FieldId::GearVoltage)}},
                  {Cont, {W(FieldId::GearRatio)}}}});
    s.push_back({"GEAR_AUTO",
                 17,
                 false,
                 {{"GEAR_AUTO    ",
                   {B(FieldId::GearAutoTime), B(FieldId::GearAutoRpm, 100), B(FieldId::GearAutoTps),
                    B(FieldId::GearAutoBand)}}}});
    s.push_back({"GEAR_CORR",
                 17,
                 false,
                 {{"GEAR_CORR    ", {D(FieldId::GearKorAdv)}}, {Cont, {B(FieldId::GearKorJet)}}}});
    s.push_back(
        {"PILOT_LIGHT",
         16,
         false,
         {{"PILOT_LIGHT  ", {B(FieldId::PilotLight1, 100)}}, {Cont, {B(FieldId::PilotLight2, 100)}}}});
    s.push_back({"CLUTCH",
                 16,
                 false,
                 {{"CLUTCH       ",
                   {B(FieldId::ClutchMode), B(FieldId::ClutchMinRpm, 100), B(FieldId::ClutchJet),
                    B(FieldId::ClutchAdv)}},
                  {Cont, {B(FieldId::ClutchTime, 5)}},
                  {Cont, {B(FieldId::ClutchPause, 10)}},
                  {Empty, {}}}});
    s.push_back({"DISPLAY",
                 16,
                 false,
                 {{"DISPLAY      ", {F(V::Flag5, FieldId::TempDisplay)}}, {Cont, {}}, {Empty, {}}}});
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
