#include "radio/ParameterView.h"

#include <algorithm>

#include "link/ByteReader.h"
#include "radio/TextFormat.h"

namespace orvalis {

namespace {

struct LabelPair {
  const char* master;
  const char* alarm;
};

constexpr LabelPair kLabels[kParamRows] = {
    {"ID RADIO", "ID RADIO"},
    {"NUMERO SERIE", "NUMERO SERIE"},
    {"VERSÃO HARDWARE", "VERSÃO HARDWARE"},
    {"VERSÃO FIRMWARE", "VERSÃO FIRMWARE"},
    {"REVISÃO FIRMWARE", "REVISÃO FIRMWARE"},
    {"CANAL", "CANAL"},
    {"BANCO MEMÓRIA", "BANCO MEMÓRIA"},
    {"PROTOCOLO", "COMUNICAÇÃO"},
    {"COMANDO+EVENTO", "PARTIÇÃO RÁDIO"},
    {"TESTE PERIÓDICO", "."},
};

constexpr const char* kMasterProtocolText[] = {"SURGARD COM ACK", "SURGARD SEM ACK", "SURGARD COM ACK Estendido"};
constexpr const char* kMasterProtocolOther = "SURGARD SEM ACK Estendido";
constexpr const char* kCommandEventText[] = {"COMANDO", "COMANDO+EVENTO"};
constexpr const char* kCommandEventOther = "COMANDO+EVENTO Estendido";

constexpr int kProtocoloItems = 5;
constexpr int kProtocoloAlarmRadio = 4;
constexpr int kVelocidadeItems = 4;
constexpr int kSerialBaudItems = 2;

int ItemOrNone(int index, int items) {
  return index >= 0 && index < items ? index : -1;
}

std::string Dec(unsigned v) {
  return std::to_string(v);
}

void Show(std::vector<ControlChange>& c, std::string_view name, bool visible) {
  c.push_back({name, visible, {}, {}});
}
void Check(std::vector<ControlChange>& c, std::string_view name, std::optional<bool> checked) {
  c.push_back({name, {}, checked, {}});
}

void MasterView(const RadioParameters& p, ParameterView& v) {
  if (p.dataRateCode) v.velocidadeIndex = ItemOrNone(3 - *p.dataRateCode, kVelocidadeItems);
  if (p.serialBaudCode) v.serialBaudIndex = ItemOrNone(*p.serialBaudCode, kSerialBaudItems);
  if (v.protocoloIndex) {
    const int sel = *v.protocoloIndex;
    v.rows[7].value = sel >= 0 && sel < 3 ? kMasterProtocolText[sel] : kMasterProtocolOther;
  }
  if (p.minutesBe) {
    v.rows[9].value = Dec(*p.minutesBe) + " min";
    v.periodicMinutes = std::min<int>(*p.minutesBe, 999);
  }
  if (p.commandEventMode) {
    const unsigned m = *p.commandEventMode;
    v.rows[8].value = m < 2 ? kCommandEventText[m] : kCommandEventOther;
  }
  auto& c = v.controls;
  Show(c, "THabilitaEventos", false);
  Show(c, "TE810", false);
  Show(c, "TE812", false);
  Check(c, "TE810", false);
  Check(c, "TE812", false);
  for (std::string_view box : {"HBaixoConsumo", "HDisLN", "HRepetidor"}) c.push_back({box, false, false, {}});
  Show(c, "TProtocolo", true);
  Show(c, "Protocolo", true);
  Show(c, "Tperiodico", false);
  Show(c, "BPeriodico", false);
  Show(c, "CPeriodico", false);
  Show(c, "TTipoAck", true);
  Show(c, "TipoAck", true);
  Show(c, "TComandoEvento", true);
  v.configureCaption = kConfigureMasterCaption;
}

void AlarmView(const RadioParameters& p, ParameterView& v) {
  v.protocoloIndex = kProtocoloAlarmRadio;
  const auto fw = p.firmwareVersion;
  if (fw && *fw < 3) {
    v.rows[7].value = "CONTACT-ID";
    v.rows[8].value = "0";
  } else if (fw) {
    if (p.panelType) v.rows[7].value = PanelTypeText(*p.panelType);
    if (p.partition) v.rows[8].value = Dec(*p.partition);
    // Without the revision the rule cannot be judged, so the list stays.
    if (p.firmwareRevision) v.panelTypeListRule = PanelTypeListRule{*fw, *p.firmwareRevision};
  }

  auto& c = v.controls;
  const bool qualifies = fw && p.firmwareRevision && PowerOptionsQualify(*fw, *p.firmwareRevision);
  constexpr std::string_view kPower[] = {"HBaixoConsumo", "HRepetidor", "HDisLN"};
  // A reply cut before byte 21 unchecks them too: the hidden boxes still go
  // out with the next configure, and a previous radio's bits must not.
  for (int bit = 0; bit < 3; ++bit) {
    const bool checked = qualifies && p.powerOptions && ((*p.powerOptions >> bit) & 1) != 0;
    c.push_back({kPower[bit], false, checked, {}});
  }
  for (std::string_view name :
       {"TProtocolo", "Protocolo", "TTipoAck", "TipoAck", "THabilitaEventos", "TE810", "TE812", "TE01rep", "E886",
        "DesLN", "Tperiodico", "BPeriodico", "CPeriodico", "TComandoEvento", "BEVELPeriodico"})
    Show(c, name, false);

  if (fw == 20 || fw == 30) {
    for (std::string_view name : {"BEVELPeriodico", "Tperiodico", "CPeriodico", "BPeriodico", "Protocolo"})
      Show(c, name, true);
    v.rows[9].label = "TESTE PERIÓDICO";
    if (p.minutesBe) {
      v.rows[9].value = Dec(*p.minutesBe) + " min";
      v.periodicMinutes = *p.minutesBe;
    }
  }
  v.configureCaption = kConfigureAlarmCaption;
}

}  // namespace

std::array<std::string, kParamRows> ParamLabels(bool master) {
  std::array<std::string, kParamRows> out;
  for (std::size_t i = 0; i < kParamRows; ++i) out[i] = master ? kLabels[i].master : kLabels[i].alarm;
  return out;
}

std::vector<PanelTypeListEdit> PanelTypeListEdits(std::size_t count, const PanelTypeListRule& rule) {
  std::vector<PanelTypeListEdit> edits;
  const unsigned fw = rule.firmware;
  const unsigned rev = rule.revision;
  const bool fourPgm = (fw == 6 && rev >= 18) || fw > 6;
  const bool spRx = (fw == 6 && rev >= 26) || fw > 6;
  if (fourPgm && count == 7) {
    edits.push_back({PanelTypeListEdit::Kind::Append, 7, kPanelListFourPgm});
    count = 8;
  } else if (!fourPgm && count == 8) {
    edits.push_back({PanelTypeListEdit::Kind::Delete, 7, {}});
    count = 7;
  }
  if (spRx && count == 8) {
    edits.push_back({PanelTypeListEdit::Kind::Append, 8, kPanelListSpRx});
  } else if (!spRx && count == 9) {
    edits.push_back({PanelTypeListEdit::Kind::Delete, 8, {}});
  }
  return edits;
}

void ApplyPanelTypeListEdits(std::vector<std::string>& list, const std::vector<PanelTypeListEdit>& edits) {
  for (const auto& e : edits) {
    if (e.kind == PanelTypeListEdit::Kind::Append) {
      list.push_back(e.text);
    } else if (e.index < list.size()) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(e.index));
    }
  }
}

std::optional<std::string> PeriodicMinutesText(std::span<const std::uint8_t> frame) {
  const ByteReader r(frame);
  const auto fw = r.u8(17);
  const auto minutes = r.u16le(3);
  if (!fw || *fw < 20 || *fw > 29 || !minutes) return std::nullopt;
  return Dec(*minutes) + "  min";
}

ParameterView BuildParameterView(const RadioParameters& p) {
  ParameterView v;
  v.answeringId = p.radioId;
  v.master = p.radioId.value_or(0) == 0;
  v.shortReply = p.shortReply;
  const auto labels = ParamLabels(v.master);
  for (std::size_t i = 0; i < kParamRows; ++i) v.rows[i].label = labels[i];

  // Every reply enables the channel controls first; two boards cannot change channel.
  v.hardwareCode = p.hardwareCode;
  v.channelControlsEnabled = !p.hardwareCode || ChannelSelectionAllowed(*p.hardwareCode);
  v.controls.push_back({"BCanal", {}, {}, v.channelControlsEnabled});
  v.controls.push_back({"Button11", {}, {}, v.channelControlsEnabled});
  if (p.hardwareCode) {
    v.rows[2].value = HardwareLabel(*p.hardwareCode, p.serialBusVariant());
    if (p.serialBusVariant()) v.rows[9] = {"Versão", "Barramento Serial"};
  }

  if (p.firmwareVersion) {
    v.rows[3].value = Dec(*p.firmwareVersion);
    if (p.firmwareCheck == 0) v.rows[3].value += " - Falha";
  }
  if (p.firmwareRevision) v.rows[4].value = Dec(*p.firmwareRevision);
  if (p.channel) {
    v.rows[5].value = Dec(*p.channel);
    v.channelIndex = *p.channel;
  }
  if (p.masterProtocol) v.protocoloIndex = ItemOrNone(*p.masterProtocol, kProtocoloItems);

  if (v.master) {
    MasterView(p, v);
  } else {
    AlarmView(p, v);
  }

  if (p.radioId) v.rows[0].value = Dec(*p.radioId);
  bool wholeSerial = true;
  for (std::size_t i = 0; i < 4; ++i) {
    if (p.serial[i]) {
      v.serialNumber[i] = *p.serial[i];
    } else {
      wholeSerial = false;
    }
  }
  if (wholeSerial) {
    v.rows[1].value = Printf("%u.%u.%u.%u", unsigned{*p.serial[0]}, unsigned{*p.serial[1]}, unsigned{*p.serial[2]},
                             unsigned{*p.serial[3]});
  }
  if (p.memoryBank) v.rows[6].value = *p.memoryBank == 0 ? "A" : "B";

  // The parameter-read step itself overrides row 9 for firmware 20..29.
  if (p.firmwareVersion && *p.firmwareVersion >= 20 && *p.firmwareVersion <= 29 && p.minutesLe)
    v.rows[9].value = Dec(*p.minutesLe) + "  min";

  if (p.shortReply)
    v.log.push_back(
        Printf("Resposta de parâmetros incompleta: %zu de %zu bytes", p.length, RadioParameters::kLayoutSize));
  return v;
}

}  // namespace orvalis
