#include "files/field_differences.h"

#include <utility>

#include "image/conversions.h"

namespace torvane {
namespace {

std::string_view UnitOf(std::string_view name) {
    static constexpr std::pair<std::string_view, std::string_view> Units[] = {
        {"StartLimiter", "rpm"},
        {"IgnLimiter", "rpm"},
        {"JetLimiter", "rpm"},
        {"RetardLimiterRpm", "rpm"},
        {"RetardLimiterAdv", "°/100rpm"},
        {"SynchroMaxRpm", "rpm"},
        {"Buzeni", "µs"},
        {"ApsTlak1", "kPa"},
        {"ApsNapeti1", "mV"},
        {"ApsTlak2", "kPa"},
        {"ApsNapeti2", "mV"},
        {"IapsTlak1", "kPa"},
        {"IapsNapeti1", "mV"},
        {"IapsTlak2", "kPa"},
        {"IapsNapeti2", "mV"},
        {"Tps0", "mV"},
        {"Tps100", "mV"},
        {"Chlazeni", "°C"},
        {"IntakePortRpm", "rpm"},
        {"AdvCorrCyl1", "°"},
        {"AdvCorrCyl2", "°"},
        {"AdvCorrCyl3", "°"},
        {"AdvCorrCyl4", "°"},
        {"BaseAdvance", "°"},
        {"LobeWidth", "°"},
        {"IapTpsMin", "%"},
        {"IapTpsMax", "%"},
        {"IapRpmMin", "rpm"},
        {"IapRpmMax", "rpm"},
        {"ServoExHyst", "mV"},
        {"ServoInHyst", "mV"},
        {"SyticCas1", "s"},
        {"SyticCas2", "s"},
        {"SyticCas3", "s"},
        {"SyticCas4", "s"},
        {"SyticKorekce0", "%"},
        {"SyticKorekce1", "%"},
        {"SyticKorekce2", "%"},
        {"SyticKorekce3", "%"},
        {"ServoInStepPeriod", "ms"},
        {"ServoInExcitation", "µs"},
        {"InjCorrWater", "%"},
        {"InjCorrAir", "%"},
        {"AkcelPrah", "%/s"},
        {"AkcelJet", "µs"},
        {"StartJet", "ms"},
        {"AdvCorrWater", "°"},
        {"Gas1", "%"},
        {"Gas2", "%"},
        {"GasT", "ms"},
        {"GasD", "ms"},
        {"Retard1", "°"},
        {"Retard2", "°"},
        {"RetardT", "ms"},
        {"RetardD", "ms"},
        {"GasJetKor1", "%"},
        {"GasJetKor2", "%"},
        {"PilotLight1", "rpm"},
        {"PilotLight2", "rpm"},
        {"ClutchTime", "ms"},
        {"ClutchPause", "ms"},
        {"ClutchMinRpm", "rpm"},
        {"ClutchJet", "%"},
        {"ClutchAdv", "°"},
        {"GearKorAdv", "°"},
        {"GearKorJet", "%"},
        {"WaterSensor", "mV"},
        {"AirSensor", "mV"},
        {"GearVoltage", "mV"},
        {"GearAutoTime", "s"},
        {"GearAutoRpm", "rpm"},
        {"GearAutoTps", "%"},
        {"GearAutoBand", "0.1%"},
        {"BikeRevLimit", "rpm"},
        {"IdleRpmMez", "rpm"},
        {"IdleStepPuls", "µs"},
        {"IdleStepPerioda", "ms"},
        {"IdleHyster", "rpm"},
        {"IdleAdvNaRpm", "°/1000rpm"},
        {"IdleAdvNaCas", "°/10s"},
        {"IdleMaxAdv", "°"},
        {"IdleAdvPoz", "rpm"},
        {"PolohaARpm", "rpm"},
        {"PolohaAPoz", "°"},
        {"PolohaBRpm", "rpm"},
        {"PolohaBPoz", "°"},
        {"RpmAdv", "rpm"},
        {"RpmJet1A", "rpm"},
        {"RpmJet2A", "rpm"},
        {"RpmJet3A", "rpm"},
        {"RpmJet4A", "rpm"},
        {"RpmJetB", "rpm"},
        {"RpmIap", "rpm"},
        {"RpmServoEx", "rpm"},
        {"RpmServoIn", "rpm"},
        {"Advance", "°"},
        {"Jet1A", "µs"},
        {"Jet2A", "µs"},
        {"Jet3A", "µs"},
        {"Jet4A", "µs"},
        {"JetB", "%"},
        {"Iap", "µs"},
        {"IapAxis", "kPa"},
    };
    for (const auto& [field, unit] : Units)
        if (field == name) return unit;
    return {};
}

}  // namespace

// A field's element as the pages show it. The servo maps and idle positions follow their mode.
long ShownFieldValue(const DeviceImage& image, const FieldInfo& field, int element) {
    const long stored = FieldValue(image, field, element);
    if (field.name == "ServoInValue") return stored * ServoMapStep(image, true);
    if (field.name == "ServoExValue") return stored * ServoMapStep(image, false);
    if (field.name == "IdleServoPoz") return stored * IdleServoScaleOf(image).step;
    return static_cast<long>(field.scaleA) * stored + field.offsetC;
}

std::string ShownFieldUnit(const DeviceImage& image, std::string_view name) {
    if (name == "ServoInValue") return ServoMapStep(image, true) == 1 ? "%" : "";
    if (name == "ServoExValue") return ServoMapStep(image, false) == 1 ? "%" : "";
    if (name == "IdleServoPoz") return IdleServoScaleOf(image).step == 1 ? "%" : "";
    return std::string(UnitOf(name));
}

bool IsConfigurationField(const FieldInfo& field) {
    // Block 0 is the unit's header, which files do not carry.
    return field.count > 0 && (field.index == IapAxisIndex || field.index >= BlockSize);
}


std::vector<FieldDifference> DifferingFields(const DeviceImage& left, const DeviceImage& right,
                                             std::optional<int> block) {
    std::vector<FieldDifference> out;
    for (const FieldInfo& field : FieldTable()) {
        if (!IsConfigurationField(field)) continue;
        if (field.name == "Memo") {
            if (block && *block != static_cast<int>(field.index / BlockSize)) continue;
            if (left.memoText() != right.memoText()) out.push_back({"Memo", left.memoText(), right.memoText(), ""});
            continue;
        }
        const std::string unit = ShownFieldUnit(left, field.name);
        for (int e = 0; e < field.count; ++e) {
            if (block) {
                if (field.index == IapAxisIndex) break;  // kept beside the image, in no block
                const std::size_t at = field.index + static_cast<std::size_t>(e * field.width);
                if (static_cast<int>(at / BlockSize) != *block) continue;
            }
            const long l = ShownFieldValue(left, field, e);
            const long r = ShownFieldValue(right, field, e);
            if (l == r) continue;
            std::string name(field.name);
            if (field.count > 1) name += "[" + std::to_string(e) + "]";
            out.push_back({std::move(name), std::to_string(l), std::to_string(r), unit});
        }
    }
    return out;
}

std::string FormatDifference(const FieldDifference& d) {
    if (d.name == "Memo") return "Memo: \"" + d.left + "\" | \"" + d.right + "\"";
    std::string line = d.name + ": " + d.left + " | " + d.right;
    if (!d.unit.empty()) line += " " + d.unit;
    return line;
}

}  // namespace torvane
