// The radio side of a firmware upload: erase, write packets, end command and the new image running.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "link/RadioFrame.h"
#include "sim/Mesh.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::sim::Mesh;
using orvalis::sim::Scenario;
using orvalis::test::Hex;
using orvalis::test::ToHex;

namespace {

// A write packet as the upload builds it: EB 00 type count addr-hi addr-lo data checksum check.
Bytes Packet(std::uint8_t type, std::uint16_t address, const Bytes& data, bool spoilCheck = false) {
  Bytes b;
  b.reserve(data.size() + 8);
  for (std::uint8_t v : {std::uint8_t{0xEB}, std::uint8_t{0x00}, type, static_cast<std::uint8_t>(data.size()),
                         static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF)})
    b.push_back(v);
  for (std::uint8_t v : data) b.push_back(v);
  b.push_back(0x5A);  // record checksum, forwarded as it is
  std::uint8_t x = 0;
  for (auto v : b) x ^= v;
  std::uint8_t check = static_cast<std::uint8_t>(~x);
  if (check == 0xAA) check = 0xAB;
  b.push_back(spoilCheck ? static_cast<std::uint8_t>(check ^ 0x10) : check);
  return b;
}

class FlashUpload : public ::testing::Test {
 protected:
  std::string send(RadioId dest, const Bytes& data) {
    auto out = mesh.onFrame(BuildRadioFrame(dest, data), now += 500);
    if (out.empty()) return "";
    const Bytes& b = out[0].bytes;
    return ToHex(std::span(b).first(b.size() - 2));
  }
  std::string send(RadioId dest, const char* hex) { return send(dest, Hex(hex)); }
  Bytes read(RadioId dest) { return Hex(send(dest, "D4 00 00 00")); }

  Mesh mesh{Scenario::builtIn()};
  std::int64_t now = 0;
};

TEST_F(FlashUpload, GoodImageRunsFromTheOtherBank) {
  // Radio 1 runs 6.26 from bank A; a bank B image for hardware 14 carries 7.2.
  EXPECT_EQ(send(1, "E9 00 00 00"), "01 00 E9 00 00 00");
  EXPECT_EQ(send(1, Packet(0x1F, 0x0000, {0x0E, 0x01})), "01 00 EB 00 00 00 00");
  EXPECT_EQ(send(1, Packet(0x04, 0x0000, {0x00, 0x01})), "01 00 EB 00 00 00 00");
  EXPECT_EQ(send(1, Packet(0x00, 0x0050, {0x07, 0x02, 0x33, 0x44})), "01 00 EB 00 00 00 50");
  EXPECT_EQ(send(1, "EA 01 12 34"), "01 00 EA 00 01 12 34");
  const Bytes p = read(1);
  ASSERT_EQ(p.size(), 31u);
  EXPECT_EQ(p[17], 7);
  EXPECT_EQ(p[11], 2);
  EXPECT_EQ(p[18], 1);                              // bank B
  EXPECT_EQ(mesh.radio(1)->diagnostics.resets, 4);  // restarted into the new image
}

struct RefusalCase {
  const char* name;
  bool erase;
  std::vector<Bytes> packets;  // all but the last must be accepted
  const char* lastAck;         // reply to the last packet
};

class FlashRefusal : public FlashUpload, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(FlashRefusal, RefusedAndTheEndFails) {
  const auto& c = GetParam();
  if (c.erase) {
    ASSERT_NE(send(1, "E9 00 00 00"), "");
  }
  for (std::size_t i = 0; i + 1 < c.packets.size(); ++i) ASSERT_NE(send(1, c.packets[i]).substr(12, 2), "02") << i;
  EXPECT_EQ(send(1, c.packets.back()), c.lastAck);
  EXPECT_EQ(send(1, "EA 01 12 34"), "01 00 EA 00 00 12 34");  // end result differs from the flag
  const Bytes p = read(1);
  EXPECT_EQ(p[17], 6);
  EXPECT_EQ(p[18], 0);  // still bank A
}

const RefusalCase kRefusals[] = {
    {"OutOfRange",
     true,
     {Packet(0x1F, 0, {0x0E, 0x01}), Packet(0x04, 0, {0x00, 0x04}), Packet(0x00, 0x0000, {1, 2, 3, 4})},
     "01 00 EB 00 02 00 00"},
    {"RangeEndCrossesTheBankEnd",
     true,
     {Packet(0x1F, 0, {0x0E, 0x01}), Packet(0x04, 0, {0x00, 0x03}), Packet(0x00, 0xFFFE, {1, 2, 3, 4})},
     "01 00 EB 00 02 FF FE"},
    {"BadCheckByte", true, {Packet(0x1F, 0, {0x0E, 0x01}), Packet(0x00, 0x0100, {1, 2}, true)}, "01 00 EB 00 04 01 00"},
    {"WriteWithoutErase", false, {Packet(0x00, 0x0100, {1, 2})}, "01 00 EB 00 04 01 00"},
};

INSTANTIATE_TEST_SUITE_P(Sim, FlashRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlashUpload, ImageForTheRunningBankIsNotStarted) {
  ASSERT_NE(send(1, "E9 00 00 00"), "");
  ASSERT_EQ(send(1, Packet(0x0F, 0, {0x0E, 0x01})), "01 00 EB 00 00 00 00");
  ASSERT_EQ(send(1, Packet(0x00, 0x0000, {7, 2})), "01 00 EB 00 00 00 00");
  EXPECT_EQ(send(1, "EA 00 12 34"), "01 00 EA 00 01 12 34");
  EXPECT_EQ(read(1)[18], 0);
}

}  // namespace

namespace {

// The shipped test images, sent record by record as the upload does.
struct ImageCase {
  const char* name;
  const char* file;
  RadioId radio;
  bool started;  // the radio runs the new image afterwards
};

class ShippedImage : public FlashUpload, public ::testing::WithParamInterface<ImageCase> {
 protected:
  struct Record {
    std::uint8_t type = 0;
    std::uint16_t address = 0;
    Bytes data;
    std::uint8_t checksum = 0;
  };
  static std::vector<Record> Records(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::string text;
    if (f) {
      char buf[4096];
      std::size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
      std::fclose(f);
    }
    std::vector<Record> out;
    for (std::size_t pos = text.find(':'); pos != std::string::npos; pos = text.find(':', pos + 1)) {
      const Bytes b = Hex(text.substr(pos + 1, text.find_first_of("\r\n:", pos + 1) - pos - 1));
      if (b.size() < 5) continue;
      Record r;
      r.address = static_cast<std::uint16_t>((b[1] << 8) | b[2]);
      r.type = b[3];
      r.data.assign(b.begin() + 4, b.begin() + 4 + b[0]);
      r.checksum = b[4 + b[0]];
      out.push_back(r);
    }
    return out;
  }
};

TEST_P(ShippedImage, Upload) {
  const auto& c = GetParam();
  const auto records = Records(std::string(ORVALIS_SOURCE_DIR) + "/sim/firmware/" + c.file);
  ASSERT_GE(records.size(), 4u);
  const std::uint8_t bankBefore = mesh.radio(c.radio)->bank;
  ASSERT_NE(send(c.radio, "E9 00 00 00"), "");
  for (const Record& r : records) {
    if (r.type == 0x01 || r.type == 0x11) {
      const std::uint8_t flag = r.type == 0x11 ? 1 : 0;
      const Bytes end{0xEA, flag, r.data[0], r.data[1]};
      const Bytes reply = Hex(send(c.radio, end));
      ASSERT_EQ(reply.size(), 7u);
      EXPECT_EQ(reply[4] == flag, c.started);
      break;
    }
    Bytes pkt = Packet(r.type, r.address, r.data);
    pkt[6 + r.data.size()] = r.checksum;  // the file's own checksum travels; the check byte follows it
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < pkt.size() - 1; ++i) x ^= pkt[i];
    pkt.back() = static_cast<std::uint8_t>(~x) == 0xAA ? 0xAB : static_cast<std::uint8_t>(~x);
    const Bytes ack = Hex(send(c.radio, pkt));
    ASSERT_EQ(ack.size(), 7u);
    ASSERT_EQ(ack[4], 0) << "record at " << r.address;
    EXPECT_EQ((ack[5] << 8) | ack[6], r.address);
  }
  const Bytes p = read(c.radio);
  ASSERT_EQ(p.size(), 31u);
  if (c.started) {
    EXPECT_EQ(p[17], 7);
    EXPECT_EQ(p[11], 1);
    EXPECT_NE(p[18], bankBefore);
  } else {
    EXPECT_EQ(p[18], bankBefore);
  }
}

const ImageCase kImages[] = {
    {"BankBImageToRadioOnBankA", "sim-hw14-remote-bankB-v7r1.rad", 1, true},
    {"BankAImageToRadioOnBankB", "sim-hw14-remote-bankA-v7r1.rad", 2, true},
    {"ImageForTheRunningBank", "sim-hw14-remote-bankB-v7r1.rad", 4, false},
    {"MasterImage", "sim-hw14-master-bankB-v7r1.rad", 0, true},
    {"MasterImageToARemote", "sim-hw14-master-bankB-v7r1.rad", 1, false},
    {"RemoteImageToTheMaster", "sim-hw14-remote-bankB-v7r1.rad", 0, false},
    {"OtherHardware", "sim-hw14-remote-bankB-v7r1.rad", 3, false},
};

INSTANTIATE_TEST_SUITE_P(Sim, ShippedImage, ::testing::ValuesIn(kImages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
