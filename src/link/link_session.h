#pragma once
// The link to the unit on one serial port: sending frames, polling for answers, the transfers of the
// device image (read, verify, program) block by block, the transfer status display and the connection
// watchdog. Everything is paced by Tick(), called every 55 ms; nothing here owns the port or a window.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "image/device_image.h"
#include "link/frame.h"
#include "link/live_values.h"
#include "link/serial_port.h"
#include "link/transfer_view.h"
#include "link/unit_header.h"

namespace torvane {

enum class TransferState : std::uint16_t { Idle = 0, Programming = 1, Verifying = 2, Reading = 3 };

// All link time-outs and display durations are counted in ticks of 55 ms.
inline constexpr std::uint16_t ResendTicks = 6;             // a request unanswered this long is sent again
inline constexpr std::uint16_t MaxTransmissions = 5;        // per request, before the transfer fails
inline constexpr std::uint16_t StatusDisplayTicks = 200;    // a status caption stays about 11 s
inline constexpr std::uint16_t SilenceLimitTicks = 24;      // silence before the no-connection label
inline constexpr std::uint16_t StartSilenceTicks = 18;      // silence assumed at start-up
inline constexpr std::uint8_t ReopenTicks = 90;             // ticks at the silence limit between reopens
inline constexpr std::uint16_t SavingCountdownFull = 6060;  // the unit's storing countdown starts here
inline constexpr std::size_t ReceiveBufferSize = 15000;     // the most one poll reads
inline constexpr int GaugeFull = 100;
inline constexpr int LastBlock = BlockCount - 1;
inline constexpr int ComPortEntries = 20;

class LinkSession {
  public:
    using MonitorHandler = std::function<void(std::span<const std::uint8_t> frame)>;
    using DeviceNamer = std::function<std::string(int comPortIndex)>;

    LinkSession(SerialPort& port, DeviceImage& image, const LiveValues& live, TransferView& view);

    // --- port ---------------------------------------------------------------------------------
    // Maps ComPortIndex to a device name; by default "COM" followed by index + 1.
    void setDeviceNamer(DeviceNamer namer);
    void setComPortIndex(std::uint8_t index) { comPortIndex_ = index; }
    std::uint8_t ComPortIndex() const { return comPortIndex_; }
    void setQuietReopen(bool quiet) { quietReopen_ = quiet; }
    bool QuietReopen() const { return quietReopen_; }
    void setLanguageIndex(int index) { languageIndex_ = index; }
    int languageIndex() const { return languageIndex_; }
    // Fast monitor: while no transfer runs, a monitor request goes out on every tick instead of every
    // ResendTicks-th, for datalogs at the rate the line allows. Transfers are paced as always.
    void setFastMonitor(bool on) { fastMonitor_ = on; }
    bool FastMonitor() const { return fastMonitor_; }

    // Opens the port of ComPortIndex; a failure shows MsgComOpeningError unless QuietReopen is set. The port
    // menu check marks are set after every attempt.
    void OpenComPort();
    void CloseComPort();
    // A port menu entry: select it, close, clear QuietReopen, open.
    void MenuComClick(int index);

    // --- frames -------------------------------------------------------------------------------
    void WriteFrame(std::span<const std::uint8_t> bytes);
    // Builds the request for CurrentCommand into the transmit buffer and sends it: the image block
    // as payload, zeros for block 0 and while reading.
    void SendTransferFrame();
    void SendMonitorRequest();
    const DeviceFrame& transmitBuffer() const { return transmit_; }

    // Reads a waiting answer (302 bytes or more) and hands it to the monitor or the transfer path.
    void PollComPort();
    // Receives every valid monitor frame (first byte 176).
    void setMonitorHandler(MonitorHandler handler) { monitorHandler_ = std::move(handler); }
    std::size_t bytesRead() const { return bytesRead_; }

    // --- transfers ----------------------------------------------------------------------------
    void MenuReadClick();
    void MenuVerifyClick();
    void MenuProgramClick();
    // Programs the blocks marked in blockChanged; nothing happens when none is marked.
    void ProgramChangedBlocks();
    void HandleTransferReply(std::span<const std::uint8_t> frame);
    // Rebuilds the version texts from block 0 of the image and shows them.
    void DecodeUnitHeader();

    // --- the tick -----------------------------------------------------------------------------
    // Steps 1 to 4 of the window's timer tick: poll, link state, status countdown, watchdog.
    void Tick();
    void TickLinkState();
    void TickStatusDisplay();
    void TickWatchdog();

    // --- state --------------------------------------------------------------------------------
    TransferState transferState() const { return state_; }
    std::uint8_t CurrentCommand() const { return currentCommand_; }
    std::uint8_t CurrentBlock() const { return currentBlock_; }
    std::uint16_t TickCounter() const { return tickCounter_; }
    std::uint16_t RetryCount() const { return retryCount_; }
    std::uint16_t MessageTimer() const { return messageTimer_; }
    // Keeps the status label up for this many ticks (a print keeps its time stamp shown).
    void setMessageTimer(std::uint16_t ticks) { messageTimer_ = ticks; }
    std::uint16_t SilenceCounter() const { return silenceCounter_; }
    void setSilenceCounter(std::uint16_t ticks) { silenceCounter_ = ticks; }
    std::uint8_t ReopenCounter() const { return reopenCounter_; }
    std::array<bool, BlockCount>& blockChanged() { return blockChanged_; }
    const std::array<bool, BlockCount>& blockChanged() const { return blockChanged_; }
    bool VerifyAfterProgram() const { return verifyAfterProgram_; }
    bool ProgramDone() const { return programDone_; }
    const UnitHeaderTexts& headerTexts() const { return headerTexts_; }

  private:
    std::string message(int n) const;
    void showProgress(int messageNumber, const std::string& suffix);
    void setGauge(int value);
    void startVerification(const std::string& captionSuffix);
    void failTransfer();
    void stopForVersion(bool normalizeFirst);
    void nextRequest(std::uint8_t command);
    void handleReadReply(std::span<const std::uint8_t> payload);
    void handleVerifyReply(std::span<const std::uint8_t> payload);
    void handleProgramReply(std::span<const std::uint8_t> payload);

    SerialPort& port_;
    DeviceImage& image_;
    const LiveValues& live_;
    TransferView& view_;
    MonitorHandler monitorHandler_;
    DeviceNamer deviceNamer_;

    std::uint8_t comPortIndex_ = 0;
    bool quietReopen_ = false;
    int languageIndex_ = 0;
    bool fastMonitor_ = false;

    std::array<std::uint8_t, ReceiveBufferSize> receive_{};
    std::size_t bytesRead_ = 0;
    DeviceFrame transmit_{};

    TransferState state_ = TransferState::Idle;
    std::uint8_t currentCommand_ = 0;
    std::uint8_t currentBlock_ = 0;
    std::uint16_t tickCounter_ = 0;
    std::uint16_t retryCount_ = 0;
    std::uint16_t messageTimer_ = 0;
    std::uint16_t silenceCounter_ = StartSilenceTicks;
    std::uint8_t reopenCounter_ = 0;
    std::array<bool, BlockCount> blockChanged_{};
    bool verifyAfterProgram_ = false;
    VerifiedAfter verifying_ = VerifiedAfter::Verify;  // what the running verification follows
    std::vector<std::uint8_t> lastUnitBlock_;          // the unit's last differing answer
    bool programDone_ = false;
    bool failureShown_ = false;  // a red failure caption is up and keeps its place until it times out
    UnitHeaderTexts headerTexts_;

    // Blocks 1..10 of a read in progress; they enter the image together once block 10 is accepted,
    // so a read that breaks off never leaves a mix of old and new blocks.
    std::array<std::uint8_t, ImageSize> readStaging_{};
};

}  // namespace torvane
