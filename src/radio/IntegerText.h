// Conversion of a typed field text to an integer, with the error text shown when it is not one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvalis {

struct IntegerParse {
  std::optional<std::int64_t> value;  // absent when the text is not an integer
  std::string error;                  // text for the error box when absent

  bool ok() const { return value.has_value(); }
};

// Decimal integer with optional sign; surrounding blanks (masked edits pad
// with them) are ignored. Empty text, other characters or a value that does
// not fit 32 bits are errors, as the edit's own conversion would report them.
IntegerParse ParseInteger(std::string_view text);

// Number or nothing, for cells where anything else simply counts as 0.
std::optional<std::int64_t> IntegerOrNothing(std::string_view text);

}  // namespace orvalis
