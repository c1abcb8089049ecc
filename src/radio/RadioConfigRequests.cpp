#include "radio/RadioConfigRequests.h"

#include <algorithm>

namespace orvalis {

namespace {

std::uint8_t Low(int v) {
  return static_cast<std::uint8_t>(v & 0xFF);
}
std::uint8_t Bit(bool on, int bit) {
  return static_cast<std::uint8_t>(on ? 1 << bit : 0);
}

}  // namespace

Bytes BuildConfigure(RadioId destination, const ConfigurePage& page) {
  Bytes b;
  b.reserve(13);
  b.push_back(code::kConfigure);
  b.push_back(static_cast<std::uint8_t>(Bit(page.te810, 0) | Bit(page.te812, 2) | Bit(page.te01rep, 3) |
                                        Bit(page.e886, 4) | Bit(page.desLN, 5)));
  b.push_back(0);
  for (int s : page.serial) b.push_back(Low(s));
  std::uint8_t protocol = 1;  // a remote radio is always an alarm radio
  if (destination == 0) protocol = page.protocolo == 4 ? 0 : Low(page.protocolo);
  b.push_back(protocol);
  b.push_back(Low(page.tipoAck));
  b.push_back(Low(3 - page.velocidade));
  b.push_back(Low(page.serialBaud));
  b.push_back(static_cast<std::uint8_t>(Bit(page.baixoConsumo, 0) | Bit(page.repetidor, 1) | Bit(page.disLN, 2)));
  b.push_back(0);
  return b;
}

Bytes BuildParameterRead(bool local, RadioId selected) {
  const CommandCode c = (local || selected == 0) ? code::kLocalRead : code::kRemoteRead;
  return {c, 0, 0, 0};
}

IntegerParse ParsePeriodicMinutes(std::string_view text) {
  IntegerParse r = ParseInteger(text);
  if (r.value && *r.value > kPeriodicMaxMinutes) r.value = kPeriodicMaxMinutes;
  return r;
}

Bytes BuildPeriodicTest(int minutes) {
  return {code::kPeriodicTest, 1, Low(minutes), Low(minutes >> 8)};
}

PeriodicTestPlan PlanPeriodicTest(int storedMinutes) {
  PeriodicTestPlan p;
  p.needsConfirmation = storedMinutes < kPeriodicMinMinutes;
  p.minutesSent = p.needsConfirmation ? kPeriodicMinMinutes : storedMinutes;
  p.request = BuildPeriodicTest(p.minutesSent);
  return p;
}

PeriodicTestFromText PlanPeriodicTest(std::string_view cPeriodicoText) {
  PeriodicTestFromText out;
  const IntegerParse r = ParsePeriodicMinutes(cPeriodicoText);
  if (!r.ok()) {
    out.error = r.error;
    return out;
  }
  out.plan = PlanPeriodicTest(static_cast<int>(*r.value));
  return out;
}

Bytes BuildChannel(int channelIndex) {
  return {code::kChannel, Low(channelIndex), 0, 0};
}
bool ChannelChangeNeedsWarning(RadioId selected) {
  return selected != 0;
}
Bytes BuildRemoteChannel(int channelIndex) {
  return {0xDB, Low(channelIndex), 1, 1};
}
Bytes BuildCommandEventMode(std::uint8_t mode) {
  return {code::kCommandEventMode, mode, 0, 0};
}
Bytes BuildServiceCommand(std::uint8_t subCode) {
  return {0x88, subCode, 0, 0};
}

CommandCode ReReadTriggerFor(CommandCode sent) {
  switch (sent) {
    case code::kPeriodicTest:
    case code::kChannel:
    case code::kCommandEventMode:
      return sent;
    default:
      return 0;
  }
}

int ClampSerialValue(int field, std::int64_t value) {
  const std::int64_t hi = field == 0 ? 1023 : 255;
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, hi));
}

IntegerParse ClampSerialField(int field, std::string_view text) {
  IntegerParse r = ParseInteger(text);
  if (r.value) r.value = ClampSerialValue(field, *r.value);
  return r;
}

}  // namespace orvalis
