#include "link/CommandSender.h"

#include <array>

namespace orvalis {

CommandSender::Path CommandSender::activePath() const {
  if (serialConnected_ && serial_) return Path::Serial;
  if (tcp_ && tcp_->isOpen()) return Path::Tcp;
  return Path::None;
}

CommandSender::Path CommandSender::ackPath() const {
  if (tcp_ && tcp_->isOpen()) return Path::Tcp;
  return serial_ ? Path::Serial : Path::None;
}

bool CommandSender::writeOn(Path p, std::span<const std::uint8_t> bytes) {
  LinkTransport* t = p == Path::Serial ? serial_ : p == Path::Tcp ? tcp_ : nullptr;
  if (!t) return false;  // no transport: dropped without a message
  if (!t->write(bytes)) {
    if (onWriteFailed) onWriteFailed(p == Path::Serial ? "serial" : "tcp");
    return false;
  }
  return true;
}

Bytes CommandSender::SendFrame(RadioId dest, std::span<const std::uint8_t> data) {
  if (data.empty()) return {};
  // The local read never goes through a gateway, and leaves "Via ID" off.
  if (data[0] == code::kLocalRead && via_) {
    via_ = false;
    if (onViaUnticked) onViaUnticked();
  }
  FrameRoute route;
  if (via_) route.gateway = viaGateway_;
  if (oneShotArmed_ && oneShot_ != 0) route.oneShot = oneShot_;
  Bytes frame = BuildRadioFrame(dest, data, route);
  if (frame.empty()) return frame;
  if (route.oneShot) oneShotArmed_ = false;
  const Path p = activePath();
  if (p != Path::None && writeOn(p, frame) && onFrameSent) onFrameSent(frame);
  return frame;
}

Bytes CommandSender::SendCommand(RadioId dest, CommandCode c, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3) {
  const std::array<std::uint8_t, 4> data{c, p1, p2, p3};
  return SendFrame(dest, data);
}

bool CommandSender::writeAck() {
  static constexpr std::array<std::uint8_t, 1> kAck{0x06};
  return writeOn(ackPath(), kAck);
}

}  // namespace orvalis
