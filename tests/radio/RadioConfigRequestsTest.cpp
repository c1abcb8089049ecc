#include <gtest/gtest.h>

#include <string>

#include "link/RadioFrame.h"
#include "radio/RadioConfigRequests.h"
#include "support/Hex.h"

using namespace orvalis;

namespace {

ConfigurePage AllTicked() {
  ConfigurePage p;
  p.te810 = p.te812 = p.te01rep = p.e886 = p.desLN = true;
  p.baixoConsumo = p.repetidor = p.disLN = true;
  p.serial = {1023, 2, 3, 256};  // only the low 8 bits go out
  return p;
}

ConfigurePage Selected(ConfigurePage p, int protocolo, int tipoAck, int velocidade, int serialBaud) {
  p.protocolo = protocolo;
  p.tipoAck = tipoAck;
  p.velocidade = velocidade;
  p.serialBaud = serialBaud;
  return p;
}

struct ConfigureCase {
  const char* name;
  RadioId dest;
  ConfigurePage page;
  const char* bytes;
};

const ConfigureCase kConfigure[] = {
    // Right after a read TipoAck has no selection.
    {"MasterAfterRead", 0, Selected(AllTicked(), 2, -1, -1, 1), "CA 3D 00 FF 02 03 00 02 FF 04 01 07 00"},
    {"MasterNoProtocol", 0, Selected(ConfigurePage{}, -1, 0, 0, 0), "CA 00 00 00 00 00 00 FF 00 03 00 00 00"},
    {"MasterRadioAlarmeItem", 0, Selected(ConfigurePage{}, 4, 1, 3, 0), "CA 00 00 00 00 00 00 00 01 00 00 00 00"},
    {"RemoteAlwaysProtocol1", 5, Selected(ConfigurePage{}, 4, 2, 0, -1), "CA 00 00 00 00 00 00 01 02 03 FF 00 00"},
    {"RemoteIgnoresMasterProtocol", 5, Selected(ConfigurePage{}, 0, 2, 1, 0), "CA 00 00 00 00 00 00 01 02 02 00 00 00"},
};

class ConfigureBytes : public ::testing::TestWithParam<ConfigureCase> {};

TEST_P(ConfigureBytes, Built) {
  const auto& c = GetParam();
  const Bytes data = BuildConfigure(c.dest, c.page);
  EXPECT_EQ(test::ToHex(data), c.bytes);
  EXPECT_EQ(BuildRadioFrame(c.dest, data, {}).size(), 17u);
}

INSTANTIATE_TEST_SUITE_P(Pages, ConfigureBytes, ::testing::ValuesIn(kConfigure),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigureBytes, EachEventBoxHasItsBit) {
  struct Case {
    bool ConfigurePage::*box;
    int byte;
    std::uint8_t mask;
  };
  const Case cases[] = {
      {&ConfigurePage::te810, 1, 0x01},      {&ConfigurePage::te812, 1, 0x04},
      {&ConfigurePage::te01rep, 1, 0x08},    {&ConfigurePage::e886, 1, 0x10},
      {&ConfigurePage::desLN, 1, 0x20},      {&ConfigurePage::baixoConsumo, 11, 0x01},
      {&ConfigurePage::repetidor, 11, 0x02}, {&ConfigurePage::disLN, 11, 0x04},
  };
  for (const auto& c : cases) {
    ConfigurePage p;
    p.*c.box = true;
    const Bytes b = BuildConfigure(3, p);
    EXPECT_EQ(b[static_cast<std::size_t>(c.byte)], c.mask) << int{c.mask};
  }
}

struct PeriodicCase {
  const char* typed;
  bool confirm;
  int sent;
  const char* bytes;
};

TEST(PeriodicTest, FromTypedText) {
  const PeriodicCase cases[] = {
      {"14", true, 15, "CC 01 0F 00"},  // OK on the warning sends 15
      {"15", false, 15, "CC 01 0F 00"},    {"300", false, 300, "CC 01 2C 01"},
      {"1500", false, 999, "CC 01 E7 03"},  // lowered when the edit is left
      {" 42 ", false, 42, "CC 01 2A 00"},  {"0", true, 15, "CC 01 0F 00"},
  };
  for (const auto& c : cases) {
    const auto r = PlanPeriodicTest(std::string_view(c.typed));
    ASSERT_TRUE(r.plan) << c.typed;
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(r.plan->needsConfirmation, c.confirm) << c.typed;
    EXPECT_EQ(r.plan->minutesSent, c.sent) << c.typed;
    EXPECT_EQ(test::ToHex(r.plan->request), c.bytes) << c.typed;
  }
}

TEST(PeriodicTest, NonNumericTextSendsNothing) {
  for (const char* typed : {"", "abc", "1 2", "12a", "99999999999"}) {
    const auto r = PlanPeriodicTest(std::string_view(typed));
    EXPECT_FALSE(r.plan) << typed;
    EXPECT_EQ(r.error, "'" + std::string(typed) + "' não é um valor inteiro válido");
  }
}

TEST(PeriodicTest, LeavingTheEditClampsTo999) {
  EXPECT_EQ(ParsePeriodicMinutes("1500").value, 999);
  EXPECT_EQ(ParsePeriodicMinutes("999").value, 999);
  EXPECT_EQ(ParsePeriodicMinutes("1000").value, 999);
  EXPECT_FALSE(ParsePeriodicMinutes("x").ok());
}

TEST(SerialNumber, ClampedWhenLeavingTheField) {
  struct Case {
    int field;
    const char* text;
    std::optional<std::int64_t> value;
  };
  const Case cases[] = {
      {0, "1500", 1023}, {0, "1023", 1023}, {0, "-4", 0}, {1, "300", 255},
      {2, "255", 255},   {3, "7", 7},       {3, "x", {}}, {1, "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ClampSerialField(c.field, c.text).value, c.value) << c.field << c.text;
}

TEST(ConfigRequests, FourByteCommands) {
  struct Case {
    Bytes data;
    const char* bytes;
  };
  const Case cases[] = {
      {BuildParameterRead(true, 5), "E2 00 00 00"},
      {BuildParameterRead(false, 5), "D4 00 00 00"},
      {BuildParameterRead(false, 0), "E2 00 00 00"},
      {BuildChannel(7), "D9 07 00 00"},
      {BuildChannel(263), "D9 07 00 00"},  // the item index, low 8 bits
      {BuildRemoteChannel(12), "DB 0C 01 01"},
      {BuildCommandEventMode(2), "ED 02 00 00"},
      {BuildServiceCommand(service::kDisableSs), "88 02 00 00"},
      {BuildServiceCommand(service::kEnableSs), "88 03 00 00"},
      {BuildServiceCommand(service::kDisableSs2), "88 09 00 00"},
  };
  for (const auto& c : cases) EXPECT_EQ(test::ToHex(c.data), c.bytes);
}

TEST(ConfigRequests, ReReadTriggersAndWarnings) {
  EXPECT_EQ(ReReadTriggerFor(0xCC), 0xCC);
  EXPECT_EQ(ReReadTriggerFor(0xD9), 0xD9);
  EXPECT_EQ(ReReadTriggerFor(0xED), 0xED);
  EXPECT_EQ(ReReadTriggerFor(0xCA), 0);
  EXPECT_EQ(ReReadTriggerFor(0xDB), 0);
  EXPECT_FALSE(ChannelChangeNeedsWarning(0));
  EXPECT_TRUE(ChannelChangeNeedsWarning(4));
}

}  // namespace
