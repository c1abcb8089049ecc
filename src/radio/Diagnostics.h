// Diagnostic reply 0xE7 (Diag grid and log lines) and sync-analysis reply 0xC3 (Eng_SyncBox lines).
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

inline constexpr std::size_t kDiagRows = 16;
inline constexpr std::size_t kDiagLayoutSize = 48;
inline constexpr std::size_t kSyncLayoutSize = 51;
inline constexpr std::size_t kCounterLayoutSize = 26;
inline constexpr std::uint8_t kBatteryMarker = 0x55;

// 0xE7 0,0,0 (Button7) and 0xC3 1,1,1 (Eng_Sync).
Bytes BuildDiagnosticsRequest();
Bytes BuildSyncRequest();

struct DiagCell {
  std::optional<std::string> label;  // absent: leave column 0 of the row as it is
  std::optional<std::string> value;  // absent: leave column 1 (emptied by the request)
  bool operator==(const DiagCell&) const = default;
};

struct DiagnosticsReport {
  std::array<DiagCell, kDiagRows> rows;
  std::vector<std::string> log;  // "[time]" first, then one line per field, no leading line breaks
  bool battery = false;          // byte 44 was the marker: rows 13-15 written
  bool complete = false;         // every field of the layout was present
};

DiagnosticsReport DecodeDiagnostics(std::span<const std::uint8_t> frame, std::string_view time);

// Row texts built from single fields.
std::string RadioStatusText(std::uint8_t flags, bool master);  // row 11
std::string RfStatusText(std::uint8_t status);                 // row 12
std::string UptimeText(std::uint32_t seconds);                 // row 5
std::string BatteryText(std::uint8_t tenths);                  // rows 13-15: 125 -> "12,5V"

struct SyncReport {
  bool counterLayout = false;      // byte 3 >= 0x80
  std::vector<std::string> lines;  // Eng_SyncBox is cleared, then these are appended
  bool complete = false;
};

// The counter layout carries no return-loss field of its own: its
// "PKT LOST VOLTA :" line repeats bytes 22-23, as the radio's tool always showed it.
SyncReport DecodeSyncAnalysis(std::span<const std::uint8_t> frame);

}  // namespace orvalis
