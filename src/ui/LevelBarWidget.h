// Vertical level bar (0..100) whose fill colour the signal and noise rules set.
#pragma once

#include <QColor>
#include <QProgressBar>

#include "radio/SignalNoise.h"

namespace orvalis {

class LevelBarWidget : public QProgressBar {
  Q_OBJECT
 public:
  explicit LevelBarWidget(const QString& name, QWidget* parent = nullptr);

  void setColour(const QColor& c);
  void setColour(BarColour c);
  QColor colour() const { return colour_; }

  QSize sizeHint() const override { return {26, 150}; }

 private:
  QColor colour_;
};

}  // namespace orvalis
