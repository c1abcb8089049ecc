// What the tool does with each record type of a .rad file.
#pragma once

#include <cstdint>

namespace orvalis {

enum class RadRecordClass {
  Header,     // 0x0F bank A, 0x1F bank B, 0x2F either bank
  End,        // 0x01 bank A, 0x11 bank B
  CheckLine,  // 0x90: sent like data, logged by the analysis
  Data,       // any other type whose low four bits are 0..5
  NotAllowed  // low four bits 6..15 outside the headers
};

namespace rad {
inline constexpr std::uint8_t kHeaderBankA = 0x0F;
inline constexpr std::uint8_t kHeaderBankB = 0x1F;
inline constexpr std::uint8_t kHeaderAnyBank = 0x2F;
inline constexpr std::uint8_t kEndBankA = 0x01;
inline constexpr std::uint8_t kEndBankB = 0x11;
inline constexpr std::uint8_t kCheckLine = 0x90;
inline constexpr std::uint8_t kData = 0x00;
inline constexpr std::uint8_t kExtendedLinearAddress = 0x04;
}  // namespace rad

constexpr RadRecordClass ClassifyRadRecord(std::uint8_t type) {
  switch (type) {
    case rad::kHeaderBankA:
    case rad::kHeaderBankB:
    case rad::kHeaderAnyBank:
      return RadRecordClass::Header;
    case rad::kEndBankA:
    case rad::kEndBankB:
      return RadRecordClass::End;
    case rad::kCheckLine:
      return RadRecordClass::CheckLine;
    default:
      return (type & 0x0F) <= 5 ? RadRecordClass::Data : RadRecordClass::NotAllowed;
  }
}

}  // namespace orvalis
