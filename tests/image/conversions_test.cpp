#include "image/conversions.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/fields.h"
#include "image/normalize.h"

namespace torvane {
namespace {

void SetAxis(DeviceImage& image, InjectionMap map, std::initializer_list<int> values) {
    int i = 0;
    for (int v : values) SetFieldValue(image, Field(InjectionMapAxisField(map)), i++, v);
}

TEST(Scaling, LinearScalingTruncatesAndWraps) {
    EXPECT_EQ(ScaleToShown(10, 2500, 250), 5000);
    EXPECT_EQ(ScaleToShown(1, -100, 40), -60);
    EXPECT_EQ(ScaleToStored(10, 2500, 2600), 10);
    EXPECT_EQ(ScaleToStored(10, 2500, 2440), (2440 / 10 + 6) % 256);  // below c wraps like the page does
    EXPECT_EQ(ScaleToStored(100, 0, 25099), 250);
    EXPECT_EQ(ScaleToStored(1, -100, -15), 85);
    EXPECT_EQ(ScaleToStored(0, 0, 7), 7);
}

TEST(Percent, RoundingAndLimits) {
    EXPECT_EQ(PercentFromRaw(0, 1000), 0u);
    EXPECT_EQ(PercentFromRaw(1000, 1000), 100u);
    EXPECT_EQ(PercentFromRaw(1005, 1000), 101u);
    EXPECT_EQ(PercentFromRaw(65535, 100), 65535u);
    EXPECT_EQ(PercentFromRaw(500, 0), 0u);

    EXPECT_EQ(RawFromPercent(100, 1234), 1234);
    EXPECT_EQ(RawFromPercent(50, 3), 2);  // 1.5 rounds up
    EXPECT_EQ(RawFromPercent(1000, 9000), 65535);
    EXPECT_EQ(RawFromPercent(0xFFFFFFFFu, 0xFFFFFFFFu), 65535);

    // 1000 % of 9000 us saturates, and normalization then caps the cell at 60000.
    DeviceImage image;
    SetFieldValue(image, Field(FieldId::Jet1A), 0, RawFromPercent(1000, 9000));
    NormalizeImage(image);
    EXPECT_EQ(FieldValue(image, Field(FieldId::Jet1A), 0), 60000);
}

TEST(Interpolation, EndsFlatAndBothSlopes) {
    EXPECT_EQ(Interpolate(1500, 1000, 2000, 300, 100), 200);
    EXPECT_EQ(Interpolate(1500, 1000, 2000, 100, 300), 200);
    EXPECT_EQ(Interpolate(1999, 1000, 2000, 300, 100), 100);  // rounds towards the lower value
    EXPECT_EQ(Interpolate(999, 1000, 2000, 7, 9), 7);
    EXPECT_EQ(Interpolate(2000, 1000, 2000, 7, 9), 9);
    EXPECT_EQ(Interpolate(1500, 1000, 2000, 5, 5), 5);
    EXPECT_EQ(Interpolate(1500, 1000, 1000, 5, 9), 9);  // an empty segment never divides
    EXPECT_EQ(Interpolate(50000, 0, 60000, 0, 60000), 50000);
}

TEST(References, ColumnChoiceAgreesWithEveryChosenTable) {
    DeviceImage image;
    InjectionWork work;
    for (int bike = 0; bike < 256; ++bike) {
        SetFieldValue(image, Field(FieldId::Bike), 0, bike);
        SelectReferenceTables(image, work);
        const int columns = work.fifteenColumns ? 15 : 10;
        EXPECT_EQ(work.ext->columns, columns) << bike;
        EXPECT_EQ(work.intake->columns, columns) << bike;
        EXPECT_EQ(work.iap->columns, columns) << bike;
    }
    EXPECT_EQ(work.ext, &ReferenceTableForBike(RefFamily::Ext, 29));  // custom codes use group 14
    EXPECT_TRUE(HasFifteenColumnReference(48) && !HasFifteenColumnReference(47));
}

TEST(References, TableRowsAcrossRpmWithBracketEnds) {
    DeviceImage image;  // Bike 0: group 1, ten columns
    SetAxis(image, InjectionMap::Jet1A, {5, 10, 15, 20, 40, 60, 160, 200, 255, 0});
    SetAxis(image, InjectionMap::Jet4A, {20});
    InjectionWork work;
    ComputeInjectionReference(image, work);
    // First row of the table: 250 187 214 214 161 121 127 127 127 127 (x10 us); last row 650 687 ...
    // 500 rpm uses the first column, 20000 rpm and more the last.
    const std::uint16_t firstRow[10] = {2500, 2500, 2185, 1870, 2140, 1610, 1270, 1270, 1270, 2500};
    for (std::size_t c = 0; c < 10; ++c)
        EXPECT_EQ(work.referenceOf(InjectionMap::Jet1A)[c], firstRow[c]) << c;
    EXPECT_EQ(work.referenceOf(InjectionMap::Jet1A)[135], 6500);
    EXPECT_EQ(work.referenceOf(InjectionMap::Jet1A)[138], 6870);
    EXPECT_EQ(work.referenceOf(InjectionMap::Jet4A)[0], 1870);  // channel 4 shares the table of channel 1
}

TEST(References, FifteenColumnTablesAndCustomCodesStayInside) {
    DeviceImage image;
    SetFieldValue(image, Field(FieldId::Bike), 0, 17);  // group 10
    SetAxis(image, InjectionMap::Jet1A, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 160});
    InjectionWork work;
    SelectReferenceTables(image, work);
    ComputeInjectionReference(image, work);
    const auto& ref = work.referenceOf(InjectionMap::Jet1A);
    const int first[15] = {93, 59, 35, 25, 24, 19, 21, 22, 22, 25, 15, 24, 24, 24, 24};
    const int last[15] = {472, 317, 265, 346, 413, 375, 441, 465, 487, 504, 495, 484, 473, 473, 473};
    for (std::size_t c = 0; c < 15; ++c) {
        EXPECT_EQ(ref[c], 10 * first[c]) << c;
        EXPECT_EQ(ref[135 + c], 10 * last[c]) << c;
    }

    // Every code, including custom ones, with extreme axes gives references of at least 100 us.
    for (int bike = 0; bike < 256; bike += 7) {
        DeviceImage any;
        SetFieldValue(any, Field(FieldId::Bike), 0, bike);
        for (int m = 0; m < InjectionMapCount; ++m)
            for (int c = 0; c < 15; ++c)
                SetFieldValue(any, Field(InjectionMapAxisField(static_cast<InjectionMap>(m))), c, c * 18);
        InjectionWork w;
        SelectReferenceTables(any, w);
        ComputeInjectionReference(any, w);
        for (const auto& map : w.reference)
            for (auto v : map) ASSERT_GE(v, MinimumReference) << bike;
    }
}

TEST(References, SmallReferencesAreRaisedAndBadTablesAreNotRead) {
    const std::vector<std::uint16_t> small(100, 8);  // 80 us everywhere
    const RefTable smallTable{10, small};
    const std::vector<std::uint16_t> shortValues(20, 500);
    const RefTable truncated{10, shortValues};  // claims ten rows but holds two
    const RefTable oddWidth{12, small};
    DeviceImage image;
    InjectionWork work;
    SelectReferenceTables(image, work);
    work.ext = &smallTable;
    work.intake = &truncated;
    work.iap = &oddWidth;
    ComputeInjectionReference(image, work);
    for (const auto& map : work.reference)
        for (auto v : map) ASSERT_EQ(v, MinimumReference);
}

TEST(References, PercentViewRoundTripsAndFollowsTheAxis) {
    DeviceImage image;
    SetAxis(image, InjectionMap::Iap, {10, 20, 30, 40, 60, 80, 100, 120, 140, 160, 160, 160, 160, 160, 160});
    InjectionWork work;
    ComputeInjectionReference(image, work);
    const FieldInfo& iap = Field(FieldId::Iap);
    const auto& ref = work.referenceOf(InjectionMap::Iap);
    for (int k = 0; k < 150; ++k) SetFieldValue(image, iap, k, ref[static_cast<std::size_t>(k)] * 3 / 2);
    InjectionPercentFromImage(image, work);
    EXPECT_EQ(work.percentOf(InjectionMap::Iap)[40], 150);

    // A new axis keeps the percentages and changes the stored times.
    SetAxis(image, InjectionMap::Iap, {5, 15});
    ComputeInjectionReference(image, work);
    InjectionImageFromPercent(image, work, InjectionMap::Iap);
    EXPECT_EQ(FieldValue(image, iap, 1), (work.referenceOf(InjectionMap::Iap)[1] * 150 + 50) / 100);
}

TEST(Servo, RepresentationsAndIdleScales) {
    EXPECT_EQ(ServoFromPercent(100), 250);
    EXPECT_EQ(ServoToPercent(250), 100);

    DeviceImage image;
    const FieldInfo& map = Field(FieldId::ServoExValue);
    SetFieldValue(image, map, 149, 250);
    EXPECT_EQ(ServoMapStep(image, false), 20);
    ConvertServoMap(image, false, true);
    EXPECT_EQ(FieldValue(image, map, 149), 100);
    ConvertServoMap(image, false, false);
    EXPECT_EQ(FieldValue(image, map, 149), 250);

    const FieldInfo& idle = Field(FieldId::IdleServoPoz);
    SetFieldValue(image, idle, 0, 250);
    SetFieldValue(image, Field(FieldId::IdleMode), 0, 3);
    EXPECT_EQ(IdleServoScaleOf(image).maximum, 1200);
    SetFieldValue(image, Field(FieldId::IdleMode), 0, 1);
    EXPECT_EQ(IdleServoScaleOf(image).maximum, 5000);
    SetFieldValue(image, Field(FieldId::ServoInProcent), 0, 1);
    EXPECT_EQ(IdleServoScaleOf(image).step, 1);

    ConvertIdleServoForModeChange(image, 0, 1);  // into the percent mode
    EXPECT_EQ(FieldValue(image, idle, 0), 100);
    ConvertIdleServoForModeChange(image, 1, 2);  // and out of it
    EXPECT_EQ(FieldValue(image, idle, 0), 250);
    SetFieldValue(image, Field(FieldId::ServoInProcent), 0, 0);
    ConvertIdleServoForModeChange(image, 0, 1);  // no percent flag: nothing to convert
    EXPECT_EQ(FieldValue(image, idle, 0), 250);
}

TEST(Milliseconds, FormatOfTheMsView) {
    EXPECT_EQ(MillisecondsText(1234), "1.234 ");
    EXPECT_EQ(MillisecondsText(60000), "60.000 ");
    EXPECT_EQ(MillisecondsText(5), "0.005 ");
}

}  // namespace
}  // namespace torvane
