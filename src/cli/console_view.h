#pragma once
// The transfer status of the link session on a text console: each new caption of the status label
// on its own line (failures on the error stream), the gauge as a percentage, and the modal messages
// as lines. It also keeps what a window would show, so the command can tell how a transfer ended.

#include <ostream>
#include <string>
#include <vector>

#include "image/device_image.h"
#include "link/transfer_view.h"

namespace torvane {

class ConsoleView final : public TransferView {
  public:
    ConsoleView(std::ostream& out, std::ostream& err, DeviceImage& image, int languageIndex = 0);

    // Whether gauge values are printed (captions always are).
    void setShowGauge(bool show) { showGauge_ = show; }

    void setStatusText(const std::string& text) override;
    void setStatusFailure(bool failure) override { failure_ = failure; }
    void setGaugeValue(int value) override;
    void setConnectionLabelVisible(bool visible) override;
    void showVersionMessage(const std::string& text) override;
    void showPortError(const std::string& text) override;
    void normalizeAndShowImage() override;
    void showHeaderTexts(const UnitHeaderTexts& texts) override;
    void verificationFailed(int block, std::span<const std::uint8_t> unitBlock) override {
        failedBlock_ = block;
        unitBlock_.assign(unitBlock.begin(), unitBlock.end());
    }

    // The block that failed the last verification and the unit's last answer for it.
    int failedBlock() const { return failedBlock_; }
    const std::vector<std::uint8_t>& unitBlock() const { return unitBlock_; }

    const std::string& statusText() const { return text_; }
    bool statusFailure() const { return failure_; }
    int gaugeValue() const { return gauge_; }
    bool versionMismatchShown() const { return versionMismatch_; }
    bool portErrorShown() const { return portError_; }

  private:
    std::ostream& out_;
    std::ostream& err_;
    DeviceImage& image_;
    int languageIndex_;
    bool showGauge_ = true;

    std::string text_;
    bool failure_ = false;
    int failedBlock_ = -1;
    std::vector<std::uint8_t> unitBlock_;
    std::string printedText_;
    bool printedFailure_ = false;
    bool printedAny_ = false;
    int gauge_ = 0;
    int printedGauge_ = -1;
    bool connectionShown_ = false;
    bool versionMismatch_ = false;
    bool portError_ = false;
};

}  // namespace torvane
