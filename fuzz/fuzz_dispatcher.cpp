// Arbitrary bursts through the dispatcher with every routing state varied.
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/BasicDispatchContext.h"
#include "link/DispatchTarget.h"
#include "link/ResponseDispatcher.h"

namespace {
class NullTransport : public orvalis::LinkTransport {
public:
  bool isOpen() const override { return true; }
  bool write(std::span<const std::uint8_t>) override { return true; }
};

// Touches every byte a handler is given, so reads past the burst show up.
class TouchTarget : public orvalis::DispatchTarget {
public:
  unsigned sum = 0;
  void touch(const orvalis::Reply& r) {
    for (auto b : r.bytes) sum += b;
  }
#define T(name) \
  void name(const orvalis::Reply& r) override { touch(r); }
  T(onPasswordChangeResult) T(onSignalAnySource) T(onUploadReply) T(onControllerLogin) T(onEventText)
  T(onMeshFwParameters) T(onMeshFwSignal) T(onRssiWindowSignal) T(onRelayEcho) T(onPartitions) T(onPasswordResult)
  T(onSignal) T(onNoise) T(onDiagnostics) T(onPgmVersion) T(onPgmInputs) T(onPgmOutputs) T(onPgmEventRow)
  T(onPgmEventFourRows) T(onPgmRelayThreeRows) T(onRouteTrace) T(onTable) T(onSyncAnalysis) T(onRssiList)
  T(onParameters) T(onPeriodicMinutes) T(onPassThroughSeen) T(onCompatec) T(onParadox) T(onJfl) T(onKorb7)
  T(onIntelbras) T(onViaweb) T(onP2pStatus) T(onRouteQuery)
#undef T
};


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  orvalis::BasicDispatchContext ctx;
  const std::uint8_t flags = data[0];
  ctx.upload = flags & 1;
  ctx.ack = (flags >> 1) & 1;
  if (flags & 4) ctx.gateway = data[3];
  ctx.echo = flags & 8;
  ctx.decimal = flags & 16;
  ctx.tab = static_cast<orvalis::PanelTab>((flags >> 5) % 7);
  ctx.rssi = flags & 0x80;
  ctx.current = data[1];
  ctx.target = data[2];
  ctx.awaiting = data[4] & 1;
  TouchTarget target;
  NullTransport t;
  orvalis::CommandSender sender;
  sender.setSerial(&t);
  sender.setSerialConnected(true);
  orvalis::ResponseDispatcher d(ctx, target, sender);
  d.armReRead(data[5]);
  // The rest is split into bursts at each 0xFE, so fragments get exercised.
  std::size_t start = 6;
  for (std::size_t i = 6; i <= size; ++i) {
    if (i == size || data[i] == 0xFE) {
      d.dispatch(std::span(data + start, i - start), "00:00:00");
      start = i + 1;
    }
  }
  return static_cast<int>(target.sum & 0);
}
