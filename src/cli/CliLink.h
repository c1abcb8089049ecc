// The command-line tool's link: one transport, the sender and the dispatcher,
// with the reply-wait state a command needs.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "link/CommandSender.h"
#include "link/DispatchFanout.h"
#include "link/ResponseDispatcher.h"
#include "platform/SerialLink.h"
#include "platform/TcpControllerLink.h"

namespace orvalis::cli {

class CliLink : public QObject, public DispatchContext {
  Q_OBJECT
public:
  explicit CliLink(QObject* parent = nullptr);

  // Opens the serial device; false with the error text.
  bool openSerial(const QString& device, QString* error);
  // Connects to the Ethernet controller and logs in; `ready` runs once the
  // login is accepted, `failed` with the reason (refused, login refused).
  void openTcp(const QString& host, quint16 port, std::function<void()> ready,
               std::function<void(const QString&)> failed);

  CommandSender& sender() { return sender_; }
  ResponseDispatcher& dispatcher() { return dispatcher_; }
  DispatchFanout& targets() { return fanout_; }

  void setRadio(RadioId radio) { radio_ = radio; }
  void setGateway(std::optional<RadioId> gw) {
    gateway_ = gw;
    sender_.setVia(gw.has_value(), gw.value_or(0));
  }
  // Every burst as it arrives, before routing.
  std::function<void(const QByteArray&)> onBurst;
  // Offered every burst first; true when it took it (the rest of a cut event message).
  void setAcceptContinuation(std::function<bool(const QByteArray&)> f) { continuation_ = std::move(f); }
  void feed(const QByteArray& bytes);

  // DispatchContext
  bool awaitingReply() const override { return awaiting_; }
  void setAwaitingReply(bool on) override { awaiting_ = on; }
  bool uploadActive() const override { return false; }
  int ackState() const override { return 0; }
  RadioId targetRadio() const override { return radio_; }
  RadioId currentRadio() const override { return radio_; }
  std::optional<RadioId> gatewayShown() const override { return gateway_; }
  bool echoButtonVisible() const override { return false; }
  bool decimalTicked() const override { return true; }
  PanelTab activeTab() const override { return PanelTab::Other; }
  bool rssiReadFlag() const override { return false; }
  void appendTx(std::string_view) override {}
  void setStatus(std::string_view) override {}
  void clearUserText() override {}

private:
  SerialLink serial_;
  TcpControllerLink tcp_;
  CommandSender sender_;
  DispatchFanout fanout_;
  ResponseDispatcher dispatcher_{*this, fanout_, sender_};
  RadioId radio_ = 0;
  std::optional<RadioId> gateway_;
  bool awaiting_ = false;
  std::function<bool(const QByteArray&)> continuation_;
};

}  // namespace orvalis::cli
