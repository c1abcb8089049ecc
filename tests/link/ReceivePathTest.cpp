#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/BasicDispatchContext.h"
#include "link/BurstAssembler.h"
#include "link/FrameCrc16.h"
#include "link/RadioFrame.h"
#include "link/ResponseDispatcher.h"
#include "support/Hex.h"
#include "support/RecordingTransport.h"

using namespace orvalis;
using orvalis::test::Hex;
using orvalis::test::RecordingTransport;
using orvalis::test::Text;
using orvalis::test::ToHex;

TEST(BurstAssembler, CutsLongStreamAndWaitsForQuiet) {
  std::vector<std::size_t> sizes;
  BurstAssembler a([&](std::span<const std::uint8_t> b) { sizes.push_back(b.size()); });
  std::vector<std::uint8_t> chunk(BurstAssembler::kReadLimit, 0x55);
  for (int i = 0; i < 2500 / 200; ++i) a.feed(chunk);  // no pause in between
  a.feed(std::span(chunk).first(100));
  EXPECT_EQ(sizes, (std::vector<std::size_t>{1000, 1000}));
  a.onQuiet();
  a.onQuiet();  // nothing gathered: nothing handed over
  EXPECT_EQ(sizes, (std::vector<std::size_t>{1000, 1000, 500}));
}

// Records which handler ran, in order.
class RecordingTarget : public DispatchTarget {
public:
  std::vector<std::string> calls;
#define REC(name) \
  void name(const Reply&) override { calls.push_back(#name); }
  REC(onPasswordChangeResult)
  REC(onSignalAnySource)
  REC(onUploadReply)
  REC(onControllerLogin)
  REC(onEventText)
  REC(onMeshFwParameters)
  REC(onMeshFwSignal)
  REC(onRssiWindowSignal)
  REC(onSignal)
  REC(onNoise)
  REC(onDiagnostics)
  REC(onTable)
  REC(onSyncAnalysis)
  REC(onRouteTrace)
  REC(onParameters)
  REC(onPeriodicMinutes)
  REC(onRssiList)
  REC(onPassThroughSeen)
  REC(onIntelbras)
  REC(onCompatec)
  REC(onParadox)
  REC(onJfl)
  REC(onKorb7)
  REC(onViaweb)
  REC(onP2pStatus)
  REC(onRouteQuery)
#undef REC
  void onReReadSent() override { calls.push_back("onReReadSent"); }
};

// Records what the dispatcher writes to the terminal pane and the status bar.
class FakeContext : public BasicDispatchContext {
public:
  std::string tx, status = "x";
  void appendTx(std::string_view t) override { tx += t; }
  void setStatus(std::string_view t) override { status = t; }
};

struct Fixture {
  FakeContext ctx;
  RecordingTarget target;
  RecordingTransport serial;
  CommandSender sender;
  ResponseDispatcher d{ctx, target, sender};
  Fixture() {
    sender.setSerial(&serial);
    sender.setSerialConnected(true);
  }
  void feed(const std::vector<std::uint8_t>& b) { d.dispatch(b, "12:00:00"); }
};

// A reply from `src` with `code` and a payload padded to a 31-byte burst.
static std::vector<std::uint8_t> ReplyBytes(RadioId src, std::uint8_t code, std::size_t len = 31) {
  std::vector<std::uint8_t> b(len, 0);
  b[0] = static_cast<std::uint8_t>(src);
  b[1] = static_cast<std::uint8_t>(src >> 8);
  b[2] = code;
  return b;
}

struct RouteCase {
  const char* name;
  std::function<void(FakeContext&)> setup;
  std::vector<std::uint8_t> burst;
  std::vector<std::string> calls;
};

class Routing : public ::testing::TestWithParam<RouteCase> {};

TEST_P(Routing, HandlersInOrder) {
  Fixture f;
  GetParam().setup(f.ctx);
  f.feed(GetParam().burst);
  EXPECT_EQ(f.target.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Dispatcher, Routing,
    ::testing::Values(
        RouteCase{"UploadTakesVersionReplyBeforeParameterStep",
                  [](FakeContext& c) {
                    c.upload = true;
                    c.awaiting = true;
                    c.target = 5;
                    c.current = 5;
                  },
                  ReplyBytes(5, 0xD4), {"onUploadReply"}},
        RouteCase{"EventText", [](FakeContext&) {}, Text("5000 181234E13001005\x14"), {"onEventText"}},
        RouteCase{"LinkTest", [](FakeContext&) {}, Text("1011           @    \x14"), {"onEventText"}},
        RouteCase{"UploadOnlyWhileAckStateZero",
                  [](FakeContext& c) {
                    c.upload = true;
                    c.ack = 1;
                    c.target = 5;
                    c.current = 7;
                  },
                  ReplyBytes(5, 0xEB), {}},
        RouteCase{"SignalFromGateway",
                  [](FakeContext& c) {
                    c.current = 5;
                    c.gateway = 2;
                  },
                  ReplyBytes(2, 0xD7), {"onSignal"}},
        RouteCase{"SignalFromOtherRadioIgnored", [](FakeContext& c) { c.current = 5; }, ReplyBytes(9, 0xD7), {}},
        RouteCase{"D5FromTargetUpdatesDisplayAndTable",
                  [](FakeContext& c) {
                    c.current = 5;
                    c.target = 5;
                  },
                  ReplyBytes(5, 0xD5), {"onSignalAnySource", "onMeshFwSignal", "onSignal"}},
        RouteCase{"RssiWindowWhenReadFlag",
                  [](FakeContext& c) {
                    c.target = 4;
                    c.current = 1;
                    c.rssi = true;
                  },
                  ReplyBytes(4, 0xD7), {"onMeshFwSignal", "onRssiWindowSignal"}},
        RouteCase{"ParameterReplyWhileAwaited",
                  [](FakeContext& c) {
                    c.awaiting = true;
                    c.current = 3;
                  },
                  ReplyBytes(3, 0xD4), {"onParameters"}},
        RouteCase{"ParameterReplyNotAwaited", [](FakeContext& c) { c.current = 3; }, ReplyBytes(3, 0xD4), {}},
        RouteCase{"TableThenParameterStep",
                  [](FakeContext& c) {
                    c.current = 3;
                    c.awaiting = true;
                  },
                  ReplyBytes(3, 0xE3), {"onTable"}},
        RouteCase{"PassThroughByTabNotSource",
                  [](FakeContext& c) {
                    c.tab = PanelTab::Jfl;
                    c.current = 1;
                  },
                  ReplyBytes(77, 0xE4), {"onPassThroughSeen", "onJfl"}},
        RouteCase{"IntelbrasFinishes", [](FakeContext& c) { c.tab = PanelTab::Intelbras; }, ReplyBytes(77, 0xE4),
                  {"onPassThroughSeen", "onIntelbras"}},
        RouteCase{"ParadoxNeedsByte3", [](FakeContext& c) { c.tab = PanelTab::Paradox; }, ReplyBytes(77, 0xE4),
                  {"onPassThroughSeen"}},
        RouteCase{"ViawebGetsEverything", [](FakeContext& c) { c.tab = PanelTab::Viaweb; }, ReplyBytes(77, 0xD3),
                  {"onViaweb", "onRouteQuery"}},
        RouteCase{"LoginAnswer", [](FakeContext&) {}, Hex("FA FF 80 02 6F 00 00"), {"onControllerLogin"}},
        RouteCase{"LoginCodeOtherwiseFinishes", [](FakeContext&) {}, Hex("FA FF 80 01 6F 00 00"), {}},
        RouteCase{"ShortBurstDropped", [](FakeContext&) {}, Hex("00 00 D7 00"), {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Dispatcher, FragmentsHeldOnlyWhileWaiting) {
  Fixture f;
  f.ctx.current = 3;
  f.ctx.awaiting = true;
  auto reply = ReplyBytes(3, 0xD4);
  f.feed({reply.begin(), reply.begin() + 3});
  EXPECT_EQ(f.d.heldFragment(), 3u);
  f.feed({reply.begin() + 3, reply.end()});
  EXPECT_EQ(f.target.calls, std::vector<std::string>{"onParameters"});
  EXPECT_FALSE(f.ctx.awaiting);
  EXPECT_EQ(f.ctx.status, "");

  // Three bytes plus one make four: dropped.
  Fixture g;
  g.ctx.awaiting = true;
  g.feed(Hex("00 00 D4"));
  g.feed(Hex("01"));
  EXPECT_EQ(g.d.heldFragment(), 0u);
  EXPECT_TRUE(g.target.calls.empty());

  // Not waiting: three bytes are dropped at once.
  Fixture h;
  h.feed(Hex("00 00 D4"));
  EXPECT_EQ(h.d.heldFragment(), 0u);
}

TEST(Dispatcher, ReReadTriggerFiresOnce) {
  Fixture f;
  f.ctx.current = 0;
  f.d.armReRead(0xED);
  f.feed(ReplyBytes(0, 0xED, 8));
  EXPECT_EQ(ToHex(f.serial.all()), "00 00 E2 00 00 00 15 B8");
  EXPECT_TRUE(f.ctx.awaiting);
  EXPECT_EQ(f.ctx.status, "Aguardando Resposta");
  EXPECT_EQ(f.target.calls, std::vector<std::string>{"onReReadSent"});
  f.serial.clear();
  f.ctx.awaiting = false;
  f.feed(ReplyBytes(0, 0xED, 8));
  EXPECT_TRUE(f.serial.writes.empty());

  f.d.armReRead(0xCC);
  f.d.clearReRead();  // a firmware request disarms it
  f.feed(ReplyBytes(0, 0xCC, 8));
  EXPECT_TRUE(f.serial.writes.empty());
}

TEST(Dispatcher, MarkersInTerminalPane) {
  Fixture f;
  f.ctx.current = 5;
  f.feed(ReplyBytes(5, 0x42, 8));
  EXPECT_EQ(f.ctx.tx, " CRC CRC\n");
  f.ctx.tx.clear();
  f.ctx.decimal = false;
  f.feed(ReplyBytes(5, 0x42, 8));
  EXPECT_EQ(f.ctx.tx, "-CRC-\n");

  FakeContext& c = f.ctx;
  c.tx.clear();
  f.feed(Hex("F0"));  // echo marker only while the echo button is visible
  c.echo = true;
  f.feed(Hex("F0"));
  f.feed(Hex("0F"));
  f.feed(Hex("CC"));
  EXPECT_EQ(c.tx, " ECO  ECO1  0xCC ");
}
