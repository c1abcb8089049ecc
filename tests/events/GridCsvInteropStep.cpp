// The C++ half of tests/scripts/grid_csv_interop.sh: the script runs this
// test with a folder and a step, and checks the files with Python's csv.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "events/GridTextFile.h"

namespace orvalis {
namespace {

namespace fs = std::filesystem;

// Cells joined by 0x1F, rows by 0x1E: a form both sides read trivially.
std::string Flat(const GridRows& rows) {
  std::string s;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (r > 0) s += '\x1e';
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      if (c > 0) s += '\x1f';
      s += rows[r][c];
    }
  }
  return s;
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GridCsvInterop, StepFromScript) {
  const char* dir = std::getenv("ORVALIS_INTEROP_DIR");
  const char* step = std::getenv("ORVALIS_INTEROP_STEP");
  if (!dir || !step) GTEST_SKIP() << "run by tests/scripts/grid_csv_interop.sh";
  const fs::path d(dir);
  const std::string s(step);
  if (s == "write") {
    const GridRows rows{
        {"11/12/2026 13:40:00", "1234", "E130", " Alarme de Furto (padrão)", "01", "005", "", "", "", "", ""},
        {"vírgula, aqui", "aspas \"duplas\"", "\"", "linha\nquebrada", "", "True", "False"},
        {"Ç ã º é €", " espaço ", ",", "😀", "a\r\nb"},
    };
    ASSERT_EQ(GridTextFile::Save(d / "tool.txt", rows), "");
    // A CSV reader sees the line breaks in their file form.
    GridRows seen = rows;
    for (auto& row : seen)
      for (auto& cell : row) {
        std::string t;
        for (std::size_t i = 0; i < cell.size(); ++i) {
          if (cell[i] == '\n' && i > 0 && cell[i - 1] == '\r') continue;
          t += (cell[i] == '\n' || cell[i] == '\r') ? '|' : cell[i];
        }
        cell = t;
      }
    std::ofstream(d / "tool_expected.txt", std::ios::binary) << Flat(seen);
  } else if (s == "read") {
    const std::string expected = ReadText(d / "python_expected.txt");
    ASSERT_FALSE(expected.empty());
    for (const char* name : {"python.txt", "python_be.txt"}) {
      GridRows rows;
      ASSERT_EQ(GridTextFile::Load(d / name, rows), "") << name;
      EXPECT_EQ(Flat(rows), expected) << name;
    }
  } else {
    FAIL() << "unknown step " << s;
  }
  if (!HasFailure()) std::ofstream(d / ("done-" + s)) << "ok";
}

}  // namespace
}  // namespace orvalis
