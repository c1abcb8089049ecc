// A LinkTransport that records every write, for tests.
#pragma once

#include <vector>

#include "link/LinkTransport.h"

namespace orvalis::test {

class RecordingTransport : public LinkTransport {
public:
  bool open = true;
  bool failWrites = false;
  std::vector<std::vector<std::uint8_t>> writes;

  bool isOpen() const override { return open; }
  bool write(std::span<const std::uint8_t> bytes) override {
    if (failWrites) return false;
    writes.emplace_back(bytes.begin(), bytes.end());
    return true;
  }
  std::vector<std::uint8_t> all() const {
    std::vector<std::uint8_t> out;
    for (const auto& w : writes) out.insert(out.end(), w.begin(), w.end());
    return out;
  }
  void clear() { writes.clear(); }
};

}  // namespace orvalis::test
