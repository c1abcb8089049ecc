#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "events/GridTextFile.h"
#include "sim/Simulator.h"
#include "support/WaitFor.h"

using namespace orvalis;

namespace {
struct CliRun {
  int exitCode = -1;
  QString out, err;
  QJsonObject json(int line = 0) const {
    return QJsonDocument::fromJson(out.split('\n', Qt::SkipEmptyParts).value(line).toUtf8()).object();
  }
};

// Runs orvalis-cli while the event loop keeps the in-process simulator alive.
CliRun Cli(const QStringList& args, int timeoutMs = 10000) {
  QProcess p;
  p.start(QString(ORVALIS_BINARY_DIR) + "/orvalis-cli", args);
  CliRun r;
  if (!test::WaitFor([&] { return p.state() == QProcess::NotRunning; }, timeoutMs)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exitCode = p.exitCode();
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}
}  // namespace

TEST(CliOffline, FrameDecodeAndBadInput) {
  struct Case {
    QStringList args;
    int exit;
    QString out;  // expected stdout (trimmed); empty: not checked
  };
  const Case cases[] = {
      {{"frame", "5", "D7", "00", "00", "00", "--json"}, 0, R"({"frame":"05 00 D7 00 00 00 1A 21"})"},
      {{"--via", "2", "frame", "5", "D7000000"}, 0, "02 00 EF 05 00 D7 00 00 00 9F 85"},
      {{"frame", "0", "E2 00 00 00", "--via", "2"}, 0, "00 00 E2 00 00 00 15 B8"},
      {{"decode", "05 00 D8 5A 65 78 11 22", "--json"}, 0, ""},
      {{"frame", "5", "D7", "0"}, 4, ""},
      {{"frame", "5", "ZZ"}, 4, ""},
      {{"decode", "05"}, 4, ""},
      {{"frame"}, 1, ""},
      {{"bogus"}, 1, ""},
      {{"read", "5", "--port", "/dev/orvalis-no-such-port"}, 2, ""},
      {{"export", "/nonexistent/file.log"}, 4, ""},
  };
  for (const Case& c : cases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.exitCode, c.exit) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
    if (!c.out.isEmpty()) {
      EXPECT_EQ(r.out.trimmed(), c.out) << c.args.join(QChar(32)).toStdString();
    }
    if (c.exit != 0 && c.exit != 1) {
      EXPECT_EQ(r.err.trimmed().count(QChar(10)), 0) << "one line on stderr";
    }
  }
  const CliRun noise = Cli({"decode", "05 00 D8 5A 65 78 11 22", "--json"});
  const QJsonObject o = noise.json();
  EXPECT_EQ(o["kind"].toString(), "noise");
  EXPECT_EQ(o["source"].toInt(), 5);
  EXPECT_EQ(o["max"].toInt(), 0x5A);
  EXPECT_EQ(o["mean"].toInt(), 0x65);
  EXPECT_EQ(o["min"].toInt(), 0x78);

  const QString event = QString::fromLatin1(QByteArray("5000 181234E13001005\x14").toHex(' '));
  const QJsonObject e = Cli({"decode", event, "--json"}).json();
  EXPECT_EQ(e["kind"].toString(), "event");
  EXPECT_EQ(e["description"].toString(), QStringLiteral("Alarme de Furto (padrão)"));
  EXPECT_EQ(e["zone"].toString(), "005");
  EXPECT_FALSE(e["extended"].toBool());
}

TEST(CliOffline, ExportOfAGridFile) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("tabela.log").toStdString();
  ASSERT_EQ(GridTextFile::Save(path, {{"1", "1234", "Descrição, com vírgula"}, {"2", "", "aspas \"x\""}}), "");
  const CliRun csv = Cli({"export", QString::fromStdString(path)});
  EXPECT_EQ(csv.exitCode, 0);
  EXPECT_EQ(csv.out, QStringLiteral("1,1234,\"Descrição, com vírgula\"\n2,,\"aspas \"\"x\"\"\"\n"));
  const CliRun json = Cli({"export", QString::fromStdString(path), "--format", "json"});
  EXPECT_EQ(json.json()["rows"].toArray().size(), 2);
}

struct CliOnMesh : ::testing::Test {
  std::unique_ptr<sim::Simulator> simulator;
  QString port;
  void SetUp() override {
    simulator = std::make_unique<sim::Simulator>(sim::Scenario::builtIn());
    QString error;
    port = simulator->openPty(&error);
    ASSERT_FALSE(port.isEmpty()) << error.toStdString();
  }
  CliRun run(QStringList args) { return Cli(args << "--port" << port << "--json"); }
};

TEST_F(CliOnMesh, ReadsOfTheMesh) {
  const CliRun master = run({"read", "0"});
  ASSERT_EQ(master.exitCode, 0) << master.err.toStdString();
  EXPECT_EQ(master.json()["kind"].toString(), "parameters");
  EXPECT_EQ(master.json()["code"].toInt(), 0xE2);
  EXPECT_EQ(master.json()["rows"].toArray()[0].toArray()[0].toString(), "ID RADIO");

  const CliRun five = run({"read", "5"});
  ASSERT_EQ(five.exitCode, 0) << five.err.toStdString();
  EXPECT_EQ(five.json()["rows"].toArray()[1].toArray()[1].toString(), "13.1.77.5");

  const CliRun signal = run({"signal", "5"});
  ASSERT_EQ(signal.exitCode, 0) << signal.err.toStdString();
  EXPECT_EQ(signal.json()["kind"].toString(), "signal");
  EXPECT_TRUE(signal.json()["link_time_ms"].isDouble());
  EXPECT_EQ(signal.json()["log"].toArray().size(), 1);

  const CliRun diag = run({"diag", "5"});
  ASSERT_EQ(diag.exitCode, 0) << diag.err.toStdString();
  EXPECT_EQ(diag.json()["kind"].toString(), "diagnostics");
  EXPECT_GT(diag.json()["rows"].toArray().size(), 5);

  const CliRun trace = run({"trace", "7"});
  ASSERT_EQ(trace.exitCode, 0) << trace.err.toStdString();
  EXPECT_EQ(trace.json()["origin"].toInt(), 7);
  EXPECT_EQ(trace.json()["route"].toArray().last().toInt(), 0);

  const CliRun silent = run({"read", "12", "--timeout", "800"});
  EXPECT_EQ(silent.exitCode, 3);
}

TEST_F(CliOnMesh, ListenAcknowledgesEvents) {
  simulator->setTimeScale(600);
  const CliRun r = run({"listen", "--ack", "--count", "3", "--seconds", "20"});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
  int events = 0;
  for (const QString& l : lines) events += QJsonDocument::fromJson(l.toUtf8()).object()["kind"] == "event";
  EXPECT_EQ(events, 3);
}

#include "sim/DemoController.h"

TEST(CliOnController, TcpLoginReadAndDiscovery) {
  sim::Simulator simulator(sim::Scenario::builtIn());
  sim::DemoController controller(simulator);
  QString error;
  ASSERT_TRUE(controller.start(&error)) << error.toStdString();
  const QString tcp = QString("127.0.0.1:%1").arg(controller.port());

  const CliRun read = Cli({"read", "5", "--tcp", tcp, "--json"});
  ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
  EXPECT_EQ(read.json()["source"].toInt(), 5);

  const CliRun found = Cli({"discover", "--broadcast", QString("127.0.0.1:%1").arg(controller.discoveryPort()),
                            "--json", "--seconds", "5"});
  ASSERT_EQ(found.exitCode, 0) << found.err.toStdString();
  EXPECT_EQ(found.json()["ip"].toString(), "127.0.0.1");
  EXPECT_EQ(found.json()["port"].toString(), QString::number(controller.port()));

  // A computer another controller does not know yet is registered and refused.
  sim::DemoController strict(simulator);
  ASSERT_TRUE(strict.start(&error)) << error.toStdString();
  strict.controller().setAutoActivate(false);
  const CliRun refused = Cli({"signal", "5", "--tcp", QString("127.0.0.1:%1").arg(strict.port())});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_TRUE(refused.err.contains("controladora")) << refused.err.toStdString();

  const CliRun closed = Cli({"read", "0", "--tcp", "127.0.0.1:1"});
  EXPECT_EQ(closed.exitCode, 2);
}
