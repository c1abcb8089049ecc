#include "radio/RouteTables.h"

#include "link/ByteReader.h"
#include "radio/IntegerText.h"
#include "radio/RadioConfigRequests.h"
#include "radio/TextFormat.h"

namespace orvalis {

namespace {

constexpr std::size_t kCrcSize = 2;
constexpr std::size_t kTraceFilledColumns = 20;

std::uint8_t Lo(unsigned v) {
  return static_cast<std::uint8_t>(v & 0xFF);
}
std::uint8_t Hi(unsigned v) {
  return static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

}  // namespace

Bytes BuildTraceRequest() {
  return {code::kRouteTrace, 0, 0, 0};
}
Bytes BuildRouteQuery() {
  return {code::kRouteQuery, 2, 0, 0};
}
Bytes BuildEraseRoute() {
  return {kEraseRouteCode, 0, 0, 0};
}
Bytes BuildZeroRepeatTable() {
  return BuildServiceCommand(service::kZeroRepeatTable);
}
Bytes BuildResetRadio() {
  return BuildServiceCommand(service::kResetRadio);
}
Bytes BuildGatewayTableRequest() {
  return BuildRepeatTableRequest(kGatewayTableStart);
}
Bytes BuildRepeatTableRequest(std::uint16_t start) {
  return {code::kTable, Lo(start), Hi(start), 0};
}

RepeatTableRequest BuildRepeatTableRequest(std::string_view startText) {
  RepeatTableRequest out;
  const IntegerParse p = ParseInteger(startText);
  if (!p.ok()) {
    out.error = p.error;
  } else if (*p.value < 0 || *p.value > 0xFFFF) {
    // Only the low 16 bits would go out: a different radio than the one typed.
    out.error = Concat({"'", startText, "' não é um ID de rádio válido"});
  } else {
    out.request = BuildRepeatTableRequest(static_cast<std::uint16_t>(*p.value));
  }
  return out;
}

std::vector<RadioId> RouteHopsFromCells(std::span<const std::string> hopCells) {
  std::vector<RadioId> hops;
  for (const auto& cell : hopCells) {
    if (hops.size() == kMaxRouteHops) break;
    const auto v = IntegerOrNothing(cell);
    if (!v || *v <= 0 || *v > 0xFFFF) break;
    hops.push_back(static_cast<RadioId>(*v));
  }
  return hops;
}

Bytes BuildDefineRoute(std::span<const RadioId> hops) {
  const std::size_t n = std::min(hops.size(), kMaxRouteHops);
  Bytes b{code::kRouteQuery, 1, static_cast<std::uint8_t>(n)};
  for (std::size_t i = 0; i < n; ++i) {
    b.push_back(Lo(hops[i]));
    b.push_back(Hi(hops[i]));
  }
  return b;
}

TraceReply DecodeTrace(std::span<const std::uint8_t> frame) {
  const ByteReader r(frame);
  TraceReply t;
  t.answeringId = r.u16le(0);
  t.code = r.u8(2);
  t.origin = r.u16le(3);
  if (!t.origin) return t;
  // Hop pairs lie between the origin and the two CRC bytes.
  for (std::size_t pos = 5; pos + 2 + kCrcSize <= frame.size(); pos += 2) t.hops.push_back(*r.u16le(pos));
  return t;
}

std::optional<TraceRendering> RenderTrace(std::span<const std::uint8_t> frame, std::string_view time) {
  const TraceReply t = DecodeTrace(frame);
  if (!t.origin) return std::nullopt;
  TraceRendering out;
  std::string line = Concat({"[", time, "] TRACE [", std::to_string(*t.origin), "]-"});
  out.cells.push_back(std::to_string(*t.origin) + "->");
  for (RadioId hop : t.hops) {
    line += Concat({"[", std::to_string(hop), "]-"});
    out.cells.push_back(std::to_string(hop) + "->");
  }
  out.cells.push_back("0");
  while (out.cells.size() < kTraceFilledColumns) out.cells.emplace_back();
  line += "[0]";
  out.log.push_back(std::move(line));
  if (t.code == code::kRouteQuery) out.selectRadio = t.answeringId;
  return out;
}

TableReply DecodeTable(std::span<const std::uint8_t> frame) {
  const ByteReader r(frame);
  TableReply t;
  t.start = r.u16le(3);
  if (!t.start) return t;
  if (*t.start == kGatewayTableStart) {
    t.gatewayTable = true;
    for (std::size_t i = 0; i < kGatewayEntries; ++i) {
      const auto lo = r.u8(5 + 3 * i);
      const auto hi = r.u8(6 + 3 * i);
      const auto val = r.u8(7 + 3 * i);
      if (!lo || !hi || !val) break;
      const GatewayEntry e{static_cast<RadioId>((*lo ^ kTableXor) | ((*hi ^ kTableXor) << 8)),
                           static_cast<std::uint8_t>(*val ^ kTableXor)};
      t.gateways.push_back(e);
      t.cells[i] = {std::to_string(e.gatewayId), std::to_string(e.value), ""};
    }
    return t;
  }
  for (std::size_t i = 0; i < kRepeatEntries; ++i) {
    const auto b = r.u8(5 + i);
    if (!b) break;
    const std::uint8_t v = *b ^ kTableXor;
    const RepeatEntry e{*t.start + static_cast<unsigned>(i), static_cast<std::uint8_t>(v & 0x0F),
                        static_cast<std::uint8_t>((v >> 4) & 0x0F)};
    t.repeats.push_back(e);
    t.cells[i] = {std::to_string(e.radioId), std::to_string(e.blacklist), std::to_string(e.repeat)};
  }
  return t;
}

}  // namespace orvalis
