// Which class builds each tab page; tabs without their own class get an empty TabPage.
#pragma once

#include <QString>

#include "ui/TabPage.h"

namespace orvalis {

TabPage* MakePage(const QString& name, PageContext& ctx);

}  // namespace orvalis
