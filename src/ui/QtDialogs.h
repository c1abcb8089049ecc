// The Dialogs seam shown with QMessageBox and QFileDialog.
#pragma once

#include <QWidget>

#include "ui/Dialogs.h"

namespace orvalis {

class QtDialogs : public Dialogs {
public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* p) { parent_ = p; }
  void information(const QString& title, const QString& text) override;
  void warning(const QString& title, const QString& text) override;
  void error(const QString& title, const QString& text) override;
  bool confirm(const QString& title, const QString& text) override;
  QString openFile(const QString& title, const QString& filter, int selected = 0) override;
  QString saveFile(const QString& title, const QString& filter, int selected = 0,
                   const QString& suffix = QString()) override;

private:
  QWidget* parent_;
};

// Turns the system's "a|*.a|b|*.b" filter list into Qt's "a (*.a);;b (*.b)".
QString QtFileFilter(const QString& pipeFilter);

}  // namespace orvalis
