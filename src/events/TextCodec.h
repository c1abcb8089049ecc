// Conversions between UTF-8, UTF-16 and Windows-1252 text.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvalis {

class TextCodec {
 public:
  // Single-byte Windows text: 0x80-0x9F through the code page 1252 table,
  // every other byte is the Latin-1 character of the same value.
  static std::string Cp1252ToUtf8(std::span<const std::uint8_t> bytes);
  static std::string Cp1252ToUtf8(std::string_view bytes);

  // Position of the first byte that is not well-formed UTF-8, if any.
  static std::optional<std::size_t> FindInvalidUtf8(std::string_view text);
  // nullopt when `text` is not well-formed UTF-8.
  static std::optional<std::u16string> Utf8ToUtf16(std::string_view text);
  // nullopt when `text` holds an unpaired surrogate.
  static std::optional<std::string> Utf16ToUtf8(std::u16string_view text);

  static void AppendUtf8(std::string& out, char32_t cp);
  // UTF-8 appended as UTF-16LE bytes; false (and `out` partly written) when
  // `text` is not well-formed UTF-8.
  static bool AppendUtf16le(std::vector<std::uint8_t>& out, std::string_view text);
  // UTF-16 bytes (even count, no BOM) to UTF-8; nullopt on an unpaired surrogate.
  static std::optional<std::string> Utf16BytesToUtf8(std::span<const std::uint8_t> bytes, bool littleEndian);
};

}  // namespace orvalis
