// Event intake throughput, grid file save + load of a full table, and one
// refresh tick of the communication table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "events/CommTableModel.h"
#include "events/CommTableSink.h"
#include "events/EventLogModel.h"
#include "events/GridTextFile.h"
#include "events/SurGardIntake.h"
#include "link/BasicDispatchContext.h"
#include "link/CommandSender.h"
#include "link/DispatchContext.h"
#include "link/DispatchTarget.h"
#include "link/ResponseDispatcher.h"

namespace {

using namespace orvalis;

std::vector<std::uint8_t> Burst(int messages) {
  std::string s;
  for (int i = 0; i < messages; ++i) {
    if (i % 2 == 0) {
      s += "5000 18" + std::to_string(1000 + i % 9000) + "E13001005\x14";
    } else {
      char id[8];
      std::snprintf(id, sizeof id, "%04d", i % 1023 + 1);
      s += std::string("6000 184321E88102015 ") + id + "12345678901204503\x14";
    }
  }
  return {s.begin(), s.end()};
}

// Intake, decoding, table updates and the events grid row, per message.
void BM_IntakeMessages(benchmark::State& state) {
  const int perBurst = static_cast<int>(state.range(0));
  const auto burst = Burst(perBurst);
  const Arrival at{TimePoint{} + std::chrono::hours(500000), "11/12/2026 13:40:00", "13:40:00"};
  SurGardIntake intake;
  CommTableModel table;
  CommTableSink sink(table);
  EventLogModel log;
  for (auto _ : state) {
    auto out = intake.feed(burst, at, true);
    for (const auto& r : out)
      if (r.event) {
        ApplyTableUpdates(*r.event, sink);
        log.append(*r.event);
      }
    if (log.rowCount() > 100000) log.clear();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * perBurst);
}
BENCHMARK(BM_IntakeMessages)->Arg(1)->Arg(20);

// The same through the reply dispatcher, with each ACK written to a transport.
class NullTransport : public LinkTransport {
 public:
  bool isOpen() const override { return true; }
  bool write(std::span<const std::uint8_t> b) override {
    written += b.size();
    return true;
  }
  std::size_t written = 0;
};

using IdleContext = BasicDispatchContext;

class IntakeTarget : public DispatchTarget {
 public:
  IntakeTarget(CommandSender& sender, CommTableModel& table) : sender_(sender), sink_(table) {}
  void onEventText(const Reply& r) override {
    const Arrival at{TimePoint{} + std::chrono::hours(500000), "11/12/2026 13:40:00", std::string(r.timeText)};
    for (const auto& x : intake_.feed(r.bytes, at, true)) {
      if (x.sendAck) sender_.writeAck();
      if (x.event) {
        ApplyTableUpdates(*x.event, sink_);
        log_.append(*x.event);
      }
    }
    if (log_.rowCount() > 100000) log_.clear();
  }

 private:
  CommandSender& sender_;
  CommTableSink sink_;
  SurGardIntake intake_;
  EventLogModel log_;
};

void BM_DispatchIntakeMessages(benchmark::State& state) {
  const int perBurst = static_cast<int>(state.range(0));
  const auto burst = Burst(perBurst);
  NullTransport serial;
  CommandSender sender;
  sender.setSerial(&serial);
  sender.setSerialConnected(true);
  CommTableModel table;
  IntakeTarget target(sender, table);
  IdleContext ctx;
  ResponseDispatcher dispatcher(ctx, target, sender);
  for (auto _ : state) dispatcher.dispatch(burst, "13:40:00");
  state.SetItemsProcessed(state.iterations() * perBurst);
  if (serial.written != static_cast<std::size_t>(state.iterations() * perBurst)) state.SkipWithError("ACKs lost");
}
BENCHMARK(BM_DispatchIntakeMessages)->Arg(1)->Arg(20);

GridRows FullTable() {
  GridRows rows;
  for (int r = 0; r < 1023; ++r) {
    GridRow row;
    row.push_back(std::to_string(r + 1));
    row.push_back("Conta " + std::to_string(r));
    for (int c = 2; c < 17; ++c) row.push_back(c % 3 ? "célula, \"texto\" " + std::to_string(c) : "True");
    rows.push_back(std::move(row));
  }
  return rows;
}

void BM_GridSaveLoad1023x17(benchmark::State& state) {
  const GridRows rows = FullTable();
  const auto path = std::filesystem::temp_directory_path() / ("orvalis-bench-" + std::to_string(::getpid()) + ".txt");
  GridRows back;
  for (auto _ : state) {
    if (!GridTextFile::Save(path, rows).empty()) state.SkipWithError("save failed");
    if (!GridTextFile::Load(path, back).empty()) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(back.data());
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_GridSaveLoad1023x17)->Unit(benchmark::kMillisecond);

void BM_GridEncodeDecode1023x17(benchmark::State& state) {
  const GridRows rows = FullTable();
  for (auto _ : state) {
    auto e = GridTextFile::Encode(rows);
    auto d = GridTextFile::Decode(e.bytes);
    benchmark::DoNotOptimize(d.rows.data());
  }
}
BENCHMARK(BM_GridEncodeDecode1023x17)->Unit(benchmark::kMillisecond);

// Every row active; each tick moves Tempo by one second, so every row changes.
void BM_CommTableRefresh1023(benchmark::State& state) {
  CommTableModel table;
  const TimePoint t0 = TimePoint{} + std::chrono::hours(500000);
  for (int id = 1; id <= 1023; ++id) table.updateByRadio(id, std::to_string(id), "08:00:00", "E881", t0);
  TimePoint now = t0;
  std::size_t changed = 0;
  for (auto _ : state) {
    now += std::chrono::seconds(1);
    changed += table.refresh(now).changedRows.size();
  }
  state.counters["rows_changed_per_tick"] =
      benchmark::Counter(static_cast<double>(changed) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_CommTableRefresh1023)->Unit(benchmark::kMicrosecond);

}  // namespace
