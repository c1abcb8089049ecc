#include "cli/CliLink.h"

#include <QTime>

namespace orvalis::cli {

CliLink::CliLink(QObject* parent) : QObject(parent) {
  sender_.setSerial(&serial_);
  connect(&serial_, &SerialLink::burstReceived, this, &CliLink::feed);
}

bool CliLink::openSerial(const QString& device, QString* error) {
  if (!serial_.open(device, 9600, error)) return false;
  sender_.setSerialConnected(true);
  return true;
}

void CliLink::feed(const QByteArray& bytes) {
  if (onBurst) onBurst(bytes);
  if (continuation_ && continuation_(bytes)) return;
  const std::string time = QTime::currentTime().toString("HH:mm:ss").toStdString();
  dispatcher_.dispatch(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())),
      time);
}

}  // namespace orvalis::cli
