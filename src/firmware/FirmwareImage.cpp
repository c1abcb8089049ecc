#include "firmware/FirmwareImage.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "firmware/RadRecordClass.h"
#include "firmware/RadRecordReader.h"

namespace orvalis {

namespace {
std::string Format(const char* fmt, auto... args) {
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

void JsonString(std::string& out, std::string_view s) {
  out += '"';
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      out += Format("\\u%04x", u);
    } else {
      out += c;
    }
  }
  out += '"';
}
}  // namespace

std::optional<std::string> FirmwareImage::ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

FirmwareImage FirmwareImage::AnalyseFile(const std::string& path) {
  auto text = ReadFileText(path);
  if (!text) {
    FirmwareImage img;
    img.path_ = path;
    img.log_.push_back(TxEntry::line(FileNotFoundLine(path)));
    return img;
  }
  return Analyse(std::move(*text), path);
}

FirmwareImage FirmwareImage::Analyse(std::string text, std::string path) {
  FirmwareImage img;
  img.path_ = std::move(path);
  img.text_ = std::move(text);
  img.opened_ = true;

  RadRecordReader reader(img.text_);
  std::uint32_t expected = 1;
  int section = 0;
  bool first = true;
  auto outOfSpec = [&img] {
    img.log_.push_back(TxEntry::line(std::string(fw_text::kOutOfSpec)));
    return img;
  };

  while (reader.skipToMark()) {
    RadRecordHead head;
    if (reader.readHead(head) != RadRecordReader::Status::Ok) return outOfSpec();
    img.totalSize_ += head.count;
    if (head.type == rad::kCheckLine) img.log_.push_back(TxEntry::line(std::string(fw_text::kCheckLine)));
    if (head.type == rad::kEndBankA) {
      // The upload reads the check value whatever the count says; it must be there.
      Bytes check;
      if (reader.readBytes(2, check) != RadRecordReader::Status::Ok) return outOfSpec();
      img.log_.push_back(TxEntry::append(Format("[%04X]", expected - 1)));
      if (!img.sections_.empty()) img.sections_.back().last = expected - 1;
      img.log_.push_back(TxEntry::line(Format("Checksum Flash: %04X ", img.flashChecksum_)));
      img.ok_ = true;
      return img;
    }
    if (first || head.address != expected) {
      if (!first) {
        img.log_.push_back(TxEntry::append(Format("[%04X]", expected - 1)));
        img.sections_.back().last = expected - 1;
      }
      img.log_.push_back(TxEntry::line(""));
      img.log_.push_back(TxEntry::append(Format("Section %d :  [%04X]-", section, head.address)));
      img.sections_.push_back({head.address, head.address});
      ++section;
      first = false;
    }
    expected = static_cast<std::uint32_t>(head.address) + head.count;
    RadRecord rec;
    if (reader.readBody(head, rec) != RadRecordReader::Status::Ok) return outOfSpec();
    for (const std::uint8_t b : rec.data)
      if (b != 0xFF) img.flashChecksum_ = static_cast<std::uint16_t>(img.flashChecksum_ + b);
  }
  if (!img.sections_.empty()) img.sections_.back().last = expected - 1;
  img.log_.push_back(TxEntry::line(Format("Checksum Flash: %04X ", img.flashChecksum_)));
  img.ok_ = true;
  return img;
}

std::string FirmwareImage::toJson() const {
  std::string out = "{\"total_size\": ";
  out += std::to_string(totalSize_);
  out += ", \"flash_checksum\": ";
  out += std::to_string(flashChecksum_);
  out += ", \"sections\": [";
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    if (i) out += ", ";
    out += '[';
    out += std::to_string(sections_[i].first);
    out += ", ";
    out += std::to_string(sections_[i].last);
    out += ']';
  }
  out += "], \"log\": [";
  const auto lines = RenderTx(log_);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) out += ", ";
    JsonString(out, lines[i]);
  }
  out += "]}";
  return out;
}

std::string FileNotFoundLine(std::string_view path) {
  std::string out = "[";
  out.append(path).append("] file not found");
  return out;
}

std::string FirmwareCaption(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  std::string out = "Configurador KALDORINE - [";
  out.append(name).append("]");
  return out;
}

std::optional<std::int64_t> ParseIntegerText(std::string_view t) {
  bool negative = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  }
  if (t.empty() || t.size() > 15) return std::nullopt;
  std::int64_t v = 0;
  for (const char c : t) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    v = v * base + d;
  }
  return negative ? -v : v;
}

std::string CrcBoxText(std::uint32_t value) {
  return Format("0x%04X", value);
}

std::optional<std::string> NormaliseCrcText(std::string_view text) {
  const auto v = ParseIntegerText(text);
  if (!v || *v > 0x7FFFFFFF || *v < -0x80000000LL) return std::nullopt;
  return CrcBoxText(static_cast<std::uint32_t>(*v));
}

int ProgressPercent(std::uint64_t progressCount, std::uint32_t totalSize) {
  const std::uint64_t total = totalSize == 0 ? 1 : totalSize;
  return static_cast<int>(std::min<std::uint64_t>(100, progressCount * 100 / total));
}

}  // namespace orvalis
