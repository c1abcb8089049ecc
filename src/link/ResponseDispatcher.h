// Decides what a received burst is and which handler gets it (steps 0-16).
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "link/CommandSender.h"
#include "link/DispatchContext.h"
#include "link/DispatchTarget.h"

namespace orvalis {

class ResponseDispatcher {
public:
  ResponseDispatcher(DispatchContext& ctx, DispatchTarget& target, CommandSender& sender)
      : ctx_(ctx), target_(target), sender_(sender) {}

  void dispatch(std::span<const std::uint8_t> bytes, std::string_view timeText);

  // The pending re-read trigger (step 14).
  void armReRead(CommandCode code) { trigger_ = code; }
  void clearReRead() { trigger_ = 0; }
  CommandCode reReadTrigger() const { return trigger_; }
  std::size_t heldFragment() const { return fragCount_; }

private:
  bool matchesSelection(RadioId source) const;
  // Returns true when the burst is finished.
  bool addressedStep(const Reply& r);

  DispatchContext& ctx_;
  DispatchTarget& target_;
  CommandSender& sender_;
  std::array<std::uint8_t, 3> frag_{};
  std::size_t fragCount_ = 0;
  // Joined fragment + burst; large enough for the longest read (TCP, 2000).
  std::array<std::uint8_t, 2003> joined_{};
  CommandCode trigger_ = 0;
};

}  // namespace orvalis
