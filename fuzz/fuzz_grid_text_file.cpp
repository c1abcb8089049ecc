// Any file content: decoding must not fail badly, and what it decodes must
// encode and decode again to the same rows.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "events/CommTableModel.h"
#include "events/EventLogModel.h"
#include "events/GridTextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvalis;
  const auto d = GridTextFile::Decode(std::span<const std::uint8_t>(data, size));
  if (!d.error.empty()) {
    if (!d.rows.empty()) std::abort();
    return 0;
  }
  const auto e = GridTextFile::Encode(d.rows);
  if (!e.error.empty()) std::abort();
  const auto again = GridTextFile::Decode(e.bytes);
  if (!again.error.empty() || again.rows != d.rows) std::abort();

  // Loaded into the tables a foreign file must not stop them.
  CommTableModel table;
  table.fromGridRows(d.rows);
  table.refresh(TimePoint{} + std::chrono::hours(500000));
  EventLogModel log;
  log.fromGridRows(d.rows);
  log.sort(EventLogModel::kHora, true);
  log.sort(EventLogModel::kDescricao, false);
  return 0;
}
