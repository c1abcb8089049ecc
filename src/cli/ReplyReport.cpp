#include "cli/ReplyReport.h"

#include <QJsonArray>

#include "cli/CliOutput.h"
#include "events/ContactIdCatalogue.h"
#include "link/ByteReader.h"
#include "link/HexText.h"
#include "link/RadioTypes.h"
#include "radio/Diagnostics.h"
#include "radio/LinkQuality.h"
#include "radio/ParameterView.h"
#include "radio/RouteTables.h"
#include "radio/SignalNoise.h"

namespace orvalis::cli {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
QStringList Lines(const std::vector<std::string>& v) {
  QStringList out;
  for (const auto& s : v) out << Q(s);
  return out;
}
template <class T>
QJsonValue Opt(const std::optional<T>& v) {
  return v ? QJsonValue(static_cast<qint64>(*v)) : QJsonValue();
}

void Parameters(ReplyReport& r, std::span<const std::uint8_t> f) {
  const ParameterView v = BuildParameterView(f);
  for (const ParamRow& row : v.rows) r.rows << QStringList{Q(row.label), Q(row.value)};
  r.log = Lines(v.log);
}

void Signal(ReplyReport& r, std::span<const std::uint8_t> f, std::string_view time) {
  LinkQuality q;
  const SignalDisplay d = q.onSignal(f, true, time);
  for (const LabelText& l : d.labels) r.rows << QStringList{QString::fromUtf8(l.name.data(), qsizetype(l.name.size())), Q(l.text)};
  if (d.linkTime) r.rows << QStringList{"tTEMPO", Q(*d.linkTime)};
  r.log = Lines(d.log);
  const SignalReply s = DecodeSignal(f);
  r.extra["gateway"] = Opt(s.gatewayId);
  r.extra["level_at_gateway"] = Opt(s.levelAtGateway);
  r.extra["level_at_radio"] = Opt(s.levelAtMeasured);
  if (s.code == code::kSignal) r.extra["link_time_ms"] = Opt(s.linkTimeMs);
  r.extra["frequency_offset_hz"] = Opt(s.frequencyOffsetHz);
}

void Noise(ReplyReport& r, std::span<const std::uint8_t> f, std::string_view time) {
  LinkQuality q;
  const NoiseReply n = DecodeNoise(f);
  const NoiseDisplay d = q.onNoise(f, n.radioId.value_or(0), time);
  for (const LabelText& l : d.labels) r.rows << QStringList{QString::fromUtf8(l.name.data(), qsizetype(l.name.size())), Q(l.text)};
  r.log = Lines(d.log);
  r.extra["max"] = Opt(n.max);
  r.extra["mean"] = Opt(n.mean);
  r.extra["min"] = Opt(n.min);
}

void Diagnostics(ReplyReport& r, std::span<const std::uint8_t> f, std::string_view time) {
  const DiagnosticsReport d = DecodeDiagnostics(f, time);
  for (const DiagCell& c : d.rows) {
    if (!c.label && !c.value) continue;
    r.rows << QStringList{Q(c.label.value_or("")), Q(c.value.value_or(""))};
  }
  r.log = Lines(d.log);
}

void Sync(ReplyReport& r, std::span<const std::uint8_t> f) { r.log = Lines(DecodeSyncAnalysis(f).lines); }

void Trace(ReplyReport& r, std::span<const std::uint8_t> f, std::string_view time) {
  const TraceReply t = DecodeTrace(f);
  if (const auto rendering = RenderTrace(f, time)) {
    r.rows << Lines(rendering->cells);
    r.log = Lines(rendering->log);
  }
  r.extra["origin"] = Opt(t.origin);
  QJsonArray route;
  for (RadioId h : t.hops) route.append(static_cast<int>(h));
  // The route ends at the master radio.
  if (route.isEmpty() || route.last().toInt() != 0) route.append(0);
  r.extra["route"] = route;
}

void Table(ReplyReport& r, std::span<const std::uint8_t> f) {
  const TableReply t = DecodeTable(f);
  const std::size_t n = t.gatewayTable ? t.gateways.size() : t.repeats.size();
  for (std::size_t i = 0; i < n && i < t.cells.size(); ++i)
    r.rows << QStringList{Q(t.cells[i][0]), Q(t.cells[i][1]), Q(t.cells[i][2])};
  r.extra["gateway_table"] = t.gatewayTable;
}
}  // namespace

ReplyReport ReportReply(std::span<const std::uint8_t> frame, std::string_view time) {
  ReplyReport r;
  const ByteReader b(frame);
  r.source = b.u16le(0).value_or(0);
  r.code = b.u8(2).value_or(0);
  switch (r.code) {
    case code::kRemoteRead:
    case code::kLocalRead: r.kind = "parameters"; Parameters(r, frame); break;
    case code::kSignalAny:
    case code::kSignal: r.kind = "signal"; Signal(r, frame, time); break;
    case code::kNoise: r.kind = "noise"; Noise(r, frame, time); break;
    case code::kDiagnostics: r.kind = "diagnostics"; Diagnostics(r, frame, time); break;
    case code::kSyncAnalysis: r.kind = "sync"; Sync(r, frame); break;
    case code::kRouteTrace:
    case code::kRouteQuery: r.kind = "trace"; Trace(r, frame, time); break;
    case code::kTable: r.kind = "table"; Table(r, frame); break;
    default: r.kind = "unknown"; r.extra["hex"] = Q(ToHexText(frame)); break;
  }
  return r;
}

QJsonObject ReplyReport::toJson() const {
  QJsonObject o{{"source", source}, {"code", code}, {"kind", kind}};
  QJsonArray rs;
  for (const QStringList& row : rows) rs.append(QJsonArray::fromStringList(row));
  o["rows"] = rs;
  o["log"] = QJsonArray::fromStringList(log);
  for (auto it = extra.begin(); it != extra.end(); ++it) o[it.key()] = it.value();
  return o;
}

void ReplyReport::print(bool json) const {
  CliOutput out(json);
  if (json) {
    out.object(toJson());
    return;
  }
  out.line(QString("%1 — rádio %2, código 0x%3").arg(kind).arg(source).arg(QString::number(code, 16).toUpper(), 2, QChar('0')));
  out.rows(rows);
  for (const QString& l : log) out.line(l);
  if (extra.contains("hex")) out.line(extra["hex"].toString());
}

QJsonObject EventJson(const ContactIdEvent& e, const QString& isoTime) {
  return QJsonObject{{"kind", "event"},
                     {"time", isoTime},
                     {"account", Q(e.account)},
                     {"event", Q(e.event)},
                     {"description", Q(ContactIdCatalogue::Trim(e.description))},
                     {"partition", Q(e.partition)},
                     {"zone", Q(e.zone)},
                     {"radio_id", Q(e.radioId)},
                     {"serial_number", Q(e.serialNumber)},
                     {"packet_seq", Q(e.packetSequence)},
                     {"event_count", Q(e.eventCount)},
                     {"extended", e.extended},
                     {"text", Q(e.messageText)}};
}

QJsonObject LinkTestJson(const QString& text, const QString& isoTime) {
  return QJsonObject{{"kind", "link_test"}, {"time", isoTime}, {"text", text}};
}

QString EventLine(const ContactIdEvent& e, const QString& isoTime) {
  QString line = QString("%1  conta %2  %3  %4  part %5  zona %6")
                     .arg(isoTime, Q(e.account), Q(e.event), Q(ContactIdCatalogue::Trim(e.description)),
                          Q(e.partition), Q(e.zone));
  if (e.extended) line += QString("  rádio %1  série %2").arg(Q(e.radioId), Q(e.serialNumber));
  return line;
}

}  // namespace orvalis::cli
