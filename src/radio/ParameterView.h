// ParameterView: what a parameter reply shows on the CONFIG page (Param rows, selections, control states).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/RadioTypes.h"
#include "radio/ControlChange.h"
#include "radio/RadioParameters.h"

namespace orvalis {

struct ParamRow {
  std::string label;
  std::string value;  // empty when the reply did not carry it

  bool operator==(const ParamRow&) const = default;
};

inline constexpr std::size_t kParamRows = 10;
inline constexpr const char* kConfigureMasterCaption = "CONFIGURA PROTOCOLO MESTRE";
inline constexpr const char* kConfigureAlarmCaption = "CONFIGURA RÁDIO ALARME";
inline constexpr const char* kPanelListFourPgm = "NÃO MONITORADA (4 ENT. PGM)";
inline constexpr const char* kPanelListSpRx = "Linha SP - Somente RX";

// The panel-type list of the partitions page grows or shrinks with the firmware.
struct PanelTypeListRule {
  std::uint8_t firmware = 0;
  std::uint8_t revision = 0;
  bool operator==(const PanelTypeListRule&) const = default;
};

struct PanelTypeListEdit {
  enum class Kind { Append, Delete };
  Kind kind = Kind::Append;
  std::size_t index = 0;  // position appended at or deleted
  std::string text;       // appended text
  bool operator==(const PanelTypeListEdit&) const = default;
};

// Edits for a list of `count` entries, in the order to apply them.
std::vector<PanelTypeListEdit> PanelTypeListEdits(std::size_t count, const PanelTypeListRule& rule);
void ApplyPanelTypeListEdits(std::vector<std::string>& list, const std::vector<PanelTypeListEdit>& edits);

struct ParameterView {
  bool master = false;                 // the answering radio is 0
  std::optional<RadioId> answeringId;  // select in ID and show in TID
  std::array<ParamRow, kParamRows> rows;

  std::optional<std::uint8_t> hardwareCode;        // stored for the firmware pages
  bool channelControlsEnabled = true;              // BCanal and Button11
  std::optional<int> channelIndex;                 // BCanal item
  std::optional<int> protocoloIndex;               // Protocolo item, -1 = none
  std::optional<int> velocidadeIndex;              // master only, -1 = none
  std::optional<int> serialBaudIndex;              // master only, -1 = none
  std::optional<int> periodicMinutes;              // stored minutes, also shown in CPeriodico
  std::array<std::optional<int>, 4> serialNumber;  // ID0..ID3
  std::optional<PanelTypeListRule> panelTypeListRule;
  std::vector<ControlChange> controls;  // in the order to apply
  std::string configureCaption;         // BConfig
  bool shortReply = false;
  std::vector<std::string> log;  // lines for Tx (the short-reply note)
};

// Rows and states of a 0xD4 / 0xE2 reply, including the late periodic-minutes
// override of firmware 20..29 (the same text PeriodicMinutesText gives).
ParameterView BuildParameterView(const RadioParameters& p);
inline ParameterView BuildParameterView(std::span<const std::uint8_t> frame) {
  return BuildParameterView(DecodeRadioParameters(frame));
}

// Row 9 value for any frame reaching the parameter-read step: bytes 3-4 as
// minutes when byte 17 lies in 20..29; absent otherwise.
std::optional<std::string> PeriodicMinutesText(std::span<const std::uint8_t> frame);

// Labels of the Param grid (column 0) for the master radio or an alarm radio.
std::array<std::string, kParamRows> ParamLabels(bool master);

}  // namespace orvalis
