#include "radio/Diagnostics.h"

#include "link/ByteReader.h"
#include "radio/LogField.h"
#include "radio/TextFormat.h"

namespace orvalis {

namespace {

using F = FieldFormat;

constexpr const char* kDiagLabels[kDiagRows] = {
    "ID RADIO",
    "TEMP MINIMA",
    "TEMP ATUAL",
    "TEMP MAXIMA",
    "NUMERO RESET",
    "TEMPO LIGADO",
    "TENSÃO DE LINHA",
    "EVENTOS TRANSMITIDOS",
    "EVENTOS RECUSADOS",
    "NIVEL CONTACT ID",
    "NIVEL CONTACT ID MAX",
    "ESTADO RADIO",
    "ESTADO COMUNICAÇÃO RF",
    "TENSÃO MIN",
    "TENSÃO ATUAL",
    "TENSÃO MAX",
};
constexpr const char* kMasterEventsLabel = "EVENTOS CONTACT-ID";

// Rows of the Diag grid fed by one field; -1 for log-only fields.
struct DiagField {
  LogField log;
  int row;
};

constexpr DiagField kDiagFields[] = {
    {{0, F::Id, "ID RADIO       :"}, 0},   {{3, F::U1, "Temp Min       :"}, 1},   {{4, F::U1, "Temp Med       :"}, 2},
    {{5, F::U1, "Temp Max       :"}, 3},   {{6, F::U1, "V3v3 Min       :"}, -1},  {{7, F::U1, "V3v3 Med       :"}, -1},
    {{8, F::U1, "V3v3 Max       :"}, -1},  {{9, F::U2, "Num Reset      :"}, 4},   {{11, F::U2, "Num POR        :"}, -1},
    {{13, F::U2, "Num WD         :"}, -1}, {{15, F::U1, "Status flags   :"}, 11}, {{16, F::U4, "Tempo Ligado   :"}, 5},
    {{20, F::U4, "Tempo Reset    :"}, -1}, {{24, F::U2, "Pilha          :"}, -1}, {{26, F::U1, "Status Mestre  :"}, 12},
    {{27, F::U1, "Tensao de Linha:"}, 6},  {{28, F::U4, "Eventos ok     :"}, 7},  {{32, F::U4, "CID LQ         :"}, 8},
    {{36, F::U2, "Nivel L1       :"}, 9},  {{38, F::U2, "Nivel L2       :"}, 9},  {{40, F::U2, "Max   L1       :"}, 10},
    {{42, F::U2, "Max   L2       :"}, 10},
};

constexpr std::size_t kMarkerOffset = 44;
constexpr DiagField kBatteryFields[] = {
    {{45, F::U1, "VBateria Min  :"}, 13},
    {{46, F::U1, "VBateria Med  :"}, 14},
    {{47, F::U1, "VBateria Max  :"}, 15},
};

constexpr LogField kSyncFields[] = {
    {4, F::Id, "GW Sync        :"},   {6, F::U1, "Nivel Sync     :"},   {7, F::U1, "Nivel Max Sync :"},
    {8, F::U1, "Nivel Max Hist :"},   {9, F::U1, "Saltos sem Sync:"},   {10, F::U1, "Status Sync    :"},
    {11, F::Dur, "Tempo Segundos :"}, {15, F::Dur, "TEMPO C/SYNC   :"}, {19, F::U2, "T ACK SYNC MAX :"},
    {21, F::U2, "T ACK SYNC MIN :"},  {23, F::U2, "T ACK ULT SYNC :"},  {25, F::U2, "PERDA SYNC     :"},
    {27, F::U2, "PERDA TESTE PER:"},  {29, F::U2, "SLOT OCUPADO   :"},  {31, F::U2, "ERR SERIAL     :"},
    {33, F::U2, "ERR CRC SERIAL :"},  {35, F::Pct, "PKT RX ERRO    :"}, {37, F::U2, "ERR PROTOCOLO  :"},
    {39, F::U2, "BYTE RX SER MAX:"},  {41, F::Pct, "PKT LOST IDA   :"}, {43, F::Pct, "PKT LOST VOLTA :"},
    {45, F::Pct, "PKT RETRY      :"},
};
constexpr LogField kSyncClockFields[] = {
    {47, F::Clk, "d CLK CPU GERAL:"},
    {49, F::Clk, "d CLK CPU GW   :"},
};

constexpr LogField kCounterFields[] = {
    {4, F::Dur, "TEMPO LIGADO   :"},  {8, F::U2, "PERDA TESTE PER:"},   {10, F::U2, "SLOT OCUPADO   :"},
    {12, F::U2, "ERR SERIAL     :"},  {14, F::U2, "ERR CRC SERIAL :"},  {16, F::Pct, "PKT RX ERRO    :"},
    {18, F::U2, "ERR PROTOCOLO  :"},  {20, F::U2, "BYTE RX SER MAX:"},  {22, F::Pct, "PKT LOST IDA   :"},
    {22, F::Pct, "PKT LOST VOLTA :"}, {24, F::Pct, "PKT RETRY      :"},
};

constexpr LogField kSyncIdField{0, F::Id, "ID             :"};

std::string LevelPair(const ByteReader& r, std::size_t first) {
  return Printf("%u / %u", unsigned{*r.u16be(first)}, unsigned{*r.u16be(first + 2)});
}

// Column-1 text of a row from the field that completes it.
std::optional<std::string> RowValue(const ByteReader& r, const LogField& f, int row, bool master) {
  switch (row) {
    case 0:
      return std::to_string(*r.u16le(0));
    case 1:
    case 2:
    case 3:
      return std::to_string(*r.u8(f.offset));
    case 4:
      return std::to_string(*r.u16be(f.offset));
    case 5:
      return UptimeText(*r.u32be(f.offset));
    case 6:
      return std::to_string(*r.u8(f.offset)) + "V";
    case 7:
    case 8:
      return std::to_string(*r.u32be(f.offset));
    case 9:
    case 10:
      // Written once both levels are in.
      if (f.offset == 38 || f.offset == 42) return LevelPair(r, f.offset - 2);
      return std::nullopt;
    case 11:
      return RadioStatusText(*r.u8(f.offset), master);
    case 12:
      return RfStatusText(*r.u8(f.offset));
    case 13:
    case 14:
    case 15:
      return BatteryText(*r.u8(f.offset));
    default:
      return std::nullopt;
  }
}

// Appends the lines of the fields in order; false at the first one the burst lacks.
template <std::size_t N>
bool AppendFields(const ByteReader& r, const LogField (&fields)[N], std::vector<std::string>& out) {
  for (const auto& f : fields) {
    auto line = FormatField(r, f);
    if (!line) return false;
    out.push_back(std::move(*line));
  }
  return true;
}

}  // namespace

Bytes BuildDiagnosticsRequest() {
  return {code::kDiagnostics, 0, 0, 0};
}
Bytes BuildSyncRequest() {
  return {code::kSyncAnalysis, 1, 1, 1};
}

std::string RadioStatusText(std::uint8_t flags, bool master) {
  if (master) {
    if (flags == 1) return "OK";
    if (flags == 16) return "SEM COMUNICAÇÃO COM AUTOMAÇÃO";
    return {};
  }
  std::string s = (flags & 0x04) ? "PROBLEMA TENSÃO LINHA" : "OK";
  if (flags & 0x01) s += ", RECEBENDO CONTACT-ID";
  if (flags & 0x02) s += ", BYPASS RELE";
  return s;
}

std::string RfStatusText(std::uint8_t status) {
  if (status == 1) return "OK";
  if (status & 0x20) return "BUFFER MESTRE CHEIO";
  return "INTERFACE AUTOMAÇÃO COM PROBLEMAS";
}

std::string UptimeText(std::uint32_t s) {
  return Printf("%lu dd, %lu hr, %lu min, %lu seg", static_cast<unsigned long>(s / 86400),
                static_cast<unsigned long>((s / 3600) % 24), static_cast<unsigned long>((s / 60) % 60),
                static_cast<unsigned long>(s % 60));
}

std::string BatteryText(std::uint8_t tenths) {
  return Printf("%u,%uV", tenths / 10u, tenths % 10u);
}

DiagnosticsReport DecodeDiagnostics(std::span<const std::uint8_t> frame, std::string_view time) {
  const ByteReader r(frame);
  DiagnosticsReport rep;
  const bool master = r.u16le(0).value_or(0) == 0;
  for (std::size_t i = 0; i <= 12; ++i) rep.rows[i].label = kDiagLabels[i];
  if (master) rep.rows[7].label = kMasterEventsLabel;
  rep.log.push_back(Concat({"[", time, "]"}));

  auto walk = [&](const auto& fields) {
    for (const auto& f : fields) {
      auto line = FormatField(r, f.log);
      if (!line) return false;
      rep.log.push_back(std::move(*line));
      if (f.row >= 0) {
        if (auto v = RowValue(r, f.log, f.row, master)) rep.rows[static_cast<std::size_t>(f.row)].value = std::move(*v);
      }
    }
    return true;
  };
  if (!walk(kDiagFields)) return rep;
  const auto marker = r.u8(kMarkerOffset);
  if (!marker) return rep;
  if (*marker == kBatteryMarker) {
    rep.battery = true;
    for (std::size_t i = 13; i < kDiagRows; ++i) rep.rows[i].label = kDiagLabels[i];
    if (!walk(kBatteryFields)) return rep;
  }
  rep.complete = true;
  return rep;
}

SyncReport DecodeSyncAnalysis(std::span<const std::uint8_t> frame) {
  const ByteReader r(frame);
  SyncReport rep;
  auto id = FormatField(r, kSyncIdField);
  if (!id) return rep;
  rep.lines.push_back(std::move(*id));
  const auto selector = r.u8(3);
  if (!selector) return rep;
  rep.counterLayout = *selector >= 0x80;
  if (rep.counterLayout) {
    rep.complete = AppendFields(r, kCounterFields, rep.lines);
    return rep;
  }
  if (!AppendFields(r, kSyncFields, rep.lines)) return rep;
  if (*selector > 1 && !AppendFields(r, kSyncClockFields, rep.lines)) return rep;
  rep.lines.emplace_back();  // the layout ends with one more line break
  rep.complete = true;
  return rep;
}

}  // namespace orvalis
