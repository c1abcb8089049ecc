// Writes .rad images in the maker's layout from given bytes (test and demo images), and reads back the
// version tag the simulator uses to know which firmware it runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/RadioTypes.h"

namespace orvalis {

struct FirmwareVersionTag {
  std::uint8_t version = 0;   // reported in byte 17 of the parameter reply
  std::uint8_t revision = 0;  // reported in byte 11
  bool operator==(const FirmwareVersionTag&) const = default;
};

struct RadImageOptions {
  std::uint8_t headerType = 0x0F;  // 0x0F bank A, 0x1F bank B, 0x2F either
  std::uint8_t hardware = 13;      // header byte 0
  std::uint8_t role = 1;           // header byte 1: 0 = master radio only
  // 0x01 or 0x11; absent: 0x11 for a 0x1F header, else 0x01.
  std::optional<std::uint8_t> endType;
  std::uint32_t baseAddress = 0;  // linear address of the first data byte
  // Written as an 8-byte tag in front of the bytes; absent: the bytes alone.
  std::optional<FirmwareVersionTag> tag;
  // Check value of the end record; absent: RadImageCheckValue of the data written.
  std::optional<std::uint16_t> checkValue;
  std::size_t recordSize = 80;  // 1..255
};

inline constexpr std::size_t kVersionTagSize = 8;

// CRC-16/CCITT-FALSE (polynomial 0x1021, initial 0xFFFF) of the data bytes in address order.
std::uint16_t RadImageCheckValue(std::span<const std::uint8_t> data);
// "QMFW", version, revision, 0, 0.
Bytes VersionTagBytes(const FirmwareVersionTag& tag);
// The tag at the start of the first data bytes of an image; nullopt without the "QMFW" mark.
std::optional<FirmwareVersionTag> ReadVersionTag(std::span<const std::uint8_t> firstDataBytes);
// The tag of a .rad text: the start of its first type 0x00 record.
std::optional<FirmwareVersionTag> ReadRadImageVersion(std::string_view radText);
// Header, 0x04 record, data records (a 0x04 record wherever the 64 KiB segment changes), end record;
// CR LF between lines, none after the last.
std::string MakeRadImage(std::span<const std::uint8_t> bytes, const RadImageOptions& options = {});

}  // namespace orvalis
