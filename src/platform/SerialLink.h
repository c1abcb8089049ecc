// The serial line to the master radio (9600 8N1, no flow control) as a LinkTransport.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include "link/BurstAssembler.h"
#include "link/LinkTransport.h"

namespace orvalis {

class SerialLink : public QObject, public LinkTransport {
  Q_OBJECT
public:
  explicit SerialLink(QObject* parent = nullptr);

  // Opens the port (a name from the list or a device path); false with a
  // readable error when it cannot be opened.
  bool open(const QString& port, qint32 baud, QString* error);
  void close();
  QString portName() const { return port_.portName(); }

  bool isOpen() const override { return port_.isOpen(); }
  bool write(std::span<const std::uint8_t> bytes) override;

signals:
  // A burst closed by 40 ms of quiet or by the 1000-byte limit.
  void burstReceived(const QByteArray& burst);
  // The port went away while open (adapter unplugged); it is closed already.
  void linkLost(const QString& reason);
  void writeFailed(const QString& reason);

private:
  void onReadyRead();
  void onError(QSerialPort::SerialPortError e);

  QSerialPort port_;
  QTimer quiet_;
  BurstAssembler assembler_;
};

}  // namespace orvalis
