// The serial settings stored in "DIRIDIRUZER.ini", section "ComPort1".
#pragma once

#include <QString>

namespace orvalis {

struct SerialSettings {
  QString port = "COM1";
  qint32 baud = 9600;

  // The file in the working folder when one is there, else the user's
  // configuration folder (~/.config/orvalis/DIRIDIRUZER.ini).
  static QString filePath();
  // A missing or unreadable file leaves the defaults.
  static SerialSettings load(const QString& path = filePath());
  bool save(const QString& path = filePath()) const;
};

// "Custom", "110", ... as stored in the file; "Custom" for other speeds.
QString BaudRateText(qint32 baud);
const QStringList& BaudRateTexts();

}  // namespace orvalis
