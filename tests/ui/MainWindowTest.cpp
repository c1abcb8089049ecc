#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>

#include "support/ScriptedDialogs.h"
#include "ui/AppWindows.h"

using namespace orvalis;

namespace {
QStringList VisibleTabCaptions(QTabWidget& pg) {
  QStringList out;
  for (int i = 0; i < pg.count(); ++i)
    if (pg.isTabVisible(i)) out << pg.tabText(i);
  return out;
}
}  // namespace

struct MainWindowFixture : ::testing::Test {
  QTemporaryDir dir;
  test::ScriptedDialogs dialogs;
  std::unique_ptr<AppWindows> app;
  void SetUp() override {
    app = std::make_unique<AppWindows>(dialogs, dir.filePath("DIRIDIRUZER.ini"));
    app->dual().show();
  }
};

TEST_F(MainWindowFixture, StartsInReadingProfile) {
  TDual& d = app->dual();
  EXPECT_EQ(VisibleTabCaptions(d.pages()),
            (QStringList{"CONFIG", "SINAL", "PARTIÇÃO", "RELE BYPASS", "DIAGNÓSTICO", "TRAÇA ROTA", "PGM", "INTELBRAS",
                         "JFL", "PARADOX", "COMPATEC", "KORB7", "VIAWEB"}));
  EXPECT_EQ(d.pages().count(), 18);
  EXPECT_FALSE(d.pages().isEnabled());
  EXPECT_EQ(d.pages().currentWidget()->objectName(), "Rede");
  EXPECT_EQ(d.windowTitle(), "ORVALIS - v9.06 Leitura");
  const std::pair<QWidget*, QString> windows[] = {
      {&app->evento(), "EVENTOS CONTACT_ID"},
      {&app->per(), "TABELA DE COMUNICACAO DE RADIOS"},
      {&app->fw(), "FIRMWARE REDE MESH"},
      {&app->p2p(), QStringLiteral("Leitura e cancelamento atualização ponto a ponto")},
      {&app->rssi(), "RSSI"}};
  for (auto [w, caption] : windows) {
    EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_FALSE(w->isVisible());
  }
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(d.findChild<QWidget*>("MP2P")->isHidden());
  EXPECT_TRUE(d.findChild<QWidget*>("VIA")->isHidden());
  EXPECT_TRUE(d.tx().toPlainText().startsWith("ORVALIS v9.06"));
}

TEST_F(MainWindowFixture, FirstStartWithoutSettingsFile) {
  TDual& d = app->dual();
  EXPECT_EQ(d.connection().portBox()->currentText(), "COM1");
  EXPECT_EQ(d.findChild<QComboBox*>("BaudRate")->currentText(), "9600");
  EXPECT_TRUE(dialogs.shown.isEmpty());
  EXPECT_FALSE(QFile::exists(dir.filePath("DIRIDIRUZER.ini")));
}

TEST_F(MainWindowFixture, ToggleRoundTripKeepsContent) {
  TDual& d = app->dual();
  auto* radios = d.findChild<QCheckBox*>("MRADIOS");
  auto* probe = new QLabel("conteúdo", &app->per());
  radios->setChecked(true);
  EXPECT_TRUE(app->per().isVisible());
  radios->setChecked(false);
  EXPECT_FALSE(app->per().isVisible());
  radios->setChecked(true);
  app->per().close();  // title-bar close unticks the toggle
  EXPECT_FALSE(radios->isChecked());
  EXPECT_FALSE(app->per().isVisible());
  EXPECT_EQ(probe->text(), "conteúdo");

  auto* rssi = d.findChild<QCheckBox*>("CB_RSSI");
  rssi->setChecked(true);
  app->rssi().close();
  EXPECT_FALSE(rssi->isChecked());
}

TEST_F(MainWindowFixture, TcpChoiceShowsConnectionTabAndEnablesPages) {
  TDual& d = app->dual();
  auto* tcp = d.connection().tcpBox();
  tcp->click();
  EXPECT_TRUE(d.tabShown("Comunicacao"));
  EXPECT_EQ(d.pages().currentWidget()->objectName(), "Comunicacao");
  EXPECT_TRUE(d.pages().isEnabled());
  EXPECT_FALSE(d.connection().connectButton()->isEnabled());
  tcp->click();
  EXPECT_FALSE(d.tabShown("Comunicacao"));
  EXPECT_EQ(d.pages().currentWidget()->objectName(), "Rede");
  EXPECT_FALSE(d.pages().isEnabled());
}

TEST_F(MainWindowFixture, ScreenshotForReview) {
  TDual& d = app->dual();
  d.resize(1366, 740);
  const QString path = QString(ORVALIS_BINARY_DIR) + "/main-window.png";
  EXPECT_TRUE(d.grab().save(path));
  EXPECT_TRUE(QFile::exists(path));
}

TEST_F(MainWindowFixture, RadioSelectorLeaving) {
  TDual& d = app->dual();
  auto* id = d.findChild<QComboBox*>("ID");
  id->setEditText("");
  d.selector().IDChange();
  EXPECT_EQ(id->currentText(), "0");
  EXPECT_EQ(d.selector().currentRadio(), RadioId{0});
  id->setEditText("17");
  d.selector().IDChange();
  EXPECT_EQ(d.selector().currentRadio(), RadioId{17});
  id->setEditText("1500");
  d.selector().IDChange();
  EXPECT_FALSE(d.selector().currentRadio().has_value());
  id->setEditText("abc");
  d.selector().IDChange();
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_EQ(id->currentText(), "abc");  // the field keeps its text

  QString status;
  id->setEditText("0");
  d.selector().IDChange();
  EXPECT_FALSE(d.selector().remoteRadio([&](const QString& s) { status = s; }));
  EXPECT_EQ(status, "Comando não pode ser enviado para ID zero!");
}

TEST_F(MainWindowFixture, FocusFollowsVisualOrder) {
  TDual& d = app->dual();
  QStringList seen;
  QWidget* w = d.findChild<QWidget*>("ID");
  for (int i = 0; i < 2000 && w; ++i) {
    if (!w->objectName().isEmpty() && !seen.contains(w->objectName())) seen << w->objectName();
    w = w->nextInFocusChain();
  }
  const QStringList expected{"ID", "Porta", "Terminal", "Seleciona_Conexao", "MRADIOS", "MEVENTOS"};
  qsizetype last = -1;
  for (const QString& name : expected) {
    const qsizetype at = seen.indexOf(name);
    EXPECT_GT(at, last) << name.toStdString() << " in " << seen.join(",").toStdString();
    last = at;
  }
  EXPECT_LT(seen.indexOf("PG"), seen.indexOf("Tx"));
}
