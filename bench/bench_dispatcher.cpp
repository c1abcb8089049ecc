// Routing throughput of the reply dispatcher for a 31-byte parameter reply.
#include <benchmark/benchmark.h>

#include <vector>

#include "link/BasicDispatchContext.h"
#include "link/BurstAssembler.h"
#include "link/ResponseDispatcher.h"

namespace {
class NullTransport : public orvalis::LinkTransport {
public:
  bool isOpen() const override { return true; }
  bool write(std::span<const std::uint8_t>) override { return true; }
};
class CountTarget : public orvalis::DispatchTarget {
public:
  long n = 0;
  void onParameters(const orvalis::Reply& r) override { n += r.bytes.size(); }
};
struct Ctx : orvalis::BasicDispatchContext {
  Ctx() {
    target = 5;
    current = 5;
    gateway = 2;
  }
};
}  // namespace

static void BM_DispatchParameterReply(benchmark::State& state) {
  Ctx ctx;
  CountTarget target;
  NullTransport t;
  orvalis::CommandSender sender;
  sender.setSerial(&t);
  orvalis::ResponseDispatcher d(ctx, target, sender);
  std::vector<std::uint8_t> reply(31, 0x11);
  reply[0] = 5;
  reply[1] = 0;
  reply[2] = 0xD4;
  for (auto _ : state) {
    ctx.awaiting = true;
    d.dispatch(reply, "12:00:00");
  }
  benchmark::DoNotOptimize(target.n);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DispatchParameterReply);

// Bytes through the burst cutter and dispatcher, as the serial path feeds them.
static void BM_ReceivePath(benchmark::State& state) {
  Ctx ctx;
  CountTarget target;
  NullTransport t;
  orvalis::CommandSender sender;
  orvalis::ResponseDispatcher d(ctx, target, sender);
  orvalis::BurstAssembler a([&](std::span<const std::uint8_t> b) { d.dispatch(b, "12:00:00"); });
  std::vector<std::uint8_t> reply(31, 0x11);
  reply[0] = 5;
  reply[2] = 0xD4;
  for (auto _ : state) {
    ctx.awaiting = true;
    a.feed(reply);
    a.onQuiet();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReceivePath);
