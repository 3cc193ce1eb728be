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

// Message n (4..76) in the given language; scratch entries 0..3, unused 46 and any number
// outside the table give an empty text. A language index above 3 reads as English.
std::string MessageText(int n, int languageIndex);

// Message 57 carries a suffix that names the injection channels in use.
std::string ChannelCorrectionText(int languageIndex, std::uint8_t pocKanOut);

// Message 32 is composed with the help document's name.
std::string HelpOpenErrorText(int languageIndex);

// Texts the window adds beyond the numbered messages.
enum class WindowText : std::uint8_t {
    NoPrinter,      // no printer is installed: offer the PDF instead
    PrintFailed,    // the printer refused the job
    PrintToPdf,     // caption of the File menu item
    PdfFilter,      // the file dialog's filter for PDF files
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
