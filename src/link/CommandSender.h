// SendFrame / SendCommand: the single way out to the mesh (fire and forget).
#pragma once

#include <functional>
#include <span>
#include <string>

#include "link/LinkTransport.h"
#include "link/RadioFrame.h"

namespace orvalis {

class CommandSender {
public:
  enum class Path { None, Serial, Tcp };

  void setSerial(LinkTransport* t) { serial_ = t; }
  void setTcp(LinkTransport* t) { tcp_ = t; }
  // Set while the serial port was opened with the connect button.
  void setSerialConnected(bool on) { serialConnected_ = on; }
  bool serialConnected() const { return serialConnected_; }

  // The radio selector's gateway routing ("Via ID" and its list position).
  void setVia(bool on, RadioId gateway) {
    via_ = on;
    viaGateway_ = gateway;
  }
  bool via() const { return via_; }
  RadioId viaGateway() const { return viaGateway_; }
  // Called when a local read unticks "Via ID", so the page can follow.
  std::function<void()> onViaUnticked;
  // Called with a readable text when the transport refused a write.
  std::function<void(const std::string&)> onWriteFailed;
  // Called with every frame written (logging, tests).
  std::function<void(std::span<const std::uint8_t>)> onFrameSent;

  void armOneShotGateway(RadioId gateway) {
    oneShotArmed_ = true;
    oneShot_ = gateway;
  }
  bool oneShotArmed() const { return oneShotArmed_; }

  // Which transport a frame would take now.
  Path activePath() const;
  // The ACK byte of the receiver prefers the socket while it is connected.
  Path ackPath() const;

  // Returns the frame built (empty when nothing was built, n = 0).
  Bytes SendFrame(RadioId dest, std::span<const std::uint8_t> data);
  Bytes SendCommand(RadioId dest, CommandCode c, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);
  // Raw bytes outside a frame (echo test byte) on the active path.
  bool writeRaw(std::span<const std::uint8_t> bytes) { return writeOn(activePath(), bytes); }
  // The receiver's 0x06: on TCP when connected, else serial.
  bool writeAck();

private:
  bool writeOn(Path p, std::span<const std::uint8_t> bytes);

  LinkTransport* serial_ = nullptr;
  LinkTransport* tcp_ = nullptr;
  bool serialConnected_ = false;
  bool via_ = false;
  RadioId viaGateway_ = 0;
  bool oneShotArmed_ = false;
  RadioId oneShot_ = 0;
};

}  // namespace orvalis
