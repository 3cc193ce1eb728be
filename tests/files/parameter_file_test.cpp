#include "files/parameter_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/default_image.h"
#include "files/parameter_layout.h"
#include "image/catalogue.h"

namespace torvane {
namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2)
        lines.push_back(text.substr(start, p - start));
    lines.push_back(text.substr(start));  // the memo, with no line end after it
    return lines;
}

// `count` copies of `value`, each followed by a blank: the values of a section written by hand.
std::string Values(int count, const std::string& value) {
    std::string out;
    for (int i = 0; i < count; ++i) out += value + " ";
    return out;
}

// The first `lines` lines of a file, each with its line end.
std::string FirstLines(const std::string& text, int lines) {
    std::size_t end = 0;
    for (int i = 0; i < lines; ++i) end = text.find('\n', end) + 1;
    return text.substr(0, end);
}

std::string WithLfEnds(std::string text) {
    std::erase(text, '\r');
    return text;
}

// A distinctive, non-default image: every byte of blocks 1..10 set from its index.
DeviceImage PatternImage() {
    DeviceImage image = NewImageForBike(StartupBikeCode);
    for (std::size_t i = 301; i < MemoIndex; ++i) image.setByte(i, static_cast<std::uint8_t>(i * 7 + 3));
    image.setByte(300, StartupBikeCode);
    image.setMemoText("");
    return image;
}

TEST(ParameterFileWriter, LinesHaveTheFixedShape) {
    const std::vector<std::string> lines = SplitCrLf(FormatParameterFile(NewImageForBike(StartupBikeCode)));
    ASSERT_EQ(lines.size(), 184u);
    EXPECT_EQ(lines[0], "KESTRAVO_KEY    70 ");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[182], "MEMO         ");
    EXPECT_EQ(lines[183], "");  // cleared memo, no final line end
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find('\t'), std::string::npos);
        EXPECT_EQ(line.find('\r'), std::string::npos) << "stray CR in " << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    // Map rows: a 13-character prefix and fifteen 6-character values.
    EXPECT_EQ(lines[24].size(), 13u + 15u * 6u);
    EXPECT_EQ(lines[37].substr(0, 13), "JET_1A       ");
    EXPECT_EQ(lines[37].size(), 13u + 15u * 6u);
    EXPECT_EQ(lines[120], "SERVO_IN_VALUE");
    EXPECT_EQ(lines[121].size(), 13u + 15u * 6u);
}

TEST(ParameterFileWriter, EncodesOffsetsSignsAndFlags) {
    DeviceImage image = NewImageForBike(StartupBikeCode);
    image.setByte(365, 20);   // advance correction of cylinder 1: -80 degrees
    image.setByte(362, 0);    // tacho correction -100
    image.setByte(476, 0);    // first gear advance correction -100
    image.setByte(383, 7);    // any non-zero flag is written as 1
    image.setByte(432, 200);  // TempDisplay
    const std::vector<std::string> lines = SplitCrLf(FormatParameterFile(image));
    EXPECT_EQ(lines[22].substr(13, 17), "    1 4294967216 ");
    EXPECT_EQ(lines[15], "RPM              1  -100 ");
    EXPECT_EQ(lines[171].substr(0, 19), "GEAR_CORR     -100 ");
    EXPECT_EQ(lines[118].substr(0, 25), "SERVO_IN         1     0 ");
    EXPECT_EQ(lines[179], "DISPLAY          1");

    DeviceImage back;
    ASSERT_EQ(ReadParameterText(FormatParameterFile(image), back), FileResult::Ok);
    EXPECT_EQ(back.byteAt(365), 20);
    EXPECT_EQ(back.byteAt(362), 0);
    EXPECT_EQ(back.byteAt(476), 0);
    EXPECT_EQ(back.byteAt(383), 1);
    EXPECT_EQ(back.byteAt(432), 1);
}

TEST(ParameterFileRoundTrip, EveryTypeRewritesIdentically) {
    for (const CatalogueRow& row : CatalogueRows()) {
        const std::string first = FormatParameterFile(NewImageForBike(row.code));
        DeviceImage opened;
        ASSERT_EQ(ReadParameterText(first, opened), FileResult::Ok) << int(row.code);
        EXPECT_EQ(FormatParameterFile(opened), first) << "type " << int(row.code);
    }
}

TEST(ParameterFileRoundTrip, ReproducesEveryCoveredByte) {
    DeviceImage image = PatternImage();
    // Flags are carried as 0/1 only; make them so, and keep the servo/idle scales exact.
    for (std::size_t flag : {382u, 383u, 386u, 387u, 390u, 421u, 432u}) image.setByte(flag, 1);
    image.IapAxis = {11, 22, 33, 44, 55, 66, 77, 88, 99, 1000};
    image.setMemoText("Tuned at the track\r\nsecond line");
    DeviceImage back = NewImageForBike(StartupBikeCode);
    ASSERT_EQ(ReadParameterText(FormatParameterFile(image), back), FileResult::Ok);
    for (const LayoutSection& section : ParameterLayout()) {
        for (const LayoutLine& line : section.lines) {
            for (const LayoutItem& item : line.items) {
                for (int e = 0; e < item.count; ++e) {
                    const auto element = static_cast<std::size_t>(e);
                    if (item.code == ValueCode::IapAxis) {
                        EXPECT_EQ(back.IapAxis[item.index + element], image.IapAxis[item.index + element]);
                        continue;
                    }
                    const std::size_t width = item.code == ValueCode::Word ? 2 : 1;
                    for (std::size_t b = 0; b < width; ++b) {
                        const std::size_t at = item.index + width * element + b;
                        EXPECT_EQ(back.byteAt(at), image.byteAt(at)) << item.field << " byte " << at;
                    }
                }
            }
        }
    }
    EXPECT_EQ(back.memoText(), "Tuned at the track\r\nsecond line");
    // The IAP row axis lives beside the image: the idle bytes keep the IDLE section's values.
    EXPECT_EQ(back.byteAt(584), image.byteAt(584));
}

TEST(ParameterFileGolden, Type32MatchesTheHandDerivedFile) {
    std::ifstream in(std::string(TORVANE_TEST_DATA) + "/type32_golden.ign", std::ios::binary);
    ASSERT_TRUE(in);
    std::stringstream golden;
    golden << in.rdbuf();

    // Keep the lines of the sections the golden file holds, in file order.
    const std::vector<std::string> keep = {"KESTRAVO_KEY",
                                           "BIKE",
                                           "APS_IAPS",
                                           "WATER_TEMP_SENSOR",
                                           "AIR_TEMP_SENSOR",
                                           "INPUTS",
                                           "LIMITER",
                                           "TPS",
                                           "POTENTIOMETER",
                                           "COOLING",
                                           "RPM",
                                           "INTAKE_PORT",
                                           "SYNCHRO",
                                           "ADVANCE_MISC",
                                           "RPM_ADV",
                                           "ADVANCE",
                                           "POSITION_A",
                                           "POSITION_B",
                                           "IDLE",
                                           "CHOKE",
                                           "START_INJ",
                                           "INJ_CORR",
                                           "ACCEL",
                                           "ADVANCE_CORR",
                                           "N2O",
                                           "SPEED_PULSES",
                                           "GEAR",
                                           "GEAR_AUTO",
                                           "GEAR_CORR",
                                           "PILOT_LIGHT",
                                           "CLUTCH",
                                           "DISPLAY"};
    std::string selected;
    bool inKept = false;
    for (const std::string& line : SplitCrLf(FormatParameterFile(NewImageForBike(32)))) {
        const std::string first = line.substr(0, line.find(' '));
        if (!first.empty()) inKept = std::find(keep.begin(), keep.end(), first) != keep.end();
        if (first == "MEMO") break;
        if (inKept) selected += line + "\r\n";
    }
    EXPECT_EQ(selected, golden.str());
}

TEST(ParameterFileReader, RefusesFilesWithoutTheKeyAndLeavesTheImage) {
    const DeviceImage original = PatternImage();
    constexpr char noise[] = "\x00\xff\x13KESTRAVO_KEY\x01\x02\x80";
    const std::string binary(noise, sizeof noise - 1);
    for (const std::string& text :
         {std::string(), std::string("BIKE 3\r\nLIMITER 1 2 3 4 5\r\n"),
          std::string("KESTRAVO_KEY    69 \r\nBIKE 3"), std::string("KESTRAVO_KEY\r\nBIKE 3"),
          std::string("KESTRAVO_KEY70 BIKE 3"), binary}) {
        DeviceImage image = original;
        EXPECT_EQ(ReadParameterText(text, image), FileResult::Refused) << text;
        EXPECT_EQ(image, original);
    }
}

TEST(ParameterFileReader, FindsTheKeyInJunkAndToleratesOrderRepeatsAndUnknownSections) {
    DeviceImage image = PatternImage();
    const std::string text =
        "garbage KESTRAVO_KEY 12 more\r\n\x01\x02 KESTRAVO_KEY\t70\r\n"
        "COOLING 90 FANCY_SECTION 1 2 3\r\n"
        "LIMITER 9000 9100 9200 9300 30\r\nCOOLING 80\r\n"
        "RPM 3 -20\r\n";
    ASSERT_EQ(ReadParameterText(text, image), FileResult::Ok);
    EXPECT_EQ(image.byteAt(360), 80);  // the last COOLING wins
    EXPECT_EQ(image.byteAt(308), 90);
    EXPECT_EQ(image.byteAt(312), 30);
    EXPECT_EQ(image.byteAt(361), 3);
    EXPECT_EQ(image.byteAt(362), 80);
    EXPECT_EQ(image.byteAt(300), PatternImage().byteAt(300));  // no BIKE: no defaults applied
}

TEST(ParameterFileReader, LimitsOutOfRangeNumbersToTheFieldsRange) {
    DeviceImage image = PatternImage();
    const std::string text =
        "KESTRAVO_KEY 70\r\n"
        "LIMITER 9000 26000 -100 4294967196 300\r\n"
        "ADVANCE_MISC 1 -80 4294967216 -4294967376 4294967295 99999999999999999999 +7\r\n"
        "TPS 70000 -2147483648\r\n"
        "RPM 2 2147483647\r\n"
        "GEAR_CORR -101 -100 155 156 4294967295 0 " +
        Values(6, "0") +
        "\r\n"
        "APS_IAPS 65536 65537 -1 70000 0 1 65535 4294967295\r\n"
        "IAP_IAP 70000 -1 30 40 50 60 70 80 90 100\r\n"
        "SERVO_IN 300 -1 6 0 2 8 2147483647\r\n"
        "JET_1A 70000 " +
        Values(149, "1000") + "\r\n";
    ASSERT_EQ(ReadParameterText(text, image), FileResult::Ok);
    // B(i, 100, 0): 26000 rpm is 255 (25500 rpm), not the 400 rpm of its low bits; below 0 is 0.
    EXPECT_EQ(image.byteAt(308), 90);
    EXPECT_EQ(image.byteAt(309), 255);
    EXPECT_EQ(image.byteAt(310), 0);
    EXPECT_EQ(image.byteAt(311), 0);  // 4294967196 is -100, as the writer prints it
    EXPECT_EQ(image.byteAt(312), 255);
    // B(i, 1, -100): the ten-digit numbers of negative corrections read back; the rest is limited.
    EXPECT_EQ(image.byteAt(365), 20);
    EXPECT_EQ(image.byteAt(366), 20);
    EXPECT_EQ(image.byteAt(367), 20);  // the text is taken modulo 2^32 before its sign counts
    EXPECT_EQ(image.byteAt(368), 99);  // -1
    EXPECT_EQ(image.byteAt(369), 255);
    EXPECT_EQ(image.byteAt(370), 7);
    // B(359, 10, 250) from the most negative number, and the signed D(i) from the most positive:
    // no overflow on the way.
    EXPECT_EQ(image.byteAt(358), 255);
    EXPECT_EQ(image.byteAt(359), 0);
    EXPECT_EQ(image.byteAt(362), 255);
    EXPECT_EQ(image.byteAt(476), 0);
    EXPECT_EQ(image.byteAt(477), 0);
    EXPECT_EQ(image.byteAt(478), 255);
    EXPECT_EQ(image.byteAt(479), 255);
    EXPECT_EQ(image.byteAt(480), 99);
    // Words and the IAP row axis: 0..65535.
    const std::vector<int> aps = {65535, 65535, 0, 65535, 0, 1, 65535, 0};
    for (std::size_t k = 0; k < 8; ++k) EXPECT_EQ(image.wordAt(21 + k), aps[k]) << k;
    EXPECT_EQ(image.IapAxis[0], 65535);
    EXPECT_EQ(image.IapAxis[1], 0);
    EXPECT_EQ(image.wordAt(350), 65535);  // JET_1A 70000, not 4464
    EXPECT_EQ(image.wordAt(351), 1000);
    // Flags keep the number read, within a byte; the intake step of 20 follows from ServoInProcent 0.
    EXPECT_EQ(image.byteAt(383), 255);
    EXPECT_EQ(image.byteAt(387), 0);
    EXPECT_EQ(image.byteAt(402), 255);  // B(402, 250, 0) from the largest number
}

TEST(ParameterFileRoundTrip, ExtremeValuesRewriteIdentically) {
    // Bytes at the ends of their range, where a written product is largest or negative.
    for (const int fill : {0, 1, 99, 100, 254, 255}) {
        DeviceImage image = NewImageForBike(StartupBikeCode);
        for (std::size_t i = 300; i < MemoIndex; ++i) image.setByte(i, static_cast<std::uint8_t>(fill));
        image.IapAxis.fill(static_cast<std::uint16_t>(fill * 257));
        image.setMemoText("");
        const std::string text = FormatParameterFile(image);
        DeviceImage back = NewImageForBike(StartupBikeCode);
        ASSERT_EQ(ReadParameterText(text, back), FileResult::Ok) << fill;
        EXPECT_EQ(FormatParameterFile(back), text) << "bytes of " << fill;
    }
}

TEST(ParameterFileReader, DamagedSectionsRefuseTheFileAndNameWhereReadingStopped) {
    const DeviceImage original = PatternImage();
    const std::string whole = FormatParameterFile(NewImageForBike(17));
    const auto damageOf = [&](const std::string& text, LoadOptions options = {}) {
        DeviceImage image = original;
        FileDamage damage;
        EXPECT_EQ(ReadParameterText(text, image, options, &damage), FileResult::Damaged) << text.size();
        EXPECT_EQ(image, original);
        return std::to_string(damage.line) + " " + damage.section;
    };
    // Cut after a whole line of ADVANCE (lines 25 to 34) or JET_1A (38 to 47), with CR LF or LF ends:
    // the last line of the file is named, whether or not a line end follows it.
    EXPECT_EQ(damageOf(FirstLines(whole, 30)), "30 ADVANCE");
    EXPECT_EQ(damageOf(WithLfEnds(FirstLines(whole, 30))), "30 ADVANCE");
    EXPECT_EQ(damageOf(FirstLines(whole, 30) + "\r\n\r\n  "), "30 ADVANCE");
    EXPECT_EQ(damageOf(FirstLines(whole, 40)), "40 JET_1A");
    EXPECT_EQ(damageOf(WithLfEnds(FirstLines(whole, 40))), "40 JET_1A");
    // Cut in the middle of a line, and cut right after the key.
    EXPECT_EQ(damageOf(FirstLines(whole, 26) + whole.substr(FirstLines(whole, 26).size(), 40)), "27 ADVANCE");
    EXPECT_EQ(damageOf(FirstLines(whole, 24) + "ADVANCE"), "25 ADVANCE");

    // A word where a number belongs: the line of that word, and the file is not read on past it.
    std::string word = whole;
    const std::size_t row4 = FirstLines(whole, 27).size();
    word.replace(row4 + 13, 5, "  x12");
    EXPECT_EQ(damageOf(word), "28 ADVANCE");
    EXPECT_EQ(damageOf(WithLfEnds(word)), "28 ADVANCE");
    std::string comma = whole;
    comma.replace(FirstLines(whole, 37).size() + 13, 5, " 12,5");
    EXPECT_EQ(damageOf(comma), "38 JET_1A");
    EXPECT_EQ(damageOf("KESTRAVO_KEY 70\r\nCOOLING 80\r\nRPM 2 --5\r\n"), "3 RPM");
    EXPECT_EQ(damageOf("KESTRAVO_KEY 70\r\nLIMITER 90 90\r\nCOOLING 80\r\n"), "3 LIMITER");  // at COOLING
    EXPECT_EQ(damageOf("KESTRAVO_KEY 70\nBIKE\n"), "2 BIKE");
    // A lone CR ends no line; CR CR LF is one line end.
    EXPECT_EQ(damageOf("KESTRAVO_KEY 70\r\r\nINPUTS 1\r2\r\n\r\n"), "2 INPUTS");
}

TEST(ParameterFileReader, DamageOnlyCountsInSectionsThatApply) {
    const std::string whole = FormatParameterFile(NewImageForBike(17));
    const std::string cutAdvance = FirstLines(whole, 30);
    const DeviceImage start = PatternImage();

    // An open for the Synchro page takes SYNCHRO and skips the cut ADVANCE like any other tokens.
    DeviceImage synchro = start;
    ASSERT_EQ(ReadParameterText(cutAdvance, synchro, {true, 1}), FileResult::Ok);
    EXPECT_EQ(synchro.byteAt(316), NewImageForBike(17).byteAt(316));
    DeviceImage advance = start;
    EXPECT_EQ(ReadParameterText(cutAdvance, advance, {true, 2}), FileResult::Damaged);

    // Inj-2A applies only while the channels are not coupled; BIKE only in a full open.
    const std::string cutJet2A = FirstLines(whole, 52);
    DeviceImage coupled = start;
    coupled.setByte(371, 1);
    EXPECT_EQ(ReadParameterText(cutJet2A, coupled, {true, 4}), FileResult::Ok);
    coupled.setByte(371, 0);
    EXPECT_EQ(ReadParameterText(cutJet2A, coupled, {true, 4}), FileResult::Damaged);
    DeviceImage bike = start;
    EXPECT_EQ(ReadParameterText("KESTRAVO_KEY 70 COOLING 80 BIKE", bike, {true, 0}), FileResult::Ok);
    EXPECT_EQ(bike.byteAt(360), 80);

    // Unknown words between sections are skipped, and the memo is text: its words are no sections,
    // whichever page is open.
    const std::string memoWords = "KESTRAVO_KEY 70 hello COOLING 80 world 5 MEMO\r\nADVANCE rich RPM x";
    for (const LoadOptions options : {LoadOptions{}, LoadOptions{true, 0}, LoadOptions{true, 2}}) {
        DeviceImage image = start;
        ASSERT_EQ(ReadParameterText(memoWords, image, options), FileResult::Ok) << options.currentPage;
        EXPECT_EQ(image.byteAt(850), start.byteAt(850));
    }
}

TEST(ParameterFileReader, RefusalLeavesTheDefaultsStateAlone) {
    // BIKE applies the type's defaults through the caller's working state; a file found damaged after
    // it must not leave that state on another type.
    InjectionWork work;
    DefaultsState defaults;
    DeviceImage image = NewImageForBike(StartupBikeCode);
    ApplyDefaults(image, work, defaults, false, 0);
    const DeviceImage before = image;
    const InjectionWork workBefore = work;
    LoadOptions options;
    options.work = &work;
    options.defaults = &defaults;
    ASSERT_EQ(ReadParameterText("KESTRAVO_KEY 70 BIKE 17 ADVANCE 1 2", image, options), FileResult::Damaged);
    EXPECT_EQ(image, before);
    EXPECT_EQ(defaults.tableCode, StartupBikeCode);
    EXPECT_EQ(work.reference, workBefore.reference);
    ASSERT_EQ(ReadParameterText("KESTRAVO_KEY 70 BIKE 17", image, options), FileResult::Ok);
    EXPECT_EQ(defaults.tableCode, 17);
}

TEST(ParameterFileReader, SurvivesHugeTokensAndNoise) {
    DeviceImage image = PatternImage();
    std::string text = "KESTRAVO_KEY 70 " + std::string(100000, 'X') + " COOLING " + std::string(5000, '9') +
                       " RPM 2 -3 " + std::string(300, '-') + "\r\n";
    for (int i = 0; i < 2000; ++i) text += static_cast<char>((i * 131) & 0xFF);
    ASSERT_EQ(ReadParameterText(text, image), FileResult::Ok);  // the noise after RPM spells no key
    EXPECT_EQ(image.byteAt(361), 2);
    EXPECT_EQ(image.byteAt(362), 97);
    // A run of dashes where a number belongs is no number.
    DeviceImage dashes = PatternImage();
    EXPECT_EQ(ReadParameterText("KESTRAVO_KEY 70 RPM 2 " + std::string(300, '-'), dashes),
              FileResult::Damaged);
}

TEST(ParameterFileReader, SynchroMaxRpmIsTheStoredByteNotRpm) {
    // The last value of the fourth SYNCHRO line is rpm / 100 as the unit stores it, in files of any origin.
    DeviceImage image = PatternImage();
    ASSERT_EQ(ReadParameterText("KESTRAVO_KEY    70 \r\nSYNCHRO 0 3 0\r\n 8 0 4 1 0\r\n 11 15 7 3\r\n"
                                " 4 2 45 4    80 \r\n",
                                image),
              FileResult::Ok);
    EXPECT_EQ(image.byteAt(329), 80);
    EXPECT_EQ(image.byteAt(328), 4);
    image.setByte(329, 250);
    EXPECT_EQ(SplitCrLf(FormatParameterFile(image))[20].substr(37), "  250 ");
}

TEST(ParameterFileReader, ServoAndIdleScalesFollowTheirModeLines) {
    DeviceImage image = PatternImage();
    ASSERT_EQ(ReadParameterText("KESTRAVO_KEY 70 SERVO_IN 1 1 0 0 0 8 6 SERVO_IN_VALUE 40 60 " +
                                    Values(148, "0") + "SERVO_EX 1 0 0 1 SERVO_EX_VALUE 400 1000 " +
                                    Values(148, "0") + "IDLE 3 15 40 1 6 6 20 600 1200 " + Values(7, "0") +
                                    Values(4, "0") + Values(9, "0"),
                                image),
              FileResult::Ok);
    EXPECT_EQ(image.byteAt(2800), 40);  // intake in percent
    EXPECT_EQ(image.byteAt(2801), 60);
    EXPECT_EQ(image.byteAt(2650), 20);  // exhaust in units of 20
    EXPECT_EQ(image.byteAt(2651), 50);
    EXPECT_EQ(image.byteAt(591), 120);  // idle mode 3: step 5
    EXPECT_EQ(image.byteAt(592), 240);
}

TEST(ParameterFileReader, BikeAppliesTheTypeDefaultsBeforeLaterSections) {
    DeviceImage image = PatternImage();
    ASSERT_EQ(ReadParameterText("KESTRAVO_KEY 70 COOLING 55 BIKE 17 LIMITER 9000 9100 9200 9300 30", image),
              FileResult::Ok);
    EXPECT_EQ(image.byteAt(300), 17);
    EXPECT_EQ(image.byteAt(360), 100);  // COOLING before BIKE is overwritten by the defaults
    EXPECT_EQ(image.byteAt(308), 90);
    EXPECT_EQ(image.byteAt(309), 91);
    EXPECT_EQ(image.byteAt(371), 1);  // full defaults couple the injection channels
}

TEST(ParameterFileReader, PageOnlyOpenAppliesOnlyThatPagesSections) {
    const DeviceImage source = NewImageForBike(17);
    const std::string text = FormatParameterFile(source);
    const DeviceImage start = PatternImage();

    DeviceImage page1 = start;
    ASSERT_EQ(ReadParameterText(text, page1, {true, 1}), FileResult::Ok);
    for (std::size_t i = 300; i < ImageSize; ++i) {
        const bool synchro = i >= 313 && i <= 329;
        EXPECT_EQ(page1.byteAt(i), synchro ? source.byteAt(i) : start.byteAt(i)) << "byte " << i;
    }

    DeviceImage coupled = start;
    coupled.setByte(371, 1);
    DeviceImage page4 = coupled;
    ASSERT_EQ(ReadParameterText(text, page4, {true, 4}), FileResult::Ok);
    EXPECT_EQ(page4, coupled);

    DeviceImage uncoupled = start;
    uncoupled.setByte(371, 0);
    ASSERT_EQ(ReadParameterText(text, uncoupled, {true, 4}), FileResult::Ok);
    EXPECT_EQ(uncoupled.byteAt(745), source.byteAt(745));
    EXPECT_EQ(uncoupled.wordAt(500), source.wordAt(500));
    EXPECT_EQ(uncoupled.byteAt(730), start.byteAt(730));

    DeviceImage page8 = start;
    ASSERT_EQ(ReadParameterText(text, page8, {true, 8}), FileResult::Ok);
    EXPECT_EQ(page8.IapAxis, source.IapAxis);
    EXPECT_EQ(page8.byteAt(584), start.byteAt(584));  // the idle bytes are not the axis
}

TEST(ParameterFileMemo, ReadingRules) {
    auto memoAfter = [](const std::string& memoPart, LoadOptions options = {}) {
        DeviceImage image = PatternImage();
        image.setMemoText("old");
        EXPECT_EQ(ReadParameterText("KESTRAVO_KEY 70 MEMO" + memoPart, image, options), FileResult::Ok);
        return image;
    };
    EXPECT_EQ(memoAfter(" \r\n\r\n  123 go\r\nCOOLING 5").memoText(), "123 go\r\nCOOLING 5");
    EXPECT_EQ(memoAfter(" \r\n\r\n  123 go\r\nCOOLING 5").byteAt(360), PatternImage().byteAt(360));
    EXPECT_EQ(memoAfter("\r\nline one\r\r\nline two").memoText(), "line one\r\nline two");
    EXPECT_EQ(memoAfter(std::string("\r\nab\0cd", 8)).memoText(), "ab");

    const DeviceImage longMemo = memoAfter("\r\n" + std::string(400, 'm'));
    EXPECT_EQ(longMemo.memoText(), std::string(MemoMaxLength, 'm'));
    EXPECT_EQ(longMemo.byteAt(3299), 0);

    // On another page the memo is skipped and its words are scanned like any others.
    const DeviceImage page0 = memoAfter("\r\nhello", {true, 0});
    EXPECT_EQ(page0.memoText(), "hello");
    const DeviceImage page2 = memoAfter("\r\nnote COOLING 5", {true, 2});
    EXPECT_EQ(page2.memoText(), "old");
}

TEST(ParameterFileMemo, Windows1250BytesRoundTrip) {
    DeviceImage image = NewImageForBike(StartupBikeCode);
    const std::string memo = "\x8a\x9a\xe8\xf8 \xbe\r\n";  // Š š č ř ž in Windows-1250
    for (std::size_t i = 0; i < memo.size(); ++i)
        image.setByte(MemoIndex + i, static_cast<std::uint8_t>(memo[i]));
    const std::string text = FormatParameterFile(image);
    // The line break stands in the file as CR CR LF; the code-page bytes stand unchanged.
    const std::string inFile = "\x8a\x9a\xe8\xf8 \xbe\r\r\n";
    EXPECT_EQ(text.substr(text.size() - inFile.size()), inFile);
    DeviceImage back;
    ASSERT_EQ(ReadParameterText(text, back), FileResult::Ok);
    for (std::size_t i = 0; i <= memo.size(); ++i)
        EXPECT_EQ(back.byteAt(MemoIndex + i), image.byteAt(MemoIndex + i));
    // Saving what was opened gives the same file: the memo does not grow a CR per line break.
    EXPECT_EQ(FormatParameterFile(back), text);
}

TEST(ParameterFileStorage, SaveAndLoadThroughFiles) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "torvane_files_test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "a.ign").string();
    const DeviceImage image = NewImageForBike(5);
    ASSERT_EQ(SaveParameterFile(path, image), FileResult::Ok);
    ASSERT_EQ(SaveParameterFile(path, image, "memo from the box"), FileResult::Ok);  // replaces it
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    DeviceImage back;
    EXPECT_EQ(LoadParameterFile(path, back), FileResult::Ok);
    EXPECT_EQ(back.memoText(), "memo from the box");
    EXPECT_EQ(back.byteAt(309), image.byteAt(309));

    EXPECT_EQ(LoadParameterFile((dir / "missing.ign").string(), back), FileResult::Unreadable);
    EXPECT_EQ(LoadParameterFile(dir.string(), back), FileResult::Unreadable);
    EXPECT_EQ(SaveParameterFile((dir / "no" / "such" / "dir.ign").string(), image), FileResult::Unreadable);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace torvane
