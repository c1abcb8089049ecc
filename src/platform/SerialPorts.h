// The serial ports of this computer, in enumeration order.
#pragma once

#include <QList>
#include <QString>

namespace orvalis {

struct SerialPortEntry {
  QString device;  // path to open, e.g. /dev/ttyUSB0
  QString description;
  QString manufacturer;
  QString vidPid;  // "0403:6001" or empty
};

QList<SerialPortEntry> ListSerialPorts();

}  // namespace orvalis
