#include "link/qt_serial_port.h"

#include <QElapsedTimer>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace torvane {

bool QtSerialPort::open(const std::string& device) {
    if (port_.isOpen()) port_.close();
    if (device.empty()) return false;
    port_.setPortName(QString::fromStdString(device));
    if (!port_.open(QIODevice::ReadWrite)) return false;
    const bool configured = port_.setBaudRate(QSerialPort::Baud115200) &&
                            port_.setDataBits(QSerialPort::Data8) && port_.setParity(QSerialPort::NoParity) &&
                            port_.setStopBits(QSerialPort::OneStop) &&
                            port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port_.close();
        return false;
    }
    // Pseudo-terminals and some adapters have no modem lines; the line works without them.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(true);
    port_.setReadBufferSize(0);
    port_.clearError();
    return true;
}

void QtSerialPort::close() {
    if (port_.isOpen()) port_.close();
}

bool QtSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) return false;
    const qint64 queued =
        port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (queued != static_cast<qint64>(bytes.size())) return false;
    QElapsedTimer clock;
    clock.start();
    while (port_.bytesToWrite() > 0 && clock.elapsed() < WriteDrainTimeoutMs) {
        port_.waitForBytesWritten(static_cast<int>(WriteDrainTimeoutMs - clock.elapsed()));
    }
#ifdef Q_OS_UNIX
    // Wait for the driver's transmit queue to empty, so the whole frame is on the line.
    const int fd = static_cast<int>(port_.handle());
    int pending = 0;
    while (fd >= 0 && clock.elapsed() < WriteDrainTimeoutMs && ioctl(fd, TIOCOUTQ, &pending) == 0 &&
           pending > 0) {
        QThread::usleep(500);
    }
#endif
    return port_.bytesToWrite() == 0;
}

std::optional<std::size_t> QtSerialPort::bytesWaiting() {
    if (!port_.isOpen()) return std::nullopt;
    port_.waitForReadyRead(0);  // fetch what the driver holds without blocking
    if (port_.error() != QSerialPort::NoError && port_.error() != QSerialPort::TimeoutError) {
        port_.clearError();
    }
    return static_cast<std::size_t>(port_.bytesAvailable());
}

std::size_t QtSerialPort::read(std::span<std::uint8_t> buffer) {
    if (!port_.isOpen()) return 0;
    const qint64 n = port_.read(reinterpret_cast<char*>(buffer.data()), static_cast<qint64>(buffer.size()));
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace torvane
