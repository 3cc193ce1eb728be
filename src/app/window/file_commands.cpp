// The window's file commands: Save, Open and Open for actual page of parameter files, the service
// batch over all motorcycle types, and printing the page shown (on the default printer or as a PDF).

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include "app/monitor/gauge_widget.h"
#include "app/tools/tuning_tools.h"
#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "display/map_selection.h"
#include "files/parameter_file.h"
#include "files/service_batch.h"
#include "link/link_session.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "text/message_table.h"
#include "text/tool_texts.h"
#include "widgets/commit_check_box.h"
#include "widgets/named_control.h"
#include "widgets/spin_button.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

constexpr std::uint16_t PrintStampTicks = 200;  // about 11 s at 55 ms

const QString kSaveFilter = QStringLiteral("Ignition Parametrs(*.ign)");
const QString kOpenFilter = QStringLiteral("Ignition Parametrs(*.ign);;All Files (*.*)");

QString FromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

void TFormHlav::MenuSaveClick() {
    const QString path = prompts_->askSaveFileName({iniDir_, kSaveFilter, QStringLiteral("ign")});
    if (path.isEmpty()) return;
    // The file is tried before the page is taken, so a file that cannot be created changes nothing.
    {
        QFile probe(path);
        const bool existed = probe.exists();
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
            prompts_->showMessage(messageText(MsgOpenFileError));
            return;
        }
        probe.close();
        if (!existed) probe.remove();
    }
    PageToImage();
    NormalizeAll();
    ImageToPage();
    if (SaveParameterFile(path.toStdString(), image_) != FileResult::Ok) {
        prompts_->showMessage(messageText(MsgOpenFileError));
        return;
    }
    setCurrentFile(path);
}

void TFormHlav::openFile(bool pageOnly) {
    const QString path = prompts_->askOpenFileName({iniDir_, kOpenFilter, QStringLiteral("ign")});
    if (path.isEmpty()) return;
    openFileAt(path, pageOnly);
}

void TFormHlav::openFileAt(const QString& path, bool pageOnly) {
    LoadOptions options;
    options.pageOnly = pageOnly;
    options.currentPage = PageControl1->currentIndex();
    options.work = &editor_->injection();
    options.defaults = &editor_->defaultsState();
    FileDamage damage;
    // On anything but Ok the reader leaves the image alone: pages, history and file name stay too.
    switch (LoadParameterFile(path.toStdString(), image_, options, &damage)) {
        case FileResult::Unreadable:
            prompts_->showMessage(messageText(MsgOpenFileError));
            break;
        case FileResult::Refused:
            prompts_->showMessage(messageText(MsgFileVersionMismatch));
            break;
        case FileResult::Damaged:
            prompts_->showMessage(FromUtf8(ToolTextOf(ToolText::DamagedParameterFile, languageIndex_))
                                      .arg(damage.line)
                                      .arg(FromUtf8(damage.section)));
            break;
        case FileResult::Ok:
            // Committed like an edit: history entry, changed blocks, programming after change.
            NormalizeAll();
            ImageToPage();
            ImageToPage();
            editor_->TakeUndoSnapshot(ChangeKind::Chosen);
            setCurrentFile(path);
            break;
    }
    LabelHlaseni->setVisible(false);
    CGaugeProgram->setVisible(false);
}

void TFormHlav::MenuOpenClick() {
    openFile(false);
}

void TFormHlav::MenuOpenActPageClick() {
    openFile(true);
}

void TFormHlav::setCurrentFile(const QString& path) {
    const QString full = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (LabelFile2 != nullptr) LabelFile2->setText(full);
    iniDir_ = full;
}

// --- service batch -----------------------------------------------------------------------------

void TFormHlav::MenuSaveAllNewClick() {
    // The batch works on its own images: the window's image, page and history stay as they are.
    const SaveAllNewResult result = SaveAllNew(std::filesystem::current_path());
    if (result.folderFailed) {
        prompts_->showMessage(messageText(MsgOpenFileError));
        return;
    }
    for (std::size_t i = 0; i < result.failed.size(); ++i)
        prompts_->showMessage(messageText(MsgOpenFileError));
}

void TFormHlav::MenuCompareAllClick() {
    CompareAllNew(std::filesystem::current_path());
    prompts_->showMessage(FromUtf8(CompareAllNewMessage()));
}

// --- printing ----------------------------------------------------------------------------------

void TFormHlav::SetPrintMode(bool on) {
    printMode_ = on;
    const bool shown = !on;
    if (tools_ != nullptr) tools_->selection().setChoiceShown(shown);
    for (const char* name :
         {"StatusBar1", "ImageLogo2", "GroupBoxToolBar", "LabelSpojeni", "CSpinButtonPolohaA",
          "CSpinButtonPolohaB", "CheckBoxAll_PolohaA", "CheckBoxAll_PolohaB", "ButtonTps0", "ButtonTps100",
          "CheckBoxExtMonitor", "CGaugeRpm", "CGaugeTps", "CGaugeLambda", "CGaugeVoda"}) {
        if (auto* w = NamedControl<QWidget>(this, QLatin1String(name))) w->setVisible(shown);
    }
    // Spins keep their values; only their arrows go.
    auto arrows = [shown](SpinField* s) {
        if (s != nullptr) s->setUpDownShown(shown);
    };
    MapPanel* panel = editor_->mapPanel();
    // The grids (the map's and the position curves') drop their arrows, column buttons and chosen-cell
    // colours, and their row captions print on white; their values stay.
    for (MapGridView* grid : PageControl1->findChildren<MapGridView*>()) {
        if (on) grid->closeItemEditor();
        grid->grid().setPrintMode(on);
    }
    panel->toolsButton()->setVisible(shown);
    for (QCheckBox* box : {static_cast<QCheckBox*>(panel->msBox()), static_cast<QCheckBox*>(panel->allBox()),
                           static_cast<QCheckBox*>(panel->tpsBox())})
        box->setVisible(shown);
    const auto arrayArrows = [&](const char* base, int count) {
        for (int i = 0; i < count; ++i)
            arrows(NamedControl<SpinField>(this, QStringLiteral("%1[%2]").arg(base).arg(i)));
    };
    for (const char* base :
         {"UpDownPilotLight1", "UpDownPilotLight2", "UpDownClutchTime", "UpDownClutchPause"})
        arrayArrows(base, 6);
    for (const char* base : {"UpDownKorVoda", "UpDownKorVzduch"}) arrayArrows(base, 5);
    for (const char* name :
         {"UpDownStartJet",      "UpDownTps0",          "UpDownTps100",        "UpDownAkcelPrah",
          "UpDownAkcelJet",      "UpDownChlazeni",      "UpDownSyticCas1",     "UpDownSyticCas2",
          "UpDownSyticCas3",     "UpDownSyticCas4",     "UpDownSyticKorekce0", "UpDownSyticKorekce1",
          "UpDownSyticKorekce2", "UpDownSyticKorekce3", "UpDownGas1",          "UpDownGas2",
          "UpDownGasD",          "UpDownGasT",          "UpDownRetard1",       "UpDownRetard2",
          "UpDownRetardD",       "UpDownRetardT"})
        arrows(NamedControl<SpinField>(this, QLatin1String(name)));
    const int current = PageControl1->currentIndex();
    for (int page = 0; page < PageControl1->count(); ++page) {
        if (page != current) PageControl1->setTabVisible(page, shown);
    }
    if (!on && display_) display_->forgetPaint();  // the next tick paints every live colour afresh
}

QImage TFormHlav::printImage() {
    // 0. A window made smaller than its designed size scrolls its pages; the print shows the whole
    // page, so the window takes its designed size while the picture is taken.
    const QSize shown = size();
    const QSize whole(std::max(shown.width(), DesignClientWidth),
                      std::max(shown.height(), DesignClientHeight));
    if (whole != shown) resize(whole);
    // 1. The time stamp in the status label, kept up for about eleven seconds.
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    LabelHlaseni->setText(messageText(MsgPrintDateTime) + locale.toString(now.date(), QLocale::ShortFormat) +
                          QStringLiteral("    ") + locale.toString(now.time(), QLocale::LongFormat));
    QPalette stamp = LabelHlaseni->palette();
    stamp.setColor(QPalette::Window, Qt::white);
    LabelHlaseni->setPalette(stamp);
    LabelHlaseni->setVisible(true);
    link_->session().setMessageTimer(PrintStampTicks);
    // 2. No connection label, a white window, no progress gauge.
    LabelSpojeni->setVisible(false);
    const QPalette normal = palette();
    QPalette white = normal;
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    CGaugeProgram->setVisible(false);
    // 3. Without the editing aids.
    SetPrintMode(true);
    QApplication::processEvents();
    // 4. The window's client area as a picture.
    const QImage picture = centralWidget()->grab().toImage();
    // 5. Back as it was; the page's own rules restore what depends on its state.
    setPalette(normal);
    SetPrintMode(false);
    RefreshDisplay();
    LabelSpojeni->setVisible(false);  // the link logic shows it again when the unit stays silent
    if (size() != shown) resize(shown);
    return picture;
}

bool TFormHlav::printPicture(const QImage& picture, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect area = painter.viewport();
    QSize size = picture.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    painter.setViewport(area.x(), area.y(), size.width(), size.height());
    painter.setWindow(picture.rect());
    painter.drawImage(0, 0, picture);
    return painter.end();
}

bool TFormHlav::writePdf(const QImage& picture, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(picture.width() > picture.height() ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    return printPicture(picture, printer);
}

bool TFormHlav::PrintPageToPdf(const QString& path) {
    return writePdf(printImage(), path);
}

void TFormHlav::offerPdf(const QImage& picture, WindowText reason) {
    if (prompts_->askYesNoCancel(FromUtf8(WindowTextOf(reason, languageIndex_))) != PromptAnswer::Yes) return;
    savePdf(picture);
}

void TFormHlav::savePdf(const QImage& picture) {
    const QString path = prompts_->askSaveFileName(
        {QString(), FromUtf8(WindowTextOf(WindowText::PdfFilter, languageIndex_)), QStringLiteral("pdf")});
    if (path.isEmpty()) return;
    if (!writePdf(picture, path)) prompts_->showMessage(messageText(MsgOpenFileError));
}

void TFormHlav::PrintPage() {
    const QImage picture = printImage();
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) {
        offerPdf(picture, WindowText::NoPrinter);
        return;
    }
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    printer.setPageOrientation(picture.width() > picture.height() ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    if (!printPicture(picture, printer)) offerPdf(picture, WindowText::PrintFailed);
}

void TFormHlav::MenuPrintPdfClick() {
    savePdf(printImage());
}

}  // namespace torvane
