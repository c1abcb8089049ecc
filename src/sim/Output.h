// One thing the simulated master radio writes to the tool: a reply or an event message.
#pragma once

#include <cstdint>

#include "link/RadioTypes.h"

namespace orvalis::sim {

struct Output {
  enum class Kind { Reply, Event };
  Kind kind = Kind::Reply;
  Bytes bytes;
  std::int64_t delayMs = 0;  // after the `now` of the call that returned it
  RadioId source = 0;        // the answering radio, or the radio an event is about
};

}  // namespace orvalis::sim
