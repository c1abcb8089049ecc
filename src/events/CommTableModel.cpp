#include "events/CommTableModel.h"

#include <cstdio>

namespace orvalis {

namespace {

std::optional<int> ParseRadio(const std::string& s) {
  if (s.empty() || s.size() > 6) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

}  // namespace

CommTableModel::CommTableModel() {
  reset();
}

void CommTableModel::reset() {
  rows_.assign(kRadioRows, CommRow{});
  for (int r = 0; r < kRadioRows; ++r) rows_[static_cast<std::size_t>(r)].radio = std::to_string(r + 1);
}

const char* CommTableModel::Header(int column) {
  static const char* const kHeaders[kColumnCount] = {"Rádio", "Conta", "Hora", "Evento", "Tempo", ""};
  return column >= 0 && column < kColumnCount ? kHeaders[column] : "";
}

std::string CommTableModel::cellText(int r, int column) const {
  const CommRow& x = row(r);
  switch (column) {
    case kRadio:
      return x.radio;
    case kConta:
      return x.account;
    case kHora:
      return x.time;
    case kEvento:
      return x.event;
    case kTempo:
      return x.elapsed;
    case kTimeover:
      return x.timeover ? "True" : "False";
    default:
      return {};
  }
}

std::optional<int> CommTableModel::rowOfRadio(int radioId) const {
  const std::string id = std::to_string(radioId);
  // Rows hold id r + 1 unless a file put them elsewhere.
  const auto guess = static_cast<std::size_t>(radioId - 1);
  if (radioId >= 1 && guess < rows_.size() && rows_[guess].radio == id) return static_cast<int>(guess);
  for (std::size_t r = 0; r < rows_.size(); ++r)
    if (rows_[r].radio == id) return static_cast<int>(r);
  return std::nullopt;
}

std::optional<int> CommTableModel::updateByRadio(int radioId, const std::string& account, const std::string& timeText,
                                                 const std::string& event, TimePoint now) {
  if (radioId <= 0 || radioId >= kIdCount) return std::nullopt;
  const auto r = rowOfRadio(radioId);
  if (!r) return std::nullopt;
  CommRow& x = rows_[static_cast<std::size_t>(*r)];
  x.account = account;
  x.time = timeText;
  x.event = event;
  recordLastEvent(radioId, now);
  return r;
}

std::optional<CommTableModel::AccountHit> CommTableModel::updateByAccount(const std::string& account,
                                                                          const std::string& timeText,
                                                                          const std::string& event, TimePoint now) {
  // An empty account would match every row that never reported.
  if (account.empty()) return std::nullopt;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    CommRow& x = rows_[r];
    if (x.account != account) continue;
    x.time = timeText;
    x.event = event;
    const auto id = ParseRadio(x.radio);
    const int radioId = id && *id < kIdCount ? *id : -1;
    if (radioId >= 0) recordLastEvent(radioId, now);
    return AccountHit{radioId, static_cast<int>(r)};
  }
  return std::nullopt;
}

void CommTableModel::recordLastEvent(int radioId, TimePoint when) {
  if (radioId >= 0 && radioId < kIdCount) last_[static_cast<std::size_t>(radioId)] = when;
}

std::optional<TimePoint> CommTableModel::lastEvent(int radioId) const {
  if (radioId < 0 || radioId >= kIdCount) return std::nullopt;
  return last_[static_cast<std::size_t>(radioId)];
}

std::string CommTableModel::FormatTimeOfDay(std::chrono::seconds elapsed) {
  long long s = elapsed.count() % 86400;
  if (s < 0) s += 86400;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

CommTableModel::Refresh CommTableModel::refresh(TimePoint now) {
  using std::chrono::duration_cast;
  Refresh out;
  const long long threshold = 3LL * periodicMinutes_ + 5;
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    CommRow& x = rows_[r];
    if (x.account.empty()) continue;
    const auto id = ParseRadio(x.radio);
    if (!id || *id >= kIdCount) {
      // A foreign file's row: nothing to time it by.
      out.rowsWithoutRadioId = true;
      continue;
    }
    const auto& last = last_[static_cast<std::size_t>(*id)];
    // Never reported in this run: counted from the zero time.
    auto elapsed = duration_cast<std::chrono::seconds>(now - (last ? *last : TimePoint{}));
    if (!last) elapsed += utcOffset_;
    if (elapsed.count() < 0) elapsed = std::chrono::seconds{0};
    const long long minutes = elapsed.count() / 60;
    std::string tempo = FormatTimeOfDay(elapsed);
    const bool over = minutes >= threshold;
    const TextColour c = over ? colour::kRed : colour::kGreen;
    if (tempo != x.elapsed || over != x.timeover || !(c == x.colour)) {
      x.elapsed = std::move(tempo);
      x.timeover = over;
      x.colour = c;
      out.changedRows.push_back(static_cast<int>(r));
    }
  }
  return out;
}

void CommTableModel::clearRow(int r) {
  if (r < 0 || static_cast<std::size_t>(r) >= rows_.size()) return;
  CommRow& x = rows_[static_cast<std::size_t>(r)];
  const std::string radio = x.radio;
  const TextColour c = x.colour;
  x = CommRow{};
  x.radio = radio;
  x.colour = c;
}

std::vector<int> CommTableModel::overdueRadioIds() const {
  std::vector<int> ids;
  for (const CommRow& x : rows_)
    if (x.timeover)
      if (const auto id = ParseRadio(x.radio)) ids.push_back(*id);
  return ids;
}

void CommTableModel::transferOverdue(Transfer kind, OverdueTransferTarget& target) const {
  for (int id : overdueRadioIds()) {
    if (kind == Transfer::Rssi) {
      target.tickRssiRead(id);
    } else {
      target.tick881(id);
    }
  }
}

GridRows CommTableModel::toGridRows() const {
  GridRows out;
  out.reserve(rows_.size());
  for (int r = 0; r < rowCount(); ++r) {
    GridRow g;
    g.reserve(kColumnCount);
    for (int c = 0; c < kColumnCount; ++c) g.push_back(cellText(r, c));
    out.push_back(std::move(g));
  }
  return out;
}

void CommTableModel::fromGridRows(const GridRows& rows) {
  rows_.clear();
  rows_.reserve(rows.size());
  for (const GridRow& g : rows) {
    const auto cell = [&](int c) {
      return static_cast<std::size_t>(c) < g.size() ? g[static_cast<std::size_t>(c)] : std::string();
    };
    CommRow x;
    x.radio = cell(kRadio);
    x.account = cell(kConta);
    x.time = cell(kHora);
    x.event = cell(kEvento);
    x.elapsed = cell(kTempo);
    x.timeover = cell(kTimeover) == "True";
    rows_.push_back(std::move(x));
  }
}

}  // namespace orvalis
