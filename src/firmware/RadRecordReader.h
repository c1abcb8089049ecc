// Cursor over the text of a .rad file: finds record marks and reads hex fields without reading past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/RadioTypes.h"

namespace orvalis {

struct RadRecordHead {
  std::uint8_t count = 0;
  std::uint16_t address = 0;  // high byte first in the text
  std::uint8_t type = 0;
};

struct RadRecord {
  RadRecordHead head;
  Bytes data;
  std::uint8_t checksum = 0;  // forwarded as it is; never verified
};

class RadRecordReader {
 public:
  enum class Status { Ok, EndOfInput, Truncated, BadDigit };

  explicit RadRecordReader(std::string_view text, std::size_t pos = 0);

  std::size_t position() const { return pos_; }
  std::size_t size() const { return text_.size(); }
  bool atEnd() const { return pos_ >= text_.size(); }
  // Clamped to the end of the text.
  void seek(std::size_t pos) { pos_ = pos < text_.size() ? pos : text_.size(); }

  // Moves past the next ':'; false (at the end) when the text ends first.
  bool skipToMark();
  // Each read leaves the position unchanged when it fails.
  Status readByte(std::uint8_t& out);
  Status readHead(RadRecordHead& out);
  Status readBytes(std::size_t n, Bytes& out);
  // Data bytes (count of them) and the record checksum.
  Status readBody(const RadRecordHead& head, RadRecord& out);
  // skipToMark + head + body; EndOfInput when no further ':' exists.
  Status next(RadRecord& out);

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace orvalis
