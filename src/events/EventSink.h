// The tables an event updates: the communication table and the mesh firmware table.
#pragma once

#include <optional>
#include <string>

#include "events/ContactIdEvent.h"

namespace orvalis {

class EventSink {
 public:
  virtual ~EventSink() = default;

  // Communication table. The row whose "Rádio" is the id (none for id 0).
  virtual void commUpdateByRadio(int radioId, const std::string& account, const std::string& timeText,
                                 const std::string& event, TimePoint when) = 0;
  // The first row whose "Conta" equals the account; returns its radio id,
  // nullopt when no row has that account.
  virtual std::optional<int> commUpdateByAccount(const std::string& account, const std::string& timeText,
                                                 const std::string& event, TimePoint when) = 0;
  // Last-event time of a radio id 0-1023.
  virtual void recordLastEvent(int radioId, TimePoint when) = 0;

  // Mesh firmware table: the calls below are made only for a radio the
  // table has a row for.
  virtual bool fwHasRow(int radioId) const = 0;
  virtual void fwUntick881(int radioId) = 0;
  virtual void fwSetAccount(int radioId, const std::string& account) = 0;
  virtual std::string fwSerialNumber(int radioId) const = 0;
  // `changed`: the cell held another serial number; paint its text red.
  virtual void fwSetSerialNumber(int radioId, const std::string& serial, bool changed) = 0;
  virtual bool fwInstalled(int radioId) const = 0;
  virtual bool fwAutoReadEnabled() const = 0;  // HabLeituraFW
  // Tick "L" and set "Estado Leitura" to "NA FILA".
  virtual void fwQueueRead(int radioId) = 0;
  // Tick "I".
  virtual void fwSetInstalled(int radioId) = 0;
};

// Applies an event's table updates: by radio id (ids of 1024 or more and
// malformed ids update nothing) or by account.
void ApplyTableUpdates(const ContactIdEvent& event, EventSink& sink);

}  // namespace orvalis
