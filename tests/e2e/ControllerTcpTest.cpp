#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>

#include "sim/DemoController.h"
#include "sim/Simulator.h"
#include "support/ScriptedDialogs.h"
#include "support/WaitFor.h"
#include "ui/AppWindows.h"
#include "ui/ComunicacaoPage.h"
#include "ui/EventReceiver.h"

using namespace orvalis;

// The GUI reaching the simulated mesh through the simulated Ethernet controller.
struct ControllerTcp : ::testing::Test {
  QTemporaryDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<sim::Simulator> simulator;
  std::unique_ptr<sim::DemoController> controller;
  std::unique_ptr<AppWindows> app;

  void SetUp() override {
    simulator = std::make_unique<sim::Simulator>(sim::Scenario::builtIn());
    controller = std::make_unique<sim::DemoController>(*simulator);
    QString error;
    ASSERT_TRUE(controller->start(&error)) << error.toStdString();
    app = std::make_unique<AppWindows>(dialogs, dir.filePath("DIRIDIRUZER.ini"));
    dual().setDiscoveryTarget(QHostAddress(QHostAddress::LocalHost), controller->discoveryPort(),
                              QHostAddress(QHostAddress::LocalHost), 0);
  }
  TDual& dual() { return app->dual(); }
  ComunicacaoPage& page() { return *qobject_cast<ComunicacaoPage*>(dual().page("Comunicacao")); }
  QPushButton* button() { return dual().findChild<QPushButton*>("Conecta_TCP"); }
  QString cell(int r, int c) {
    auto* it = page().list()->item(r, c);
    return it ? it->text() : QString();
  }
  void tickTcpAndDiscover() {
    dual().connection().tcpBox()->click();
    ASSERT_TRUE(test::WaitFor([&] { return !cell(0, 1).isEmpty(); }, 3000));
  }
  void loggedIn() {
    tickTcpAndDiscover();
    button()->click();
    ASSERT_TRUE(test::WaitFor([&] { return dual().tx().toPlainText().contains("Usuário Autenticado"); }, 4000))
        << dual().tx().toPlainText().toStdString();
  }
};

TEST_F(ControllerTcp, DiscoveryFillsTheListThenLoginAndReadOverTcp) {
  tickTcpAndDiscover();
  EXPECT_EQ(cell(0, 1), "127.0.0.1");
  EXPECT_EQ(cell(0, 2), QString::number(controller->port()));
  EXPECT_EQ(page().list()->rowCount(), 3);  // one answer: row 0 filled, two empty rows
  button()->click();
  EXPECT_EQ(button()->text(), "DESCONECTAR");
  ASSERT_TRUE(test::WaitFor([&] { return dual().tx().toPlainText().contains("Usuário Autenticado"); }, 4000));
  EXPECT_EQ(dual().findChild<QLineEdit*>("MaskEdit1")->text().size(), 40);
  EXPECT_EQ(cell(0, 0), controller->controller().macText());
  EXPECT_TRUE(dual().findChild<QWidget*>("TComandoEvento")->isHidden());

  // A radio read goes over the socket now.
  auto* id = dual().findChild<QComboBox*>("ID");
  id->setEditText("5");
  dual().selector().IDChange();
  dual().findChild<QPushButton*>("BLeRemota")->click();
  ASSERT_TRUE(test::WaitFor([&] { return !dual().state().awaitingReply; }, 4000));
  auto* param = dual().findChild<QTableWidget*>("Param");
  EXPECT_EQ(param->item(0, 1)->text(), "5");

  button()->click();
  EXPECT_EQ(button()->text(), "CONECTAR");
  ASSERT_TRUE(test::WaitFor([&] { return !dual().tcpLink().isActive(); }));
}

TEST_F(ControllerTcp, EventsOverTcpAreAcknowledgedOnTheSocket) {
  loggedIn();
  dual().findChild<QCheckBox*>("RetornaAck")->setChecked(true);
  simulator->setTimeScale(600);
  ASSERT_TRUE(test::WaitFor([&] { return app->evento().model().rowCount() >= 3; }, 15000));
  EXPECT_GE(dual().events()->acksSent(), 3);
  EXPECT_EQ(dual().sender().ackPath(), CommandSender::Path::Tcp);
}

TEST_F(ControllerTcp, AutomaticDisconnectWhileInUse) {
  dual().tcpLink().setDisconnectTimeout(600);
  loggedIn();
  ASSERT_TRUE(test::WaitFor([&] { return !dual().tcpLink().isActive(); }, 3000));
  EXPECT_TRUE(dual().tx().toPlainText().contains("Conexão TCP encerrada por tempo!!!"));
  EXPECT_EQ(button()->text(), "CONECTAR");
}

TEST_F(ControllerTcp, RefusedConnectionAndBadCells) {
  dual().connection().tcpBox()->click();
  QTcpServer probe;  // a free port nobody listens on
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
  const quint16 closed = probe.serverPort();
  probe.close();
  page().setRows({{"", "127.0.0.1", std::to_string(closed)}});
  button()->click();
  ASSERT_TRUE(test::WaitFor([&] { return !dialogs.shown.isEmpty(); }, 3000));
  EXPECT_EQ(dialogs.shown.last(), QStringLiteral("warning: Erro conexão TCP: Conexão recusada, verifique endereço e porta."));
  EXPECT_EQ(button()->text(), "CONECTAR");

  page().setRows({{"", "", "2000"}});
  button()->click();
  EXPECT_EQ(dual().statusText(), "Campo IP vazio!!!");
  page().setRows({{"", "127.0.0.1", "0"}});
  button()->click();
  EXPECT_EQ(dual().statusText(), "Preencha corretamente o campo porta!!!");
  EXPECT_FALSE(dual().tcpLink().isActive());
}

TEST_F(ControllerTcp, NotActivatedLoginClosesTheLink) {
  controller->controller().setAutoActivate(false);
  tickTcpAndDiscover();
  button()->click();  // first login: registered now
  ASSERT_TRUE(test::WaitFor([&] { return !dual().tcpLink().isActive(); }, 4000));
  button()->click();  // then: not yet activated
  ASSERT_TRUE(test::WaitFor([&] { return dual().tx().toPlainText().contains("ativar esta conta"); }, 4000));
  ASSERT_TRUE(test::WaitFor([&] { return !dual().tcpLink().isActive(); }, 4000));
  EXPECT_EQ(button()->text(), "CONECTAR");
  EXPECT_EQ(dual().tx().toPlainText().count("TCP/IP Desconectado"), 1);
}

TEST_F(ControllerTcp, ListFileRoundTrip) {
  page().setRows({{"00:1a:2b:3c:4d:5e", "127.0.0.1", "2000"}, {"", "", ""}});
  const QString file = dir.filePath("lista");
  dialogs.fileAnswers = {file};
  page().SalvaLista_TCPClick();
  page().setRows({});
  dialogs.fileAnswers = {file + ".tcp"};
  page().AbreLista_TCPClick();
  EXPECT_EQ(cell(0, 0), "00:1a:2b:3c:4d:5e");
  EXPECT_EQ(cell(0, 2), "2000");
  EXPECT_TRUE(dialogs.shown.filter("error").isEmpty());
}
