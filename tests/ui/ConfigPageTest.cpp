#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "support/UiFixture.h"

using namespace orvalis;
using test::Hex;
using test::ToHex;

struct ConfigPage : test::UiFixture {
  QTableWidget* param() { return find<QTableWidget>("Param"); }
  QString row(int r, int c = 1) {
    auto* it = param()->item(r, c);
    return it ? it->text() : QString();
  }
  void select(int id) {
    auto* box = find<QComboBox>("ID");
    box->setEditText(QString::number(id));
    dual().selector().IDChange();
  }
};

TEST_F(ConfigPage, LocalReadOfMasterFillsRowsAndMasterView) {
  find<QPushButton>("BLeLocal")->click();
  EXPECT_EQ(written(), "00 00 E2 00 00 00 15 B8");
  EXPECT_EQ(dual().statusText(), "Aguardando Resposta");
  EXPECT_TRUE(dual().state().awaitingReply);
  // Master radio: serial 1.2.3.4, hw 14, protocol 2, rev 17, channel 5, mode 1,
  // speed code 1, baud 0, firmware 50, bank B, check ok, 300 min.
  feed(ReplyFrom(0, "E2 00 00 01 02 03 04 0E 02 11 05 01 00 01 00 32 01 01 01 2C 00 00 00 00 00 00 00 00"));
  EXPECT_FALSE(dual().state().awaitingReply);
  EXPECT_EQ(dual().statusText(), "");
  EXPECT_EQ(row(0, 0), "ID RADIO");
  EXPECT_EQ(row(1), "1.2.3.4");
  EXPECT_EQ(row(3), "50");
  EXPECT_EQ(row(6), "B");
  EXPECT_EQ(row(7, 0), "PROTOCOLO");
  EXPECT_EQ(row(9), "300 min");
  EXPECT_EQ(find<QLineEdit>("CPeriodico")->text(), "300");
  EXPECT_EQ(find<QLineEdit>("ID3")->text(), "4");
  EXPECT_EQ(find<QComboBox>("Protocolo")->currentIndex(), 2);
  EXPECT_EQ(find<QComboBox>("Velocidade")->currentIndex(), 2);
  EXPECT_FALSE(find("TComandoEvento")->isHidden());
  EXPECT_EQ(find<QPushButton>("BConfig")->text(), "CONFIGURA PROTOCOLO MESTRE");
  EXPECT_FALSE(find("BConfig")->isEnabled());  // reading profile
  EXPECT_EQ(app->per().table().periodicMinutes(), 300);
}

TEST_F(ConfigPage, RemoteReadOfAlarmRadio) {
  select(7);
  find<QPushButton>("BLeRemota")->click();
  EXPECT_EQ(ToHex(serial.writes.back()), ToHex(BuildRadioFrame(7, Hex("D4 00 00 00"))));
  EXPECT_EQ(dual().state().targetRadio, 7);
  // Firmware 20 shows the periodic controls; hardware 21 disables the channel controls.
  // Firmware 20 also reports the minutes little-endian in bytes 3-4, shown last.
  feed(ReplyFrom(7, "D4 3C 00 0A 0B 0C 0D 15 00 03 02 00 00 00 00 14 00 01 00 3C 00 00 00 00 04 02 00 00 00"));
  EXPECT_EQ(row(7, 0), "COMUNICAÇÃO");
  EXPECT_EQ(row(9), "60  min");
  EXPECT_EQ(find<QLineEdit>("CPeriodico")->text(), "60");
  EXPECT_FALSE(find("CPeriodico")->isHidden());
  EXPECT_FALSE(find("BCanal")->isEnabled());
  EXPECT_TRUE(find("TComandoEvento")->isHidden());
  EXPECT_EQ(find<QPushButton>("BConfig")->text(), "CONFIGURA RÁDIO ALARME");
  EXPECT_EQ(dual().selector().currentRadio(), RadioId{7});
}

TEST_F(ConfigPage, ShortReplyFillsWhatItCan) {
  find<QPushButton>("BLeLocal")->click();
  feed(ReplyFrom(0, "E2 00 00 01 02 03"));
  EXPECT_EQ(row(0), "0");
  EXPECT_FALSE(dual().state().awaitingReply);
}

TEST_F(ConfigPage, PeriodicTestWarningThenReRead) {
  select(3);
  auto* c = find<QLineEdit>("CPeriodico");
  c->setText("14");
  dialogs.confirmAnswers = {false};
  find<QPushButton>("BPeriodico")->click();
  EXPECT_TRUE(serial.writes.empty());  // Cancel: nothing sent
  dialogs.confirmAnswers = {true};
  find<QPushButton>("BPeriodico")->click();
  EXPECT_EQ(written(), ToHex(BuildRadioFrame(3, Hex("CC 01 0F 00"))));
  EXPECT_EQ(c->text(), "14");
  serial.clear();
  feed(ReplyFrom(3, "CC 01 0F 00"));  // the echo: one re-read of the current radio
  EXPECT_EQ(written(), ToHex(BuildRadioFrame(3, Hex("E2 00 00 00"))));
  serial.clear();
  feed(ReplyFrom(3, "CC 01 0F 00"));
  EXPECT_TRUE(serial.writes.empty());

  c->setText("1500");
  emit c->editingFinished();
  EXPECT_EQ(c->text(), "999");
  c->setText("abc");
  find<QPushButton>("BPeriodico")->click();
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_TRUE(dialogs.shown.last().startsWith("error:"));
}

TEST_F(ConfigPage, CommandEventModeGoesToMasterAndReReads) {
  select(9);
  find<QPushButton>("HComandoEvento")->click();
  EXPECT_EQ(written(), ToHex(BuildRadioFrame(0, Hex("ED 01 00 00"))));
  serial.clear();
  feed(ReplyFrom(0, "ED 01 00 00"));
  EXPECT_EQ(written(), ToHex(BuildRadioFrame(9, Hex("E2 00 00 00"))));
  EXPECT_EQ(dual().statusText(), "Aguardando Resposta");
}

TEST_F(ConfigPage, SerialFieldsClampAndRejectText) {
  auto* id0 = find<QLineEdit>("ID0");
  id0->setText("5000");
  emit id0->editingFinished();
  EXPECT_EQ(id0->text(), "1023");
  auto* id1 = find<QLineEdit>("ID1");
  id1->setText("300");
  emit id1->editingFinished();
  EXPECT_EQ(id1->text(), "255");
  id1->setText("x1");
  emit id1->editingFinished();
  EXPECT_EQ(id1->text(), "x1");
  EXPECT_TRUE(dialogs.shown.last().startsWith("error:"));
}

TEST_F(ConfigPage, ScreenshotAfterMasterRead) {
  find<QPushButton>("BLeLocal")->click();
  feed(ReplyFrom(0, "E2 00 00 01 02 03 04 0E 02 11 05 01 00 01 00 32 01 01 01 2C 00 00 00 00 00 00 00 00"));
  dual().resize(1366, 740);
  EXPECT_TRUE(dual().grab().save(QString(ORVALIS_BINARY_DIR) + "/page-config.png"));
}
