// Bounds-checked reads of a received burst: a field past the end is absent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orvalis {

class ByteReader {
public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  bool has(std::size_t pos, std::size_t n = 1) const {
    return pos <= bytes_.size() && n <= bytes_.size() - pos;
  }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  std::optional<std::uint8_t> u8(std::size_t pos) const {
    if (!has(pos)) return std::nullopt;
    return bytes_[pos];
  }
  std::optional<std::int8_t> s8(std::size_t pos) const {
    if (!has(pos)) return std::nullopt;
    return static_cast<std::int8_t>(bytes_[pos]);
  }
  std::optional<std::uint16_t> u16le(std::size_t pos) const {
    if (!has(pos, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(bytes_[pos] | (bytes_[pos + 1] << 8));
  }
  std::optional<std::uint16_t> u16be(std::size_t pos) const {
    if (!has(pos, 2)) return std::nullopt;
    return static_cast<std::uint16_t>((bytes_[pos] << 8) | bytes_[pos + 1]);
  }
  std::optional<std::uint32_t> u32le(std::size_t pos) const {
    if (!has(pos, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(bytes_[pos]) | (static_cast<std::uint32_t>(bytes_[pos + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[pos + 2]) << 16) | (static_cast<std::uint32_t>(bytes_[pos + 3]) << 24);
  }
  std::optional<std::uint32_t> u32be(std::size_t pos) const {
    if (!has(pos, 4)) return std::nullopt;
    return (static_cast<std::uint32_t>(bytes_[pos]) << 24) | (static_cast<std::uint32_t>(bytes_[pos + 1]) << 16) |
           (static_cast<std::uint32_t>(bytes_[pos + 2]) << 8) | static_cast<std::uint32_t>(bytes_[pos + 3]);
  }
  // Up to n bytes from pos; shorter (or empty) when the burst ends first.
  std::span<const std::uint8_t> slice(std::size_t pos, std::size_t n) const {
    if (pos >= bytes_.size()) return {};
    return bytes_.subspan(pos, std::min(n, bytes_.size() - pos));
  }
  // Up to n characters from pos as text (bytes taken as they are).
  std::string text(std::size_t pos, std::size_t n) const {
    auto s = slice(pos, n);
    return std::string(s.begin(), s.end());
  }

private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace orvalis
