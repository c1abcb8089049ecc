// CRC-16 of radio frames (reflected 0xA001, initial 0xC181, no final XOR).
#pragma once

#include <cstdint>
#include <span>

namespace orvalis {

inline constexpr std::uint16_t kFrameCrcInit = 0xC181;

std::uint16_t FrameCrc16(std::span<const std::uint8_t> bytes, std::uint16_t crc = kFrameCrcInit);

}  // namespace orvalis
