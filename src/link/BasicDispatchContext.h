// A DispatchContext held in plain fields: for programs without windows and for tests.
#pragma once

#include "link/DispatchContext.h"

namespace orvalis {

class BasicDispatchContext : public DispatchContext {
public:
  bool awaiting = false;
  bool upload = false;
  int ack = 0;
  RadioId target = 0;
  RadioId current = 0;
  std::optional<RadioId> gateway;
  bool echo = false;
  bool decimal = true;
  PanelTab tab = PanelTab::Other;
  bool rssi = false;

  bool awaitingReply() const override { return awaiting; }
  void setAwaitingReply(bool on) override { awaiting = on; }
  bool uploadActive() const override { return upload; }
  int ackState() const override { return ack; }
  RadioId targetRadio() const override { return target; }
  RadioId currentRadio() const override { return current; }
  std::optional<RadioId> gatewayShown() const override { return gateway; }
  bool echoButtonVisible() const override { return echo; }
  bool decimalTicked() const override { return decimal; }
  PanelTab activeTab() const override { return tab; }
  bool rssiReadFlag() const override { return rssi; }
  // Nothing to show on; callers that log override these.
  void appendTx(std::string_view) override {}
  void setStatus(std::string_view) override {}
  void clearUserText() override {}
};

}  // namespace orvalis
