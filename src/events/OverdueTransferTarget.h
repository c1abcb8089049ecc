// Where the communication table hands its overdue radios: the mesh firmware table.
#pragma once

namespace orvalis {

class OverdueTransferTarget {
 public:
  virtual ~OverdueTransferTarget() = default;
  // Tick "R" (read RSSI) in the first row of that radio, if there is one.
  virtual void tickRssiRead(int radioId) = 0;
  // Tick "881" (periodic-test request) in the first row of that radio.
  virtual void tick881(int radioId) = 0;
};

}  // namespace orvalis
