// Shared reply-wait state owned by the main window and read by the pages.
#pragma once

#include <array>
#include <cstdint>

#include "link/RadioTypes.h"

namespace orvalis {

struct MainState {
  RadioId targetRadio = 0;     // whose reply a read, signal or upload waits for
  bool awaitingReply = false;  // a parameter, version or RSSI-list reply is awaited
  bool uploadActive = false;
  int ackState = 0;
  int meshFwState = 0;
  bool rssiReadFlag = false;
  std::array<int, 4> serialNumber{0, 0, 0, 0};  // ID0..ID3
  int hardwareCode = -1;                        // from the last parameter read
  int periodicMinutes = 0;                      // P of the communication table
};

}  // namespace orvalis
