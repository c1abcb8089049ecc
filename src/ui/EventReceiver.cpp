#include "ui/EventReceiver.h"

#include <QDateTime>
#include <QTime>

namespace orvalis {

EventReceiver::EventReceiver(CommandSender& sender, LogPane& sur, TFORM_EVENTO& events, TFORM_PER& table,
                             AlertPopup& popup, QObject* parent)
    : QObject(parent),
      sender_(sender),
      sur_(sur),
      events_(events),
      table_(table),
      popup_(popup),
      commSink_(table.table()),
      sink_(&commSink_) {}

Arrival EventReceiver::arrival(std::string_view timeText) const {
  Arrival a;
  a.when = std::chrono::system_clock::now();
  a.dateTimeText = QDateTime::currentDateTime().toString("dd/MM/yyyy hh:mm:ss").toStdString();
  a.timeText = std::string(timeText);
  return a;
}

void EventReceiver::onEventText(const Reply& r) {
  handle(intake_.feed(r.bytes, arrival(r.timeText), ackEnabled()));
}

bool EventReceiver::takesContinuation(std::span<const std::uint8_t> bytes, std::string_view timeText) {
  if (!intake_.hasHeld()) return false;
  if (intake_.continuesHeld(bytes)) {
    handle(intake_.feed(bytes, arrival(timeText), ackEnabled()));
    return true;
  }
  handle(intake_.flushHeld(arrival(timeText)));
  return false;
}

void EventReceiver::onTick() {
  const std::string time = QTime::currentTime().toString("HH:mm:ss").toStdString();
  handle(intake_.onTick(arrival(time)));
}

void EventReceiver::handle(const std::vector<IntakeResult>& results) {
  for (const IntakeResult& res : results) {
    if (res.sendAck && sender_.writeAck()) ++acks_;
    if (res.kind != IntakeResult::Kind::Event || !res.event) continue;
    const ContactIdEvent& e = *res.event;
    events_.addEvent(e);
    if (e.popup) popup_.popUp(QString::fromStdString(e.popup->caption), QString::fromStdString(e.popup->text));
    if (e.malformedNotice) {
      // A receiver never stops on bad input: say which message it was and go on.
      sur_.appendLine(QString::fromStdString(*e.malformedNotice));
      continue;
    }
    ApplyTableUpdates(e, *sink_);
    if (const auto row = commSink_.takeChangedRow()) table_.model().rowChanged(*row);
    sur_.appendLine(QString::fromStdString(e.surLine));
  }
}

}  // namespace orvalis
