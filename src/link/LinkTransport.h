// One way to the master radio: the serial line or the controller's socket.
#pragma once

#include <cstdint>
#include <span>

namespace orvalis {

class LinkTransport {
public:
  virtual ~LinkTransport() = default;
  virtual bool isOpen() const = 0;
  // Writes all bytes in one call; false when the write failed.
  virtual bool write(std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace orvalis
