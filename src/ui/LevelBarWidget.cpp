#include "ui/LevelBarWidget.h"

namespace orvalis {

LevelBarWidget::LevelBarWidget(const QString& name, QWidget* parent) : QProgressBar(parent) {
  setObjectName(name);
  setOrientation(Qt::Vertical);
  setRange(0, 100);
  setValue(0);
  setTextVisible(false);
  setMinimumSize(22, 90);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  setColour(BarColour::Green);
}

void LevelBarWidget::setColour(BarColour c) {
  const Rgb rgb = BarRgb(c);
  setColour(QColor(rgb.r, rgb.g, rgb.b));
}

void LevelBarWidget::setColour(const QColor& c) {
  colour_ = c;
  // A style sheet colours the chunk the same way under every widget style.
  setStyleSheet(QStringLiteral("QProgressBar#%1 { border: 1px solid #808080; background: #f0f0f0; }"
                               "QProgressBar#%1::chunk { background-color: %2; }")
                    .arg(objectName(), c.name()));
}

}  // namespace orvalis
