#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "radio/ParameterView.h"
#include "radio/ReplyBytes.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::test::Burst;

namespace {

// The controls of the CONFIG page as the views leave them.
struct Control {
  std::optional<bool> visible, checked, enabled;
};

class ConfigPage {
 public:
  void apply(const ParameterView& v) {
    for (const auto& c : v.controls) {
      auto& s = controls_[std::string(c.name)];
      if (c.visible) s.visible = c.visible;
      if (c.checked) s.checked = c.checked;
      if (c.enabled) s.enabled = c.enabled;
    }
  }
  Control operator[](const std::string& name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? Control{} : it->second;
  }

 private:
  std::map<std::string, Control> controls_;
};

// A 31-byte parameter reply with the fields the cases vary.
struct Reply {
  RadioId id = 5;
  std::uint8_t hw = 12, protocol = 0, revision = 0, channel = 3, mode = 0, rate = 0, baud = 0, firmware = 40, bank = 0,
               check = 1, b20 = 0, b21 = 0, panel = 0, partition = 0, variant = 0;
  std::uint16_t minutesLe = 0;

  Bytes bytes(CommandCode code = code::kRemoteRead) const {
    return Burst(id, code, 31,
                 {{3, minutesLe & 0xFF},
                  {4, minutesLe >> 8},
                  {5, 10},
                  {6, 20},
                  {7, 30},
                  {8, 40},
                  {9, hw},
                  {10, protocol},
                  {11, revision},
                  {12, channel},
                  {13, mode},
                  {15, rate},
                  {16, baud},
                  {17, firmware},
                  {18, bank},
                  {19, check},
                  {20, b20},
                  {21, b21},
                  {26, panel},
                  {27, partition},
                  {30, variant}});
  }
};

struct ViewCase {
  const char* name;
  Reply reply;
  std::array<const char*, kParamRows> values;  // column 1, rows 0-9
  const char* row9Label;
  std::vector<std::string> shown;
  std::vector<std::string> hidden;
  std::map<std::string, bool> checked;
  std::optional<int> periodicMinutes;
  bool channelEnabled = true;
};

Reply Master() {
  Reply r;
  r.id = 0;
  r.hw = 11;
  r.protocol = 2;
  r.revision = 7;
  r.channel = 5;
  r.mode = 1;
  r.rate = 0x81;  // bit 7 is not part of the code
  r.baud = 1;
  r.b20 = 0x04;  // 1200 minutes, shown but stored as 999
  r.b21 = 0xB0;
  return r;
}

Reply Alarm(std::uint8_t firmware, std::uint8_t revision) {
  Reply r;
  r.firmware = firmware;
  r.revision = revision;
  r.panel = 4;
  r.partition = 3;
  r.b20 = 0x01;  // 300 minutes big-endian; byte 21 = 0x2C also holds power bits 0b100
  r.b21 = 0x2C;
  r.minutesLe = 45;
  return r;
}

Reply With(Reply r, std::uint8_t hw, std::uint8_t variant) {
  r.hw = hw;
  r.variant = variant;
  return r;
}

const std::vector<std::string> kAlarmHidden = {
    "TProtocolo", "TTipoAck", "TipoAck",        "THabilitaEventos", "TE810",      "TE812", "TE01rep",
    "E886",       "DesLN",    "TComandoEvento", "HBaixoConsumo",    "HRepetidor", "HDisLN"};
const std::vector<std::string> kPeriodicControls = {"BEVELPeriodico", "Tperiodico", "CPeriodico", "BPeriodico",
                                                    "Protocolo"};
const std::map<std::string, bool> kPowerFromByte21 = {
    {"HBaixoConsumo", false}, {"HRepetidor", false}, {"HDisLN", true}};
const std::map<std::string, bool> kPowerCleared = {{"HBaixoConsumo", false}, {"HRepetidor", false}, {"HDisLN", false}};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const ViewCase kViews[] = {
    {"MasterRadio",
     Master(),
     {"0", "10.20.30.40", "CC1120_SLOT 460M", "40", "7", "5", "A", "SURGARD COM ACK Estendido", "COMANDO+EVENTO",
      "1200 min"},
     "TESTE PERIÓDICO",
     {"TProtocolo", "Protocolo", "TTipoAck", "TipoAck", "TComandoEvento"},
     {"THabilitaEventos", "TE810", "TE812", "HBaixoConsumo", "HDisLN", "HRepetidor", "Tperiodico", "BPeriodico",
      "CPeriodico"},
     {{"TE810", false}, {"TE812", false}, {"HBaixoConsumo", false}, {"HDisLN", false}, {"HRepetidor", false}},
     999},
    {"AlarmFirmware2IgnoresPanelBytes",
     Alarm(2, 0),
     {"5", "10.20.30.40", "460M", "2", "0", "3", "A", "CONTACT-ID", "0", ""},
     ".",
     {},
     Join(kAlarmHidden, kPeriodicControls),
     kPowerCleared,
     {}},
    {"AlarmFirmware6Rev17",
     Alarm(6, 17),
     {"5", "10.20.30.40", "460M", "6", "17", "3", "A", "INTELBRAS AMT4010", "3", ""},
     ".",
     {},
     Join(kAlarmHidden, kPeriodicControls),
     kPowerFromByte21,
     {}},
    {"AlarmFirmware6Rev18",
     Alarm(6, 18),
     {"5", "10.20.30.40", "460M", "6", "18", "3", "A", "INTELBRAS AMT4010", "3", ""},
     ".",
     {},
     Join(kAlarmHidden, kPeriodicControls),
     kPowerFromByte21,
     {}},
    // Firmware 20 shows the periodic controls; the parameter-read step then
    // puts the little-endian minutes of bytes 3-4 into row 9.
    {"AlarmFirmware20",
     Alarm(20, 1),
     {"5", "10.20.30.40", "460M", "20", "1", "3", "A", "INTELBRAS AMT4010", "3", "45  min"},
     "TESTE PERIÓDICO",
     kPeriodicControls,
     kAlarmHidden,
     kPowerFromByte21,
     300},
    {"AlarmFirmware25KeepsPeriodicHidden",
     Alarm(25, 1),
     {"5", "10.20.30.40", "460M", "25", "1", "3", "A", "INTELBRAS AMT4010", "3", "45  min"},
     ".",
     {},
     Join(kAlarmHidden, kPeriodicControls),
     kPowerFromByte21,
     {}},
    {"AlarmFirmware30",
     Alarm(30, 1),
     {"5", "10.20.30.40", "460M", "30", "1", "3", "A", "INTELBRAS AMT4010", "3", "300 min"},
     "TESTE PERIÓDICO",
     kPeriodicControls,
     kAlarmHidden,
     kPowerFromByte21,
     300},
    {"AlarmFirmware50Rev16",
     Alarm(50, 16),
     {"5", "10.20.30.40", "460M", "50", "16", "3", "A", "INTELBRAS AMT4010", "3", ""},
     ".",
     {},
     Join(kAlarmHidden, kPeriodicControls),
     kPowerFromByte21,
     {}},
    {"AlarmFirmware50Rev15NoPowerOptions",
     Alarm(50, 15),
     {"5", "10.20.30.40", "460M", "50", "15", "3", "A", "INTELBRAS AMT4010", "3", ""},
     ".",
     {},
     Join(kAlarmHidden, kPeriodicControls),
     kPowerCleared,
     {}},
    {"Hardware14SerialBus",
     With(Alarm(40, 0), 14, 1),
     {"5", "10.20.30.40", "V8 460M BARRAMENTO", "40", "0", "3", "A", "INTELBRAS AMT4010", "3", "Barramento Serial"},
     "Versão",
     {},
     kAlarmHidden,
     kPowerFromByte21,
     {}},
    {"Hardware21SerialBusNoChannel",
     With(Alarm(40, 0), 21, 1),
     {"5", "10.20.30.40", "V8 915M BARRAMENTO", "40", "0", "3", "A", "INTELBRAS AMT4010", "3", "Barramento Serial"},
     "Versão",
     {},
     kAlarmHidden,
     kPowerFromByte21,
     {},
     false},
    {"Hardware22NoChannel",
     With(Alarm(40, 0), 22, 1),
     {"5", "10.20.30.40", "V8 915M GW IP", "40", "0", "3", "A", "INTELBRAS AMT4010", "3", ""},
     ".",
     {},
     kAlarmHidden,
     kPowerFromByte21,
     {},
     false},
    {"UnknownHardwareCode",
     With(Alarm(40, 0), 99, 1),
     {"5", "10.20.30.40", "...", "40", "0", "3", "A", "INTELBRAS AMT4010", "3", ""},
     ".",
     {},
     kAlarmHidden,
     kPowerFromByte21,
     {}},
};

class ParameterRows : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ParameterRows, RowsAndControls) {
  const auto& c = GetParam();
  const ParameterView v = BuildParameterView(c.reply.bytes());
  const bool master = c.reply.id == 0;
  EXPECT_EQ(v.master, master);
  EXPECT_EQ(v.answeringId, c.reply.id);
  const auto labels = ParamLabels(master);
  for (std::size_t i = 0; i < kParamRows; ++i) {
    EXPECT_EQ(v.rows[i].value, c.values[i]) << "row " << i;
    EXPECT_EQ(v.rows[i].label, i == 9 ? std::string(c.row9Label) : labels[i]) << "row " << i;
  }
  ConfigPage page;
  page.apply(v);
  for (const auto& n : c.shown) EXPECT_EQ(page[n].visible, true) << n;
  for (const auto& n : c.hidden) EXPECT_EQ(page[n].visible, false) << n;
  for (const auto& [n, on] : c.checked) EXPECT_EQ(page[n].checked, on) << n;
  EXPECT_EQ(v.periodicMinutes, c.periodicMinutes);
  EXPECT_EQ(v.channelControlsEnabled, c.channelEnabled);
  EXPECT_EQ(page["BCanal"].enabled, c.channelEnabled);
  EXPECT_EQ(page["Button11"].enabled, c.channelEnabled);
  EXPECT_EQ(v.configureCaption, master ? kConfigureMasterCaption : kConfigureAlarmCaption);
  EXPECT_EQ(v.serialNumber, (std::array<std::optional<int>, 4>{10, 20, 30, 40}));
  EXPECT_EQ(v.channelIndex, c.reply.channel);
  EXPECT_FALSE(v.shortReply);
  EXPECT_TRUE(v.log.empty());
}

INSTANTIATE_TEST_SUITE_P(Replies, ParameterRows, ::testing::ValuesIn(kViews),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParameterView, MasterSelections) {
  const ParameterView v = BuildParameterView(Master().bytes(code::kLocalRead));
  EXPECT_EQ(v.protocoloIndex, 2);
  EXPECT_EQ(v.velocidadeIndex, 2);  // 3 - (0x81 & 0x7F)
  EXPECT_EQ(v.serialBaudIndex, 1);
  EXPECT_EQ(v.hardwareCode, 11);
  EXPECT_FALSE(v.panelTypeListRule);
}

TEST(ParameterView, MasterProtocolAndModeTexts) {
  struct Case {
    std::uint8_t protocol, mode;
    const char *row7, *row8;
    int selection;
  };
  const Case cases[] = {
      {0, 0, "SURGARD COM ACK", "COMANDO", 0},
      {1, 2, "SURGARD SEM ACK", "COMANDO+EVENTO Estendido", 1},
      {3, 7, "SURGARD SEM ACK Estendido", "COMANDO+EVENTO Estendido", 3},
      {9, 1, "SURGARD SEM ACK Estendido", "COMANDO+EVENTO", -1},  // no such item: nothing selected
  };
  for (const auto& c : cases) {
    Reply r = Master();
    r.protocol = c.protocol;
    r.mode = c.mode;
    const ParameterView v = BuildParameterView(r.bytes());
    EXPECT_EQ(v.rows[7].value, c.row7) << int{c.protocol};
    EXPECT_EQ(v.rows[8].value, c.row8) << int{c.mode};
    EXPECT_EQ(v.protocoloIndex, c.selection);
  }
}

TEST(ParameterView, AlarmRadioSelectsRadioAlarmeAndPanelRule) {
  const ParameterView v = BuildParameterView(Alarm(6, 18).bytes());
  EXPECT_EQ(v.protocoloIndex, 4);
  EXPECT_EQ(v.panelTypeListRule, (PanelTypeListRule{6, 18}));
  EXPECT_FALSE(v.velocidadeIndex);
  EXPECT_FALSE(BuildParameterView(Alarm(2, 30).bytes()).panelTypeListRule);
}

TEST(ParameterView, FirmwareCheckAndBankAndPanelTexts) {
  Reply r = Alarm(40, 0);
  r.check = 0;
  r.bank = 3;
  r.panel = 10;
  ParameterView v = BuildParameterView(r.bytes());
  EXPECT_EQ(v.rows[3].value, "40 - Falha");
  EXPECT_EQ(v.rows[6].value, "B");
  EXPECT_EQ(v.rows[7].value, "Kaldorine KORB-7 ");
  r.panel = 11;
  EXPECT_EQ(BuildParameterView(r.bytes()).rows[7].value, "");
  r.panel = 1;
  EXPECT_EQ(BuildParameterView(r.bytes()).rows[7].value, "CONTACT-ID");
}

TEST(ParameterView, MasterFirmwareInTwentiesShowsLittleEndianMinutes) {
  Reply r = Master();
  r.firmware = 22;
  r.minutesLe = 0x012C;
  const ParameterView v = BuildParameterView(r.bytes());
  EXPECT_EQ(v.rows[9].value, "300  min");
  EXPECT_EQ(v.periodicMinutes, 999);  // the stored value still comes from bytes 20-21
}

TEST(ParameterView, ChannelControlsFollowEachReply) {
  ConfigPage page;
  page.apply(BuildParameterView(With(Alarm(40, 0), 21, 0).bytes()));
  EXPECT_EQ(page["BCanal"].enabled, false);
  page.apply(BuildParameterView(With(Alarm(40, 0), 22, 0).bytes()));
  EXPECT_EQ(page["Button11"].enabled, false);
  page.apply(BuildParameterView(With(Alarm(40, 0), 14, 0).bytes()));
  EXPECT_EQ(page["BCanal"].enabled, true);
  EXPECT_EQ(page["Button11"].enabled, true);
}

TEST(ParameterView, PeriodicMinutesTextForAnyFrame) {
  struct Case {
    std::uint8_t firmware;
    const char* expected;  // nullptr: row 9 untouched
  };
  const Case cases[] = {{19, nullptr}, {20, "300  min"}, {29, "300  min"}, {30, nullptr}};
  for (const auto& c : cases) {
    const Bytes f = Burst(7, 0xD8, 20, {{3, 0x2C}, {4, 0x01}, {17, c.firmware}});
    const auto t = PeriodicMinutesText(f);
    if (c.expected) {
      EXPECT_EQ(t, c.expected) << int{c.firmware};
    } else {
      EXPECT_FALSE(t) << int{c.firmware};
    }
  }
  EXPECT_FALSE(PeriodicMinutesText(test::Hex("07 00 D8 2C 01")));
}

TEST(ParameterView, ShortReplyFillsWhatItCanAndSaysSoOnce) {
  const Bytes full = Alarm(30, 1).bytes();
  const Bytes cut = test::Prefix(full, 13);  // up to the channel byte
  const ParameterView v = BuildParameterView(cut);
  EXPECT_TRUE(v.shortReply);
  ASSERT_EQ(v.log.size(), 1u);
  EXPECT_EQ(v.log[0], "Resposta de parâmetros incompleta: 13 de 31 bytes");
  EXPECT_EQ(v.rows[0].value, "5");
  EXPECT_EQ(v.rows[1].value, "10.20.30.40");
  EXPECT_EQ(v.rows[2].value, "460M");
  EXPECT_EQ(v.rows[4].value, "1");
  EXPECT_EQ(v.rows[5].value, "3");
  for (std::size_t row : {3u, 6u, 7u, 8u, 9u}) EXPECT_EQ(v.rows[row].value, "") << row;
  EXPECT_FALSE(v.periodicMinutes);
  ConfigPage page;
  page.apply(v);
  // Without the firmware version the power options cannot qualify.
  EXPECT_EQ(page["HBaixoConsumo"].checked, false);
  EXPECT_EQ(page["HBaixoConsumo"].visible, false);
}

TEST(ParameterView, EveryPrefixDecodesWithinTheBurst) {
  const Bytes full = Master().bytes();
  for (std::size_t n = 0; n <= full.size(); ++n) {
    const Bytes cut = test::Prefix(full, n);
    const RadioParameters p = DecodeRadioParameters(cut);
    EXPECT_EQ(p.shortReply, n < 31) << n;
    EXPECT_EQ(p.boardVariant.has_value(), n > 30) << n;
    EXPECT_EQ(p.minutesBe.has_value(), n > 21) << n;
    const ParameterView v = BuildParameterView(p);
    EXPECT_EQ(v.log.size(), n < 31 ? 1u : 0u) << n;
  }
}

struct ListCase {
  std::size_t count;
  std::uint8_t firmware, revision;
  std::vector<std::string> added;  // entries after position 6 once the edits are applied
};

TEST(PanelTypeList, AppendAndDeleteByFirmware) {
  const ListCase cases[] = {
      {7, 6, 17, {}},
      {7, 6, 18, {kPanelListFourPgm}},
      {7, 6, 26, {kPanelListFourPgm, kPanelListSpRx}},
      {7, 7, 0, {kPanelListFourPgm, kPanelListSpRx}},
      {8, 6, 17, {}},                           // entry 7 removed
      {8, 6, 18, {"old 7"}},                    // entry 7 kept, SP entry not yet supported
      {9, 6, 18, {"old 7"}},                    // entry 8 removed
      {9, 5, 0, {"old 7"}},                     // rule (a) only deletes from 8 entries
      {10, 3, 0, {"old 7", "old 8", "old 9"}},  // a full list never changes
  };
  for (const auto& c : cases) {
    std::vector<std::string> list;
    for (std::size_t i = 0; i < c.count; ++i) list.push_back("old " + std::to_string(i));
    ApplyPanelTypeListEdits(list, PanelTypeListEdits(c.count, {c.firmware, c.revision}));
    std::vector<std::string> tail(list.begin() + 7, list.end());
    EXPECT_EQ(tail, c.added) << c.count << " fw " << int{c.firmware} << " rev " << int{c.revision};
  }
}

}  // namespace

namespace {

TEST(ParameterView, ColumnZeroLabels) {
  const std::array<std::string, kParamRows> master = {
      "ID RADIO", "NUMERO SERIE",  "VERSÃO HARDWARE", "VERSÃO FIRMWARE", "REVISÃO FIRMWARE",
      "CANAL",    "BANCO MEMÓRIA", "PROTOCOLO",       "COMANDO+EVENTO",  "TESTE PERIÓDICO"};
  auto alarm = master;
  alarm[7] = "COMUNICAÇÃO";
  alarm[8] = "PARTIÇÃO RÁDIO";
  alarm[9] = ".";
  EXPECT_EQ(ParamLabels(true), master);
  EXPECT_EQ(ParamLabels(false), alarm);
}

}  // namespace
