// The SINAL, RUIDO, DIAGNÓSTICO, TRAÇA ROTA and Engenharia pages driven through the main window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "support/Hex.h"
#include "support/RecordingTransport.h"
#include "support/ScriptedDialogs.h"
#include "ui/AppWindows.h"
#include "ui/IndicatorWidget.h"
#include "ui/LevelBarWidget.h"

using namespace orvalis;

namespace {

const QColor kGreen(0, 128, 0), kBlue(0, 0, 255), kRed(255, 0, 0);

// Any two bytes stand in for the radio's CRC: the receive side never checks it.
QByteArray Reply(const std::string& hex) {
  auto b = test::Hex(hex + " C0 C1");
  return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

struct SignalPages : ::testing::Test {
  QTemporaryDir dir;
  test::ScriptedDialogs dialogs;
  test::RecordingTransport rec;
  std::unique_ptr<AppWindows> app;

  void SetUp() override {
    app = std::make_unique<AppWindows>(dialogs, dir.filePath("DIRIDIRUZER.ini"));
    dual().sender().setSerial(&rec);
    dual().sender().setSerialConnected(true);
    dual().pages().setEnabled(true);
    dual().resize(1366, 768);
    dual().show();
  }

  TDual& dual() { return app->dual(); }
  template <class T = QWidget>
  T* w(const char* name) {
    T* p = dual().findChild<T*>(name);
    EXPECT_NE(p, nullptr) << name;
    return p;
  }
  QString text(const char* label) { return w<QLabel>(label)->text(); }
  LevelBarWidget* bar(const char* name) { return w<LevelBarWidget>(name); }
  void select(int radio) {
    dual().selector().idBox()->setEditText(QString::number(radio));
    dual().selector().IDChange();
  }
  void click(const char* name) { w<QPushButton>(name)->click(); }
  void feed(const std::string& hex) { dual().ResponseDispatcherCall(Reply(hex)); }
  // Frames written, each without its two CRC bytes.
  std::vector<std::string> sent() const {
    std::vector<std::string> out;
    for (const auto& f : rec.writes) out.push_back(test::ToHex(std::span(f).first(f.size() - 2)));
    return out;
  }
  QString tx() { return dual().tx().toPlainText(); }
  QString status() { return dual().statusText(); }
  void showPage(const char* name) { dual().pages().setCurrentWidget(dual().page(name)); }

  // Radio 5 heard through gateway 3: 85 at the radio, 80 at the gateway, 300 ms, FE+01 = -1 Hz.
  void readSignalOfRadio5() {
    select(5);
    click("EnviaComando");
    feed("05 00 D7 03 00 55 50 00 00 00 00 00 00 01 2C FE 01");
  }
};

TEST_F(SignalPages, StartStates) {
  for (const char* l :
       {"TL_gateway", "TL_ID_destino", "TL_ruido_med_qualidade_gw", "TL_ruido_med_qualidade_dest", "TL_sinal_gw",
        "TL_sinal_dest", "TL_qual_ida", "TL_qual_volta", "TL_ruido_min", "TL_ruido_med", "TL_ruido_max"})
    EXPECT_EQ(text(l), "----") << l;
  for (const char* b :
       {"RSSI_ida", "RSSI_volta", "Ruido_Min", "Ruido_Med", "Ruido_Max", "PB_ruido_min", "PB_ruido_med"}) {
    EXPECT_EQ(bar(b)->orientation(), Qt::Vertical) << b;
    EXPECT_EQ(bar(b)->maximum(), 100) << b;
  }
  for (const char* p :
       {"IMG_qualidade_verde", "IMG_qualidade_azul", "IMG_qualidade_verm", "IMG_qualidade_sinal_verde_cck",
        "IMG_qualidade_sinal_Azul_cck", "IMG_qualidade_sinal_Verm_cck", "Image21", "IMG_mestre", "BDefRota",
        "BConsRota", "BApagaRota", "BZeraTabelaRota", "BResetRadio"})
    EXPECT_TRUE(w(p)->isHidden()) << p;
  EXPECT_EQ(w<QPushButton>("NxB_ruido_GW")->toolTip(), "Use após ler o Ruído e Sinal!");
  EXPECT_TRUE(w<QLineEdit>("tTEMPO")->isReadOnly());
  auto* diag = w<QTableWidget>("Diag");
  EXPECT_EQ(diag->rowCount(), 16);
  EXPECT_EQ(diag->columnCount(), 2);
  auto* trace = w<QTableWidget>("Trace");
  EXPECT_EQ(trace->rowCount(), 1);
  EXPECT_EQ(trace->columnCount(), 15);
  EXPECT_EQ(trace->editTriggers(), QAbstractItemView::NoEditTriggers);
  auto* rep = w<QTableWidget>("Eng_TabRepeticao");
  EXPECT_EQ(rep->rowCount(), 20);
  ASSERT_EQ(rep->columnCount(), 3);
  EXPECT_EQ(rep->horizontalHeaderItem(0)->text(), "ID");
  EXPECT_EQ(rep->horizontalHeaderItem(1)->text(), "Negra");
  EXPECT_EQ(rep->horizontalHeaderItem(2)->text(), "Repetição");
  EXPECT_EQ(rep->horizontalHeaderItem(1)->toolTip(), "Lista Negra: 0=não está, 1=escuta após 1 repetição e etc");
  EXPECT_EQ(rep->horizontalHeaderItem(2)->toolTip(),
            "Tab. Rep: 0=não repete (só após 3x), 1=após 2x, 2=após 1x, 3 em diante repete de cara");
  EXPECT_EQ(w<QLineEdit>("Eng_IDrepeticao")->text(), "1");
}

// Every button of the five pages: the data bytes, the status it leaves and whether it is a read.
TEST_F(SignalPages, RequestsOfEveryButton) {
  struct Case {
    const char* button;
    const char* data;  // frame to radio 5 without CRC
    bool read;
  };
  const Case cases[] = {
      {"EnviaComando", "05 00 D7 00 00 00", true},    {"NXB_ruido", "05 00 D8 00 00 00", true},
      {"Button1", "05 00 D8 00 00 00", true},         {"Button7", "05 00 E7 00 00 00", true},
      {"Button8", "05 00 D2 00 00 00", true},         {"BConsRota", "05 00 D3 02 00 00", true},
      {"BApagaRota", "05 00 BE 00 00 00", false},     {"BZeraTabelaRota", "05 00 88 01 00 00", false},
      {"BResetRadio", "05 00 88 04 00 00", false},    {"Eng_Sync", "05 00 C3 01 01 01", true},
      {"Eng_LeTabRep", "05 00 E3 01 00 00", true},    {"Eng_LeTabGw", "05 00 E3 0F 27 00", true},
      {"Eng_ZeraTabRep", "05 00 88 01 00 00", false},
  };
  select(5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    rec.clear();
    dual().state().targetRadio = 77;
    dual().setStatusText("x");
    w<QCheckBox>("Decimal")->setChecked(false);
    w<QLineEdit>("tTEMPO")->setText("123");
    click(c.button);
    EXPECT_EQ(sent(), std::vector<std::string>{c.data});
    EXPECT_EQ(status(), c.read ? "Aguardando Resposta" : "");
    EXPECT_EQ(dual().state().targetRadio, c.read ? 5 : 77);
    EXPECT_EQ(w<QCheckBox>("Decimal")->isChecked(), c.read);
    EXPECT_EQ(w<QLineEdit>("tTEMPO")->text().isEmpty(), c.read);
  }
  rec.clear();
  click("EnviaComando");
  EXPECT_EQ(test::ToHex(rec.all()), "05 00 D7 00 00 00 1A 21");
}

TEST_F(SignalPages, RadioZeroRefusedForSignalAndTrace) {
  select(0);
  for (const char* b : {"EnviaComando", "Button8"}) {
    dual().setStatusText("");
    click(b);
    EXPECT_TRUE(rec.writes.empty()) << b;
    EXPECT_EQ(status(), "Comando não pode ser enviado para ID zero!") << b;
  }
  // The master radio's own diagnostics and noise are readable.
  click("Button7");
  click("NXB_ruido");
  EXPECT_EQ(sent(), (std::vector<std::string>{"00 00 E7 00 00 00", "00 00 D8 00 00 00"}));
}

TEST_F(SignalPages, SignalReplyFillsLabelsBarsAndLog) {
  readSignalOfRadio5();
  EXPECT_EQ(text("TL_gateway"), "3");
  EXPECT_EQ(text("TL_ID_destino"), "5");
  EXPECT_EQ(text("TL_sinal_gw"), "80");
  EXPECT_EQ(text("TL_sinal_dest"), "85");
  EXPECT_EQ(text("TRSSI_ida"), "-80 dBm");
  EXPECT_EQ(text("TRSSI_volta"), "-85 dBm");
  EXPECT_EQ(text("TRADIO_ida"), "RADIO 3");
  EXPECT_EQ(text("TRADIO_volta"), "RADIO 5");
  EXPECT_EQ(w<QLineEdit>("tTEMPO")->text(), "300");
  EXPECT_EQ(bar("RSSI_ida")->value(), 60);
  EXPECT_EQ(bar("RSSI_ida")->colour(), kGreen);
  EXPECT_EQ(bar("RSSI_volta")->value(), 55);
  EXPECT_EQ(bar("RSSI_volta")->colour(), kBlue);
  EXPECT_EQ(status(), "");
  EXPECT_TRUE(tx().endsWith("] RSSI RADIO [3]<-[5] - 80 dBm  [5]<-[3] - 85 dBm (-1 Hz)")) << tx().toStdString();
  EXPECT_TRUE(tx().contains("\n[")) << tx().toStdString();
  EXPECT_EQ(dual().selector().gatewayShown(), std::optional<RadioId>(3));
}

// 0xD5 from any radio moves the bars without a log line; the clamp and the colour rule.
TEST_F(SignalPages, SignalFromAnyRadioScalesAndColoursBars) {
  struct Case {
    int level, position;
    QColor colour;
  };
  const Case cases[] = {{35, 100, kGreen}, {80, 60, kGreen}, {81, 59, kBlue}, {101, 39, kRed}, {150, 0, kRed}};
  select(5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.level);
    const QString before = tx();
    char hex[64];
    std::snprintf(hex, sizeof hex, "09 00 D5 04 00 %02X %02X 00 00", c.level, c.level);
    feed(hex);
    EXPECT_EQ(tx(), before);
    for (const char* b : {"RSSI_ida", "RSSI_volta"}) {
      EXPECT_EQ(bar(b)->value(), c.position) << b;
      EXPECT_EQ(bar(b)->colour(), c.colour) << b;
    }
    EXPECT_EQ(text("TRSSI_ida"), QStringLiteral("-%1 dBm").arg(c.level));
    EXPECT_EQ(text("TL_ID_destino"), "9");
  }
}

TEST_F(SignalPages, NoiseReplyFillsBothPages) {
  select(5);
  click("NXB_ruido");
  feed("05 00 D8 65 5B 5A");  // max 101, mean 91, min 90
  const std::tuple<const char*, int, QColor> bars[] = {{"Ruido_Min", 50, kRed},
                                                       {"PB_ruido_min", 50, kRed},
                                                       {"Ruido_Med", 49, kBlue},
                                                       {"PB_ruido_med", 49, kBlue},
                                                       {"Ruido_Max", 39, kGreen}};
  for (auto [name, pos, colour] : bars) {
    EXPECT_EQ(bar(name)->value(), pos) << name;
    EXPECT_EQ(bar(name)->colour(), colour) << name;
  }
  EXPECT_EQ(text("TRuido_Min"), "-90 dBm");
  EXPECT_EQ(text("TRuido_Med"), "-91 dBm");
  EXPECT_EQ(text("TRuido_Max"), "-101 dBm");
  EXPECT_EQ(text("TL_ruido_min"), "-90 dBm");
  EXPECT_EQ(text("TL_ruido_max"), "-101 dBm");
  EXPECT_EQ(text("TL_ruido_med_qualidade_dest"), "91");
  EXPECT_TRUE(tx().endsWith("] RUIDO RADIO [5] Min -90 dBm / Med -91 dBm / Max -101 dBm")) << tx().toStdString();
}

TEST_F(SignalPages, RepeatTimerFollowsRepete) {
  auto* timer = w<QTimer>("Timer1");
  EXPECT_EQ(timer->interval(), 2000);
  select(5);
  timer->start();
  click("NXB_ruido");
  EXPECT_FALSE(timer->isActive());
  w<QCheckBox>("Repete")->setChecked(true);
  click("Button7");
  EXPECT_TRUE(timer->isActive());
}

// Signal through the gateway, both noise readings, then the rating of both directions.
TEST_F(SignalPages, LinkRatingAfterBothNoiseReadings) {
  struct Case {
    int destNoise;
    const char* rating;
    const char* picture;
  };
  const Case cases[] = {{110, " Bom ", "IMG_qualidade_verde"},
                        {100, " Regular ", "IMG_qualidade_azul"},
                        {90, " Ruim ", "IMG_qualidade_verm"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rating);
    readSignalOfRadio5();
    char hex[64];
    std::snprintf(hex, sizeof hex, "05 00 D8 70 %02X 50", c.destNoise);
    feed(hex);
    rec.clear();
    click("NxB_ruido_GW");
    EXPECT_EQ(sent(), std::vector<std::string>{"03 00 D8 00 00 00"});
    feed("03 00 D8 70 6C 50");  // gateway mean noise 108: 108 - 80 = 28
    EXPECT_EQ(text("TL_ruido_med_qualidade_gw"), "108");
    EXPECT_EQ(text("TL_qual_volta"), c.rating);
    EXPECT_EQ(text("TL_qual_ida"), " Bom ");
    for (const char* p : {"IMG_qualidade_verde", "IMG_qualidade_azul", "IMG_qualidade_verm"})
      EXPECT_EQ(!w(p)->isHidden(), std::string(p) == c.picture) << p;
    EXPECT_FALSE(w("IMG_qualidade_sinal_verde_cck")->isHidden());
    EXPECT_TRUE(w("IMG_qualidade_sinal_Azul_cck")->isHidden());
    EXPECT_FALSE(w("Image21")->isHidden());
    EXPECT_TRUE(w("IMG_mestre")->isHidden());
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
  }
}

// The gateway's noise before the destination's: the rating has a value missing.
TEST_F(SignalPages, RatingWithAValueMissingWarns) {
  readSignalOfRadio5();
  feed("03 00 D8 70 6C 50");
  EXPECT_EQ(text("TL_ruido_med_qualidade_gw"), "108");
  EXPECT_EQ(dialogs.shown, QStringList{"warning: Aviso: erro!"});
  EXPECT_EQ(text("TL_qual_ida"), "----");
  EXPECT_EQ(text("TL_qual_volta"), "----");
  EXPECT_TRUE(w("IMG_qualidade_sinal_verde_cck")->isHidden());
}

TEST_F(SignalPages, LeavingTheSelectorForgetsTheGateway) {
  readSignalOfRadio5();
  select(5);
  for (const char* l : {"TL_gateway", "TL_ID_destino", "TL_sinal_gw", "TL_sinal_dest"}) EXPECT_EQ(text(l), "----") << l;
  EXPECT_FALSE(dual().selector().gatewayShown());
  const QString before = tx();
  feed("03 00 D8 70 6C 50");  // the old gateway no longer matches
  EXPECT_EQ(text("TL_ruido_med_qualidade_gw"), "----");
  EXPECT_EQ(tx(), before);
}

TEST_F(SignalPages, GatewayNoiseGuard) {
  select(5);
  click("NxB_ruido_GW");  // no signal reading yet
  EXPECT_EQ(dialogs.shown, QStringList{"warning: Aviso: É necessário fazer a leitura do sinal e ruído primeiro!"});
  EXPECT_TRUE(tx().endsWith(" Necessário fazer a leitura do sinal antes de analisar a qualidade do link."));
  EXPECT_TRUE(rec.writes.empty());

  struct Case {
    const char* gatewayBytes;
    bool sent;
  };
  const Case cases[] = {{"01 04", false}, {"00 04", true}, {"EB 03", true}};  // 1025, 1024, 1003
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gatewayBytes);
    rec.clear();
    feed(std::string("09 00 D5 ") + c.gatewayBytes + " 50 50 00 00");
    click("NxB_ruido_GW");
    EXPECT_EQ(rec.writes.size(), c.sent ? 1u : 0u);
    if (c.sent) {
      EXPECT_EQ(sent()[0].substr(0, 5), std::string(c.gatewayBytes));
    }
  }
  EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(SignalPages, DiagnosticReplyFillsGridAndLog) {
  select(5);
  auto* diag = w<QTableWidget>("Diag");
  diag->item(13, 1)->setText("old");
  click("Button7");
  EXPECT_EQ(diag->item(13, 1)->text(), "");
  const std::string reply =
      "05 00 E7 14 19 1E 21 21 22 00 03 00 01 00 02 07 00 01 51 80 00 00 00 0A 00 04 21 0C "
      "00 00 00 64 00 00 00 02 00 10 00 11 00 20 00 21 55 7D 07 82";
  feed(reply);
  const std::pair<int, const char*> rows[] = {{0, "5"},
                                              {1, "20"},
                                              {2, "25"},
                                              {3, "30"},
                                              {4, "3"},
                                              {5, "1 dd, 0 hr, 0 min, 0 seg"},
                                              {6, "12V"},
                                              {7, "100"},
                                              {8, "2"},
                                              {9, "16 / 17"},
                                              {10, "32 / 33"},
                                              {11, "PROBLEMA TENSÃO LINHA, RECEBENDO CONTACT-ID, BYPASS RELE"},
                                              {12, "BUFFER MESTRE CHEIO"},
                                              {13, "12,5V"},
                                              {14, "0,7V"},
                                              {15, "13,0V"}};
  for (auto [row, value] : rows) EXPECT_EQ(diag->item(row, 1)->text(), QString::fromUtf8(value)) << row;
  EXPECT_EQ(diag->item(7, 0)->text(), "EVENTOS TRANSMITIDOS");
  EXPECT_EQ(diag->item(12, 0)->text(), "ESTADO COMUNICAÇÃO RF");
  EXPECT_EQ(diag->item(15, 0)->text(), "TENSÃO MAX");
  const QString block = tx().mid(tx().lastIndexOf("\n["));
  EXPECT_TRUE(block.contains("]\nID RADIO       :5\nTemp Min       :20\nTemp Med       :25\n")) << block.toStdString();
  EXPECT_TRUE(block.contains("\nTempo Ligado   :86400\nTempo Reset    :10\n")) << block.toStdString();
  EXPECT_TRUE(block.endsWith("\nMax   L2       :33\nVBateria Min  :125\nVBateria Med  :7\nVBateria Max  :130"))
      << block.toStdString();

  // A reply from a radio neither selected nor the gateway is not rendered.
  diag->item(0, 1)->setText("");
  feed("06" + reply.substr(2));
  EXPECT_EQ(diag->item(0, 1)->text(), "");
}

TEST_F(SignalPages, DefineRouteFromTraceRowZero) {
  for (QChar c : QStringLiteral("rt1")) dual().SURKeyPress(c);
  EXPECT_FALSE(w("BDefRota")->isHidden());
  EXPECT_FALSE(w("BConsRota")->isHidden());
  auto* trace = w<QTableWidget>("Trace");
  EXPECT_NE(trace->editTriggers(), QAbstractItemView::NoEditTriggers);
  struct Case {
    std::vector<const char*> cells;  // row 0 from column 0
    const char* data;
  };
  const Case cases[] = {{{"x", "7", "3", ""}, "05 00 D3 01 02 07 00 03 00"},
                        {{}, "05 00 D3 01 00"},
                        {{"", "7", "", "9"}, "05 00 D3 01 01 07 00"},
                        {{"", "1003", "abc", "4"}, "05 00 D3 01 01 EB 03"}};
  select(5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    for (int col = 0; col < trace->columnCount(); ++col) trace->setItem(0, col, new QTableWidgetItem);
    for (std::size_t col = 0; col < c.cells.size(); ++col) trace->item(0, static_cast<int>(col))->setText(c.cells[col]);
    rec.clear();
    click("BDefRota");
    EXPECT_EQ(sent(), std::vector<std::string>{c.data});
  }
}

TEST_F(SignalPages, TraceRepliesAddRowsUntilTheTabIsEntered) {
  select(5);
  showPage("TabSheet5");
  click("Button8");
  feed("05 00 D2 0C 00 07 00 03 00");
  auto* trace = w<QTableWidget>("Trace");
  ASSERT_EQ(trace->rowCount(), 2);
  const QStringList expected{"12->", "7->", "3->", "0", ""};
  for (int c = 0; c < expected.size(); ++c) EXPECT_EQ(trace->item(1, c)->text(), expected[c]) << c;
  EXPECT_FALSE(trace->item(1, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(tx().endsWith("] TRACE [12]-[7]-[3]-[0]")) << tx().toStdString();

  // Seven bytes: no hop between the origin and the CRC.
  dual().ResponseDispatcherCall(QByteArray::fromHex("0500D20C00C0C1"));
  ASSERT_EQ(trace->rowCount(), 3);
  EXPECT_EQ(trace->item(2, 0)->text(), "12->");
  EXPECT_EQ(trace->item(2, 1)->text(), "0");
  EXPECT_TRUE(tx().endsWith("] TRACE [12]-[0]"));

  // A stored route from any radio selects that radio.
  feed("09 00 D3 09 00 04 00");
  ASSERT_EQ(trace->rowCount(), 4);
  EXPECT_EQ(trace->item(3, 0)->text(), "9->");
  EXPECT_EQ(dual().selector().currentRadio(), std::optional<RadioId>(9));

  showPage("TabSheet4");
  showPage("TabSheet5");
  EXPECT_EQ(trace->rowCount(), 1);
}

TEST_F(SignalPages, RepeatAndGatewayTables) {
  select(5);
  auto* start = w<QLineEdit>("Eng_IDrepeticao");
  auto* table = w<QTableWidget>("Eng_TabRepeticao");
  start->setText("1020");
  click("Eng_LeTabRep");
  EXPECT_EQ(sent(), std::vector<std::string>{"05 00 E3 FC 03 00"});
  std::string entries = "55 54 65";
  for (int i = 3; i < 20; ++i) entries += " 55";
  feed("05 00 E3 FC 03 " + entries);
  const std::vector<QStringList> rows{{"1020", "0", "0"}, {"1021", "1", "0"}, {"1022", "0", "3"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(table->item(r, c)->text(), rows[r][c]) << r << "," << c;
  EXPECT_EQ(table->item(19, 0)->text(), "1039");
  EXPECT_EQ(status(), "");

  rec.clear();
  click("Eng_LeTabGw");
  EXPECT_EQ(table->item(0, 0)->text(), "");  // emptied before the request
  std::string gw = "54 55 57";
  for (int i = 1; i < 16; ++i) gw += " 55 55 55";
  feed("05 00 E3 0F 27 " + gw);
  EXPECT_EQ(table->item(0, 0)->text(), "1");
  EXPECT_EQ(table->item(0, 1)->text(), "2");
  EXPECT_EQ(table->item(0, 2)->text(), "");
  EXPECT_EQ(table->item(16, 0)->text(), "");

  // A start id that is not a number: error box, nothing sent, table kept.
  rec.clear();
  start->setText("12a");
  click("Eng_LeTabRep");
  EXPECT_TRUE(rec.writes.empty());
  ASSERT_EQ(dialogs.shown.size(), 1);
  EXPECT_TRUE(dialogs.shown[0].startsWith("error: ")) << dialogs.shown[0].toStdString();
  EXPECT_EQ(table->item(0, 0)->text(), "1");
}

TEST_F(SignalPages, SyncAnalysisGoesToTheSyncBox) {
  select(5);
  click("Eng_Sync");
  std::string sync = "05 00 C3 01 03 00";
  for (int i = 6; i < 47; ++i) sync += " 00";
  feed(sync);
  const QString box = w<QPlainTextEdit>("Eng_SyncBox")->toPlainText();
  EXPECT_TRUE(box.startsWith("\nID             :5\nGW Sync        :3\nNivel Sync     :0")) << box.toStdString();
  EXPECT_FALSE(box.contains("d CLK CPU"));
  EXPECT_TRUE(box.endsWith("PKT RETRY      :0.000000 %\n")) << box.toStdString();
  EXPECT_TRUE(tx().endsWith(" CRC CRC\n"));
}

// Pictures of the pages as they look at 1366 x 768, for a look at the layout.
TEST_F(SignalPages, Screenshots) {
  for (QChar c : QStringLiteral("rt1")) dual().SURKeyPress(c);
  for (QChar c : QStringLiteral("en1")) dual().SURKeyPress(c);
  dual().setTabShown("RUIDO", true);
  readSignalOfRadio5();
  feed("05 00 D8 70 6E 68");
  click("NxB_ruido_GW");
  feed("03 00 D8 70 6C 50");
  feed(
      "05 00 E7 14 19 1E 21 21 22 00 03 00 01 00 02 07 00 01 51 80 00 00 00 0A 00 04 21 0C "
      "00 00 00 64 00 00 00 02 00 10 00 11 00 20 00 21 55 7D 07 82");
  feed("05 00 D2 0C 00 07 00 03 00");
  feed("05 00 E3 01 00 55 54 65 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55");
  std::string sync = "05 00 C3 02 03 00 2A 30 33 01 03 00 01 51 80 00 01 50 00";
  for (int i = 19; i < 51; ++i) sync += " 01";
  feed(sync);
  const std::pair<const char*, const char*> pages[] = {{"Comandos", "page-sinal.png"},
                                                       {"RUIDO", "page-ruido.png"},
                                                       {"TabSheet4", "page-diagnostico.png"},
                                                       {"TabSheet5", "page-tracarota.png"},
                                                       {"Engenharia", "page-engenharia.png"}};
  for (auto [name, file] : pages) {
    showPage(name);
    if (std::string(name) == "TabSheet5") feed("05 00 D2 0C 00 07 00 03 00");
    const QString path = QDir(ORVALIS_BINARY_DIR).filePath(file);
    EXPECT_TRUE(dual().grab().save(path)) << path.toStdString();
  }
}

}  // namespace
