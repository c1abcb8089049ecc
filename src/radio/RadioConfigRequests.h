// Requests of the CONFIG page: parameter reads, configure, periodic test, channel, command+event mode, service codes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/RadioTypes.h"
#include "radio/IntegerText.h"

namespace orvalis {

// Values of the CONFIG page the configure command carries. Indices are the
// combo boxes' item indices, -1 when nothing is selected.
struct ConfigurePage {
  bool te810 = false;
  bool te812 = false;
  bool te01rep = false;
  bool e886 = false;
  bool desLN = false;
  std::array<int, 4> serial{};  // held values of ID0..ID3
  int protocolo = -1;
  int tipoAck = -1;
  int velocidade = -1;
  int serialBaud = -1;
  bool baixoConsumo = false;
  bool repetidor = false;
  bool disLN = false;
};

// 0xCA and its 12 argument bytes (the frame is 17 bytes with id and CRC).
Bytes BuildConfigure(RadioId destination, const ConfigurePage& page);

// 0xE2 for "LEITURA LOCAL" or for radio 0; 0xD4 for a remote read.
Bytes BuildParameterRead(bool local, RadioId selected);

// Periodic test minutes -----------------------------------------------------
inline constexpr int kPeriodicMaxMinutes = 999;
inline constexpr int kPeriodicMinMinutes = 15;  // lowest value sent without the warning
inline constexpr const char* kPeriodicTooLowWarning = "Tempo de Teste periódico com valor menor do que o recomendado!";

// CPeriodico losing focus: the typed text as stored minutes (1000 and up become 999).
IntegerParse ParsePeriodicMinutes(std::string_view text);
// 0xCC 1, minutes low, minutes high.
Bytes BuildPeriodicTest(int minutes);

// What BPeriodico does with the stored minutes.
struct PeriodicTestPlan {
  bool needsConfirmation = false;  // show kPeriodicTooLowWarning with OK / Cancel
  int minutesSent = 0;             // after OK the stored value becomes this
  Bytes request;                   // send now, or after OK when confirmation is needed
};
PeriodicTestPlan PlanPeriodicTest(int storedMinutes);
// BPeriodico from the text of CPeriodico: an error leaves nothing to send.
struct PeriodicTestFromText {
  std::string error;
  std::optional<PeriodicTestPlan> plan;
};
PeriodicTestFromText PlanPeriodicTest(std::string_view cPeriodicoText);

// RF channel and mode ---------------------------------------------------------
inline constexpr const char* kLocalChannelWarning = "CUIDADO!!!! Será trocado o canal do rádio Local!";
// 0xD9 channel, 0, 0 (Button11); warn first unless the selected radio is 0.
Bytes BuildChannel(int channelIndex);
bool ChannelChangeNeedsWarning(RadioId selected);
// 0xDB channel, 1, 1 (MudaCanalRemoto).
Bytes BuildRemoteChannel(int channelIndex);
// 0xED mode, 0, 0 to radio 0: 0 "DESABILITA", 1 "HABILITA", 2 "HABILITA Estendido".
Bytes BuildCommandEventMode(std::uint8_t mode);
inline constexpr RadioId kCommandEventModeDestination = 0;

// 0x88 service sub-codes.
namespace service {
inline constexpr std::uint8_t kZeroRepeatTable = 1;  // BZeraTabelaRota, Eng_ZeraTabRep
inline constexpr std::uint8_t kDisableSs = 2;        // Des_SS
inline constexpr std::uint8_t kEnableSs = 3;         // Liga_SS
inline constexpr std::uint8_t kResetRadio = 4;       // BResetRadio
inline constexpr std::uint8_t kDisableSs2 = 9;       // Des_SS2
}  // namespace service
Bytes BuildServiceCommand(std::uint8_t subCode);
// Button_ECO: one raw byte on the transport, no frame.
inline constexpr std::uint8_t kEchoByte = 0xF0;

// Code whose echo triggers the automatic re-read after a request (0 = none).
CommandCode ReReadTriggerFor(CommandCode sent);

// Serial number fields -------------------------------------------------------
// Leaving ID0..ID3: ID0 clamps to 0..1023, ID1..ID3 to 0..255.
IntegerParse ClampSerialField(int field, std::string_view text);
int ClampSerialValue(int field, std::int64_t value);

}  // namespace orvalis
