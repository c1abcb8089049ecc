// The opened .rad file: its text and what the analysis pass found (size, flash checksum, sections, log).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/TxEntry.h"

namespace orvalis {

struct FirmwareSection {
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  bool operator==(const FirmwareSection&) const = default;
};

class FirmwareImage {
 public:
  // The whole file as bytes; nullopt when it cannot be opened.
  static std::optional<std::string> ReadFileText(const std::string& path);
  // Opens and analyses; a file that cannot be opened fails with "[%s] file not found".
  static FirmwareImage AnalyseFile(const std::string& path);
  // The analysis pass over text already read.
  static FirmwareImage Analyse(std::string text, std::string path = {});

  bool ok() const { return ok_; }
  bool opened() const { return opened_; }
  const std::string& path() const { return path_; }
  const std::string& text() const { return text_; }
  // 1 + the count of every record read; the denominator of the upload progress.
  std::uint32_t totalSize() const { return totalSize_; }
  std::uint16_t flashChecksum() const { return flashChecksum_; }
  const std::vector<FirmwareSection>& sections() const { return sections_; }
  // The lines the pass writes to the log view (after the view was cleared).
  const std::vector<TxEntry>& log() const { return log_; }

  // {"total_size": N, "flash_checksum": N, "sections": [[first, last], ...], "log": ["...", ...]}
  std::string toJson() const;

 private:
  std::string path_;
  std::string text_;
  bool ok_ = false;
  bool opened_ = false;
  std::uint32_t totalSize_ = 1;
  std::uint16_t flashChecksum_ = 0;
  std::vector<FirmwareSection> sections_;
  std::vector<TxEntry> log_;
};

namespace fw_text {
inline constexpr std::string_view kReady = "Arquivo Pronto para ser enviado";
inline constexpr std::string_view kOutOfSpec = "Source file out of spec";
inline constexpr std::string_view kCheckLine = "Linha de CRC";
inline constexpr std::string_view kDialogTitle = "Abre arquivo RAD";
inline constexpr std::string_view kDialogFilter = "QUILBE (*.RAD)|*.RAD|All|*.*";
}  // namespace fw_text

// "[%s] file not found"
std::string FileNotFoundLine(std::string_view path);
// Main window caption after a file was opened: the file name without its folder.
std::string FirmwareCaption(std::string_view path);
// An integer typed in CRC or PosFW: decimal, or hexadecimal after "0x".
std::optional<std::int64_t> ParseIntegerText(std::string_view text);
// "0x" and four upper-case hex digits.
std::string CrcBoxText(std::uint32_t value);
// CRCExit: the CRC text rewritten; nullopt when it is not a number (the text stays).
std::optional<std::string> NormaliseCrcText(std::string_view text);
// andamento: progress count x 100 / total size, 0..100.
int ProgressPercent(std::uint64_t progressCount, std::uint32_t totalSize);

}  // namespace orvalis
