#pragma once
// A scripted serial port and a recording window for driving the link session tick by tick.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "image/device_image.h"
#include "link/frame.h"
#include "link/link_session.h"
#include "link/live_values.h"
#include "link/serial_port.h"
#include "link/transfer_view.h"

namespace torvane::testing {

class FakePort : public SerialPort {
  public:
    bool open(const std::string& device) override {
        openedDevices.push_back(device);
        isOpen_ = openSucceeds;
        return isOpen_;
    }
    void close() override {
        ++closeCount;
        isOpen_ = false;
    }
    bool isOpen() const override { return isOpen_; }
    bool write(std::span<const std::uint8_t> bytes) override {
        DeviceFrame f{};
        std::copy_n(bytes.begin(), std::min(bytes.size(), FrameSize), f.begin());
        written.push_back(f);
        if (responder) {
            const std::vector<std::uint8_t> answer = responder(f);
            receive(answer);
        }
        return isOpen_;
    }
    std::optional<std::size_t> bytesWaiting() override {
        if (statusFails) return std::nullopt;
        return incoming.size();
    }
    std::size_t read(std::span<std::uint8_t> buffer) override {
        readSizes.push_back(buffer.size());
        const std::size_t n = std::min(buffer.size(), incoming.size());
        std::copy_n(incoming.begin(), n, buffer.begin());
        incoming.erase(incoming.begin(), incoming.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }

    void receive(std::span<const std::uint8_t> bytes) {
        incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    }
    std::vector<int> writtenCommands() const {
        std::vector<int> c;
        for (const auto& f : written) c.push_back(f[0]);
        return c;
    }

    bool openSucceeds = true;
    bool statusFails = false;
    std::vector<std::string> openedDevices;
    int closeCount = 0;
    std::vector<DeviceFrame> written;
    std::deque<std::uint8_t> incoming;
    std::vector<std::size_t> readSizes;
    // The far end: gets every frame written and returns the bytes it answers with.
    std::function<std::vector<std::uint8_t>(const DeviceFrame&)> responder;

  private:
    bool isOpen_ = true;
};

class RecordingView : public TransferView {
  public:
    void setStatusText(const std::string& text) override {
        statusText = text;
        if (captions.empty() || captions.back() != text) captions.push_back(text);
    }
    void setStatusFailure(bool failure) override { statusFailure = failure; }
    void setStatusVisible(bool visible) override { statusVisible = visible; }
    void setGaugeValue(int value) override {
        gauge = value;
        if (gauges.empty() || gauges.back() != value) gauges.push_back(value);
    }
    void setGaugeVisible(bool visible) override { gaugeVisible = visible; }
    void setConnectionLabelVisible(bool visible) override { connectionVisible = visible; }
    bool printJobInProgress() const override { return printJob; }
    void showVersionMessage(const std::string& text) override {
        versionMessages.push_back(text);
        if (duringVersionMessage) duringVersionMessage();
    }
    void showPortError(const std::string& text) override { portErrors.push_back(text); }
    void setPortChecks(int index) override { checkedPort = index; }
    void clearLoadedFileCaption() override { ++fileCaptionCleared; }
    void takeActivePageIntoImage() override { ++pageTaken; }
    void normalizeAndShowImage() override {
        ++imageShown;
        if (repair) repair();
    }
    void showHeaderTexts(const UnitHeaderTexts& texts) override { header = texts; }
    void readCompleted(std::span<const std::uint8_t> unitBlocks) override {
        readBlocks.assign(unitBlocks.begin(), unitBlocks.end());
    }
    void blockProgrammed(int block) override { programmedBlocks.push_back(block); }

    std::string statusText;
    std::vector<std::string> captions;  // every distinct caption in order
    bool statusFailure = false;
    bool statusVisible = false;
    int gauge = -1;
    std::vector<int> gauges;  // every distinct gauge value in order
    bool gaugeVisible = false;
    std::optional<bool> connectionVisible;
    bool printJob = false;
    std::vector<std::string> versionMessages;
    std::function<void()> duringVersionMessage;
    std::vector<std::string> portErrors;
    int checkedPort = -2;
    int fileCaptionCleared = 0;
    int pageTaken = 0;
    int imageShown = 0;
    std::function<void()> repair;  // what the window's repair of the image does to it
    UnitHeaderTexts header;
    std::vector<std::uint8_t> readBlocks;  // blocks 1..10 of the last completed read
    std::vector<int> programmedBlocks;     // blocks the unit echoed exactly, in order
};

inline std::vector<int> Range(int first, int last) {
    std::vector<int> v;
    for (int i = first; i <= last; ++i) v.push_back(i);
    return v;
}
inline std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
// Consecutive repeats removed: the time-out counter runs on across answers, so a request that was
// just answered can go out once more when the counter happens to reach six in the same tick.
inline std::vector<int> Collapsed(const std::vector<int>& v) {
    std::vector<int> c;
    for (int x : v)
        if (c.empty() || c.back() != x) c.push_back(x);
    return c;
}

// The image bytes of block b.
inline std::vector<std::uint8_t> BlockBytes(const DeviceImage& image, int b) {
    const auto s = image.block(b);
    return {s.begin(), s.end()};
}

// A unit that answers at once from its own 11 blocks: reads and verifies with the block, programs
// by storing and echoing it, program block 0 with its header.
struct ScriptedUnit {
    DeviceImage stored;
    bool silent = false;
    int answerBlocksUpTo = LastBlock;  // requests for later blocks go unanswered
    int wrongVerifyBlock = -1;         // read/verify answers of this block differ in one byte

    ScriptedUnit() {
        stored.setByte(0, 'J');
        stored.setByte(1, 'e');
        stored.setByte(2, 't');
        stored.setByte(3, 1);
        stored.setByte(10, ProgramVersion);
        for (std::size_t b = 1; b < BlockCount; ++b)
            for (std::size_t i = 0; i < BlockSize; ++i)
                stored.block(static_cast<int>(b))[i] = static_cast<std::uint8_t>(b * 7 + i);
    }

    std::vector<std::uint8_t> operator()(const DeviceFrame& request) {
        const std::uint8_t command = request[0];
        const int block = command & BlockMask;
        if (silent || command == MonitorRequestCommand || block > answerBlocksUpTo) return {};
        if (!(command & ReadCommandBit) && block != 0)
            std::copy_n(request.begin() + 1, BlockSize, stored.block(block).begin());
        DeviceFrame answer = MakeFrame(command ^ AnswerBit, stored.block(block));
        if ((command & ReadCommandBit) && block == wrongVerifyBlock) {
            answer[100] ^= 1;
            answer[FrameSize - 1] =
                FrameChecksum(std::span<const std::uint8_t>(answer.data(), FrameSize - 1));
        }
        return {answer.begin(), answer.end()};
    }
};

struct LinkFixture {
    FakePort port;
    DeviceImage image;
    LiveValues live;
    RecordingView view;
    LinkSession session{port, image, live, view};

    // Ticks until the port has seen count frames in all, at most maxTicks; returns the ticks run.
    int TickUntilWritten(std::size_t count, int maxTicks = 100) {
        int ticks = 0;
        while (port.written.size() < count && ticks < maxTicks) {
            session.Tick();
            ++ticks;
        }
        return ticks;
    }
    // Ticks until the transfer is over, at most maxTicks; returns the ticks run.
    int TickUntilIdle(int maxTicks = 400) {
        int ticks = 0;
        while (session.transferState() != TransferState::Idle && ticks < maxTicks) {
            session.Tick();
            ++ticks;
        }
        return ticks;
    }
    // The transfer commands written so far (monitor requests left out).
    std::vector<int> TransferCommands() const {
        std::vector<int> c;
        for (int command : port.writtenCommands())
            if (command != MonitorRequestCommand) c.push_back(command);
        return c;
    }
};

}  // namespace torvane::testing
