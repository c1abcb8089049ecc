// Cost of turning one radio reply into what the pages show.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "radio/Diagnostics.h"
#include "radio/LinkQuality.h"
#include "radio/ParameterView.h"
#include "radio/RouteTables.h"

namespace {

std::vector<std::uint8_t> Param() {
  return {0x05, 0x00, 0xD4, 0x2D, 0x00, 0x0A, 0x14, 0x1E, 0x28, 0x0E, 0x00, 0x12, 0x03, 0x00, 0x00, 0x00, 0x00,
          0x14, 0x00, 0x01, 0x01, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x04, 0x03, 0x00, 0x00, 0x01, 0xA5, 0x5A};
}

std::vector<std::uint8_t> Diag() {
  std::vector<std::uint8_t> b(50, 0x11);
  b[0] = 5;
  b[1] = 0;
  b[2] = 0xE7;
  b[44] = 0x55;
  return b;
}

void BM_ParameterView(benchmark::State& s) {
  const auto b = Param();
  for (auto _ : s) benchmark::DoNotOptimize(orvalis::BuildParameterView(b));
}
BENCHMARK(BM_ParameterView);

void BM_Diagnostics(benchmark::State& s) {
  const auto b = Diag();
  for (auto _ : s) benchmark::DoNotOptimize(orvalis::DecodeDiagnostics(b, "12:00:00"));
}
BENCHMARK(BM_Diagnostics);

void BM_SignalAndNoise(benchmark::State& s) {
  const std::vector<std::uint8_t> sig = {0x05, 0x00, 0xD7, 0x02, 0x00, 0x5A, 0x50, 0,   0,
                                         0,    0,    0,    0,    0x01, 0x2C, 0xFE, 0x01};
  const std::vector<std::uint8_t> noise = {0x02, 0x00, 0xD8, 0x50, 0x6E, 0x78};
  orvalis::LinkQuality q;
  for (auto _ : s) {
    benchmark::DoNotOptimize(q.onSignal(sig, true, "12:00:00"));
    benchmark::DoNotOptimize(q.onNoise(noise, 5, "12:00:00"));
  }
}
BENCHMARK(BM_SignalAndNoise);

void BM_LongTrace(benchmark::State& s) {
  std::vector<std::uint8_t> b = {0x0C, 0x00, 0xD2, 0x0C, 0x00};
  while (b.size() < 998) b.insert(b.end(), {0x07, 0x00});
  b.insert(b.end(), {0xA5, 0x5A});
  for (auto _ : s) benchmark::DoNotOptimize(orvalis::RenderTrace(b, "12:00:00"));
}
BENCHMARK(BM_LongTrace);

}  // namespace
