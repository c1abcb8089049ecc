#include <gtest/gtest.h>

#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QUdpSocket>
#include <optional>

#include "link/BasicDispatchContext.h"
#include "link/CommandSender.h"
#include "link/ControllerLogin.h"
#include "link/DispatchContext.h"
#include "link/RadioFrame.h"
#include "link/ResponseDispatcher.h"
#include "platform/ComputerToken.h"
#include "platform/ControllerDiscovery.h"
#include "platform/TcpControllerLink.h"
#include "sim/ControllerSim.h"
#include "support/Hex.h"
#include "support/WaitFor.h"

using namespace orvalis;
using orvalis::sim::ControllerSim;

namespace {

QByteArray Q(std::span<const std::uint8_t> b) {
  return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

TokenDigest TokenFor(const char* user) {
  const auto r = ComputerToken::FromIdentities(user, "{3D1219C7-C4C5-404A-AA1F-6D2A48ADFDA4}");
  return r.digest;
}

QByteArray LoginFrame(const TokenDigest& t, const FrameRoute& route = {}) {
  return Q(BuildRadioFrame(kControllerId, BuildLoginMessage(t), route));
}

// One computer logging in the way the main window does: login on connect, close unless "o".
class Computer {
 public:
  explicit Computer(TokenDigest token) : token_(token) {
    QObject::connect(&link, &TcpControllerLink::connected,
                     [this] { link.write(BuildRadioFrame(kControllerId, BuildLoginMessage(token_))); });
    QObject::connect(&link, &TcpControllerLink::bytesRead, [this](const QByteArray& b) {
      const auto a = DecodeLoginAnswer(std::span(reinterpret_cast<const std::uint8_t*>(b.constData()), b.size()));
      if (!answer && a) {
        answer = a;
        if (!a->keepOpen) link.disconnectFromHost();
      } else {
        received += b;
      }
    });
  }

  // The answer to one login; absent when none came.
  std::optional<LoginAnswer> login(quint16 port) {
    answer.reset();
    link.connectToHost(QStringLiteral("127.0.0.1"), port);
    test::WaitFor([&] { return answer.has_value(); });
    return answer;
  }

  TcpControllerLink link;
  std::optional<LoginAnswer> answer;
  QByteArray received;

 private:
  TokenDigest token_;
};

class ControllerSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QString error;
    ASSERT_TRUE(sim.listen(0, &error)) << error.toStdString();
    sim.toMesh = [this](const QByteArray& b) { toMesh += b; };
  }
  ControllerSim sim;
  QByteArray toMesh;
};

TEST_F(ControllerSimTest, NewComputerIsRegisteredThenWaitsForActivation) {
  const TokenDigest token = TokenFor("1000:maria");
  Computer pc(token);

  auto a = pc.login(sim.port());
  ASSERT_TRUE(a);
  EXPECT_EQ(a->status, 'c');
  EXPECT_TRUE(sim.isRegistered(token));
  ASSERT_TRUE(test::WaitFor([&] { return !pc.link.isActive(); }));

  a = pc.login(sim.port());
  ASSERT_TRUE(a);
  EXPECT_EQ(a->status, 'b');
  EXPECT_EQ(a->txLines.back(), "TCP/IP Desconectado");
  ASSERT_TRUE(test::WaitFor([&] { return !pc.link.isActive(); }));
  EXPECT_EQ(sim.loggedInCount(), 0);

  sim.activate(token);
  a = pc.login(sim.port());
  ASSERT_TRUE(a);
  EXPECT_EQ(a->status, 'o');
  EXPECT_EQ(QString::fromStdString(a->macText.value_or("")), sim.macText());
  EXPECT_EQ(sim.macText(), "00:1a:2b:3c:4d:5e");
  EXPECT_TRUE(pc.link.isOpen());
  EXPECT_TRUE(test::WaitFor([&] { return sim.loggedInCount() == 1; }));
  EXPECT_EQ(sim.registeredCount(), 1);
}

TEST_F(ControllerSimTest, RelaysBothWaysOnceLoggedIn) {
  const TokenDigest token = TokenFor("1000:maria");
  sim.registerComputer(token, true);
  Computer pc(token);
  ASSERT_EQ(pc.login(sim.port())->status, 'o');

  const auto read = BuildRadioFrame(5, test::Hex("D7 00 00 00"));
  pc.link.write(read);
  ASSERT_TRUE(test::WaitFor([&] { return toMesh.size() >= 8; }));
  EXPECT_EQ(toMesh, Q(read));

  const QByteArray reply = Q(test::Hex("05 00 D7 40 50 11 22"));
  sim.fromMesh(reply);
  ASSERT_TRUE(test::WaitFor([&] { return pc.received.size() >= reply.size(); }));
  EXPECT_EQ(pc.received, reply);
}

TEST_F(ControllerSimTest, NothingIsRelayedBeforeALogin) {
  QTcpSocket s;
  s.connectToHost(QHostAddress::LocalHost, sim.port());
  ASSERT_TRUE(test::WaitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }));
  s.write(Q(BuildRadioFrame(5, test::Hex("D7 00 00 00"))));
  s.flush();
  test::WaitFor([] { return false; }, 100);
  sim.fromMesh("5000 event");
  EXPECT_FALSE(test::WaitFor([&] { return s.bytesAvailable() > 0 || !toMesh.isEmpty(); }, 150));

  // A login and a frame in one write: the frame goes on after the accepted login.
  const TokenDigest token = TokenFor("1000:joao");
  sim.registerComputer(token, true);
  const auto frame = BuildRadioFrame(7, test::Hex("E2 00 00 00"));
  s.write(LoginFrame(token) + Q(frame));
  ASSERT_TRUE(test::WaitFor([&] { return toMesh.size() >= 8; }));
  EXPECT_EQ(toMesh, Q(frame));
}

TEST_F(ControllerSimTest, LoginAnswersForEachRegistryState) {
  struct Case {
    const char* name;
    bool autoActivate;
    bool commError;
    int othersRegistered;  // computers already on the controller
    char status;
  };
  const Case cases[] = {
      {"AutoActivateAcceptsAtOnce", true, false, 0, 'o'},
      {"FullRegistry", false, false, ControllerSim::kMaxComputers, 'n'},
      {"FullEvenWithAutoActivate", true, false, ControllerSim::kMaxComputers, 'n'},
      {"RoomForOneMore", false, false, ControllerSim::kMaxComputers - 1, 'c'},
      {"CommunicationError", false, true, 0, 'e'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ControllerSim one;
    ASSERT_TRUE(one.listen());
    one.setAutoActivate(c.autoActivate);
    one.setCommError(c.commError);
    for (int i = 0; i < c.othersRegistered; ++i)
      ASSERT_TRUE(one.registerComputer(TokenFor(("other" + std::to_string(i)).c_str()), true));
    const TokenDigest token = TokenFor("1000:maria");
    Computer pc(token);
    const auto a = pc.login(one.port());
    ASSERT_TRUE(a);
    EXPECT_EQ(a->status, c.status);
    EXPECT_LE(one.registeredCount(), ControllerSim::kMaxComputers);
  }
}

TEST_F(ControllerSimTest, LoginInPiecesWithPrefixAndCorruptLogin) {
  const TokenDigest token = TokenFor("1000:maria");
  sim.registerComputer(token, true);
  QTcpSocket s;
  QByteArray in;
  QObject::connect(&s, &QTcpSocket::readyRead, [&] { in += s.readAll(); });
  s.connectToHost(QHostAddress::LocalHost, sim.port());
  ASSERT_TRUE(test::WaitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }));

  QByteArray bad = LoginFrame(token);
  bad[10] = static_cast<char>(bad[10] ^ 0x01);
  s.write(bad);
  ASSERT_TRUE(test::WaitFor([&] { return in.size() >= 7; }));
  EXPECT_EQ(test::ToHex(std::span(reinterpret_cast<const std::uint8_t*>(in.constData()), 5)), "FA FF 80 02 65");
  in.clear();

  const QByteArray good = LoginFrame(token, FrameRoute{RadioId{3}, {}});
  s.write(good.left(9));
  s.flush();
  EXPECT_FALSE(test::WaitFor([&] { return !in.isEmpty(); }, 100));
  s.write(good.mid(9));
  ASSERT_TRUE(test::WaitFor([&] { return in.size() >= 13; }));
  const auto a = DecodeLoginAnswer(std::span(reinterpret_cast<const std::uint8_t*>(in.constData()), in.size()));
  ASSERT_TRUE(a);
  EXPECT_EQ(a->status, 'o');
  EXPECT_EQ(in.size(), 13);  // header, status, MAC, CRC
}

// The main window's side of the dispatcher, reduced to what the TCP path touches.
class MiniWindow : public BasicDispatchContext, public DispatchTarget {
 public:
  MiniWindow() {
    target = 5;
    current = 5;
  }

  void onControllerLogin(const Reply& r) override { login = DecodeLoginAnswer(r.bytes); }
  void onSignal(const Reply& r) override {
    signal = QByteArray(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size());
  }

  std::optional<LoginAnswer> login;
  QByteArray signal;
};

TEST_F(ControllerSimTest, LoginAndRepliesTravelThroughTheDispatcher) {
  const TokenDigest token = TokenFor("1000:maria");
  sim.registerComputer(token, true);
  // The mesh behind the controller: radio 5 answers a signal read.
  sim.toMesh = [this](const QByteArray& b) {
    toMesh += b;
    if (b.startsWith(QByteArray("\x05\x00\xD7", 3))) sim.fromMesh(Q(test::Hex("05 00 D7 3C 50 00 00")));
  };
  TcpControllerLink link;
  CommandSender sender;
  sender.setTcp(&link);
  MiniWindow w;
  ResponseDispatcher dispatcher(w, w, sender);
  QObject::connect(&link, &TcpControllerLink::connected,
                   [&] { sender.SendFrame(kControllerId, BuildLoginMessage(token)); });
  QObject::connect(&link, &TcpControllerLink::bytesRead, [&](const QByteArray& b) {
    dispatcher.dispatch(std::span(reinterpret_cast<const std::uint8_t*>(b.constData()), b.size()), "");
  });
  link.connectToHost(QStringLiteral("127.0.0.1"), sim.port());
  ASSERT_TRUE(test::WaitFor([&] { return w.login.has_value(); }));
  EXPECT_EQ(w.login->status, 'o');
  EXPECT_EQ(sender.activePath(), CommandSender::Path::Tcp);

  sender.SendCommand(5, code::kSignal, 0, 0, 0);
  ASSERT_TRUE(test::WaitFor([&] { return !w.signal.isEmpty(); }));
  EXPECT_EQ(toMesh, Q(test::Hex("05 00 D7 00 00 00 1A 21")));
  EXPECT_EQ(w.signal, Q(test::Hex("05 00 D7 3C 50 00 00")));
}

TEST(ControllerSimDiscovery, AnswersTheProbeForEveryListedController) {
  ControllerSim a, b;
  ASSERT_TRUE(a.listen());
  ASSERT_TRUE(b.listen());
  b.setMac({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5F});
  QString error;
  ASSERT_TRUE(a.startDiscoveryResponder(0, &error)) << error.toStdString();
  a.setDiscoveryAnswers({a.ownDiscoveryAnswer(), b.ownDiscoveryAnswer()});

  ControllerDiscovery d{QHostAddress(QHostAddress::LocalHost)};
  d.setTargetPort(a.discoveryPort());
  d.setLocalEndpoint(QHostAddress::LocalHost, 0);
  d.setQuietInterval(300);
  bool done = false;
  QObject::connect(&d, &ControllerDiscovery::finished, [&] { done = true; });
  ASSERT_TRUE(d.start());
  ASSERT_TRUE(test::WaitFor([&] { return done; }));
  const std::vector<ControllerRow> expected{{"00:1a:2b:3c:4d:5e", "127.0.0.1", std::to_string(a.port())},
                                            {"00:1a:2b:3c:4d:5f", "127.0.0.1", std::to_string(b.port())},
                                            {},
                                            {}};
  EXPECT_EQ(d.list().rows, expected);
}

TEST(ControllerSimDiscovery, OnlyTheProbeIsAnswered) {
  ControllerSim a;
  ASSERT_TRUE(a.listen());
  ASSERT_TRUE(a.startDiscoveryResponder());
  QUdpSocket u;
  ASSERT_TRUE(u.bind(QHostAddress::LocalHost, 0));
  u.writeDatagram("QM418", QHostAddress::LocalHost, a.discoveryPort());
  EXPECT_FALSE(test::WaitFor([&] { return u.hasPendingDatagrams(); }, 200));
  u.writeDatagram("QM417", QHostAddress::LocalHost, a.discoveryPort());
  ASSERT_TRUE(test::WaitFor([&] { return u.hasPendingDatagrams(); }));
  const auto answer = ParseDiscoveryAnswer(test::Text(u.receiveDatagram().data().toStdString()));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->ip, "127.0.0.1");
  EXPECT_EQ(answer->port, std::to_string(a.port()));
}

}  // namespace
