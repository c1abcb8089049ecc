// Event text bursts of any content: intake must not read outside them, must
// acknowledge no more messages than there are 0x14 bytes, and must produce
// valid UTF-8 texts; the table updates must accept whatever it decodes.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "events/CommTableModel.h"
#include "events/CommTableSink.h"
#include "events/EventLogModel.h"
#include "events/EventSink.h"
#include "events/SurGardIntake.h"
#include "events/TextCodec.h"

namespace {

void CheckText(const std::string& s) {
  if (orvalis::TextCodec::FindInvalidUtf8(s)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvalis;
  static CommTableModel table;
  CommTableSink sink(table);
  EventLogModel log;
  SurGardIntake intake;
  const Arrival at{TimePoint{} + std::chrono::hours(500000), "11/12/2026 13:40:00", "13:40:00"};
  std::span<const std::uint8_t> in(data, size);
  std::size_t dc4 = 0, acks = 0;
  // The first byte of each piece gives the length of the next burst.
  while (!in.empty()) {
    const std::size_t n = std::min<std::size_t>(in.size() - 1, in[0] % 64 + 1);
    const auto burst = in.subspan(1, n);
    in = in.subspan(1 + n);
    for (auto b : burst) dc4 += b == 0x14;
    std::vector<IntakeResult> out;
    if (intake.continuesHeld(burst)) {
      out = intake.feed(burst, at, true);
    } else {
      out = intake.flushHeld(at);
      auto more = intake.feed(burst, at, true);
      out.insert(out.end(), more.begin(), more.end());
    }
    for (const auto& r : out) {
      acks += r.sendAck;
      CheckText(r.messageText);
      if (!r.event) continue;
      const ContactIdEvent& e = *r.event;
      if (e.messageText.size() > 2 * SurGardIntake::kMessageBuffer) std::abort();
      CheckText(e.surLine);
      CheckText(e.account);
      CheckText(e.serialNumber);
      if (e.malformedNotice) CheckText(*e.malformedNotice);
      ApplyTableUpdates(e, sink);
      log.append(e);
    }
  }
  if (acks > dc4) std::abort();
  table.refresh(TimePoint{} + std::chrono::hours(500001));
  if (!GridTextFile::Encode(log.toGridRows()).error.empty()) std::abort();
  return 0;
}
