#include "link/HexText.h"

namespace orvalis {

namespace {
int Digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
bool IsSeparator(char c) { return c == ' ' || c == ':' || c == ',' || c == '\t' || c == '\n' || c == '\r'; }
}  // namespace

std::optional<Bytes> ParseHex(std::string_view text, std::string* error) {
  Bytes out;
  int hi = -1;
  std::size_t pos = 0;
  for (char c : text) {
    ++pos;
    if (IsSeparator(c)) {
      if (hi >= 0) break;  // a group with an odd number of digits
      continue;
    }
    const int d = Digit(c);
    if (d < 0) {
      if (error) *error = "caractere não hexadecimal '" + std::string(1, c) + "' na posição " + std::to_string(pos);
      return std::nullopt;
    }
    if (hi < 0) {
      hi = d;
    } else {
      out.push_back(static_cast<std::uint8_t>(hi * 16 + d));
      hi = -1;
    }
  }
  if (hi >= 0) {
    if (error) *error = "número ímpar de dígitos hexadecimais";
    return std::nullopt;
  }
  return out;
}

std::string ToHexText(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(bytes.size() * 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) s += ' ';
    s += kDigits[bytes[i] >> 4];
    s += kDigits[bytes[i] & 15];
  }
  return s;
}

}  // namespace orvalis
