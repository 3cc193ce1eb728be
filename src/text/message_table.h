#pragma once
// The program's texts in its four languages: numbered messages and the captions of named controls.
// Texts are UTF-8; the language index is 0 English, 1 German, 2 French, 3 Czech.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace torvane {

inline constexpr int LanguageCount = 4;
inline constexpr int MessageCount = 77;

enum class Language : std::uint8_t { English = 0, German = 1, French = 2, Czech = 3 };

// The numbered messages by name. The numbers are those of the message table; 0..3, 30, 37, 38 and 46
// have no text. Names convert to int, so they pass wherever a message number is taken.
enum Message : int {
    MsgHelpDocument = 4,  // file name of the help document in the language
    MsgProgramError = 5,
    MsgVerifyError = 6,
    MsgReadError = 7,
    MsgProgramDevice = 8,           // status caption while programming
    MsgProgramVersionMismatch = 9,  // the unit's program does not match the PC program
    MsgVerify = 10,                 // status caption while verifying
    MsgRead = 11,                   // status caption while reading
    MsgAdvance = 12,
    MsgProgrammingCount = 13,
    MsgBlocking = 14,
    MsgStartLimiter = 15,
    MsgIgnLimiter = 16,  // limiter by ignition
    MsgJetLimiter = 17,  // limiter by injection
    MsgRetardLimiter = 18,
    MsgYes = 19,
    MsgNo = 20,
    MsgTwinkle = 21,
    MsgCpsPolarity = 22,
    MsgPositive = 23,
    MsgNegative = 24,
    MsgComOpeningError = 25,
    MsgOpenFileError = 26,
    MsgAskDefaultSetting = 27,
    MsgAskDefaultPageSetting = 28,
    MsgFileVersionMismatch = 29,  // a parameter file of another version
    MsgPrintDateTime = 31,        // stamp on the printed page, before the date and time
    MsgFileOpeningError = 32,     // stem before the name of the document that did not open
    MsgPickupCkps = 33,
    MsgPickupCmps = 34,
    MsgRunning = 35,
    MsgNoSignal = 36,
    MsgBaseAdvance = 39,
    MsgSaving = 40,
    MsgInjectionTime = 41,
    MsgMaxInjection = 42,
    MsgPosition = 43,
    MsgExhaustServo = 44,
    MsgIntakeServo = 45,
    MsgPotentiometer = 47,
    MsgFallSensor = 48,
    MsgCooling = 49,
    MsgGear = 50,
    MsgSpeed = 51,
    MsgShiftLight = 52,
    MsgChoke = 53,
    MsgIapToTp = 54,
    MsgHysteresis = 55,
    MsgLobeWidth = 56,
    MsgCylinderCorrection = 57,
    MsgTpsMin = 58,
    MsgTpsMax = 59,
    MsgRpmMin = 60,
    MsgRpmMax = 61,
    MsgClutch = 62,
    MsgTacho = 63,
    MsgLambda = 64,
    MsgTachoLambda = 65,
    MsgJetByTps = 66,
    MsgPeriod = 67,
    MsgExcitation = 68,
    MsgCoolant = 69,
    MsgIntakeServoMustBeEnabled = 70,
    MsgIntakeServoMustBeDisabled = 71,
    MsgIntakeServoWithoutStepMotor = 72,  // intake servo enabled, its step motor not
    MsgIdle = 73,
    MsgDesiredRpm = 74,
    MsgIntakeServoStartPosition = 75,
    MsgTpsMinInServoSteps = 76,
};

// Message n (4..76) in the given language; scratch entries 0..3, unused 46 and any number
// outside the table give an empty text. A language index above 3 reads as English.
std::string MessageText(int n, int languageIndex);

// MsgCylinderCorrection with a suffix that names the injection channels in use.
std::string ChannelCorrectionText(int languageIndex, std::uint8_t pocKanOut);

// MsgFileOpeningError composed with the help document's name.
std::string HelpOpenErrorText(int languageIndex);

// Texts the window adds beyond the numbered messages.
enum class WindowText : std::uint8_t {
    NoPrinter,    // no printer is installed: offer the PDF instead
    PrintFailed,  // the printer refused the job
    PrintToPdf,   // caption of the File menu item
    PdfFilter,    // the file dialog's filter for PDF files
};
std::string WindowTextOf(WindowText text, int languageIndex);

enum class CaptionKind : std::uint8_t { Caption, Hint, Items };

struct CaptionRow {
    std::string_view control;  // objectName of the control ("TFormHlav" for the window)
    CaptionKind kind;
    std::array<std::string_view, LanguageCount> text;  // for Items: entries separated by '\n'
};

std::span<const CaptionRow> CaptionTable();
// The row's text for a language; empty when the control has no such row.
std::string CaptionText(std::string_view control, CaptionKind kind, int languageIndex);

}  // namespace torvane
