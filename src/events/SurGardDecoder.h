// Decodes one Sur-Gard event message into a ContactIdEvent, position by position.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "events/ContactIdEvent.h"

namespace orvalis {

class SurGardDecoder {
 public:
  // `message` is the text without its 0x14 (at most the 200-character
  // buffer), beginning with "5" or "6". Missing characters give short or
  // empty fields; nothing is read outside the span.
  static ContactIdEvent Decode(std::span<const std::uint8_t> message, bool endedWithDc4, const Arrival& at);

  // 2 when the message does not begin with "5000 18" or "6000 18".
  static std::size_t HeaderExtra(std::span<const std::uint8_t> message);
  static TextColour RowColour(const std::string& qualifier, const std::string& code);
  // Whole-digit code 880 to 889.
  static bool IsRadioCode(const std::string& code);
};

}  // namespace orvalis
