// Reading scenario files: the shipped mesh and the errors a hand-edited file can have.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <string>

#include "sim/Scenario.h"

using orvalis::RadioId;
using orvalis::sim::Scenario;

namespace {

TEST(Scenario, BuiltInMesh) {
  const Scenario s = Scenario::builtIn();
  ASSERT_NE(s.find(0), nullptr);
  for (RadioId id = 1; id <= 10; ++id) {
    ASSERT_NE(s.find(id), nullptr) << id;
    EXPECT_TRUE(s.find(id)->answers) << id;
  }
  int silent = 0, deep = 0, serialBus = 0, bankB = 0, outdated915 = 0;
  for (const auto& r : s.radios) {
    if (!r.answers) {
      ++silent;
      EXPECT_GT(r.id, 10);
    }
    if (r.route.size() == 1) ++deep;
    EXPECT_LE(r.route.size(), 1u);
    if (r.boardVariant == 1) ++serialBus;
    if (r.bank == 1) ++bankB;
    if (r.hardwareCode == 18 && r.firmwareVersion < s.find(3)->firmwareVersion) ++outdated915;
  }
  EXPECT_EQ(silent, 1);
  EXPECT_GE(deep, 2);
  EXPECT_EQ(serialBus, 1);
  EXPECT_GE(bankB, 2);
  EXPECT_EQ(outdated915, 1);
  EXPECT_EQ(s.find(5)->route, std::vector<RadioId>{2});
}

TEST(Scenario, ShippedFileMatchesTheResource) {
  QString error;
  auto file = Scenario::fromFile(QString(ORVALIS_SOURCE_DIR) + "/sim/default.json", &error);
  ASSERT_TRUE(file) << error.toStdString();
  EXPECT_EQ(file->radios.size(), Scenario::builtIn().radios.size());
}

TEST(Scenario, MinimalFileTakesDefaults) {
  QString error;
  auto s = Scenario::fromJson(R"({"master": {}, "radios": [{"id": 1}]})", &error);
  ASSERT_TRUE(s) << error.toStdString();
  ASSERT_EQ(s->radios.size(), 2u);
  EXPECT_EQ(s->radios[0].id, 0);
  EXPECT_EQ(s->lines, std::vector<std::string>{"0"});
  EXPECT_DOUBLE_EQ(s->timeScale, 1.0);
}

struct BadCase {
  const char* name;
  const char* json;
  const char* errorPart;  // the message must point at the field
};

class BadScenario : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenario, RefusedWithItsPath) {
  const auto& c = GetParam();
  QString error;
  EXPECT_FALSE(Scenario::fromJson(QByteArray(c.json), &error));
  EXPECT_TRUE(error.contains(c.errorPart)) << error.toStdString();
}

const BadCase kBad[] = {
    {"NotJson", "{master", "JSON error"},
    {"NotAnObject", "[1, 2]", "JSON object"},
    {"NoMaster", R"({"radios": []})", "master"},
    {"IdZeroForARemote", R"({"master": {}, "radios": [{"id": 0}]})", "radios[0].id"},
    {"IdTooLarge", R"({"master": {}, "radios": [{"id": 1024}]})", "radios[0].id"},
    {"IdHuge", R"({"master": {}, "radios": [{"id": 1e20}]})", "radios[0].id"},
    {"IdMissing", R"({"master": {}, "radios": [{"hardware": 14}]})", "radios[0].id"},
    {"Duplicate", R"({"master": {}, "radios": [{"id": 3}, {"id": 3}]})", "radios[1].id"},
    {"SerialOfThree", R"({"master": {}, "radios": [{"id": 3, "serial": [1, 2, 3]}]})", "radios[0].serial"},
    {"SerialByteTooLarge", R"({"master": {}, "radios": [{"id": 3, "serial": [1, 2, 3, 256]}]})", "serial[3]"},
    {"BankC", R"({"master": {"bank": "C"}})", "master.bank"},
    {"FractionalChannel", R"({"master": {"channel": 2.5}})", "master.channel"},
    {"RouteToUnknownRadio", R"({"master": {}, "radios": [{"id": 3, "route": [7]}]})", "radio 3: route"},
    {"RouteThroughMaster", R"({"master": {}, "radios": [{"id": 3, "route": [0]}]})", "radio 3: route"},
    {"AccountNotFourDigits", R"({"master": {}, "radios": [{"id": 3, "accounts": ["12"]}]})", "accounts[0]"},
    {"LineOfTwoDigits", R"({"master": {}, "events": {"lines": ["00"]}})", "events.lines[0]"},
    {"AlarmForUnknownRadio", R"({"master": {}, "events": {"alarms": [{"radio": 9}]}})", "events.alarms[0]"},
    {"ZeroTimeScale", R"({"master": {}, "timeScale": 0})", "timeScale"},
    {"ProtocolOutOfRange", R"({"master": {"protocol": 4}})", "master.protocol"},
    {"TooManyGateways", R"({"master": {"gatewayTable": [{},{},{},{},{},{},{},{},{},{},{},{},{},{},{},{},{}]}})",
     "master.gatewayTable"},
};

INSTANTIATE_TEST_SUITE_P(Sim, BadScenario, ::testing::ValuesIn(kBad),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Scenario, MissingFile) {
  QString error;
  EXPECT_FALSE(Scenario::fromFile("/nonexistent/mesh.json", &error));
  EXPECT_TRUE(error.startsWith("/nonexistent/mesh.json")) << error.toStdString();
}

}  // namespace
