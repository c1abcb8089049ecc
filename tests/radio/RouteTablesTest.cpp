#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "radio/ReplyBytes.h"
#include "radio/RouteTables.h"
#include "radio/TraceGrid.h"
#include "support/Hex.h"

using namespace orvalis;

namespace {

struct RouteCase {
  const char* name;
  std::vector<std::string> row0;  // column 0 first (ignored: the origin cell)
  const char* payload;
};

std::vector<std::string> Ones(std::size_t n) {
  std::vector<std::string> r{"x"};
  for (std::size_t i = 0; i < n; ++i) r.push_back("1");
  return r;
}

const RouteCase kRoutes[] = {
    {"TwoHopsThenGap", {"anything", "7", "3", ""}, "D3 01 02 07 00 03 00"},
    {"EmptyRow", {"", "", "", ""}, "D3 01 00"},
    {"NoCellsAtAll", {}, "D3 01 00"},
    {"StopsAtZero", {"", "5", "0", "9"}, "D3 01 01 05 00"},
    {"NotANumberIsZero", {"", "5", "abc", "9"}, "D3 01 01 05 00"},
    {"SixteenBitIds", {"", "1023", "258"}, "D3 01 02 FF 03 02 01"},
    {"NegativeEndsTheRoute", {"", "4", "-3", "9"}, "D3 01 01 04 00"},
    {"TooLargeEndsTheRoute", {"", "4", "70000", "9"}, "D3 01 01 04 00"},
    {"AtMost32Hops", Ones(40),
     "D3 01 20 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00"
     " 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00 01 00"},
};

class DefineRoute : public ::testing::TestWithParam<RouteCase> {};

TEST_P(DefineRoute, PayloadFromRow0) {
  const auto& c = GetParam();
  TraceGrid grid;
  for (std::size_t col = 0; col < c.row0.size(); ++col) grid.setRouteCell(col, c.row0[col]);
  EXPECT_EQ(test::ToHex(grid.defineRouteRequest()), c.payload);
}

INSTANTIATE_TEST_SUITE_P(Rows, DefineRoute, ::testing::ValuesIn(kRoutes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TraceReply, RowAndLogLine) {
  struct Case {
    const char* bytes;
    std::vector<std::string> cells;  // up to the "0"; empties follow to column 19
    const char* log;
    std::vector<RadioId> hops;
  };
  const Case cases[] = {
      {"0C 00 D2 0C 00 A5 5A", {"12->", "0"}, "[11:00:00] TRACE [12]-[0]", {}},
      {"0C 00 D2 0C 00 07 00 03 00 A5 5A", {"12->", "7->", "3->", "0"}, "[11:00:00] TRACE [12]-[7]-[3]-[0]", {7, 3}},
      // An odd byte before the CRC is not a hop.
      {"0C 00 D2 0C 00 07 00 03 A5 5A", {"12->", "7->", "0"}, "[11:00:00] TRACE [12]-[7]-[0]", {7}},
      {"0C 00 D2 0C 00 07", {"12->", "0"}, "[11:00:00] TRACE [12]-[0]", {}},
  };
  for (const auto& c : cases) {
    const Bytes b = test::Hex(c.bytes);
    EXPECT_EQ(DecodeTrace(b).hops, c.hops) << c.bytes;
    const auto t = RenderTrace(b, "11:00:00");
    ASSERT_TRUE(t) << c.bytes;
    ASSERT_EQ(t->cells.size(), 20u);
    for (std::size_t i = 0; i < 20; ++i) EXPECT_EQ(t->cells[i], i < c.cells.size() ? c.cells[i] : "") << c.bytes;
    ASSERT_EQ(t->log.size(), 1u);
    EXPECT_EQ(t->log[0], c.log);
    EXPECT_FALSE(t->selectRadio);
  }
  EXPECT_FALSE(RenderTrace(test::Hex("0C 00 D2 0C"), "t"));
}

TEST(TraceReply, QueryReplySelectsTheAnsweringRadio) {
  const auto t = RenderTrace(test::Hex("09 00 D3 09 00 04 00 A5 5A"), "t");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->selectRadio, 9);
  EXPECT_EQ(t->cells[1], "4->");
}

TEST(TraceReply, LongRouteKeepsEveryHop) {
  Bytes b = test::Hex("0C 00 D2 0C 00");
  for (int i = 1; i <= 25; ++i) b.insert(b.end(), {static_cast<std::uint8_t>(i), 0});
  b.insert(b.end(), {0xA5, 0x5A});
  const auto t = RenderTrace(b, "t");
  ASSERT_TRUE(t);
  ASSERT_EQ(t->cells.size(), 27u);
  EXPECT_EQ(t->cells[25], "25->");
  EXPECT_EQ(t->cells[26], "0");
}

TEST(TraceGridRows, AppendAndTabEnter) {
  TraceGrid grid;
  grid.setRouteCell(1, "7");
  EXPECT_EQ(grid.rowCount(), 1u);
  grid.append(*RenderTrace(test::Hex("0C 00 D2 0C 00 A5 5A"), "t"));
  grid.append(*RenderTrace(test::Hex("05 00 D2 05 00 01 00 A5 5A"), "t"));
  ASSERT_EQ(grid.rowCount(), 3u);
  EXPECT_EQ(grid.row(2)[0], "5->");
  EXPECT_EQ(grid.row(2)[2], "0");
  grid.onTabEnter();
  EXPECT_EQ(grid.rowCount(), 1u);
  EXPECT_EQ(grid.row(0)[1], "7");  // the route being typed stays
}

TEST(RepeatTable, EntriesFromXoredBytes) {
  Bytes b = test::Hex("05 00 E3 FC 03");  // start 1020
  const std::uint8_t entries[] = {0x55, 0x54, 0x65, 0x2A};
  for (int i = 0; i < 20; ++i) b.push_back(i < 4 ? entries[i] : 0x55);
  b.insert(b.end(), {0xA5, 0x5A});
  const TableReply t = DecodeTable(b);
  EXPECT_FALSE(t.gatewayTable);
  ASSERT_EQ(t.repeats.size(), 20u);
  EXPECT_EQ(t.repeats[0], (RepeatEntry{1020, 0, 0}));
  EXPECT_EQ(t.repeats[1], (RepeatEntry{1021, 1, 0}));
  EXPECT_EQ(t.repeats[2], (RepeatEntry{1022, 0, 3}));
  EXPECT_EQ(t.repeats[3], (RepeatEntry{1023, 0xF, 7}));  // 0x2A ^ 0x55 = 0x7F
  EXPECT_EQ(t.repeats[19].radioId, 1039u);               // no wrap at 1023
  EXPECT_EQ(t.cells[2], (std::array<std::string, 3>{"1022", "0", "3"}));
  EXPECT_EQ(t.cells[19][0], "1039");
}

TEST(RepeatTable, StartIdsDoNotWrapAtSixteenBits) {
  Bytes b = test::Hex("05 00 E3 FF FF");
  for (int i = 0; i < 20; ++i) b.push_back(0x55);
  EXPECT_EQ(DecodeTable(b).repeats.back().radioId, 65535u + 19u);
}

TEST(GatewayTable, EntriesFromXoredTriples) {
  Bytes b = test::Hex("05 00 E3 0F 27 54 55 57");
  for (int i = 1; i < 16; ++i) b.insert(b.end(), {0x55, 0x55, 0x55});
  b.insert(b.end(), {0xA5, 0x5A});
  const TableReply t = DecodeTable(b);
  EXPECT_TRUE(t.gatewayTable);
  ASSERT_EQ(t.gateways.size(), 16u);
  EXPECT_EQ(t.gateways[0], (GatewayEntry{1, 2}));
  EXPECT_EQ(t.cells[0], (std::array<std::string, 3>{"1", "2", ""}));
  EXPECT_EQ(t.cells[15], (std::array<std::string, 3>{"0", "0", ""}));
  for (std::size_t row = 16; row < kTableRows; ++row) EXPECT_EQ(t.cells[row], (std::array<std::string, 3>{})) << row;
  EXPECT_EQ(DecodeTable(test::Hex("05 00 E3 0F 27 54 FF 57 A5")).gateways.front().gatewayId, 0xAA01);
}

TEST(Tables, ShortRepliesGiveFewerEntries) {
  EXPECT_EQ(DecodeTable(test::Hex("05 00 E3 01 00 55 55 55")).repeats.size(), 3u);
  EXPECT_EQ(DecodeTable(test::Hex("05 00 E3 0F 27 54 55 57 54 55")).gateways.size(), 1u);
  EXPECT_FALSE(DecodeTable(test::Hex("05 00 E3 0F")).start);
}

TEST(TableRequests, StartIdFromText) {
  struct Case {
    const char* text;
    const char* bytes;  // nullptr: error, nothing sent
  };
  const Case cases[] = {{"1", "E3 01 00 00"}, {"1020", "E3 FC 03 00"}, {"9999", "E3 0F 27 00"},
                        {"abc", nullptr},     {"", nullptr},           {"-1", nullptr},
                        {"70000", nullptr},   {" 12 ", "E3 0C 00 00"}};
  for (const auto& c : cases) {
    const auto r = BuildRepeatTableRequest(std::string_view(c.text));
    if (c.bytes) {
      ASSERT_TRUE(r.request) << c.text;
      EXPECT_EQ(test::ToHex(*r.request), c.bytes);
      EXPECT_TRUE(r.error.empty());
    } else {
      EXPECT_FALSE(r.request) << c.text;
      EXPECT_FALSE(r.error.empty()) << c.text;
    }
  }
}

TEST(RouteRequests, ButtonBytes) {
  EXPECT_EQ(test::ToHex(BuildTraceRequest()), "D2 00 00 00");
  EXPECT_EQ(test::ToHex(BuildRouteQuery()), "D3 02 00 00");
  EXPECT_EQ(test::ToHex(BuildEraseRoute()), "BE 00 00 00");
  EXPECT_EQ(test::ToHex(BuildZeroRepeatTable()), "88 01 00 00");
  EXPECT_EQ(test::ToHex(BuildResetRadio()), "88 04 00 00");
  EXPECT_EQ(test::ToHex(BuildGatewayTableRequest()), "E3 0F 27 00");
}

}  // namespace
