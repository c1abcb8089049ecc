#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "firmware/RadImageMaker.h"
#include "firmware/RadRecordReader.h"

using namespace orvalis;

namespace {

std::vector<std::string> SplitCrLf(const std::string& t) {
  std::vector<std::string> out;
  std::size_t from = 0;
  for (std::size_t at = t.find("\r\n"); at != std::string::npos; at = t.find("\r\n", from)) {
    out.push_back(t.substr(from, at - from));
    from = at + 2;
  }
  out.push_back(t.substr(from));
  return out;
}

std::vector<RadRecord> Records(const std::string& t) {
  RadRecordReader r(t);
  std::vector<RadRecord> out;
  RadRecord rec;
  while (r.next(rec) == RadRecordReader::Status::Ok) out.push_back(rec);
  return out;
}

TEST(RadImageMaker, MakersLayout) {
  std::vector<std::uint8_t> bytes(200);
  std::iota(bytes.begin(), bytes.end(), 0);
  RadImageOptions o;
  o.headerType = 0x1F;
  o.hardware = 21;
  o.role = 1;
  o.checkValue = 0xBEEF;
  const std::string text = MakeRadImage(bytes, o);
  EXPECT_EQ(text.find('\n', text.rfind(':')), std::string::npos) << "last line has no line end";
  EXPECT_EQ(text.find("\n\n"), std::string::npos);
  const auto lines = SplitCrLf(text);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], ":0200001F1501C9");
  EXPECT_EQ(lines[1], ":020000040000FA");
  EXPECT_EQ(lines[2].substr(0, 9), ":50000000");
  EXPECT_EQ(lines[3].substr(0, 9), ":50005000");
  EXPECT_EQ(lines[4].substr(0, 9), ":2800A000");
  EXPECT_EQ(lines[5], ":02000011BEEFFF");  // bank B end record, "FF" after the check value
  for (const auto& l : lines) EXPECT_EQ(l.find_first_of("abcdef"), std::string::npos) << l;

  // Data records carry true Intel HEX checksums.
  for (const auto& rec : Records(text)) {
    if (rec.head.type != 0x00) continue;
    unsigned sum = rec.head.count + (rec.head.address >> 8) + (rec.head.address & 0xFF) + rec.head.type + rec.checksum;
    for (auto b : rec.data) sum += b;
    EXPECT_EQ(sum & 0xFF, 0u);
  }
}

TEST(RadImageMaker, SegmentRecordWhereSegmentChanges) {
  const std::vector<std::uint8_t> bytes(0x20000 + 100, 0x5A);
  RadImageOptions o;
  o.baseAddress = 0x10000;
  const auto recs = Records(MakeRadImage(bytes, o));
  std::vector<std::uint32_t> uppers;
  std::uint32_t upper = 0, next = 0x10000;
  std::size_t dataBytes = 0;
  for (const auto& r : recs) {
    if (r.head.type == 0x04) {
      upper = static_cast<std::uint32_t>((r.data[0] << 8) | r.data[1]) << 16;
      uppers.push_back(upper >> 16);
    } else if (r.head.type == 0x00) {
      EXPECT_EQ(upper + r.head.address, next) << "addresses rise by the record count";
      EXPECT_LE(r.head.address + r.head.count, 0x10000) << "no record crosses a segment";
      next += r.head.count;
      dataBytes += r.head.count;
    }
  }
  EXPECT_EQ(uppers, (std::vector<std::uint32_t>{1, 2, 3}));
  EXPECT_EQ(dataBytes, bytes.size());
  EXPECT_EQ(recs.back().head.type, 0x01);
}

TEST(RadImageMaker, VersionTagReadBack) {
  const std::vector<std::uint8_t> bytes(500, 0x11);
  RadImageOptions o;
  o.tag = FirmwareVersionTag{6, 25};
  const std::string text = MakeRadImage(bytes, o);
  EXPECT_EQ(ReadRadImageVersion(text), (FirmwareVersionTag{6, 25}));
  EXPECT_EQ(ReadRadImageVersion(MakeRadImage(bytes)), std::nullopt);
  EXPECT_EQ(ReadVersionTag(VersionTagBytes({50, 29})), (FirmwareVersionTag{50, 29}));
  EXPECT_EQ(ReadVersionTag(std::vector<std::uint8_t>{'Q', 'M', 'F', 'W', 1}), std::nullopt);
  // The tag is part of the data, so the default check value covers it.
  const auto withTag = VersionTagBytes({6, 25});
  std::vector<std::uint8_t> all(withTag.begin(), withTag.end());
  all.insert(all.end(), bytes.begin(), bytes.end());
  const auto recs = Records(text);
  const auto& end = recs.back();
  EXPECT_EQ((end.data[0] << 8) | end.data[1], RadImageCheckValue(all));
  EXPECT_EQ(FirmwareImage::Analyse(text).totalSize(), 1 + 2 + 2 + all.size() + 2);
}

TEST(RadImageMaker, CheckValueIsCcittFalse) {
  const std::string s = "123456789";
  EXPECT_EQ(RadImageCheckValue(std::vector<std::uint8_t>(s.begin(), s.end())), 0x29B1);
  EXPECT_EQ(RadImageCheckValue({}), 0xFFFF);
}

TEST(RadImageMaker, EmptyPayloadStillFormsAnImage) {
  const auto lines = SplitCrLf(MakeRadImage({}));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], ":02000001FFFFFF");
}

}  // namespace
