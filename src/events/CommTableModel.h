// The radio communication table: last event of every radio and which radios are overdue.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "events/ContactIdEvent.h"
#include "events/GridTextFile.h"
#include "events/OverdueTransferTarget.h"
#include "events/TextColour.h"

namespace orvalis {

struct CommRow {
  std::string radio;  // "Rádio": the radio id as text
  std::string account;
  std::string time;  // "Hora"
  std::string event;
  std::string elapsed;  // "Tempo"
  bool timeover = false;
  TextColour colour = colour::kBlack;  // text of columns 0 to 5
};

class CommTableModel {
 public:
  enum Column { kRadio, kConta, kHora, kEvento, kTempo, kTimeover, kColumnCount };
  static constexpr int kRadioRows = 1023;  // ids 1 to 1023
  static constexpr int kIdCount = 1024;    // last-event times for ids 0 to 1023

  CommTableModel();

  int rowCount() const { return static_cast<int>(rows_.size()); }
  const CommRow& row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }
  std::string cellText(int r, int column) const;
  static const char* Header(int column);  // "" for the Timeover column
  static constexpr const char* kTimeoverHint = "Rádio com time out estourado";

  // Returns the row changed, if any (none for id 0 or an id without a row).
  std::optional<int> updateByRadio(int radioId, const std::string& account, const std::string& timeText,
                                   const std::string& event, TimePoint now);
  // The first row whose "Conta" equals `account`: its radio id and row.
  struct AccountHit {
    int radioId;  // -1 when the row's "Rádio" is not a number
    int row;
  };
  std::optional<AccountHit> updateByAccount(const std::string& account, const std::string& timeText,
                                            const std::string& event, TimePoint now);
  void recordLastEvent(int radioId, TimePoint when);
  std::optional<TimePoint> lastEvent(int radioId) const;

  // Periodic-test minutes P: overdue after 3 × P + 5 whole minutes.
  void setPeriodicMinutes(int minutes) { periodicMinutes_ = minutes; }
  int periodicMinutes() const { return periodicMinutes_; }
  // Radios that never reported count from the zero time, which shows as the
  // time of day; give the local offset so that it is the local time of day.
  void setUtcOffset(std::chrono::seconds offset) { utcOffset_ = offset; }

  struct Refresh {
    std::vector<int> changedRows;     // rows whose Tempo, Timeover or colour changed
    bool rowsWithoutRadioId = false;  // active rows skipped: "Rádio" not an id 0-1023
  };
  Refresh refresh(TimePoint now);

  // "Apagar Rádio (d)": empties the row but keeps its radio id.
  void clearRow(int r);
  // Radio ids of the rows with Timeover ticked, for the firmware table.
  std::vector<int> overdueRadioIds() const;
  // "Transfere para RSSI (TimeOut)" / "Transfere para 881 (TimeOut)".
  enum class Transfer { Rssi, Test881 };
  void transferOverdue(Transfer kind, OverdueTransferTarget& target) const;

  // File form: six cells per row, Timeover as "True"/"False".
  GridRows toGridRows() const;
  // Replaces the rows with those of a file (missing cells are empty).
  void fromGridRows(const GridRows& rows);
  void reset();  // the 1023 rows of a new window

  static std::string FormatTimeOfDay(std::chrono::seconds elapsed);

 private:
  std::optional<int> rowOfRadio(int radioId) const;

  std::vector<CommRow> rows_;
  std::array<std::optional<TimePoint>, kIdCount> last_{};
  int periodicMinutes_ = 0;
  std::chrono::seconds utcOffset_{0};
};

}  // namespace orvalis
