// RadioParameters: the 31-byte answer to the parameter reads 0xD4 / 0xE2, field by field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "link/RadioTypes.h"

namespace orvalis {

struct RadioParameters {
  static constexpr std::size_t kLayoutSize = 31;

  std::optional<RadioId> radioId;                          // 0-1, little-endian
  std::optional<CommandCode> code;                         // 2
  std::optional<std::uint16_t> minutesLe;                  // 3-4, little-endian (firmware 20..29)
  std::array<std::optional<std::uint8_t>, 4> serial;       // 5..8
  std::optional<std::uint8_t> hardwareCode;                // 9
  std::optional<std::uint8_t> masterProtocol;              // 10
  std::optional<std::uint8_t> firmwareRevision;            // 11
  std::optional<std::uint8_t> channel;                     // 12
  std::optional<std::uint8_t> commandEventMode;            // 13
  std::optional<std::uint8_t> byte14;                      // not interpreted
  std::optional<std::uint8_t> dataRateCode;                // 15, bits 0-6 (bit 7 dropped)
  std::optional<std::uint8_t> serialBaudCode;              // 16
  std::optional<std::uint8_t> firmwareVersion;             // 17
  std::optional<std::uint8_t> memoryBank;                  // 18
  std::optional<std::uint8_t> firmwareCheck;               // 19, 0 = failed
  std::optional<std::uint16_t> minutesBe;                  // 20-21, big-endian
  std::optional<std::uint8_t> powerOptions;                // 21, bits 0-2
  std::array<std::optional<std::uint8_t>, 4> bytes22to25;  // not interpreted
  std::optional<std::uint8_t> panelType;                   // 26
  std::optional<std::uint8_t> partition;                   // 27
  std::array<std::optional<std::uint8_t>, 2> bytes28to29;  // not interpreted
  std::optional<std::uint8_t> boardVariant;                // 30, 1 = serial-bus variant

  std::size_t length = 0;   // bytes received
  bool shortReply = false;  // fewer than kLayoutSize bytes: some fields absent

  bool isParameterReply() const { return code == code::kRemoteRead || code == code::kLocalRead; }
  bool serialBusVariant() const { return (hardwareCode == 14 || hardwareCode == 21) && boardVariant == 1; }
};

RadioParameters DecodeRadioParameters(std::span<const std::uint8_t> frame);

// Row 2 text of a hardware version code ("..." for an unknown code).
std::string HardwareLabel(std::uint8_t code, bool serialBusVariant);
// Codes 21 and 22 cannot change channel from the tool.
bool ChannelSelectionAllowed(std::uint8_t hardwareCode);
// Text of the monitored panel type (byte 26); empty from 11 on.
std::string PanelTypeText(std::uint8_t type);
// Whether the firmware carries the three power options in byte 21.
bool PowerOptionsQualify(std::uint8_t firmware, std::uint8_t revision);

}  // namespace orvalis
