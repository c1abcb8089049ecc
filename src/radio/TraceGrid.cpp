#include "radio/TraceGrid.h"

namespace orvalis {

void TraceGrid::setRouteCell(std::size_t column, std::string text) {
  auto& r = rows_[0];
  if (column >= r.size()) r.resize(column + 1);
  r[column] = std::move(text);
}

std::vector<RadioId> TraceGrid::routeHops() const {
  const auto& r = rows_[0];
  if (r.size() <= 1) return {};
  const std::size_t n = std::min(r.size() - 1, kMaxRouteHops);
  return RouteHopsFromCells(std::span(r).subspan(1, n));
}

}  // namespace orvalis
