#include "link/ResponseDispatcher.h"

#include <algorithm>
#include <string_view>

namespace orvalis {

namespace {
bool StartsWith(std::span<const std::uint8_t> b, std::string_view s) {
  return b.size() >= s.size() && std::equal(s.begin(), s.end(), b.begin(),
                                             [](char c, std::uint8_t x) { return static_cast<std::uint8_t>(c) == x; });
}
}  // namespace

bool ResponseDispatcher::matchesSelection(RadioId source) const {
  if (source == ctx_.currentRadio()) return true;
  const auto gw = ctx_.gatewayShown();
  return gw && *gw == source;
}

void ResponseDispatcher::dispatch(std::span<const std::uint8_t> bytes, std::string_view timeText) {
  if (bytes.empty()) return;
  // Step 0: echo markers on the first new byte.
  const std::uint8_t first = bytes[0];
  if (first == 0xF0 && ctx_.echoButtonVisible()) ctx_.appendTx(" ECO ");
  if (first == 0x0F && ctx_.echoButtonVisible()) ctx_.appendTx(" ECO1 ");
  if (first == 0xCC) ctx_.appendTx(" 0xCC ");

  // Step 1: a short piece is kept while a read or an upload waits for it.
  if (fragCount_ + bytes.size() < 4 && (ctx_.uploadActive() || ctx_.awaitingReply())) {
    std::copy(bytes.begin(), bytes.end(), frag_.begin() + static_cast<std::ptrdiff_t>(fragCount_));
    fragCount_ += bytes.size();
    return;
  }
  std::span<const std::uint8_t> burst = bytes;
  if (fragCount_ > 0) {
    const std::size_t n = std::min(bytes.size(), joined_.size() - fragCount_);
    std::copy_n(frag_.begin(), fragCount_, joined_.begin());
    std::copy_n(bytes.begin(), n, joined_.begin() + static_cast<std::ptrdiff_t>(fragCount_));
    burst = std::span<const std::uint8_t>(joined_.data(), fragCount_ + n);
    fragCount_ = 0;
  }
  if (burst.size() < 5) return;

  const Reply r{burst, timeText};
  const RadioId source = r.source();
  const CommandCode c = r.code();

  if (c == code::kPasswordChange) target_.onPasswordChangeResult(r);  // step 2
  if (c == code::kSignalAny) target_.onSignalAnySource(r);            // step 3

  // Step 4: upload acknowledgements.
  if (ctx_.uploadActive() && ctx_.ackState() == 0 && source == ctx_.targetRadio() &&
      (c == code::kFwWrite || c == code::kFwErase || c == code::kFwEnd || c == code::kRemoteRead ||
       c == code::kLocalRead)) {
    target_.onUploadReply(r);
    return;
  }
  // Step 5: the controller's login answer.
  if (c == code::kLogin) {
    if (burst[0] == 0xFA && burst[1] == 0xFF && burst[3] == 0x02) target_.onControllerLogin(r);
    return;
  }
  // Step 6: event text.
  if (StartsWith(burst, "101") || StartsWith(burst, "5000") || StartsWith(burst, "6000")) {
    target_.onEventText(r);
    return;
  }
  // Steps 7 and 8: the mesh firmware table and the RSSI window.
  if (source == ctx_.targetRadio()) {
    if (c == code::kRemoteRead || (c == code::kLocalRead && ctx_.currentRadio() != 0)) target_.onMeshFwParameters(r);
    if (c == code::kSignalAny || c == code::kSignal) {
      target_.onMeshFwSignal(r);
      if (ctx_.rssiReadFlag()) target_.onRssiWindowSignal(r);
    }
  }
  // Step 9: address match.
  if (matchesSelection(source) && addressedStep(r)) return;

  // Step 10: parameter reads.
  if (ctx_.awaitingReply()) {
    const auto b3 = r.reader().u8(3);
    if (c == code::kRssiList && b3 && *b3 == 1) target_.onRssiList(r);
    if (c == code::kRemoteRead || c == code::kLocalRead) target_.onParameters(r);
    ctx_.setAwaitingReply(false);
    ctx_.setStatus("");
    const auto b17 = r.reader().u8(17);
    if (b17 && *b17 >= 20 && *b17 <= 29) target_.onPeriodicMinutes(r);
  }
  // Step 11: pass-through by active tab.
  const PanelTab tab = ctx_.activeTab();
  if (c == code::kPassThrough) {
    target_.onPassThroughSeen(r);
    switch (tab) {
      case PanelTab::Compatec: target_.onCompatec(r); break;
      case PanelTab::Paradox:
        if (r.reader().u8(3) == std::uint8_t{3}) target_.onParadox(r);
        break;
      case PanelTab::Jfl: target_.onJfl(r); break;
      case PanelTab::Korb7: target_.onKorb7(r); break;
      case PanelTab::Intelbras: target_.onIntelbras(r); return;
      default: break;
    }
  }
  // Step 12.
  if (tab == PanelTab::Viaweb) target_.onViaweb(r);
  // Step 13.
  if (c == code::kP2pStatus) {
    target_.onP2pStatus(r);
    return;
  }
  // Step 14: the fresh read after a configuration command.
  if (trigger_ != 0 && trigger_ == c) {
    trigger_ = 0;
    sender_.SendCommand(ctx_.currentRadio(), code::kLocalRead, 0, 0, 0);
    ctx_.setAwaitingReply(true);
    ctx_.setStatus("Aguardando Resposta");
    target_.onReReadSent();
  }
  // Step 15.
  if (c == code::kRouteQuery) target_.onRouteQuery(r);
}

bool ResponseDispatcher::addressedStep(const Reply& r) {
  ctx_.clearUserText();
  ctx_.setStatus("");
  switch (r.code()) {
    case code::kRelayEcho: target_.onRelayEcho(r); return true;
    case code::kPartitions: target_.onPartitions(r); return true;
    case code::kPasswordResult: target_.onPasswordResult(r); return true;
    case code::kSignalAny:
    case code::kSignal: target_.onSignal(r); return true;
    case code::kNoise: target_.onNoise(r); return true;
    case code::kDiagnostics: target_.onDiagnostics(r); return true;
    case code::kPgmVersion: target_.onPgmVersion(r); return true;
    case code::kPgmInputs: target_.onPgmInputs(r); return true;
    case code::kPgmOutputs: target_.onPgmOutputs(r); return true;
    case code::kPgmEvtd1a:
    case code::kPgmEvtd1b: target_.onPgmEventRow(r); return true;
    case code::kPgmEvtd4a:
    case code::kPgmEvtd4b: target_.onPgmEventFourRows(r); return true;
    case code::kPgmEvtr3a:
    case code::kPgmEvtr3b: target_.onPgmRelayThreeRows(r); return true;
    case code::kRouteTrace: target_.onRouteTrace(r); return true;
    case code::kTable: target_.onTable(r); break;
    case code::kSyncAnalysis: target_.onSyncAnalysis(r); break;
    default: break;
  }
  ctx_.appendTx(ctx_.decimalTicked() ? " CRC CRC\n" : "-CRC-\n");
  return false;
}

}  // namespace orvalis
