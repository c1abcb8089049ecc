// "RUIDO" tab: minimum, mean and maximum noise of the selected radio as three bars.
#pragma once

#include "ui/TabPage.h"

namespace orvalis {

class RuidoPage : public TabPage {
  Q_OBJECT
 public:
  explicit RuidoPage(PageContext& ctx, QWidget* parent = nullptr);

  // The noise reply itself is shown by the SINAL page, which owns the measurement;
  // it writes this page's bars and labels by name.

 public slots:
  void Button1Click();
};

}  // namespace orvalis
