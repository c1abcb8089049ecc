// The events grid: one coloured row of eleven texts per event message, newest last.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "events/ContactIdEvent.h"
#include "events/GridTextFile.h"
#include "events/TextColour.h"

namespace orvalis {

class EventLogModel {
 public:
  enum Column {
    kHora,
    kConta,
    kEvent,
    kDescricao,
    kParticao,
    kZona,
    kIdRadio,
    kNSerie,
    kSeqPacote,
    kNEvt,
    kRota,
    kColumnCount
  };
  using Cells = std::array<std::string, kColumnCount>;
  struct Row {
    Cells cells;
    TextColour colour = colour::kBlack;
  };

  static const char* Header(int column);
  static int Width(int column);  // 0: the grid's default width
  static bool Centred(int column);
  // Text form of the "Data/Hora" column, in the file too.
  static constexpr const char* kDateTimeFormat = "dd/MM/yyyy hh:mm:ss";

  int rowCount() const { return static_cast<int>(rows_.size()); }
  const Row& row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }

  // Returns the index of the new row.
  int append(const ContactIdEvent& e);
  int appendRow(const Cells& cells, TextColour c);
  void clear() { rows_.clear(); }

  // Colours are not stored; loaded rows are black.
  GridRows toGridRows() const;
  void fromGridRows(const GridRows& rows);

  // Text columns alphabetically (accents and case folded), "Data/Hora" by
  // date; rows whose date does not parse come first. Stable.
  void sort(int column, bool ascending);

  // Seconds since 01/01/0000 of a "dd/MM/yyyy hh:mm:ss" text (the time part
  // may be missing or lack seconds); nullopt when it does not parse.
  static std::optional<long long> ParseDateTime(const std::string& text);
  static std::string CollationKey(const std::string& text);

 private:
  std::vector<Row> rows_;
};

}  // namespace orvalis
