// The text file of a grid: UTF-16LE with BOM, one CSV line per row, "|" for a line break in a cell.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace orvalis {

using GridRow = std::vector<std::string>;
using GridRows = std::vector<GridRow>;

class GridTextFile {
 public:
  static constexpr char kSeparator = ',';
  static constexpr char kLineBreak = '|';

  struct Encoded {
    std::vector<std::uint8_t> bytes;
    std::string error;  // empty on success
  };
  struct Decoded {
    GridRows rows;
    std::string error;  // empty on success
  };

  // Cells are UTF-8; a line break inside a cell (CR LF, CR or LF) is written
  // as "|". Fails on text that is not UTF-8.
  static Encoded Encode(const GridRows& rows);
  // BOM FF FE: UTF-16LE; FE FF: UTF-16BE; anything else: Windows-1252.
  static Decoded Decode(std::span<const std::uint8_t> bytes);

  // Empty text on success. A failed save leaves the old file untouched.
  static std::string Save(const std::filesystem::path& path, const GridRows& rows);
  // A failed load leaves `rows` empty and returns the error.
  static std::string Load(const std::filesystem::path& path, GridRows& rows);

  static std::string CellText(const std::string& cell);  // one cell as written (UTF-8)
};

}  // namespace orvalis
