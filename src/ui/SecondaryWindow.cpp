#include "ui/SecondaryWindow.h"

#include <QCloseEvent>

namespace orvalis {

SecondaryWindow::SecondaryWindow(const QString& className, const QString& caption, QWidget* parent)
    : QWidget(parent, Qt::Window) {
  setObjectName(className);
  setWindowTitle(caption);
  resize(900, 500);
}

void SecondaryWindow::closeEvent(QCloseEvent* e) {
  onClosing();
  e->accept();
  emit closed();
}

}  // namespace orvalis
