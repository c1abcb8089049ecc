// One decoded Sur-Gard event message: the row of the events window and what it triggers.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "events/TextColour.h"

namespace orvalis {

using TimePoint = std::chrono::system_clock::time_point;

// When a burst arrived, as the caller took it once for the whole burst.
struct Arrival {
  TimePoint when{};
  std::string dateTimeText;  // "Data/Hora" column, e.g. "dd/MM/yyyy hh:mm:ss"
  std::string timeText;      // the locale's time text of the burst
};

// Alert raised for a radio switched on (880) or a communication failure (882).
struct EventPopup {
  std::string caption;
  std::string text;
  friend bool operator==(const EventPopup&, const EventPopup&) = default;
};

// Which rows of the communication and firmware tables the event updates.
struct TableUpdate {
  enum class Kind {
    ByRadio,    // radio-identified event with id 0-1023
    ByAccount,  // standard event of another code
    None,       // radio id 1024 or more
    Malformed,  // radio id is not a number: no table update, a notice instead
  };
  Kind kind = Kind::ByAccount;
  int radioId = -1;         // ByRadio and None
  std::string radioIdText;  // the field the id was read from
  friend bool operator==(const TableUpdate&, const TableUpdate&) = default;
};

struct ContactIdEvent {
  Arrival arrival;
  bool extended = false;        // message begins with "6"
  std::string account;          // 4 characters
  std::string event;            // qualifier and code, 4 characters
  std::string qualifier;        // 1 character
  std::string code;             // 3 characters
  std::string description;      // catalogue text in its stored form
  std::string partition;        // 2 characters
  std::string zone;             // 3 characters
  std::string radioId;          // extended only, 4 characters
  std::string serialGroups[4];  // extended only, 3 characters each
  std::string serialNumber;     // "Número Série" column
  std::string packetSequence;   // extended only, 3 characters
  std::string eventCount;       // extended only, 2 characters
  std::string messageText;      // the message without its 0x14
  bool endedWithDc4 = false;
  TextColour colour;
  std::optional<EventPopup> popup;
  TableUpdate tableUpdate;
  // The event-pane line; the pane puts a line break before it.
  std::string surLine;
  // Set when the radio id is malformed: a second line for the event pane.
  std::optional<std::string> malformedNotice;
};

}  // namespace orvalis
