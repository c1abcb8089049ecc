#include <gtest/gtest.h>

#include <string>

#include "radio/Diagnostics.h"
#include "radio/LogField.h"
#include "radio/ReplyBytes.h"
#include "support/Hex.h"

using namespace orvalis;

namespace {

// A whole 0xE7 reply of radio 5 with the battery marker, and its CRC.
const char* kFullDiag =
    "05 00 E7 14 19 1E 21 21 22 00 03 00 01 00 02 07 00 01 5F CD 00 01 51 80 01 00 21 0C 00 00 01 00 00 00 00 02"
    " 00 64 00 C8 01 2C 01 90 55 07 7D 8C A5 5A";

const char* kGoldenLog =
    "[09:30:00]\n"
    "ID RADIO       :5\n"
    "Temp Min       :20\n"
    "Temp Med       :25\n"
    "Temp Max       :30\n"
    "V3v3 Min       :33\n"
    "V3v3 Med       :33\n"
    "V3v3 Max       :34\n"
    "Num Reset      :3\n"
    "Num POR        :1\n"
    "Num WD         :2\n"
    "Status flags   :7\n"
    "Tempo Ligado   :90061\n"
    "Tempo Reset    :86400\n"
    "Pilha          :256\n"
    "Status Mestre  :33\n"
    "Tensao de Linha:12\n"
    "Eventos ok     :256\n"
    "CID LQ         :2\n"
    "Nivel L1       :100\n"
    "Nivel L2       :200\n"
    "Max   L1       :300\n"
    "Max   L2       :400\n"
    "VBateria Min  :7\n"
    "VBateria Med  :125\n"
    "VBateria Max  :140";

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (std::size_t i = 0; i < lines.size(); ++i) s += (i ? "\n" : "") + lines[i];
  return s;
}

TEST(Diagnostics, WholeReplyGoldenLogAndRows) {
  const auto rep = DecodeDiagnostics(test::Hex(kFullDiag), "09:30:00");
  EXPECT_EQ(Joined(rep.log), kGoldenLog);
  EXPECT_TRUE(rep.complete);
  EXPECT_TRUE(rep.battery);
  const std::array<DiagCell, kDiagRows> expected = {{
      {"ID RADIO", "5"},
      {"TEMP MINIMA", "20"},
      {"TEMP ATUAL", "25"},
      {"TEMP MAXIMA", "30"},
      {"NUMERO RESET", "3"},
      {"TEMPO LIGADO", "1 dd, 1 hr, 1 min, 1 seg"},
      {"TENSÃO DE LINHA", "12V"},
      {"EVENTOS TRANSMITIDOS", "256"},
      {"EVENTOS RECUSADOS", "2"},
      {"NIVEL CONTACT ID", "100 / 200"},
      {"NIVEL CONTACT ID MAX", "300 / 400"},
      {"ESTADO RADIO", "PROBLEMA TENSÃO LINHA, RECEBENDO CONTACT-ID, BYPASS RELE"},
      {"ESTADO COMUNICAÇÃO RF", "BUFFER MESTRE CHEIO"},
      {"TENSÃO MIN", "0,7V"},
      {"TENSÃO ATUAL", "12,5V"},
      {"TENSÃO MAX", "14,0V"},
  }};
  for (std::size_t i = 0; i < kDiagRows; ++i) EXPECT_EQ(rep.rows[i], expected[i]) << "row " << i;
}

TEST(Diagnostics, MasterRadioRowsAndWithoutMarker) {
  Bytes b = test::Hex(kFullDiag);
  b[0] = 0;      // radio 0
  b[44] = 0x54;  // no battery bytes
  const auto rep = DecodeDiagnostics(b, "t");
  EXPECT_EQ(rep.rows[7].label, "EVENTOS CONTACT-ID");
  EXPECT_EQ(rep.rows[11].value, "");  // 0x07 means nothing from the master radio
  EXPECT_TRUE(rep.complete);
  EXPECT_FALSE(rep.battery);
  for (std::size_t i = 13; i < kDiagRows; ++i) EXPECT_EQ(rep.rows[i], DiagCell{}) << i;
  EXPECT_EQ(rep.log.back(), "Max   L2       :400");
}

TEST(Diagnostics, UptimeOf86400Seconds) {
  Bytes b = test::Hex(kFullDiag);
  b[16] = 0x00, b[17] = 0x01, b[18] = 0x51, b[19] = 0x80;
  const auto rep = DecodeDiagnostics(b, "t");
  EXPECT_EQ(rep.rows[5].value, "1 dd, 0 hr, 0 min, 0 seg");
  EXPECT_EQ(rep.log[12], "Tempo Ligado   :86400");
}

TEST(Diagnostics, StatusTexts) {
  struct Radio {
    std::uint8_t flags;
    bool master;
    const char* text;
  };
  const Radio radio[] = {
      {0x00, false, "OK"},
      {0x01, false, "OK, RECEBENDO CONTACT-ID"},
      {0x02, false, "OK, BYPASS RELE"},
      {0x04, false, "PROBLEMA TENSÃO LINHA"},
      {0x07, false, "PROBLEMA TENSÃO LINHA, RECEBENDO CONTACT-ID, BYPASS RELE"},
      {0x07, true, ""},
      {0x01, true, "OK"},
      {0x10, true, "SEM COMUNICAÇÃO COM AUTOMAÇÃO"},
      {0x11, true, ""},
  };
  for (const auto& c : radio) EXPECT_EQ(RadioStatusText(c.flags, c.master), c.text) << int{c.flags} << c.master;
  struct Rf {
    std::uint8_t status;
    const char* text;
  };
  const Rf rf[] = {{0x01, "OK"},
                   {0x21, "BUFFER MESTRE CHEIO"},
                   {0x20, "BUFFER MESTRE CHEIO"},
                   {0x00, "INTERFACE AUTOMAÇÃO COM PROBLEMAS"},
                   {0x03, "INTERFACE AUTOMAÇÃO COM PROBLEMAS"}};
  for (const auto& c : rf) EXPECT_EQ(RfStatusText(c.status), c.text) << int{c.status};
  EXPECT_EQ(BatteryText(7), "0,7V");
  EXPECT_EQ(BatteryText(125), "12,5V");
  EXPECT_EQ(BatteryText(255), "25,5V");
}

TEST(LogFields, Formats) {
  struct Case {
    const char* bytes;
    FieldFormat format;
    const char* line;
  };
  const Case cases[] = {
      {"00 01 5F CD", FieldFormat::Dur, "L:90061 - 1 dd, 1 hh, 1 mm, 1 ss"},
      {"00 01 51 80", FieldFormat::Dur, "L:86400 - 1 dd, 0 hh, 0 mm, 0 ss"},
      {"FF FF FF FF", FieldFormat::U4, "L:4294967295"},  // unsigned, never negative
      {"FF FF FF FF", FieldFormat::Dur, "L:4294967295 - 49710 dd, 6 hh, 28 mm, 15 ss"},
      {"00 7D", FieldFormat::Pct, "L:12.500000 %"},
      {"FF FF", FieldFormat::Clk, "L:-0.571429 Hz"},
      {"00 23", FieldFormat::Clk, "L:20.000000 Hz"},
      {"80 00", FieldFormat::Clk, "L:-18724.572000 Hz"},  // single-precision steps
      {"01 02", FieldFormat::U2, "L:258"},
      {"01 02", FieldFormat::Id, "L:513"},
      {"FE", FieldFormat::U1, "L:254"},
  };
  for (const auto& c : cases) {
    const Bytes b = test::Hex(c.bytes);
    const ByteReader r(b);
    EXPECT_EQ(FormatField(r, {0, c.format, "L:"}), c.line) << c.bytes;
    // One byte short gives no line.
    const ByteReader cut(std::span<const std::uint8_t>(b).first(b.size() - 1));
    EXPECT_FALSE(FormatField(cut, {0, c.format, "L:"})) << c.bytes;
  }
}

TEST(Diagnostics, ShortRepliesPrintTheLinesTheyCanAndStop) {
  const Bytes full = test::Hex(kFullDiag);
  const auto whole = DecodeDiagnostics(full, "t");
  for (std::size_t n = 0; n < 48; ++n) {
    const auto rep = DecodeDiagnostics(test::Prefix(full, n), "t");
    EXPECT_FALSE(rep.complete) << n;
    ASSERT_LE(rep.log.size(), whole.log.size());
    for (std::size_t i = 0; i < rep.log.size(); ++i) EXPECT_EQ(rep.log[i], whole.log[i]) << n;
    for (std::size_t i = 0; i < kDiagRows; ++i) {
      if (rep.rows[i].value) {
        EXPECT_EQ(rep.rows[i].value, whole.rows[i].value) << n << " row " << i;
      }
    }
  }
  // Level 1 in, level 2 missing: its line is printed, row 9 is not written.
  const auto cut = DecodeDiagnostics(test::Prefix(full, 38), "t");
  EXPECT_EQ(cut.log.back(), "Nivel L1       :100");
  EXPECT_FALSE(cut.rows[9].value);
  EXPECT_EQ(cut.rows[8].value, "2");
}

// Sync layout with the clock lines selected by byte 3.
Bytes SyncReply(std::uint8_t selector) {
  return test::Hex(
      "07 00 C3 " + test::ToHex(std::vector<std::uint8_t>{selector}) +
      " 02 00 50 60 70 03 01 00 01 5F CD 00 01 51 80 00 0A 00 02 00 05 00 01 00 02 00 03 00 04 00 05 00 7D 00 06"
      " 00 40 00 0C 00 19 00 01 FF FF 00 23 A5 5A");
}

const std::vector<std::string> kSyncLines = {
    "ID             :7",
    "GW Sync        :2",
    "Nivel Sync     :80",
    "Nivel Max Sync :96",
    "Nivel Max Hist :112",
    "Saltos sem Sync:3",
    "Status Sync    :1",
    "Tempo Segundos :90061 - 1 dd, 1 hh, 1 mm, 1 ss",
    "TEMPO C/SYNC   :86400 - 1 dd, 0 hh, 0 mm, 0 ss",
    "T ACK SYNC MAX :10",
    "T ACK SYNC MIN :2",
    "T ACK ULT SYNC :5",
    "PERDA SYNC     :1",
    "PERDA TESTE PER:2",
    "SLOT OCUPADO   :3",
    "ERR SERIAL     :4",
    "ERR CRC SERIAL :5",
    "PKT RX ERRO    :12.500000 %",
    "ERR PROTOCOLO  :6",
    "BYTE RX SER MAX:64",
    "PKT LOST IDA   :1.200000 %",
    "PKT LOST VOLTA :2.500000 %",
    "PKT RETRY      :0.100000 %",
};

TEST(SyncAnalysis, SyncLayoutWithAndWithoutClockLines) {
  auto expected = kSyncLines;
  expected.emplace_back();
  const auto one = DecodeSyncAnalysis(SyncReply(1));
  EXPECT_FALSE(one.counterLayout);
  EXPECT_TRUE(one.complete);
  EXPECT_EQ(one.lines, expected);

  expected = kSyncLines;
  expected.push_back("d CLK CPU GERAL:-0.571429 Hz");
  expected.push_back("d CLK CPU GW   :20.000000 Hz");
  expected.emplace_back();
  EXPECT_EQ(DecodeSyncAnalysis(SyncReply(2)).lines, expected);
}

TEST(SyncAnalysis, CounterLayoutRepeatsTheOutboundLoss) {
  const Bytes b = test::Hex("07 00 C3 80 00 01 51 80 00 02 00 03 00 04 00 05 00 7D 00 06 00 40 00 0C 00 19 A5 5A");
  const auto rep = DecodeSyncAnalysis(b);
  EXPECT_TRUE(rep.counterLayout);
  EXPECT_TRUE(rep.complete);
  const std::vector<std::string> expected = {
      "ID             :7",           "TEMPO LIGADO   :86400 - 1 dd, 0 hh, 0 mm, 0 ss",
      "PERDA TESTE PER:2",           "SLOT OCUPADO   :3",
      "ERR SERIAL     :4",           "ERR CRC SERIAL :5",
      "PKT RX ERRO    :12.500000 %", "ERR PROTOCOLO  :6",
      "BYTE RX SER MAX:64",          "PKT LOST IDA   :1.200000 %",
      "PKT LOST VOLTA :1.200000 %",  "PKT RETRY      :2.500000 %",
  };
  EXPECT_EQ(rep.lines, expected);
}

TEST(SyncAnalysis, ShortRepliesStopAtTheFirstMissingField) {
  for (std::uint8_t selector : {std::uint8_t{2}, std::uint8_t{0x80}}) {
    const Bytes full = selector == 2 ? SyncReply(2)
                                     : test::Hex(
                                           "07 00 C3 80 00 01 51 80 00 02 00 03 00 04 00 05 00 7D 00 06 00 40 00"
                                           " 0C 00 19 A5 5A");
    const auto whole = DecodeSyncAnalysis(full);
    const std::size_t layout = selector == 2 ? kSyncLayoutSize : kCounterLayoutSize;
    for (std::size_t n = 0; n < layout; ++n) {
      const auto rep = DecodeSyncAnalysis(test::Prefix(full, n));
      EXPECT_FALSE(rep.complete) << n;
      ASSERT_LE(rep.lines.size(), whole.lines.size());
      for (std::size_t i = 0; i < rep.lines.size(); ++i) EXPECT_EQ(rep.lines[i], whole.lines[i]) << n;
    }
  }
}

TEST(DiagnosticRequests, Bytes) {
  EXPECT_EQ(test::ToHex(BuildDiagnosticsRequest()), "E7 00 00 00");
  EXPECT_EQ(test::ToHex(BuildSyncRequest()), "C3 01 01 01");
}

}  // namespace
