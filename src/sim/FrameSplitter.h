// Cuts the byte stream from the tool into frames, acknowledgements and stray bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "link/RadioTypes.h"

namespace orvalis::sim {

struct IncomingPiece {
  enum class Kind { Frame, Ack, Raw };
  Kind kind = Kind::Raw;
  Bytes bytes;
};

// The tool writes one frame per write and frames carry no length, so a frame
// ends where the line goes quiet; the CRC then separates writes that arrived
// together (an ACK followed by a frame, two frames).
class FrameSplitter {
 public:
  FrameSplitter() = default;
  explicit FrameSplitter(std::int64_t quietMs) : quietMs_(quietMs) {}

  void feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
  // Pieces complete once the line has been quiet long enough.
  std::vector<IncomingPiece> poll(std::int64_t nowMs);
  // When poll() should be called next, or -1 when nothing is pending.
  std::int64_t dueAt() const { return buffer_.empty() ? -1 : lastByteMs_ + quietMs_; }

  // Splits a quiet-delimited chunk; exposed for tests.
  static std::vector<IncomingPiece> split(std::span<const std::uint8_t> chunk);

 private:
  std::int64_t quietMs_ = 5;
  std::int64_t lastByteMs_ = 0;
  Bytes buffer_;
};

}  // namespace orvalis::sim
