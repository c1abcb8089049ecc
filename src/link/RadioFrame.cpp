#include "link/RadioFrame.h"

#include "link/FrameCrc16.h"

namespace orvalis {

namespace {
void PutPrefix(Bytes& f, RadioId id) {
  f.push_back(static_cast<std::uint8_t>(id & 0xFF));
  f.push_back(static_cast<std::uint8_t>(id >> 8));
  f.push_back(kGatewayMarker);
}
}  // namespace

void AppendFrameCrc(Bytes& frame) {
  const std::uint16_t crc = FrameCrc16(frame);
  frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

Bytes BuildRadioFrame(RadioId dest, std::span<const std::uint8_t> data, const FrameRoute& route) {
  Bytes f;
  if (data.empty() || data.size() > kMaxFrameData) return f;
  f.reserve(data.size() + 10);
  if (route.gateway) PutPrefix(f, *route.gateway);
  if (route.oneShot) PutPrefix(f, *route.oneShot);
  f.push_back(static_cast<std::uint8_t>(dest & 0xFF));
  f.push_back(static_cast<std::uint8_t>(dest >> 8));
  f.insert(f.end(), data.begin(), data.end());
  AppendFrameCrc(f);
  return f;
}

}  // namespace orvalis
