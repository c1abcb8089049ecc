// orvalis-sim: a simulated master radio and mesh on a pseudo-terminal or a loopback TCP port.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <random>

#include "firmware/RadImageMaker.h"
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

struct ImageRequest {
  QString out;
  int size = 64 * 1024;
  std::optional<orvalis::FirmwareVersionTag> tag;
  orvalis::RadImageOptions options;
  unsigned seed = 1;
};

// A test or demo image: random data bytes (from the seed), the version tag in front when one is given.
int MakeImage(const ImageRequest& r) {
  orvalis::RadImageOptions o = r.options;
  o.tag = r.tag;
  const int tagged = r.tag ? static_cast<int>(orvalis::kVersionTagSize) : 0;
  std::mt19937 gen(r.seed);
  std::uniform_int_distribution<int> byte(0, 255);
  orvalis::Bytes data(static_cast<std::size_t>(r.size - tagged));
  for (auto& b : data) b = static_cast<std::uint8_t>(byte(gen));
  const std::string text = orvalis::MakeRadImage(data, o);
  QFile f(r.out);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !f.flush())
    return Fail(QString("cannot write %1: %2").arg(r.out, f.errorString()));
  std::printf("%s: %d data bytes, header 0x%02X, hardware %d, %s, end record 0x%02X\n", qPrintable(r.out), r.size,
              o.headerType, o.hardware, o.role == 0 ? "master radio" : "remote radios",
              o.endType.value_or(o.headerType == 0x1F ? 0x11 : 0x01));
  return 0;
}

// orvalis-sim --make-image OUT [--size N] [--version V --revision R] [--hardware H] [--bank A|B|AB] [--master]
// Its own parser: here --version is the firmware version written into the image.
int MakeImageMain(const QStringList& args) {
  QCommandLineParser cl;
  cl.setApplicationDescription("Writes a test firmware image (.rad) in the maker's layout and exits.");
  cl.addHelpOption();
  const QCommandLineOption makeImage("make-image", "The image file to write.", "OUT");
  const QCommandLineOption size("size", "Data bytes of the image, version tag included (default 65536).", "N");
  const QCommandLineOption version("version", "Firmware version in the image's version tag (0-255).", "V");
  const QCommandLineOption revision("revision", "Firmware revision in the image's version tag (0-255).", "R");
  const QCommandLineOption hardware("hardware", "Hardware code of the header record (default 14).", "H");
  const QCommandLineOption bank("bank", "Memory bank the image is for: A, B (default) or AB (either).", "BANK");
  const QCommandLineOption master("master", "Firmware for the master radio (role 0); default: remote radios.");
  const QCommandLineOption seed("seed", "Seed of the random data bytes (default 1).", "S");
  cl.addOptions({makeImage, size, version, revision, hardware, bank, master, seed});
  cl.process(args);
  ImageRequest r;
  r.out = cl.value(makeImage);
  int v = 0;
  if (cl.isSet(size) && !ToInt(cl.value(size), 1, 0x40000, &r.size))
    return Fail("--size needs a number of bytes 1..262144");
  if (cl.isSet(version) != cl.isSet(revision)) return Fail("--version and --revision go together");
  if (cl.isSet(version)) {
    int rev = 0;
    if (!ToInt(cl.value(version), 0, 255, &v) || !ToInt(cl.value(revision), 0, 255, &rev))
      return Fail("--version and --revision need numbers 0..255");
    if (r.size < static_cast<int>(orvalis::kVersionTagSize))
      return Fail("--size must leave room for the 8-byte version tag");
    r.tag = orvalis::FirmwareVersionTag{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(rev)};
  }
  r.options.hardware = 14;
  if (cl.isSet(hardware)) {
    if (!ToInt(cl.value(hardware), 0, 255, &v)) return Fail("--hardware needs a code 0..255");
    r.options.hardware = static_cast<std::uint8_t>(v);
  }
  const QString b = cl.isSet(bank) ? cl.value(bank).toUpper() : QString("B");
  if (b == "A") {
    r.options.headerType = 0x0F;
  } else if (b == "B") {
    r.options.headerType = 0x1F;
  } else if (b == "AB") {
    r.options.headerType = 0x2F;
  } else {
    return Fail("--bank needs A, B or AB");
  }
  r.options.role = cl.isSet(master) ? 0 : 1;
  if (cl.isSet(seed)) {
    if (!ToInt(cl.value(seed), 0, 0x7FFFFFFF, &v)) return Fail("--seed needs a number");
    r.seed = static_cast<unsigned>(v);
  }
  return MakeImage(r);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("orvalis-sim");
  QCoreApplication::setApplicationVersion(orvalis::kProgramVersion);
  const QStringList args = app.arguments();
  for (const QString& a : args)
    if (a == "--make-image" || a.startsWith("--make-image=")) return MakeImageMain(args);

  QCommandLineParser cl;
  cl.setApplicationDescription(
      "Simulated QM417 master radio and mesh. Answers the tool's radio commands and writes Sur-Gard event\n"
      "messages. Runs until it is killed. Without --pty or --tcp it opens a pseudo-terminal.\n"
      "Test firmware images: orvalis-sim --make-image OUT.rad [--size N] [--version V --revision R] (--help there).");
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
