#include "cli/console_view.h"

#include "image/normalize.h"
#include "text/message_table.h"

namespace torvane {

ConsoleView::ConsoleView(std::ostream& out, std::ostream& err, DeviceImage& image, int languageIndex)
    : out_(out), err_(err), image_(image), languageIndex_(languageIndex) {}

void ConsoleView::setStatusText(const std::string& text) {
    text_ = text;
    // The window refreshes the same caption on every idle tick; a console line is printed once.
    if (printedAny_ && text == printedText_ && failure_ == printedFailure_) return;
    (failure_ ? err_ : out_) << text << '\n' << std::flush;
    printedAny_ = true;
    printedText_ = text;
    printedFailure_ = failure_;
}

void ConsoleView::setGaugeValue(int value) {
    gauge_ = value;
    if (!showGauge_ || value == printedGauge_) return;
    // Block steps are 9 apart; the storing countdown moves every tick and is thinned to the same pace.
    constexpr int MinGaugeStep = 9;
    const bool smallStep = printedGauge_ >= 0 && value > 0 && value < 100 &&
                           value > printedGauge_ - MinGaugeStep && value < printedGauge_ + MinGaugeStep;
    if (smallStep) return;
    printedGauge_ = value;
    out_ << "  " << value << "%\n" << std::flush;
}

void ConsoleView::setConnectionLabelVisible(bool visible) {
    if (visible && !connectionShown_) {
        err_ << CaptionText("LabelSpojeni", CaptionKind::Caption, languageIndex_) << '\n' << std::flush;
    }
    connectionShown_ = visible;
}

void ConsoleView::showVersionMessage(const std::string& text) {
    versionMismatch_ = true;
    err_ << text << '\n' << std::flush;
}

void ConsoleView::showPortError(const std::string& text) {
    portError_ = true;
    err_ << text << '\n' << std::flush;
}

// Where the window repairs the image and shows it on the pages, the console only repairs it.
void ConsoleView::normalizeAndShowImage() {
    NormalizeImage(image_);
}

void ConsoleView::showHeaderTexts(const UnitHeaderTexts& texts) {
    out_ << "Unit: " << texts.name << "  " << texts.date << "  " << texts.time << '\n' << std::flush;
}

}  // namespace torvane
