#include "platform/SerialSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace orvalis {

namespace {
constexpr auto kFileName = "DIRIDIRUZER.ini";
constexpr auto kGroup = "ComPort1";
}  // namespace

const QStringList& BaudRateTexts() {
  static const QStringList texts{"Custom", "110",   "300",   "600",   "1200",   "2400",   "4800",   "9600",
                                 "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
  return texts;
}

QString BaudRateText(qint32 baud) {
  const QString t = QString::number(baud);
  return BaudRateTexts().contains(t) ? t : QStringLiteral("Custom");
}

QString SerialSettings::filePath() {
  QString local = QDir::current().absoluteFilePath(kFileName);
  if (QFileInfo::exists(local)) return local;
  QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (dir.isEmpty()) return local;
  return QDir(dir).absoluteFilePath(QStringLiteral("orvalis/") + kFileName);
}

SerialSettings SerialSettings::load(const QString& path) {
  SerialSettings s;
  if (!QFileInfo(path).isReadable()) return s;
  QSettings ini(path, QSettings::IniFormat);
  if (ini.status() != QSettings::NoError) return s;
  ini.beginGroup(kGroup);
  const QString port = ini.value("Port").toString();
  if (!port.isEmpty()) s.port = port;
  const QString baud = ini.value("BaudRate").toString();
  bool ok = false;
  const int b = baud == "Custom" ? ini.value("CustomBaudRate").toInt(&ok) : baud.toInt(&ok);
  if (ok && b > 0) s.baud = b;
  return s;
}

bool SerialSettings::save(const QString& path) const {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSettings ini(path, QSettings::IniFormat);
  ini.beginGroup(kGroup);
  ini.setValue("Port", port);
  const QString baudText = BaudRateText(baud);
  ini.setValue("BaudRate", baudText);
  if (baudText == "Custom")
    ini.setValue("CustomBaudRate", baud);
  else
    ini.remove("CustomBaudRate");
  ini.setValue("StopBits", "1");
  ini.setValue("DataBits", "8");
  ini.setValue("Parity", "None");
  ini.setValue("FlowControl", "None");
  ini.endGroup();
  ini.sync();
  return ini.status() == QSettings::NoError;
}

}  // namespace orvalis
