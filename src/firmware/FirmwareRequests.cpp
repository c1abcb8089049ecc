#include "firmware/FirmwareRequests.h"

namespace orvalis {

Bytes BuildVersionRead(bool viaRf) {
  return {viaRf ? fw_code::kRemoteVersionRead : fw_code::kLocalVersionRead, 0x00, 0x00, 0x00};
}

Bytes BuildErase() {
  return {fw_code::kErase, 0x00, 0x00, 0x00};
}

Bytes BuildEndCommand(std::uint8_t flag, std::uint16_t checkValue) {
  return {fw_code::kEnd, flag, static_cast<std::uint8_t>(checkValue >> 8), static_cast<std::uint8_t>(checkValue)};
}

std::uint8_t WriteCheckByte(std::span<const std::uint8_t> bytes) {
  std::uint8_t x = 0;
  for (const std::uint8_t b : bytes) x ^= b;
  const auto check = static_cast<std::uint8_t>(~x);
  return check == 0xAA ? 0xAB : check;
}

Bytes BuildWritePacket(const RadRecord& record) {
  Bytes p;
  p.reserve(8 + record.data.size());
  p.push_back(fw_code::kWrite);
  p.push_back(0x00);
  p.push_back(record.head.type);
  p.push_back(record.head.count);
  p.push_back(static_cast<std::uint8_t>(record.head.address >> 8));
  p.push_back(static_cast<std::uint8_t>(record.head.address));
  p.insert(p.end(), record.data.begin(), record.data.end());
  p.push_back(record.checksum);
  p.push_back(WriteCheckByte(p));
  return p;
}

}  // namespace orvalis
