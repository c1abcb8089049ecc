// Route trace / define / query requests and replies, and the repeat and gateway tables (0xE3).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/RadioTypes.h"

namespace orvalis {

inline constexpr CommandCode kEraseRouteCode = 0xBE;
inline constexpr std::size_t kMaxRouteHops = 32;
inline constexpr std::uint16_t kGatewayTableStart = 9999;
inline constexpr std::size_t kRepeatEntries = 20;
inline constexpr std::size_t kGatewayEntries = 16;
inline constexpr std::uint8_t kTableXor = 0x55;

Bytes BuildTraceRequest();                           // Button8: 0xD2 0,0,0 (refused for radio 0)
Bytes BuildRouteQuery();                             // BConsRota: 0xD3 2,0,0
Bytes BuildEraseRoute();                             // BApagaRota: 0xBE 0,0,0
Bytes BuildZeroRepeatTable();                        // BZeraTabelaRota, Eng_ZeraTabRep: 0x88 1,0,0
Bytes BuildResetRadio();                             // BResetRadio: 0x88 4,0,0
Bytes BuildGatewayTableRequest();                    // Eng_LeTabGw: 0xE3 15,39,0 (start 9999)
Bytes BuildRepeatTableRequest(std::uint16_t start);  // Eng_LeTabRep: 0xE3 low, high, 0

// Eng_LeTabRep from the text of Eng_IDrepeticao: a text that is not a
// number from 0 to 65535 gives the error box text and nothing to send.
struct RepeatTableRequest {
  std::string error;
  std::optional<Bytes> request;
};
RepeatTableRequest BuildRepeatTableRequest(std::string_view startText);

// Hop ids typed in Trace row 0, columns 1..32: the route ends at the first
// cell that is empty, 0, not a number or not a 16-bit id.
std::vector<RadioId> RouteHopsFromCells(std::span<const std::string> hopCells);
// BDefRota: 0xD3 1, n, hop ids little-endian.
Bytes BuildDefineRoute(std::span<const RadioId> hops);

struct TraceReply {
  std::optional<RadioId> answeringId;  // 0-1
  std::optional<CommandCode> code;     // 0xD2 or 0xD3
  std::optional<RadioId> origin;       // 3-4
  std::vector<RadioId> hops;           // pairs from offset 5 up to the CRC
};
TraceReply DecodeTrace(std::span<const std::uint8_t> frame);

struct TraceRendering {
  std::vector<std::string> cells;      // new Trace row: "12->", "7->", "3->", "0", "" ... up to column 19
  std::vector<std::string> log;        // "[time] TRACE [12]-[7]-[3]-[0]"
  std::optional<RadioId> selectRadio;  // 0xD3 selects the answering radio in ID
};
// Absent when the burst ends before the origin.
std::optional<TraceRendering> RenderTrace(std::span<const std::uint8_t> frame, std::string_view time);

struct RepeatEntry {
  unsigned radioId;        // start + i, not wrapped
  std::uint8_t blacklist;  // column "Negra"
  std::uint8_t repeat;     // column "Repetição"
  bool operator==(const RepeatEntry&) const = default;
};
struct GatewayEntry {
  RadioId gatewayId;
  std::uint8_t value;  // shown under "Negra"
  bool operator==(const GatewayEntry&) const = default;
};

inline constexpr std::size_t kTableRows = 20;
using TableCells = std::array<std::array<std::string, 3>, kTableRows>;

struct TableReply {
  std::optional<std::uint16_t> start;
  bool gatewayTable = false;
  std::vector<RepeatEntry> repeats;    // up to 20, fewer when the burst is short
  std::vector<GatewayEntry> gateways;  // up to 16
  TableCells cells;                    // Eng_TabRepeticao contents (emptied before the request)
};
TableReply DecodeTable(std::span<const std::uint8_t> frame);

}  // namespace orvalis
