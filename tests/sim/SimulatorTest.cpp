// The simulator on a real pseudo-terminal and on loopback TCP, with its faults.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <string>

#include "link/RadioFrame.h"
#include "sim/Simulator.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::sim::Scenario;
using orvalis::sim::Simulator;
using orvalis::test::Hex;
using orvalis::test::ToHex;

namespace {


// The default mesh with its events held back, so that only replies reach the line.
Scenario Quiet() {
  Scenario s = Scenario::builtIn();
  s.startDelayMs = 600000;
  s.linkTestSeconds = 0;
  s.alarmEverySeconds = 0;
  s.failureAfterSeconds = 0;
  return s;
}

// Reads what arrives on fd for `ms`, running the simulator's event loop meanwhile.
// Records the gaps between arrivals so that split writes can be seen.
struct Received {
  Bytes bytes;
  int reads = 0;
};

Received ReadFor(int fd, int ms, std::size_t stopAt = 0) {
  Received r;
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 1) > 0 && (p.revents & POLLIN)) {
      std::uint8_t buf[512];
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n > 0) {
        r.bytes.insert(r.bytes.end(), buf, buf + n);
        ++r.reads;
      }
    }
    if (stopAt && r.bytes.size() >= stopAt) break;
  }
  return r;
}

void Write(int fd, const Bytes& b) {
  ASSERT_EQ(::write(fd, b.data(), b.size()), static_cast<ssize_t>(b.size()));
}

Bytes WithCrc(const char* hex) {
  Bytes b = Hex(hex);
  AppendFrameCrc(b);
  return b;
}

class PtyLine : public ::testing::Test {
 protected:
  void SetUp() override {
    QString error;
    path = sim.openPty(&error);
    ASSERT_FALSE(path.isEmpty()) << error.toStdString();
    fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    ReadFor(fd, 120);  // the simulator notices the open device
  }
  void TearDown() override {
    if (fd >= 0) ::close(fd);
  }

  Simulator sim{Quiet()};
  QString path;
  int fd = -1;
};

const char* kSignal5 = "05 00 D7 00 00 00";
const char* kSignal5Reply = "05 00 D7 02 00 55 53 00 00 00 00 00 00 01 24 FF FE";

TEST_F(PtyLine, FrameInReplyOut) {
  EXPECT_TRUE(path.startsWith("/dev/"));
  Write(fd, BuildRadioFrame(5, Hex("D7 00 00 00")));
  const Received r = ReadFor(fd, 1500, 19);
  EXPECT_EQ(ToHex(r.bytes), ToHex(WithCrc(kSignal5Reply)));
}

TEST_F(PtyLine, GatewayPrefixThroughTheLine) {
  Write(fd, Hex("02 00 EF 05 00 D7 00 00 00 9F 85"));
  EXPECT_EQ(ToHex(ReadFor(fd, 1500, 19).bytes), ToHex(WithCrc(kSignal5Reply)));
}

TEST_F(PtyLine, SilentRadioAndDroppedReplyGiveNothing) {
  sim.setSilentRadio(3);
  Write(fd, BuildRadioFrame(3, Hex("D8 00 00 00")));
  EXPECT_TRUE(ReadFor(fd, 400).bytes.empty());
  sim.dropNextReplies(1);
  Write(fd, BuildRadioFrame(1, Hex("D8 00 00 00")));
  EXPECT_TRUE(ReadFor(fd, 400).bytes.empty());
  Write(fd, BuildRadioFrame(1, Hex("D8 00 00 00")));
  EXPECT_EQ(ToHex(ReadFor(fd, 1000, 8).bytes), ToHex(WithCrc("01 00 D8 63 6C 73")));
}

TEST_F(PtyLine, SplitReplyArrivesInPiecesThatJoin) {
  sim.setSplitReplies(3, 15);
  Write(fd, BuildRadioFrame(5, Hex(std::string(kSignal5).substr(6))));
  const Received r = ReadFor(fd, 1500, 19);
  EXPECT_EQ(ToHex(r.bytes), ToHex(WithCrc(kSignal5Reply)));
  EXPECT_GE(r.reads, 3);
}

TEST_F(PtyLine, FlippedByteAndExtraDelay) {
  sim.flipNextReplies(1);
  sim.setExtraDelay(300);
  Write(fd, BuildRadioFrame(1, Hex("D8 00 00 00")));
  EXPECT_TRUE(ReadFor(fd, 250).bytes.empty());
  const Bytes got = ReadFor(fd, 1000, 8).bytes;
  const Bytes want = WithCrc("01 00 D8 63 6C 73");
  ASSERT_EQ(got.size(), want.size());
  int differing = 0;
  for (std::size_t i = 0; i < got.size(); ++i) differing += got[i] != want[i];
  EXPECT_EQ(differing, 1);
}

TEST_F(PtyLine, PacedAt9600) {
  sim.setPacing(true);
  QElapsedTimer t;
  t.start();
  Write(fd, BuildRadioFrame(0, Hex("E2 00 00 00")));
  const Received r = ReadFor(fd, 1500, 33);
  ASSERT_EQ(r.bytes.size(), 33u);
  // 33 characters take about 34 ms at 9600 bit/s, after the master's own answer time.
  EXPECT_GE(t.elapsed(), 25 + 30);
  EXPECT_GE(r.reads, 2);
}

TEST_F(PtyLine, PacedLineCarriesTheToolsFramesAt9600Too) {
  sim.setPacing(true);
  // A write packet of 80 data bytes: 92 bytes in the frame, about 96 ms on the line before the master can
  // see its end; then 5 ms of quiet and the master's 25 ms.
  Bytes packet{0xEB, 0x00, 0x00, 80, 0x00, 0x00};
  packet.resize(6 + 80 + 2, 0x11);
  const Bytes frame = BuildRadioFrame(0, packet);
  ASSERT_EQ(frame.size(), 92u);
  QElapsedTimer t;
  t.start();
  Write(fd, frame);
  const Received first = ReadFor(fd, 1500, 1);
  ASSERT_FALSE(first.bytes.empty());
  EXPECT_GE(t.elapsed(), 96 + 5 + 25);
}

TEST_F(PtyLine, EchoByteComesBack) {
  Write(fd, Hex("F0"));
  EXPECT_EQ(ToHex(ReadFor(fd, 500, 1).bytes), "F0");
}

TEST(SimulatorEvents, EventsAndAckOverThePty) {
  Scenario s = Quiet();
  s.startDelayMs = 0;
  s.ackTimeoutMs = 300;
  s.radios[0].protocol = 0;  // with ACK
  s.radios[0].commandEventMode = 1;
  Simulator sim(s);
  QString error;
  const QString path = sim.openPty(&error);
  ASSERT_FALSE(path.isEmpty()) << error.toStdString();
  const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  termios t{};
  ::tcgetattr(fd, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(fd, TCSANOW, &t);
  // Nobody acknowledges: the master's 880 comes again after the timeout.
  const Bytes firstBytes = ReadFor(fd, 250).bytes;
  const std::string first(firstBytes.begin(), firstBytes.end());
  EXPECT_EQ(first.substr(0, 20), "5000 181000E88000000") << first;
  const Received again = ReadFor(fd, 300);
  EXPECT_EQ(std::string(again.bytes.begin(), again.bytes.end()).substr(0, 20), "5000 181000E88000000");
  // The ACK lets the next radio's 880 through.
  Write(fd, Hex("06"));
  const Received next = ReadFor(fd, 250);
  EXPECT_EQ(std::string(next.bytes.begin(), next.bytes.end()).substr(0, 22), "500000 181001E88001001");
  ::close(fd);
}

TEST(SimulatorTcp, LoopbackOnly) {
  Simulator sim(Quiet());
  QString error;
  ASSERT_TRUE(sim.listenTcp(0, &error)) << error.toStdString();
  ASSERT_NE(sim.tcpPort(), 0);
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(sim.tcpPort());
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ReadFor(s, 50);
  Write(s, BuildRadioFrame(5, Hex("D2 00 00 00")));
  EXPECT_EQ(ToHex(ReadFor(s, 1500, 9).bytes), ToHex(WithCrc("05 00 D2 05 00 02 00")));
  ::close(s);
}

}  // namespace
