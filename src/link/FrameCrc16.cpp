#include "link/FrameCrc16.h"

#include <array>

namespace orvalis {

namespace {
// Byte-at-a-time table of the bitwise algorithm.
constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t r = static_cast<std::uint16_t>(i);
    for (int b = 0; b < 8; ++b) r = (r & 1) ? static_cast<std::uint16_t>((r >> 1) ^ 0xA001) : static_cast<std::uint16_t>(r >> 1);
    t[i] = r;
  }
  return t;
}
constexpr auto kTable = MakeTable();
}  // namespace

std::uint16_t FrameCrc16(std::span<const std::uint8_t> bytes, std::uint16_t crc) {
  for (std::uint8_t b : bytes) crc = static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ b) & 0xFF]);
  return crc;
}

}  // namespace orvalis
