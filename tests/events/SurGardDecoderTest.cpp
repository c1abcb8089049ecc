#include <gtest/gtest.h>

#include "events/ContactIdCatalogue.h"
#include "events/SurGardDecoder.h"
#include "support/Hex.h"

namespace orvalis {
namespace {

Arrival At() {
  return Arrival{TimePoint{}, "11/12/2026 13:40:00", "13:40:00"};
}

ContactIdEvent Decode(const std::string& message) {
  const auto bytes = test::Text(message);
  return SurGardDecoder::Decode(bytes, true, At());
}

struct FieldCase {
  const char* name;
  const char* message;
  const char* account;
  const char* event;
  const char* partition;
  const char* zone;
  const char* radioId;
  const char* serial;
  const char* sequence;
  const char* count;
  bool extended;
};

class SurGardFields : public ::testing::TestWithParam<FieldCase> {};

TEST_P(SurGardFields, DecodesEveryPosition) {
  const FieldCase& c = GetParam();
  const ContactIdEvent e = Decode(c.message);
  EXPECT_EQ(e.account, c.account);
  EXPECT_EQ(e.event, c.event);
  EXPECT_EQ(e.partition, c.partition);
  EXPECT_EQ(e.zone, c.zone);
  EXPECT_EQ(e.radioId, c.radioId);
  EXPECT_EQ(e.serialNumber, c.serial);
  EXPECT_EQ(e.packetSequence, c.sequence);
  EXPECT_EQ(e.eventCount, c.count);
  EXPECT_EQ(e.extended, c.extended);
  EXPECT_EQ(e.messageText, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, SurGardFields,
    ::testing::Values(FieldCase{"Standard", "5000 181234E13001005", "1234", "E130", "01", "005", "", "", "", "", false},
                      // A three-digit line number: the header is two characters longer.
                      FieldCase{"ThreeDigitLine", "500000 181234E13001005", "1234", "E130", "01", "005", "", "", "", "",
                                false},
                      FieldCase{"ExtendedWithSerial", "6000 184321E88002015 001512345678901204503", "4321", "E880",
                                "02", "015", "0015", "123.456.789.012", "045", "03", true},
                      FieldCase{"ExtendedZeroSerial", "6000 184321E88102015 001500000000000004601", "4321", "E881",
                                "02", "015", "0015", "", "046", "01", true},
                      FieldCase{"ExtendedOtherCode", "6000 184321R40102015 001512345678901204702", "4321", "R401", "02",
                                "015", "0015", "", "047", "02", true},
                      FieldCase{"Extended894", "6000 184321E89400000 00150A1B2C3D4E5F04801", "4321", "E894", "00",
                                "000", "0015", "0A:B2:3D:E5", "048", "01", true},
                      FieldCase{"ExtendedThreeDigitLine", "600000 184321E88002015 001512345678901204503", "4321",
                                "E880", "02", "015", "0015", "123.456.789.012", "045", "03", true},
                      // Short messages give short or empty fields.
                      FieldCase{"CutInEvent", "5000 181234E1", "1234", "E1", "", "", "", "", "", "", false},
                      FieldCase{"HeaderOnly", "5000 18", "", "", "", "", "", "", "", "", false},
                      FieldCase{"ExtendedCutInSerial", "6000 184321E88002015 0015123456", "4321", "E880", "02", "015",
                                "0015", "123.456..", "", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SurGardDecoder, DescriptionComesFromTheCatalogueInStoredForm) {
  EXPECT_EQ(Decode("5000 181234E13001005").description, ContactIdCatalogue::Lookup("130"));
  EXPECT_EQ(Decode("5000 181234R13001005").description, ContactIdCatalogue::Lookup("130"));
  EXPECT_EQ(Decode("5000 181234E99901005").description, " Evento Não Cadastrado" + std::string(14, ' '));
  const std::string d882 = Decode("5000 181234E88201015").description;
  EXPECT_EQ(d882, ContactIdCatalogue::Lookup("882"));
  EXPECT_NE(d882.find('\t'), std::string::npos);
}

struct ColourCase {
  const char* event;
  TextColour colour;
};

class SurGardColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(SurGardColour, PaintsTheRowByQualifierAndCode) {
  const ContactIdEvent e = Decode(std::string("5000 181234") + GetParam().event + "01005");
  EXPECT_EQ(e.colour, GetParam().colour) << GetParam().event;
}

INSTANTIATE_TEST_SUITE_P(Events, SurGardColour,
                         ::testing::Values(ColourCase{"R130", colour::kBlue}, ColourCase{"R881", colour::kBlue},
                                           ColourCase{"E130", colour::kRed}, ColourCase{"E401", colour::kMaroon},
                                           ColourCase{"E602", colour::kGreen}, ColourCase{"E302", colour::kBlack},
                                           ColourCase{"E881", colour::kGreen}, ColourCase{"E882", colour::kRed},
                                           ColourCase{"E885", colour::kOrange}, ColourCase{"E880", colour::kOrange},
                                           ColourCase{"E701", colour::kBlack}, ColourCase{"X130", colour::kBlack},
                                           ColourCase{"E88A", colour::kBlack}));

TEST(SurGardDecoder, RadioSwitchedOnRaisesThePopupAndNamesTheRadio) {
  const ContactIdEvent e = Decode("5000 181234E88001015");
  ASSERT_TRUE(e.popup);
  EXPECT_EQ(*e.popup, (EventPopup{"KALDORINE: Rádio Ligado", "Rádio ID: 015 foi ligado."}));
  EXPECT_EQ(e.tableUpdate.kind, TableUpdate::Kind::ByRadio);
  EXPECT_EQ(e.tableUpdate.radioId, 15);
}

TEST(SurGardDecoder, PopupsOnlyForNewEvents880And882) {
  const ContactIdEvent f = Decode("6000 184321E88202015 002012345678901204503");
  ASSERT_TRUE(f.popup);
  EXPECT_EQ(*f.popup, (EventPopup{"KALDORINE: Falha de comunicação!", "Rádio ID 015: Verifique a comunicação!."}));
  EXPECT_FALSE(Decode("5000 181234R88001015").popup);
  EXPECT_FALSE(Decode("5000 181234E88101015").popup);
  EXPECT_FALSE(Decode("5000 181234E13001005").popup);
}

struct UpdateCase {
  const char* message;
  TableUpdate::Kind kind;
  int radioId;
};

class SurGardTableUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(SurGardTableUpdate, ChoosesRadioOrAccount) {
  const ContactIdEvent e = Decode(GetParam().message);
  EXPECT_EQ(e.tableUpdate.kind, GetParam().kind) << GetParam().message;
  if (GetParam().kind == TableUpdate::Kind::ByRadio || GetParam().kind == TableUpdate::Kind::None) {
    EXPECT_EQ(e.tableUpdate.radioId, GetParam().radioId);
  }
  EXPECT_EQ(e.malformedNotice.has_value(), GetParam().kind == TableUpdate::Kind::Malformed);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, SurGardTableUpdate,
    ::testing::Values(UpdateCase{"5000 181234E13001005", TableUpdate::Kind::ByAccount, -1},
                      UpdateCase{"5000 181234R88901015", TableUpdate::Kind::ByRadio, 15},
                      UpdateCase{"5000 181234E88001000", TableUpdate::Kind::ByRadio, 0},
                      // Extended: the radio id field, whatever the code.
                      UpdateCase{"6000 184321E13002015 102312345678901204503", TableUpdate::Kind::ByRadio, 1023},
                      UpdateCase{"6000 184321E88202015 102412345678901204503", TableUpdate::Kind::None, 1024},
                      UpdateCase{"6000 184321E88202015 999912345678901204503", TableUpdate::Kind::None, 9999},
                      UpdateCase{"6000 184321E13002015 00A112345678901204503", TableUpdate::Kind::Malformed, 0},
                      UpdateCase{"6000 184321E13002015 15  12345678901204503", TableUpdate::Kind::Malformed, 0},
                      UpdateCase{"6000 184321E13002015 ", TableUpdate::Kind::Malformed, 0},
                      UpdateCase{"5000 181234E880010X5", TableUpdate::Kind::Malformed, 0},
                      UpdateCase{"5000 181234E88001", TableUpdate::Kind::Malformed, 0}));

TEST(SurGardDecoder, MalformedNoticeNamesTheMessage) {
  const ContactIdEvent e = Decode("6000 184321E13002015 00A112345678901204503");
  ASSERT_TRUE(e.malformedNotice);
  EXPECT_NE(e.malformedNotice->find("\"00A1\""), std::string::npos);
  EXPECT_NE(e.malformedNotice->find(e.messageText), std::string::npos);
}

TEST(SurGardDecoder, FormatsTheEventPaneLine) {
  EXPECT_EQ(Decode("5000 181234E13001005").surLine, "13:40:00 - 5000 181234E13001005  CONTA: 1234 EV:E130 P:01 Z:005 ");
  EXPECT_EQ(Decode("6000 184321E88002015 001512345678901204503").surLine,
            "13:40:00 - 6000 184321E88002015 001512345678901204503  CONTA: 4321 EV:E880 P:02 Z:015 "
            "ID:0015 UID:123.456.789.012 SEQP:045 NEV:03");
  // Missing characters shorten the fields; nothing is padded.
  EXPECT_EQ(Decode("6000 184321E8").surLine,
            "13:40:00 - 6000 184321E8  CONTA: 4321 EV:E8 P: Z: ID: UID:... SEQP: NEV:");
}

TEST(SurGardDecoder, NonAsciiBytesBecomeCp1252Text) {
  const auto bytes = test::Hex("35 30 30 30 20 31 38 E9 30 30 31");  // "5000 18é001"
  const ContactIdEvent e = SurGardDecoder::Decode(bytes, true, At());
  EXPECT_EQ(e.account, "é001");
  EXPECT_EQ(e.messageText, "5000 18é001");
}

TEST(SurGardDecoder, FieldsStopAtANulByte) {
  auto bytes = test::Text("5000 181234E13001005");
  bytes[9] = 0;
  const ContactIdEvent e = SurGardDecoder::Decode(bytes, true, At());
  EXPECT_EQ(e.account, "12");
  EXPECT_EQ(e.event, "E130");
}

}  // namespace
}  // namespace orvalis
