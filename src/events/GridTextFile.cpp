#include "events/GridTextFile.h"

#include <fstream>

#include "events/SafeFileWriter.h"
#include "events/TextCodec.h"

namespace orvalis {

namespace {

// Appends one cell as written; quotes only when it holds "," or a quote.
void AppendCell(std::string& out, const std::string& cell) {
  const bool quote = cell.find_first_of("\",") != std::string::npos;
  if (quote) out += '"';
  for (std::size_t i = 0; i < cell.size(); ++i) {
    const std::size_t j = cell.find_first_of("\"\r\n", i);
    if (j != i) {
      out.append(cell, i, (j == std::string::npos ? cell.size() : j) - i);
      if (j == std::string::npos) break;
      i = j;
    }
    const char c = cell[i];
    if (c == '"') {
      out += "\"\"";
    } else if (c == '\r') {
      out += GridTextFile::kLineBreak;
    } else if (c == '\n') {
      // LF is dropped after a CR; a bare LF is a line break of its own.
      if (i == 0 || cell[i - 1] != '\r') out += GridTextFile::kLineBreak;
    } else {
      out += c;
    }
  }
  if (quote) out += '"';
}

}  // namespace

std::string GridTextFile::CellText(const std::string& cell) {
  std::string t;
  AppendCell(t, cell);
  return t;
}

GridTextFile::Encoded GridTextFile::Encode(const GridRows& rows) {
  Encoded out;
  std::size_t estimate = 2;
  for (const auto& row : rows)
    for (const auto& cell : row) estimate += 2 * (cell.size() + 1);
  out.bytes.reserve(estimate + 4 * rows.size());
  out.bytes = {0xFF, 0xFE};
  std::string line;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    line.clear();
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      if (c > 0) line += kSeparator;
      AppendCell(line, rows[r][c]);
    }
    line += "\r\n";
    if (!TextCodec::AppendUtf16le(out.bytes, line)) {
      out.bytes.clear();
      out.error = "Texto inválido (não é UTF-8) na linha " + std::to_string(r + 1);
      return out;
    }
  }
  return out;
}

GridTextFile::Decoded GridTextFile::Decode(std::span<const std::uint8_t> bytes) {
  Decoded out;
  std::string text;
  const bool le = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
  const bool be = bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
  if (le || be) {
    const auto body = bytes.subspan(2);
    if (body.size() % 2 != 0) {
      out.error = "Arquivo UTF-16 com número ímpar de bytes";
      return out;
    }
    auto u8 = TextCodec::Utf16BytesToUtf8(body, le);
    if (!u8) {
      out.error = "Arquivo UTF-16 com caractere inválido (surrogate sem par)";
      return out;
    }
    text = std::move(*u8);
  } else {
    text = TextCodec::Cp1252ToUtf8(bytes);
  }

  // Fields split at "," outside quotes; CR is ignored and LF ends the row.
  GridRow row;
  std::string cell;
  bool inQuotes = false;
  bool cellStarted = false;  // a quote opens a field only at its start
  bool lineHasContent = false;
  const auto endCell = [&] {
    row.push_back(std::move(cell));
    cell.clear();
    cellStarted = false;
    inQuotes = false;
  };
  const auto special = [](char c) { return c == '\r' || c == '\n' || c == '"' || c == kSeparator || c == kLineBreak; };
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Ordinary characters go over in one piece.
    std::size_t j = i;
    while (j < text.size() && !special(text[j])) ++j;
    if (j > i) {
      cell.append(text, i, j - i);
      cellStarted = true;
      lineHasContent = true;
      i = j;
      if (i == text.size()) break;
    }
    const char c = text[i];
    if (c == '\r') continue;
    if (c == '\n') {
      endCell();
      out.rows.push_back(std::move(row));
      row.clear();
      lineHasContent = false;
      continue;
    }
    lineHasContent = true;
    if (inQuotes) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          cell += '"';
          ++i;
        } else {
          inQuotes = false;
        }
      } else {
        cell += c == kLineBreak ? '\n' : c;
      }
      continue;
    }
    if (c == kSeparator) {
      endCell();
    } else if (c == '"' && !cellStarted) {
      inQuotes = true;
      cellStarted = true;
    } else {
      cell += c == kLineBreak ? '\n' : c;
      cellStarted = true;
    }
  }
  if (lineHasContent || !row.empty()) {
    endCell();
    out.rows.push_back(std::move(row));
  }
  return out;
}

std::string GridTextFile::Save(const std::filesystem::path& path, const GridRows& rows) {
  const Encoded e = Encode(rows);
  if (!e.error.empty()) return e.error;
  return SafeFileWriter::Write(path, e.bytes);
}

std::string GridTextFile::Load(const std::filesystem::path& path, GridRows& rows) {
  rows.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return "Não foi possível abrir \"" + path.string() + "\"";
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0 || !in) return "Erro ao ler \"" + path.string() + "\"";
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) return "Erro ao ler \"" + path.string() + "\"";
  Decoded d = Decode(bytes);
  if (!d.error.empty()) return d.error;
  rows = std::move(d.rows);
  return {};
}

}  // namespace orvalis
