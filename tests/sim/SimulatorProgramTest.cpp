// The simulator as the tool meets it: QSerialPort on the pseudo-terminal, and the orvalis-sim program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>

#include "link/RadioFrame.h"
#include "sim/Simulator.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::sim::Scenario;
using orvalis::sim::Simulator;
using orvalis::test::Hex;
using orvalis::test::ToHex;

namespace {


Bytes Reply(const char* hex) {
  Bytes b = Hex(hex);
  AppendFrameCrc(b);
  return b;
}

TEST(SimulatorSerialPort, ToolSideOpensThePtyWithQSerialPort) {
  Scenario s = Scenario::builtIn();
  s.startDelayMs = 100;
  Simulator sim(s);
  QString error;
  const QString path = sim.openPty(&error);
  ASSERT_FALSE(path.isEmpty()) << error.toStdString();

  QSerialPort port;
  port.setPortName(path);
  ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
  port.setBaudRate(9600);
  QByteArray got;
  QObject::connect(&port, &QSerialPort::readyRead, [&] { got += port.readAll(); });
  // The start-up events arrive without asking.
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 1500 && !got.contains('\x14')) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_TRUE(got.startsWith("6000 181000E880")) << got.toStdString();

  // Then a command gets its reply between the events.
  const Bytes f = BuildRadioFrame(3, Hex("D8 00 00 00"));
  port.write(reinterpret_cast<const char*>(f.data()), static_cast<qint64>(f.size()));
  const QByteArray want(reinterpret_cast<const char*>(Reply("03 00 D8 64 6F 75").data()), 8);
  t.restart();
  while (t.elapsed() < 1500 && !got.contains(want)) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_TRUE(got.contains(want));
  port.close();
}

TEST(SimulatorProgram, FirstLineIsThePtyPath) {
  const QString program = QString(ORVALIS_BINARY_DIR) + "/orvalis-sim";
  ASSERT_TRUE(QFileInfo::exists(program)) << "build orvalis-sim first";
  QProcess sim;
  sim.start(program, {"--pty", "--split", "2", "--time-scale", "60"});
  ASSERT_TRUE(sim.waitForStarted(5000));
  QByteArray line;
  QElapsedTimer t;
  t.start();
  while (!line.contains('\n') && t.elapsed() < 5000) {
    sim.waitForReadyRead(100);
    line += sim.readAllStandardOutput();
  }
  const QString path = QString::fromLocal8Bit(line.left(line.indexOf('\n')));
  ASSERT_TRUE(path.startsWith("/dev/")) << line.toStdString();

  const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  termios tio{};
  ::tcgetattr(fd, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(fd, TCSANOW, &tio);
  const Bytes f = Hex("02 00 EF 05 00 D7 00 00 00 9F 85");
  ASSERT_EQ(::write(fd, f.data(), f.size()), static_cast<ssize_t>(f.size()));
  const Bytes want = Reply("05 00 D7 02 00 55 53 00 00 00 00 00 00 01 24 FF FE");
  Bytes got;
  t.restart();
  while (t.elapsed() < 3000) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) > 0) {
      std::uint8_t buf[512];
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n > 0) got.insert(got.end(), buf, buf + n);
    }
    if (std::search(got.begin(), got.end(), want.begin(), want.end()) != got.end()) break;
  }
  EXPECT_NE(std::search(got.begin(), got.end(), want.begin(), want.end()), got.end()) << ToHex(got);
  ::close(fd);
  sim.kill();
  sim.waitForFinished(3000);
}

TEST(SimulatorProgram, BadScenarioIsReported) {
  const QString program = QString(ORVALIS_BINARY_DIR) + "/orvalis-sim";
  ASSERT_TRUE(QFileInfo::exists(program)) << "build orvalis-sim first";
  QProcess sim;
  sim.start(program, {"--scenario", "/nonexistent.json"});
  ASSERT_TRUE(sim.waitForFinished(5000));
  EXPECT_EQ(sim.exitCode(), 2);
  EXPECT_TRUE(sim.readAllStandardError().contains("/nonexistent.json"));
}

}  // namespace
