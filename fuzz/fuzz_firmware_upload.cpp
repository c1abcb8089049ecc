// Arbitrary reply bursts, timer expiries, pauses, cancels and restarts thrown at a running upload.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareUpload.h"
#include "firmware/RadImageMaker.h"

using namespace orvalis;

namespace {
const std::string& Image() {
  static const std::string text = [] {
    std::vector<std::uint8_t> bytes(400);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    RadImageOptions o;
    o.hardware = 13;
    o.role = 1;
    o.recordSize = 0x18;
    o.tag = FirmwareVersionTag{6, 26};
    return MakeRadImage(bytes, o);
  }();
  return text;
}

UploadStart Start(UploadMode mode, std::size_t offset) {
  UploadStart s;
  s.mode = mode;
  s.target = 5;
  s.text = Image();
  s.totalSize = FirmwareImage::Analyse(Image()).totalSize();
  s.startOffset = offset;
  return s;
}

void Check(const FirmwareUpload& up, const UploadActions& a) {
  if (a.frames.size() > 1) std::abort();
  // Exactly one thing is awaited whenever the upload is waiting.
  if (!a.frames.empty() && !up.running()) std::abort();
  if (!a.frames.empty() && !a.armTimerMs) std::abort();
  // The dispatcher hands over replies only while active with AckState 0: that must mean a wait is running.
  if (up.uploadActive() && up.ackState() == 0 && !up.running()) std::abort();
  if (up.retryBudget() < 0 || up.retryBudget() > FirmwareUpload::kWriteRetries) std::abort();
  if (a.progress && (*a.progress < 0 || *a.progress > 100)) std::abort();
  if (up.posFw() > Image().size()) std::abort();
  if (a.outcome != UploadOutcome::None && up.running()) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr std::uint8_t kCodes[] = {0xEB, 0xE9, 0xEA, 0xD4, 0xE2};
  FirmwareUpload up;
  Check(up, up.start(Start(UploadMode::New, 0)));
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t op = data[i++];
    UploadActions a;
    switch (op & 7) {
      case 0:
      case 1:
      case 2:
      case 3: {
        // A reply from the target with one of the firmware codes and fuzzed bytes after it.
        const std::size_t n = std::min<std::size_t>(op >> 3, size - i);
        std::vector<std::uint8_t> burst{0x05, 0x00, kCodes[(op >> 1) % 5]};
        burst.insert(burst.end(), data + i, data + i + n);
        i += n;
        a = up.onReply(burst);
        break;
      }
      case 4: {
        const std::size_t n = std::min<std::size_t>(op >> 3, size - i);
        a = up.onReply(std::span(data + i, n));
        i += n;
        break;
      }
      case 5:
        a = up.onTimeout();
        break;
      case 6:
        a = (op & 8) ? up.pause() : up.cancel();
        break;
      default:
        if (op & 8)
          a = up.resume();
        else
          a = up.start(Start((op & 16) ? UploadMode::Continue : UploadMode::New, (op >> 5) * 97u));
        break;
    }
    Check(up, a);
  }
  return 0;
}
