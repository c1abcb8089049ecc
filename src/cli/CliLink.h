// The command-line tool's link: one transport, the sender and the dispatcher,
// with the reply-wait state a command needs.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

#include "link/BasicDispatchContext.h"
#include "link/CommandSender.h"
#include "link/DispatchFanout.h"
#include "link/ResponseDispatcher.h"
#include "platform/SerialLink.h"
#include "platform/TcpControllerLink.h"

namespace orvalis::cli {

class CliLink : public QObject, public BasicDispatchContext {
  Q_OBJECT
public:
  explicit CliLink(QObject* parent = nullptr);

  // Opens the serial device; false with the error text.
  bool openSerial(const QString& device, QString* error);
  // Connects to the Ethernet controller and logs in; `ready` runs once the
  // login is accepted, `failed` with the reason (refused, login refused).
  void openTcp(const QString& host, quint16 port, const std::function<void()>& ready,
               const std::function<void(const QString&)>& failed);

  CommandSender& sender() { return sender_; }
  ResponseDispatcher& dispatcher() { return dispatcher_; }
  DispatchFanout& targets() { return fanout_; }

  // The radio a command is for: both the current and the target radio.
  void setRadio(RadioId radio) {
    current = radio;
    target = radio;
  }
  void setGateway(std::optional<RadioId> gw) {
    gateway = gw;
    sender_.setVia(gw.has_value(), gw.value_or(0));
  }
  // Every burst as it arrives, before routing.
  std::function<void(const QByteArray&)> onBurst;
  // Offered every burst first; true when it took it (the rest of a cut event message).
  void setAcceptContinuation(std::function<bool(const QByteArray&)> f) { continuation_ = std::move(f); }
  void feed(const QByteArray& bytes);

private:
  SerialLink serial_;
  TcpControllerLink tcp_;
  CommandSender sender_;
  DispatchFanout fanout_;
  ResponseDispatcher dispatcher_{*this, fanout_, sender_};
  std::function<bool(const QByteArray&)> continuation_;
};

}  // namespace orvalis::cli
