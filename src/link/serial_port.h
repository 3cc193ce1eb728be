#pragma once
// The seam between the link logic and a serial line. The real adapter wraps QSerialPort;
// tests and the in-process simulated unit use a loopback implementation.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace torvane {

class SerialPort {
  public:
    virtual ~SerialPort() = default;
    // Opens and configures the line (115200 baud, 8N1, no handshake). False on failure.
    virtual bool open(const std::string& device) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Sends the bytes and waits a bounded time (about 100 ms) for them to leave. False on failure.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    // Number of received bytes waiting; empty when the status query itself failed.
    virtual std::optional<std::size_t> bytesWaiting() = 0;
    // Reads up to buffer.size() waiting bytes; returns how many were read.
    virtual std::size_t read(std::span<std::uint8_t> buffer) = 0;
};

}  // namespace torvane
