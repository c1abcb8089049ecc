#include "events/KeywordToggles.h"

namespace orvalis {

namespace {

// "1" shows, "0" hides; the two letters name the control.
constexpr KeywordToggles::Keyword kKeywords[] = {
    {"rt1", KeywordEffect::RouteToolsOn},
    {"ec1", KeywordEffect::EchoOn},
    {"ec0", KeywordEffect::EchoOff},
    {"vl1", KeywordEffect::RadioSpeedOn},
    {"vl0", KeywordEffect::RadioSpeedOff},
    {"cn1", KeywordEffect::ChannelChangeOn},
    {"cn0", KeywordEffect::ChannelChangeOff},
    {"ak1", KeywordEffect::EventAckOn},
    {"ak0", KeywordEffect::EventAckOff},
    {"zr1", KeywordEffect::RouteTableResetOn},
    {"zr0", KeywordEffect::RouteTableResetOff},
    {"rr1", KeywordEffect::RadioResetOn},
    {"rr0", KeywordEffect::RadioResetOff},
    {"ar1", KeywordEffect::RouteDeleteOn},
    {"ar0", KeywordEffect::RouteDeleteOff},
    {"E81", KeywordEffect::E881On},
    {"E80", KeywordEffect::E881Off},
    {"pp1", KeywordEffect::PointToPointOn},
    {"pp0", KeywordEffect::PointToPointOff},
    {"en1", KeywordEffect::EngineeringOn},
    {"en0", KeywordEffect::EngineeringOff},
    {"gw1", KeywordEffect::GatewayOn},
    {"gw0", KeywordEffect::GatewayOff},
    {"sh0", KeywordEffect::RfPasswordTimeOff},
};

}  // namespace

std::span<const KeywordToggles::Keyword> KeywordToggles::Table() {
  return kKeywords;
}

std::optional<KeywordEffect> KeywordToggles::feed(char32_t c) {
  std::optional<KeywordEffect> hit;
  for (const auto& k : kKeywords) {
    if (char32_t(k.sequence[0]) == first_ && char32_t(k.sequence[1]) == second_ && char32_t(k.sequence[2]) == c) {
      hit = k.effect;
      break;
    }
  }
  first_ = second_;
  second_ = c;
  return hit;
}

}  // namespace orvalis
