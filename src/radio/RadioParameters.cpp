#include "radio/RadioParameters.h"

#include "link/ByteReader.h"

namespace orvalis {

namespace {

struct HardwareEntry {
  std::uint8_t code;
  const char* label;
  const char* serialBusLabel;  // nullptr: the code has no serial-bus variant
  bool channelSelection;
};

constexpr HardwareEntry kHardware[] = {
    {11, "CC1120_SLOT 460M", nullptr, true},
    {12, "460M", nullptr, true},
    {13, "V6", nullptr, true},
    {14, "V8 460M", "V8 460M BARRAMENTO", true},
    {15, "V8 460M GW IP", nullptr, true},
    {18, "CC1120_SLOT 915M", nullptr, true},
    {21, "V8 915M", "V8 915M BARRAMENTO", false},
    {22, "V8 915M GW IP", nullptr, false},
};

const HardwareEntry* FindHardware(std::uint8_t code) {
  for (const auto& e : kHardware)
    if (e.code == code) return &e;
  return nullptr;
}

constexpr const char* kPanelTypes[] = {
    "CONTACT-ID",
    "CONTACT-ID",
    "PARADOX ULTRA 738",
    "PARADOX SP-4000",
    "INTELBRAS AMT4010",
    "Central NÃO MONITORADA",
    "CONTACT-ID + ENT. PGM",
    "Barram.: JFL / VB / COMP.",
    "4 x ENT. PGM",
    "LINHA SP Sem Comandos",
    "Kaldorine KORB-7 ",
};

}  // namespace

RadioParameters DecodeRadioParameters(std::span<const std::uint8_t> frame) {
  const ByteReader r(frame);
  RadioParameters p;
  p.length = frame.size();
  p.shortReply = frame.size() < RadioParameters::kLayoutSize;
  p.radioId = r.u16le(0);
  p.code = r.u8(2);
  p.minutesLe = r.u16le(3);
  for (std::size_t i = 0; i < 4; ++i) p.serial[i] = r.u8(5 + i);
  p.hardwareCode = r.u8(9);
  p.masterProtocol = r.u8(10);
  p.firmwareRevision = r.u8(11);
  p.channel = r.u8(12);
  p.commandEventMode = r.u8(13);
  p.byte14 = r.u8(14);
  if (auto b = r.u8(15)) p.dataRateCode = static_cast<std::uint8_t>(*b & 0x7F);
  p.serialBaudCode = r.u8(16);
  p.firmwareVersion = r.u8(17);
  p.memoryBank = r.u8(18);
  p.firmwareCheck = r.u8(19);
  p.minutesBe = r.u16be(20);
  if (auto b = r.u8(21)) p.powerOptions = static_cast<std::uint8_t>(*b & 0x07);
  for (std::size_t i = 0; i < 4; ++i) p.bytes22to25[i] = r.u8(22 + i);
  p.panelType = r.u8(26);
  p.partition = r.u8(27);
  for (std::size_t i = 0; i < 2; ++i) p.bytes28to29[i] = r.u8(28 + i);
  p.boardVariant = r.u8(30);
  return p;
}

std::string HardwareLabel(std::uint8_t code, bool serialBusVariant) {
  const HardwareEntry* e = FindHardware(code);
  if (!e) return "...";
  if (serialBusVariant && e->serialBusLabel) return e->serialBusLabel;
  return e->label;
}

bool ChannelSelectionAllowed(std::uint8_t hardwareCode) {
  const HardwareEntry* e = FindHardware(hardwareCode);
  return !e || e->channelSelection;
}

std::string PanelTypeText(std::uint8_t type) {
  if (type < std::size(kPanelTypes)) return kPanelTypes[type];
  return {};
}

bool PowerOptionsQualify(std::uint8_t firmware, std::uint8_t revision) {
  return (firmware > 5 && firmware < 50) || (firmware == 5 && revision >= 5) || (firmware == 50 && revision >= 16) ||
         (firmware > 50 && firmware < 100);
}

}  // namespace orvalis
