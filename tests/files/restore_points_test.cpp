// Restore points: their names, the order they are listed in, the limit of 200, and the field list
// that says what differs between two configurations.
#include "files/restore_points.h"

#include <gtest/gtest.h>

#include <fstream>

#include "files/default_image.h"
#include "files/field_differences.h"
#include "files/parameter_file.h"
#include "image/fields.h"

namespace torvane {
namespace {

class RestorePointsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("torvane-restore-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(RestorePointsTest, NamesCarryLocalTimeAndKindAndParseBack) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 9;
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 3;
    EXPECT_EQ(RestorePointFileName(t, RestoreKind::Read), "2026-12-09_07-05-03-read.ign");
    EXPECT_EQ(RestorePointFileName(t, RestoreKind::Program), "2026-12-09_07-05-03-program.ign");
    const auto p = ParseRestorePointName("/x/2026-12-09_07-05-03-program-3.ign");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, RestoreKind::Program);
    EXPECT_EQ(p->stamp, "2026-12-09 07:05:03");
    EXPECT_EQ(p->sequence, 3);
    for (const char* bad : {"2026-12-09_07-05-03-save.ign", "2026-12-09_07-05-03-read.txt", "notes.ign",
                            "2026-1a-09_07-05-03-read.ign", "2026-12-09_07-05-03-read-x.ign"})
        EXPECT_FALSE(ParseRestorePointName(bad)) << bad;
}

TEST_F(RestorePointsTest, StoresListsNewestFirstAndKeepsTheNewest200) {
    const DeviceImage image = NewImageForBike(32);
    const std::time_t start = 1'800'000'000;
    for (int i = 0; i < 205; ++i) {
        ASSERT_TRUE(
            StoreRestorePoint(dir, image, i % 2 ? RestoreKind::Program : RestoreKind::Read, start + 60 * i));
    }
    // Two in the same second keep both, the later one listed first.
    const auto first = StoreRestorePoint(dir, image, RestoreKind::Read, start + 60 * 300);
    const auto second = StoreRestorePoint(dir, image, RestoreKind::Read, start + 60 * 300);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    std::ofstream(dir / "unrelated.ign") << "x";  // other files in the folder are left alone

    const std::vector<RestorePoint> points = ListRestorePoints(dir);
    ASSERT_EQ(points.size(), static_cast<std::size_t>(RestorePointsKept));
    EXPECT_EQ(points[0].path, *second);
    EXPECT_EQ(points[1].path, *first);
    for (std::size_t i = 1; i < points.size(); ++i) EXPECT_GE(points[i - 1].stamp, points[i].stamp);
    EXPECT_TRUE(std::filesystem::exists(dir / "unrelated.ign"));
    DeviceImage read;
    ASSERT_EQ(LoadParameterFile(points[5].path.string(), read), FileResult::Ok);
    EXPECT_TRUE(DifferingFields(image, read).empty());

    // A folder that cannot be made (a file in the way): no point, no crash.
    std::ofstream(dir / "blocked") << "x";
    EXPECT_FALSE(StoreRestorePoint(dir / "blocked", image, RestoreKind::Read, start));
}

TEST(FieldDifferences, NamesElementsInTheUnitsOfThePagesAndFollowBlocks) {
    const DeviceImage a = NewImageForBike(32);
    DeviceImage b = a;
    SetFieldValue(b, Field(FieldId::IgnLimiter), 0, FieldValue(a, Field(FieldId::IgnLimiter)) - 2);
    SetFieldValue(b, Field(FieldId::Advance), 16, FieldValue(a, Field(FieldId::Advance), 16) + 1);
    b.IapAxis[3] = static_cast<std::uint16_t>(a.IapAxis[3] + 1);
    const std::vector<FieldDifference> all = DifferingFields(a, b);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(FormatDifference(all[0]),
              "IgnLimiter: " + std::to_string(100 * FieldValue(a, Field(FieldId::IgnLimiter))) + " | " +
                  std::to_string(100 * FieldValue(b, Field(FieldId::IgnLimiter))) + " rpm");
    EXPECT_EQ(all[1].name, "Advance[16]");
    EXPECT_EQ(all[2].name, "IapAxis[3]");
    // By block: the limiter sits in block 1, the Advance map further on; the IAP axis in none.
    const std::vector<FieldDifference> block1 = DifferingFields(a, b, 1);
    ASSERT_EQ(block1.size(), 1u);
    EXPECT_EQ(block1[0].name, "IgnLimiter");
    EXPECT_TRUE(DifferingFields(a, a).empty());
}

}  // namespace
}  // namespace torvane
