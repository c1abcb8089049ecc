// Base of the pages of the main window's page control; each overrides the replies it shows.
#pragma once

#include <QWidget>

#include "link/DispatchTarget.h"
#include "ui/PageContext.h"

namespace orvalis {

class TabPage : public QWidget, public DispatchTarget {
  Q_OBJECT
public:
  TabPage(PageContext& ctx, const QString& name, QWidget* parent = nullptr) : QWidget(parent), ctx_(ctx) {
    setObjectName(name);
  }

protected:
  PageContext& ctx_;
};

}  // namespace orvalis
