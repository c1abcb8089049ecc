// Cuts the serial byte stream into bursts: 40 ms of quiet or 1000 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace orvalis {

class BurstAssembler {
public:
  static constexpr std::size_t kBurstLimit = 1000;
  static constexpr std::size_t kReadLimit = 200;  // characters per receive event
  static constexpr int kQuietMs = 40;

  using Sink = std::function<void(std::span<const std::uint8_t>)>;
  explicit BurstAssembler(Sink sink) : sink_(std::move(sink)) {}

  // Bytes of one receive event (the caller reads at most kReadLimit at a
  // time); a full buffer is handed over at once. The caller then (re)starts
  // its quiet timer of kQuietMs.
  void feed(std::span<const std::uint8_t> bytes);
  // The quiet timer fired: hand over what has gathered.
  void onQuiet();
  std::size_t pending() const { return count_; }

private:
  Sink sink_;
  std::array<std::uint8_t, kBurstLimit> buf_{};
  std::size_t count_ = 0;
};

}  // namespace orvalis
