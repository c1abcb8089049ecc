// Replies of the default scenario, byte for byte, and how configuration commands change the radios.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/FrameCrc16.h"
#include "link/RadioFrame.h"
#include "sim/Mesh.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::sim::Mesh;
using orvalis::sim::Output;
using orvalis::sim::Scenario;
using orvalis::test::Hex;
using orvalis::test::ToHex;

namespace {

const Scenario& Default() {
  static const Scenario s = Scenario::builtIn();
  return s;
}

Bytes Frame(RadioId dest, const std::string& data, std::vector<RadioId> vias = {}) {
  FrameRoute route;
  if (!vias.empty()) route.gateway = vias[0];
  if (vias.size() > 1) route.oneShot = vias[1];
  return BuildRadioFrame(dest, Hex(data), route);
}

// The reply bytes without their CRC, after checking that the CRC is right; "" when nothing came.
std::string Reply(Mesh& mesh, RadioId dest, const std::string& data, std::vector<RadioId> vias = {},
                  std::int64_t now = 0) {
  const auto out = mesh.onFrame(Frame(dest, data, vias), now);
  if (out.empty()) return "";
  EXPECT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].kind, Output::Kind::Reply);
  const Bytes& b = out[0].bytes;
  EXPECT_GE(b.size(), 5u);
  if (b.size() < 5) return "short";
  const std::uint16_t crc = FrameCrc16(std::span(b).first(b.size() - 2));
  EXPECT_EQ(b[b.size() - 2], crc & 0xFF);
  EXPECT_EQ(b[b.size() - 1], crc >> 8);
  return ToHex(std::span(b).first(b.size() - 2));
}

struct ReplyCase {
  const char* name;
  RadioId dest;
  std::vector<RadioId> vias;
  const char* request;  // CommandCode and parameters
  const char* reply;    // expected reply without CRC; "" = no reply
};

class DefaultReplies : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(DefaultReplies, ByteForByte) {
  const auto& c = GetParam();
  Mesh mesh(Default());
  EXPECT_EQ(Reply(mesh, c.dest, c.request, c.vias), ToHex(Hex(c.reply)));
}

const ReplyCase kReplies[] = {
    {"MasterLocalRead",
     0,
     {},
     "E2 00 00 00",
     "00 00 E2 1E 00 0A 00 29 01 0E 01 1E 03 02 00 03 00 06 00 01 00 1E 00 00 00 00 01 00 00 00 00"},
    {"SerialBusVariantBankB",
     4,
     {},
     "D4 00 00 00",
     "04 00 D4 1E 00 0C 09 02 2D 0E 01 1A 03 00 00 03 00 06 01 01 00 00 00 00 00 00 07 01 00 00 01"},
    {"Firmware20CarriesPeriodicBigEndian",
     8,
     {},
     "D4 00 00 00",
     "08 00 D4 19 00 0D 02 3C 08 0E 01 03 03 00 00 03 00 14 00 01 00 19 00 00 00 00 06 01 00 00 00"},
    {"PowerOptionsInByte21",
     1,
     {},
     "D4 00 00 00",
     "01 00 D4 14 00 0B 03 11 C8 0E 01 1A 03 00 00 03 00 06 00 01 00 01 00 00 00 00 01 01 00 00 00"},
    {"OldFirmwareFailedCheck",
     11,
     {},
     "D4 00 00 00",
     "0B 00 D4 3C 00 08 01 01 0B 0B 01 09 03 00 00 03 00 02 00 00 00 00 00 00 00 00 01 01 00 00 00"},
    {"OutOfDate915",
     6,
     {},
     "E2 00 00 00",
     "06 00 E2 3C 00 09 0E C8 03 12 01 02 01 00 00 03 00 05 00 01 00 00 00 00 00 00 01 01 00 00 00"},
    {"SignalDirect", 1, {}, "D7 00 00 00", "01 00 D7 00 00 46 44 00 00 00 00 00 00 00 98 FF FE"},
    {"SignalThroughItsRoute", 5, {}, "D7 00 00 00", "05 00 D7 02 00 55 53 00 00 00 00 00 00 01 24 FF FE"},
    {"SignalViaGateway2", 5, {2}, "D7 00 00 00", "05 00 D7 02 00 55 53 00 00 00 00 00 00 01 24 FF FE"},
    {"SignalViaAnotherNeighbour", 5, {1}, "D7 00 00 00", "05 00 D7 01 00 61 60 00 00 00 00 00 00 01 24 FF FE"},
    {"ViaMasterIsDirect", 1, {0}, "D7 00 00 00", "01 00 D7 00 00 46 44 00 00 00 00 00 00 00 98 FF FE"},
    {"Noise", 3, {}, "D8 00 00 00", "03 00 D8 64 6F 75"},
    {"NoiseOfMaster", 0, {}, "D8 00 00 00", "00 00 D8 65 6E 74"},
    {"DiagnosticsWithBattery",
     1,
     {},
     "E7 00 00 00",
     "01 00 E7 15 1B 27 20 21 22 00 03 00 02 00 00 01 00 01 51 80 00 01 51 80 01 9C 01 0C 00 00 05 F0 00 00 00 03"
     " 01 9A 01 8B 02 6C 02 59 55 79 80 88"},
    {"DiagnosticsWithoutBattery",
     4,
     {},
     "E7 00 00 00",
     "04 00 E7 15 1B 27 20 21 22 00 03 00 02 00 00 05 00 01 6E 58 00 01 6E 58 01 9C 01 09 00 00 05 F0 00 00 00 03"
     " 01 9A 01 8B 02 6C 02 59 00 00 00 00"},
    {"SyncLayoutWithClocks",
     2,
     {},
     "C3 01 01 01",
     "02 00 C3 02 00 00 4A 46 42 00 01 00 06 97 80 00 01 6B 48 00 B4 00 2A 00 3D 00 02 00 01 00 0E 00 00 00 00"
     " 00 0C 00 00 00 30 00 08 00 0B 00 19 00 23 FF F9"},
    {"SyncGatewayIsFirstHop",
     8,
     {},
     "C3 01 01 01",
     "08 00 C3 02 03 00 4A 46 42 00 01 00 01 6E 58 00 01 6B 48 00 B4 00 2A 00 3D 00 02 00 01 00 0E 00 00 00 00"
     " 00 0C 00 00 00 30 00 08 00 0B 00 19 00 23 FF F9"},
    {"SyncCounterLayout",
     10,
     {},
     "C3 01 01 01",
     "0A 00 C3 81 00 01 6E 58 00 01 00 0E 00 00 00 00 00 0C 00 00 00 30 00 08 00 19"},
    {"TraceDirect", 1, {}, "D2 00 00 00", "01 00 D2 01 00"},
    {"TraceTwoHops", 5, {}, "D2 00 00 00", "05 00 D2 05 00 02 00"},
    {"RouteQuery", 8, {}, "D3 02 00 00", "08 00 D3 08 00 03 00"},
    {"RepeatTable", 2, {}, "E3 01 00 00", "02 00 E3 01 00 45 55 55 55 65 55 54 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {"GatewayTable",
     5,
     {},
     "E3 0F 27 00",
     "05 00 E3 0F 27 57 55 51 54 55 54 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"
     " 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55"},
    {"ZeroRepeatTableEcho", 2, {}, "88 01 00 00", "02 00 88 01 00 00"},
    {"ResetEcho", 7, {}, "88 04 00 00", "07 00 88 04 00 00"},
    {"TestModeEcho", 3, {}, "88 09 00 00", "03 00 88 09 00 00"},
    {"EraseRouteEcho", 5, {}, "BE 00 00 00", "05 00 BE 00 00 00"},
    {"PeriodicEcho", 8, {}, "CC 01 2C 01", "08 00 CC 01 2C 01"},
    {"ChannelEcho", 0, {}, "D9 05 00 00", "00 00 D9 05 00 00"},
    {"RemoteChannelEcho", 3, {}, "DB 07 01 01", "03 00 DB 07 01 01"},
    {"CommandEventModeEcho", 0, {}, "ED 01 00 00", "00 00 ED 01 00 00"},
    {"ConfigureEcho", 0, {}, "CA 01 00 0A 00 29 01 02 FF 04 01 00 00", "00 00 CA 01 00 0A 00 29 01 02 FF 04 01 00 00"},
    // Nothing comes back from these.
    {"RadioThatNeverAnswers", 12, {}, "D7 00 00 00", ""},
    {"NeverAnswersParameterRead", 12, {}, "E2 00 00 00", ""},
    {"RadioNotInTheMesh", 99, {}, "D4 00 00 00", ""},
    {"GatewayOutOfReach", 5, {7}, "D7 00 00 00", ""},
    {"GatewayThatNeverAnswers", 4, {12}, "D7 00 00 00", ""},
    {"UnknownCommand", 1, {}, "A7 00 00 00", ""},
    {"CommandEventModeOnlyAtMaster", 1, {}, "ED 01 00 00", ""},
    {"UnknownResetSubCode", 1, {}, "88 07 00 00", ""},
    {"PeriodicWithoutSubCode1", 8, {}, "CC 00 2C 01", ""},
    {"ShortConfigure", 0, {}, "CA 01 00 0A", ""},
    {"RouteDefinitionShorterThanItsCount", 5, {}, "D3 01 02 02 00", ""},
    {"RouteThroughItself", 5, {}, "D3 01 01 05 00", ""},
};

INSTANTIATE_TEST_SUITE_P(Sim, DefaultReplies, ::testing::ValuesIn(kReplies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MeshFrames, BadCrcIsIgnored) {
  Mesh mesh(Default());
  Bytes f = Frame(1, "D7 00 00 00");
  f.back() ^= 0x01;
  EXPECT_TRUE(mesh.onFrame(f, 0).empty());
  EXPECT_EQ(mesh.stats().framesIgnored, 1);
}

TEST(MeshFrames, RepliesTakeLongerPerHop) {
  Mesh mesh(Default());
  const auto master = mesh.onFrame(Frame(0, "D8 00 00 00"), 0);
  const auto oneHop = mesh.onFrame(Frame(1, "D8 00 00 00"), 10000);
  const auto twoHops = mesh.onFrame(Frame(5, "D8 00 00 00"), 20000);
  ASSERT_EQ(master.size(), 1u);
  ASSERT_EQ(oneHop.size(), 1u);
  ASSERT_EQ(twoHops.size(), 1u);
  EXPECT_LT(master[0].delayMs, oneHop[0].delayMs);
  EXPECT_LT(oneHop[0].delayMs, twoHops[0].delayMs);
}

TEST(MeshFrames, RepliesKeepApartOnTheLine) {
  // Two requests at once: the second reply must not join the first in the tool's 40 ms burst.
  Mesh mesh(Default());
  const auto a = mesh.onFrame(Frame(0, "D8 00 00 00"), 0);
  const auto b = mesh.onFrame(Frame(0, "D8 00 00 00"), 1);
  ASSERT_EQ(a.size(), 1u);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_GE(1 + b[0].delayMs - (a[0].delayMs + static_cast<std::int64_t>(a[0].bytes.size())), 40);
}

// A configuration command followed by the tool's automatic re-read shows the new value.
struct ConfigCase {
  const char* name;
  RadioId dest;
  const char* command;
  RadioId readDest;
  std::size_t offset;    // position in the parameter reply
  const char* expected;  // bytes at that offset
};

class ConfigurationRead : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigurationRead, ReReadShowsNewValue) {
  const auto& c = GetParam();
  Mesh mesh(Default());
  ASSERT_NE(Reply(mesh, c.dest, c.command), "");
  const std::string read = Reply(mesh, c.readDest, "E2 00 00 00", {}, 1000);
  const Bytes b = Hex(read);
  const Bytes want = Hex(c.expected);
  ASSERT_GE(b.size(), c.offset + want.size());
  EXPECT_EQ(ToHex(std::span(b).subspan(c.offset, want.size())), ToHex(want));
}

const ConfigCase kConfig[] = {
    {"PeriodicRemoteLittleAndBigEndian", 8, "CC 01 2C 01", 8, 3, "2C 01"},
    {"PeriodicRemoteBytes20And21", 8, "CC 01 2C 01", 8, 20, "01 2C"},
    {"PeriodicMaster", 0, "CC 01 0F 00", 0, 20, "00 0F"},
    {"Channel", 0, "D9 05 00 00", 0, 12, "05"},
    {"RemoteChannel", 3, "DB 07 01 01", 3, 12, "07"},
    {"CommandEventModeOff", 0, "ED 00 00 00", 0, 13, "00"},
    {"CommandEventModeStandard", 0, "ED 01 00 00", 0, 13, "01"},
    {"CommandEventModeOutOfRangeKeeps", 0, "ED 07 00 00", 0, 13, "02"},
    // Protocol 2 taken; keep-alive 0xFF and data rate 4 (nothing selected in the tool) leave the old values.
    {"ConfigureMaster", 0, "CA 01 00 0A 00 29 01 02 FF 04 01 00 00", 0, 9, "0E 02 1E 03 02 00 03 01"},
    {"ConfigureMasterSerial", 0, "CA 01 00 0B 01 02 03 02 01 00 00 00 00", 0, 5, "0B 01 02 03"},
    // A remote radio keeps reporting protocol 1 and takes the power options.
    {"ConfigureRemote", 1, "CA 00 00 0B 03 11 C8 01 00 03 00 06 00", 1, 9, "0E 01"},
    {"ConfigureRemotePower", 1, "CA 00 00 0B 03 11 C8 01 00 03 00 06 00", 1, 21, "06"},
};

INSTANTIATE_TEST_SUITE_P(Sim, ConfigurationRead, ::testing::ValuesIn(kConfig),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MeshRoutes, DefineQueryAndErase) {
  Mesh mesh(Default());
  EXPECT_EQ(Reply(mesh, 10, "D3 01 02 07 00 03 00"), "0A 00 D3 0A 00 07 00 03 00");
  EXPECT_EQ(Reply(mesh, 10, "D2 00 00 00"), "0A 00 D2 0A 00 07 00 03 00");
  EXPECT_EQ(Reply(mesh, 10, "D3 02 00 00"), "0A 00 D3 0A 00 07 00 03 00");
  EXPECT_EQ(Reply(mesh, 10, "BE 00 00 00"), "0A 00 BE 00 00 00");
  EXPECT_EQ(Reply(mesh, 10, "D2 00 00 00"), "0A 00 D2 0A 00 07 00");
}

TEST(MeshRoutes, DefinedRouteThroughSilentRadioCutsTheRadioOff) {
  Mesh mesh(Default());
  EXPECT_NE(Reply(mesh, 9, "D3 01 01 0C 00"), "");  // the echo leaves before the new route is used
  EXPECT_EQ(Reply(mesh, 9, "D8 00 00 00"), "");
  EXPECT_EQ(Reply(mesh, 9, "BE 00 00 00", {0}), "");  // only a route the mesh can use reaches it
  EXPECT_EQ(Reply(mesh, 9, "D3 01 00"), "");
}

TEST(MeshRoutes, EmptyDefinitionFallsBackToTheFoundRoute) {
  Mesh mesh(Default());
  EXPECT_EQ(Reply(mesh, 5, "D3 01 01 01 00"), "05 00 D3 05 00 01 00");
  EXPECT_EQ(Reply(mesh, 5, "D3 01 00 00"), "05 00 D3 05 00 02 00");
}

TEST(MeshRoutes, SilentGatewayCutsOffTheRadiosBehindIt) {
  Mesh mesh(Default());
  mesh.setSilent(2, true, 0);
  EXPECT_EQ(Reply(mesh, 2, "D8 00 00 00"), "");
  EXPECT_EQ(Reply(mesh, 5, "D8 00 00 00"), "");
  EXPECT_EQ(Reply(mesh, 5, "D8 00 00 00", {1}), "05 00 D8 62 6B 72");  // another neighbour still reaches it
  mesh.setSilent(2, false, 0);
  EXPECT_EQ(Reply(mesh, 5, "D8 00 00 00"), "05 00 D8 62 6B 72");
}

TEST(MeshTables, ZeroingEmptiesTheRepeatTable) {
  Mesh mesh(Default());
  ASSERT_NE(Reply(mesh, 2, "88 01 00 00"), "");
  EXPECT_EQ(Reply(mesh, 2, "E3 01 00 00"),
            "02 00 E3 01 00 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55");
}

TEST(MeshTables, RepeatTableStartNear1023DoesNotWrap) {
  Mesh mesh(Default());
  const Bytes b = Hex(Reply(mesh, 2, "E3 FC 03 00"));  // start 1020
  ASSERT_EQ(b.size(), 25u);
  EXPECT_EQ(b[3] | (b[4] << 8), 1020);
}

TEST(MeshReset, ResetRestartsUptimeAndCountsAReset) {
  Mesh mesh(Default());
  ASSERT_EQ(Reply(mesh, 1, "88 04 00 00", {}, 5000), "01 00 88 04 00 00");
  const Bytes d = Hex(Reply(mesh, 1, "E7 00 00 00", {}, 7000));
  ASSERT_EQ(d.size(), 48u);
  EXPECT_EQ((d[9] << 8) | d[10], 4);                             // resets
  EXPECT_EQ(ToHex(std::span(d).subspan(16, 4)), "00 00 00 02");  // 2 s since the reset
}

}  // namespace

namespace {

// Arbitrary frames with a valid CRC: every reply is well formed and comes from the addressed radio.
TEST(MeshFrames, ArbitraryFramesGetWellFormedReplies) {
  Mesh mesh(Default());
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::uint8_t>(seed >> 16);
  };
  const std::uint8_t codes[] = {0xE2, 0xD4, 0xCA, 0xCC, 0xD9, 0xDB, 0xED, 0x88, 0xBE, 0xD7, 0xD8,
                                0xE7, 0xC3, 0xD2, 0xD3, 0xE3, 0xE9, 0xEB, 0xEA, 0x00, 0xFF};
  int replies = 0;
  for (int i = 0; i < 20000; ++i) {
    Bytes data{codes[next() % sizeof codes]};
    const std::size_t extra = next() % 24;
    for (std::size_t k = 0; k < extra; ++k) data.push_back(next() % 4 ? next() % 4 : next());
    const RadioId dest = next() % 14;
    FrameRoute route;
    if (next() % 4 == 0) route.gateway = static_cast<RadioId>(next() % 14);
    const Bytes f = BuildRadioFrame(dest, data, route);
    for (const Output& o : mesh.onFrame(f, i * 10)) {
      ++replies;
      ASSERT_GE(o.bytes.size(), 5u);
      EXPECT_EQ(o.bytes[0] | (o.bytes[1] << 8), dest);
      EXPECT_EQ(o.bytes[2], data[0]);
      const std::uint16_t crc = FrameCrc16(std::span(o.bytes).first(o.bytes.size() - 2));
      EXPECT_EQ(o.bytes[o.bytes.size() - 2] | (o.bytes[o.bytes.size() - 1] << 8), crc);
      EXPECT_GE(o.delayMs, 0);
    }
  }
  EXPECT_GT(replies, 1000);
}

}  // namespace
