#include "text/message_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <utility>

namespace torvane {
namespace {

// The message table leaves these numbers out.
bool Unlisted(int n) {
    return n == 30 || n == 37 || n == 38 || n == 46;
}

bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t length = c < 0x80           ? 1
                                   : (c >> 5) == 0x6  ? 2
                                   : (c >> 4) == 0xE  ? 3
                                   : (c >> 3) == 0x1E ? 4
                                                      : 0;
        if (length == 0 || i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
        }
        i += length;
    }
    return true;
}

bool Blank(char c) {
    return c == ' ';
}

TEST(MessageTable, ListedMessagesHaveFourTextsAndNoOtherNumberHasOne) {
    for (int n = -1; n <= MessageCount + 1; ++n) {
        const bool listed = n >= 4 && n <= 76 && !Unlisted(n);
        for (int lang = 0; lang < LanguageCount; ++lang) {
            const std::string text = MessageText(n, lang);
            EXPECT_EQ(!text.empty(), listed) << "message " << n << " language " << lang;
            EXPECT_TRUE(IsUtf8(text)) << "message " << n << " language " << lang;
        }
    }
    EXPECT_EQ(MessageText(MsgProgramError, 4), "Program error!");
    EXPECT_EQ(MessageText(MsgProgramError, -1), "Program error!");
}

// The names carry their numbers by hand: a slip gives two names one message, or a name an empty text.
TEST(MessageTable, EachMessageHasOneNameAndEachNameATextInEveryLanguage) {
    // clang-format off
    const Message named[] = {
        MsgHelpDocument, MsgProgramError, MsgVerifyError, MsgReadError, MsgProgramDevice,
        MsgProgramVersionMismatch, MsgVerify, MsgRead, MsgAdvance, MsgProgrammingCount, MsgBlocking,
        MsgStartLimiter, MsgIgnLimiter, MsgJetLimiter, MsgRetardLimiter, MsgYes, MsgNo, MsgTwinkle,
        MsgCpsPolarity, MsgPositive, MsgNegative, MsgComOpeningError, MsgOpenFileError, MsgAskDefaultSetting,
        MsgAskDefaultPageSetting, MsgFileVersionMismatch, MsgPrintDateTime, MsgFileOpeningError,
        MsgPickupCkps, MsgPickupCmps, MsgRunning, MsgNoSignal, MsgBaseAdvance, MsgSaving, MsgInjectionTime,
        MsgMaxInjection, MsgPosition, MsgExhaustServo, MsgIntakeServo, MsgPotentiometer, MsgFallSensor,
        MsgCooling, MsgGear, MsgSpeed, MsgShiftLight, MsgChoke, MsgIapToTp, MsgHysteresis, MsgLobeWidth,
        MsgCylinderCorrection, MsgTpsMin, MsgTpsMax, MsgRpmMin, MsgRpmMax, MsgClutch, MsgTacho, MsgLambda,
        MsgTachoLambda, MsgJetByTps, MsgPeriod, MsgExcitation, MsgCoolant, MsgIntakeServoMustBeEnabled,
        MsgIntakeServoMustBeDisabled, MsgIntakeServoWithoutStepMotor, MsgIdle, MsgDesiredRpm,
        MsgIntakeServoStartPosition, MsgTpsMinInServoSteps};
    // clang-format on
    std::set<int> numbers;
    for (const Message m : named) {
        EXPECT_TRUE(numbers.insert(m).second) << "message " << m << " has two names";
        EXPECT_LT(m, MessageCount);
        for (int lang = 0; lang < LanguageCount; ++lang)
            EXPECT_FALSE(MessageText(m, lang).empty()) << "message " << m << " language " << lang;
    }
    for (int n = 0; n < MessageCount; ++n)
        EXPECT_EQ(numbers.count(n) == 1, !MessageText(n, 0).empty()) << "message " << n << " has no name";
}

// The stems are composed with separators and values; a lost blank runs words together.
TEST(MessageTable, TranslationsKeepTheBlanksAtTheEdgesOfTheEnglishStem) {
    for (int n = 4; n <= 76; ++n) {
        if (Unlisted(n)) continue;
        const std::string english = MessageText(n, 0);
        for (int lang = 1; lang < LanguageCount; ++lang) {
            const std::string text = MessageText(n, lang);
            EXPECT_EQ(Blank(text.front()), Blank(english.front())) << "message " << n << " language " << lang;
            EXPECT_EQ(Blank(text.back()), Blank(english.back())) << "message " << n << " language " << lang;
        }
    }
}

TEST(MessageTable, TellingVariantsAreKeptAsWritten) {
    struct Case {
        int n;
        int lang;
        const char* text;
    };
    const Case cases[] = {
        {MsgHelpDocument, 3, "torvane_2008_cz.pdf"},
        {MsgProgramError, 3, "Chyba programování"},
        {MsgVerifyError, 1, "Vergleichsfehler"},
        {MsgProgramVersionMismatch, 3, "Neshodné verze proramu v PC a v zapalování!"},
        {MsgRead, 2, "Lire"},
        {MsgAdvance, 3, "Předstih"},
        {MsgProgrammingCount, 0, "Number of Programing = "},
        {MsgComOpeningError, 1, "Falscher COM-Anschlußes!"},
        {MsgFileVersionMismatch, 1, "Datendatei *.ign ist nicht kompatiebel!"},
        {MsgFileOpeningError, 2, "Erreur à l´ouvertur du Fichier "},
        {MsgSaving, 2, "Mémorisation"},
        {MsgShiftLight, 2, "Retard à l´allumage"},
        {MsgIntakeServoWithoutStepMotor, 1, "Intake servo must be enabled ohne step out"},
        {MsgIntakeServoWithoutStepMotor, 3, "Musí být povoleno sací servo a krokový motor ne"},
    };
    for (const Case& c : cases) EXPECT_EQ(MessageText(c.n, c.lang), c.text) << "message " << c.n;
    for (int n : {MsgTpsMin, MsgTpsMax, MsgRpmMin, MsgRpmMax, MsgTacho, MsgLambda, MsgTachoLambda}) {
        for (int lang = 1; lang < LanguageCount; ++lang)
            EXPECT_EQ(MessageText(n, lang), MessageText(n, 0)) << n;
    }
}

TEST(MessageTable, ComposedTextsReadAsShown) {
    EXPECT_EQ(ChannelCorrectionText(0, 1), "Correction for cylinder 1");
    EXPECT_EQ(ChannelCorrectionText(0, 2), "Correction for cylinder 1,2");
    EXPECT_EQ(ChannelCorrectionText(0, 3), "Correction for cylinder 1,2,3");
    EXPECT_EQ(ChannelCorrectionText(0, 0), "Correction for cylinder 1,2,3,4");
    EXPECT_EQ(ChannelCorrectionText(0, 5), "Correction for cylinder 1,2,3,4");
    EXPECT_EQ(ChannelCorrectionText(3, 2), MessageText(MsgCylinderCorrection, 3) + " 1,2");

    EXPECT_EQ(HelpOpenErrorText(0), "Error by opening file torvane_2008_en.pdf !");
    EXPECT_EQ(HelpOpenErrorText(1), "Fehler beim öffnen der Datei torvane_2008_de.pdf !");

    // The placeholders of the monitor while disconnected.
    EXPECT_EQ(MessageText(MsgAdvance, 3) + "= --- [°]", "Předstih= --- [°]");
    EXPECT_EQ(MessageText(MsgProgrammingCount, 3) + "= ---", "Počet programování = = ---");
    EXPECT_EQ(MessageText(MsgChoke, 0) + " - ---", "Choke - ---");
    EXPECT_EQ(MessageText(MsgShiftLight, 0) + " - ---", "Gear Shift Light - ---");
    EXPECT_EQ(MessageText(MsgShiftLight, 2) + " [rpm]", "Retard à l´allumage [rpm]");
}

TEST(CaptionTable, EveryRowHasFourTextsAndEachControlSetsAKindOnce) {
    std::set<std::pair<std::string_view, CaptionKind>> seen;
    for (const CaptionRow& row : CaptionTable()) {
        EXPECT_TRUE(seen.emplace(row.control, row.kind).second)
            << row.control << " kind " << static_cast<int>(row.kind) << " twice";
        for (std::string_view text : row.text) {
            EXPECT_FALSE(text.empty()) << row.control;
            EXPECT_TRUE(IsUtf8(text)) << row.control;
        }
    }
}

TEST(CaptionTable, ItemListsHaveTheSameItemsCountInEveryLanguageAndNoEmptyItem) {
    for (const CaptionRow& row : CaptionTable()) {
        if (row.kind != CaptionKind::Items) continue;
        const auto items = [](std::string_view text) {
            return std::count(text.begin(), text.end(), '\n') + 1;
        };
        for (std::string_view text : row.text) {
            EXPECT_EQ(items(text), items(row.text[0])) << row.control << ": " << text;
            EXPECT_EQ(text.find("\n\n"), std::string_view::npos) << row.control;
            EXPECT_NE(text.back(), '\n') << row.control;
        }
    }
}

TEST(CaptionTable, TellingVariantsAreKeptAsWritten) {
    struct Case {
        const char* control;
        CaptionKind kind;
        int lang;
        const char* text;
    };
    const Case cases[] = {
        {"TFormHlav", CaptionKind::Caption, 1, "Programmierung der Torvane_2008 Zündbox"},
        {"LabelSpojeni", CaptionKind::Caption, 2, "Pas de connection acec pc"},
        {"LabelEeDataErr", CaptionKind::Caption, 2, "Programmed data error!"},
        {"MenuEnglish", CaptionKind::Caption, 2, "&Englais"},
        {"MenuFrench", CaptionKind::Caption, 3, "Francouzky"},
        {"MenuCzech", CaptionKind::Caption, 3, "Če&sky"},
        {"MenuDevice", CaptionKind::Caption, 3, "&Zapalování"},
        {"LabelMemo", CaptionKind::Caption, 1, "Notizblock"},
        {"LabelMemo", CaptionKind::Caption, 3, "Poznámka uložená v zapalování:"},
        {"TabSheet_ServoEx", CaptionKind::Caption, 0, "Exhaust servo "},
        {"LabelIdleAdvNaCas", CaptionKind::Caption, 0, "Regulace advance [°/10s]"},
        {"ButtonVerify", CaptionKind::Hint, 0, "Compare set parametrs  with parametrs of ignition"},
        {"MenuLanguage", CaptionKind::Hint, 0, "Language|Set English or German or French"},
        {"RadioGroupGearSystem", CaptionKind::Items, 0,
         "Voltage\nRation Rpm Speed\nAutomat (Ratio Rpm Speed)\nNo"},
        {"RadioGroupPolohaA", CaptionKind::Items, 3, "Počátek\nStřed\nKonec"},
        {"ComboBoxSynchro2", CaptionKind::Items, 3,
         "Neni treba\nVacka\nKyvani 1\nKyvani 2\nKyvani 1 zyl\nNeni (nerozlisuji otacky) "},
    };
    for (const Case& c : cases) EXPECT_EQ(CaptionText(c.control, c.kind, c.lang), c.text) << c.control;
    EXPECT_EQ(CaptionText("NoSuchControl", CaptionKind::Caption, 0), "");
    EXPECT_EQ(CaptionText("LabelMemo", CaptionKind::Hint, 0), "");
    EXPECT_EQ(CaptionText("MenuGerman", CaptionKind::Caption, 9), "&German");
}

// A tool button shows its menu item's action and a push button repeats a menu command: their texts must
// agree, or the one applied last wins.
TEST(CaptionTable, ButtonsReadLikeTheirMenuItems) {
    const std::pair<const char*, const char*> hints[] = {
        {"SpeedButton5", "MenuOpen"},      {"SpeedButton6", "MenuNew"},     {"SpeedButton7", "MenuSave"},
        {"SpeedButtonPrint", "MenuPrint"}, {"SpeedButtonZpet", "MenuZpet"}, {"SpeedButtonZnovu", "MenuZnovu"},
        {"ButtonRead", "MenuRead"},        {"ButtonVerify", "MenuVerify"},  {"ButtonProgram", "MenuProgram"},
    };
    for (int lang = 0; lang < LanguageCount; ++lang) {
        for (const auto& [button, menu] : hints) {
            EXPECT_FALSE(CaptionText(button, CaptionKind::Hint, lang).empty()) << button;
            EXPECT_EQ(CaptionText(button, CaptionKind::Hint, lang),
                      CaptionText(menu, CaptionKind::Hint, lang))
                << button;
        }
        for (const char* command : {"Read", "Verify", "Program"}) {
            EXPECT_EQ(CaptionText(std::string("Button") + command, CaptionKind::Caption, lang),
                      CaptionText(std::string("Menu") + command, CaptionKind::Caption, lang))
                << command;
        }
    }
}

// Alt+letter reaches the menu bar and the three transfer buttons from anywhere in the window.
TEST(CaptionTable, MenuBarAndTransferButtonsHaveDistinctAccessKeys) {
    const char* const controls[] = {"MenuFile", "MenuCom",    "MenuDevice",   "MenuTools",    "MenuLanguage",
                                    "MenuHelp", "ButtonRead", "ButtonVerify", "ButtonProgram"};
    for (int lang = 0; lang < LanguageCount; ++lang) {
        std::set<std::string> keys;
        for (const char* control : controls) {
            const std::string text = CaptionText(control, CaptionKind::Caption, lang);
            const std::size_t amp = text.find('&');
            if (amp == std::string::npos || amp + 1 >= text.size()) continue;
            std::size_t length = 1;
            while (amp + 1 + length < text.size() &&
                   (static_cast<unsigned char>(text[amp + 1 + length]) >> 6) == 0x2)
                ++length;
            std::string key = text.substr(amp + 1, length);
            if (length == 1) key[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(key[0])));
            EXPECT_TRUE(keys.insert(key).second) << control << " in language " << lang << " repeats " << key;
        }
    }
}

}  // namespace
}  // namespace torvane
