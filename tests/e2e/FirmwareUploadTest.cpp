// Firmware upload with the UPGRADE tab's controls to the simulated mesh over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "firmware/RadImageMaker.h"
#include "sim/Simulator.h"
#include "support/ScriptedDialogs.h"
#include "support/WaitFor.h"
#include "ui/AppWindows.h"
#include "ui/UpdateRfPage.h"

using namespace orvalis;

namespace {

std::string MakeImage(std::size_t size, const RadImageOptions& o) {
  std::mt19937 gen(11);
  Bytes data(size - (o.tag ? kVersionTagSize : 0));
  for (auto& b : data) b = static_cast<std::uint8_t>(gen());
  return MakeRadImage(data, o);
}

struct FirmwareOnMesh : ::testing::Test {
  QTemporaryDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<sim::Simulator> simulator;
  std::unique_ptr<AppWindows> app;
  UpdateRfPage* page = nullptr;

  void connectTo(const sim::Scenario& scenario) {
    simulator = std::make_unique<sim::Simulator>(scenario);
    QString error;
    const QString path = simulator->openPty(&error);
    ASSERT_FALSE(path.isEmpty()) << error.toStdString();
    app = std::make_unique<AppWindows>(dialogs, dir.filePath("DIRIDIRUZER.ini"));
    dual().connection().selectPort(path);
    dual().connection().connectButton()->click();
    ASSERT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(";").toStdString();
    dual().setTabShown("UPDATE_RF", true);
    page = qobject_cast<UpdateRfPage*>(dual().page("UPDATE_RF"));
    ASSERT_NE(page, nullptr);
  }
  TDual& dual() { return app->dual(); }
  template <class W = QWidget>
  W* find(const char* name) {
    return dual().findChild<W*>(name);
  }
  void select(int id) {
    find<QComboBox>("ID")->setEditText(QString::number(id));
    dual().selector().IDChange();
  }
  QString paramRow(int r) {
    auto* it = find<QTableWidget>("Param")->item(r, 1);
    return it ? it->text() : QString();
  }
  QString writeImage(const char* name, const std::string& text) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
    return path;
  }
  void openAndStart(const QString& path, int radio, bool viaRf) {
    dialogs.fileAnswers = {path};
    find<QPushButton>("OpenFile")->click();
    ASSERT_TRUE(find<QPushButton>("programa")->isEnabled()) << dual().tx().text().toStdString();
    select(radio);
    find<QCheckBox>("UPD_RF")->setChecked(viaRf);
    find<QPushButton>("programa")->click();
  }
  bool finished() const { return !page->upload().running() && !page->upload().uploadActive(); }
  QString lastTxLine() { return dual().tx().text().split('\n').last(); }
};

TEST_F(FirmwareOnMesh, UploadToRadio5ThenItsParametersShowTheNewImage) {
  connectTo(sim::Scenario::builtIn());
  // Radio 5 (hardware 14, firmware 6.18, bank A) sits two hops out, behind radio 2.
  RadImageOptions o;
  o.headerType = 0x1F;
  o.hardware = 14;
  o.tag = FirmwareVersionTag{7, 3};
  const QString path = writeImage("V7R3B.rad", MakeImage(400, o));
  openAndStart(path, 5, true);
  ASSERT_TRUE(test::WaitFor([&] { return finished(); }, 20000)) << dual().tx().text().toStdString();
  EXPECT_EQ(lastTxLine(), "Firmware carregado com sucesso") << dual().tx().text().toStdString();
  EXPECT_TRUE(dual().tx().text().contains(QStringLiteral("Gravação ok")));
  EXPECT_EQ(find<QProgressBar>("andamento")->value(), 100);
  EXPECT_FALSE(dual().state().uploadActive);

  dual().pages().setCurrentWidget(dual().page("Rede"));
  select(5);
  find<QPushButton>("BLeRemota")->click();
  ASSERT_TRUE(test::WaitFor([&] { return !dual().state().awaitingReply; }, 5000));
  EXPECT_EQ(paramRow(0), "5");
  EXPECT_EQ(paramRow(3), "7");
  EXPECT_EQ(paramRow(4), "3");
  EXPECT_EQ(paramRow(6), "B");

  // The same image again: the radio now runs from bank B, so the header is refused before any erase.
  dual().pages().setCurrentWidget(page);
  openAndStart(path, 5, true);
  ASSERT_TRUE(test::WaitFor([&] { return finished(); }, 10000));
  const QStringList lines = dual().tx().text().split('\n');
  EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("Firmware não é para este Banco de Memória"));
  EXPECT_EQ(lines.last(), "Erro na carga do firmware");
  EXPECT_EQ(simulator->mesh().radio(5)->bank, 1);
}

// Figures of a 64 KiB upload to the master radio (no RF hop), with and without the 9600 bit/s line.
// Takes about four minutes: run with ORVALIS_FW_FIGURES=1.
TEST_F(FirmwareOnMesh, Figures64KiB) {
  if (!std::getenv("ORVALIS_FW_FIGURES")) GTEST_SKIP() << "set ORVALIS_FW_FIGURES=1 to measure";
  QString error;
  // The master alone and quiet: no events share the line with the upload.
  const auto scenario = sim::Scenario::fromJson(R"({"name": "upload figures",
      "events": {"linkTestSeconds": 0, "alarmEverySeconds": 0, "failureAfterSeconds": 0},
      "master": {"hardware": 14, "bank": "A", "commandEventMode": 0, "periodicMinutes": 0},
      "radios": []})",
                                                &error);
  ASSERT_TRUE(scenario) << error.toStdString();
  connectTo(*scenario);
  RadImageOptions o;
  o.headerType = 0x1F;
  o.hardware = 14;
  o.role = 0;
  o.tag = FirmwareVersionTag{6, 31};
  const QString path = writeImage("master64k.rad", MakeImage(64 * 1024, o));

  struct Run {
    bool paced = false;
    double seconds = 0;
    int exchanges = 0;
    std::size_t requestBytes = 0, replyBytes = 0;
    QString file, rf;
  };
  Run runs[2];
  runs[0].paced = true;
  for (Run& r : runs) {
    simulator->setPacing(r.paced);
    QMetaObject::Connection in =
        QObject::connect(simulator.get(), &sim::Simulator::frameReceived, [&r](const QByteArray& f) {
          ++r.exchanges;
          r.requestBytes += static_cast<std::size_t>(f.size());
        });
    QMetaObject::Connection out =
        QObject::connect(simulator.get(), &sim::Simulator::bytesWritten,
                         [&r](const QByteArray& b) { r.replyBytes += static_cast<std::size_t>(b.size()); });
    QElapsedTimer t;
    t.start();
    openAndStart(path, 0, false);
    ASSERT_TRUE(test::WaitFor([&] { return finished(); }, 600000)) << lastTxLine().toStdString();
    r.seconds = static_cast<double>(t.nsecsElapsed()) / 1e9;
    QObject::disconnect(in);
    QObject::disconnect(out);
    ASSERT_EQ(lastTxLine(), "Firmware carregado com sucesso");
    const QStringList lines = dual().tx().text().split('\n');
    r.file = lines[lines.size() - 3];
    r.rf = lines[lines.size() - 2];
    // The master restarted into the new image; the next upload goes to the other bank.
    o.headerType = simulator->mesh().radio(0)->bank == 1 ? 0x0F : 0x1F;
    writeImage("master64k.rad", MakeImage(64 * 1024, o));
  }
  // Floor of the paced run: every request and its answer at 10 bits a byte on 9600 bit/s, the tool's 40 ms
  // quiet that closes each answer, and the simulated master's own 30 ms (5 ms to see the end of a frame,
  // 25 ms to answer; no RF hop to the master).
  const Run& p = runs[0];
  const double floor =
      static_cast<double>(p.requestBytes + p.replyBytes) * 10.0 / 9600.0 + p.exchanges * (0.040 + 0.030);
  std::printf(
      "paced:   %d exchanges, %zu request bytes, %zu reply bytes, %.3f s measured, floor %.3f s, efficiency %.3f\n"
      "         %s\n         %s\n",
      p.exchanges, p.requestBytes, p.replyBytes, p.seconds, floor, floor / p.seconds, qPrintable(p.file),
      qPrintable(p.rf));
  const Run& u = runs[1];
  std::printf("unpaced: %d exchanges, %.3f s, %.1f records/s\n         %s\n         %s\n", u.exchanges, u.seconds,
              (u.exchanges - 3) / u.seconds, qPrintable(u.file), qPrintable(u.rf));
  EXPECT_EQ(p.exchanges, 3 + 2 + 820);  // version read, erase, end; header, 0x04 record, 820 data records
  EXPECT_GE(floor / p.seconds, 0.95);
}

}  // namespace
