// The help document tool: its arguments, its exit codes and the PDF it writes.

#include "help_pdf.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace torvane {
namespace {

int RunTool(const QStringList& args, QString* messages = nullptr) {
    QString text;
    QTextStream err(&text);
    const int code = RunHelpPdf(args, err);
    err.flush();
    if (messages != nullptr) *messages = text;
    return code;
}

QString WriteText(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return file.fileName();
}

TEST(HelpPdfArguments, NeedExactlyAnInputAndAnOutput) {
    EXPECT_FALSE(ParseHelpPdfArguments({}));
    EXPECT_FALSE(ParseHelpPdfArguments({"a.md"}));
    EXPECT_FALSE(ParseHelpPdfArguments({"a.md", "b.pdf", "c"}));
    EXPECT_FALSE(ParseHelpPdfArguments({"--help", "b.pdf"}));
    const auto parsed = ParseHelpPdfArguments({"a.md", "b.pdf"});
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->input, "a.md");
    EXPECT_EQ(parsed->output, "b.pdf");
}

TEST(HelpPdfTitle, IsTheFirstHeading) {
    EXPECT_EQ(HelpTitle("Intro\n\n# Torvane_2008 ##\n## Later\n", "x"), "Torvane_2008");
    EXPECT_EQ(HelpTitle("no heading here\n", "torvane_2008_en"), "torvane_2008_en");
}

QTextTable* FirstTable(QTextDocument& doc) {
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) return table;
    }
    return nullptr;
}

TEST(HelpPdfDocument, TableAfterACommandKeepsItsHeaderInOneBoldLine) {
    QTextDocument doc;
    BuildHelpDocument(doc, "```\ntorvane --simulate\n```\n\n| Option | Effect |\n|---|---|\n| a | b |\n");
    QTextTable* table = FirstTable(doc);
    ASSERT_NE(table, nullptr);
    const QTextTableCell head = table->cellAt(0, 0);
    const QTextBlock block = head.firstCursorPosition().block();
    EXPECT_EQ(block.text(), "Option");
    EXPECT_EQ(block, head.lastCursorPosition().block());
    EXPECT_EQ(block.begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_GT(table->format().border(), 0);
}

TEST(HelpPdfDocument, CommandLinesUseTheMonospacedFamilyAndWrap) {
    QTextDocument doc;
    BuildHelpDocument(doc, "Text\n\n```\ntorvane --port /dev/ttyUSB0\n```\n");
    const QTextBlock code = doc.findBlock(doc.find("torvane").position());
    EXPECT_FALSE(code.blockFormat().nonBreakableLines());
    EXPECT_EQ(code.begin().fragment().charFormat().fontFamilies().toStringList().value(0),
              "DejaVu Sans Mono");
}

TEST(HelpPdfRun, BadArgumentsExitWithTwoAndUsage) {
    QString messages;
    EXPECT_EQ(RunTool({"only.md"}, &messages), HelpPdfUsage);
    EXPECT_TRUE(messages.startsWith("usage: help_pdf INPUT.md OUTPUT.pdf"));
}

TEST(HelpPdfRun, UnreadableInputExitsWithTwo) {
    QTemporaryDir dir;
    QString messages;
    EXPECT_EQ(RunTool({dir.filePath("missing.md"), dir.filePath("out.pdf")}, &messages), HelpPdfUsage);
    EXPECT_TRUE(messages.contains("cannot read")) << messages.toStdString();
    EXPECT_EQ(RunTool({dir.path(), dir.filePath("out.pdf")}), HelpPdfUsage);
    EXPECT_FALSE(QFile::exists(dir.filePath("out.pdf")));
}

TEST(HelpPdfRun, UnwritableOutputExitsWithTwo) {
    QTemporaryDir dir;
    const QString input = WriteText(dir, "in.md", "# Title\n\ntext\n");
    QString messages;
    EXPECT_EQ(RunTool({input, dir.filePath("no/such/folder/out.pdf")}, &messages), HelpPdfUsage);
    EXPECT_TRUE(messages.contains("cannot write")) << messages.toStdString();
}

TEST(HelpPdfRun, WritesAPdfWithHeadingsTablesAndAccents) {
    QTemporaryDir dir;
    QByteArray text =
        "# Příručka – Handbuch\n\n## Kapitel ěščřžýáíéůüöäßèàç\n\n"
        "| Taste | Befehl |\n|---|---|\n| F7 | Lesen |\n| F9 | Programmieren |\n\n"
        "    torvane --simulate\n";
    for (int i = 0; i < 200; ++i) text += "Zeile " + QByteArray::number(i) + " mit Text.\n\n";
    const QString input = WriteText(dir, "in.md", text);
    const QString output = dir.filePath("out.pdf");
    ASSERT_EQ(RunTool({input, output}), HelpPdfOk);
    QFile pdf(output);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_GE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2)
        << "200 paragraphs do not fit one A4 page";
}

}  // namespace
}  // namespace torvane

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
