#include "text/message_table.h"

#include <algorithm>

namespace torvane {
namespace {

struct MessageRow {
    int number;
    std::array<std::string_view, LanguageCount> text;
};

// Rows that exist in one language only repeat it until their translations are filled in.
#define ALL4(t) \
    { t, t, t, t }

constexpr MessageRow kMessages[] = {
    {4, {"torvane_2008_en.pdf", "torvane_2008_de.pdf", "torvane_2008_fr.pdf", "torvane_2008_cz.pdf"}},
    {5, {"Program error!", "Programmierfehler!", "Erreur de programmation!", "Chyba programování"}},
    {6, {"Verify error!", "Vergleichsfehler", "Verifier erreur!", "Chyba verifikace!"}},
    {7, {"Read error!", "Lesefehler", "Lire erreur!", "Chyba čtení!"}},
    {8, {"Program device:", "Programmieren:", "Programmer:", "Programování:"}},
    {9,
     {"Unmatched version of PC and Ignition programs!",
      "Programm der Zündung ist nicht kompatibel mit dem Programm am PC!",
      "Programme du boitier d´alumage non compatible avec programme PC!",
      "Neshodné verze proramu v PC a v zapalování!"}},
    {10, {"Verify:", "Vergleichen:", "Vérifier:", "Verifikace:"}},
    {11, {"Read:", "Lesen:", "Lire", "Čtení:"}},
    {12, {"Advance", "Advance", "Advance", "Předstih"}},
    {13,
     {"Number of Programing = ", "Number of Programing = ", "Number of Programing = ",
      "Počet programování = "}},
    {14, ALL4("Blocking ")},
    {15, ALL4("Start limiter")},
    {16, ALL4("Limiter by ignition")},
    {17, ALL4("Limiter by injection")},
    {18, ALL4("Limiter by retard")},
    {19, {"YES", "JA", "Oui", "ANO"}},
    {20, {"NO", "NEIN", "Non", "NE"}},
    {21, ALL4("Twinkle")},
    {22, ALL4("Polarity of CPS - ")},
    {23, ALL4("Positive")},
    {24, ALL4("Negative")},
    {25,
     {"Com opening error!", "Falscher COM-Anschlußes!", "Erreur connections PC!",
      "Chyba při otevírání portu Com!"}},
    {26,
     {"Open file error!", "Fehler beim öffnen der Datei!", "Erreur ouvertur fichier!",
      "Chyba při otevírání souboru!"}},
    {27,
     {"Do you want default setting?", "Wollen Sie Standardeinstellungen öffnen?",
      "Voulez vous la programation de base?", "Chcete nastavit základní hodnoty?"}},
    {28,
     {"Do you want default setting for this page?",
      "Wollen Sie Standardeinstellungen für diese Seite öffnen?",
      "Voulez vous la programation de base pour page?",
      "Chcete nastavit základní hodnoty pro tuto záložku?"}},
    {29,
     {"Unmatched version of *.ign file!", "Datendatei *.ign ist nicht kompatiebel!",
      "Programme du fichier non compatible avec programme PC!", "Neshodná verze souboru *.ign!"}},
    {31, ALL4("Date and time of printing:  ")},
    {32,
     {"Error by opening file ", "Fehler beim öffnen der Datei ", "Erreur à l´ouvertur du Fichier ",
      "Chyba při otevírání souboru "}},
    {33, ALL4("Pick-up (CKPS)")},
    {34, ALL4("Pick-up (CMPS)")},
    {35, ALL4(" is running")},
    {36, ALL4(" no signal")},
    {39, ALL4("Base advance [°]")},
    {40, {"Saving:", "Speicherung:", "Mémorisation", "Ukládání:"}},
    {41, ALL4("Injection time")},
    {42, ALL4("Max injection")},
    {43, ALL4("Position")},
    {44, ALL4("Exhaust servo ")},
    {45, ALL4("Intake servo")},
    {47, ALL4("Potentiometer")},
    {48, ALL4("Fall sensor")},
    {49, ALL4("Cooling")},
    {50, ALL4("Gear")},
    {51, ALL4("Speed")},
    {52, {"Gear Shift Light", "Gear Shift Light", "Retard à l´allumage", "Gear Shift Light"}},
    {53, ALL4("Choke")},
    {54, ALL4("IAP -> TP ")},
    {55, ALL4("Hysteresis [mV]")},
    {56, ALL4("Width of Lobe [°]")},
    {57, ALL4("Correction for cylinder")},
    {58, ALL4("TPS min")},
    {59, ALL4("TPS max")},
    {60, ALL4("RPM min")},
    {61, ALL4("RPM max")},
    {62, ALL4("Clutch master")},
    {63, ALL4("Tacho")},
    {64, ALL4("Lambda")},
    {65, ALL4("Tacho/Lambda")},
    {66, ALL4("Jet according TPS")},
    {67, ALL4("Period [ms]")},
    {68, ALL4("Excitation [us]")},
    {69, ALL4("Coolant")},
    {70,
     {"Intake servo must be enabled", "Intake servo must be enabled", "Intake servo must be enabled",
      "Musí být povoleno sací servo"}},
    {71,
     {"Intake servo must be disabled", "Intake servo must be disabled", "Intake servo must be disabled",
      "Sací servo nesmí být povoleno"}},
    {72,
     {"Intake servo must be enabled ohne step out", "Intake servo must be enabled ohne step out",
      "Intake servo must be enabled ohne step out", "Musí být povoleno sací servo a krokový motor ne"}},
    {73, ALL4("Idle")},
    {74, ALL4("desired RPM")},
    {75, ALL4("Start position of intake servo")},
    {76, ALL4("TPS min [in steps of servo]")},
};

constexpr CaptionRow kCaptions[] = {
    {"TFormHlav",
     CaptionKind::Caption,
     {"Programming of Torvane_2008 unit", "Programmierung der Torvane_2008 Zündbox",
      "Programation de Torvane_2008 unité", "Programování jednotky Torvane_2008"}},
    {"LabelSpojeni",
     CaptionKind::Caption,
     {"No connection with PC", "Keine Verbindung zum PC", "Pas de connection acec pc", "Není spojení s PC"}},
    {"LabelEeDataErr",
     CaptionKind::Caption,
     {"Programmed data error!", "Abgelegte Daten Fehler!", "Programmed data error!",
      "Chyba naprogramovaných dat!"}},
    {"MenuFile", CaptionKind::Caption, ALL4("&File")},
    {"MenuNew", CaptionKind::Caption, ALL4("&New")},
    {"MenuNewActPage", CaptionKind::Caption, ALL4("New for actual page")},
    {"MenuOpen", CaptionKind::Caption, ALL4("&Open")},
    {"MenuOpenActPage", CaptionKind::Caption, ALL4("Open for actual page")},
    {"MenuSave", CaptionKind::Caption, ALL4("&Save")},
    {"MenuPrint", CaptionKind::Caption, ALL4("&Print")},
    {"MenuExit", CaptionKind::Caption, ALL4("E&xit")},
    {"MenuCom", CaptionKind::Caption, ALL4("&Com")},
    {"MenuDevice", CaptionKind::Caption, {"&Ignition", "&Zündung", "&Allumage", "&Zapalování"}},
    {"MenuRead", CaptionKind::Caption, ALL4("&Read")},
    {"ButtonRead", CaptionKind::Caption, ALL4("&Read")},
    {"MenuVerify", CaptionKind::Caption, ALL4("&Verify")},
    {"ButtonVerify", CaptionKind::Caption, ALL4("&Verify")},
    {"MenuProgram", CaptionKind::Caption, ALL4("&Program")},
    {"ButtonProgram", CaptionKind::Caption, ALL4("&Program")},
    {"Menu_Jet123Normal", CaptionKind::Caption, ALL4("Separate")},
    {"Menu_Jet123Coupled", CaptionKind::Caption, ALL4("Coupled")},
    {"Menu_Jet123Stejny", CaptionKind::Caption, ALL4("1=2=3=4")},
    {"Menu_Jet123Mode", CaptionKind::Caption, ALL4("Jet 1234")},
    {"MenuTools", CaptionKind::Caption, ALL4("Tools")},
    {"MenuToolsMinus", CaptionKind::Caption, ALL4("Minus ")},
    {"MenuToolsPlus", CaptionKind::Caption, ALL4("Plus")},
    {"MenuZpet", CaptionKind::Caption, ALL4("Undo")},
    {"MenuZnovu", CaptionKind::Caption, ALL4("Redo")},
    {"MenuLanguage", CaptionKind::Caption, {"&Language", "&Sprache", "&Langue", "&Jazyk"}},
    {"MenuEnglish", CaptionKind::Caption, {"&English", "&Englisch", "&Englais", "&Anglicky"}},
    {"MenuGerman", CaptionKind::Caption, {"&German", "&Deutsch", "&Allemand", "&Německy"}},
    {"MenuFrench", CaptionKind::Caption, {"&French", "&Französisch", "&Francais", "Francouzky"}},
    {"MenuCzech", CaptionKind::Caption, {"&Czech", "&Tschechisch", "&Tchèque", "Če&sky"}},
    {"MenuHelp", CaptionKind::Caption, ALL4("&Help")},
    {"MenuContens", CaptionKind::Caption, ALL4("&Contents...")},
    {"MenuAbout", CaptionKind::Caption, ALL4("&About...")},
    {"MenuServis", CaptionKind::Caption, ALL4("Service")},
    {"MenuSaveAllNew", CaptionKind::Caption, ALL4("Save All New")},
    {"MenuCompareAll", CaptionKind::Caption, ALL4("Compare All New")},
    {"TabSheet_Bike", CaptionKind::Caption, ALL4("Bike")},
    {"TabSheet_Synchro", CaptionKind::Caption, ALL4("Synchro")},
    {"TabSheet_Advance", CaptionKind::Caption, ALL4("Advance")},
    {"TabSheet_Jet1A", CaptionKind::Caption, ALL4("Inj. 1")},
    {"TabSheet_Jet2A", CaptionKind::Caption, ALL4("Inj. 2")},
    {"TabSheet_Jet3A", CaptionKind::Caption, ALL4("Inj. 3")},
    {"TabSheet_Jet4A", CaptionKind::Caption, ALL4("Inj. 4")},
    {"TabSheet_JetB", CaptionKind::Caption, ALL4("Inj. B")},
    {"TabSheet_Iap", CaptionKind::Caption, ALL4("Inj. IAP")},
    {"TabSheet_Poloha", CaptionKind::Caption, ALL4("Position")},
    {"TabSheet_Korekce", CaptionKind::Caption, ALL4("Corrections")},
    {"TabSheet_Cidla", CaptionKind::Caption, ALL4("Sensors")},
    {"TabSheet_ServoIn", CaptionKind::Caption, ALL4("Intake servo")},
    {"TabSheet_ServoEx", CaptionKind::Caption, ALL4("Exhaust servo ")},
    {"TabSheet_Idle", CaptionKind::Caption, ALL4("Idle")},
    {"TabSheet_Gas", CaptionKind::Caption, ALL4("N2O")},
    {"TabSheet_Race", CaptionKind::Caption, ALL4("Race")},
    {"TabSheet_Gear", CaptionKind::Caption, ALL4("Gear")},
    {"TabSheet_Monitor", CaptionKind::Caption, ALL4("Monitor")},
    {"CheckBoxProgHned", CaptionKind::Caption, ALL4("Programming after change")},
    {"CheckBoxExtMonitor", CaptionKind::Caption, ALL4("Detailed representation")},
    {"LabelFile1", CaptionKind::Caption, ALL4("File:")},
    {"LabelMemo",
     CaptionKind::Caption,
     {"Memo sheet:", "Notizblock", "Memo sheet:", "Poznámka uložená v zapalování:"}},
    {"GroupBoxMonInput", CaptionKind::Caption, ALL4("Input to ground")},
    {"LabelVerze1", CaptionKind::Hint, ALL4("Version of program in ignition")},
    {"LabelVerze2", CaptionKind::Hint, ALL4("Date of program in ignition")},
    {"LabelVerze3", CaptionKind::Hint, ALL4("Time of program in ignition")},
    {"SpeedButton5", CaptionKind::Hint, ALL4("Open file with parametrs")},
    {"MenuOpen", CaptionKind::Hint, ALL4("Open file with parametrs")},
    {"SpeedButton6", CaptionKind::Hint, ALL4("Set default parametrs")},
    {"MenuNew", CaptionKind::Hint, ALL4("Set default parametrs")},
    {"SpeedButton7", CaptionKind::Hint, ALL4("Save parametrs to file")},
    {"MenuSave", CaptionKind::Hint, ALL4("Save parametrs to file")},
    {"SpeedButtonPrint", CaptionKind::Hint, ALL4("Print parametrs")},
    {"MenuPrint", CaptionKind::Hint, ALL4("Print parametrs")},
    {"ButtonProgram", CaptionKind::Hint, ALL4("Programing  set parametrs to ignition")},
    {"MenuProgram", CaptionKind::Hint, ALL4("Programing  set parametrs to ignition")},
    {"ButtonVerify", CaptionKind::Hint, ALL4("Compare set parametrs  with parametrs of ignition")},
    {"MenuVerify", CaptionKind::Hint, ALL4("Compare set parametrs  with parametrs of ignition")},
    {"ButtonRead", CaptionKind::Hint, ALL4("Read|Reading parametrs from ignition")},
    {"MenuRead", CaptionKind::Hint, ALL4("Reading parametrs from ignition")},
    {"MenuExit", CaptionKind::Hint, ALL4("End of program")},
    {"MenuLanguage", CaptionKind::Hint, ALL4("Language|Set English or German or French")},
    {"CheckBoxProgHned", CaptionKind::Hint, ALL4("Programing at once after change")},
    {"MenuCom", CaptionKind::Hint, ALL4("Set number of com")},
    // Item lists of the radio groups and combo boxes, one item per line.
    {"RadioGroupSynchroHrana", CaptionKind::Items, ALL4("Prvni\nDruha\nObe (aprilia 98)\nObe (aprilia Sxv 450)")},
    {"RadioGroupKyvani1", CaptionKind::Items, ALL4("Nekratsi\nNejdelsi")},
    {"RadioGroupKyvani2", CaptionKind::Items, ALL4("Nekratsi\nNejdelsi")},
    {"RadioGroupKyvaniFazeOtacka1", CaptionKind::Items, ALL4("1.\n2.")},
    {"RadioGroupKyvaniFazeOtacka2", CaptionKind::Items, ALL4("1.\n2.")},
    {"RadioGroupPolohaA",
     CaptionKind::Items,
     {"Beginning\nCentre\nEnd", "Beginning\nCentre\nEnd", "Beginning\nCentre\nEnd", "Počátek\nStřed\nKonec"}},
    {"RadioGroupPolohaB",
     CaptionKind::Items,
     {"Beginning\nCentre\nEnd", "Beginning\nCentre\nEnd", "Beginning\nCentre\nEnd", "Počátek\nStřed\nKonec"}},
    {"RadioGroupPotencMode", CaptionKind::Items, ALL4("No\nInjection\nAdvance")},
    {"RadioGroupIdleMode",
     CaptionKind::Items,
     ALL4("No\nIntake servo\nStep motor without potentiometer\nStep motor set TPS min")},
    {"RadioGroupClutchMode", CaptionKind::Items, ALL4("No ignition\nRetard")},
    {"RadioGroupGearSystem", CaptionKind::Items, ALL4("Voltage\nRation Rpm Speed\nAutomat (Ratio Rpm Speed)\nNo")},
    {"RadioGroupSpeedMode", CaptionKind::Items, ALL4("Pulse over 1s for 100 km/hod\nDistance for pulse [mm]")},
    {"RadioGroupServoMode", CaptionKind::Items, ALL4("R + T\nRPM\nTPS")},
    {"ComboBoxSynchro1",
     CaptionKind::Items,
     ALL4("Vynechané 2 výstupky\nVynechany 1výstupek\nVynechany 1výstupek verze2\nVačka\nVačka Honda\nJeden "
          "palec\nDva palce\nPosunuty palec\nVynechane vystupky na vacce")},
    {"ComboBoxSynchro2",
     CaptionKind::Items,
     ALL4("Neni treba\nVacka\nKyvani 1\nKyvani 2\nKyvani 1 zyl\nNeni (nerozlisuji otacky) ")},
};

#undef ALL4

int clampLanguage(int languageIndex) {
    return languageIndex >= 0 && languageIndex < LanguageCount ? languageIndex : 0;
}

}  // namespace

std::string MessageText(int n, int languageIndex) {
    const int lang = clampLanguage(languageIndex);
    const auto* row = std::find_if(std::begin(kMessages), std::end(kMessages),
                                   [n](const MessageRow& r) { return r.number == n; });
    if (row == std::end(kMessages)) return {};
    return std::string(row->text[static_cast<std::size_t>(lang)]);
}

std::string ChannelCorrectionText(int languageIndex, std::uint8_t pocKanOut) {
    std::string_view suffix = " 1,2,3,4";
    if (pocKanOut == 1) suffix = " 1";
    if (pocKanOut == 2) suffix = " 1,2";
    if (pocKanOut == 3) suffix = " 1,2,3";
    return MessageText(57, languageIndex) + std::string(suffix);
}

std::string HelpOpenErrorText(int languageIndex) {
    return MessageText(32, languageIndex) + MessageText(4, languageIndex) + " !";
}

std::span<const CaptionRow> CaptionTable() {
    return kCaptions;
}

std::string CaptionText(std::string_view control, CaptionKind kind, int languageIndex) {
    const int lang = clampLanguage(languageIndex);
    for (const CaptionRow& row : kCaptions) {
        if (row.control == control && row.kind == kind)
            return std::string(row.text[static_cast<std::size_t>(lang)]);
    }
    return {};
}

}  // namespace torvane
