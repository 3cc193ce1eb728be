#pragma once
// Turns a help document written in Markdown into an A4 PDF: the build's help_docs target runs it once
// per language, so the Help menu finds torvane_2008_xx.pdf next to the program.

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

class QTextDocument;

namespace torvane {

inline constexpr int HelpPdfOk = 0;
inline constexpr int HelpPdfUsage = 2;  // bad arguments, unreadable input or unwritable output

struct HelpPdfArguments {
    QString input;
    QString output;
};

// The arguments after the program name: exactly INPUT.md OUTPUT.pdf.
std::optional<HelpPdfArguments> ParseHelpPdfArguments(const QStringList& args);

// The title of the document: the text of its first heading, or `fallback` when it has none.
QString HelpTitle(const QString& markdown, const QString& fallback);

// Fills `doc` from the Markdown in the document's fonts: DejaVu Sans, commands in DejaVu Sans Mono on a
// shaded band that wraps, tables with ruled cells and a bold shaded header row.
void BuildHelpDocument(QTextDocument& doc, const QString& markdown);

// Lays the Markdown out on A4 pages and writes the PDF to `output` (through a temporary file, so a
// failed run leaves no half-written document). On failure `error` says why.
bool WriteHelpPdf(const QString& markdown, const QString& title, const QString& output, QString* error);

// The whole tool: needs a QGuiApplication. Messages go to `err`; the result is the exit code.
int RunHelpPdf(const QStringList& args, QTextStream& err);

}  // namespace torvane
