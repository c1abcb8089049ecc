// One received burst as the dispatcher hands it to a page.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "link/ByteReader.h"
#include "link/RadioTypes.h"

namespace orvalis {

struct Reply {
  std::span<const std::uint8_t> bytes;
  std::string_view timeText;  // the locale's time text, taken once per burst

  RadioId source() const { return ByteReader(bytes).u16le(0).value_or(0); }
  CommandCode code() const { return ByteReader(bytes).u8(2).value_or(0); }
  ByteReader reader() const { return ByteReader(bytes); }
};

}  // namespace orvalis
