#include "events/EventSink.h"

#include "events/SurGardDecoder.h"

namespace orvalis {

namespace {

// A radio that reports for the first time is installed, and queued for a
// firmware read when automatic reads are on.
void MarkInstalled(int id, EventSink& sink) {
  if (!sink.fwHasRow(id) || sink.fwInstalled(id)) return;
  if (sink.fwAutoReadEnabled()) sink.fwQueueRead(id);
  sink.fwSetInstalled(id);
}

}  // namespace

void ApplyTableUpdates(const ContactIdEvent& e, EventSink& sink) {
  const TimePoint when = e.arrival.when;
  switch (e.tableUpdate.kind) {
    case TableUpdate::Kind::None:
    case TableUpdate::Kind::Malformed:
      return;
    case TableUpdate::Kind::ByAccount:
      if (const auto id = sink.commUpdateByAccount(e.account, e.arrival.timeText, e.event, when))
        MarkInstalled(*id, sink);
      return;
    case TableUpdate::Kind::ByRadio:
      break;
  }
  const int id = e.tableUpdate.radioId;
  const bool fw = sink.fwHasRow(id);
  if (fw) sink.fwUntick881(id);
  sink.commUpdateByRadio(id, e.account, e.arrival.timeText, e.event, when);
  if (fw) {
    sink.fwSetAccount(id, e.account);
    if (e.extended && SurGardDecoder::IsRadioCode(e.code) && !e.serialNumber.empty()) {
      const std::string old = sink.fwSerialNumber(id);
      if (old != e.serialNumber) sink.fwSetSerialNumber(id, e.serialNumber, !old.empty());
    }
  }
  sink.recordLastEvent(id, when);
  MarkInstalled(id, sink);
}

}  // namespace orvalis
