// Cuts Sur-Gard event bursts into messages, decides the ACKs and decodes the events.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "events/ContactIdEvent.h"

namespace orvalis {

struct IntakeResult {
  enum class Kind {
    LinkTest,  // begins with "1": acknowledged, not shown
    Event,     // begins with "5" or "6"
    Ignored,   // begins with any other character
  };
  Kind kind = Kind::Ignored;
  bool sendAck = false;  // write the single byte 0x06 now
  std::string messageText;
  std::optional<ContactIdEvent> event;  // Kind::Event
};

class SurGardIntake {
 public:
  static constexpr std::size_t kMessageBuffer = 200;  // characters kept per message
  static constexpr std::uint8_t kDc4 = 0x14;
  static constexpr std::uint8_t kAck = 0x06;

  // Every message of the burst in order, each ending at its 0x14. A held
  // message cut by the transport is completed first when `burst` continues
  // it; otherwise it is handled first as a message without 0x14. A last
  // message without 0x14 is held for the next burst.
  std::vector<IntakeResult> feed(std::span<const std::uint8_t> burst, const Arrival& at, bool ackEnabled);

  // Whether `bytes` are the rest of the held message: text up to a 0x14,
  // and not the start of a message of their own after a held message that is
  // already complete. The receive path offers every burst here before the
  // dispatcher sees it.
  bool continuesHeld(std::span<const std::uint8_t> bytes) const;
  bool hasHeld() const { return !held_.empty(); }
  // Handles the held part as a message that ended without 0x14 (no ACK).
  std::vector<IntakeResult> flushHeld(const Arrival& at);
  // Called once a second: a part held over a whole tick gets no rest any
  // more and is handled as by flushHeld, so that it is not shown late.
  std::vector<IntakeResult> onTick(const Arrival& at);

 private:
  void process(std::span<const std::uint8_t> message, bool endedWithDc4, const Arrival& at, bool ackEnabled,
               std::vector<IntakeResult>& out) const;

  std::vector<std::uint8_t> held_;
  int heldTicks_ = 0;
};

}  // namespace orvalis
