// Whether the header record of an image may be written to the radio that answered the version read.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "link/RadioTypes.h"

namespace orvalis {

struct HeaderCheck {
  std::uint8_t headerType = 0;    // 0x0F, 0x1F or 0x2F
  std::uint8_t hardwareByte = 0;  // header data byte 0
  std::uint8_t roleFlag = 0;      // header data byte 1: 0 = master radio only
  RadioId target = 0;
  // From the version reply; absent when the reply was too short to hold them.
  std::optional<std::uint8_t> reportedHardware;
  std::optional<std::uint8_t> reportedBank;  // 0 = A, 1 = B
};

namespace header_refusal {
inline constexpr std::string_view kHardware = "Firmware não é para esta versão de Hardware";
inline constexpr std::string_view kMasterOnly = "Este firmware é só para o rádio Mestre";
inline constexpr std::string_view kSlaveOnly = "Este firmware é só para o rádio Escravo";
inline constexpr std::string_view kBank = "Firmware não é para este Banco de Memória";
}  // namespace header_refusal

// nullopt = accepted; otherwise the refusal to log.
std::optional<std::string_view> CheckHeaderCompatibility(const HeaderCheck& h);

}  // namespace orvalis
