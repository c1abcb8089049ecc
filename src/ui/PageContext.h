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
class TcpControllerLink;
class ControllerDiscovery;

struct PageContext {
  CommandSender& sender;
  ResponseDispatcher& dispatcher;
  MainState& state;
  Dialogs& dialogs;
  LogPane& tx;
  LogPane& sur;
  RadioSelector& selector;
  std::function<void(const QString&)> setStatus;
  // The periodic-test minutes P changed (the communication table uses it).
  std::function<void(int)> periodicMinutesChanged = [](int) {};
  // The window that holds every page, for controls addressed by name.
  QWidget* window = nullptr;
  // The Ethernet controller's socket and its discovery (the CONEXÃO tab).
  TcpControllerLink* tcp = nullptr;
  ControllerDiscovery* discovery = nullptr;
  // Closes the serial port before a TCP connection starts.
  std::function<void()> closeSerial = [] {};
};

}  // namespace orvalis
