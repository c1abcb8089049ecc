// Data bytes of the upload's requests (CommandCode first), as handed to SendFrame.
#pragma once

#include <cstdint>
#include <span>

#include "firmware/RadRecordReader.h"
#include "link/RadioTypes.h"

namespace orvalis {

namespace fw_code {
inline constexpr CommandCode kRemoteVersionRead = 0xD4;  // "Update via RF" ticked
inline constexpr CommandCode kLocalVersionRead = 0xE2;
inline constexpr CommandCode kErase = 0xE9;
inline constexpr CommandCode kEnd = 0xEA;
inline constexpr CommandCode kWrite = 0xEB;
}  // namespace fw_code

Bytes BuildVersionRead(bool viaRf);
Bytes BuildErase();
// flag: 1 for an end record of type 0x11, 0 for 0x01.
Bytes BuildEndCommand(std::uint8_t flag, std::uint16_t checkValue);
// NOT of the XOR of the bytes; 0xAA goes out as 0xAB.
std::uint8_t WriteCheckByte(std::span<const std::uint8_t> bytes);
// 0xEB 00 type count addrHi addrLo data... checksum check (8 + count bytes).
Bytes BuildWritePacket(const RadRecord& record);

}  // namespace orvalis
