#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "sim/Simulator.h"
#include "support/ScriptedDialogs.h"
#include "support/WaitFor.h"
#include "ui/AppWindows.h"
#include "ui/EventReceiver.h"

using namespace orvalis;

// The GUI against the simulated mesh over a real pseudo-terminal.
struct DemoMesh : ::testing::Test {
  QTemporaryDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<sim::Simulator> simulator;
  std::unique_ptr<AppWindows> app;

  void SetUp() override {
    simulator = std::make_unique<sim::Simulator>(sim::Scenario::builtIn());
    QString error;
    const QString path = simulator->openPty(&error);
    ASSERT_FALSE(path.isEmpty()) << error.toStdString();
    app = std::make_unique<AppWindows>(dialogs, dir.filePath("DIRIDIRUZER.ini"));
    app->dual().connection().selectPort(path);
    app->dual().connection().connectButton()->click();
    ASSERT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(";").toStdString();
  }
  TDual& dual() { return app->dual(); }
  template <class W = QWidget>
  W* find(const char* name) {
    return dual().findChild<W*>(name);
  }
  QString paramRow(int r) {
    auto* it = find<QTableWidget>("Param")->item(r, 1);
    return it ? it->text() : QString();
  }
  void select(int id) {
    find<QComboBox>("ID")->setEditText(QString::number(id));
    dual().selector().IDChange();
  }
};

TEST_F(DemoMesh, EventsAreShownOnceAndAcknowledged) {
  find<QCheckBox>("RetornaAck")->setChecked(true);
  simulator->setTimeScale(600);
  auto& rows = app->evento().model();
  ASSERT_TRUE(test::WaitFor([&] { return rows.rowCount() >= 4; }, 15000)) << rows.rowCount();
  // Every message acknowledged: the master had nothing to resend, so no row repeats.
  EXPECT_GE(dual().events()->acksSent(), rows.rowCount());
  QStringList seen;
  for (int r = 0; r < rows.rowCount(); ++r) {
    QStringList cells;
    for (int c = 1; c < 10; ++c) cells << rows.index(r, c).data().toString();
    seen << cells.join("|");
  }
  seen.removeDuplicates();
  EXPECT_EQ(seen.size(), rows.rowCount());
  app->evento().resize(1100, 300);
  app->evento().grab().save(QString(ORVALIS_BINARY_DIR) + "/demo-events.png");
  dual().resize(1366, 740);
  dual().grab().save(QString(ORVALIS_BINARY_DIR) + "/demo-main.png");
}

TEST_F(DemoMesh, ReadMasterAndRemoteThenChangePeriodicTime) {
  find<QPushButton>("BLeLocal")->click();
  ASSERT_TRUE(test::WaitFor([&] { return !dual().state().awaitingReply; }));
  EXPECT_EQ(paramRow(0), "0");
  EXPECT_TRUE(paramRow(9).endsWith("min"));

  select(5);  // reached through a gateway radio
  find<QPushButton>("BLeRemota")->click();
  ASSERT_TRUE(test::WaitFor([&] { return !dual().state().awaitingReply; }));
  EXPECT_EQ(paramRow(0), "5");
  EXPECT_EQ(paramRow(1), "13.1.77.5");

  // The master's periodic time: configure, echo, automatic re-read shows it.
  select(0);
  find<QPushButton>("BLeLocal")->click();
  ASSERT_TRUE(test::WaitFor([&] { return !dual().state().awaitingReply; }));
  find<QLineEdit>("CPeriodico")->setText("300");
  find<QPushButton>("BPeriodico")->click();
  ASSERT_TRUE(test::WaitFor([&] { return paramRow(9) == "300 min"; }, 4000)) << paramRow(9).toStdString();
  EXPECT_EQ(dual().dispatcher().reReadTrigger(), 0);
}

TEST_F(DemoMesh, SignalThroughGatewayThenBothNoisesThenRating) {
  auto label = [&](const char* name) { return find<QLabel>(name)->text(); };
  select(5);
  find<QPushButton>("EnviaComando")->click();
  ASSERT_TRUE(test::WaitFor([&] { return label("TL_gateway") != "----"; }, 4000));
  EXPECT_EQ(label("TL_gateway"), "2");  // radio 5 is reached through radio 2
  EXPECT_EQ(label("TL_ID_destino"), "5");
  EXPECT_FALSE(find<QLineEdit>("tTEMPO")->text().isEmpty());

  find<QPushButton>("NXB_ruido")->click();  // noise of the selected radio
  ASSERT_TRUE(test::WaitFor([&] { return label("TL_ruido_med_qualidade_dest") != "----"; }, 4000));
  find<QPushButton>("NxB_ruido_GW")->click();  // noise at the gateway, then the rating
  ASSERT_TRUE(test::WaitFor([&] { return label("TL_qual_ida") != "----" && label("TL_qual_volta") != "----"; }, 4000));
  const QStringList ratings{" Bom ", " Regular ", " Ruim "};
  EXPECT_TRUE(ratings.contains(label("TL_qual_ida"))) << label("TL_qual_ida").toStdString();
  EXPECT_TRUE(ratings.contains(label("TL_qual_volta")));
  EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(";").toStdString();
}
