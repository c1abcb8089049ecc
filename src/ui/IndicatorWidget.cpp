#include "ui/IndicatorWidget.h"

#include <QFontMetrics>
#include <QPainter>

namespace orvalis {

namespace {
struct PaletteEntry {
  IndicatorColour colour;
  QRgb rgb;
};
constexpr PaletteEntry kPalette[] = {
    {IndicatorColour::Blank, qRgba(0, 0, 0, 0)},   {IndicatorColour::Green, qRgb(0, 160, 0)},
    {IndicatorColour::Blue, qRgb(0, 0, 255)},      {IndicatorColour::Red, qRgb(255, 0, 0)},
    {IndicatorColour::YellowA, qRgb(255, 255, 0)}, {IndicatorColour::YellowB, qRgb(255, 200, 0)},
    {IndicatorColour::Grey, qRgb(128, 128, 128)},  {IndicatorColour::Black, qRgb(0, 0, 0)},
};
}  // namespace

QColor IndicatorRgb(IndicatorColour c) {
  for (const PaletteEntry& e : kPalette)
    if (e.colour == c) return QColor::fromRgba(e.rgb);
  return Qt::transparent;
}

IndicatorWidget::IndicatorWidget(const QString& name, IndicatorColour c, const QString& caption, QWidget* parent)
    : QWidget(parent), colour_(c), caption_(caption) {
  setObjectName(name);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void IndicatorWidget::setColour(IndicatorColour c) {
  colour_ = c;
  update();
}

QSize IndicatorWidget::sizeHint() const {
  if (caption_.isEmpty()) return {22, 22};
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(caption_) + 14, fm.height() + 8};
}

void IndicatorWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
  const QColor fill = IndicatorRgb(colour_);
  p.setPen(QPen(QColor(64, 64, 64), 1));
  p.setBrush(fill);
  if (caption_.isEmpty()) {
    p.drawEllipse(r);
    return;
  }
  p.drawRoundedRect(r, 4, 4);
  const bool dark = fill.alpha() > 0 && fill.lightness() < 140;
  p.setPen(dark ? Qt::white : Qt::black);
  p.drawText(r, Qt::AlignCenter, caption_);
}

}  // namespace orvalis
