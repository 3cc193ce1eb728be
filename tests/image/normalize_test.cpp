#include "image/normalize.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/fields.h"

namespace torvane {
namespace {

int Get(const DeviceImage& image, FieldId name, int e = 0) {
    return FieldValue(image, Field(name), e);
}
void Put(DeviceImage& image, FieldId name, int e, int v) {
    SetFieldValue(image, Field(name), e, v);
}

std::vector<int> Elements(const DeviceImage& image, FieldId name) {
    std::vector<int> v;
    for (int e = 0; e < Field(name).count; ++e) v.push_back(Get(image, name, e));
    return v;
}

std::vector<int> Ramp(int first, int count = 15) {
    std::vector<int> v;
    for (int i = 0; i < count; ++i) v.push_back(first + i);
    return v;
}

struct Case {
    FieldId name;
    int element, before, after;
};

// Runs the pass on an image holding all the cases at once (their fields do not interact).
void ExpectRepairs(std::initializer_list<Case> cases, int bike = 32) {
    DeviceImage image;
    Put(image, FieldId::Bike, 0, bike);
    Put(image, FieldId::PocPalcu, 0, 36);
    for (const Case& c : cases) Put(image, c.name, c.element, c.before);
    NormalizeImage(image);
    for (const Case& c : cases)
        EXPECT_EQ(Get(image, c.name, c.element), c.after) << Field(c.name).name << "[" << c.element << "]";
}

TEST(NormalizeAxes, ZeroAxesGetTheirLowerBoundsAndRise) {
    DeviceImage image;
    NormalizeImage(image);
    for (FieldId axis : {FieldId::RpmAdv, FieldId::RpmJet1A, FieldId::RpmJet2A, FieldId::RpmJetB,
                         FieldId::RpmIap, FieldId::PolohaARpm, FieldId::PolohaBRpm})
        EXPECT_EQ(Elements(image, axis), Ramp(3)) << Field(axis).name;
    for (FieldId axis : {FieldId::RpmServoIn, FieldId::RpmServoEx, FieldId::RpmJet3A, FieldId::RpmJet4A})
        EXPECT_EQ(Elements(image, axis), Ramp(0)) << Field(axis).name;
}

TEST(NormalizeAxes, FlatAxesRiseAndTopsAreCappedWithoutWrapping) {
    DeviceImage image;
    for (int i = 0; i < 15; ++i) {
        Put(image, FieldId::RpmAdv, i, 100);
        Put(image, FieldId::RpmJet1A, i, 255);
        Put(image, FieldId::RpmJet3A, i, 250);  // no upper bound for this axis
    }
    NormalizeImage(image);
    EXPECT_EQ(Elements(image, FieldId::RpmAdv), Ramp(100));
    EXPECT_EQ(Elements(image, FieldId::RpmJet1A), Ramp(236));
    std::vector<int> top(15, 255);
    top[0] = 250;
    for (int i = 1; i < 5; ++i) top[static_cast<std::size_t>(i)] = 250 + i;
    EXPECT_EQ(Elements(image, FieldId::RpmJet3A), top);  // stays at the top instead of wrapping to 0
}

TEST(NormalizeAxes, IapAxisRisesBesideTheImageAndLeavesIdleAlone) {
    DeviceImage image;
    image.IapAxis = {300, 200, 200, 400, 0, 0, 0, 0, 0, 65535};
    Put(image, FieldId::IdleMode, 0, 2);
    Put(image, FieldId::IdleRpmMez, 0, 10);
    NormalizeImage(image);
    EXPECT_EQ(image.IapAxis,
              (std::array<std::uint16_t, 10>{300, 301, 302, 400, 401, 402, 403, 404, 405, 65535}));
    EXPECT_EQ(Get(image, FieldId::IdleMode), 2);
    EXPECT_EQ(Get(image, FieldId::IdleRpmMez), 10);
}

TEST(NormalizeCells, ServoFirstRowPositionsAndMapMaxima) {
    // clang-format off
    ExpectRepairs({
        {FieldId::ServoInValue, 0, 250, 1}, {FieldId::ServoInValue, 1, 249, 249}, {FieldId::ServoExValue, 14, 255, 1},
        {FieldId::ServoInValue, 15, 255, 255},  // beyond the first row
        {FieldId::PolohaAPoz, 3, 200, 144}, {FieldId::PolohaBPoz, 14, 145, 144}, {FieldId::Advance, 0, 70, 60},
        {FieldId::Advance, 149, 45, 45}, {FieldId::JetB, 7, 150, 100}, {FieldId::Jet1A, 0, 65535, 60000},
        {FieldId::Jet4A, 3, 60000, 60000}, {FieldId::Iap, 149, 60001, 60000}});
    // clang-format on
}

TEST(NormalizeCells, LobeTypesLimitAdvanceToBasePlusLobe) {
    for (int bike : {8, 25, 32}) {
        DeviceImage image;
        Put(image, FieldId::Bike, 0, bike);
        Put(image, FieldId::BaseAdvance, 0, 10);
        Put(image, FieldId::LobeWidth, 0, 20);
        Put(image, FieldId::Advance, 0, 31);
        Put(image, FieldId::Advance, 149, 45);
        const bool limited = bike != 32;
        EXPECT_EQ(NormalizeImage(image).advanceLimitedByLobe, limited);
        EXPECT_EQ(Get(image, FieldId::Advance, 0), limited ? 30 : 31) << bike;
        EXPECT_EQ(Get(image, FieldId::Advance, 149), limited ? 30 : 45) << bike;
    }
}

TEST(NormalizeScalars, ClampsAndOrderedPairs) {
    // clang-format off
    ExpectRepairs({
        {FieldId::Tps0, 0, 251, 250}, {FieldId::Tps100, 0, 255, 250}, {FieldId::StartJet, 0, 51, 50},
        {FieldId::SyticCas1, 0, 5, 5}, {FieldId::SyticCas2, 0, 5, 6}, {FieldId::SyticCas3, 0, 5, 7}, {FieldId::SyticCas4, 0, 5, 8},
        {FieldId::SyticKorekce2, 0, 251, 250}, {FieldId::PilotLight1, 2, 150, 150}, {FieldId::PilotLight2, 2, 100, 150},
        {FieldId::Gas1, 0, 20, 20}, {FieldId::Gas2, 0, 10, 20}, {FieldId::GasT, 0, 0, 1}, {FieldId::GasD, 0, 201, 200},
        {FieldId::Retard1, 0, 30, 25}, {FieldId::Retard2, 0, 3, 25}, {FieldId::RetardT, 0, 0, 1}, {FieldId::RetardD, 0, 255, 200},
        {FieldId::GasJetKor1, 0, 200, 200}, {FieldId::GasJetKor2, 0, 150, 200}, {FieldId::BaseAdvance, 0, 41, 40},
        {FieldId::IapTpsMin, 0, 120, 100}, {FieldId::IapTpsMax, 0, 50, 100}, {FieldId::IapRpmMin, 0, 40, 40}, {FieldId::IapRpmMax, 0, 30, 40},
        {FieldId::ServoInStepPeriod, 0, 10, 10}, {FieldId::ServoInExcitation, 0, 11, 10},
        {FieldId::IdleStepPerioda, 0, 20, 20}, {FieldId::IdleStepPuls, 0, 19, 19}});
    // clang-format on
    // Choke times are bounded to k .. k + 247 before they are made rising.
    ExpectRepairs({{FieldId::SyticCas1, 0, 255, 247},
                   {FieldId::SyticCas2, 0, 255, 248},
                   {FieldId::SyticCas4, 0, 255, 250}});
}

TEST(NormalizeSensors, TemperatureTablesFallWithoutWrapping) {
    DeviceImage image;
    for (int m = 0; m < 9; ++m) {
        Put(image, FieldId::WaterSensor, m, 4000);
        Put(image, FieldId::AirSensor, m, m < 3 ? 3000 - m * 100 : 2);
    }
    NormalizeImage(image);
    EXPECT_EQ(Elements(image, FieldId::WaterSensor),
              (std::vector<int>{4000, 3999, 3998, 3997, 3996, 3995, 3994, 3993, 3992}));
    EXPECT_EQ(Elements(image, FieldId::AirSensor), (std::vector<int>{3000, 2900, 2800, 2, 1, 0, 0, 0, 0}));
}

TEST(NormalizeSideOutputs, SettingsIndicesAndPressureSensorWarnings) {
    DeviceImage image;
    Put(image, FieldId::ApsNapeti1, 0, 500);
    Put(image, FieldId::ApsNapeti2, 0, 500);
    Put(image, FieldId::IapsNapeti2, 0, 4500);
    NormalizeResult r = NormalizeImage(image, {4, 20});
    EXPECT_EQ(r.settings.languageIndex, 0);
    EXPECT_EQ(r.settings.portIndex, 0);
    EXPECT_TRUE(r.editApsNapeti1Red && r.editApsNapeti2Red);
    EXPECT_FALSE(r.editIapsNapeti1Red || r.editIapsNapeti2Red);
    EXPECT_EQ(Get(image, FieldId::ApsNapeti2), 500);  // the image is not changed

    r = NormalizeImage(image, {3, 19});
    EXPECT_EQ(r.settings.languageIndex, 3);
    EXPECT_EQ(r.settings.portIndex, 19);
}

TEST(NormalizeSynchro, DerivedToothValues) {
    // bike, teeth, missing, lobe -> angle, per 180, per 60
    const int cases[][7] = {{32, 36, 0, 0, 10, 18, 6},
                            {32, 58, 2, 0, 6, 30, 10},
                            {9, 36, 0, 45, 45, 2, 1},
                            {25, 24, 1, 30, 30, 2, 1},
                            {32, 1, 0, 0, 104, 2, 1},  // 360 truncated to a byte
                            // no teeth, or more than 360, give no pitch: the values stay as they were
                            {32, 0, 0, 0, 7, 8, 9},
                            {32, 255, 200, 0, 7, 8, 9}};
    for (const auto& c : cases) {
        DeviceImage image;
        const FieldId names[] = {FieldId::Bike,      FieldId::PocPalcu,   FieldId::VynechPalcu,
                                 FieldId::LobeWidth, FieldId::ToothAngle, FieldId::TeethPer180,
                                 FieldId::TeethPer60};
        for (int i = 0; i < 4; ++i) Put(image, names[i], 0, c[i]);
        for (int i = 4; i < 7; ++i) Put(image, names[i], 0, i + 3);
        NormalizeImage(image);
        for (int i = 4; i < 7; ++i)
            EXPECT_EQ(Get(image, names[i]), c[i]) << Field(names[i]).name << " teeth " << c[1];
    }
}

TEST(NormalizeImage, SecondPassChangesNothingAndUnusedBytesSurvive) {
    DeviceImage image;
    for (std::size_t i = 300; i < ImageSize; ++i) image.setByte(i, static_cast<std::uint8_t>(i * 37 + 11));
    for (std::size_t j = 0; j < 10; ++j) image.IapAxis[j] = static_cast<std::uint16_t>(1000 - 50 * j);
    NormalizeImage(image);
    const DeviceImage once = image;
    NormalizeImage(image);
    EXPECT_EQ(image, once);
    for (std::size_t i = 613; i < 655; ++i)
        EXPECT_EQ(once.byteAt(i), static_cast<std::uint8_t>(i * 37 + 11)) << i;
}

}  // namespace
}  // namespace torvane
