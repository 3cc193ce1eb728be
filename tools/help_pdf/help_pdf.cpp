#include "help_pdf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <vector>

namespace torvane {
namespace {

constexpr int Resolution = 300;         // dots per inch of the PDF's page coordinates
constexpr qreal BodyPointSize = 10.0;   // running text
constexpr qreal CodePointSize = 9.0;    // command lines and examples
constexpr qreal FooterPointSize = 8.0;  // title and page number under each page
const QMarginsF PageMarginsMm(20, 18, 20, 14);
const char* const BodyFamily = "DejaVu Sans";
const char* const CodeFamily = "DejaVu Sans Mono";
const QColor RuleColour(140, 140, 140);
const QColor HeaderShade(225, 230, 236);
const QColor CodeShade(242, 242, 242);

// Code spans and fenced blocks come in the system's fixed font; the document uses one known family.
void UseCodeFamily(QTextDocument& doc) {
    struct Range {
        int start;
        int length;
    };
    std::vector<Range> code;  // collected first: merging formats rearranges the fragments
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const bool fence = block.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fence || fragment.charFormat().fontFixedPitch())
                code.push_back({fragment.position(), fragment.length()});
        }
    }
    QTextCharFormat format;
    format.setFontFamilies({QString::fromLatin1(CodeFamily)});
    format.setFontFixedPitch(true);
    format.setFontPointSize(CodePointSize);
    for (const Range& range : code) {
        QTextCursor cursor(&doc);
        cursor.setPosition(range.start);
        cursor.setPosition(range.start + range.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
}

// A table right after a fenced block starts its first cell with an empty paragraph: drop such
// paragraphs, keeping the format of the text that follows.
void DropLeadingEmptyBlocks(QTextTableCell& cell) {
    for (;;) {
        const QTextBlock first = cell.firstCursorPosition().block();
        if (first.length() > 1 || first == cell.lastCursorPosition().block()) return;
        const QTextBlock next = first.next();
        const QTextBlockFormat format = next.blockFormat();
        QTextCursor cursor(next);
        cursor.deletePreviousChar();
        cursor.setBlockFormat(format);
    }
}

// Tables get thin ruled cells and a shaded header row, so columns of values stay readable on paper.
void StyleTables(QTextFrame* frame) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(0.5);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderBrush(RuleColour);
            format.setBorderCollapse(true);
            format.setCellSpacing(0);
            format.setTopMargin(4);
            format.setBottomMargin(8);
            format.setHeaderRowCount(1);
            table->setFormat(format);
            for (int row = 0; row < table->rows(); ++row) {
                for (int column = 0; column < table->columns(); ++column) {
                    QTextTableCell cell = table->cellAt(row, column);
                    DropLeadingEmptyBlocks(cell);
                    if (row == 0) {
                        QTextCharFormat bold;
                        bold.setFontWeight(QFont::Bold);
                        QTextCursor text = cell.firstCursorPosition();
                        text.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                        text.mergeCharFormat(bold);
                    }
                    QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                    cellFormat.setBorder(0.5);
                    cellFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                    cellFormat.setBorderBrush(RuleColour);
                    cellFormat.setPadding(3);
                    if (row == 0) cellFormat.setBackground(HeaderShade);
                    cell.setFormat(cellFormat);
                }
            }
        }
        StyleTables(child);
    }
}

// Headings get air above them, paragraphs a little below, and command lines a shaded band.
void SpaceBlocks(QTextDocument& doc) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        const QTextBlockFormat current = block.blockFormat();
        QTextBlockFormat format;
        if (current.headingLevel() > 0) {
            format.setTopMargin(current.headingLevel() <= 2 ? 14 : 9);
            format.setBottomMargin(4);
        } else if (current.hasProperty(QTextFormat::BlockCodeFence)) {
            format.setBackground(CodeShade);
            format.setNonBreakableLines(false);  // a long command line wraps instead of running off the page
            if (!block.next().blockFormat().hasProperty(QTextFormat::BlockCodeFence))
                format.setBottomMargin(6);
        } else if (block.textList() == nullptr && cursor.currentTable() == nullptr) {
            format.setBottomMargin(current.bottomMargin() + 3);
        } else {
            continue;
        }
        cursor.mergeBlockFormat(format);
    }
}

void DrawFooter(QPainter& painter, const QRectF& area, const QString& title, int page, int pages) {
    QFont font(QString::fromLatin1(BodyFamily));
    font.setPointSizeF(FooterPointSize);
    painter.save();
    painter.setFont(font);
    painter.setPen(QColor(90, 90, 90));
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignBottom, title);
    painter.drawText(area, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(page).arg(pages));
    painter.restore();
}

}  // namespace

std::optional<HelpPdfArguments> ParseHelpPdfArguments(const QStringList& args) {
    if (args.size() != 2) return std::nullopt;
    for (const QString& a : args) {
        if (a.isEmpty() || a.startsWith(QLatin1Char('-'))) return std::nullopt;
    }
    return HelpPdfArguments{args[0], args[1]};
}

QString HelpTitle(const QString& markdown, const QString& fallback) {
    static const QRegularExpression heading(QStringLiteral("^#{1,6}[ \\t]+(.+?)[ \\t#]*$"),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = heading.match(markdown);
    return match.hasMatch() ? match.captured(1) : fallback;
}

void BuildHelpDocument(QTextDocument& doc, const QString& markdown) {
    QFont body(QString::fromLatin1(BodyFamily));
    body.setPointSizeF(BodyPointSize);
    body.setStyleStrategy(QFont::PreferNoShaping);  // no "fi" ligatures, so the PDF's text stays searchable
    doc.setDefaultFont(body);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    UseCodeFamily(doc);
    StyleTables(doc.rootFrame());
    SpaceBlocks(doc);
}

bool WriteHelpPdf(const QString& markdown, const QString& title, const QString& output, QString* error) {
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(Resolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, PageMarginsMm,
                                         QPageLayout::Millimeter));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Torvane configurator help_pdf"));

        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&writer);
        BuildHelpDocument(doc, markdown);

        QPainter painter;
        if (!painter.begin(&writer)) {
            *error = QStringLiteral("the PDF could not be started");
            return false;
        }
        const qreal footerHeight = 9.0 / 25.4 * Resolution;  // 9 mm for the footer line and text
        const QSizeF bodySize(writer.width(), writer.height() - footerHeight);
        doc.setPageSize(bodySize);
        const int pages = doc.pageCount();
        for (int page = 0; page < pages; ++page) {
            if (page > 0) writer.newPage();
            const QRectF visible(0, page * bodySize.height(), bodySize.width(), bodySize.height());
            painter.save();
            painter.translate(0, -visible.top());
            painter.setClipRect(visible);
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = visible;
            doc.documentLayout()->draw(&painter, context);
            painter.restore();
            const QRectF footer(0, bodySize.height() + footerHeight * 0.3, bodySize.width(),
                                footerHeight * 0.7);
            DrawFooter(painter, footer, title, page + 1, pages);
        }
        painter.end();
    }
    if (file.write(pdf.data()) != pdf.data().size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

int RunHelpPdf(const QStringList& args, QTextStream& err) {
    const std::optional<HelpPdfArguments> parsed = ParseHelpPdfArguments(args);
    if (!parsed) {
        err << "usage: help_pdf INPUT.md OUTPUT.pdf\n"
               "Writes the Markdown help document INPUT.md as an A4 PDF to OUTPUT.pdf.\n";
        return HelpPdfUsage;
    }
    QFile input(parsed->input);
    if (QFileInfo(parsed->input).isDir() || !input.open(QIODevice::ReadOnly)) {
        err << "help_pdf: cannot read " << parsed->input << ": "
            << (input.error() == QFile::NoError ? QStringLiteral("is a directory") : input.errorString())
            << '\n';
        return HelpPdfUsage;
    }
    const QString markdown = QString::fromUtf8(input.readAll());
    QString error;
    if (!WriteHelpPdf(markdown, HelpTitle(markdown, QFileInfo(parsed->input).completeBaseName()),
                      parsed->output, &error)) {
        err << "help_pdf: cannot write " << parsed->output << ": " << error << '\n';
        return HelpPdfUsage;
    }
    return HelpPdfOk;
}

}  // namespace torvane
