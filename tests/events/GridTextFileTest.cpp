#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "events/GridTextFile.h"
#include "support/Hex.h"

namespace orvalis {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Utf16le(const std::u16string& s) {
  std::vector<std::uint8_t> b{0xFF, 0xFE};
  for (char16_t u : s) {
    b.push_back(static_cast<std::uint8_t>(u & 0xFF));
    b.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return b;
}

TEST(GridTextFile, WritesUtf16WithBomCrLfAndQuoting) {
  const GridRows rows{{"a,b", "diz \"oi\"", "x\r\ny", "", "Ação"}, {"z"}};
  const auto e = GridTextFile::Encode(rows);
  ASSERT_TRUE(e.error.empty());
  EXPECT_EQ(e.bytes, Utf16le(u"\"a,b\",\"diz \"\"oi\"\"\",x|y,,Ação\r\nz\r\n"));
}

struct CellCase {
  const char* cell;
  const char* written;
};

class GridCellText : public ::testing::TestWithParam<CellCase> {};

TEST_P(GridCellText, EscapesTheCell) {
  EXPECT_EQ(GridTextFile::CellText(GetParam().cell), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Cells, GridCellText,
                         ::testing::Values(CellCase{"plain", "plain"}, CellCase{"", ""}, CellCase{"a,b", "\"a,b\""},
                                           CellCase{"\"", "\"\"\"\""}, CellCase{"a\rb", "a|b"},
                                           CellCase{"a\r\nb", "a|b"}, CellCase{"a\nb", "a|b"},
                                           CellCase{"a\r\n\r\nb,", "\"a||b,\""}, CellCase{" lead ", " lead "}));

TEST(GridTextFile, RefusesTextThatIsNotUtf8) {
  const auto e = GridTextFile::Encode({{"ok"}, {"bad \xC3"}});
  EXPECT_TRUE(e.bytes.empty());
  EXPECT_NE(e.error.find("linha 2"), std::string::npos);
}

class GridRoundTrip : public ::testing::TestWithParam<GridRows> {};

TEST_P(GridRoundTrip, OpenRestoresEveryCell) {
  const auto e = GridTextFile::Encode(GetParam());
  ASSERT_TRUE(e.error.empty());
  const auto d = GridTextFile::Decode(e.bytes);
  ASSERT_TRUE(d.error.empty()) << d.error;
  EXPECT_EQ(d.rows, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Tables, GridRoundTrip,
    ::testing::Values(GridRows{},
                      GridRows{{"11/12/2026 13:40:00", "1234", "E130", " Alarme de Furto (padrão)           ", "01",
                                "005", "", "", "", "", ""}},
                      GridRows{{"vírgula, aqui", "aspas \"duplas\"", "\"", "\"\"", ",", "a\nb", "\n", ""}},
                      GridRows{{"True", "False"}, {""}, {"", ""}, {"Ç", "ã", "º", "€", "😀"}},
                      GridRows{{" Automação desconectada    \t    ", "tab\there"}}, GridRows{{"x"}, {""}, {"y"}}));

TEST(GridTextFile, ReadsSingleByteFilesAsCp1252) {
  const auto d = GridTextFile::Decode(test::Hex("43 61 66 E9 2C 61 E7 E3 6F 2C 6E BA 2C 80 0D 0A 22 61 2C 62 22 0A"));
  ASSERT_TRUE(d.error.empty());
  EXPECT_EQ(d.rows, (GridRows{{"Café", "ação", "nº", "€"}, {"a,b"}}));
}

TEST(GridTextFile, ReadsUtf16BigEndian) {
  std::vector<std::uint8_t> b{0xFE, 0xFF};
  for (char16_t u : std::u16string(u"Olá,\"x,y\"\r\n😀|z\r\n")) {
    b.push_back(static_cast<std::uint8_t>(u >> 8));
    b.push_back(static_cast<std::uint8_t>(u & 0xFF));
  }
  const auto d = GridTextFile::Decode(b);
  ASSERT_TRUE(d.error.empty());
  EXPECT_EQ(d.rows, (GridRows{{"Olá", "x,y"}, {"😀\nz"}}));
}

struct ReadCase {
  const char* name;
  std::string text;  // single-byte file
  GridRows rows;
};

class GridRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(GridRead, SplitsRowsAndFields) {
  const auto d = GridTextFile::Decode(test::Text(GetParam().text));
  ASSERT_TRUE(d.error.empty());
  EXPECT_EQ(d.rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Files, GridRead,
                         ::testing::Values(ReadCase{"Empty", "", {}},
                                           ReadCase{"LfOnly", "a,b\nc\n", {{"a", "b"}, {"c"}}},
                                           ReadCase{"NoFinalLineEnd", "a,b\r\nc", {{"a", "b"}, {"c"}}},
                                           ReadCase{"CrIgnoredEverywhere", "a\rb,c\r\r\n", {{"ab", "c"}}},
                                           ReadCase{"EmptyLineIsARow", "a\r\n\r\nb\r\n", {{"a"}, {""}, {"b"}}},
                                           ReadCase{"TrailingSeparator", "a,\r\n", {{"a", ""}}},
                                           ReadCase{"QuoteInsideUnquotedField", "ab\"c,d\r\n", {{"ab\"c", "d"}}},
                                           ReadCase{"TextAfterClosingQuote", "\"ab\"c,d\r\n", {{"abc", "d"}}},
                                           ReadCase{"PipeInQuotedField", "\"a|b,c\"\r\n", {{"a\nb,c"}}},
                                           ReadCase{"UnclosedQuoteEndsAtLf", "\"abc,d\r\ne\r\n", {{"abc,d"}, {"e"}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GridTextFile, ReportsMalformedUtf16) {
  EXPECT_FALSE(GridTextFile::Decode(test::Hex("FF FE 41 00 42")).error.empty());
  EXPECT_FALSE(GridTextFile::Decode(test::Hex("FF FE 41 00 3D D8")).error.empty());
  EXPECT_FALSE(GridTextFile::Decode(test::Hex("FE FF DE 00")).error.empty());
  const auto ok = GridTextFile::Decode(test::Hex("FF FE"));
  EXPECT_TRUE(ok.error.empty());
  EXPECT_TRUE(ok.rows.empty());
}

// A scratch folder per test, removed afterwards.
class GridFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(ORVALIS_BINARY_DIR) / "test-scratch" /
           (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  static std::vector<std::uint8_t> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {})); }
  const GridRows big_{GridRows(200, GridRow(11, "conteúdo de uma célula, com vírgula"))};
  const GridRows small_{{"1", "antigo"}};
  fs::path dir_;
};

TEST_F(GridFiles, SaveCreatesAndReplacesAndLoadReadsBack) {
  const fs::path f = dir_ / "eventos.log";
  ASSERT_EQ(GridTextFile::Save(f, small_), "");
  ASSERT_EQ(GridTextFile::Save(f, big_), "");
  GridRows rows;
  ASSERT_EQ(GridTextFile::Load(f, rows), "");
  EXPECT_EQ(rows, big_);
  EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(GridFiles, LoadOfAMissingOrBrokenFileReportsAndLeavesNoRows) {
  GridRows rows{{"old"}};
  EXPECT_NE(GridTextFile::Load(dir_ / "none.log", rows), "");
  EXPECT_TRUE(rows.empty());
  std::ofstream(dir_ / "odd.log", std::ios::binary) << "\xFF\xFE\x41";
  rows = {{"old"}};
  EXPECT_NE(GridTextFile::Load(dir_ / "odd.log", rows), "");
  EXPECT_TRUE(rows.empty());
}

// A write that fails half-way (the file-size limit stands in for a full
// disk; it holds for root too) must not touch the old file.
TEST_F(GridFiles, FailedWriteLeavesTheOldFileByteIdentical) {
  const fs::path f = dir_ / "tabela.txt";
  ASSERT_EQ(GridTextFile::Save(f, small_), "");
  const auto before = ReadAll(f);

  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit lim = old;
  lim.rlim_cur = 4096;
  auto* prev = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lim), 0);
  const std::string err = GridTextFile::Save(f, big_);
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, prev);

  EXPECT_NE(err, "");
  EXPECT_EQ(ReadAll(f), before);
  EXPECT_EQ(entries(), 1u);
}

TEST_F(GridFiles, SaveIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  const fs::path f = dir_ / "tabela.txt";
  ASSERT_EQ(GridTextFile::Save(f, small_), "");
  const auto before = ReadAll(f);
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_NE(GridTextFile::Save(f, big_), "");
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(ReadAll(f), before);
}

TEST_F(GridFiles, SaveFailsWhenTheFolderIsAFileOrTheTargetAFolder) {
  std::ofstream(dir_ / "plain") << "x";
  EXPECT_NE(GridTextFile::Save(dir_ / "plain" / "t.txt", small_), "");
  fs::create_directory(dir_ / "folder");
  EXPECT_NE(GridTextFile::Save(dir_ / "folder", small_), "");
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
  EXPECT_EQ(ReadAll(dir_ / "plain"), test::Text("x"));
}

TEST_F(GridFiles, SaveThroughALinkReplacesItsTarget) {
  const fs::path real = dir_ / "real.txt";
  ASSERT_EQ(GridTextFile::Save(real, small_), "");
  fs::create_symlink(real, dir_ / "link.txt");
  ASSERT_EQ(GridTextFile::Save(dir_ / "link.txt", big_), "");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
  GridRows rows;
  ASSERT_EQ(GridTextFile::Load(real, rows), "");
  EXPECT_EQ(rows, big_);
}

}  // namespace
}  // namespace orvalis
