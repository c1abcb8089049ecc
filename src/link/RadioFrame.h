// Builds the bytes of one frame: prefixes, destination, data and CRC.
#pragma once

#include <optional>
#include <span>

#include "link/RadioTypes.h"

namespace orvalis {

struct FrameRoute {
  std::optional<RadioId> gateway;  // "Via ID" prefix
  std::optional<RadioId> oneShot;  // one-shot prefix armed by the RSSI window
};

// Returns an empty vector when data is empty or longer than kMaxFrameData.
Bytes BuildRadioFrame(RadioId dest, std::span<const std::uint8_t> data, const FrameRoute& route = {});

// Appends the frame's CRC (low byte first) to bytes already built.
void AppendFrameCrc(Bytes& frame);

}  // namespace orvalis
