// orvalis-sim: a simulated master radio and mesh on a pseudo-terminal or a loopback TCP port.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "platform/Version.h"
#include "sim/Simulator.h"

using orvalis::sim::Scenario;
using orvalis::sim::Simulator;

namespace {

int Fail(const QString& text) {
  std::fprintf(stderr, "orvalis-sim: %s\n", qPrintable(text));
  return 2;
}

bool ToInt(const QString& s, int lo, int hi, int* out) {
  bool ok = false;
  const int v = s.toInt(&ok);
  if (!ok || v < lo || v > hi) return false;
  *out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("orvalis-sim");
  QCoreApplication::setApplicationVersion(orvalis::kProgramVersion);

  QCommandLineParser cl;
  cl.setApplicationDescription(
      "Simulated QM417 master radio and mesh. Answers the tool's radio commands and writes Sur-Gard event\n"
      "messages. Runs until it is killed. Without --pty or --tcp it opens a pseudo-terminal.");
  cl.addHelpOption();
  cl.addVersionOption();
  const QCommandLineOption scenario("scenario", "Mesh description (JSON). Default: the built-in demonstration mesh.",
                                    "FILE");
  const QCommandLineOption pty("pty", "Open a pseudo-terminal; the first line printed is its device path.");
  const QCommandLineOption tcp("tcp", "Listen on 127.0.0.1:PORT (0 picks a free port); prints the address.", "PORT");
  const QCommandLineOption timeScale("time-scale", "Simulated seconds per real second (e.g. 60: a minute a second).",
                                     "X");
  const QCommandLineOption pace("pace", "Write at 9600 bit/s like the real serial line.");
  const QCommandLineOption drop("drop", "Fault: drop the next N replies.", "N");
  const QCommandLineOption split("split", "Fault: write every reply in N pieces.", "N");
  const QCommandLineOption splitGap("split-gap", "Milliseconds between the pieces of a split reply (default 10).",
                                    "MS");
  const QCommandLineOption delay("delay", "Fault: delay every reply by MS more milliseconds.", "MS");
  const QCommandLineOption flip("flip", "Fault: flip one byte in each of the next N replies.", "N");
  const QCommandLineOption silent("silent", "Fault: radio ID never answers (may be repeated).", "ID");
  const QCommandLineOption verbose("verbose", "Log frames and events on standard error.");
  const QCommandLineOption print("print-scenario",
                                 "Print the built-in scenario (a starting point for your own) and exit.");
  cl.addOptions({scenario, pty, tcp, timeScale, pace, drop, split, splitGap, delay, flip, silent, verbose, print});
  cl.process(app);

  if (cl.isSet(print)) {
    const QByteArray json = Scenario::builtInJson();
    std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
    return 0;
  }

  Scenario mesh;
  if (cl.isSet(scenario)) {
    QString error;
    auto s = Scenario::fromFile(cl.value(scenario), &error);
    if (!s) return Fail(error);
    mesh = *s;
  } else {
    mesh = Scenario::builtIn();
  }

  Simulator sim(mesh);
  if (cl.isSet(timeScale)) {
    bool ok = false;
    const double x = cl.value(timeScale).toDouble(&ok);
    if (!ok || x <= 0 || x > 100000) return Fail("--time-scale needs a number above 0 (at most 100000)");
    sim.setTimeScale(x);
  }
  sim.setPacing(cl.isSet(pace));
  int n = 0;
  if (cl.isSet(drop)) {
    if (!ToInt(cl.value(drop), 0, 1000000, &n)) return Fail("--drop needs a count");
    sim.dropNextReplies(n);
  }
  if (cl.isSet(split)) {
    int gap = 10;
    if (!ToInt(cl.value(split), 1, 1000, &n)) return Fail("--split needs a number of pieces");
    if (cl.isSet(splitGap) && !ToInt(cl.value(splitGap), 0, 10000, &gap)) return Fail("--split-gap needs milliseconds");
    sim.setSplitReplies(n, gap);
  }
  if (cl.isSet(delay)) {
    if (!ToInt(cl.value(delay), 0, 600000, &n)) return Fail("--delay needs milliseconds");
    sim.setExtraDelay(n);
  }
  if (cl.isSet(flip)) {
    if (!ToInt(cl.value(flip), 0, 1000000, &n)) return Fail("--flip needs a count");
    sim.flipNextReplies(n);
  }
  for (const QString& id : cl.values(silent)) {
    if (!ToInt(id, 0, 1023, &n)) return Fail("--silent needs a radio id 0..1023");
    sim.setSilentRadio(static_cast<orvalis::RadioId>(n));
  }
  if (cl.isSet(verbose)) {
    QObject::connect(&sim, &Simulator::logLine, [&sim](const QString& line) {
      std::fprintf(stderr, "%8.3f %s\n", static_cast<double>(sim.now()) / 1000.0, qPrintable(line));
    });
  }

  const bool wantTcp = cl.isSet(tcp);
  if (cl.isSet(pty) || !wantTcp) {
    QString error;
    const QString path = sim.openPty(&error);
    if (path.isEmpty()) return Fail("cannot open a pseudo-terminal: " + error);
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
  }
  if (wantTcp) {
    if (!ToInt(cl.value(tcp), 0, 65535, &n)) return Fail("--tcp needs a port 0..65535");
    QString error;
    if (!sim.listenTcp(static_cast<quint16>(n), &error)) return Fail("cannot listen: " + error);
    std::printf("127.0.0.1:%u\n", static_cast<unsigned>(sim.tcpPort()));
    std::fflush(stdout);
  }
  return app.exec();
}
