#include "firmware/RadImageMaker.h"

#include <algorithm>
#include <array>

#include "firmware/RadRecordClass.h"
#include "firmware/RadRecordReader.h"

namespace orvalis {

namespace {
constexpr std::array<std::uint8_t, 4> kTagMark{'Q', 'M', 'F', 'W'};

void HexByte(std::string& out, std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += kDigits[b >> 4];
  out += kDigits[b & 0x0F];
}

// One record with a true Intel HEX checksum, or with the given final byte.
void Record(std::string& out, std::uint8_t type, std::uint16_t address, std::span<const std::uint8_t> data,
            std::optional<std::uint8_t> lastByte = std::nullopt) {
  if (!out.empty()) out += "\r\n";
  out += ':';
  const auto count = static_cast<std::uint8_t>(data.size());
  std::uint8_t sum = count;
  HexByte(out, count);
  HexByte(out, static_cast<std::uint8_t>(address >> 8));
  HexByte(out, static_cast<std::uint8_t>(address));
  HexByte(out, type);
  sum = static_cast<std::uint8_t>(sum + (address >> 8) + (address & 0xFF) + type);
  for (const std::uint8_t b : data) {
    HexByte(out, b);
    sum = static_cast<std::uint8_t>(sum + b);
  }
  HexByte(out, lastByte.value_or(static_cast<std::uint8_t>(-sum)));
}

void Segment(std::string& out, std::uint32_t linear) {
  const std::array<std::uint8_t, 2> upper{static_cast<std::uint8_t>(linear >> 24),
                                          static_cast<std::uint8_t>(linear >> 16)};
  Record(out, rad::kExtendedLinearAddress, 0x0000, upper);
}
}  // namespace

std::uint16_t RadImageCheckValue(std::span<const std::uint8_t> data) {
  std::uint16_t crc = 0xFFFF;
  for (const std::uint8_t b : data) {
    crc = static_cast<std::uint16_t>(crc ^ (b << 8));
    for (int i = 0; i < 8; ++i) crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

Bytes VersionTagBytes(const FirmwareVersionTag& tag) {
  return {kTagMark[0], kTagMark[1], kTagMark[2], kTagMark[3], tag.version, tag.revision, 0x00, 0x00};
}

std::optional<FirmwareVersionTag> ReadVersionTag(std::span<const std::uint8_t> first) {
  if (first.size() < kVersionTagSize || !std::equal(kTagMark.begin(), kTagMark.end(), first.begin()))
    return std::nullopt;
  return FirmwareVersionTag{first[4], first[5]};
}

std::optional<FirmwareVersionTag> ReadRadImageVersion(std::string_view radText) {
  RadRecordReader reader(radText);
  RadRecord rec;
  for (;;) {
    const auto s = reader.next(rec);
    if (s != RadRecordReader::Status::Ok) return std::nullopt;
    if (rec.head.type == rad::kData) return ReadVersionTag(rec.data);
  }
}

std::string MakeRadImage(std::span<const std::uint8_t> bytes, const RadImageOptions& o) {
  Bytes data;
  if (o.tag) data = VersionTagBytes(*o.tag);
  data.insert(data.end(), bytes.begin(), bytes.end());
  const std::size_t recordSize = std::clamp<std::size_t>(o.recordSize, 1, 255);

  std::string out;
  out.reserve(data.size() * 2 + data.size() / recordSize * 16 + 64);
  const std::array<std::uint8_t, 2> header{o.hardware, o.role};
  Record(out, o.headerType, 0x0000, header);
  Segment(out, o.baseAddress);

  std::uint32_t linear = o.baseAddress;
  std::size_t at = 0;
  while (at < data.size()) {
    // A record never crosses into the next 64 KiB segment.
    const std::size_t toSegmentEnd = 0x10000 - (linear & 0xFFFF);
    const std::size_t n = std::min({recordSize, data.size() - at, toSegmentEnd});
    Record(out, rad::kData, static_cast<std::uint16_t>(linear), std::span(data).subspan(at, n));
    at += n;
    linear += static_cast<std::uint32_t>(n);
    if (at < data.size() && (linear & 0xFFFF) == 0) Segment(out, linear);
  }

  const std::uint8_t endType = o.endType.value_or(o.headerType == rad::kHeaderBankB ? rad::kEndBankB : rad::kEndBankA);
  const std::uint16_t check = o.checkValue.value_or(RadImageCheckValue(data));
  const std::array<std::uint8_t, 2> checkBytes{static_cast<std::uint8_t>(check >> 8), static_cast<std::uint8_t>(check)};
  Record(out, endType, 0x0000, checkBytes, 0xFF);
  return out;
}

}  // namespace orvalis
