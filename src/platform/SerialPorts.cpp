#include "platform/SerialPorts.h"

#include <QSerialPortInfo>

namespace orvalis {

QList<SerialPortEntry> ListSerialPorts() {
  QList<SerialPortEntry> out;
  for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
    SerialPortEntry e;
    e.device = p.systemLocation();
    e.description = p.description();
    e.manufacturer = p.manufacturer();
    if (p.hasVendorIdentifier() && p.hasProductIdentifier())
      e.vidPid = QString("%1:%2").arg(p.vendorIdentifier(), 4, 16, QChar('0')).arg(p.productIdentifier(), 4, 16, QChar('0'));
    out.push_back(e);
  }
  return out;
}

}  // namespace orvalis
