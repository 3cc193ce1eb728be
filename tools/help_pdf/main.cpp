// help_pdf INPUT.md OUTPUT.pdf: one help document of the configurator as an A4 PDF.
// Run it with QT_QPA_PLATFORM=offscreen where there is no display.

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

#include "help_pdf.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    return torvane::RunHelpPdf(app.arguments().mid(1), err);
}
