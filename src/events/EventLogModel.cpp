#include "events/EventLogModel.h"

#include <algorithm>

#include "events/TextCodec.h"

namespace orvalis {

namespace {

struct ColumnInfo {
  const char* header;
  int width;
  bool centred;
};

constexpr ColumnInfo kColumns[EventLogModel::kColumnCount] = {
    {"Data/Hora", 150, false}, {"Conta", 60, false}, {"Evento", 60, false},  {"Descrição", 250, false},
    {"Part", 40, false},       {"Zona", 60, false},  {"ID Rádio", 60, true}, {"Número Série", 120, true},
    {"Seq. Pacote", 0, true},  {"# Evt", 50, true},  {"Rota", 0, false},
};

bool Digits(const std::string& s, std::size_t pos, std::size_t n, int& v) {
  if (pos + n > s.size()) return false;
  v = 0;
  for (std::size_t i = pos; i < pos + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  return true;
}

// Base letter of the accented Latin-1 letters.
char32_t Fold(char32_t c) {
  static constexpr char kBase[] = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";  // U+00E0..U+00FF
  if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) c += 0x20;
  if (c >= 0xE0 && c <= 0xFF && c != 0xF7) return static_cast<unsigned char>(kBase[c - 0xE0]);
  return c;
}

}  // namespace

const char* EventLogModel::Header(int column) {
  return column >= 0 && column < kColumnCount ? kColumns[column].header : "";
}
int EventLogModel::Width(int column) {
  return column >= 0 && column < kColumnCount ? kColumns[column].width : 0;
}
bool EventLogModel::Centred(int column) {
  return column >= 0 && column < kColumnCount && kColumns[column].centred;
}

int EventLogModel::append(const ContactIdEvent& e) {
  Cells c;
  c[kHora] = e.arrival.dateTimeText;
  c[kConta] = e.account;
  c[kEvent] = e.event;
  c[kDescricao] = e.description;
  c[kParticao] = e.partition;
  c[kZona] = e.zone;
  if (e.extended) {
    c[kIdRadio] = e.radioId;
    c[kNSerie] = e.serialNumber;
    c[kSeqPacote] = e.packetSequence;
    c[kNEvt] = e.eventCount;
  }
  return appendRow(c, e.colour);
}

int EventLogModel::appendRow(const Cells& cells, TextColour c) {
  rows_.push_back(Row{cells, c});
  return rowCount() - 1;
}

GridRows EventLogModel::toGridRows() const {
  GridRows out;
  out.reserve(rows_.size());
  for (const Row& r : rows_) out.emplace_back(r.cells.begin(), r.cells.end());
  return out;
}

void EventLogModel::fromGridRows(const GridRows& rows) {
  rows_.clear();
  rows_.reserve(rows.size());
  for (const GridRow& g : rows) {
    Row r;
    for (std::size_t c = 0; c < r.cells.size() && c < g.size(); ++c) r.cells[c] = g[c];
    rows_.push_back(std::move(r));
  }
}

std::optional<long long> EventLogModel::ParseDateTime(const std::string& text) {
  int d, mo, y, h = 0, mi = 0, s = 0;
  if (!Digits(text, 0, 2, d) || text.size() < 10 || text[2] != '/' || !Digits(text, 3, 2, mo) || text[5] != '/' ||
      !Digits(text, 6, 4, y))
    return std::nullopt;
  if (text.size() > 10) {
    if (text[10] != ' ' || !Digits(text, 11, 2, h) || text.size() < 16 || text[13] != ':' || !Digits(text, 14, 2, mi))
      return std::nullopt;
    if (text.size() > 16 && (text[16] != ':' || !Digits(text, 17, 2, s) || text.size() != 19)) return std::nullopt;
  }
  if (d < 1 || d > 31 || mo < 1 || mo > 12 || h > 23 || mi > 59 || s > 59) return std::nullopt;
  // Days from civil date (proleptic Gregorian), so that ordering is exact.
  const int yy = mo <= 2 ? y - 1 : y;
  const long long era = yy / 400;
  const long long yoe = yy - era * 400;
  const long long doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long days = era * 146097 + doe;
  return days * 86400 + h * 3600LL + mi * 60LL + s;
}

std::string EventLogModel::CollationKey(const std::string& text) {
  const auto u16 = TextCodec::Utf8ToUtf16(text);
  if (!u16) return text;
  std::string key;
  key.reserve(text.size());
  for (char16_t u : *u16) TextCodec::AppendUtf8(key, Fold(u));
  return key;
}

void EventLogModel::sort(int column, bool ascending) {
  if (column < 0 || column >= kColumnCount) return;
  const auto col = static_cast<std::size_t>(column);
  // Keys once per row, not per comparison.
  struct Keyed {
    std::optional<long long> date;
    std::string key;
    std::size_t index;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(rows_.size());
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const std::string& t = rows_[i].cells[col];
    if (column == kHora) {
      keyed.push_back({ParseDateTime(t), t, i});
    } else {
      keyed.push_back({std::nullopt, CollationKey(t), i});
    }
  }
  const auto less = [&](const Keyed& a, const Keyed& b) {
    if (column == kHora && a.date != b.date) return a.date < b.date;  // nullopt first
    if (a.key != b.key) return a.key < b.key;
    return rows_[a.index].cells[col] < rows_[b.index].cells[col];
  };
  std::stable_sort(keyed.begin(), keyed.end(),
                   [&](const Keyed& a, const Keyed& b) { return ascending ? less(a, b) : less(b, a); });
  std::vector<Row> sorted;
  sorted.reserve(rows_.size());
  for (const Keyed& k : keyed) sorted.push_back(std::move(rows_[k.index]));
  rows_ = std::move(sorted);
}

}  // namespace orvalis
