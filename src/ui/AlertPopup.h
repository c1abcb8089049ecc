// NxAW_radioligado: a small alert that pops up without taking the focus and closes after 10 s.
#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace orvalis {

class AlertPopup : public QWidget {
  Q_OBJECT
public:
  static constexpr int kLifetimeMs = 10000;
  explicit AlertPopup(QWidget* anchor);

  void popUp(const QString& caption, const QString& text);
  QString caption() const { return caption_->text(); }
  QString text() const { return text_->text(); }

private:
  QWidget* anchor_;
  QLabel* caption_;
  QLabel* text_;
  QTimer close_;
};

}  // namespace orvalis
