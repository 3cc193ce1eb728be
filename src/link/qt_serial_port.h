#pragma once
// The real serial line, through QSerialPort: 115200 baud, 8 data bits, no parity, one stop bit,
// no handshake, DTR and RTS on.

#include <QSerialPort>

#include "link/serial_port.h"

namespace torvane {

class QtSerialPort final : public SerialPort {
  public:
    // How long a write waits for the frame to leave before giving up, so a dead line never
    // freezes the window.
    static constexpr int WriteDrainTimeoutMs = 100;

    bool open(const std::string& device) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    bool write(std::span<const std::uint8_t> bytes) override;
    std::optional<std::size_t> bytesWaiting() override;
    std::size_t read(std::span<std::uint8_t> buffer) override;

  private:
    QSerialPort port_;
};

}  // namespace torvane
