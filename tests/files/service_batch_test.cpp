#include "files/service_batch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "files/default_image.h"
#include "files/parameter_file.h"
#include "image/catalogue.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

const std::string Separator = "------------------------------------------------------   ";

class ServiceBatch : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("torvane_batch_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path file(const char* folder, int listLine) const { return dir_ / folder / BatchFileName(listLine); }
    static std::string Read(const fs::path& path) {
        std::stringstream s;
        s << std::ifstream(path, std::ios::binary).rdbuf();
        return s.str();
    }
    // The report: every type's separator line, each followed by what `extra` gives for its list line.
    template <class Extra>
    static std::string ReportOf(Extra extra) {
        std::string r;
        for (int i = 0; i < MotorcycleTypeCount; ++i)
            r += Separator + std::string(ListTextOfItem(i)) + "\n" + extra(i);
        return r;
    }
    fs::path dir_;
};

TEST_F(ServiceBatch, SaveAllNewWritesEachTypeUnderItsListTextAndNamesWhatItCannotWrite) {
    std::ofstream(dir_ / "new_ign") << "a regular file where the folder belongs";
    EXPECT_TRUE(SaveAllNew(dir_).folderFailed);

    fs::remove(dir_ / "new_ign");
    fs::create_directories(file("new_ign", 5));  // a folder in the way of one type's file
    const SaveAllNewResult result = SaveAllNew(dir_);
    EXPECT_FALSE(result.folderFailed);
    EXPECT_EQ(result.written, MotorcycleTypeCount - 1);
    EXPECT_EQ(result.failed, std::vector<std::string>{file("new_ign", 5).string()});
    EXPECT_EQ(BatchFileName(27), "Suzuki GSX-R600               01-03.ign");
    for (int line = 0; line < MotorcycleTypeCount; ++line) {
        if (line == 5) continue;
        // List order is not code order: each file holds the defaults of its own list line's type.
        EXPECT_EQ(Read(file("new_ign", line)), FormatParameterFile(NewImageForBike(CodeOfItem(line))))
            << line;
    }
}

TEST_F(ServiceBatch, CompareAllNewReportsDifferingCommonLinesAndMissingFiles) {
    EXPECT_FALSE(CompareAllNew(dir_).reportWritten);  // no new_ign/ for the report
    ASSERT_EQ(SaveAllNew(dir_).written, MotorcycleTypeCount);
    EXPECT_TRUE(CompareAllNew(dir_).reportWritten);
    const std::string old = "!!!!!!!!!soubor \"old\" se nepodarilo otevrit \n";
    EXPECT_EQ(Read(dir_ / "new_ign/compare_all_new.txt"), ReportOf([&](int) { return old; }));

    fs::copy(dir_ / "new_ign", dir_ / "new_ign_old");
    const std::string reference3 = Read(file("new_ign_old", 3));
    std::ofstream(file("new_ign_old", 3), std::ios::binary)
        << reference3.substr(0, reference3.find("LIMITER"));
    for (const int line : {3, 27}) {  // IgnLimiter 13900 rpm in the new files
        DeviceImage changed = NewImageForBike(CodeOfItem(line));
        changed.setByte(309, 139);
        ASSERT_EQ(SaveParameterFile(file("new_ign", line).string(), changed), FileResult::Ok);
    }
    fs::remove(file("new_ign", 7));
    ASSERT_TRUE(Read(file("new_ign_old", 27)).find("\r\nLIMITER      10000 14000 ") != std::string::npos);
    CompareAllNew(dir_);
    EXPECT_EQ(Read(dir_ / "new_ign/compare_all_new.txt"), ReportOf([](int line) -> std::string {
                  if (line == 7) return "!!!!!!!!!!!soubor \"akt\" se nepodarilo otevrit !!!!!!!!!!!!!!!!\n";
                  if (line != 27) return "";  // line 3: the reference ends before the LIMITER line
                  return "....line:12\n"
                         "                    40                     \n"
                         "LIMITER      10000 13900 14300 14300    20 \n";
              }));
    EXPECT_EQ(CompareAllNewMessage(), "Results in file \".\\new_ign\\compare_all_new.txt\"");
}

}  // namespace
}  // namespace torvane
