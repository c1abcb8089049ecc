// Hex text <-> bytes for readable test tables.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace orvalis::test {

inline std::vector<std::uint8_t> Hex(const std::string& s) {
  std::vector<std::uint8_t> out;
  int hi = -1;
  for (char c : s) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) continue;
    const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::toupper(c) - 'A' + 10);
    if (hi < 0) {
      hi = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(hi * 16 + v));
      hi = -1;
    }
  }
  return out;
}

inline std::vector<std::uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

inline std::string ToHex(std::span<const std::uint8_t> b) {
  std::string out;
  char buf[4];
  for (std::size_t i = 0; i < b.size(); ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", b[i]);
    out += buf;
  }
  return out;
}

}  // namespace orvalis::test
