// Hidden service keywords typed into the event pane: three characters show or hide controls.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace orvalis {

enum class KeywordEffect {
  RouteToolsOn,
  EchoOn,
  EchoOff,
  RadioSpeedOn,
  RadioSpeedOff,
  ChannelChangeOn,
  ChannelChangeOff,
  EventAckOn,
  EventAckOff,
  RouteTableResetOn,
  RouteTableResetOff,
  RadioResetOn,
  RadioResetOff,
  RouteDeleteOn,
  RouteDeleteOff,
  E881On,
  E881Off,
  PointToPointOn,
  PointToPointOff,
  EngineeringOn,
  EngineeringOff,
  GatewayOn,
  GatewayOff,
  RfPasswordTimeOff,
};

class KeywordToggles {
 public:
  struct Keyword {
    std::string_view sequence;  // three letters or digits, case-sensitive
    KeywordEffect effect;
  };
  static std::span<const Keyword> Table();

  // One typed character; the effect when it completes a keyword.
  std::optional<KeywordEffect> feed(char32_t c);

 private:
  char32_t first_ = 0;
  char32_t second_ = 0;
};

}  // namespace orvalis
