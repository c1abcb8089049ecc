#include "cli/CliLink.h"

#include <QTime>
#include <QTimer>

#include "link/ControllerLogin.h"
#include "platform/ComputerToken.h"

namespace orvalis::cli {

CliLink::CliLink(QObject* parent) : QObject(parent) {
  sender_.setSerial(&serial_);
  sender_.setTcp(&tcp_);
  connect(&serial_, &SerialLink::burstReceived, this, &CliLink::feed);
  connect(&tcp_, &TcpControllerLink::bytesRead, this, &CliLink::feed);
}

namespace {
// Waits for the controller's login answer.
class LoginWait : public DispatchTarget {
public:
  std::function<void(const LoginAnswer&)> done;
  void onControllerLogin(const Reply& r) override {
    if (const auto a = DecodeLoginAnswer(r.bytes); a && done) done(*a);
  }
};
}  // namespace

void CliLink::openTcp(const QString& host, quint16 port, const std::function<void()>& ready,
                      const std::function<void(const QString&)>& failed) {
  auto* wait = new LoginWait;
  fanout_.add(wait);
  wait->done = [this, wait, ready, failed](const LoginAnswer& a) {
    // The waiter goes once its answer is handled, not while it runs.
    fanout_.remove(wait);
    QTimer::singleShot(0, this, [wait] { delete wait; });
    if (a.keepOpen) {
      ready();
      return;
    }
    QStringList lines;
    for (const auto& l : a.txLines) lines << QString::fromStdString(l);
    failed(lines.isEmpty() ? QStringLiteral("login recusado pela controladora") : lines.join(' '));
  };
  connect(&tcp_, &TcpControllerLink::connected, this, [this, failed] {
    const ComputerToken::Result token = ComputerToken().compute();
    if (!token.ok()) {
      failed(token.error);
      return;
    }
    sender_.SendFrame(kControllerId, BuildLoginMessage(token.digest));
  });
  connect(&tcp_, &TcpControllerLink::error, this, [failed](const QString& text, bool refused) {
    failed(refused ? QString::fromUtf8(kTextRefused.data(), qsizetype(kTextRefused.size())) : text);
  });
  tcp_.connectToHost(host, port);
}

bool CliLink::openSerial(const QString& device, QString* error) {
  if (!serial_.open(device, 9600, error)) return false;
  sender_.setSerialConnected(true);
  return true;
}

void CliLink::feed(const QByteArray& bytes) {
  if (onBurst) onBurst(bytes);
  if (continuation_ && continuation_(bytes)) return;
  const std::string time = QTime::currentTime().toString("HH:mm:ss").toStdString();
  dispatcher_.dispatch(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())),
      time);
}

}  // namespace orvalis::cli
