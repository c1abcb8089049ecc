#include "ui/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace orvalis {

QString QtFileFilter(const QString& pipeFilter) {
  const QStringList parts = pipeFilter.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out << QString("%1 (%2)").arg(parts[i], parts[i + 1]);
  return out.join(";;");
}

void QtDialogs::information(const QString& title, const QString& text) {
  QMessageBox::information(parent_, title, text);
}
void QtDialogs::warning(const QString& title, const QString& text) { QMessageBox::warning(parent_, title, text); }
void QtDialogs::error(const QString& title, const QString& text) { QMessageBox::critical(parent_, title, text); }
bool QtDialogs::confirm(const QString& title, const QString& text) {
  return QMessageBox::warning(parent_, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) ==
         QMessageBox::Ok;
}
QString QtDialogs::openFile(const QString& title, const QString& filter) {
  return QFileDialog::getOpenFileName(parent_, title, QString(), QtFileFilter(filter));
}
QString QtDialogs::saveFile(const QString& title, const QString& filter) {
  return QFileDialog::getSaveFileName(parent_, title, QString(), QtFileFilter(filter));
}

}  // namespace orvalis
