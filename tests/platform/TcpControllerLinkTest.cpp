#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

#include "link/ControllerLogin.h"
#include "platform/TcpControllerLink.h"
#include "support/Hex.h"
#include "support/WaitFor.h"

using namespace orvalis;

namespace {

QByteArray Q(const std::vector<std::uint8_t>& b) {
  return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

// A controller stand-in on loopback and the link under test with its signals recorded.
class TcpLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server, &QTcpServer::newConnection, [this] { peer = server.nextPendingConnection(); });
    QObject::connect(&link, &TcpControllerLink::connected, [this] { ++connects; });
    QObject::connect(&link, &TcpControllerLink::disconnected, [this] { events += "D"; });
    QObject::connect(&link, &TcpControllerLink::timedOut, [this] { events += "T"; });
    QObject::connect(&link, &TcpControllerLink::error, [this](const QString& text, bool r) {
      errors << text;
      refused = r;
    });
    QObject::connect(&link, &TcpControllerLink::bytesRead, [this](const QByteArray& b) {
      reads << b;
      received += b;
    });
  }

  void connectLink() {
    link.connectToHost(QStringLiteral("127.0.0.1"), server.serverPort());
    ASSERT_TRUE(test::WaitFor([&] { return connects == 1 && peer; }));
  }

  QTcpServer server;
  QPointer<QTcpSocket> peer;
  TcpControllerLink link;
  int connects = 0;
  QString events;
  QStringList errors;
  bool refused = false;
  QList<QByteArray> reads;
  QByteArray received;
};

TEST_F(TcpLinkTest, ConnectsAndCarriesBytesBothWays) {
  EXPECT_FALSE(link.isOpen());
  EXPECT_FALSE(link.write(test::Hex("01 02")));  // nothing to write on yet
  connectLink();
  EXPECT_TRUE(link.isOpen());
  EXPECT_EQ(link.port(), server.serverPort());
  EXPECT_TRUE(link.disconnectTimerActive());

  const auto login = test::Hex("FA FF 80 02 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 FF FB");
  ASSERT_TRUE(link.write(login));
  QByteArray atPeer;
  ASSERT_TRUE(test::WaitFor([&] {
    atPeer += peer->readAll();
    return atPeer.size() >= 26;
  }));
  EXPECT_EQ(atPeer, Q(login));

  peer->write("\xFA\xFF\x80\x02o");
  ASSERT_TRUE(test::WaitFor([&] { return received.size() == 5; }));
  EXPECT_EQ(received, QByteArray("\xFA\xFF\x80\x02o"));
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TcpLinkTest, LongInputIsHandedOnInPiecesOfAtMost2000Bytes) {
  connectLink();
  QByteArray big(5000, '\0');
  for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  peer->write(big);
  ASSERT_TRUE(test::WaitFor([&] { return received.size() >= big.size(); }));
  EXPECT_EQ(received, big);
  for (const QByteArray& r : reads) EXPECT_LE(r.size(), 2000);
}

TEST_F(TcpLinkTest, ControllerClosingIsADisconnectNotAnError) {
  connectLink();
  peer->disconnectFromHost();
  ASSERT_TRUE(test::WaitFor([&] { return events == "D"; }));
  EXPECT_FALSE(link.isActive());
  EXPECT_FALSE(link.disconnectTimerActive());
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TcpLinkTest, RefusedLoginClosesFromInsideTheRead) {
  connectLink();
  QObject::connect(&link, &TcpControllerLink::bytesRead, [this](const QByteArray& b) {
    const auto a = DecodeLoginAnswer(std::span(reinterpret_cast<const std::uint8_t*>(b.constData()), b.size()));
    if (a && !a->keepOpen) link.disconnectFromHost();
  });
  // "b", followed at once by bytes that must not be handed on once the link is closed.
  QByteArray answer = Q(test::Hex("FA FF 80 02 62 00 00"));
  answer.append(4000, '\x55');
  peer->write(answer);
  ASSERT_TRUE(test::WaitFor([&] { return events == "D"; }));
  EXPECT_FALSE(link.isActive());
  EXPECT_FALSE(test::WaitFor([&] { return reads.size() > 1; }, 200));
  EXPECT_TRUE(received.startsWith(answer.left(7)));
  ASSERT_TRUE(test::WaitFor([&] { return !peer || peer->state() == QAbstractSocket::UnconnectedState; }));
}

TEST_F(TcpLinkTest, RefusedConnectionIsReportedAsRefused) {
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const quint16 closedPort = probe.serverPort();
  probe.close();
  link.connectToHost(QStringLiteral("127.0.0.1"), closedPort);
  EXPECT_TRUE(link.isActive());  // the connect does not block
  ASSERT_TRUE(test::WaitFor([&] { return !errors.isEmpty(); }));
  EXPECT_TRUE(refused);
  EXPECT_FALSE(errors.front().isEmpty());
  EXPECT_EQ(connects, 0);
  EXPECT_FALSE(link.isActive());
  EXPECT_FALSE(link.disconnectTimerActive());
  EXPECT_EQ(events, "");
}

TEST_F(TcpLinkTest, ClosesAfterTheTimeoutEvenWhileTrafficFlows) {
  link.setDisconnectTimeout(400);
  QElapsedTimer clock;
  clock.start();
  connectLink();
  QTimer chatter;
  QObject::connect(&chatter, &QTimer::timeout, [&] {
    if (peer) peer->write("5000");
    link.write(test::Hex("05 00 D7 00 00 00 1A 21"));
  });
  chatter.start(40);
  ASSERT_TRUE(test::WaitFor([&] { return events.contains('T'); }, 5000));
  const qint64 elapsed = clock.elapsed();
  chatter.stop();
  EXPECT_GE(elapsed, 390);
  EXPECT_GE(reads.size(), 3);  // the link was busy until the end
  EXPECT_EQ(events, "DT");     // closed first, then the timeout is told
  EXPECT_FALSE(link.isActive());
  EXPECT_FALSE(link.write(test::Hex("01")));
}

TEST_F(TcpLinkTest, ClosedLinkLeavesNoTimerBehindAndReconnectGetsTheFullTime) {
  link.setDisconnectTimeout(300);
  connectLink();
  link.disconnectFromHost();
  EXPECT_FALSE(link.disconnectTimerActive());
  ASSERT_TRUE(test::WaitFor([&] { return events == "D"; }));
  // Past the old deadline nothing fires for a link that is gone.
  EXPECT_FALSE(test::WaitFor([&] { return events.contains('T'); }, 450));

  QElapsedTimer clock;
  clock.start();
  peer = nullptr;
  link.connectToHost(QStringLiteral("127.0.0.1"), server.serverPort());
  ASSERT_TRUE(test::WaitFor([&] { return connects == 2 && peer; }));
  ASSERT_TRUE(test::WaitFor([&] { return events.contains('T'); }, 3000));
  EXPECT_GE(clock.elapsed(), 290);
}

TEST_F(TcpLinkTest, TimerSlotCalledDirectlyCutsTheLink) {
  connectLink();
  EXPECT_EQ(link.disconnectTimeout(), 600000);
  link.Timer_DesconectarTimer();
  EXPECT_FALSE(link.isOpen());
  EXPECT_FALSE(link.disconnectTimerActive());
  EXPECT_EQ(events, "DT");
}

TEST(TcpLinkLifetime, DestroyingAConnectedLinkIsSilentAndFreesThePeer) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  QPointer<QTcpSocket> peer;
  QObject::connect(&server, &QTcpServer::newConnection, [&] { peer = server.nextPendingConnection(); });
  auto link = std::make_unique<TcpControllerLink>();
  int heard = 0;
  QObject::connect(link.get(), &TcpControllerLink::disconnected, [&] { ++heard; });
  QObject::connect(link.get(), &TcpControllerLink::error, [&] { ++heard; });
  link->connectToHost(QStringLiteral("127.0.0.1"), server.serverPort());
  ASSERT_TRUE(test::WaitFor([&] { return link->isOpen() && peer; }));
  link.reset();
  EXPECT_EQ(heard, 0);
  EXPECT_TRUE(test::WaitFor([&] { return !peer || peer->state() == QAbstractSocket::UnconnectedState; }));
}

}  // namespace
