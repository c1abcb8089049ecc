// What every tab page gets from the main window.
#pragma once

#include <functional>

#include <QString>

#include "link/CommandSender.h"
#include "link/ResponseDispatcher.h"
#include "ui/Dialogs.h"
#include "ui/LogPane.h"
#include "ui/MainState.h"

namespace orvalis {

class RadioSelector;

struct PageContext {
  CommandSender& sender;
  ResponseDispatcher& dispatcher;
  MainState& state;
  Dialogs& dialogs;
  LogPane& tx;
  LogPane& sur;
  RadioSelector& selector;
  std::function<void(const QString&)> setStatus;
};

}  // namespace orvalis
