#include "events/SurGardIntake.h"

#include <algorithm>
#include <string_view>

#include "events/SurGardDecoder.h"
#include "events/TextCodec.h"

namespace orvalis {

namespace {

bool StartsWith(std::span<const std::uint8_t> b, std::string_view s) {
  return b.size() >= s.size() && std::equal(s.begin(), s.end(), b.begin(),
                                            [](char c, std::uint8_t x) { return static_cast<std::uint8_t>(c) == x; });
}

bool IsText(std::uint8_t b) {
  return b >= 0x20 && b < 0x7F;
}

bool BeginsMessage(std::span<const std::uint8_t> b) {
  return StartsWith(b, "101") || StartsWith(b, "5000") || StartsWith(b, "6000");
}

// Length an event message has when nothing is missing; 0 when unknown.
std::size_t FullLength(std::span<const std::uint8_t> held) {
  if (held.empty() || (held[0] != '5' && held[0] != '6')) return 0;
  if (held.size() < 7) return 0;
  const std::size_t k = SurGardDecoder::HeaderExtra(held);
  return (held[0] == '6' ? 42 : 20) + k;
}

}  // namespace

bool SurGardIntake::continuesHeld(std::span<const std::uint8_t> bytes) const {
  if (held_.empty()) return false;
  const auto end = std::find(bytes.begin(), bytes.end(), kDc4);
  if (end == bytes.end()) return false;
  if (!std::all_of(bytes.begin(), end, IsText)) return false;
  // A held part that already has every field is a message sent without
  // 0x14; a burst that begins a message of its own is not its rest then.
  const std::size_t full = FullLength(held_);
  const bool complete = full == 0 ? held_[0] == '1' : held_.size() >= full;
  return !(complete && BeginsMessage(bytes));
}

std::vector<IntakeResult> SurGardIntake::flushHeld(const Arrival& at) {
  std::vector<IntakeResult> out;
  if (held_.empty()) return out;
  const std::vector<std::uint8_t> message = std::move(held_);
  held_.clear();
  process(message, false, at, false, out);
  return out;
}

std::vector<IntakeResult> SurGardIntake::onTick(const Arrival& at) {
  if (held_.empty()) return {};
  if (++heldTicks_ < 2) return {};
  return flushHeld(at);
}

std::vector<IntakeResult> SurGardIntake::feed(std::span<const std::uint8_t> burst, const Arrival& at, bool ackEnabled) {
  std::vector<IntakeResult> out;
  std::size_t pos = 0;
  if (!held_.empty()) {
    if (continuesHeld(burst)) {
      const auto end = std::find(burst.begin(), burst.end(), kDc4);
      const std::size_t n = static_cast<std::size_t>(end - burst.begin());
      const std::size_t room = kMessageBuffer - std::min(kMessageBuffer, held_.size());
      held_.insert(held_.end(), burst.begin(), burst.begin() + static_cast<std::ptrdiff_t>(std::min(n, room)));
      const std::vector<std::uint8_t> message = std::move(held_);
      held_.clear();
      process(message, true, at, ackEnabled, out);
      pos = n + 1;
    } else {
      out = flushHeld(at);
    }
  }
  while (pos < burst.size()) {
    // A line break between messages is not part of the next one.
    while (pos < burst.size() && (burst[pos] == '\r' || burst[pos] == '\n')) ++pos;
    if (pos == burst.size()) break;
    const auto rest = burst.subspan(pos);
    const auto end = std::find(rest.begin(), rest.end(), kDc4);
    const std::size_t n = static_cast<std::size_t>(end - rest.begin());
    const auto message = rest.first(std::min(n, kMessageBuffer));
    if (end == rest.end()) {
      // Cut by the transport: wait for its rest. A tail that cannot begin a
      // message is noise and is not kept.
      if (message[0] == '1' || message[0] == '5' || message[0] == '6') {
        held_.assign(message.begin(), message.end());
        heldTicks_ = 0;
      }
      break;
    }
    if (n > 0) process(message, true, at, ackEnabled, out);
    pos += n + 1;
  }
  return out;
}

void SurGardIntake::process(std::span<const std::uint8_t> message, bool endedWithDc4, const Arrival& at,
                            bool ackEnabled, std::vector<IntakeResult>& out) const {
  IntakeResult r;
  r.sendAck = ackEnabled && endedWithDc4;
  r.messageText = TextCodec::Cp1252ToUtf8(message);
  const std::uint8_t first = message.empty() ? 0 : message[0];
  if (first == '1') {
    r.kind = IntakeResult::Kind::LinkTest;
  } else if (first == '5' || first == '6') {
    r.kind = IntakeResult::Kind::Event;
    r.event = SurGardDecoder::Decode(message, endedWithDc4, at);
  } else {
    // Not a message: no ACK, nothing shown.
    r.kind = IntakeResult::Kind::Ignored;
    r.sendAck = false;
  }
  out.push_back(std::move(r));
}

}  // namespace orvalis
