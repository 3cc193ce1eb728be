// The transfers of the device image between the PC and the unit: one request per answer, resent
// on time-out, with the status caption and gauge following the blocks.

#include <algorithm>
#include <cstdio>

#include "link/link_session.h"
#include "text/message_table.h"

namespace torvane {

namespace {

constexpr std::uint8_t ReadFirstCommand = ReadCommandBit;        // read block 0
constexpr std::uint8_t VerifyFirstCommand = ReadCommandBit | 1;  // verify block 1

int BlockGauge(int block) {
    return block * GaugeFull / BlockCount;
}

std::span<const std::uint8_t> Payload(std::span<const std::uint8_t> frame) {
    return frame.subspan(1, PayloadSize);
}

}  // namespace

void LinkSession::showProgress(int messageNumber, const std::string& suffix) {
    failureShown_ = false;
    view_.setStatusFailure(false);
    view_.setStatusText(message(messageNumber) + suffix);
    messageTimer_ = StatusDisplayTicks;
    view_.setStatusVisible(true);
}

void LinkSession::setGauge(int value) {
    view_.setGaugeValue(std::clamp(value, 0, GaugeFull));
}

// --- starting a transfer ---------------------------------------------------------------------
// No command checks for a running transfer: each overwrites the state and so abandons it.

void LinkSession::MenuReadClick() {
    state_ = TransferState::Reading;
    currentCommand_ = ReadFirstCommand;
    retryCount_ = 0;
    showProgress(MsgRead, "");
    setGauge(0);
    view_.setGaugeVisible(true);
    view_.clearLoadedFileCaption();
    programDone_ = false;
}

void LinkSession::MenuVerifyClick() {
    view_.takeActivePageIntoImage();
    view_.normalizeAndShowImage();
    state_ = TransferState::Verifying;
    verifying_ = VerifiedAfter::Verify;
    lastUnitBlock_.clear();
    currentCommand_ = VerifyFirstCommand;
    retryCount_ = 0;
    showProgress(MsgVerify, "");
    programDone_ = false;
    setGauge(0);
    view_.setGaugeVisible(true);
}

void LinkSession::MenuProgramClick() {
    view_.takeActivePageIntoImage();
    view_.normalizeAndShowImage();
    verifyAfterProgram_ = true;
    blockChanged_.fill(true);
    ProgramChangedBlocks();
}

void LinkSession::ProgramChangedBlocks() {
    const auto first = std::ranges::find(blockChanged_, true);
    if (first == blockChanged_.end()) return;
    const int block = static_cast<int>(first - blockChanged_.begin());
    currentCommand_ = static_cast<std::uint8_t>(block);
    retryCount_ = 0;
    setGauge(BlockGauge(block));
    state_ = TransferState::Programming;
    showProgress(MsgProgramDevice, "");
    view_.setGaugeVisible(true);
    programDone_ = false;
}

// --- tick step 2 -----------------------------------------------------------------------------

void LinkSession::TickLinkState() {
    if (state_ == TransferState::Idle) {
        // The fast monitor adds requests between the regular ones; the counter runs as always, so a
        // transfer started now waits as long for its first request as without it.
        if (++tickCounter_ >= ResendTicks) {
            tickCounter_ = 0;
            SendMonitorRequest();
        } else if (fastMonitor_) {
            SendMonitorRequest();
        }
        if (live_.UnitSavingCountdown > 0) {
            // A failure caption stays up for its time: the unit storing what did arrive must not turn
            // "Program error!" into progress. Only the gauge follows the storing then.
            if (!failureShown_) {
                view_.setStatusFailure(false);
                view_.setStatusText(message(MsgSaving));
                messageTimer_ = StatusDisplayTicks;
            }
            setGauge((SavingCountdownFull - static_cast<int>(live_.UnitSavingCountdown)) * GaugeFull /
                     SavingCountdownFull);
        } else if (programDone_ && !failureShown_) {
            view_.setStatusText(message(MsgProgramDevice) + " OK");
            setGauge(GaugeFull);
        }
        return;
    }

    // The counter runs on across the steps of a transfer: an answer does not restart it.
    if (++tickCounter_ >= ResendTicks) {
        tickCounter_ = 0;
        ++retryCount_;
        if (retryCount_ <= MaxTransmissions) {
            SendTransferFrame();
        } else {
            failTransfer();
        }
    }
    if (state_ == TransferState::Reading) programDone_ = false;
}

void LinkSession::failTransfer() {
    const int text = state_ == TransferState::Programming ? MsgProgramError
                     : state_ == TransferState::Verifying ? MsgVerifyError
                                                          : MsgReadError;
    const bool verifying = state_ == TransferState::Verifying;
    if (verifying) programDone_ = false;
    state_ = TransferState::Idle;
    view_.setStatusFailure(true);
    view_.setStatusText(message(text));
    failureShown_ = true;
    messageTimer_ = StatusDisplayTicks;
    if (verifying) {
        view_.verificationFailed(currentBlock_, lastUnitBlock_);
        lastUnitBlock_.clear();
    }
}

// --- answers ---------------------------------------------------------------------------------

void LinkSession::HandleTransferReply(std::span<const std::uint8_t> frame) {
    if (frame.size() < FrameSize || !FrameIsValid(frame.first(FrameSize))) return;
    currentBlock_ = currentCommand_ & BlockMask;
    if (currentBlock_ > LastBlock) return;
    if (frame[0] != (currentCommand_ ^ AnswerBit)) return;
    if (state_ == TransferState::Idle) return;
    silenceCounter_ = 0;
    const auto payload = Payload(frame);
    switch (state_) {
        case TransferState::Reading:
            handleReadReply(payload);
            break;
        case TransferState::Verifying:
            handleVerifyReply(payload);
            break;
        case TransferState::Programming:
            handleProgramReply(payload);
            break;
        case TransferState::Idle:
            break;
    }
}

void LinkSession::nextRequest(std::uint8_t command) {
    currentCommand_ = command;
    retryCount_ = 1;
    SendTransferFrame();
}

void LinkSession::startVerification(const std::string& captionSuffix) {
    state_ = TransferState::Verifying;
    lastUnitBlock_.clear();
    nextRequest(VerifyFirstCommand);
    showProgress(MsgVerify, captionSuffix);
    setGauge(0);
}

void LinkSession::handleReadReply(std::span<const std::uint8_t> payload) {
    if (currentBlock_ == 0) {
        std::ranges::copy(payload, image_.block(0).begin());
        DecodeUnitHeader();
        if (HeaderDataVersion(image_.block(0)) != ProgramVersion) {
            stopForVersion(true);
            return;
        }
    } else {
        std::ranges::copy(payload, readStaging_.begin() + BlockSize * currentBlock_);
    }

    if (currentBlock_ < LastBlock) {
        setGauge(BlockGauge((currentCommand_ + 1) & BlockMask));
        nextRequest(static_cast<std::uint8_t>(currentCommand_ + 1));
        return;
    }

    // All blocks are in: only now does the read replace the configuration.
    std::copy(readStaging_.begin() + BlockSize, readStaging_.end(), image_.bytes().begin() + BlockSize);
    view_.normalizeAndShowImage();
    // The unit holds what was read: a block is still to be programmed only where the repair of the
    // image changed what the unit sent.
    const std::span<const std::uint8_t> read(readStaging_);
    blockChanged_[0] = false;
    for (std::size_t b = 1; b < BlockCount; ++b)
        blockChanged_[b] =
            !std::ranges::equal(read.subspan(BlockSize * b, BlockSize), image_.block(static_cast<int>(b)));
    view_.readCompleted(read.subspan(BlockSize));
    verifying_ = VerifiedAfter::Read;
    startVerification(":");
}

void LinkSession::handleVerifyReply(std::span<const std::uint8_t> payload) {
    // A difference leaves everything as it is: the tick step repeats the request until the
    // retries run out.
    if (!std::ranges::equal(payload, image_.block(currentBlock_))) {
        lastUnitBlock_.assign(payload.begin(), payload.end());
        return;
    }
    lastUnitBlock_.clear();

    if (currentBlock_ < LastBlock) {
        setGauge(BlockGauge((currentCommand_ + 1) & BlockMask));
        nextRequest(static_cast<std::uint8_t>(currentCommand_ + 1));
        return;
    }
    verifyAfterProgram_ = false;
    setGauge(GaugeFull);
    showProgress(MsgVerify, " OK");
    state_ = TransferState::Idle;
    view_.verificationPassed(verifying_);
}

void LinkSession::handleProgramReply(std::span<const std::uint8_t> payload) {
    bool echoed = true;
    if (currentBlock_ == 0) {
        std::ranges::copy(payload, image_.block(0).begin());
        DecodeUnitHeader();
        view_.normalizeAndShowImage();
        if (HeaderDataVersion(image_.block(0)) != ProgramVersion) {
            stopForVersion(false);
            return;
        }
    } else {
        echoed = std::ranges::equal(payload, image_.block(currentBlock_));
    }

    // A block stays marked until the unit echoes it exactly: one that never does is sent again by the
    // next programming run, so no later run can end in "OK" while the unit holds other bytes. The
    // same request goes out again on the next time-out.
    if (!echoed) return;
    blockChanged_[currentBlock_] = false;
    if (currentBlock_ != 0) view_.blockProgrammed(currentBlock_);

    const auto next = std::ranges::find(blockChanged_, true);
    if (next != blockChanged_.end()) {
        const int block = static_cast<int>(next - blockChanged_.begin());
        setGauge(BlockGauge(block));
        nextRequest(static_cast<std::uint8_t>(block));
        return;
    }

    programDone_ = true;
    if (verifyAfterProgram_) {
        verifying_ = VerifiedAfter::Program;
        startVerification(":");
        return;
    }
    setGauge(GaugeFull);
    showProgress(MsgProgramDevice, " OK");
    state_ = TransferState::Idle;
}

void LinkSession::stopForVersion(bool normalizeFirst) {
    // The state is settled before the modal box opens: ticks run nested while it is shown.
    state_ = TransferState::Idle;
    if (normalizeFirst) view_.normalizeAndShowImage();
    char versions[40];
    std::snprintf(versions, sizeof versions, "  PC-%d, IGN-%d", ProgramVersion,
                  static_cast<int>(HeaderDataVersion(image_.block(0))));
    view_.showVersionMessage(message(MsgProgramVersionMismatch) + versions);
    state_ = TransferState::Idle;
    messageTimer_ = 0;
}

void LinkSession::DecodeUnitHeader() {
    headerTexts_ = torvane::DecodeUnitHeader(image_.block(0));
    view_.showHeaderTexts(headerTexts_);
}

}  // namespace torvane
