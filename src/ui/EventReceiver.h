// Plays the monitoring receiver: event intake, ACKs, rows, pop-ups, table updates, SUR lines.
#pragma once

#include <QObject>
#include <functional>

#include "events/CommTableSink.h"
#include "events/SurGardIntake.h"
#include "link/CommandSender.h"
#include "link/DispatchTarget.h"
#include "ui/AlertPopup.h"
#include "ui/Form_eventos.h"
#include "ui/Form_periodico.h"
#include "ui/LogPane.h"

namespace orvalis {

class EventReceiver : public QObject, public DispatchTarget {
  Q_OBJECT
public:
  EventReceiver(CommandSender& sender, LogPane& sur, TFORM_EVENTO& events, TFORM_PER& table, AlertPopup& popup,
                QObject* parent = nullptr);

  // "Ativa ACK Eventos".
  std::function<bool()> ackEnabled = [] { return false; };
  // Further table sinks (the mesh firmware table) join through this one.
  void setSink(EventSink* sink) { sink_ = sink; }

  void onEventText(const Reply& r) override;
  // A message held from the previous read is completed before routing.
  bool takesContinuation(std::span<const std::uint8_t> bytes, std::string_view timeText);

  long acksSent() const { return acks_; }
  // Once a second: a cut message whose rest never came is shown as it is.
  void onTick();

private:
  void handle(const std::vector<IntakeResult>& results);
  Arrival arrival(std::string_view timeText) const;

  CommandSender& sender_;
  LogPane& sur_;
  TFORM_EVENTO& events_;
  TFORM_PER& table_;
  AlertPopup& popup_;
  CommTableSink commSink_;
  EventSink* sink_;
  SurGardIntake intake_;
  long acks_ = 0;
};

}  // namespace orvalis
