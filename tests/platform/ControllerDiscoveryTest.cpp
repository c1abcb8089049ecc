#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <vector>

#include "platform/ControllerDiscovery.h"
#include "support/WaitFor.h"

using namespace orvalis;

namespace {

// Controllers on loopback: every probe is answered with the scripted datagrams.
class DiscoveryTest : public ::testing::Test {
 protected:
  struct Reply {
    int afterMs;  // counted from the probe
    QByteArray datagram;
  };

  void SetUp() override {
    ASSERT_TRUE(responder.bind(QHostAddress::LocalHost, 0));
    QObject::connect(&responder, &QUdpSocket::readyRead, [this] {
      while (responder.hasPendingDatagrams()) {
        const QNetworkDatagram d = responder.receiveDatagram();
        probes << d.data();
        for (const Reply& r : replies) {
          const QHostAddress to = d.senderAddress();
          const quint16 port = static_cast<quint16>(d.senderPort());
          QTimer::singleShot(r.afterMs, &responder,
                             [this, r, to, port] { responder.writeDatagram(r.datagram, to, port); });
        }
      }
    });
    discovery.setTargetPort(responder.localPort());
    discovery.setLocalEndpoint(QHostAddress::LocalHost, 0);
    discovery.setQuietInterval(300);
    clock.start();
    QObject::connect(&discovery, &ControllerDiscovery::answerReceived, [this](int row, const DiscoveryAnswer&) {
      rows.push_back(row);
      answerTimes.push_back(clock.elapsed());
    });
    QObject::connect(&discovery, &ControllerDiscovery::finished, [this] {
      ++finishes;
      endTime = clock.elapsed();
    });
    QObject::connect(&discovery, &ControllerDiscovery::error, [this](const QString& e) { errors << e; });
  }

  bool runToEnd(int ms = 5000) {
    return test::WaitFor([&] { return finishes > 0; }, ms);
  }

  QUdpSocket responder;
  std::vector<Reply> replies;
  QList<QByteArray> probes;
  // Tests point the probe at loopback only.
  ControllerDiscovery discovery{QHostAddress(QHostAddress::LocalHost)};
  QElapsedTimer clock;
  std::vector<int> rows;
  std::vector<qint64> answerTimes;
  qint64 endTime = -1;
  int finishes = 0;
  QStringList errors;
};

TEST_F(DiscoveryTest, ThreeControllersFillRowsZeroToTwoAndLeaveTwoEmptyRows) {
  replies = {{0, "/00:1a:2b:3c:4d:01/127.0.0.1/2000/"},
             {0, "junk/00:1a:2b:3c:4d:99/127.0.0.9/9/"},  // no leading "/": not an answer
             {10, "/00:1a:2b:3c:4d:02/127.0.0.2/2001"},
             {10, "/" + QByteArray(9000, 'x')},  // over 8192 bytes
             {20, "/00:1a:2b:3c:4d:03/127.0.0.3/2002/"}};
  ASSERT_TRUE(discovery.start());
  EXPECT_TRUE(discovery.active());
  ASSERT_TRUE(runToEnd());
  ASSERT_EQ(probes.size(), 1);
  EXPECT_EQ(probes.front(), "QM417");
  EXPECT_EQ(rows, (std::vector<int>{0, 1, 2}));
  const std::vector<ControllerRow> expected{{"00:1a:2b:3c:4d:01", "127.0.0.1", "2000"},
                                            {"00:1a:2b:3c:4d:02", "127.0.0.2", "2001"},
                                            {"00:1a:2b:3c:4d:03", "127.0.0.3", "2002"},
                                            {},
                                            {}};
  EXPECT_EQ(discovery.list().rows, expected);
  EXPECT_FALSE(discovery.active());
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DiscoveryTest, NoAnswerLeavesTwoEmptyRowsAndEndsQuietly) {
  discovery.list().rows = {{"old", "1.2.3.4", "2000"}};
  ASSERT_TRUE(discovery.start());
  ASSERT_TRUE(runToEnd());
  EXPECT_GE(endTime, 290);
  EXPECT_EQ(discovery.list().rows, std::vector<ControllerRow>(2));
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DiscoveryTest, AnAnswerBeforeTheQuietEndsExtendsTheDiscovery) {
  // Scaled from 2 s and 1.9 s: the second answer comes late in the first window.
  discovery.setQuietInterval(1000);
  replies = {{0, "/m1/127.0.0.1/2000/"}, {800, "/m2/127.0.0.2/2000/"}};
  ASSERT_TRUE(discovery.start());
  ASSERT_TRUE(runToEnd(6000));
  ASSERT_EQ(answerTimes.size(), 2u);
  EXPECT_GE(answerTimes[1] - answerTimes[0], 600);
  // The end comes a full interval after the last answer, past the first deadline.
  EXPECT_GE(endTime - answerTimes[1], 950);
  EXPECT_GT(endTime - answerTimes[0], 1550);
  EXPECT_EQ(rows, (std::vector<int>{0, 1}));
}

TEST_F(DiscoveryTest, EndpointIsReleasedAtTheEndAndLateAnswersAreNotRead) {
  ASSERT_TRUE(discovery.start());
  const quint16 port = discovery.localPort();
  ASSERT_NE(port, 0);
  ASSERT_TRUE(runToEnd());
  responder.writeDatagram("/late/127.0.0.1/2000/", QHostAddress::LocalHost, port);
  EXPECT_FALSE(test::WaitFor([&] { return !rows.empty(); }, 150));
  EXPECT_EQ(discovery.list().rows.size(), 2u);

  QUdpSocket again;
  EXPECT_TRUE(again.bind(QHostAddress::LocalHost, port, QAbstractSocket::DontShareAddress));
}

TEST_F(DiscoveryTest, PortInUseIsReportedAndNothingListens) {
  QUdpSocket holder;
  ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0));
  discovery.setLocalEndpoint(QHostAddress::LocalHost, holder.localPort());
  EXPECT_FALSE(discovery.start());
  ASSERT_EQ(errors.size(), 1);
  EXPECT_FALSE(errors.front().isEmpty());
  EXPECT_FALSE(discovery.active());
  EXPECT_TRUE(probes.isEmpty());
  EXPECT_FALSE(test::WaitFor([&] { return finishes > 0 || !probes.isEmpty(); }, 400));
}

TEST_F(DiscoveryTest, StartingAgainReplacesTheList) {
  replies = {{0, "/m1/127.0.0.1/2000/"}};
  ASSERT_TRUE(discovery.start());
  ASSERT_TRUE(test::WaitFor([&] { return rows.size() == 1; }));
  int resets = 0;
  QObject::connect(&discovery, &ControllerDiscovery::listReset, [&] { ++resets; });
  replies = {{0, "/m2/127.0.0.2/2001/"}};
  ASSERT_TRUE(discovery.start());
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(discovery.list().rows, std::vector<ControllerRow>(2));
  ASSERT_TRUE(runToEnd());
  EXPECT_EQ(finishes, 1);  // the first run was replaced, not ended
  EXPECT_EQ(discovery.list().rows, (std::vector<ControllerRow>{{"m2", "127.0.0.2", "2001"}, {}, {}}));
}

}  // namespace
