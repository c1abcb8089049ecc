#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/CommandSender.h"
#include "link/FrameCrc16.h"
#include "support/Hex.h"
#include "support/RecordingTransport.h"

using namespace orvalis;
using orvalis::test::RecordingTransport;

TEST(FrameCrc16, KnownValues) {
  EXPECT_EQ(FrameCrc16({}), 0xC181);
  const std::string abc = "abc";
  EXPECT_EQ(FrameCrc16(std::span(reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size())), 0x2F39);
}

struct FrameCase {
  const char* name;
  bool via;
  RadioId gateway;
  std::optional<RadioId> oneShot;
  RadioId dest;
  std::string data;
  std::string frame;  // expected bytes on the wire; "" = nothing written
};

class FrameBytes : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameBytes, Written) {
  const auto& c = GetParam();
  RecordingTransport serial;
  CommandSender s;
  s.setSerial(&serial);
  s.setSerialConnected(true);
  s.setVia(c.via, c.gateway);
  if (c.oneShot) s.armOneShotGateway(*c.oneShot);
  s.SendFrame(c.dest, test::Hex(c.data));
  EXPECT_EQ(test::ToHex(serial.all()), c.frame);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameBytes,
    ::testing::Values(
        FrameCase{"LocalRead", false, 0, {}, 0, "E2 00 00 00", "00 00 E2 00 00 00 15 B8"},
        FrameCase{"SignalRadio5", false, 0, {}, 5, "D7 00 00 00", "05 00 D7 00 00 00 1A 21"},
        FrameCase{"ThroughGateway2", true, 2, {}, 5, "D7 00 00 00", "02 00 EF 05 00 D7 00 00 00 9F 85"},
        FrameCase{"LocalReadIgnoresVia", true, 2, {}, 0, "E2 00 00 00", "00 00 E2 00 00 00 15 B8"},
        FrameCase{"GatewayZeroStillPrefixed", true, 0, {}, 5, "D7 00 00 00",
                  test::ToHex(BuildRadioFrame(5, test::Hex("D7 00 00 00"), FrameRoute{RadioId{0}, {}}))},
        FrameCase{"EmptyDataSendsNothing", true, 2, {}, 5, "", ""},
        FrameCase{"OneShotAfterGateway", true, 2, RadioId{9}, 5, "D7 00 00 00",
                  test::ToHex(BuildRadioFrame(5, test::Hex("D7 00 00 00"), FrameRoute{RadioId{2}, RadioId{9}}))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameBytes, PrefixesAreInOrderAndCovered) {
  const auto f = BuildRadioFrame(5, test::Hex("D7 00 00 00"), FrameRoute{RadioId{2}, RadioId{9}});
  EXPECT_EQ(test::ToHex(std::span(f).first(9)), "02 00 EF 09 00 EF 05 00 D7");
  EXPECT_EQ(FrameCrc16(std::span(f).first(f.size() - 2)), f[f.size() - 2] | (f.back() << 8));
}

TEST(CommandSender, LimitsAndOneShot) {
  RecordingTransport serial;
  CommandSender s;
  s.setSerial(&serial);
  s.setSerialConnected(true);
  EXPECT_TRUE(s.SendFrame(1, std::vector<std::uint8_t>(991, 0xAA)).empty());
  EXPECT_EQ(s.SendFrame(1, std::vector<std::uint8_t>(990, 0xAA)).size(), 994u);

  s.armOneShotGateway(0);  // armed with 0: skipped and stays armed
  serial.clear();
  s.SendCommand(5, 0xD7, 0, 0, 0);
  EXPECT_EQ(test::ToHex(serial.all()), "05 00 D7 00 00 00 1A 21");
  EXPECT_TRUE(s.oneShotArmed());

  s.armOneShotGateway(3);
  s.SendCommand(5, 0xD7, 0, 0, 0);
  EXPECT_FALSE(s.oneShotArmed());
  serial.clear();
  s.SendCommand(5, 0xD7, 0, 0, 0);
  EXPECT_EQ(test::ToHex(serial.all()), "05 00 D7 00 00 00 1A 21");
}

TEST(CommandSender, LocalReadUnticksVia) {
  RecordingTransport serial;
  CommandSender s;
  s.setSerial(&serial);
  s.setSerialConnected(true);
  s.setVia(true, 2);
  int unticked = 0;
  s.onViaUnticked = [&] { ++unticked; };
  s.SendCommand(0, 0xE2, 0, 0, 0);
  EXPECT_FALSE(s.via());
  EXPECT_EQ(unticked, 1);
  serial.clear();
  s.SendCommand(5, 0xD7, 0, 0, 0);
  EXPECT_EQ(test::ToHex(serial.all()), "05 00 D7 00 00 00 1A 21");
}

TEST(CommandSender, TransportChoice) {
  RecordingTransport serial, tcp;
  CommandSender s;
  s.setSerial(&serial);
  s.setTcp(&tcp);
  tcp.open = false;
  s.SendCommand(5, 0xD7, 0, 0, 0);  // nothing open: dropped
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_TRUE(tcp.writes.empty());

  tcp.open = true;
  s.SendCommand(5, 0xD7, 0, 0, 0);
  EXPECT_EQ(tcp.writes.size(), 1u);
  s.setSerialConnected(true);  // serial wins while it is open
  s.SendCommand(5, 0xD7, 0, 0, 0);
  EXPECT_EQ(serial.writes.size(), 1u);
  EXPECT_EQ(tcp.writes.size(), 1u);
  // The receiver's ACK goes on the socket while it is connected.
  s.writeAck();
  EXPECT_EQ(test::ToHex(tcp.writes.back()), "06");

  std::string failed;
  s.onWriteFailed = [&](const std::string& p) { failed = p; };
  serial.failWrites = true;
  s.SendCommand(5, 0xD7, 0, 0, 0);
  EXPECT_EQ(failed, "serial");
}

#include "link/HexText.h"

TEST(HexText, ParseAndPrint) {
  struct Case {
    const char* in;
    std::optional<std::string> out;
  };
  const Case cases[] = {{"05 00 D7", "05 00 D7"}, {"0500d7", "05 00 D7"}, {"05:00,d7", "05 00 D7"},
                        {"", ""},                 {"5", std::nullopt},  {"05 0 D7", std::nullopt},
                        {"0g", std::nullopt},     {"05 00 D", std::nullopt}};
  for (const auto& c : cases) {
    std::string err;
    const auto b = ParseHex(c.in, &err);
    ASSERT_EQ(b.has_value(), c.out.has_value()) << c.in;
    if (b) EXPECT_EQ(ToHexText(*b), *c.out) << c.in;
    else EXPECT_FALSE(err.empty()) << c.in;
  }
}
