// Shared reply-wait state the dispatcher reads, kept by the main window.
#pragma once

#include <optional>
#include <string_view>

#include "link/RadioTypes.h"

namespace orvalis {

enum class PanelTab { Other, Intelbras, Jfl, Paradox, Compatec, Korb7, Viaweb };

class DispatchContext {
public:
  virtual ~DispatchContext() = default;
  virtual bool awaitingReply() const = 0;
  virtual void setAwaitingReply(bool on) = 0;
  virtual bool uploadActive() const = 0;
  virtual int ackState() const = 0;
  virtual RadioId targetRadio() const = 0;
  virtual RadioId currentRadio() const = 0;
  // The number shown in TL_gateway; none when it is "----" or not a number.
  virtual std::optional<RadioId> gatewayShown() const = 0;
  virtual bool echoButtonVisible() const = 0;
  virtual bool decimalTicked() const = 0;
  virtual PanelTab activeTab() const = 0;
  virtual bool rssiReadFlag() const = 0;
  // Terminal pane and status bar.
  virtual void appendTx(std::string_view text) = 0;
  virtual void setStatus(std::string_view text) = 0;
  virtual void clearUserText() = 0;
};

}  // namespace orvalis
