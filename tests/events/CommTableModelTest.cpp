#include <gtest/gtest.h>

#include <algorithm>

#include "events/CommTableModel.h"

namespace orvalis {
namespace {

using namespace std::chrono_literals;

const TimePoint kT0 = TimePoint{} + 24h * 20000 + 8h;  // some day, 08:00:00 UTC

class CommTable : public ::testing::Test {
 protected:
  CommTableModel m;
  static int RowOf(int id) { return id - 1; }
};

TEST_F(CommTable, StartsWithOneRowPerRadioId) {
  ASSERT_EQ(m.rowCount(), 1023);
  EXPECT_EQ(m.row(0).radio, "1");
  EXPECT_EQ(m.row(1022).radio, "1023");
  EXPECT_EQ(m.cellText(0, CommTableModel::kTimeover), "False");
  EXPECT_TRUE(m.refresh(kT0).changedRows.empty());  // no active rows yet
}

TEST_F(CommTable, UpdateByRadioFillsItsRowAndStartsItsRefresh) {
  EXPECT_EQ(m.updateByRadio(15, "1234", "08:00:00", "E880", kT0), RowOf(15));
  const CommRow& r = m.row(RowOf(15));
  EXPECT_EQ(r.account, "1234");
  EXPECT_EQ(r.time, "08:00:00");
  EXPECT_EQ(r.event, "E880");
  EXPECT_EQ(m.lastEvent(15), kT0);
  const auto ref = m.refresh(kT0 + 61s);
  EXPECT_EQ(ref.changedRows, std::vector<int>{RowOf(15)});
  EXPECT_EQ(m.row(RowOf(15)).elapsed, "00:01:01");
  EXPECT_EQ(m.row(RowOf(15)).colour, colour::kGreen);
  // Nothing changed within the same second: nothing to repaint.
  EXPECT_TRUE(m.refresh(kT0 + 61s).changedRows.empty());
}

TEST_F(CommTable, RadioZeroAndUnknownIdsUpdateNoRow) {
  const auto before = m.toGridRows();
  EXPECT_FALSE(m.updateByRadio(0, "1234", "08:00:00", "E880", kT0));
  EXPECT_FALSE(m.updateByRadio(1024, "1234", "08:00:00", "E880", kT0));
  EXPECT_FALSE(m.updateByRadio(-3, "1234", "08:00:00", "E880", kT0));
  EXPECT_EQ(m.toGridRows(), before);
  m.recordLastEvent(0, kT0);  // the time of id 0 is still kept
  EXPECT_EQ(m.lastEvent(0), kT0);
}

TEST_F(CommTable, UpdateByAccountFindsTheFirstRowWithThatAccount) {
  m.updateByRadio(20, "5555", "07:00:00", "E880", kT0 - 1h);
  m.updateByRadio(30, "5555", "07:00:00", "E880", kT0 - 1h);
  const auto hit = m.updateByAccount("5555", "08:00:00", "E130", kT0);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->radioId, 20);
  EXPECT_EQ(hit->row, RowOf(20));
  EXPECT_EQ(m.row(RowOf(20)).event, "E130");
  EXPECT_EQ(m.row(RowOf(30)).event, "E880");
  EXPECT_EQ(m.lastEvent(20), kT0);
}

TEST_F(CommTable, UnknownAccountChangesNothing) {
  m.updateByRadio(20, "5555", "07:00:00", "E880", kT0);
  const auto before = m.toGridRows();
  EXPECT_FALSE(m.updateByAccount("9999", "08:00:00", "E130", kT0 + 1h));
  // An event without an account names no radio, not the first empty row.
  EXPECT_FALSE(m.updateByAccount("", "08:00:00", "E130", kT0 + 1h));
  EXPECT_EQ(m.lastEvent(1), std::nullopt);
  EXPECT_EQ(m.toGridRows()[RowOf(20)], before[RowOf(20)]);
  EXPECT_EQ(m.lastEvent(20), kT0);
}

struct OverdueCase {
  int periodicMinutes;
  std::chrono::seconds elapsed;
  bool overdue;
  const char* tempo;
};

class CommTableOverdue : public ::testing::TestWithParam<OverdueCase> {};

TEST_P(CommTableOverdue, OverdueAfterThreePeriodsPlusFiveWholeMinutes) {
  CommTableModel m;
  m.setPeriodicMinutes(GetParam().periodicMinutes);
  m.updateByRadio(15, "1234", "08:00:00", "E881", kT0);
  m.refresh(kT0 + GetParam().elapsed);
  const CommRow& r = m.row(14);
  EXPECT_EQ(r.timeover, GetParam().overdue);
  EXPECT_EQ(r.colour, GetParam().overdue ? colour::kRed : colour::kGreen);
  EXPECT_EQ(r.elapsed, GetParam().tempo);
  EXPECT_EQ(m.overdueRadioIds(), GetParam().overdue ? std::vector<int>{15} : std::vector<int>{});
}

INSTANTIATE_TEST_SUITE_P(
    Clock, CommTableOverdue,
    ::testing::Values(OverdueCase{0, 0s, false, "00:00:00"}, OverdueCase{0, 4min + 59s, false, "00:04:59"},
                      OverdueCase{0, 5min, true, "00:05:00"}, OverdueCase{60, 184min + 59s, false, "03:04:59"},
                      OverdueCase{60, 185min, true, "03:05:00"}, OverdueCase{20, 65min, true, "01:05:00"},
                      OverdueCase{20, 64min, false, "01:04:00"},
                      // Tempo is a time of day: it starts again after 24 hours.
                      OverdueCase{0, 25h + 2s, true, "01:00:02"},
                      // A clock set back shows no negative time.
                      OverdueCase{0, -30s, false, "00:00:00"}));

TEST_F(CommTable, OverdueRowTurnsGreenAgainOnItsNextEvent) {
  m.updateByRadio(15, "1234", "08:00:00", "E881", kT0);
  m.refresh(kT0 + 10min);
  ASSERT_TRUE(m.row(14).timeover);
  m.updateByRadio(15, "1234", "08:10:00", "E881", kT0 + 10min);
  EXPECT_EQ(m.refresh(kT0 + 10min + 1s).changedRows, std::vector<int>{14});
  EXPECT_FALSE(m.row(14).timeover);
  EXPECT_EQ(m.row(14).colour, colour::kGreen);
}

TEST_F(CommTable, ClearingARowKeepsItsIdAndTakesItOutOfTheRefresh) {
  m.updateByRadio(15, "1234", "08:00:00", "E881", kT0);
  m.refresh(kT0 + 10min);
  ASSERT_TRUE(m.row(14).timeover);
  m.clearRow(14);
  EXPECT_EQ(m.toGridRows()[14], (GridRow{"15", "", "", "", "", "False"}));
  EXPECT_TRUE(m.refresh(kT0 + 20min).changedRows.empty());
  EXPECT_EQ(m.row(14).elapsed, "");
  EXPECT_TRUE(m.overdueRadioIds().empty());
  EXPECT_EQ(m.lastEvent(15), kT0);  // not changed by clearing
}

class RecordingTransfer : public OverdueTransferTarget {
 public:
  std::vector<std::string> calls;
  void tickRssiRead(int id) override { calls.push_back(std::string("R").append(std::to_string(id))); }
  void tick881(int id) override { calls.push_back(std::string("881:").append(std::to_string(id))); }
};

TEST_F(CommTable, TransfersOnlyOverdueRadios) {
  m.updateByRadio(3, "0003", "08:00:00", "E881", kT0);
  m.updateByRadio(7, "0007", "08:00:00", "E881", kT0 + 9min);
  m.updateByRadio(9, "0009", "08:00:00", "E881", kT0 + 1min);
  m.refresh(kT0 + 10min);
  RecordingTransfer t;
  m.transferOverdue(CommTableModel::Transfer::Rssi, t);
  m.transferOverdue(CommTableModel::Transfer::Test881, t);
  EXPECT_EQ(t.calls, (std::vector<std::string>{"R3", "R9", "881:3", "881:9"}));
}

TEST_F(CommTable, FileRowsRoundTripWithTheCheckBoxAsText) {
  m.updateByRadio(3, "0003", "08:00:00", "E881", kT0);
  m.updateByRadio(4, "0004", "08:00:00", "E130", kT0 + 9min);
  m.refresh(kT0 + 10min);
  const GridRows rows = m.toGridRows();
  EXPECT_EQ(rows[2], (GridRow{"3", "0003", "08:00:00", "E881", "00:10:00", "True"}));
  EXPECT_EQ(rows[3], (GridRow{"4", "0004", "08:00:00", "E130", "00:01:00", "False"}));
  const auto e = GridTextFile::Encode(rows);
  CommTableModel other;
  other.fromGridRows(GridTextFile::Decode(e.bytes).rows);
  EXPECT_EQ(other.toGridRows(), rows);
  EXPECT_TRUE(other.row(2).timeover);
}

TEST_F(CommTable, LoadedRowsOfRadiosSilentInThisRunShowTheTimeOfDayAndAreOverdue) {
  m.fromGridRows({{"5", "0005", "07:00:00", "E881", "00:01:00", "False"}});
  m.setUtcOffset(-3h);
  m.refresh(kT0 + 30min + 7s);  // 08:30:07 UTC
  EXPECT_EQ(m.row(0).elapsed, "05:30:07");
  EXPECT_TRUE(m.row(0).timeover);
}

// A foreign file whose "Rádio" cells are not radio ids must not stop the
// refresh of the other rows.
TEST_F(CommTable, RowsWithoutARadioIdAreSkippedAndReported) {
  m.fromGridRows({{"abc", "0001", "", "", "", "False"},
                  {"5", "0005", "", "", "", "False"},
                  {"70000", "0007", "", "", "", "False"},
                  {"", "0008", "", "", "", "False"},
                  {"6", "", "", "", "", "False"}});
  m.updateByRadio(5, "0005", "08:00:00", "E881", kT0);
  const auto ref = m.refresh(kT0 + 1min);
  EXPECT_TRUE(ref.rowsWithoutRadioId);
  EXPECT_EQ(ref.changedRows, std::vector<int>{1});
  EXPECT_EQ(m.row(1).elapsed, "00:01:00");
  EXPECT_EQ(m.row(0).elapsed, "");
  // The by-account update still finds such a row but has no radio for it.
  const auto hit = m.updateByAccount("0001", "09:00:00", "E130", kT0);
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->radioId, -1);

  CommTableModel clean;
  clean.updateByRadio(5, "0005", "08:00:00", "E881", kT0);
  EXPECT_FALSE(clean.refresh(kT0 + 1min).rowsWithoutRadioId);
}

TEST_F(CommTable, UpdateByRadioFindsRowsALoadedFileMoved) {
  m.fromGridRows({{"15", "", "", "", "", "False"}, {"2", "", "", "", "", "False"}});
  EXPECT_EQ(m.updateByRadio(2, "0002", "08:00:00", "E880", kT0), 1);
  EXPECT_EQ(m.updateByRadio(15, "0015", "08:00:00", "E880", kT0), 0);
  EXPECT_FALSE(m.updateByRadio(3, "0003", "08:00:00", "E880", kT0));
}

}  // namespace
}  // namespace orvalis
