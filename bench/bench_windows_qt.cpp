// Window figures: 1000 events shown in the events window, and one refresh tick of
// the communication table with 1023 active rows including the view update.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>

#include "ui/AppWindows.h"
#include "ui/Dialogs.h"

using namespace orvalis;

namespace {
class NoDialogs : public Dialogs {
public:
  void information(const QString&, const QString&) override {}
  void warning(const QString&, const QString&) override {}
  void error(const QString&, const QString&) override {}
  bool confirm(const QString&, const QString&) override { return true; }
  QString openFile(const QString&, const QString&, int) override { return {}; }
  QString saveFile(const QString&, const QString&, int, const QString&) override { return {}; }
};

QByteArray Message(int i) {
  // Standard events of 1000 accounts, one message per burst as the link cuts them.
  return QString("5000 18%1E13001%2\x14").arg(1000 + i % 9000, 4, 10, QChar('0')).arg(i % 1000, 3, 10, QChar('0')).toLatin1();
}
}  // namespace

static void BM_ThousandEventsShown(benchmark::State& state) {
  QTemporaryDir dir;
  NoDialogs dialogs;
  for (auto _ : state) {
    state.PauseTiming();
    AppWindows app(dialogs, dir.filePath("DIRIDIRUZER.ini"));
    app.dual().show();
    app.evento().show();
    QApplication::processEvents();
    state.ResumeTiming();
    for (int i = 0; i < 1000; ++i) app.dual().ResponseDispatcherCall(Message(i));
    QApplication::processEvents();  // paint what arrived
    benchmark::DoNotOptimize(app.evento().model().rowCount());
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandEventsShown)->Unit(benchmark::kMillisecond)->Iterations(5);

static void BM_CommTableRefreshTick(benchmark::State& state) {
  QTemporaryDir dir;
  NoDialogs dialogs;
  AppWindows app(dialogs, dir.filePath("DIRIDIRUZER.ini"));
  app.per().show();
  auto now = std::chrono::system_clock::now();
  for (int id = 1; id <= 1023; ++id) app.per().table().updateByRadio(id, "1234", "12:00:00", "E881", now);
  QApplication::processEvents();
  for (auto _ : state) {
    now += std::chrono::seconds(1);
    app.per().refresh(now);
    QApplication::processEvents();  // the view repaints the rows that changed
  }
}
BENCHMARK(BM_CommTableRefreshTick)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
