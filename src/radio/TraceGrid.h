// TraceGrid: the rows of the Trace grid (row 0 typed route, one row per traced route below).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "link/RadioTypes.h"
#include "radio/RouteTables.h"

namespace orvalis {

class TraceGrid {
 public:
  static constexpr std::size_t kColumns = 15;

  TraceGrid() : rows_(1, std::vector<std::string>(kColumns)) {}

  std::size_t rowCount() const { return rows_.size(); }
  const std::vector<std::string>& row(std::size_t r) const { return rows_.at(r); }

  // Typing in row 0 (the route to define); other rows are read-only.
  void setRouteCell(std::size_t column, std::string text);

  // A trace or route-query reply adds one row at the end.
  void append(const TraceRendering& t) { rows_.push_back(t.cells); }

  // Entering the tab drops the traced rows; row 0 stays.
  void onTabEnter() { rows_.resize(1); }

  // BDefRota: the route typed in row 0, columns 1..32.
  std::vector<RadioId> routeHops() const;
  Bytes defineRouteRequest() const { return BuildDefineRoute(routeHops()); }

 private:
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace orvalis
