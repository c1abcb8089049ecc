#include "platform/SerialLink.h"

#include <array>

namespace orvalis {

SerialLink::SerialLink(QObject* parent)
    : QObject(parent), assembler_([this](std::span<const std::uint8_t> b) {
        emit burstReceived(QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size())));
      }) {
  quiet_.setSingleShot(true);
  quiet_.setTimerType(Qt::PreciseTimer);
  quiet_.setInterval(BurstAssembler::kQuietMs);
  connect(&quiet_, &QTimer::timeout, this, [this] { assembler_.onQuiet(); });
  connect(&port_, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::onError);
}

bool SerialLink::open(const QString& port, qint32 baud, QString* error) {
  if (port_.isOpen()) port_.close();
  port_.setPortName(port);
  port_.setBaudRate(baud);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    if (error) *error = port_.errorString();
    return false;
  }
  // Pseudo-terminals and some adapters have no modem lines; that is fine.
  port_.setDataTerminalReady(false);
  port_.setRequestToSend(false);
  port_.clear();
  port_.clearError();
  return true;
}

void SerialLink::close() {
  quiet_.stop();
  if (port_.isOpen()) port_.close();
}

bool SerialLink::write(std::span<const std::uint8_t> bytes) {
  if (!port_.isOpen()) return false;
  const auto n = port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  if (n != static_cast<qint64>(bytes.size())) {
    emit writeFailed(port_.errorString());
    return false;
  }
  return true;
}

void SerialLink::onReadyRead() {
  quiet_.stop();
  std::array<char, BurstAssembler::kReadLimit> buf{};
  for (;;) {
    const qint64 n = port_.read(buf.data(), static_cast<qint64>(buf.size()));
    if (n <= 0) break;
    assembler_.feed(std::span(reinterpret_cast<const std::uint8_t*>(buf.data()), static_cast<std::size_t>(n)));
  }
  quiet_.start();
}

void SerialLink::onError(QSerialPort::SerialPortError e) {
  if (e == QSerialPort::NoError || !port_.isOpen()) return;
  // A read that fails keeps failing (adapter gone, other end closed): drop the port.
  if (e == QSerialPort::ResourceError || e == QSerialPort::PermissionError || e == QSerialPort::ReadError) {
    const QString reason = port_.errorString();
    // Hand over what had arrived, then drop the dead port.
    assembler_.onQuiet();
    close();
    emit linkLost(reason);
  }
}

}  // namespace orvalis
