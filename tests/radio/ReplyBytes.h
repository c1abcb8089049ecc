// Builds reply bursts for the radio tests: id, code, payload at the offsets given, and two CRC bytes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "link/RadioTypes.h"

namespace orvalis::test {

// A burst of `size` data bytes (positions 0..size-1) followed by two CRC bytes
// (the receive side never checks them, so any value will do).
inline Bytes Burst(RadioId id, CommandCode code, std::size_t size, const std::map<std::size_t, std::uint8_t>& at) {
  Bytes b(size, 0);
  if (size > 0) b[0] = static_cast<std::uint8_t>(id & 0xFF);
  if (size > 1) b[1] = static_cast<std::uint8_t>(id >> 8);
  if (size > 2) b[2] = code;
  for (const auto& [pos, v] : at) {
    if (pos >= b.size()) b.resize(pos + 1, 0);
    b[pos] = v;
  }
  b.push_back(0xA5);
  b.push_back(0x5A);
  return b;
}

inline Bytes Prefix(const Bytes& b, std::size_t n) {
  return Bytes(b.begin(), b.begin() + static_cast<long>(n));
}

}  // namespace orvalis::test
