#include "settings/startup_settings.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "settings/ini_file.h"
#include "settings/platform_paths.h"

namespace torvane {
namespace {

// The "All" check boxes of the backup file: one for each of the 19 pages.
using AllStates = std::array<std::uint8_t, 19>;

IniFile iniOf(const std::string& text) {
    IniFile ini;
    ini.parse(text);
    return ini;
}

TEST(SettingsFile, AbsentKeysKeepTheCurrentValuesAndAnAbsentPortSelectsTheFirst) {
    SettingsValues v;
    v.Left = 11;
    v.Top = 22;
    v.Height = 901;
    v.Width = 1056;
    v.ActivePageIndex = 3;
    v.ExtMonitor = true;
    ReadSettingsValues(IniFile{}, v);
    EXPECT_EQ(v.Left, 11);
    EXPECT_EQ(v.Top, 22);
    EXPECT_EQ(v.Height, 901);
    EXPECT_EQ(v.Width, 1056);
    EXPECT_EQ(v.ComPortIndex, 0);  // default 1, minus one
    EXPECT_EQ(v.LanguageIndex, 0);
    EXPECT_EQ(v.ActivePageIndex, 3);
    EXPECT_TRUE(v.ExtMonitor);
    EXPECT_EQ(v.File, "");
}

TEST(SettingsFile, PortNumberZeroAndTwentyOneGiveIndicesOutsideTheMenu) {
    SettingsValues v;
    ReadSettingsValues(iniOf("[BASIC]\nComPort=0\n"), v);
    EXPECT_EQ(v.ComPortIndex, 255);
    v = SettingsValues{};
    ReadSettingsValues(iniOf("[BASIC]\nComPort=21\n"), v);
    EXPECT_EQ(v.ComPortIndex, 20);
    v = SettingsValues{};
    ReadSettingsValues(iniOf("[BASIC]\nComPort=3\n"), v);
    EXPECT_EQ(v.ComPortIndex, 2);
}

TEST(SettingsFile, WritesEveryKeyInOrderAndReadsItBack) {
    SettingsValues v;
    v.Left = -5;
    v.Top = 40;
    v.Height = 700;
    v.Width = 900;
    v.ComPortIndex = 4;
    v.LanguageIndex = 1;
    v.File = "race bike.ign";
    v.IniDir = "/home/tuner/maps/race bike.ign";
    v.ActivePageIndex = 18;
    v.ZobrMs = true;
    v.ExtMonitor = false;
    v.AllPolohaA = true;
    v.AllPolohaB = false;
    IniFile ini;
    WriteSettingsValues(ini, v);
    EXPECT_EQ(ini.text(),
              "[BASIC]\nLeft=-5\nTop=40\nHeight=700\nWidth=900\nComPort=5\nLanguage=1\nFile=race bike.ign\n"
              "IniDir=/home/tuner/maps/race bike.ign\nPageControl1->ActivePageIndex=18\n"
              "CheckBoxZobrMs_Uni->Checked=1\nCheckBoxExtMonitor->Checked=0\nCheckBoxAll_PolohaA->Checked=1\n"
              "CheckBoxAll_PolohaB->Checked=0\n\n");
    SettingsValues back;
    ReadSettingsValues(iniOf(ini.text()), back);
    EXPECT_EQ(back.ComPortIndex, 4);
    EXPECT_EQ(back.File, v.File);
    EXPECT_EQ(back.IniDir, v.IniDir);
    EXPECT_EQ(back.Left, -5);
    EXPECT_TRUE(back.ZobrMs);
    EXPECT_TRUE(back.AllPolohaA);
}

TEST(SettingsFile, JunkValuesAndLinesAreIgnored) {
    SettingsValues v;
    v.Width = 1056;
    ReadSettingsValues(iniOf("garbage before any section\n[BASIC]\nWidth=12abc\n=7\nLanguage\nTop= 77 \r\n"
                             "CheckBoxExtMonitor->Checked=5\n[OTHER]\nLeft=999\n"),
                       v);
    EXPECT_EQ(v.Width, 1056);
    EXPECT_EQ(v.Top, 77);
    EXPECT_EQ(v.Left, 0);
    EXPECT_TRUE(v.ExtMonitor);  // any value other than 0 checks the box
}

TEST(SettingsFile, AStringWithALineBreakCannotInjectAKey) {
    IniFile ini;
    ini.writeString("BASIC", "File", "a.ign\nComPort=9");
    SettingsValues v;
    ReadSettingsValues(iniOf(ini.text()), v);
    EXPECT_EQ(v.ComPortIndex, 0);
}

TEST(ImageBackup, TextHasTenNumbersALineAndAnEmptyLineAfterEveryHundred) {
    DeviceImage image;
    for (std::size_t i = 0; i < 3000; ++i) image.setByte(300 + i, static_cast<std::uint8_t>(i % 251));
    AllStates all{};
    all[0] = 1;
    all[18] = 1;
    for (std::size_t k = 0; k < image.IapAxis.size(); ++k)
        image.IapAxis[k] = static_cast<std::uint16_t>(100 * k + 5);

    std::string expected;
    char buf[16];
    for (std::size_t i = 0; i < 3000; ++i) {
        std::snprintf(buf, sizeof buf, "%5u ", static_cast<unsigned>(i % 251));
        expected += buf;
        if (i % 10 == 9) expected += "\n";
        if (i % 100 == 99) expected += "\n";
    }
    expected +=
        "    1     0     0     0     0     0     0     0     0     0     0     0     0     0     0     0     "
        "0"
        "     0     1 ";
    expected += "    5   105   205   305   405   505   605   705   805   905 ";
    const std::string text = ImageBackupText(image, all);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.substr(0, 61), "    0     1     2     3     4     5     6     7     8     9 \n");

    DeviceImage back;
    AllStates backAll{};
    const BackupReadCounts counts = ReadImageBackup(text, back, backAll);
    EXPECT_EQ(counts.imageBytes, 3000u);
    EXPECT_EQ(counts.allStates, 19u);
    EXPECT_EQ(counts.iapWords, 10u);
    EXPECT_EQ(back, image);
    EXPECT_EQ(backAll, all);
}

TEST(ImageBackup, AShortFileChangesOnlyTheBytesItHolds) {
    DeviceImage image;
    for (std::size_t i = 0; i < ImageSize; ++i) image.setByte(i, 7);
    const DeviceImage before = image;
    AllStates all{};
    ReadImageBackup("1 2 3 4 5 6 7 8 9 10", image, all);
    for (std::size_t i = 0; i < ImageSize; ++i) {
        const std::uint8_t want =
            (i >= 300 && i < 310) ? static_cast<std::uint8_t>(i - 299) : before.byteAt(i);
        ASSERT_EQ(image.byteAt(i), want) << "index " << i;
    }
    EXPECT_EQ(all, AllStates{});
}

TEST(ImageBackup, LargeNumbersKeepTheirLowBitsAndJunkStopsTheRead) {
    DeviceImage image;
    AllStates all{};
    const BackupReadCounts counts = ReadImageBackup("256 257 300 99999999999999999999999 -4 12", image, all);
    EXPECT_EQ(counts.imageBytes, 4u);
    EXPECT_EQ(image.byteAt(300), 0);
    EXPECT_EQ(image.byteAt(301), 1);
    EXPECT_EQ(image.byteAt(302), 44);
    EXPECT_EQ(image.byteAt(303), 255);  // 99999999999999999999999 mod 256
    EXPECT_EQ(image.byteAt(304), 0);    // "-4" is not a number here: reading stopped
    EXPECT_EQ(image.byteAt(305), 0);
}

TEST(ImageBackup, HugeNumberIsReducedModulo256) {
    // 10^23 = 2^23 * 5^23, so its low eight bits are zero; 10^23 + 7 ends in 7.
    DeviceImage image;
    AllStates all{};
    ReadImageBackup("100000000000000000000007", image, all);
    EXPECT_EQ(image.byteAt(300), 7);
}

TEST(DiagnosticsMarker, OnlyTheExactWordTurnsDiagnosticsOn) {
    EXPECT_TRUE(DiagnosticsMarkerEnables("one two\nPROBE_LEVEL three"));
    EXPECT_TRUE(DiagnosticsMarkerEnables("\tPROBE_LEVEL"));
    EXPECT_FALSE(DiagnosticsMarkerEnables("PROBE_LEVELX"));
    EXPECT_FALSE(DiagnosticsMarkerEnables("probe_level"));
    EXPECT_FALSE(DiagnosticsMarkerEnables(""));
    // A word longer than the 255-character buffer is skipped whole: its tail never counts as a word.
    EXPECT_FALSE(DiagnosticsMarkerEnables(std::string(245, 'x') + "PROBE_LEVEL"));
    EXPECT_FALSE(DiagnosticsMarkerEnables(std::string(300, 'y') + "PROBE_LEVEL"));
    EXPECT_TRUE(DiagnosticsMarkerEnables(std::string(300, 'y') + " PROBE_LEVEL"));
}

TEST(PlatformPaths, FileNamesAndPortTable) {
    EXPECT_EQ(SettingsFileName(), "Torvane_2008_v70ini");
    EXPECT_EQ(ImageBackupFileName(), "_Torvane_2008_v70ini");
    EXPECT_EQ(ComPortDevice(0), "/dev/ttyS0");
    EXPECT_EQ(ComPortDevice(3), "/dev/ttyS3");
    EXPECT_EQ(ComPortDevice(4), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortDevice(11), "/dev/ttyUSB7");
    EXPECT_EQ(ComPortDevice(12), "/dev/ttyACM0");
    EXPECT_EQ(ComPortDevice(19), "/dev/ttyACM7");
    EXPECT_EQ(ComPortDevice(20), "");
    EXPECT_EQ(ComPortDevice(-1), "");
}

}  // namespace
}  // namespace torvane
