// A window beside the main one: closing it only hides it and tells its toggle.
#pragma once

#include <QWidget>

namespace orvalis {

class SecondaryWindow : public QWidget {
  Q_OBJECT
public:
  SecondaryWindow(const QString& className, const QString& caption, QWidget* parent = nullptr);

signals:
  void closed();

protected:
  void closeEvent(QCloseEvent* e) override;
  // Runs before the window hides (log files are written here).
  virtual void onClosing() {}
};

}  // namespace orvalis
