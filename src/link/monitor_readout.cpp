#include "link/monitor_readout.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>

#include "text/message_table.h"

namespace torvane {

namespace {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* format, ...) {
    char buffer[160];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return {};
    return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

bool Bit(std::uint8_t value, int bit) {
    return (value >> bit & 1) != 0;
}

// One line of the inputs and outputs: which bit, whether it is active at 1, and its active colour.
struct FlagLine {
    std::string_view label;
    int byte;  // 1..4
    int bit;
    bool activeHigh;
    Message message;
    ReadoutColor activeColor;
};

constexpr std::array<FlagLine, 13> FlagLines = {{
    {"LabelMonFallIn", 1, 0, false, MsgFallSensor, ReadoutColor::Fuchsia},
    {"LabelMonFallOut", 1, 1, true, MsgFallSensor, ReadoutColor::Red},
    {"LabelMonBlock2In", 1, 2, false, MsgBlocking, ReadoutColor::Aqua},
    {"LabelMonBlock2Out", 1, 3, true, MsgBlocking, ReadoutColor::Red},
    {"LabelMonStartLimiterIn", 1, 4, false, MsgStartLimiter, ReadoutColor::Fuchsia},
    {"LabelMonStartLimiterOut", 1, 5, true, MsgStartLimiter, ReadoutColor::Fuchsia},
    {"LabelMonClutchIn", 1, 6, false, MsgClutch, ReadoutColor::Lime},
    {"LabelMonClutchOut", 1, 7, true, MsgClutch, ReadoutColor::Red},
    {"LabelMonRpmLambdaIn", 2, 0, false, MsgTachoLambda, ReadoutColor::Aqua},
    {"LabelMonIgnLimiter", 2, 2, true, MsgIgnLimiter, ReadoutColor::Fuchsia},
    {"LabelMonJetLimiter", 2, 3, true, MsgJetLimiter, ReadoutColor::Fuchsia},
    {"LabelMonRetardLimiter", 2, 4, true, MsgRetardLimiter, ReadoutColor::Fuchsia},
    {"LabelClazeniMon", 3, 4, true, MsgCooling, ReadoutColor::White},
}};

constexpr std::array<std::string_view, 4> IgnLabels = {"LabelMon_Ign1", "LabelMon_Ign2", "LabelMon_Ign3",
                                                       "LabelMon_Ign4"};
constexpr std::array<std::string_view, 4> JetALabels = {"LabelMon_Jet_1A", "LabelMon_Jet_2A",
                                                        "LabelMon_Jet_3A", "LabelMon_Jet_4A"};
constexpr std::array<std::string_view, 4> JetBLabels = {"LabelMon_Jet_1B", "LabelMon_Jet_2B",
                                                        "LabelMon_Jet_3B", "LabelMon_Jet_4B"};
constexpr std::array<std::string_view, 8> TestLabels = {"LabelTest1", "LabelTest2", "LabelTest3",
                                                        "LabelTest4", "LabelTest5", "LabelTest6",
                                                        "LabelTest7", "LabelTest8"};
// The unit's diagnostic formats differ slightly from one value to the next; they are kept as the unit's
// service tools print them.
constexpr std::array<const char*, 8> TestFormats = {"Test1= %d", "Test2= %d", "Test3= %d ", "Test4=%d",
                                                    "Test5= %d", "Test6= %d", "Test7= %d",  "Test8= %d"};
constexpr std::array<std::string_view, 6> LearntRatioLabels = {
    "LabelMonPomerRpmSpeedAuto1", "LabelMonPomerRpmSpeedAuto2", "LabelMonPomerRpmSpeedAuto3",
    "LabelMonPomerRpmSpeedAuto4", "LabelMonPomerRpmSpeedAuto5", "LabelMonPomerRpmSpeedAuto6"};

class Builder {
  public:
    Builder(MonitorReadout& out, int language) : out_(out), language_(language) {}

    std::string msg(Message n) const { return MessageText(n, language_); }
    std::string yesNo(bool active) const { return msg(active ? MsgYes : MsgNo); }

    void text(std::string_view name, std::string text, std::optional<ReadoutColor> color = std::nullopt) {
        out_.labels.push_back({name, std::move(text), color, std::nullopt});
    }
    void label(LabelReadout readout) { out_.labels.push_back(std::move(readout)); }
    void gauge(std::string_view name, std::optional<int> progress, std::optional<ReadoutColor> color) {
        out_.gauges.push_back({name, progress, color});
    }

  private:
    MonitorReadout& out_;
    int language_;
};

ReadoutColor SupplyColor(int mv) {
    if (mv >= 17999 || mv <= 7000) return ReadoutColor::Red;
    if (mv >= 14999 || mv <= 11000) return ReadoutColor::Yellow;
    return ReadoutColor::Normal;
}

int LambdaGauge(int mv) {
    if (mv < 400) return 0;
    if (mv > 1000) return 100;
    return (mv - 400) / 6;
}

void AddFlags(Builder& b, const LiveValues& live, const DeviceImage& image) {
    const MonitorSample& m = live.monitor;
    const auto flag = [&](int byte, int bit) {
        return Bit(m.flags[static_cast<std::size_t>(byte - 1)], bit);
    };

    for (const FlagLine& line : FlagLines) {
        const bool active = flag(line.byte, line.bit) == line.activeHigh;
        b.text(line.label, b.msg(line.message) + " - " + b.yesNo(active),
               active ? line.activeColor : ReadoutColor::Normal);
    }
    const bool tacho = flag(2, 1);
    b.text("LabelMonRpmLambdaOut", b.msg(MsgTachoLambda) + " - " + b.msg(tacho ? MsgTacho : MsgLambda),
           tacho ? ReadoutColor::Normal : ReadoutColor::Aqua);

    const bool nitrous = flag(3, 1);
    b.label({"LabelN2oEnable", "N2O  - " + b.yesNo(nitrous),
             nitrous ? ReadoutColor::Lime : ReadoutColor::Normal, image.byteAt(GasIndex) != 0});

    const bool ckps = flag(3, 5);
    b.text("LabelSnimacCkps", b.msg(MsgPickupCkps) + " - " + b.msg(ckps ? MsgRunning : MsgNoSignal),
           ckps ? ReadoutColor::Lime : ReadoutColor::Normal);
    const bool cmps = flag(3, 6);
    b.text("LabelSnimacCmps", b.msg(MsgPickupCmps) + " - " + b.msg(cmps ? MsgRunning : MsgNoSignal),
           cmps ? ReadoutColor::Lime : ReadoutColor::Normal);

    b.label({"LabelEeDataErr", std::nullopt, std::nullopt, flag(3, 7)});
}

void AddVersion(Builder& b, const MonitorSample& m) {
    // A matching unit clears a warning left by an earlier, mismatched one.
    if (m.unitVersion == ProgramVersion) {
        b.text("LabelVersion", std::string(), ReadoutColor::Normal);
        return;
    }
    b.text("LabelVersion",
           b.msg(MsgProgramVersionMismatch) + Format("  PC-%d, IGN-%d", ProgramVersion, m.unitVersion),
           ReadoutColor::Red);
}

void AddAdvance(Builder& b, const LiveValues& live, int channels) {
    const MonitorSample& m = live.monitor;
    const std::string name = b.msg(MsgAdvance);
    // Cylinders beyond four do not exist on the unit; the mean is over the values actually shown.
    const int used = std::clamp(channels, 1, 4);
    int sum = 0;
    for (int k = 1; k <= 4; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - 1);
        const bool shown = k == 1 || channels >= k;
        LabelReadout r{IgnLabels[i], std::nullopt, std::nullopt, std::nullopt};
        if (k > 1) r.visible = shown;
        if (shown) {
            sum += m.advance[i];
            r.text = live.BaseAdvanceMode ? Format("%s %d= BASE", name.c_str(), k)
                                          : Format("%s %d= %2d \u00b0", name.c_str(), k, m.advance[i]);
        }
        b.label(std::move(r));
    }
    b.text("LabelMon_Ign", live.BaseAdvanceMode ? Format("%s = BASE", name.c_str())
                                                : Format("%s = %2d \u00b0", name.c_str(), sum / used));
}

void AddInjection(Builder& b, const LiveValues& live, int channels) {
    const MonitorSample& m = live.monitor;
    const std::string name = b.msg(MsgInjectionTime);
    int sumA = 0;
    int sumB = 0;
    for (int k = 1; k <= 4; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - 1);
        const std::optional<bool> visible = k == 1 ? std::nullopt : std::optional<bool>(channels >= k);
        b.label({JetALabels[i], Format("%s %dA = %d us", name.c_str(), k, m.injectionA[i] * 100),
                 std::nullopt, visible});
        b.label({JetBLabels[i], Format("%s %dB = %d us", name.c_str(), k, m.injectionB[i] * 100),
                 std::nullopt, visible});
        sumA += m.injectionA[i];
        sumB += m.injectionB[i];
    }
    // The unit always fires four injector pairs, so the mean is over four whatever the channel count.
    b.text("LabelMon_Jet_A", Format("%s A = %d us", name.c_str(), sumA * 100 / 4));
    b.text("LabelMon_Jet_B", Format("%s B = %d us", name.c_str(), sumB * 100 / 4));

    b.text("LabelMaxInjProcent", Format("%s = %d [%%]", b.msg(MsgMaxInjection).c_str(), m.dutyPercent));
    b.gauge("CGaugeDuty", m.dutyPercent, m.dutyPercent > 100 ? ReadoutColor::Yellow : ReadoutColor::Blue);
}

void AddEngine(Builder& b, const LiveValues& live, const DeviceImage& image) {
    const MonitorSample& m = live.monitor;
    b.text("LabelGear", Format("%s = %d ", b.msg(MsgGear).c_str(), live.Gear));
    b.text("LabelDleTpsProcent", Format("%s = %2d %%", b.msg(MsgJetByTps).c_str(), live.ThrottleShare));

    const std::string pilotName = b.msg(image.byteAt(BikeIndex) == ChokeBikeCode ? MsgChoke : MsgShiftLight);
    const std::string pilotState =
        m.pilotLight == 0 ? b.msg(MsgNo) : (m.pilotLight == 2 ? b.msg(MsgYes) : b.msg(MsgTwinkle));
    b.text("LabelMonPilotLight", pilotName + " - " + pilotState,
           m.pilotLight != 0 ? ReadoutColor::Fuchsia : ReadoutColor::Normal);

    const int limiters =
        int{live.IgnLimiterActive} + int{live.JetLimiterActive} + int{live.RetardLimiterActive};
    b.text(
        "LabelRpm", Format("RPM = %d ", live.EngineSpeed),
        limiters == 0 ? ReadoutColor::Normal : (limiters == 3 ? ReadoutColor::Red : ReadoutColor::Fuchsia));
    const int ignLimiter = image.byteAt(IgnLimiterIndex);
    // Speed in percent of the ignition limiter (stored in hundreds of rpm); no limiter leaves the gauge.
    b.gauge("CGaugeRpm", ignLimiter != 0 ? std::optional<int>(live.EngineSpeed / ignLimiter) : std::nullopt,
            std::nullopt);
}

void AddSensors(Builder& b, const LiveValues& live, bool detailed) {
    const MonitorSample& m = live.monitor;
    const auto flag4 = [&](int bit) { return Bit(m.flags[3], bit); };

    const double ambient = m.ambientPressure * 0.1;
    b.text("LabelTlak",
           detailed ? Format("AP = %4.1f kPa= %d mV", ambient, m.ambientPressureMv)
                    : Format("AP = %4.1f kPa", ambient),
           flag4(2) ? ReadoutColor::Red : ReadoutColor::Normal);

    if (live.IntakePressureError) {
        b.text("LabelPodtlak",
               detailed ? Format("IAP = error = %d [mV]", m.intakePressureMv) : std::string("IAP = error"),
               ReadoutColor::Red);
    } else {
        b.text("LabelPodtlak",
               detailed ? Format("IA P= %d [kPa] = %d [mV]", live.IntakePressure, m.intakePressureMv)
                        : Format("IAP = %d [kPa]", live.IntakePressure),
               ReadoutColor::Normal);
    }

    const double throttle = live.ThrottleOpening * 0.1;
    if (live.ThrottleSensorError) {
        b.text("LabelTpsMon", Format("TP = error = %d mV", live.ThrottleSensorMv), ReadoutColor::Red);
        b.gauge("CGaugeTps", 0, std::nullopt);
    } else {
        b.text("LabelTpsMon",
               detailed ? Format("TP = %4.1f %%=%d mV", throttle, live.ThrottleSensorMv)
                        : Format("TP = %4.1f %%", throttle),
               ReadoutColor::Normal);
        b.gauge("CGaugeTps", live.ThrottleOpening / 10, std::nullopt);
    }

    b.text("LabelLambda", Format("LAMBDA = %d mV", m.lambdaMv));
    b.gauge("CGaugeLambda", LambdaGauge(m.lambdaMv), std::nullopt);

    const std::string coolant = b.msg(MsgCoolant);
    if (m.coolantRaw == 0) {
        b.text("LabelVoda",
               detailed ? Format("%s = error = %d mV", coolant.c_str(), m.coolantMv) : coolant + " = error",
               ReadoutColor::Red);
        b.gauge("CGaugeVoda", live.CoolantTemperature - 100, ReadoutColor::Red);
    } else {
        const bool hot = m.coolantRaw >= 200;  // 100 degrees and above
        const int celsius = m.coolantRaw - 100;
        b.text("LabelVoda",
               detailed ? Format("%s = %d \u00b0C= %d mV", coolant.c_str(), celsius, m.coolantMv)
                        : Format("%s= %d \u00b0C", coolant.c_str(), celsius),
               hot ? ReadoutColor::Yellow : ReadoutColor::Normal);
        b.gauge("CGaugeVoda", live.CoolantTemperature - 100, hot ? ReadoutColor::Yellow : ReadoutColor::Aqua);
    }

    // A failed air sensor reads as 50 degrees, the value the unit itself substitutes.
    const bool airError = m.airRaw == 0;
    const int air = airError ? 50 : m.airRaw - 100;
    b.text("LabelVzduch",
           detailed ? Format("AT = %d \u00b0C= %d mV", air, m.airMv) : Format("AT = %d \u00b0C", air),
           airError ? ReadoutColor::Red : ReadoutColor::Normal);

    b.text("LabelNapeti", Format("U = %4.1f V", m.supplyMv * 0.001), SupplyColor(m.supplyMv));
}

void AddServos(Builder& b, const MonitorSample& m) {
    const std::string intake = b.msg(MsgIntakeServo);
    const bool idleMode = Bit(m.flags[3], 4);
    b.text("LabelMonServoIntake",
           idleMode ? Format("%s = %d mV/ %s ", intake.c_str(), m.intakeServoMv[0], b.msg(MsgIdle).c_str())
                    : Format("%s = %d / %d mV", intake.c_str(), m.intakeServoMv[0], m.intakeServoMv[1]),
           Bit(m.flags[1], 7) ? ReadoutColor::Normal : ReadoutColor::Red);
    b.text(
        "LabelMonServoExhaust",
        Format("%s = %d / %d mV", b.msg(MsgExhaustServo).c_str(), m.exhaustServoMv[0], m.exhaustServoMv[1]),
        Bit(m.flags[1], 6) ? ReadoutColor::Normal : ReadoutColor::Red);
    b.text("LabelMonPotenc", Format("%s = %d mV", b.msg(MsgPotentiometer).c_str(), m.potentiometerMv));
}

void AddUnitInfo(Builder& b, const LiveValues& live) {
    const MonitorSample& m = live.monitor;
    b.text("LabelPocetProgramovani", b.msg(MsgProgrammingCount) + std::to_string(m.programmingCount));
    for (std::size_t i = 0; i < TestLabels.size(); ++i) {
        b.text(TestLabels[i], Format(TestFormats[i], m.diagnostics[i]));
    }
    const std::string position = b.msg(MsgPosition);
    b.text("LabelMon_PolohaA", Format("%s A = %d \u00b0", position.c_str(), m.positionA));
    b.text("LabelMon_PolohaB", Format("%s B = %d \u00b0", position.c_str(), m.positionB));
}

void AddCorrections(Builder& b, const MonitorSample& m) {
    b.text("LabelKorVodaJet", Format("TW correction = %4.1f %%", m.coolantJetCorrection * 0.1));
    b.text("LabelKorVzduch", Format("AT correction = %4.1f %%", m.airJetCorrection * 0.1));
    b.text("LabelKorTlak", Format("AP correction = %4.1f %%", m.ambientJetCorrection * 0.1));
    b.text("LabelKorSytic", Format("Starting corr. = %4.1f %%", m.startJetCorrection * 0.1));
    b.text("LabelKorNapeti", Format("U correction = %d us", int{m.supplyJetCorrection} - 1000));
    b.text("LabelKorVodaIgn", Format("TW correction = %4.1f \u00b0", m.coolantAdvanceCorrection * 0.1 - 100));
    b.text("LabelKorPotencIgn",
           Format("Potent. correction = %4.1f \u00b0", m.potentiometerAdvanceCorrection * 0.1 - 100));
    b.text("LabelKorPotencJet", Format("Potent. correction = %4.1f %%", m.potentiometerJetCorrection * 0.1));
    b.text("LabelIdleKorAdv",
           Format("Idle correction = %4.1f \u00b0", (int{m.idleAdvanceCorrection} - 1000) * 0.1));
}

void AddGearSpeed(Builder& b, const LiveValues& live) {
    const MonitorSample& m = live.monitor;
    b.text("LabelMonSpeed", Format("%s = %d [km/h]", b.msg(MsgSpeed).c_str(), m.roadSpeed));
    b.text("LabelMonGearNapeti", "Gear voltage = " + std::to_string(live.GearSensorMv) + " mV");
    b.text("LabelMonPomerRpmSpeed", Format("Rpm/Speed = %4.1f ", live.SpeedRatio * 0.1));
    for (std::size_t i = 0; i < LearntRatioLabels.size(); ++i) {
        b.text(LearntRatioLabels[i], Format("%4.1f ", m.learntSpeedRatio[i] * 0.1));
    }
}

}  // namespace

const LabelReadout* MonitorReadout::label(std::string_view name) const {
    for (const LabelReadout& r : labels) {
        if (r.name == name) return &r;
    }
    return nullptr;
}

const GaugeReadout* MonitorReadout::gauge(std::string_view name) const {
    for (const GaugeReadout& r : gauges) {
        if (r.name == name) return &r;
    }
    return nullptr;
}

MonitorReadout ComputeMonitorReadout(const LiveValues& live, const DeviceImage& image, bool detailed,
                                     int languageIndex) {
    MonitorReadout out;
    out.labels.reserve(96);
    out.gauges.reserve(8);
    Builder b(out, languageIndex);
    const int channels = image.byteAt(PocKanOutIndex);

    AddFlags(b, live, image);
    AddVersion(b, live.monitor);
    AddAdvance(b, live, channels);
    AddInjection(b, live, channels);
    AddEngine(b, live, image);
    AddSensors(b, live, detailed);
    AddServos(b, live.monitor);
    AddUnitInfo(b, live);
    AddCorrections(b, live.monitor);
    AddGearSpeed(b, live);
    return out;
}

MonitorReadout MonitorPlaceholders(int languageIndex, std::uint8_t bike) {
    MonitorReadout out;
    const auto msg = [languageIndex](Message n) { return MessageText(n, languageIndex); };
    const auto put = [&out](std::string_view name, std::string text) {
        out.labels.push_back({name, std::move(text), std::nullopt, std::nullopt});
    };
    put("LabelMon_Ign", msg(MsgAdvance) + "= --- [\u00b0]");
    put("LabelPocetProgramovani", msg(MsgProgrammingCount) + "= ---");
    static constexpr std::pair<std::string_view, Message> kStates[] = {
        {"LabelMonBlock2Out", MsgBlocking},
        {"LabelMonStartLimiterOut", MsgStartLimiter},
        {"LabelMonIgnLimiter", MsgIgnLimiter},
        {"LabelMonJetLimiter", MsgJetLimiter},
        {"LabelMonRetardLimiter", MsgRetardLimiter},
        {"LabelSnimacCkps", MsgPickupCkps},
        {"LabelSnimacCmps", MsgPickupCmps},
        {"LabelMonFallOut", MsgFallSensor},
        {"LabelClazeniMon", MsgCooling}};
    for (const auto& [name, n] : kStates) put(name, msg(n) + " - ---");
    const std::string injection = msg(MsgInjectionTime);
    put("LabelMon_Jet_A", injection + " A = --- us");
    put("LabelMon_Jet_B", injection + " B = --- us");
    for (int i = 0; i < 4; ++i) {
        put(JetALabels[static_cast<std::size_t>(i)], injection + " " + std::to_string(i + 1) + "A = --- us");
        put(JetBLabels[static_cast<std::size_t>(i)], injection + " " + std::to_string(i + 1) + "B = --- us");
    }
    put("LabelMaxInjProcent", msg(MsgMaxInjection) + " = --- %");
    put("LabelMon_PolohaA", msg(MsgPosition) + " A = ---");
    put("LabelMon_PolohaB", msg(MsgPosition) + " B = ---");
    put("LabelMonServoIntake", msg(MsgIntakeServo) + " = ---/--- mV");
    put("LabelMonServoExhaust", msg(MsgExhaustServo) + " = ---/--- mV");
    put("LabelMonPotenc", msg(MsgPotentiometer) + " = --- mV");
    put("LabelGear", msg(MsgGear) + " = --- ");
    put("LabelMonSpeed", msg(MsgSpeed) + " = --- [km/h]");
    put("LabelMonPilotLight", msg(bike == ChokeBikeCode ? MsgChoke : MsgShiftLight) + " - ---");
    return out;
}

}  // namespace torvane
