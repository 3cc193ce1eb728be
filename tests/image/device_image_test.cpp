#include "image/device_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace torvane {
namespace {

DeviceImage WithHeader(const char* name, int version, int day, int month, int year, int hour, int minute) {
    DeviceImage image;
    for (std::size_t i = 0; i < 3; ++i) image.setByte(i, static_cast<std::uint8_t>(name[i]));
    const int fields[] = {version, day, month, year, hour, minute};
    for (std::size_t i = 0; i < 6; ++i) image.setByte(3 + i, static_cast<std::uint8_t>(fields[i]));
    image.setByte(10, 70);
    return image;
}

TEST(DeviceImageHeader, AccessorsAndTexts) {
    DeviceImage image = WithHeader("Jet", 1, 9, 13, 8, 7, 5);
    EXPECT_EQ(image.headerName(), "Jet");
    EXPECT_EQ(image.headerVersion(), 1);
    EXPECT_EQ(image.headerMonth(), 13);
    EXPECT_EQ(image.headerDataVersion(), 70);
    EXPECT_EQ(image.headerTexts(), (UnitHeaderTexts{"Jet01", " 9. 2.2008", "07:05"}));

    image.setByte(5, 12);
    EXPECT_EQ(image.headerTexts().date, " 9.12.2008");
    image.setByte(5, 0);
    EXPECT_EQ(image.headerTexts().date, " 9.00.2008");

    const char* longName = "Race ignition with long name";
    std::memcpy(image.bytes().data() + 16, longName, std::strlen(longName));
    EXPECT_EQ(image.headerLongName(), longName);
    EXPECT_EQ(image.headerTexts().name, longName);
}

TEST(DeviceImageWords, WordKIsBigEndianAtThreeHundredPlusTwoK) {
    DeviceImage image;
    image.setWord(81, 3000);
    EXPECT_EQ(image.byteAt(462), 11);
    EXPECT_EQ(image.byteAt(463), 184);
    const DeviceImage before = image;
    image.setWord(1500, 1);  // past the end
    image.setByte(ImageSize, 1);
    EXPECT_EQ(image, before);
    EXPECT_EQ(image.wordAt(1500), 0);
}

TEST(DeviceImageMemo, TruncatesTo349AndKeepsTheLastByteZero) {
    DeviceImage image;
    image.setMemoText(std::string(400, 'x'));
    EXPECT_EQ(image.memoText(), std::string(349, 'x'));
    EXPECT_EQ(image.byteAt(3298), 'x');
    EXPECT_EQ(image.byteAt(3299), 0);

    image.setMemoText("short");
    EXPECT_EQ(image.memoText(), "short");
    for (std::size_t i = 2955; i < ImageSize; ++i) ASSERT_EQ(image.byteAt(i), 0) << i;

    // A memo whose terminator is missing reads only its 349 characters.
    for (std::size_t i = 2950; i < ImageSize; ++i) image.setByte(i, 'y');
    EXPECT_EQ(image.memoText().size(), 349u);
    image.setMemoText(image.memoText());
    EXPECT_EQ(image.byteAt(3299), 0);
}

TEST(DeviceImageMemo, Windows1250RoundTripsByteForByte) {
    DeviceImage image;
    image.setMemoText("Poznámka uložená v zapalování: Řež, €5");
    EXPECT_EQ(image.byteAt(2950 + 4), 0xE1);   // á
    EXPECT_EQ(image.byteAt(2950 + 12), 0x9E);  // ž
    EXPECT_EQ(image.memoText(), "Poznámka uložená v zapalování: Řež, €5");

    // Every non-zero byte, including the five the code page leaves unassigned, comes back unchanged.
    DeviceImage all;
    for (std::size_t b = 1; b < 256; ++b) all.setByte(2950 + b - 1, static_cast<std::uint8_t>(b));
    DeviceImage copy = all;
    copy.setMemoText(all.memoText());
    EXPECT_EQ(copy, all);
    for (std::size_t i = 0; i < 300; ++i) copy.setByte(3000 + i, 0);
    copy.setMemoText(all.memoText());
    EXPECT_EQ(copy, all);

    // Setting the text already held leaves stray bytes after the terminator alone.
    DeviceImage stray;
    stray.setMemoText("abc");
    stray.setByte(3100, 0x55);
    stray.setMemoText("abc");
    EXPECT_EQ(stray.byteAt(3100), 0x55);
}

TEST(DeviceImageMemo, UnencodableAndMalformedTextBecomesQuestionMarks) {
    // clang-format off
    EXPECT_EQ(Cp1250FromUtf8("a\xE2\x82\xAC" "b"), "a\x80" "b");
    EXPECT_EQ(Cp1250FromUtf8("\xE6\x97\xA5"), "?");           // a character the code page lacks
    EXPECT_EQ(Cp1250FromUtf8("x\xC3"), "x?");                 // cut-off sequence at the end
    EXPECT_EQ(Cp1250FromUtf8("\xFF\xC3\x28"), "?" "?(");      // invalid lead and continuation bytes
    EXPECT_EQ(Cp1250FromUtf8("\xF0\x9F\x98\x80!"), "?!");     // outside the basic plane
    // clang-format on
    DeviceImage image;
    image.setMemoText(std::string("ab\0cd", 5));
    EXPECT_EQ(image.memoText(), "ab");
}

}  // namespace
}  // namespace torvane
