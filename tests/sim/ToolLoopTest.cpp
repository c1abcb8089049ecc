// The tool's own sender, burst cutting and dispatcher against the mesh, in virtual time.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "link/BurstAssembler.h"
#include "link/CommandSender.h"
#include "link/DispatchContext.h"
#include "link/DispatchTarget.h"
#include "link/ResponseDispatcher.h"
#include "sim/Mesh.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::sim::Mesh;
using orvalis::sim::Output;
using orvalis::sim::Scenario;
using orvalis::test::ToHex;

namespace {

struct Context : DispatchContext {
  bool awaiting = false;
  RadioId current = 0;
  RadioId target = 0;
  bool awaitingReply() const override { return awaiting; }
  void setAwaitingReply(bool on) override { awaiting = on; }
  bool uploadActive() const override { return false; }
  int ackState() const override { return 0; }
  RadioId targetRadio() const override { return target; }
  RadioId currentRadio() const override { return current; }
  std::optional<RadioId> gatewayShown() const override { return std::nullopt; }
  bool echoButtonVisible() const override { return false; }
  bool decimalTicked() const override { return true; }
  PanelTab activeTab() const override { return PanelTab::Other; }
  bool rssiReadFlag() const override { return false; }
  void appendTx(std::string_view) override {}
  void setStatus(std::string_view) override {}
  void clearUserText() override {}
};

struct Target : DispatchTarget {
  std::vector<std::pair<std::string, Bytes>> calls;
  void note(const char* what, const Reply& r) { calls.emplace_back(what, Bytes(r.bytes.begin(), r.bytes.end())); }
  void onEventText(const Reply& r) override { note("event", r); }
  void onSignal(const Reply& r) override { note("signal", r); }
  void onNoise(const Reply& r) override { note("noise", r); }
  void onParameters(const Reply& r) override { note("parameters", r); }
  void onRouteTrace(const Reply& r) override { note("trace", r); }
  void onReReadSent() override { calls.emplace_back("reread", Bytes{}); }
  std::vector<Bytes> of(const std::string& what) const {
    std::vector<Bytes> out;
    for (const auto& [w, b] : calls)
      if (w == what) out.push_back(b);
    return out;
  }
};

// The line between tool and mesh, run millisecond by millisecond.
class ToolLoop : public ::testing::Test, public LinkTransport {
 protected:
  ToolLoop() : ToolLoop(Scenario::builtIn()) {}
  explicit ToolLoop(const Scenario& s)
      : mesh(s), bursts([this](std::span<const std::uint8_t> b) {
          everyBurst.emplace_back(b.begin(), b.end());
          dispatcher.dispatch(b, "12:00:00");
        }) {
    sender.setSerial(this);
    sender.setSerialConnected(true);
  }

  bool isOpen() const override { return true; }
  bool write(std::span<const std::uint8_t> bytes) override {
    if (bytes.size() == 1 && bytes[0] == 0x06) {
      schedule(mesh.onAck(now));
    } else {
      schedule(mesh.onFrame(bytes, now));
    }
    return true;
  }
  void schedule(const std::vector<Output>& outs) {
    for (const Output& o : outs) {
      auto& slot = line[now + o.delayMs];
      slot.insert(slot.end(), o.bytes.begin(), o.bytes.end());
    }
  }
  void run(std::int64_t ms) {
    for (const std::int64_t end = now + ms; now < end; ++now) {
      if (now % 20 == 0) schedule(mesh.onTick(now));
      if (auto it = line.find(now); it != line.end()) {
        // Like the serial component: at most 200 characters per receive event.
        for (std::size_t i = 0; i < it->second.size(); i += BurstAssembler::kReadLimit)
          bursts.feed(std::span(it->second).subspan(i, std::min(BurstAssembler::kReadLimit, it->second.size() - i)));
        lastByte = now;
        line.erase(it);
      }
      if (bursts.pending() && now - lastByte >= BurstAssembler::kQuietMs) bursts.onQuiet();
    }
  }

  Mesh mesh;
  Context ctx;
  Target target;
  CommandSender sender;
  ResponseDispatcher dispatcher{ctx, target, sender};
  BurstAssembler bursts;
  std::map<std::int64_t, Bytes> line;
  std::vector<Bytes> everyBurst;
  std::int64_t now = 0;
  std::int64_t lastByte = 0;
};

TEST_F(ToolLoop, PeriodicChangeIsConfirmedByTheAutomaticReRead) {
  run(5000);  // the start-up events pass
  ctx.current = 8;
  sender.SendCommand(8, code::kPeriodicTest, 1, 0x2C, 0x01);
  dispatcher.armReRead(code::kPeriodicTest);
  run(2000);
  ASSERT_EQ(target.of("reread").size(), 1u);
  const auto params = target.of("parameters");
  ASSERT_EQ(params.size(), 1u);
  EXPECT_EQ(params[0][0], 8);
  EXPECT_EQ(ToHex(std::span(params[0]).subspan(20, 2)), "01 2C");  // 300 minutes
}

TEST_F(ToolLoop, EveryBurstIsOneMessageWhileCommandsAndEventsMix) {
  ctx.current = 5;
  for (int i = 0; i < 40; ++i) {
    sender.setVia(i % 2 == 1, 2);
    sender.SendCommand(5, i % 3 ? code::kSignal : code::kNoise, 0, 0, 0);
    run(150 + 37 * (i % 5));
  }
  run(6000);
  std::size_t events = 0, replies = 0;
  for (const Bytes& b : everyBurst) {
    const std::string text(b.begin(), b.end());
    if (text[0] == '6' || text[0] == '1') {
      ++events;
      EXPECT_EQ(text.find('\x14'), text.size() - 1) << "two messages in one burst: " << text;
    } else {
      ++replies;
      ASSERT_GE(b.size(), 5u);
      EXPECT_EQ(b[0], 5) << ToHex(b);
      EXPECT_TRUE(b.size() == 19 || b.size() == 8) << "reply joined with something: " << ToHex(b);
    }
  }
  EXPECT_EQ(replies, 40u);
  EXPECT_GE(events, 12u);  // the 880s of the master and its eleven answering radios got through
  EXPECT_EQ(target.of("signal").size() + target.of("noise").size(), 40u);
}

TEST_F(ToolLoop, TraceOfARadioBehindItsGateway) {
  run(5000);
  ctx.current = 10;
  sender.SendCommand(10, code::kRouteTrace, 0, 0, 0);
  run(1000);
  const auto traces = target.of("trace");
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_EQ(ToHex(std::span(traces[0]).first(7)), "0A 00 D2 0A 00 07 00");
}

}  // namespace
