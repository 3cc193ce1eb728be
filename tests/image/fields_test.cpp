#include "image/fields.h"

#include <gtest/gtest.h>

#include <set>

#include "image/device_image.h"

namespace torvane {
namespace {

TEST(FieldTable, FieldsAreOrderedDisjointInsideTheImageAndUniquelyNamed) {
    std::set<std::string_view> names;
    std::size_t previousEnd = 0;
    for (const FieldInfo& f : FieldTable()) {
        EXPECT_TRUE(names.insert(f.name).second) << f.name;
        EXPECT_TRUE(f.width == 1 || f.width == 2) << f.name;
        EXPECT_TRUE(f.minStored <= f.maxStored && f.maxStored <= (f.width == 1 ? 255 : 65535)) << f.name;
        if (f.index == IapAxisIndex) continue;
        const std::size_t end = f.index + static_cast<std::size_t>(f.width * f.count);
        EXPECT_GE(f.index, previousEnd) << f.name << " overlaps its predecessor";
        EXPECT_LE(end, ImageSize) << f.name;
        // Words are also addressed as word k = bytes 300 + 2k.
        EXPECT_TRUE(f.width == 1 || f.index % 2 == 0) << f.name;
        previousEnd = end;
    }
    EXPECT_EQ(FindField("IapAxis"), &FieldTable().back());
    EXPECT_EQ(&Field(FieldId::IapAxis), &FieldTable().back());
}

TEST(FieldTable, LandmarksOfTheLayout) {
    struct Landmark {
        FieldId id;
        std::size_t index;
        int width, count;
        const char* section;
    };
    const Landmark marks[] = {
        {FieldId::Bike, 300, 1, 1, "BIKE"},
        {FieldId::ApsTlak1, 342, 2, 1, "APS_IAPS"},
        {FieldId::PulsuProSpeed, 462, 2, 1, "SPEED_PULSES"},
        {FieldId::WaterSensor, 494, 2, 9, "WATER_TEMP_SENSOR"},
        {FieldId::BikeTempCurve, 530, 2, 9, ""},
        {FieldId::GearVoltage, 552, 2, 7, "GEAR"},
        {FieldId::IdleMode, 584, 1, 1, "IDLE"},
        {FieldId::IdleAdvPoz, 604, 1, 9, "IDLE"},
        {FieldId::RpmServoIn, 835, 1, 15, "RPM_SERVO_IN"},
        {FieldId::Jet4A, 1900, 2, 150, "JET_4A"},
        {FieldId::Iap, 2350, 2, 150, "IAP"},
        {FieldId::Memo, 2950, 1, 350, "MEMO"},
        {FieldId::IapAxis, IapAxisIndex, 2, 10, "IAP_IAP"},
    };
    for (const Landmark& m : marks) {
        const FieldInfo& f = Field(m.id);
        EXPECT_EQ(f.id, m.id) << f.name;
        EXPECT_EQ(FindField(f.name), &f) << f.name;
        EXPECT_EQ(f.index, m.index) << f.name;
        EXPECT_EQ(f.width, m.width) << f.name;
        EXPECT_EQ(f.count, m.count) << f.name;
        EXPECT_EQ(f.section, m.section) << f.name;
    }
    EXPECT_EQ(FindField("bike"), nullptr);  // names are exact
    EXPECT_EQ(Field(FieldId::Tps100).offsetC, 2500);
    EXPECT_EQ(Field(FieldId::StartLimiter).minStored, 9);
}

TEST(FieldAccess, ElementsStayInsideTheirFieldAndIapAxisStaysBesideTheImage) {
    DeviceImage image;
    const FieldInfo& water = Field(FieldId::WaterSensor);
    SetFieldValue(image, water, 8, 0x1234);
    EXPECT_EQ(image.byteAt(510), 0x12);
    EXPECT_EQ(image.byteAt(511), 0x34);
    SetFieldValue(image, Field(FieldId::RpmKorekce), 0, 40);
    EXPECT_EQ(FieldShown(image, Field(FieldId::RpmKorekce)), -60);

    const DeviceImage before = image;
    SetFieldValue(image, water, 9, 0xFFFF);
    SetFieldValue(image, water, -1, 0xFFFF);
    EXPECT_EQ(image, before);
    EXPECT_EQ(FieldValue(image, water, 9), 0);

    SetFieldValue(image, Field(FieldId::IapAxis), 0, 0x0304);
    EXPECT_EQ(image.IapAxis[0], 0x0304);
    for (std::size_t i = 584; i < 604; ++i) EXPECT_EQ(image.byteAt(i), 0) << i;
    SetFieldValue(image, Field(FieldId::IdleMode), 0, 3);
    EXPECT_EQ(FieldValue(image, Field(FieldId::IapAxis), 0), 0x0304);
}

}  // namespace
}  // namespace torvane
