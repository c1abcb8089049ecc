#include "firmware/RadRecordReader.h"

namespace orvalis {

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

RadRecordReader::RadRecordReader(std::string_view text, std::size_t pos) : text_(text) {
  seek(pos);
}

bool RadRecordReader::skipToMark() {
  const std::size_t at = text_.find(':', pos_);
  if (at == std::string_view::npos) {
    pos_ = text_.size();
    return false;
  }
  pos_ = at + 1;
  return true;
}

RadRecordReader::Status RadRecordReader::readByte(std::uint8_t& out) {
  if (text_.size() - pos_ < 2) return Status::Truncated;
  const int hi = HexValue(text_[pos_]);
  const int lo = HexValue(text_[pos_ + 1]);
  if (hi < 0 || lo < 0) return Status::BadDigit;
  out = static_cast<std::uint8_t>(hi * 16 + lo);
  pos_ += 2;
  return Status::Ok;
}

RadRecordReader::Status RadRecordReader::readHead(RadRecordHead& out) {
  const std::size_t start = pos_;
  std::uint8_t b[4];
  for (auto& x : b) {
    const Status s = readByte(x);
    if (s != Status::Ok) {
      pos_ = start;
      return s;
    }
  }
  out.count = b[0];
  out.address = static_cast<std::uint16_t>((b[1] << 8) | b[2]);
  out.type = b[3];
  return Status::Ok;
}

RadRecordReader::Status RadRecordReader::readBytes(std::size_t n, Bytes& out) {
  const std::size_t start = pos_;
  out.clear();
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    std::uint8_t x = 0;
    const Status s = readByte(x);
    if (s != Status::Ok) {
      pos_ = start;
      out.clear();
      return s;
    }
    out.push_back(x);
  }
  return Status::Ok;
}

RadRecordReader::Status RadRecordReader::readBody(const RadRecordHead& head, RadRecord& out) {
  const std::size_t start = pos_;
  out.head = head;
  Status s = readBytes(head.count, out.data);
  if (s == Status::Ok) s = readByte(out.checksum);
  if (s != Status::Ok) pos_ = start;
  return s;
}

RadRecordReader::Status RadRecordReader::next(RadRecord& out) {
  if (!skipToMark()) return Status::EndOfInput;
  RadRecordHead head;
  const Status s = readHead(head);
  if (s != Status::Ok) return s;
  return readBody(head, out);
}

}  // namespace orvalis
