#include "image/defaults.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "image/fields.h"

namespace torvane {
namespace {

int V(const DeviceImage& image, FieldId name, int element = 0) {
    return FieldValue(image, Field(name), element);
}
void Put(DeviceImage& image, FieldId name, int value, int element = 0) {
    SetFieldValue(image, Field(name), element, value);
}
std::vector<int> Values(const DeviceImage& image, FieldId name) {
    std::vector<int> out;
    for (int i = 0; i < Field(name).count; ++i) out.push_back(V(image, name, i));
    return out;
}
std::vector<int> Row(const DeviceImage& image, FieldId map, int row) {
    std::vector<int> out;
    for (int c = 0; c < 15; ++c) out.push_back(V(image, map, 15 * row + c));
    return out;
}

DeviceImage Defaults(int code, InjectionWork& work, DefaultsState& state) {
    DeviceImage image;
    Put(image, FieldId::Bike, code);
    ApplyDefaults(image, work, state, false, 0);
    return image;
}
DeviceImage Defaults(int code) {
    InjectionWork work;
    DefaultsState state;
    return Defaults(code, work, state);
}

TEST(Defaults, StartupTypeGivesTheKnownLimitersAndTables) {
    InjectionWork work;
    DefaultsState state;
    const DeviceImage image = Defaults(32, work, state);

    EXPECT_EQ(V(image, FieldId::IgnLimiter), 140);
    EXPECT_EQ(V(image, FieldId::JetLimiter), 143);
    EXPECT_EQ(V(image, FieldId::RetardLimiterRpm), 143);
    EXPECT_EQ(Values(image, FieldId::PilotLight1), std::vector<int>(6, 120));
    EXPECT_EQ(Values(image, FieldId::PilotLight2), std::vector<int>(6, 125));
    EXPECT_EQ(V(image, FieldId::Jet1423Mode), 1);

    // Bytes 570..573: ignition-limiter column, then the three BikeConstB values.
    EXPECT_EQ(image.byteAt(570), 140);
    EXPECT_EQ(image.byteAt(571), 11);
    EXPECT_EQ(image.byteAt(572), 25);
    EXPECT_EQ(image.byteAt(573), 0);
    EXPECT_EQ(Values(image, FieldId::BikeConstA), (std::vector<int>{85, 0, 0, 1, 56, 104}));
    EXPECT_EQ(Values(image, FieldId::BikeTempCurve),
              (std::vector<int>{193, 168, 149, 131, 119, 109, 100, 94, 86}));

    const std::vector<int> advanceRow = {16, 30, 38, 35, 39, 40, 40, 40, 39, 39, 39, 37, 34, 34, 34};
    for (int r = 0; r < 10; ++r) EXPECT_EQ(Row(image, FieldId::Advance, r), advanceRow) << r;

    // Servo cells are shown in steps of 20: 2000 ... 2900 are stored as 100 ... 145.
    const std::vector<int> servoRow = {100, 105, 110, 115, 120, 122, 125, 127,
                                       130, 132, 135, 137, 140, 142, 145};
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(Row(image, FieldId::ServoInValue, r), servoRow) << r;
        EXPECT_EQ(Row(image, FieldId::ServoExValue, r), servoRow) << r;
    }
    EXPECT_EQ(Values(image, FieldId::RpmServoIn),
              (std::vector<int>{10, 20, 30, 40, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160}));
    EXPECT_EQ(V(image, FieldId::ServoInHyst), 80);
    EXPECT_EQ(V(image, FieldId::ServoInMode), 1);
    EXPECT_EQ(V(image, FieldId::ServoExMode), 1);

    // Idle values are stored bytes already (36 shows 1800 in idle mode 0).
    EXPECT_EQ(Values(image, FieldId::IdleServoPoz), (std::vector<int>{36, 36, 36, 31, 28, 24, 24, 24, 24}));
    EXPECT_EQ(V(image, FieldId::IdleMode), 0);
    EXPECT_EQ(V(image, FieldId::IdleRpmMez), 15);
    EXPECT_EQ(V(image, FieldId::IdleMaxAdv), 22);
    EXPECT_EQ(image.IapAxis, (std::array<std::uint16_t, 10>{30, 50, 60, 70, 75, 80, 85, 90, 95, 100}));

    // Every injection map stands at 100 % of its reference.
    for (InjectionMap map : {InjectionMap::Jet1A, InjectionMap::Jet2A, InjectionMap::Jet3A,
                             InjectionMap::Jet4A, InjectionMap::Iap}) {
        for (int cell = 0; cell < MapCells; ++cell) {
            const auto i = static_cast<std::size_t>(cell);
            ASSERT_EQ(work.percentOf(map)[i], 100);
            ASSERT_EQ(V(image, InjectionMapField(map), cell), work.referenceOf(map)[i])
                << Field(InjectionMapField(map)).name << " cell " << cell;
        }
    }
    EXPECT_EQ(state.tableCode, 32);
    EXPECT_EQ(state.triggerProfile, 14);
}

TEST(Defaults, FullMapTypeGetsTenDifferentAdvanceRowsAndItsServoMap) {
    const DeviceImage image = Defaults(17);
    std::set<std::vector<int>> rows;
    for (int r = 0; r < 10; ++r) rows.insert(Row(image, FieldId::Advance, r));
    EXPECT_EQ(rows.size(), 10u);
    EXPECT_EQ(Row(image, FieldId::Advance, 0),
              (std::vector<int>{0, 5, 25, 38, 36, 38, 38, 38, 38, 38, 38, 38, 38, 38, 38}));
    EXPECT_EQ(Row(image, FieldId::Advance, 9),
              (std::vector<int>{5, 10, 20, 27, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30}));

    EXPECT_EQ(V(image, FieldId::ServoInMode), 0);
    EXPECT_EQ(Row(image, FieldId::ServoInValue, 0), std::vector<int>(15, 40));
    EXPECT_EQ(Row(image, FieldId::ServoInValue, 9),
              (std::vector<int>{45, 45, 50, 50, 75, 80, 99, 99, 99, 99, 99, 99, 99, 99, 99}));
    EXPECT_EQ(Values(image, FieldId::RpmServoEx),
              (std::vector<int>{3, 8, 10, 65, 66, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160}));
    EXPECT_EQ(Row(image, FieldId::ServoExValue, 4),
              (std::vector<int>{70, 49, 49, 98, 98, 98, 98, 98, 98, 98, 98, 98, 98, 98, 98}));
    EXPECT_EQ(V(image, FieldId::ServoInHyst), 60);
    EXPECT_EQ(V(image, FieldId::ServoExHyst), 40);
    EXPECT_EQ(V(image, FieldId::GearSystem), 0);
    EXPECT_EQ(V(image, FieldId::PulsuProSpeed), 125);
    EXPECT_EQ(V(image, FieldId::IdleMode), 1);
    EXPECT_EQ(Values(image, FieldId::IdleServoPoz), (std::vector<int>{60, 60, 60, 55, 50, 50, 40, 40, 40}));
}

TEST(Defaults, TypeSpecificExceptions) {
    for (int code = 0; code < MotorcycleTypeCount; ++code) {
        SCOPED_TRACE(code);
        const DeviceImage image = Defaults(code);
        const bool inverted = code == 24 || code == 29 || code == 37 || code == 46 || code == 48;
        EXPECT_EQ(V(image, FieldId::InvInput), inverted ? 1 : 0);
        const bool strongPickup = code == 1 || code == 38 || code == 39 || code == 41 || code == 43;
        EXPECT_EQ(V(image, FieldId::Buzeni), strongPickup ? 30 : 19);
        EXPECT_EQ(V(image, FieldId::LobeWidth), code == 8 ? 40 : code == 9 ? 60 : 50);
        EXPECT_EQ(V(image, FieldId::IapTpsMin), code == 46 ? 5 : 2);
        EXPECT_EQ(V(image, FieldId::IapTpsMax), code == 46 ? 7 : 5);
        EXPECT_EQ(V(image, FieldId::BikeConstB, 2), code == 40 ? 1 : 0);
        EXPECT_EQ(V(image, FieldId::Synchro1), TriggerProfileOfCode(code).synchro1);
        EXPECT_EQ(Values(image, FieldId::RpmAdv), Values(image, FieldId::PolohaBRpm));
        EXPECT_EQ(V(image, FieldId::IgnLimiter), CatalogueRowOfCode(code).ignLimiter);
    }
    EXPECT_EQ(Values(Defaults(3), FieldId::AirSensor),
              (std::vector<int>{4095, 3631, 3167, 2316, 1466, 1133, 801, 698, 596}));
    EXPECT_EQ(V(Defaults(24), FieldId::PulsuProSpeed), 286);
    EXPECT_EQ(V(Defaults(45), FieldId::PulsuProSpeed), 970);
    EXPECT_EQ(V(Defaults(48), FieldId::PulsuProSpeed), 869);
    // Codes 24 and 28 share the trigger profile but not the inverted input.
    const DeviceImage a = Defaults(24), b = Defaults(28);
    EXPECT_EQ(V(a, FieldId::PocPalcu), V(b, FieldId::PocPalcu));
    EXPECT_NE(V(a, FieldId::InvInput), V(b, FieldId::InvInput));
}

TEST(Defaults, PilotLightsFollowTheIgnitionLimiterWithoutWrapping) {
    DeviceImage image = Defaults(32);
    InjectionWork work;
    Put(image, FieldId::IgnLimiter, 160);
    ApplyDefaults(image, work, true, 16);
    EXPECT_EQ(Values(image, FieldId::PilotLight1), std::vector<int>(6, 140));
    EXPECT_EQ(Values(image, FieldId::PilotLight2), std::vector<int>(6, 145));
    Put(image, FieldId::IgnLimiter, 17);  // 1700 rpm: a wrapped byte would ask for 25000 rpm and more
    ApplyDefaults(image, work, true, 16);
    EXPECT_EQ(Values(image, FieldId::PilotLight1), std::vector<int>(6, 0));
    EXPECT_EQ(Values(image, FieldId::PilotLight2), std::vector<int>(6, 2));
}

// Every type's defaults must lie inside the stored ranges of their fields. Exempt: the tooth fields of
// the trigger profiles (0 marks an unused channel or section) and the two position tables that reach 145,
// which normalization caps at 144.
TEST(Defaults, EveryTypeStaysWithinTheStoredRanges) {
    const std::set<FieldId> exempt = {FieldId::TeethPer180,  FieldId::TeethPer60,   FieldId::ToothAngle,
                                      FieldId::Top2,         FieldId::Top3,         FieldId::Top4,
                                      FieldId::KyvaniFaze11, FieldId::KyvaniFaze12, FieldId::KyvaniFaze13,
                                      FieldId::KyvaniFaze21, FieldId::KyvaniFaze22, FieldId::KyvaniFaze23,
                                      FieldId::PolohaAPoz,   FieldId::PolohaBPoz};
    for (int code = 0; code < MotorcycleTypeCount; ++code) {
        const DeviceImage image = Defaults(code);
        for (const FieldInfo& field : FieldTable()) {
            if (field.index < 300 || field.index == IapAxisIndex || exempt.count(field.id)) continue;
            for (int e = 0; e < field.count; ++e) {
                const int v = FieldValue(image, field, e);
                EXPECT_TRUE(v >= field.minStored && v <= field.maxStored)
                    << "code " << code << " " << field.name << "[" << e << "] = " << v;
            }
        }
    }
}

TEST(Defaults, CustomCodeKeepsThePreviousTypesTables) {
    InjectionWork work;
    DefaultsState state;
    DeviceImage image = Defaults(17, work, state);
    const DeviceImage of17 = image;

    Put(image, FieldId::Bike, 57);
    ApplyDefaults(image, work, state, false, 0);
    EXPECT_EQ(V(image, FieldId::Bike), 57);
    EXPECT_EQ(state.tableCode, 17);
    for (FieldId name : {FieldId::Advance, FieldId::IgnLimiter, FieldId::RpmAdv, FieldId::PolohaAPoz,
                         FieldId::Synchro2, FieldId::ServoInValue, FieldId::InjCorrWater,
                         FieldId::BikeTempCurve, FieldId::WaterSensor, FieldId::GearVoltage})
        EXPECT_EQ(Values(image, name), Values(of17, name)) << Field(name).name;
    // The injection references are those of the custom group: 15 columns.
    EXPECT_TRUE(work.fifteenColumns);
    for (int cell = 0; cell < MapCells; ++cell)
        ASSERT_EQ(V(image, FieldId::Jet1A, cell),
                  work.referenceOf(InjectionMap::Jet1A)[static_cast<std::size_t>(cell)]);

    // Without an earlier type the start-up type's tables serve.
    DeviceImage fresh;
    InjectionWork freshWork;
    Put(fresh, FieldId::Bike, 200);
    ApplyDefaults(fresh, freshWork, false, 0);
    EXPECT_EQ(Values(fresh, FieldId::Advance), Values(Defaults(32), FieldId::Advance));
    EXPECT_EQ(V(fresh, FieldId::IgnLimiter), 140);
}

TEST(Defaults, TypeChangeWithoutNewDefaultsReplacesOnlySynchroAndTypeConstants) {
    InjectionWork work;
    DefaultsState state;
    DeviceImage image = Defaults(32, work, state);
    Put(image, FieldId::IgnLimiter, 150);
    work.percentOf(InjectionMap::Jet2A).fill(110);
    const DeviceImage before = image;

    Put(image, FieldId::Bike, 17);
    ApplyTypeChange(image, work, state);

    const DeviceImage of17 = Defaults(17);
    for (FieldId name : {FieldId::Synchro1, FieldId::PocPalcu, FieldId::Top1, FieldId::Top4,
                         FieldId::PredaniHodnot, FieldId::Buzeni, FieldId::BikeConstA, FieldId::BikeRevLimit,
                         FieldId::BikeConstB, FieldId::BikeTempCurve})
        EXPECT_EQ(Values(image, name), Values(of17, name)) << Field(name).name;
    for (FieldId name : {FieldId::Advance, FieldId::IgnLimiter, FieldId::JetLimiter, FieldId::ServoInValue,
                         FieldId::RpmJet1A})
        EXPECT_EQ(Values(image, name), Values(before, name)) << Field(name).name;
    EXPECT_EQ(state.triggerProfile, 12);
    // The maps keep their percentages; their microseconds follow the references of the new type.
    EXPECT_TRUE(work.fifteenColumns);
    EXPECT_NE(Values(image, FieldId::Jet1A), Values(before, FieldId::Jet1A));
    for (int cell = 0; cell < MapCells; ++cell) {
        const auto i = static_cast<std::size_t>(cell);
        ASSERT_EQ(V(image, FieldId::Jet1A, cell), work.referenceOf(InjectionMap::Jet1A)[i]);
        ASSERT_EQ(V(image, FieldId::Jet2A, cell),
                  RawFromPercent(110, work.referenceOf(InjectionMap::Jet2A)[i]));
    }

    // Switching the special setting off restores the synchronization and the first part of the constants.
    Put(image, FieldId::Synchro1, 7);
    Put(image, FieldId::BikeSecial, 1);
    Put(image, FieldId::BikeConstA, 9, 5);
    Put(image, FieldId::BikeTempCurve, 1, 0);
    ApplySpecialSettingOff(image, state);
    EXPECT_EQ(V(image, FieldId::Synchro1), 0);
    EXPECT_EQ(V(image, FieldId::BikeSecial), 0);
    EXPECT_EQ(V(image, FieldId::BikeConstA, 5), 105);
    EXPECT_EQ(V(image, FieldId::BikeTempCurve, 0), 1);
}

// Fields written by a pass for one page; the injection maps follow their percentages in every pass.
// clang-format off
const std::vector<std::vector<std::string>> kPageFields = {
    {"FallEnable", "BlokEnable", "AktFall", "AktClutch", "AktStartLimiter", "AktRpm", "Chlazeni", "RpmPulsu",
     "RpmKorekce", "IntakePortRpm", "StartLimiter", "IgnLimiter", "JetLimiter", "RetardLimiterRpm",
     "RetardLimiterAdv", "Memo"},
    {"BikeSecial", "Synchro1", "Synchro2", "PocPalcu", "VynechPalcu", "PocKanOut", "SynchroHrana", "Top1", "Top2",
     "Top3", "Top4", "TeethPer180", "TeethPer60", "ToothAngle", "PredaniHodnot", "SynchroMaxRpm", "Kyvani1",
     "Kyvani2", "KyvaniFaze11", "KyvaniFaze12", "KyvaniFaze13", "KyvaniFaze21", "KyvaniFaze22", "KyvaniFaze23",
     "KyvaniFazeOtacka1", "KyvaniFazeOtacka2", "InvInput", "Buzeni", "BikeConstA[0]"},
    {"RpmAdv", "Advance", "AdvanceTps", "AdvCorrCyl1", "AdvCorrCyl2", "AdvCorrCyl3", "AdvCorrCyl4", "BaseAdvance",
     "LobeWidth"},
    {"RpmJet1A", "IapTpsMin", "IapTpsMax", "IapRpmMin", "IapRpmMax"},
    {"RpmJet2A"},
    {"RpmJet3A"},
    {"RpmJet4A"},
    {"RpmJetB", "JetB"},
    {"RpmIap", "IapCorrCyl1", "IapCorrCyl2", "IapCorrCyl3", "IapCorrCyl4"},
    {"PolohaARpm", "PolohaBRpm", "PolohaAMode", "PolohaBMode", "PolohaAPoz", "PolohaBPoz"},
    {"SyticCas1", "SyticCas2", "SyticCas3", "SyticCas4", "SyticKorekce0", "SyticKorekce1", "SyticKorekce2",
     "SyticKorekce3", "AkcelPrah", "AkcelJet", "InjCorrWater", "InjCorrAir", "AdvCorrWater", "StartJet"},
    {"ApsTlak1", "ApsNapeti1", "ApsTlak2", "ApsNapeti2", "IapsTlak1", "IapsNapeti1", "IapsTlak2", "IapsNapeti2",
     "Tps0", "Tps100", "PotencMode", "PotencRozsah"},
    {"ServoInEnable", "ServoInProcent", "ServoInStep", "ServoInStepPeriod", "ServoInExcitation", "ServoInHyst",
     "RpmServoIn", "ServoInValue"},
    {"ServoExEnable", "ServoExProcent", "ServoExHyst", "RpmServoEx", "ServoExValue"},
    {"IdleMode", "IdleRpmMez", "IdleTpsMez", "IdleSmerReg", "IdleStepPuls", "IdleStepPerioda", "IdleHyster",
     "IdleServoPoz", "IdleAdvOn", "IdleAdvNaRpm", "IdleAdvNaCas", "IdleMaxAdv", "IdleAdvPoz", "SpeedMode",
     "PulsuProSpeed"},
    {"Gas", "Gas1", "Gas2", "GasD", "GasT", "Retard1", "Retard2", "RetardD", "RetardT", "GasJetKor1", "GasJetKor2"},
    {"PilotLight1", "PilotLight2", "ClutchTime", "ClutchPause", "ClutchMode", "ClutchMinRpm", "ClutchJet",
     "ClutchAdv", "TempDisplay"},
    {"GearSystem", "GearVoltage", "PocetGear", "GearRatio", "GearAutoTime", "GearAutoRpm", "GearAutoTps",
     "GearAutoBand", "GearKorAdv", "GearKorJet"},
    {},
};
const std::vector<std::string> kEveryPassFields = {"BikeConstA[3]", "BikeConstA[4]", "BikeConstA[5]", "BikeRevLimit",
    "BikeConstB", "BikeTempCurve", "ServoInMode", "ServoExMode", "WaterSensor", "AirSensor"};
// clang-format on
const std::vector<std::string> kInjectionMaps = {"Jet1A", "Jet2A", "Jet3A", "Jet4A", "Iap"};

// Image indices of a field, or of one element when the name ends in "[n]".
std::vector<std::size_t> IndicesOf(const std::string& entry) {
    std::string name = entry;
    int first = 0, count = -1;
    if (const auto bracket = entry.find('['); bracket != std::string::npos) {
        name = entry.substr(0, bracket);
        first = std::stoi(entry.substr(bracket + 1));
        count = 1;
    }
    const FieldInfo* field = FindField(name);
    EXPECT_NE(field, nullptr) << name;
    if (field == nullptr) return {};
    if (count < 0) count = field->count;
    std::vector<std::size_t> out;
    for (int e = first; e < first + count; ++e)
        for (int b = 0; b < field->width; ++b)
            out.push_back(field->index + static_cast<std::size_t>(field->width * e + b));
    return out;
}

DeviceImage Scrambled(int jet1423Mode) {
    DeviceImage image;
    for (std::size_t i = 0; i < ImageSize; ++i)
        image.setByte(i, static_cast<std::uint8_t>((i * 37 + 11) % 256));
    image.IapAxis = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    Put(image, FieldId::Bike, 32);
    Put(image, FieldId::IgnLimiter, 140);  // the pilot lights follow it
    Put(image, FieldId::Jet1423Mode, jet1423Mode);
    return image;
}

// A pass for one page writes exactly that page's fields (with the values of a full pass) and the fields
// every pass writes; every other byte, the reserved ones included, stays as it was.
void ExpectPagePassTouchesOnlyItsFields(int page, int jet1423Mode) {
    SCOPED_TRACE("page " + std::to_string(page) + ", Jet1423Mode " + std::to_string(jet1423Mode));
    const DeviceImage full = Defaults(32);
    const DeviceImage before = Scrambled(jet1423Mode);
    DeviceImage image = before;
    InjectionWork work;
    DefaultsState state;
    ApplyDefaults(image, work, state, true, page);

    std::set<std::size_t> written, rebuilt;
    const bool channelPage = page >= 4 && page <= 6;
    if (!channelPage || jet1423Mode != 1)
        for (const auto& name : kPageFields[static_cast<std::size_t>(page)])
            for (std::size_t i : IndicesOf(name)) written.insert(i);
    for (const auto& name : kEveryPassFields)
        for (std::size_t i : IndicesOf(name)) written.insert(i);
    for (const auto& name : kInjectionMaps)
        for (std::size_t i : IndicesOf(name)) rebuilt.insert(i);

    int wrong = 0;
    for (std::size_t i = 0; i < ImageSize && wrong < 5; ++i) {
        if (rebuilt.count(i)) continue;
        const int expected = written.count(i) ? full.byteAt(i) : before.byteAt(i);
        if (image.byteAt(i) != expected) {
            ADD_FAILURE() << "byte " << i << " is " << int(image.byteAt(i)) << ", expected " << expected;
            ++wrong;
        }
    }
    EXPECT_EQ(image.IapAxis, page == 8 ? full.IapAxis : before.IapAxis);
}

TEST(Defaults, PagePassWritesOnlyThatPagesFields) {
    for (int page = 0; page <= 18; ++page) ExpectPagePassTouchesOnlyItsFields(page, 0);
    for (int page = 4; page <= 6; ++page) ExpectPagePassTouchesOnlyItsFields(page, 1);
}

TEST(Defaults, PagePassResetsOnlyItsPercentagesAndRebuildsEveryMap) {
    DeviceImage image = Defaults(32);
    InjectionWork work;
    for (auto& percent : work.percent) percent.fill(120);
    ApplyDefaults(image, work, true, 3);

    for (int cell = 0; cell < MapCells; ++cell) {
        const auto i = static_cast<std::size_t>(cell);
        ASSERT_EQ(work.percentOf(InjectionMap::Jet1A)[i], 100);
        ASSERT_EQ(work.percentOf(InjectionMap::Jet2A)[i], 120);
        ASSERT_EQ(V(image, FieldId::Jet1A, cell), work.referenceOf(InjectionMap::Jet1A)[i]);
        ASSERT_EQ(V(image, FieldId::Jet2A, cell),
                  RawFromPercent(120, work.referenceOf(InjectionMap::Jet2A)[i]));
        ASSERT_EQ(V(image, FieldId::Iap, cell), RawFromPercent(120, work.referenceOf(InjectionMap::Iap)[i]));
    }
}

}  // namespace
}  // namespace torvane
