#include "link/BurstAssembler.h"

#include <algorithm>

namespace orvalis {

void BurstAssembler::feed(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const std::size_t n = std::min(bytes.size(), kBurstLimit - count_);
    std::copy_n(bytes.begin(), n, buf_.begin() + static_cast<std::ptrdiff_t>(count_));
    count_ += n;
    bytes = bytes.subspan(n);
    if (count_ == kBurstLimit) {
      count_ = 0;
      sink_(std::span<const std::uint8_t>(buf_.data(), kBurstLimit));
    }
  }
}

void BurstAssembler::onQuiet() {
  if (count_ == 0) return;
  const std::size_t n = count_;
  count_ = 0;
  sink_(std::span<const std::uint8_t>(buf_.data(), n));
}

}  // namespace orvalis
