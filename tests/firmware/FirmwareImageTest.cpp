#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "firmware/RadImageMaker.h"
#include "firmware/RadRecordClass.h"
#include "firmware/RadRecordReader.h"

using namespace orvalis;

namespace {

using Status = RadRecordReader::Status;

struct ReaderCase {
  const char* name;
  std::string text;
  Status status;
  int count;
  int address;
  int type;
  std::vector<std::uint8_t> data;
  int checksum;
};

class RecordReading : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(RecordReading, ReadsOrRefusesWithoutOverrun) {
  const auto& c = GetParam();
  // Copy into an exact-size buffer so that a read past the end trips the sanitizers.
  std::vector<char> exact(c.text.begin(), c.text.end());
  RadRecordReader r(std::string_view(exact.data(), exact.size()));
  RadRecord rec;
  ASSERT_EQ(r.next(rec), c.status);
  if (c.status != Status::Ok) {
    EXPECT_LE(r.position(), exact.size());
    return;
  }
  EXPECT_EQ(rec.head.count, c.count);
  EXPECT_EQ(rec.head.address, c.address);
  EXPECT_EQ(rec.head.type, c.type);
  EXPECT_EQ(rec.data, c.data);
  EXPECT_EQ(rec.checksum, c.checksum);
}

INSTANTIATE_TEST_SUITE_P(
    Records, RecordReading,
    ::testing::Values(ReaderCase{"Plain", ":0312340001020377", Status::Ok, 3, 0x1234, 0x00, {1, 2, 3}, 0x77},
                      ReaderCase{"LowerCaseDigits", ":02abcd0Fa1b2ff", Status::Ok, 2, 0xABCD, 0x0F, {0xA1, 0xB2}, 0xFF},
                      ReaderCase{"JunkBeforeMark", "\r\n\n  xyz;\t:0000000100", Status::Ok, 0, 0, 0x01, {}, 0},
                      ReaderCase{"ChecksumNotVerified", ":0100000042EE", Status::Ok, 1, 0, 0, {0x42}, 0xEE},
                      ReaderCase{"Empty", "", Status::EndOfInput, 0, 0, 0, {}, 0},
                      ReaderCase{"NoMark", "\r\n020000000000\r\n", Status::EndOfInput, 0, 0, 0, {}, 0},
                      ReaderCase{"CutInHead", ":02000", Status::Truncated, 0, 0, 0, {}, 0},
                      ReaderCase{"CutInData", ":0400000001020", Status::Truncated, 0, 0, 0, {}, 0},
                      ReaderCase{"CutBeforeChecksum", ":020000000102", Status::Truncated, 0, 0, 0, {}, 0},
                      ReaderCase{"HalfChecksum", ":0200000001020", Status::Truncated, 0, 0, 0, {}, 0},
                      ReaderCase{"CountLongerThanLine", ":FF000000AA\r\n:00000001FF", Status::BadDigit, 0, 0, 0, {}, 0},
                      ReaderCase{"BadDigitInHead", ":02G0000001", Status::BadDigit, 0, 0, 0, {}, 0},
                      ReaderCase{"BadDigitInData", ":02000000 10200", Status::BadDigit, 0, 0, 0, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordReading, FailedReadLeavesPositionForTheCaller) {
  const std::string t = ":0200000001";
  RadRecordReader r(t);
  ASSERT_TRUE(r.skipToMark());
  RadRecordHead h;
  ASSERT_EQ(r.readHead(h), Status::Ok);
  const std::size_t at = r.position();
  RadRecord rec;
  EXPECT_EQ(r.readBody(h, rec), Status::Truncated);
  EXPECT_EQ(r.position(), at);
  r.seek(1000);
  EXPECT_TRUE(r.atEnd());
  EXPECT_FALSE(r.skipToMark());
}

struct ClassCase {
  std::uint8_t type;
  RadRecordClass cls;
};

TEST(RecordClass, EveryTypeHasOneTreatment) {
  const ClassCase cases[] = {
      {0x0F, RadRecordClass::Header},     {0x1F, RadRecordClass::Header},     {0x2F, RadRecordClass::Header},
      {0x01, RadRecordClass::End},        {0x11, RadRecordClass::End},        {0x90, RadRecordClass::CheckLine},
      {0x00, RadRecordClass::Data},       {0x04, RadRecordClass::Data},       {0x02, RadRecordClass::Data},
      {0x05, RadRecordClass::Data},       {0x10, RadRecordClass::Data},       {0x15, RadRecordClass::Data},
      {0x21, RadRecordClass::Data},       {0x95, RadRecordClass::Data},       {0x06, RadRecordClass::NotAllowed},
      {0x0E, RadRecordClass::NotAllowed}, {0x3F, RadRecordClass::NotAllowed}, {0xFF, RadRecordClass::NotAllowed},
      {0x16, RadRecordClass::NotAllowed},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyRadRecord(c.type), c.cls) << std::hex << int(c.type);
}

struct AnalysisCase {
  const char* name;
  std::string text;
  bool ok;
  std::uint32_t totalSize;
  std::uint16_t checksum;
  std::vector<FirmwareSection> sections;
  std::vector<std::string> lines;
};

// Header, segment record, two following data records with 0xFF bytes, end record.
const std::string kBankA =
    ":0200000F0D01E1\r\n:020000040000FA\r\n:0400000001020304F2\r\n:04000400FFFF0506EC\r\n:020000011234FF";
const std::vector<std::string> kBankALines = {"Section 0 :  [0000]-[0001]", "Section 1 :  [0000]-[0001]",
                                              "Section 2 :  [0000]-[0007]", "Checksum Flash: 0023 "};

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

class Analysis : public ::testing::TestWithParam<AnalysisCase> {};

TEST_P(Analysis, SizeChecksumSectionsAndLog) {
  const auto& c = GetParam();
  const auto img = FirmwareImage::Analyse(c.text, "x.rad");
  EXPECT_EQ(img.ok(), c.ok);
  EXPECT_EQ(RenderTx(img.log()), c.lines);
  if (!c.ok) return;
  EXPECT_EQ(img.totalSize(), c.totalSize);
  EXPECT_EQ(img.flashChecksum(), c.checksum);
  EXPECT_EQ(img.sections(), c.sections);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Analysis,
    ::testing::Values(
        AnalysisCase{"Empty", "", true, 1, 0, {}, {"Checksum Flash: 0000 "}},
        AnalysisCase{"OnlyBlankLines", "\r\n\r\n\n", true, 1, 0, {}, {"Checksum Flash: 0000 "}},
        AnalysisCase{"BankAImage", kBankA, true, 15, 0x23, {{0, 1}, {0, 1}, {0, 7}}, kBankALines},
        AnalysisCase{
            "LfLineEnds", Replace(kBankA, "\r\n", "\n"), true, 15, 0x23, {{0, 1}, {0, 1}, {0, 7}}, kBankALines},
        AnalysisCase{"BlankLinesAndJunkBetweenRecords",
                     Replace(kBankA, "\r\n", "\r\n\r\n  -- note --\n\t"),
                     true,
                     15,
                     0x23,
                     {{0, 1}, {0, 1}, {0, 7}},
                     kBankALines},
        AnalysisCase{"LowerCaseHex",
                     ":0200000f0d01e1\n:0400000001020304f2\n:020000011234ff",
                     true,
                     9,
                     0x18,
                     {{0, 1}, {0, 3}},
                     {"Section 0 :  [0000]-[0001]", "Section 1 :  [0000]-[0003]", "Checksum Flash: 0018 "}},
        // Bank B images have no 0x01 record: the 0x11 record is an ordinary one and the pass reads to the end.
        AnalysisCase{"NoType01Record",
                     ":0210001F0D01B1\r\n:02100200010200\r\n:020000111234FF",
                     true,
                     7,
                     0x0D + 0x01 + 0x01 + 0x02 + 0x12 + 0x34,
                     {{0x1000, 0x1003}, {0, 1}},
                     {"Section 0 :  [1000]-[1003]", "Section 1 :  [0000]-", "Checksum Flash: 0057 "}},
        AnalysisCase{"AllFFData",
                     ":04000000FFFFFFFF00\r\n:04000400FFFFFFFF00\r\n:020000011234FF",
                     true,
                     11,
                     0,
                     {{0, 7}},
                     {"Section 0 :  [0000]-[0007]", "Checksum Flash: 0000 "}},
        // The checksum sums bytes modulo 0x10000; the check line is logged before its own section.
        AnalysisCase{
            "CheckLineOpensSection",
            ":02000000808000\n:02010090010200\n:020000010000FF",
            true,
            7,
            0x0103,
            {{0, 1}, {0x100, 0x101}},
            {"Section 0 :  [0000]-", "Linha de CRC[0001]", "Section 1 :  [0100]-[0101]", "Checksum Flash: 0103 "}},
        AnalysisCase{"TextAfterEndIgnored",
                     ":0100000001FE\n:020000010000FF\n:04000000FFFF garbage",
                     true,
                     4,
                     1,
                     {{0, 0}},
                     {"Section 0 :  [0000]-[0000]", "Checksum Flash: 0001 "}},
        AnalysisCase{"EndRecordFirst", ":020000011234FF", true, 3, 0, {}, {"[0000]", "Checksum Flash: 0000 "}},
        AnalysisCase{"CutShortRecord",
                     ":0400000001020304F2\n:04000400FF",
                     false,
                     0,
                     0,
                     {},
                     {"Section 0 :  [0000]-", fw_text::kOutOfSpec.data()}},
        AnalysisCase{"CutShortHead",
                     ":0400000001020304F2\r\n:0400",
                     false,
                     0,
                     0,
                     {},
                     {"Section 0 :  [0000]-", fw_text::kOutOfSpec.data()}},
        AnalysisCase{"EndRecordWithoutCheckValue",
                     ":0100000001FE\n:02000001",
                     false,
                     0,
                     0,
                     {},
                     {"Section 0 :  [0000]-", fw_text::kOutOfSpec.data()}},
        AnalysisCase{"NotHexDigits",
                     ":04000000010203ZZF2\n:020000010000FF",
                     false,
                     0,
                     0,
                     {},
                     {"Section 0 :  [0000]-", fw_text::kOutOfSpec.data()}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Analysis, SegmentRecordAfterFullSegmentOpensSectionAtZero) {
  // A record ending exactly at 0x10000 must not make the next record at 0000 look contiguous.
  const auto img = FirmwareImage::Analyse(":02FFFE000102FE\n:020000040001F9\n:02000000030400\n:020000010000FF");
  ASSERT_TRUE(img.ok());
  EXPECT_EQ(RenderTx(img.log()), (std::vector<std::string>{"Section 0 :  [FFFE]-[FFFF]", "Section 1 :  [0000]-[0001]",
                                                           "Section 2 :  [0000]-[0001]", "Checksum Flash: 000B "}));
}

TEST(Analysis, GeneratedImageMatchesIndependentCount) {
  // 70 000 random bytes from 0x1FFF0 cross two segment boundaries.
  std::mt19937 rng(17);
  std::vector<std::uint8_t> bytes(70000);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
  for (std::size_t i = 0; i < bytes.size(); i += 7) bytes[i] = 0xFF;
  RadImageOptions o;
  o.headerType = 0x0F;
  o.hardware = 0x0E;
  o.role = 1;
  o.baseAddress = 0x1FFF0;
  const std::string text = MakeRadImage(bytes, o);
  const auto img = FirmwareImage::Analyse(text);
  ASSERT_TRUE(img.ok());

  // Segments touched: 0x0001 (start), 0x0002, and 0x0003; the first 0x04 record is always there.
  const std::uint32_t first = o.baseAddress, end = o.baseAddress + static_cast<std::uint32_t>(bytes.size());
  std::vector<std::uint16_t> uppers;
  for (std::uint32_t seg = first >> 16; seg <= (end - 1) >> 16; ++seg)
    uppers.push_back(static_cast<std::uint16_t>(seg));
  ASSERT_EQ(uppers.size(), 3u);
  const std::uint32_t expectedSize =
      1 + 2 + 2 * static_cast<std::uint32_t>(uppers.size()) + static_cast<std::uint32_t>(bytes.size()) + 2;
  std::uint32_t sum = 0x0E + 0x01;
  for (const auto u : uppers) sum += (u >> 8) + (u & 0xFF);
  for (const auto b : bytes)
    if (b != 0xFF) sum += b;
  EXPECT_EQ(img.totalSize(), expectedSize);
  EXPECT_EQ(img.flashChecksum(), sum & 0xFFFF);
  // Header, then for each segment its 0x04 record and its run of data.
  const std::vector<FirmwareSection> sections = {{0, 1},      {0, 1}, {0xFFF0, 0xFFFF},       {0, 1},
                                                 {0, 0xFFFF}, {0, 1}, {0, (end - 1) & 0xFFFF}};
  EXPECT_EQ(img.sections(), sections);
}

TEST(Analysis, FileThatCannotBeOpened) {
  const auto img = FirmwareImage::AnalyseFile("/nonexistent/dir/fw.rad");
  EXPECT_FALSE(img.ok());
  EXPECT_FALSE(img.opened());
  EXPECT_EQ(RenderTx(img.log()), std::vector<std::string>{"[/nonexistent/dir/fw.rad] file not found"});
}

TEST(Analysis, ReadsFileFromDisk) {
  const std::string path = std::string(ORVALIS_BINARY_DIR) + "/fw_analysis_test.rad";
  {
    std::ofstream out(path, std::ios::binary);
    out << kBankA;
  }
  const auto img = FirmwareImage::AnalyseFile(path);
  std::remove(path.c_str());
  EXPECT_TRUE(img.ok());
  EXPECT_EQ(img.path(), path);
  EXPECT_EQ(RenderTx(img.log()), kBankALines);
}

TEST(Analysis, JsonShape) {
  const auto img = FirmwareImage::Analyse(kBankA);
  EXPECT_EQ(img.toJson(),
            "{\"total_size\": 15, \"flash_checksum\": 35, \"sections\": [[0, 1], [0, 1], [0, 7]], \"log\": "
            "[\"Section 0 :  [0000]-[0001]\", \"Section 1 :  [0000]-[0001]\", \"Section 2 :  [0000]-[0007]\", "
            "\"Checksum Flash: 0023 \"]}");
  EXPECT_EQ(FirmwareImage::Analyse("").toJson(),
            "{\"total_size\": 1, \"flash_checksum\": 0, \"sections\": [], \"log\": [\"Checksum Flash: 0000 \"]}");
}

TEST(FirmwareTexts, CaptionUsesFileNameOnly) {
  EXPECT_EQ(FirmwareCaption("C:\\FW\\V6AV2R4.rad"), "Configurador KALDORINE - [V6AV2R4.rad]");
  EXPECT_EQ(FirmwareCaption("/home/x/fw/b.rad"), "Configurador KALDORINE - [b.rad]");
  EXPECT_EQ(FirmwareCaption("plain.rad"), "Configurador KALDORINE - [plain.rad]");
}

TEST(FirmwareTexts, CrcBoxRewritesNumbers) {
  const struct {
    const char* in;
    std::optional<std::string> out;
  } cases[] = {{"0x1a2b", "0x1A2B"},   {"4660", "0x1234"},   {"0", "0x0000"},      {"0X00ff", "0x00FF"},
               {"70000", "0x11170"},   {"", std::nullopt},   {"0x", std::nullopt}, {"12a", std::nullopt},
               {"0xG1", std::nullopt}, {" 12", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(NormaliseCrcText(c.in), c.out) << c.in;
  EXPECT_EQ(ParseIntegerText("1234"), 1234);
  EXPECT_EQ(ParseIntegerText("0x10"), 16);
}

TEST(FirmwareTexts, ProgressPercentStaysInRange) {
  EXPECT_EQ(ProgressPercent(1, 200), 0);
  EXPECT_EQ(ProgressPercent(100, 200), 50);
  EXPECT_EQ(ProgressPercent(199, 200), 99);
  EXPECT_EQ(ProgressPercent(300, 200), 100);
  EXPECT_EQ(ProgressPercent(5, 0), 100);
}

}  // namespace
