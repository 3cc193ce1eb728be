// libFuzzer target: the link session's poll of the serial byte stream. The input is a short script:
// byte chunks as the line delivers them (raw bytes, sealed frames, answers shaped like the ones the
// session waits for, monitor frames), ticks, port quirks and the user's transfer commands. Whatever
// arrives, the session must not crash or read outside its buffers, the image may only change where
// a transfer legitimately writes it, and a read that breaks off leaves the configuration alone.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/device_image.h"
#include "image/normalize.h"
#include "link/frame.h"
#include "link/link_session.h"
#include "link/live_values.h"
#include "link/monitor_decoder.h"
#include "link/monitor_readout.h"
#include "link/serial_port.h"
#include "link/transfer_view.h"

namespace {

using namespace torvane;

[[noreturn]] void Fail() {
    __builtin_trap();
}

// Consumes the fuzzer's bytes front to back; reads past the end give zeros.
class Script {
  public:
    Script(const std::uint8_t* data, std::size_t size) : rest_(data, size) {}
    bool empty() const { return rest_.empty(); }
    std::uint8_t byte() {
        if (rest_.empty()) return 0;
        const std::uint8_t b = rest_.front();
        rest_ = rest_.subspan(1);
        return b;
    }
    std::span<const std::uint8_t> take(std::size_t n) {
        n = std::min(n, rest_.size());
        const auto part = rest_.first(n);
        rest_ = rest_.subspan(n);
        return part;
    }

  private:
    std::span<const std::uint8_t> rest_;
};

// The line: what the script puts in comes out of read(), with the quirks a real adapter shows.
class ScriptedPort : public SerialPort {
  public:
    bool open(const std::string&) override {
        open_ = opens;
        return open_;
    }
    void close() override {
        open_ = false;
        queue.clear();
        head_ = 0;
    }
    bool isOpen() const override { return open_; }
    bool write(std::span<const std::uint8_t> bytes) override {
        if (bytes.size() != FrameSize) Fail();  // the session only ever sends whole frames
        return open_ && !writeFails;
    }
    std::optional<std::size_t> bytesWaiting() override {
        if (statusFails) return std::nullopt;
        return waiting() + overReport;
    }
    std::size_t read(std::span<std::uint8_t> buffer) override {
        const std::size_t n = std::min({buffer.size(), waiting(), readCap});
        std::memcpy(buffer.data(), queue.data() + head_, n);
        head_ += n;
        return n;
    }
    // A real adapter's buffer is finite too: what does not fit is lost.
    void deliver(std::span<const std::uint8_t> bytes) {
        if (head_ > 0) {
            queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(head_));
            head_ = 0;
        }
        const std::size_t n = std::min(QueueLimit - std::min(QueueLimit, queue.size()), bytes.size());
        const std::size_t at = queue.size();
        queue.resize(at + n);
        if (n > 0) std::memcpy(queue.data() + at, bytes.data(), n);
    }
    std::size_t waiting() const { return queue.size() - head_; }
    void behave() {
        queue.clear();
        head_ = 0;
        opens = true;
        statusFails = writeFails = false;
        overReport = 0;
        readCap = SIZE_MAX;
    }

    static constexpr std::size_t QueueLimit = 4 * ReceiveBufferSize;

    std::vector<std::uint8_t> queue;  // bytes before head_ have been read
    bool opens = true;
    bool statusFails = false;
    bool writeFails = false;
    std::size_t overReport = 0;  // a status query that counts more than read() gives
    std::size_t readCap = SIZE_MAX;

  private:
    bool open_ = false;
    std::size_t head_ = 0;
};

// The window's side: repairs the image whenever the session asks for it, as the pages do.
class FuzzView : public TransferView {
  public:
    explicit FuzzView(DeviceImage& image) : image_(image) {}
    void setGaugeValue(int value) override {
        if (value < 0 || value > GaugeFull) Fail();
    }
    void normalizeAndShowImage() override { NormalizeImage(image_); }
    void showVersionMessage(const std::string&) override { ++versionMessages; }
    int versionMessages = 0;

  private:
    DeviceImage& image_;
};

const DeviceImage& StartImage() {
    static const DeviceImage image = [] {
        DeviceImage i;
        for (std::size_t k = BlockSize; k < ImageSize - 1; ++k)
            i.setByte(k, static_cast<std::uint8_t>(k * 13 + 5));
        NormalizeImage(i);
        return i;
    }();
    return image;
}

// Byte compares by memcmp: the checks run on every tick, and the sanitizer build is unoptimized.
bool SameConfiguration(const DeviceImage& a, const DeviceImage& b) {
    return std::memcmp(a.bytes().data() + BlockSize, b.bytes().data() + BlockSize, ImageSize - BlockSize) ==
               0 &&
           std::memcmp(a.IapAxis.data(), b.IapAxis.data(), sizeof a.IapAxis) == 0;
}

bool SameHeader(const DeviceImage& a, const DeviceImage& b) {
    return std::memcmp(a.bytes().data(), b.bytes().data(), BlockSize) == 0;
}

DeviceFrame Sealed(std::uint8_t command, std::span<const std::uint8_t> payload) {
    DeviceFrame f{};
    f[0] = command;
    std::copy_n(payload.begin(), std::min(payload.size(), PayloadSize), f.begin() + 1);
    f[FrameSize - 1] = FrameChecksum(std::span<const std::uint8_t>(f.data(), FrameSize - 1));
    return f;
}

constexpr std::size_t FloodLimit = 2 * ReceiveBufferSize;

struct Harness {
    ScriptedPort port;
    DeviceImage image = StartImage();
    LiveValues live;
    FuzzView view{image};
    LinkSession session{port, image, live, view};
    bool detailed = false;
    int language = 0;

    Harness() {
        session.setDeviceNamer([](int) { return std::string("fuzz"); });
        session.setMonitorHandler([this](std::span<const std::uint8_t> frame) {
            if (frame.size() != FrameSize || frame[0] != MonitorAnswerCommand || !FrameIsValid(frame)) Fail();
            if (DecodeMonitorFrame(frame, image, live))
                (void)ComputeMonitorReadout(live, image, detailed, language);
        });
        session.OpenComPort();
    }

    // One tick, and what may have changed in it: the configuration (blocks 1..10) only when the
    // last block of a read is accepted, which starts its verification; block 0 only on a header answer.
    void tick() {
        const DeviceImage before = image;
        const TransferState state = session.transferState();
        const int block = session.CurrentCommand() & BlockMask;  // the block whose answer is awaited
        session.Tick();
        if (session.bytesRead() > ReceiveBufferSize) Fail();
        if (session.transferState() != TransferState::Idle && session.CurrentBlock() > LastBlock) Fail();
        if (!SameConfiguration(before, image)) {
            const bool readCompleted = state == TransferState::Reading && block == LastBlock &&
                                       session.transferState() == TransferState::Verifying;
            if (!readCompleted) Fail();
        }
        if (!SameHeader(before, image)) {
            const bool headerAnswer =
                block == 0 && (state == TransferState::Reading || state == TransferState::Programming);
            if (!headerAnswer) Fail();
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Script script(data, size);
    Harness h;
    const std::uint8_t mode = script.byte();
    h.detailed = (mode & 0x10) != 0;
    h.language = (mode >> 5) % 4;
    h.session.setLanguageIndex(h.language);
    // The transfer the run starts with; 0 leaves the link idle, monitoring.
    const auto start = [&](int which, std::uint16_t changedMask) {
        switch (which % 5) {
            case 1:
                h.session.MenuReadClick();
                break;
            case 2:
                h.session.MenuVerifyClick();
                break;
            case 3:
                h.session.MenuProgramClick();
                break;
            case 4:
                for (std::size_t b = 0; b < BlockCount; ++b)
                    h.session.blockChanged()[b] = (changedMask >> b) & 1;
                h.session.ProgramChangedBlocks();
                break;
            default:
                break;
        }
    };
    start(mode & 0x0F, 0x7FE);

    // Ticks are bounded by the input; a script that stops early still gets its transfer run out.
    int ticks = 0;
    constexpr int MaxTicks = 1000;
    while (!script.empty() && ticks < MaxTicks) {
        const std::uint8_t op = script.byte();
        const std::uint8_t arg = static_cast<std::uint8_t>(op >> 3);
        switch (op & 7) {
            case 0:  // raw bytes
                h.port.deliver(script.take(std::size_t{script.byte()} + 1));
                break;
            case 1: {  // a flood: one chunk repeated, up to more than one poll takes
                const auto chunk = script.take(std::size_t{script.byte()} + 1);
                const std::size_t reps = std::min<std::size_t>(
                    (arg + 1u) * 64u, FloodLimit / std::max<std::size_t>(chunk.size(), 1));
                for (std::size_t n = 0; n < reps; ++n) h.port.deliver(chunk);
                break;
            }
            case 2: {  // any command with a payload from the script, correctly sealed
                const std::uint8_t command = script.byte();
                const DeviceFrame f = Sealed(command, script.take(arg * 10u));
                h.port.deliver(f);
                break;
            }
            case 3: {  // the answer the session waits for, altered as the flags say
                const int block = std::min<int>(h.session.CurrentCommand() & BlockMask, LastBlock);
                std::array<std::uint8_t, PayloadSize> payload{};
                std::ranges::copy(h.image.block(block), payload.begin());
                if (block == 0) payload[10] = ProgramVersion;
                if (arg & 1) {
                    const std::size_t at = script.byte() % PayloadSize;
                    payload[at] ^= static_cast<std::uint8_t>(script.byte() | 1);
                }
                if (arg & 4) payload[10] = script.byte();
                DeviceFrame f =
                    Sealed(static_cast<std::uint8_t>(h.session.CurrentCommand() ^ AnswerBit), payload);
                if (arg & 2) f[FrameSize - 1] ^= 0x5A;
                h.port.deliver(f);
                break;
            }
            case 4: {  // a monitor frame from the script's bytes
                DeviceFrame f = Sealed(MonitorAnswerCommand, script.take(PayloadSize));
                if (arg & 1) f[FrameSize - 1] ^= 0x01;
                h.port.deliver(f);
                break;
            }
            case 5:  // time passes
                for (int i = 0; i <= arg && ticks < MaxTicks; ++i, ++ticks) h.tick();
                break;
            case 6:  // the port misbehaves (or behaves again)
                h.port.statusFails = arg & 1;
                h.port.writeFails = arg & 2;
                h.port.overReport = (arg & 4) ? script.byte() : 0;
                h.port.readCap = (arg & 8) ? std::size_t{script.byte()} * 4 : SIZE_MAX;
                h.port.opens = !(arg & 16);
                break;
            case 7: {  // the user starts another transfer, abandoning the one running
                if (arg == 31) {
                    h.session.MenuComClick(script.byte() % (ComPortEntries + 2) - 1);
                } else {
                    const std::uint16_t mask = static_cast<std::uint16_t>(script.byte() << 8 | script.byte());
                    start(arg, mask);
                }
                break;
            }
        }
    }
    // The line goes quiet: a transfer still running must end on its own within its retries.
    h.port.behave();
    if (!h.port.isOpen()) h.session.OpenComPort();
    const DeviceImage quiet = h.image;
    const bool wasReading = h.session.transferState() == TransferState::Reading;
    for (int i = 0; i < (MaxTransmissions + 2) * ResendTicks * BlockCount &&
                    h.session.transferState() != TransferState::Idle;
         ++i)
        h.tick();
    if (h.session.transferState() != TransferState::Idle) Fail();
    if (wasReading && !SameConfiguration(quiet, h.image)) Fail();
    return 0;
}
