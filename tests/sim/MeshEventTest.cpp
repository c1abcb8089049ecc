// Event messages of the simulated master radio: their text, their timing and the ACK handshake.
#include <gtest/gtest.h>

#include <QByteArray>
#include <string>
#include <vector>

#include "link/RadioFrame.h"
#include "sim/Mesh.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::sim::Mesh;
using orvalis::sim::Output;
using orvalis::sim::Scenario;

namespace {

// A master and two radios; nothing happens on its own unless a test asks for it.
Scenario Small(int protocol, int mode, const char* extra = "") {
  const std::string json = std::string(R"({
    "events": {"ackTimeoutMs": 1000, "maxResends": 2, "spacingMs": 200, "startDelayMs": 100,
               "linkTestSeconds": 0, "alarmEverySeconds": 0, "failureAfterSeconds": 0,
               "lines": ["0", "000"])") +
                           extra + R"(},
    "master": {"protocol": )" +
                           std::to_string(protocol) + R"(, "commandEventMode": )" + std::to_string(mode) +
                           R"(, "periodicMinutes": 0, "partition": 0, "accounts": ["1000"]},
    "radios": [
      {"id": 2, "serial": [11, 3, 18, 7], "periodicMinutes": 0, "partition": 1, "accounts": ["1002", "2002"]},
      {"id": 5, "serial": [13, 1, 77, 5], "periodicMinutes": 0, "partition": 2, "route": [2], "accounts": ["1005"]}
    ]})";
  QString error;
  auto s = Scenario::fromJson(QByteArray::fromStdString(json), &error);
  EXPECT_TRUE(s) << error.toStdString();
  return s ? *s : Scenario{};
}

std::string Text(const Output& o) {
  return std::string(o.bytes.begin(), o.bytes.end());
}

// Runs the mesh from `from` to `to` in steps of `step` ms, answering nothing; collects the events.
std::vector<std::pair<std::int64_t, std::string>> RunMesh(Mesh& mesh, std::int64_t from, std::int64_t to,
                                                          std::int64_t step = 10) {
  std::vector<std::pair<std::int64_t, std::string>> out;
  for (std::int64_t t = from; t <= to; t += step)
    for (const Output& o : mesh.onTick(t))
      if (o.kind == Output::Kind::Event) out.emplace_back(t + o.delayMs, Text(o));
  return out;
}

struct FormatCase {
  const char* name;
  int protocol;
  int mode;
  RadioId radio;
  char qualifier;
  std::uint16_t code;
  std::uint8_t partition;
  std::uint16_t zone;
  const char* first;   // with line "0": k = 0
  const char* second;  // the same event again, with line "000": k = 2
};

class EventText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(EventText, BothHeaderWidths) {
  const auto& c = GetParam();
  Mesh mesh(Small(c.protocol, c.mode));
  EXPECT_EQ(mesh.formatEvent(c.radio, c.qualifier, c.code, c.partition, c.zone), std::string(c.first) + '\x14');
  EXPECT_EQ(mesh.formatEvent(c.radio, c.qualifier, c.code, c.partition, c.zone), std::string(c.second) + '\x14');
}

const FormatCase kFormats[] = {
    {"Standard", 1, 1, 2, 'E', 130, 1, 3, "5000 181002E13001003", "500000 181002E13001003"},
    {"StandardSecondPartitionAccount", 1, 1, 2, 'R', 130, 2, 8, "5000 182002R13002008", "500000 182002R13002008"},
    {"StandardPowerUp", 1, 1, 5, 'E', 880, 2, 5, "5000 181005E88002005", "500000 181005E88002005"},
    {"ExtendedByMode", 1, 2, 5, 'E', 881, 2, 5,
     "6000 181005E88102005 0005013001077005"
     "00101",
     "600000 181005E88102005 0005013001077005"
     "00201"},
    {"ExtendedByProtocol", 3, 1, 2, 'E', 130, 1, 3,
     "6000 181002E13001003 0002011003018007"
     "00101",
     "600000 181002E13001003 0002011003018007"
     "00201"},
    {"MasterItself", 1, 2, 0, 'E', 880, 0, 0,
     "6000 181000E88000000 0000000000000000"
     "00101",
     "600000 181000E88000000 0000000000000000"
     "00201"},
};

INSTANTIATE_TEST_SUITE_P(Sim, EventText, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MeshEvents, LinkTestMessage) {
  const std::string m = Mesh::linkTestMessage();
  EXPECT_EQ(m.substr(0, 3), "101");
  EXPECT_EQ(m.back(), '\x14');
}

TEST(MeshEvents, PowerUpOfEveryRadioAtStartMasterFirst) {
  Mesh mesh(Small(1, 1));
  const auto ev = RunMesh(mesh, 0, 2000);
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0].second.substr(0, 20), "5000 181000E88000000");
  EXPECT_EQ(ev[1].second.substr(0, 22), "500000 181002E88001002");
  EXPECT_EQ(ev[2].second.substr(0, 20), "5000 181005E88002005");
  EXPECT_GE(ev[0].first, 100);
  for (std::size_t i = 1; i < ev.size(); ++i) EXPECT_GE(ev[i].first - ev[i - 1].first, 200) << i;
}

TEST(MeshEvents, ModeZeroKeepsEventsOffTheCommandPort) {
  Mesh mesh(Small(1, 0));
  EXPECT_TRUE(RunMesh(mesh, 0, 2000).empty());
  // Switching command+event mode on brings new events.
  ASSERT_FALSE(mesh.onFrame(BuildRadioFrame(0, test::Hex("ED 01 00 00")), 2000).empty());
  mesh.raiseEvent(2, 'E', 130, 1, 3);
  const auto ev = RunMesh(mesh, 2010, 3000);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].second.substr(0, 11), "5000 181002");
}

TEST(MeshEvents, ModeZeroDropsWhatWasQueued) {
  Mesh mesh(Small(0, 1));
  RunMesh(mesh, 0, 150);  // the master's 880 is in flight, the others are queued
  ASSERT_TRUE(mesh.awaitingAck());
  ASSERT_FALSE(mesh.onFrame(BuildRadioFrame(0, test::Hex("ED 00 00 00")), 200).empty());
  EXPECT_FALSE(mesh.awaitingAck());
  EXPECT_EQ(mesh.queuedEvents(), 0u);
  EXPECT_TRUE(RunMesh(mesh, 210, 5000).empty());
}

TEST(MeshEvents, PeriodicTestsFollowTheTimeScale) {
  // One radio with a 1-minute periodic test at 60x: an 881 every real second.
  QString error;
  auto s = Scenario::fromJson(R"({"timeScale": 60,
      "events": {"startDelayMs": 0, "linkTestSeconds": 0, "alarmEverySeconds": 0, "failureAfterSeconds": 0},
      "master": {"periodicMinutes": 0, "commandEventMode": 1},
      "radios": [{"id": 3, "periodicMinutes": 1, "accounts": ["1003"]}]})",
                              &error);
  ASSERT_TRUE(s) << error.toStdString();
  Mesh mesh(*s);
  std::vector<std::int64_t> times;
  for (const auto& [t, text] : RunMesh(mesh, 0, 5200))
    if (text.find("E881") != std::string::npos) times.push_back(t);
  ASSERT_EQ(times.size(), 5u);
  for (std::size_t i = 1; i < times.size(); ++i) EXPECT_NEAR(static_cast<double>(times[i] - times[i - 1]), 1000, 30);
}

TEST(MeshEvents, TimeScaleChangeTakesEffectAtOnce) {
  QString error;
  auto s = Scenario::fromJson(R"({"timeScale": 60,
      "events": {"startDelayMs": 0, "linkTestSeconds": 0, "alarmEverySeconds": 0, "failureAfterSeconds": 0},
      "master": {"periodicMinutes": 0, "commandEventMode": 1},
      "radios": [{"id": 3, "periodicMinutes": 1, "diagnostics": {"uptimeSeconds": 1000}}]})",
                              &error);
  ASSERT_TRUE(s) << error.toStdString();
  Mesh mesh(*s);
  RunMesh(mesh, 0, 2500);
  mesh.setTimeScale(120);
  std::vector<std::int64_t> times;
  for (const auto& [t, text] : RunMesh(mesh, 2510, 5000))
    if (text.find("E881") != std::string::npos) times.push_back(t);
  ASSERT_GE(times.size(), 4u);
  // The test due at 2666 had 166 ms to go at 60x: 83 ms at 120x.
  EXPECT_NEAR(static_cast<double>(times[0]), 2583, 15);
  for (std::size_t i = 1; i < times.size(); ++i) EXPECT_NEAR(static_cast<double>(times[i] - times[i - 1]), 500, 30);
  // Uptime keeps what has passed: 2.5 s at 60x, then 2.5 s at 120x.
  const auto d = mesh.onFrame(BuildRadioFrame(3, test::Hex("E7 00 00 00")), 5000);
  ASSERT_EQ(d.size(), 1u);
  const Bytes& b = d[0].bytes;
  EXPECT_EQ((b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19], 1000 + 150 + 300);
}

TEST(MeshEvents, SilentRadioIsReportedWith882) {
  QString error;
  auto s = Scenario::fromJson(R"({
      "events": {"startDelayMs": 0, "linkTestSeconds": 0, "alarmEverySeconds": 0, "failureAfterSeconds": 2},
      "master": {"periodicMinutes": 0},
      "radios": [{"id": 14, "answers": false, "periodicMinutes": 30, "accounts": ["1014"]}]})",
                              &error);
  ASSERT_TRUE(s) << error.toStdString();
  Mesh mesh(*s);
  const auto ev = RunMesh(mesh, 0, 3000);
  ASSERT_EQ(ev.size(), 2u);  // the master's 880, then the failure; nothing from radio 14 itself
  EXPECT_NE(ev[1].second.find("1014E88201014"), std::string::npos) << ev[1].second;
  EXPECT_GE(ev[1].first, 2000);
}

TEST(MeshEvents, AlarmThenRestoreFromTheScenario) {
  QString error;
  auto s = Scenario::fromJson(R"({
      "events": {"startDelayMs": 0, "linkTestSeconds": 0, "alarmEverySeconds": 10, "restoreAfterSeconds": 3,
                 "failureAfterSeconds": 0, "alarms": [{"radio": 4, "code": 130, "partition": 1, "zone": 7}]},
      "master": {"periodicMinutes": 0, "commandEventMode": 1},
      "radios": [{"id": 4, "periodicMinutes": 0, "accounts": ["1004"]}]})",
                              &error);
  ASSERT_TRUE(s) << error.toStdString();
  Mesh mesh(*s);
  std::vector<std::pair<std::int64_t, std::string>> alarms;
  for (const auto& e : RunMesh(mesh, 0, 14000, 20))
    if (e.second.find("130") != std::string::npos) alarms.push_back(e);
  ASSERT_EQ(alarms.size(), 2u);
  EXPECT_NE(alarms[0].second.find("1004E13001007"), std::string::npos);
  EXPECT_NE(alarms[1].second.find("1004R13001007"), std::string::npos);
  EXPECT_NEAR(static_cast<double>(alarms[1].first - alarms[0].first), 3000, 50);
}

// ---------------------------------------------------------------- ACK

class AckHandshake : public ::testing::Test {
 protected:
  void SetUp() override {
    // With ACK (protocol 0); the start-up 880s are let through first.
    for (std::int64_t t = 0; t < 20000; t += 10) {
      mesh.onTick(t);
      if (mesh.awaitingAck()) mesh.onAck(t);
      if (!mesh.awaitingAck() && mesh.queuedEvents() == 0 && t > 1000) {
        now = t + 1000;
        break;
      }
    }
    ASSERT_GT(now, 0);
    mesh.raiseEvent(2, 'E', 130, 1, 3);
    mesh.raiseEvent(5, 'E', 301, 2, 0);
  }
  std::vector<Output> tick(std::int64_t t) { return mesh.onTick(t); }

  Mesh mesh{Small(0, 1)};
  std::int64_t now = 0;
};

TEST_F(AckHandshake, NoAckSameMessageAgainAfterTimeout) {
  const auto first = tick(now);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(Text(first[0]).substr(0, 12), "500000 18100");
  EXPECT_TRUE(tick(now + 999).empty());
  const auto again = tick(now + 1000);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].bytes, first[0].bytes);
  EXPECT_EQ(mesh.stats().resends, 1);
}

TEST_F(AckHandshake, AckBringsTheNextMessage) {
  const auto first = tick(now);
  ASSERT_EQ(first.size(), 1u);
  const auto next = mesh.onAck(now + 300);
  ASSERT_EQ(next.size(), 1u);
  EXPECT_NE(Text(next[0]).find("1005E30102000"), std::string::npos) << Text(next[0]);
  EXPECT_TRUE(tick(now + 1000).empty());  // the first is not sent again
  EXPECT_EQ(mesh.stats().resends, 0);
}

TEST_F(AckHandshake, GivenUpAfterTheLastResend) {
  ASSERT_EQ(tick(now).size(), 1u);
  ASSERT_EQ(tick(now + 1000).size(), 1u);
  ASSERT_EQ(tick(now + 2000).size(), 1u);
  const auto next = tick(now + 3000);  // two resends were allowed: the next message takes over
  ASSERT_EQ(next.size(), 1u);
  EXPECT_NE(Text(next[0]).find("1005E301"), std::string::npos);
  EXPECT_EQ(mesh.stats().givenUp, 1);
}

TEST_F(AckHandshake, StrayAckIsIgnored) {
  const int acks = mesh.stats().acks;
  EXPECT_TRUE(mesh.onAck(now).empty());
  EXPECT_EQ(mesh.stats().acks, acks);
  ASSERT_EQ(tick(now).size(), 1u);
}

TEST_F(AckHandshake, UnacknowledgedBufferIsBounded) {
  for (int i = 0; i < 700; ++i) mesh.raiseEvent(2, 'E', 130, 1, 3);
  EXPECT_EQ(mesh.queuedEvents(), 500u);
  EXPECT_EQ(mesh.stats().dropped, 202);
  // Sending goes on after the drop.
  ASSERT_EQ(tick(now).size(), 1u);
}

TEST(MeshEvents, WithoutAckMessagesFollowAtTheSpacing) {
  Mesh mesh(Small(1, 1));
  RunMesh(mesh, 0, 2000);
  mesh.raiseEvent(2, 'E', 130, 1, 3);
  mesh.raiseEvent(5, 'E', 301, 2, 0);
  const auto ev = RunMesh(mesh, 2010, 3000);
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_FALSE(mesh.awaitingAck());
  EXPECT_GE(ev[1].first - ev[0].first, 200);
}

TEST(MeshEvents, EventWaitsForAReplyOnTheLine) {
  Mesh mesh(Small(1, 1));
  RunMesh(mesh, 0, 2000);
  const auto reply = mesh.onFrame(BuildRadioFrame(5, test::Hex("D8 00 00 00")), 3000);
  ASSERT_EQ(reply.size(), 1u);
  mesh.raiseEvent(2, 'E', 130, 1, 3);
  const auto ev = RunMesh(mesh, 3000, 4000);
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_GE(ev[0].first, 3000 + reply[0].delayMs + static_cast<std::int64_t>(reply[0].bytes.size()) + 40);
}

}  // namespace
