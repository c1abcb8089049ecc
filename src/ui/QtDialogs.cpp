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
namespace {
QString Run(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title, const QString& filter, int selected,
            const QString& suffix) {
  QFileDialog d(parent, title);
  d.setAcceptMode(mode);
  d.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  const QStringList filters = QtFileFilter(filter).split(";;");
  d.setNameFilters(filters);
  if (selected >= 0 && selected < filters.size()) d.selectNameFilter(filters[selected]);
  if (!suffix.isEmpty()) d.setDefaultSuffix(suffix);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
  return d.selectedFiles().first();
}
}  // namespace

QString QtDialogs::openFile(const QString& title, const QString& filter, int selected) {
  return Run(parent_, QFileDialog::AcceptOpen, title, filter, selected, QString());
}
QString QtDialogs::saveFile(const QString& title, const QString& filter, int selected, const QString& suffix) {
  return Run(parent_, QFileDialog::AcceptSave, title, filter, selected, suffix);
}

}  // namespace orvalis
