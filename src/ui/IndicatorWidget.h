// Small coloured indicator standing in for the status "pictures" of the pages.
#pragma once

#include <QColor>
#include <QWidget>

namespace orvalis {

enum class IndicatorColour { Blank, Green, Blue, Red, YellowA, YellowB, Grey, Black };

// The one palette every indicator draws from.
QColor IndicatorRgb(IndicatorColour c);

class IndicatorWidget : public QWidget {
  Q_OBJECT
 public:
  IndicatorWidget(const QString& name, IndicatorColour c, const QString& caption = QString(),
                  QWidget* parent = nullptr);

  void setColour(IndicatorColour c);
  IndicatorColour colour() const { return colour_; }
  QString caption() const { return caption_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  IndicatorColour colour_;
  QString caption_;
};

}  // namespace orvalis
