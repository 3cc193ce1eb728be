#include "link/link_session.h"

#include <algorithm>

#include "text/message_table.h"

namespace torvane {

LinkSession::LinkSession(SerialPort& port, DeviceImage& image, const LiveValues& live, TransferView& view)
    : port_(port), image_(image), live_(live), view_(view) {
    setDeviceNamer(nullptr);
}

void LinkSession::setDeviceNamer(DeviceNamer namer) {
    if (namer) {
        deviceNamer_ = std::move(namer);
    } else {
        deviceNamer_ = [](int index) { return "COM" + std::to_string(index + 1); };
    }
}

std::string LinkSession::message(int n) const {
    return MessageText(n, languageIndex_);
}

void LinkSession::OpenComPort() {
    const std::string device = deviceNamer_(comPortIndex_);
    const bool opened = !device.empty() && port_.open(device);
    if (!opened && !quietReopen_) view_.showPortError(message(MsgComOpeningError));
    view_.setPortChecks(comPortIndex_ < ComPortEntries ? comPortIndex_ : -1);
}

void LinkSession::CloseComPort() {
    if (port_.isOpen()) port_.close();
}

void LinkSession::MenuComClick(int index) {
    if (index < 0 || index >= ComPortEntries) return;
    comPortIndex_ = static_cast<std::uint8_t>(index);
    CloseComPort();
    quietReopen_ = false;
    OpenComPort();
}

void LinkSession::WriteFrame(std::span<const std::uint8_t> bytes) {
    // A failed write is not reported: the missing answer runs into the transfer time-out.
    (void)port_.write(bytes);
}

void LinkSession::SendTransferFrame() {
    currentBlock_ = currentCommand_ & BlockMask;
    transmit_[0] = currentCommand_;
    const bool zeros = state_ == TransferState::Reading || currentBlock_ == 0 || currentBlock_ > LastBlock;
    if (zeros) {
        std::fill(transmit_.begin() + 1, transmit_.end() - 1, std::uint8_t{0});
    } else {
        std::ranges::copy(image_.block(currentBlock_), transmit_.begin() + 1);
    }
    transmit_[FrameSize - 1] = FrameChecksum(std::span<const std::uint8_t>(transmit_.data(), FrameSize - 1));
    WriteFrame(transmit_);
}

void LinkSession::SendMonitorRequest() {
    transmit_ = MakeMonitorRequest();
    WriteFrame(transmit_);
}

void LinkSession::PollComPort() {
    // A failed status query counts as an empty receive queue.
    const std::size_t waiting = port_.bytesWaiting().value_or(0);
    bytesRead_ = 0;
    if (waiting < FrameSize) return;
    const std::size_t wanted = std::min(waiting, ReceiveBufferSize);
    bytesRead_ = std::min(port_.read(std::span<std::uint8_t>(receive_.data(), wanted)), wanted);
    // Only a whole frame is interpreted; a short read would leave stale bytes behind it.
    if (bytesRead_ < FrameSize) return;
    const std::span<const std::uint8_t> frame(receive_.data(), FrameSize);
    if (frame[0] == MonitorAnswerCommand) {
        if (!FrameIsValid(frame)) return;
        silenceCounter_ = 0;
        if (monitorHandler_) monitorHandler_(frame);
    } else {
        HandleTransferReply(frame);
    }
}

void LinkSession::Tick() {
    PollComPort();
    TickLinkState();
    TickStatusDisplay();
    TickWatchdog();
}

void LinkSession::TickStatusDisplay() {
    if (messageTimer_ == 0) return;
    if (--messageTimer_ == 0) {
        failureShown_ = false;
        view_.setStatusVisible(false);
        view_.setGaugeVisible(false);
        programDone_ = false;
    }
}

void LinkSession::TickWatchdog() {
    if (silenceCounter_ < SilenceLimitTicks) {
        ++silenceCounter_;
        view_.setConnectionLabelVisible(false);
        return;
    }
    if (!view_.printJobInProgress()) view_.setConnectionLabelVisible(true);
    // Not reset when frames come back, so the first reopen after a new loss may come sooner.
    if (++reopenCounter_ >= ReopenTicks) {
        reopenCounter_ = 0;
        CloseComPort();
        quietReopen_ = true;
        OpenComPort();
    }
}

}  // namespace torvane
