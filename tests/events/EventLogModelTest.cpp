#include <gtest/gtest.h>

#include "events/ContactIdCatalogue.h"
#include "events/EventLogModel.h"
#include "events/SurGardDecoder.h"
#include "support/Hex.h"

namespace orvalis {
namespace {

ContactIdEvent Event(const std::string& message, const std::string& dateTime = "11/12/2026 13:40:00") {
  return SurGardDecoder::Decode(test::Text(message), true, Arrival{TimePoint{}, dateTime, "13:40:00"});
}

TEST(EventLogModel, AppendFillsTheElevenColumnsAndTheColour) {
  EventLogModel m;
  EXPECT_EQ(m.append(Event("5000 181234E13001005")), 0);
  EXPECT_EQ(m.append(Event("6000 184321R88002015 001512345678901204503")), 1);
  const auto& s = m.row(0);
  EXPECT_EQ(s.cells, (EventLogModel::Cells{"11/12/2026 13:40:00", "1234", "E130", ContactIdCatalogue::Lookup("130"),
                                           "01", "005", "", "", "", "", ""}));
  EXPECT_EQ(s.colour, colour::kRed);
  const auto& x = m.row(1);
  EXPECT_EQ(x.cells[EventLogModel::kIdRadio], "0015");
  EXPECT_EQ(x.cells[EventLogModel::kNSerie], "123.456.789.012");
  EXPECT_EQ(x.cells[EventLogModel::kSeqPacote], "045");
  EXPECT_EQ(x.cells[EventLogModel::kNEvt], "03");
  EXPECT_EQ(x.cells[EventLogModel::kRota], "");
  EXPECT_EQ(x.colour, colour::kBlue);
}

TEST(EventLogModel, SaveAndOpenRestoreEveryColumnButNotTheColour) {
  EventLogModel m;
  m.append(Event("5000 181234E13001005"));
  m.append(Event("6000 184321E88202015 001512345678901204503"));
  m.appendRow({"01/01/2026 00:00:00", "0001", "E999", "vírgula, \"aspas\"", "", "", "", "", "", "", "linha\nduas"},
              colour::kGreen);
  const auto e = GridTextFile::Encode(m.toGridRows());
  ASSERT_EQ(e.error, "");
  EventLogModel back;
  back.append(Event("5000 189999E13001005"));  // replaced by the file
  back.fromGridRows(GridTextFile::Decode(e.bytes).rows);
  ASSERT_EQ(back.rowCount(), 3);
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(back.row(r).cells, m.row(r).cells);
    EXPECT_EQ(back.row(r).colour, colour::kBlack);
  }
}

TEST(EventLogModel, ShortOrLongFileRowsFitTheColumns) {
  EventLogModel m;
  m.fromGridRows({{"a"}, GridRow(14, "x")});
  EXPECT_EQ(m.row(0).cells[0], "a");
  EXPECT_EQ(m.row(0).cells[10], "");
  EXPECT_EQ(m.row(1).cells[10], "x");
}

struct DateCase {
  const char* text;
  std::optional<long long> offsetFromFirst;  // seconds after 01/01/2026 00:00:00
};

class EventLogDates : public ::testing::TestWithParam<DateCase> {};

TEST_P(EventLogDates, ParsesTheGridDateForm) {
  const auto base = EventLogModel::ParseDateTime("01/01/2026 00:00:00");
  ASSERT_TRUE(base);
  const auto v = EventLogModel::ParseDateTime(GetParam().text);
  if (!GetParam().offsetFromFirst) {
    EXPECT_FALSE(v) << GetParam().text;
  } else {
    ASSERT_TRUE(v) << GetParam().text;
    EXPECT_EQ(*v - *base, *GetParam().offsetFromFirst) << GetParam().text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EventLogDates,
    ::testing::Values(DateCase{"01/01/2026 00:00:01", 1}, DateCase{"02/01/2026 00:00:00", 86400},
                      DateCase{"01/03/2026 00:00:00", 59 * 86400}, DateCase{"01/01/2027 00:00:00", 365 * 86400},
                      DateCase{"31/12/2025 23:59:59", -1}, DateCase{"01/01/2026", 0},
                      DateCase{"01/01/2026 10:30", 37800}, DateCase{"1/1/2026", std::nullopt},
                      DateCase{"", std::nullopt}, DateCase{"32/01/2026 00:00:00", std::nullopt},
                      DateCase{"01/13/2026 00:00:00", std::nullopt}, DateCase{"01/01/2026 24:00:00", std::nullopt},
                      DateCase{"01/01/2026 00:00:00x", std::nullopt}, DateCase{"aa/bb/cccc", std::nullopt}));

std::vector<std::string> Column(const EventLogModel& m, int c) {
  std::vector<std::string> out;
  for (int r = 0; r < m.rowCount(); ++r) out.push_back(m.row(r).cells[static_cast<std::size_t>(c)]);
  return out;
}

TEST(EventLogModel, SortsTheDateColumnByDate) {
  EventLogModel m;
  for (const char* d :
       {"02/01/2026 10:00:00", "01/02/2025 09:00:00", "texto", "02/01/2026 09:59:59", "15/12/2025 23:00:00"})
    m.append(Event("5000 181234E13001005", d));
  m.sort(EventLogModel::kHora, true);
  EXPECT_EQ(Column(m, EventLogModel::kHora),
            (std::vector<std::string>{"texto", "01/02/2025 09:00:00", "15/12/2025 23:00:00", "02/01/2026 09:59:59",
                                      "02/01/2026 10:00:00"}));
  m.sort(EventLogModel::kHora, false);
  EXPECT_EQ(Column(m, EventLogModel::kHora).front(), "02/01/2026 10:00:00");
}

TEST(EventLogModel, SortsTextColumnsAlphabeticallyAndKeepsRowColours) {
  EventLogModel m;
  m.appendRow({"", "", "", " Bateria"}, colour::kGreen);
  m.appendRow({"", "", "", " Água"}, colour::kRed);
  m.appendRow({"", "", "", " alarme"}, colour::kBlue);
  m.appendRow({"", "", "", " Ativação"}, colour::kMaroon);
  m.appendRow({"", "", "", " Alarme"}, colour::kBlack);
  m.sort(EventLogModel::kDescricao, true);
  EXPECT_EQ(Column(m, EventLogModel::kDescricao),
            (std::vector<std::string>{" Água", " Alarme", " alarme", " Ativação", " Bateria"}));
  EXPECT_EQ(m.row(0).colour, colour::kRed);
  EXPECT_EQ(m.row(4).colour, colour::kGreen);
}

}  // namespace
}  // namespace orvalis
