#include <QCheckBox>
#include <QFile>
#include <QTest>

#include "support/UiFixture.h"
#include "ui/AlertPopup.h"
#include "ui/EventReceiver.h"

using namespace orvalis;

struct Events : test::UiFixture {
  void SetUp() override {
    UiFixture::SetUp();
    find<QCheckBox>("RetornaAck")->setChecked(true);
  }
  int rows() { return app->evento().model().rowCount(); }
  QString cell(int r, int c) { return app->evento().model().index(r, c).data().toString(); }
  int acks() {
    int n = 0;
    for (const auto& w : serial.writes) n += (w.size() == 1 && w[0] == 0x06);
    return n;
  }
};

TEST_F(Events, EveryMessageOfABurstIsShownAndAcknowledged) {
  feedText("5000 181234E13001005\x14" "5000 181234R13001005\x14");
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(acks(), 2);
  EXPECT_EQ(cell(0, 1), "1234");
  EXPECT_EQ(cell(0, 2), "E130");
  EXPECT_EQ(cell(0, 3).trimmed(), "Alarme de Furto (padrão)");
  EXPECT_EQ(cell(1, 2), "R130");
  EXPECT_EQ(app->evento().model().index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
  EXPECT_EQ(app->evento().grid().currentIndex().row(), 1);  // the newest row is selected
  EXPECT_TRUE(dual().sur().toPlainText().contains("CONTA: 1234 EV:R130"));
}

TEST_F(Events, MessageCutByTheTransportIsJoined) {
  feedText("5000 181234E1");
  EXPECT_EQ(rows(), 0);
  feedText("3001005\x14");
  ASSERT_EQ(rows(), 1);
  EXPECT_EQ(acks(), 1);
  EXPECT_EQ(cell(0, 5), "005");
}

TEST_F(Events, LinkTestIsAcknowledgedOnly) {
  feedText("1011           @    \x14");
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(acks(), 1);
  find<QCheckBox>("RetornaAck")->setChecked(false);
  feedText("1011           @    \x14");
  EXPECT_EQ(acks(), 1);
}

TEST_F(Events, BadRadioIdIsReportedAndTheNextMessageStillCounts) {
  // Extended 881 with a radio id that is not a number, then a good one for radio 15.
  feedText("6000 181234E88101015 00x1 001002003004005 01\x14" "6000 181234E88101015 0015001002003004005 01\x14");
  ASSERT_EQ(rows(), 2);
  EXPECT_TRUE(dialogs.shown.isEmpty());
  EXPECT_TRUE(dual().sur().toPlainText().contains("00x1"));
  const auto& row14 = app->per().table().row(14);
  EXPECT_EQ(row14.account, "1234");
  EXPECT_EQ(row14.event, "E881");
}

TEST_F(Events, RadioSwitchedOnRaisesThePopupAndUpdatesItsRow) {
  feedText("5000 181234E88001015\x14");
  EXPECT_EQ(dual().popup().caption(), "KALDORINE: Rádio Ligado");
  EXPECT_EQ(dual().popup().text(), "Rádio ID: 015 foi ligado.");
  EXPECT_TRUE(dual().popup().isVisible());
  EXPECT_EQ(app->per().table().row(14).account, "1234");
  // A standard event then updates the row of its account.
  feedText("5000 181234E13001005\x14");
  EXPECT_EQ(app->per().table().row(14).event, "E130");
}

TEST_F(Events, LogFileRoundTripAndWriteOnClose) {
  feedText("5000 181234E13001005\x14" "5000 185678E40101003\x14");
  const QString file = dir.filePath("eventos.log");
  dialogs.fileAnswers = {file};
  app->evento().logMenu().Salvar2Click();
  EXPECT_EQ(app->evento().windowTitle(), "LOG [" + file + "]");
  ASSERT_TRUE(QFile::exists(file));
  feedText("5000 189999E60201001\x14");
  app->evento().close();  // the open log gets the grid again
  dialogs.fileAnswers = {file};
  app->evento().logMenu().Salvar1Click();
  ASSERT_EQ(rows(), 3);
  EXPECT_EQ(cell(2, 1), "9999");
  app->evento().logMenu().Fechar1Click();
  EXPECT_EQ(app->evento().windowTitle(), "LOG");
  EXPECT_TRUE(dialogs.shown.filter("error").isEmpty());
}

TEST_F(Events, CommunicationTableRefreshAndDelete) {
  feedText("5000 181234E88001015\x14");
  auto& per = app->per();
  const auto last = *per.table().lastEvent(15);
  per.refresh(last + std::chrono::minutes(4));
  EXPECT_FALSE(per.table().row(14).timeover);
  per.refresh(last + std::chrono::minutes(5));
  EXPECT_TRUE(per.table().row(14).timeover);
  EXPECT_EQ(per.model().index(14, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  per.grid().setCurrentIndex(per.model().index(14, 0));
  QTest::keyClick(&per.grid(), Qt::Key_D, Qt::NoModifier);
  EXPECT_EQ(per.table().row(14).account, "");
  EXPECT_EQ(per.table().row(14).radio, "15");
}

TEST_F(Events, ServiceKeywordsTypedIntoTheEventPane) {
  auto* eco = find("Button_ECO");
  EXPECT_TRUE(eco->isHidden());
  QTest::keyClicks(&dual().sur(), "xec1");
  EXPECT_FALSE(eco->isHidden());
  QTest::keyClicks(&dual().sur(), "ec0");
  EXPECT_TRUE(eco->isHidden());
  QTest::keyClicks(&dual().sur(), "en1");
  EXPECT_TRUE(dual().tabShown("Engenharia"));
  QTest::keyClicks(&dual().sur(), "gw1");
  EXPECT_FALSE(find("VIA")->isHidden());
}
