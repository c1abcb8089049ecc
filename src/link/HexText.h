// Hex text as typed by users ("05 00 D7", "0500d7", "05:00:D7") and back.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/RadioTypes.h"

namespace orvalis {

// Bytes from hex digits, separated or not by blanks, ':' or ','; none (and
// an error text) for other characters or an odd number of digits.
std::optional<Bytes> ParseHex(std::string_view text, std::string* error = nullptr);
// Upper-case hex with single spaces: "05 00 D7".
std::string ToHexText(std::span<const std::uint8_t> bytes);

}  // namespace orvalis
