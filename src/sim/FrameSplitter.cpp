#include "sim/FrameSplitter.h"

#include "link/FrameCrc16.h"

namespace orvalis::sim {

namespace {
constexpr std::uint8_t kAck = 0x06;
constexpr std::size_t kMinFrame = 5;  // id, code, CRC
}  // namespace

void FrameSplitter::feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
  if (bytes.empty()) return;
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  lastByteMs_ = nowMs;
  // A runaway stream without pauses must not grow without bound.
  if (buffer_.size() > 4 * kFrameBufferSize) buffer_.erase(buffer_.begin(), buffer_.end() - kFrameBufferSize);
}

std::vector<IncomingPiece> FrameSplitter::poll(std::int64_t nowMs) {
  if (buffer_.empty() || nowMs - lastByteMs_ < quietMs_) return {};
  Bytes chunk;
  chunk.swap(buffer_);
  return split(chunk);
}

std::vector<IncomingPiece> FrameSplitter::split(std::span<const std::uint8_t> chunk) {
  std::vector<IncomingPiece> out;
  std::size_t pos = 0;
  Bytes raw;
  auto flushRaw = [&] {
    if (!raw.empty()) out.push_back({IncomingPiece::Kind::Raw, std::move(raw)});
    raw.clear();
  };
  while (pos < chunk.size()) {
    // The whole rest wins over an earlier match: a frame whose CRC happens to
    // match part-way through stays in one piece.
    std::size_t end = 0;
    std::uint16_t crc = kFrameCrcInit;
    for (std::size_t e = pos + 2; e <= chunk.size(); ++e) {
      // crc covers chunk[pos, e - 2); e is a candidate end (one past the CRC).
      if (e >= pos + kMinFrame && chunk[e - 2] == (crc & 0xFF) && chunk[e - 1] == (crc >> 8)) {
        if (end == 0 || e == chunk.size()) end = e;
      }
      crc = FrameCrc16(chunk.subspan(e - 2, 1), crc);
    }
    if (end) {
      flushRaw();
      out.push_back({IncomingPiece::Kind::Frame, Bytes(chunk.begin() + static_cast<std::ptrdiff_t>(pos), chunk.begin() + static_cast<std::ptrdiff_t>(end))});
      pos = end;
    } else if (chunk[pos] == kAck) {
      flushRaw();
      out.push_back({IncomingPiece::Kind::Ack, {kAck}});
      ++pos;
    } else {
      raw.push_back(chunk[pos]);
      ++pos;
    }
  }
  flushRaw();
  return out;
}

}  // namespace orvalis::sim
