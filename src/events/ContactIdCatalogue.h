// The fixed table of Contact-ID event codes and their Portuguese descriptions.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace orvalis {

class ContactIdCatalogue {
 public:
  struct Entry {
    std::string_view code;  // three digits; "FFF" for the end entry
    std::string stored;     // description in its stored form (UTF-8)
  };

  // 115 entries followed by the end entry, in stored order.
  static std::span<const Entry> Entries();
  static constexpr std::size_t kEntryCount = 115;
  static constexpr std::size_t kScanLimit = 500;

  // Stored description of the first entry whose code equals the first three
  // characters of `code`; the end entry's when none does. A code shorter than
  // three characters never matches.
  static const std::string& Lookup(std::string_view code);
  // The same text without the surrounding blanks and tabs (for plain output).
  static std::string LookupTrimmed(std::string_view code);
  static std::string Trim(std::string_view text);
};

// Number of characters (code points) of a UTF-8 text.
std::size_t Utf8Length(std::string_view text);

}  // namespace orvalis
