// Analysis of a 64 KiB image and the upload state machine against a peer that answers at once.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareUpload.h"
#include "firmware/RadImageMaker.h"

using namespace orvalis;

namespace {
const std::string& Image64K() {
  static const std::string text = [] {
    std::mt19937 rng(3);
    std::vector<std::uint8_t> bytes(64 * 1024);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    RadImageOptions o;
    o.hardware = 13;
    o.role = 1;
    o.tag = FirmwareVersionTag{6, 26};
    return MakeRadImage(bytes, o);
  }();
  return text;
}

Bytes InstantAck(const UploadFrame& f) {
  Bytes r(33, 0);
  r[0] = static_cast<std::uint8_t>(f.dest);
  r[2] = f.data[0];
  if (f.data[0] == 0xEB) {
    r[5] = f.data[4];
    r[6] = f.data[5];
  }
  if (f.data[0] == 0xEA) r[4] = f.data[1];
  r[9] = 13;
  r[18] = 1;
  return r;
}
}  // namespace

static void BM_AnalyseImage64K(benchmark::State& state) {
  const std::string& text = Image64K();
  for (auto _ : state) {
    auto img = FirmwareImage::Analyse(text);
    benchmark::DoNotOptimize(img.flashChecksum());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AnalyseImage64K)->Unit(benchmark::kMicrosecond);

static void BM_UploadImage64K(benchmark::State& state) {
  const std::string& text = Image64K();
  const std::uint32_t total = FirmwareImage::Analyse(text).totalSize();
  std::int64_t records = 0;
  for (auto _ : state) {
    FirmwareUpload up;
    UploadStart s;
    s.target = 5;
    s.text = text;
    s.totalSize = total;
    UploadActions a = up.start(std::move(s));
    while (up.running()) {
      if (a.frames.front().data[0] == 0xEB) ++records;
      a = up.onReply(InstantAck(a.frames.front()));
    }
    if (a.outcome != UploadOutcome::Success) state.SkipWithError("upload failed");
  }
  state.SetItemsProcessed(records);
  state.counters["records/s"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UploadImage64K)->Unit(benchmark::kMillisecond);
