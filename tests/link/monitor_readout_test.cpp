// The readout rules of the Monitor page: texts, colours, visibility and gauges from the live values.
#include "link/monitor_readout.h"

#include <gtest/gtest.h>

#include "link/monitor_decoder.h"
#include "monitor_test_support.h"

namespace torvane {
namespace {

using C = ReadoutColor;
using Pairs = std::initializer_list<std::pair<int, int>>;

class MonitorReadoutTest : public ::testing::Test {
  protected:
    MonitorReadoutTest() { image.setByte(PocKanOutIndex, 4); }

    // Decodes a frame with the given bytes and words and computes the readout in English.
    void show(Pairs bytes, Pairs words = {}, bool detailed = false) {
        ASSERT_TRUE(
            DecodeMonitorFrame(testing::MonitorFrameBuilder::With(bytes, words).frame(), image, live));
        readout = ComputeMonitorReadout(live, image, detailed, 0);
    }
    const LabelReadout& label(std::string_view name) const {
        static const LabelReadout missing{};
        const LabelReadout* r = readout.label(name);
        return r != nullptr ? *r : missing;
    }
    std::string text(std::string_view name) const { return label(name).text.value_or("<unset>"); }
    std::optional<C> color(std::string_view name) const { return label(name).color; }
    std::optional<bool> visible(std::string_view name) const { return label(name).visible; }
    GaugeReadout gauge(std::string_view name) const {
        const GaugeReadout* g = readout.gauge(name);
        return g != nullptr ? *g : GaugeReadout{};
    }

    DeviceImage image;
    LiveValues live;
    MonitorReadout readout;
};

TEST_F(MonitorReadoutTest, AllFlagBytesZeroShowInputsActiveAndOutputsIdle) {
    show({{1, 0}, {2, 0}, {3, 0}, {4, 0}});
    EXPECT_EQ(text("LabelMonFallIn"), "Fall sensor - YES");
    EXPECT_EQ(color("LabelMonFallIn"), C::Fuchsia);
    EXPECT_EQ(text("LabelMonBlock2In"), "Blocking  - YES");
    EXPECT_EQ(color("LabelMonBlock2In"), C::Aqua);
    for (const char* out :
         {"LabelMonFallOut", "LabelMonBlock2Out", "LabelMonStartLimiterOut", "LabelMonClutchOut",
          "LabelMonIgnLimiter", "LabelMonJetLimiter", "LabelMonRetardLimiter", "LabelClazeniMon"}) {
        EXPECT_TRUE(text(out).ends_with(" - NO")) << out << ": " << text(out);
        EXPECT_EQ(color(out), C::Normal) << out;
    }
    EXPECT_EQ(text("LabelMonRpmLambdaOut"), "Tacho/Lambda - Lambda");
    EXPECT_EQ(color("LabelMonRpmLambdaOut"), C::Aqua);
    EXPECT_EQ(color("LabelMonServoExhaust"), C::Red);
    EXPECT_EQ(color("LabelMonServoIntake"), C::Red);
    EXPECT_EQ(text("LabelSnimacCkps"), "Pick-up (CKPS) -  no signal");
    EXPECT_EQ(color("LabelSnimacCkps"), C::Normal);
    EXPECT_EQ(visible("LabelEeDataErr"), false);
    EXPECT_EQ(color("LabelRpm"), C::Normal);
}

TEST_F(MonitorReadoutTest, AllFlagBitsSetShowOutputsActive) {
    show({{1, 0xFF}, {2, 0xFF}, {3, 0xF6}});
    EXPECT_EQ(text("LabelMonFallIn"), "Fall sensor - NO");
    EXPECT_EQ(text("LabelMonFallOut"), "Fall sensor - YES");
    EXPECT_EQ(color("LabelMonFallOut"), C::Red);
    EXPECT_EQ(color("LabelMonStartLimiterOut"), C::Fuchsia);
    EXPECT_EQ(text("LabelMonRpmLambdaOut"), "Tacho/Lambda - Tacho");
    EXPECT_EQ(color("LabelMonRpmLambdaOut"), C::Normal);
    EXPECT_EQ(color("LabelClazeniMon"), C::White);
    EXPECT_EQ(text("LabelN2oEnable"), "N2O  - YES");
    EXPECT_EQ(color("LabelN2oEnable"), C::Lime);
    EXPECT_EQ(text("LabelSnimacCkps"), "Pick-up (CKPS) -  is running");
    EXPECT_EQ(visible("LabelEeDataErr"), true);
    EXPECT_EQ(color("LabelRpm"), C::Red);  // all three limiters at once
    show({{2, 0xC8}});
    EXPECT_EQ(color("LabelRpm"), C::Fuchsia);
}

TEST_F(MonitorReadoutTest, NitrousLineIsShownOnlyWithNitrousEnabled) {
    show({});
    EXPECT_EQ(visible("LabelN2oEnable"), false);
    EXPECT_EQ(text("LabelN2oEnable"), "N2O  - NO");
    image.setByte(GasIndex, 1);
    show({});
    EXPECT_EQ(visible("LabelN2oEnable"), true);
}

TEST_F(MonitorReadoutTest, ChannelCountDecidesCylinderLabelsAndAdvanceMean) {
    image.setByte(PocKanOutIndex, 2);
    show({{10, 10}, {11, 12}, {12, 99}, {13, 99}});
    EXPECT_EQ(text("LabelMon_Ign1"), "Advance 1= 10 \u00b0");
    EXPECT_EQ(text("LabelMon_Ign2"), "Advance 2= 12 \u00b0");
    EXPECT_EQ(visible("LabelMon_Ign2"), true);
    EXPECT_EQ(visible("LabelMon_Ign3"), false);
    EXPECT_EQ(text("LabelMon_Ign3"), "<unset>");
    EXPECT_EQ(text("LabelMon_Ign"), "Advance = 11 \u00b0");
    EXPECT_EQ(visible("LabelMon_Jet_3A"), false);

    image.setByte(PocKanOutIndex, 3);
    show({{10, 10}, {11, 12}, {12, 14}, {13, 200}});
    EXPECT_EQ(text("LabelMon_Ign"), "Advance = 12 \u00b0");

    // Nonsense counts: cylinder 1 stays, the mean is over what is shown.
    image.setByte(PocKanOutIndex, 0);
    show({{10, 7}, {11, 30}});
    EXPECT_EQ(text("LabelMon_Ign"), "Advance =  7 \u00b0");
    for (const char* name : {"LabelMon_Ign2", "LabelMon_Ign4", "LabelMon_Jet_2A", "LabelMon_Jet_4B"})
        EXPECT_EQ(visible(name), false) << name;
    EXPECT_EQ(visible("LabelMon_Ign1"), std::nullopt);
    image.setByte(PocKanOutIndex, 9);
    show({{10, 8}, {11, 8}, {12, 8}, {13, 8}});
    EXPECT_EQ(visible("LabelMon_Ign4"), true);
    EXPECT_EQ(text("LabelMon_Ign"), "Advance =  8 \u00b0");
}

TEST_F(MonitorReadoutTest, BaseAdvanceModeReplacesEveryAdvanceText) {
    image.setByte(PocKanOutIndex, 2);
    show({{3, 0x08}, {10, 10}, {11, 12}});
    EXPECT_EQ(text("LabelMon_Ign1"), "Advance 1= BASE");
    EXPECT_EQ(text("LabelMon_Ign"), "Advance = BASE");
    EXPECT_EQ(visible("LabelMon_Ign3"), false);
}

TEST_F(MonitorReadoutTest, InjectionMeansDivideByFourAndDutyColoursTheGauge) {
    image.setByte(PocKanOutIndex, 1);
    show({{14, 10}, {15, 10}, {18, 3}, {21, 250}}, {{24, 6000}});
    EXPECT_EQ(text("LabelMon_Jet_A"), "Injection time A = 500 us");
    EXPECT_EQ(text("LabelMon_Jet_B"), "Injection time B = 6325 us");
    EXPECT_EQ(text("LabelMon_Jet_4B"), "Injection time 4B = 25000 us");  // hidden, yet kept current
    EXPECT_EQ(visible("LabelMon_Jet_4B"), false);
    EXPECT_EQ(text("LabelMaxInjProcent"), "Max injection = 0 [%]");

    show({{14, 250}});  // 6000 rpm came with the frame before
    EXPECT_EQ(text("LabelMaxInjProcent"), "Max injection = 125 [%]");
    EXPECT_EQ(gauge("CGaugeDuty").progress, 125);
    EXPECT_EQ(gauge("CGaugeDuty").foreColor, C::Yellow);
    show({{14, 250}}, {{24, 4800}});
    show({{14, 250}});
    EXPECT_EQ(gauge("CGaugeDuty").progress, 100);
    EXPECT_EQ(gauge("CGaugeDuty").foreColor, C::Blue);
}

TEST_F(MonitorReadoutTest, EngineSpeedGaugeIsAShareOfTheIgnitionLimiter) {
    show({}, {{24, 7000}});
    EXPECT_EQ(text("LabelRpm"), "RPM = 7000 ");
    ASSERT_NE(readout.gauge("CGaugeRpm"), nullptr);
    EXPECT_EQ(gauge("CGaugeRpm").progress, std::nullopt);  // no limiter: the gauge stays as it is
    image.setByte(IgnLimiterIndex, 140);
    show({}, {{24, 7000}});
    EXPECT_EQ(gauge("CGaugeRpm").progress, 50);
}

TEST_F(MonitorReadoutTest, ThrottleLambdaAndPressureTexts) {
    const Pairs words = {{69, 123}, {28, 480}, {29, 700}, {26, 983}, {25, 4200}, {68, 87}, {27, 3900}};
    show({}, words);
    EXPECT_EQ(text("LabelTpsMon"), "TP = 12.3 %");
    EXPECT_EQ(gauge("CGaugeTps").progress, 12);
    EXPECT_EQ(gauge("CGaugeLambda").progress, 50);
    EXPECT_EQ(text("LabelTlak"), "AP = 98.3 kPa");
    EXPECT_EQ(text("LabelPodtlak"), "IAP = 87 [kPa]");
    show({}, words, true);
    EXPECT_EQ(text("LabelTpsMon"), "TP = 12.3 %=480 mV");
    EXPECT_EQ(text("LabelTlak"), "AP = 98.3 kPa= 4200 mV");
    EXPECT_EQ(text("LabelPodtlak"), "IA P= 87 [kPa] = 3900 [mV]");

    // Sensor errors reported by the unit.
    show({{4, 0x07}}, {{69, 500}, {28, 4990}, {27, 12}}, true);
    EXPECT_EQ(text("LabelTpsMon"), "TP = error = 4990 mV");
    EXPECT_EQ(color("LabelTpsMon"), C::Red);
    EXPECT_EQ(gauge("CGaugeTps").progress, 0);
    EXPECT_EQ(text("LabelPodtlak"), "IAP = error = 12 [mV]");
    EXPECT_EQ(color("LabelTlak"), C::Red);
    show({{4, 0x03}});
    EXPECT_EQ(text("LabelPodtlak"), "IAP = error");

    for (const auto& [mv, expected] : Pairs{{0, 0}, {399, 0}, {400, 0}, {406, 1}, {1000, 100}, {1001, 100}}) {
        show({}, {{29, mv}});
        EXPECT_EQ(gauge("CGaugeLambda").progress, expected) << mv;
    }
}

TEST_F(MonitorReadoutTest, CoolantAndAirTemperatures) {
    show({{23, 0}}, {{30, 4950}});
    EXPECT_EQ(text("LabelVoda"), "Coolant = error");
    EXPECT_EQ(color("LabelVoda"), C::Red);
    EXPECT_EQ(gauge("CGaugeVoda").progress, 80);
    EXPECT_EQ(gauge("CGaugeVoda").foreColor, C::Red);
    show({{23, 0}}, {{30, 4950}}, true);
    EXPECT_EQ(text("LabelVoda"), "Coolant = error = 4950 mV");

    show({{23, 199}});
    EXPECT_EQ(text("LabelVoda"), "Coolant= 99 \u00b0C");
    EXPECT_EQ(color("LabelVoda"), C::Normal);
    EXPECT_EQ(gauge("CGaugeVoda").foreColor, C::Aqua);
    show({{23, 200}}, {{30, 800}}, true);
    EXPECT_EQ(text("LabelVoda"), "Coolant = 100 \u00b0C= 800 mV");
    EXPECT_EQ(color("LabelVoda"), C::Yellow);
    show({{23, 80}});
    EXPECT_EQ(text("LabelVoda"), "Coolant= -20 \u00b0C");

    show({{24, 0}}, {{31, 4990}});
    EXPECT_EQ(text("LabelVzduch"), "AT = 50 \u00b0C");
    EXPECT_EQ(color("LabelVzduch"), C::Red);
    show({{24, 125}}, {{31, 2100}}, true);
    EXPECT_EQ(text("LabelVzduch"), "AT = 25 \u00b0C= 2100 mV");
}

TEST_F(MonitorReadoutTest, SupplyVoltageBands) {
    for (const auto& [mv, expected] : {std::pair{0, C::Red},
                                       {7000, C::Red},
                                       {7001, C::Yellow},
                                       {11000, C::Yellow},
                                       {11001, C::Normal},
                                       {14998, C::Normal},
                                       {14999, C::Yellow},
                                       {17998, C::Yellow},
                                       {17999, C::Red},
                                       {65535, C::Red}}) {
        show({}, {{32, mv}});
        EXPECT_EQ(color("LabelNapeti"), expected) << mv;
    }
    show({}, {{32, 12600}});
    EXPECT_EQ(text("LabelNapeti"), "U = 12.6 V");
}

TEST_F(MonitorReadoutTest, CorrectionsKeepTheirSigns) {
    show({}, {{67, 950}, {54, 990}, {55, 985}, {56, 1000}, {50, 1123}, {57, 0}});
    EXPECT_EQ(text("LabelIdleKorAdv"), "Idle correction = -5.0 \u00b0");
    EXPECT_EQ(text("LabelKorNapeti"), "U correction = -10 us");
    EXPECT_EQ(text("LabelKorVodaIgn"), "TW correction = -1.5 \u00b0");
    EXPECT_EQ(text("LabelKorPotencIgn"), "Potent. correction =  0.0 \u00b0");
    EXPECT_EQ(text("LabelKorVodaJet"), "TW correction = 112.3 %");
    show({}, {{67, 1025}});
    EXPECT_EQ(text("LabelIdleKorAdv"), "Idle correction =  2.5 \u00b0");
}

TEST_F(MonitorReadoutTest, VersionMismatchWarnsAndAMatchClearsIt) {
    show({{150, 69}});
    EXPECT_EQ(text("LabelVersion"), "Unmatched version of PC and Ignition programs!  PC-70, IGN-69");
    EXPECT_EQ(color("LabelVersion"), C::Red);
    show({{150, 70}});
    EXPECT_EQ(text("LabelVersion"), "");
    EXPECT_EQ(color("LabelVersion"), C::Normal);
}

TEST_F(MonitorReadoutTest, PilotLightServosCountersAndGear) {
    show({{27, 2}});
    EXPECT_EQ(text("LabelMonPilotLight"), "Gear Shift Light - YES");
    EXPECT_EQ(color("LabelMonPilotLight"), C::Fuchsia);
    image.setByte(BikeIndex, ChokeBikeCode);
    show({{27, 7}});
    EXPECT_EQ(text("LabelMonPilotLight"), "Choke - Twinkle");
    show({{27, 0}});
    EXPECT_EQ(text("LabelMonPilotLight"), "Choke - NO");
    EXPECT_EQ(color("LabelMonPilotLight"), C::Normal);

    show({}, {{35, 1500}, {36, 1510}, {33, 800}, {34, 805}, {38, 417}, {39, 1}, {42, 4}});
    EXPECT_EQ(text("LabelMonServoIntake"), "Intake servo = 1500 / 1510 mV");
    EXPECT_EQ(text("LabelMonServoExhaust"), "Exhaust servo  = 800 / 805 mV");
    EXPECT_EQ(text("LabelPocetProgramovani"), "Number of Programing = 417");
    EXPECT_EQ(text("LabelTest4"), "Test4=4");
    show({{4, 0x10}}, {{35, 1500}});
    EXPECT_EQ(text("LabelMonServoIntake"), "Intake servo = 1500 mV/ Idle ");

    show({{25, 3}, {26, 7}}, {{58, 112}, {59, 1900}, {60, 825}, {66, 560}, {48, 45}});
    EXPECT_EQ(text("LabelGear"), "Gear = 3 ");
    EXPECT_EQ(text("LabelDleTpsProcent"), "Jet according TPS =  7 %");
    EXPECT_EQ(text("LabelMonPomerRpmSpeed"), "Rpm/Speed = 82.5 ");
    EXPECT_EQ(text("LabelMon_PolohaA"), "Position A = 45 \u00b0");
}

TEST_F(MonitorReadoutTest, NamesComeFromTheCurrentLanguage) {
    ASSERT_TRUE(
        DecodeMonitorFrame(testing::MonitorFrameBuilder::With({{1, 0}, {10, 9}}).frame(), image, live));
    readout = ComputeMonitorReadout(live, image, false, 3);
    EXPECT_EQ(text("LabelMonFallIn"), "\u010cidlo p\u00e1du - ANO");
    EXPECT_EQ(text("LabelMon_Ign1"), "P\u0159edstih 1=  9 \u00b0");
    EXPECT_EQ(text("LabelRpm"), "RPM = 0 ");  // texts without a message name are the same in every language
}

}  // namespace
}  // namespace torvane
