#include "ui/Diva2406.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSplitter>
#include <QStatusBar>
#include <QTime>
#include <QVBoxLayout>

#include "platform/Version.h"
#include "ui/PageFactory.h"
#include "ui/ReadingProfile.h"
#include "ui/SecondaryWindow.h"
#include "ui/AlertPopup.h"
#include "ui/ComunicacaoPage.h"
#include "ui/EventReceiver.h"
#include "ui/Form_eventos.h"
#include "ui/Form_periodico.h"
#include "ui/ServiceKeywords.h"

namespace orvalis {

namespace {
struct TabDef {
  const char* name;
  const char* caption;
};
// The page control's tabs in order.
constexpr TabDef kTabs[] = {
    {"Comunicacao", "CONEXÃO"}, {"Rede", "CONFIG"},          {"Comandos", "SINAL"},     {"USUARIO", "SENHA"},
    {"TabSheet1", "PARTIÇÃO"},  {"TabSheet3", "RELE BYPASS"}, {"UPDATE_RF", "UPGRADE"},  {"RUIDO", "RUIDO"},
    {"TabSheet4", "DIAGNÓSTICO"}, {"TabSheet5", "TRAÇA ROTA"}, {"PGM", "PGM"},          {"Intelbras", "INTELBRAS"},
    {"Engenharia", "Engenharia"}, {"JFL", "JFL"},             {"PARADOX", "PARADOX"},    {"COMPATEC", "COMPATEC"},
    {"TB_KORB7", "KORB7"},      {"TB_Viaweb", "VIAWEB"}};

struct PanelTabDef {
  const char* name;
  PanelTab tab;
};
constexpr PanelTabDef kPanelTabs[] = {{"Intelbras", PanelTab::Intelbras}, {"JFL", PanelTab::Jfl},
                                      {"PARADOX", PanelTab::Paradox},     {"COMPATEC", PanelTab::Compatec},
                                      {"TB_KORB7", PanelTab::Korb7},      {"TB_Viaweb", PanelTab::Viaweb}};
}  // namespace

TDual::TDual(Dialogs& dialogs, const QString& settingsPath, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), settingsPath_(settingsPath) {
  setObjectName("Dual");
  setWindowTitle(profile::kDesignCaption);
  sender_.setSerial(&serial_);
  sender_.setTcp(&tcp_);
  discovery_.setLocalEndpoint(QHostAddress(QHostAddress::LocalHost), 0);

  tx_ = new LogPane("Tx");
  sur_ = new LogPane("SUR");
  selector_ = new RadioSelector(sender_, dialogs_);
  connection_ = new ConnectionPanel(serial_, sender_, dialogs_, *tx_);

  auto* windows = new QGroupBox(QStringLiteral("JANELAS"));
  windows->setObjectName("GroupBox6");
  auto* wl = new QGridLayout(windows);
  mRadios_ = toggle("MRADIOS", QStringLiteral("RÁDIOS"));
  mEventos_ = toggle("MEVENTOS", QStringLiteral("EVENTOS"));
  mFw_ = toggle("MFW", QStringLiteral("FW"));
  mP2p_ = toggle("MP2P", QStringLiteral("P2P"));
  cbRssi_ = toggle("CB_RSSI", QStringLiteral("RSSI"));
  wl->addWidget(mRadios_, 0, 0);
  wl->addWidget(mEventos_, 0, 1);
  wl->addWidget(mFw_, 0, 2);
  wl->addWidget(mP2p_, 1, 0);
  wl->addWidget(cbRssi_, 1, 1);

  pg_ = new QTabWidget;
  pg_->setObjectName("PG");
  pg_->setUsesScrollButtons(false);  // multi-line tabs do not exist in Qt; keep all captions visible
  pg_->setDocumentMode(false);

  // Timer1: the one resend of a panel command; the read buttons of the signal pages stop or start it.
  auto* timer1 = new QTimer(this);
  timer1->setObjectName("Timer1");
  timer1->setInterval(2000);

  ctx_ = std::make_unique<PageContext>(PageContext{sender_, dispatcher_, state_, dialogs_, *tx_, *sur_, *selector_,
                                                   [this](const QString& t) { setStatusText(t); }});
  ctx_->window = this;
  ctx_->tcp = &tcp_;
  ctx_->discovery = &discovery_;
  ctx_->closeSerial = [this] { connection_->closeSerial(); };
  ctx_->periodicMinutesChanged = [this](int p) {
    if (windows_.per) windows_.per->table().setPeriodicMinutes(p);
  };
  buildPages();

  auto* top = new QHBoxLayout;
  top->addWidget(selector_);
  top->addWidget(connection_);
  top->addWidget(windows);
  top->addStretch(1);

  auto* panes = new QSplitter(Qt::Horizontal);
  panes->addWidget(tx_);
  panes->addWidget(sur_);
  panes->setStretchFactor(0, 3);
  panes->setStretchFactor(1, 2);

  auto* body = new QSplitter(Qt::Vertical);
  body->addWidget(pg_);
  body->addWidget(panes);
  body->setStretchFactor(0, 3);
  body->setStretchFactor(1, 1);
  body->setChildrenCollapsible(false);
  body->setSizes({460, 200});

  auto* central = new QWidget;
  auto* v = new QVBoxLayout(central);
  v->setContentsMargins(4, 4, 4, 0);
  v->addLayout(top);
  v->addWidget(body, 1);
  setCentralWidget(central);
  statusBar()->setObjectName("Status");
  // Keyboard focus follows the visual order: top row left to right, pages, panes.
  const QList<QWidget*> order{selector_->idBox(), selector_->viaBox(), selector_->viaIdBox(),
                              connection_->portBox(), connection_->connectButton(), connection_->tcpBox(),
                              mRadios_, mEventos_, mFw_, mP2p_, cbRssi_, pg_, tx_, sur_};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
  resize(1280, 720);

  connect(connection_, &ConnectionPanel::pageControlEnabled, pg_, &QWidget::setEnabled);
  connect(connection_, &ConnectionPanel::tcpChosen, this, [this](bool on) {
    setTabShown("Comunicacao", on);
    if (on) {
      pg_->setCurrentWidget(page("Comunicacao"));
      if (auto* c = qobject_cast<ComunicacaoPage*>(page("Comunicacao"))) c->startDiscovery();
    } else {
      pg_->setCurrentIndex(1);
    }
  });
  connect(&serial_, &SerialLink::burstReceived, this, &TDual::ResponseDispatcherCall);
  connect(&tcp_, &TcpControllerLink::bytesRead, this, &TDual::ResponseDispatcherCall);
  connect(connection_, &ConnectionPanel::closeTcpRequested, &tcp_, &TcpControllerLink::disconnectFromHost);
  connect(sur_, &LogPane::keyTyped, this, &TDual::SURKeyPress);
  sender_.onWriteFailed = [this](const std::string& path) {
    tx_->appendLine(QStringLiteral("Falha ao enviar pelo canal %1.").arg(QString::fromStdString(path)));
  };

  FormCreate();
}

TDual::~TDual() = default;

void TDual::setDiscoveryTarget(const QHostAddress& target, quint16 port, const QHostAddress& bindAddress,
                               quint16 bindPort) {
  discovery_.setTarget(target);
  discovery_.setTargetPort(port);
  discovery_.setLocalEndpoint(bindAddress, bindPort);
}

QCheckBox* TDual::toggle(const QString& name, const QString& caption) {
  auto* b = new QCheckBox(caption);
  b->setObjectName(name);
  return b;
}

void TDual::buildPages() {
  for (const TabDef& t : kTabs) {
    TabPage* p = MakePage(t.name, *ctx_);
    pageList_.push_back(p);
    fanout_.add(p);
    pg_->addTab(p, QString::fromUtf8(t.caption));
  }
}

TabPage* TDual::page(const QString& name) const {
  for (TabPage* p : pageList_)
    if (p->objectName() == name) return p;
  return nullptr;
}

void TDual::setTabShown(const QString& name, bool shown) {
  if (TabPage* p = page(name)) pg_->setTabVisible(pg_->indexOf(p), shown);
}

bool TDual::tabShown(const QString& name) const {
  TabPage* p = page(name);
  return p && pg_->isTabVisible(pg_->indexOf(p));
}

void TDual::FormCreate() {
  // 1. Firmware file paths are built from the folder the program started in.
  QDir::setCurrent(QDir::currentPath());
  // 3. Banner.
  tx_->appendText(QStringLiteral("%1 v%2 - configuração da rede QM417").arg(kProgramName, kProgramVersion));
  tx_->appendText("\n");
  // 4. Serial settings; the speed is forced to 9600.
  connection_->loadSettings(settingsPath_.isEmpty() ? SerialSettings::filePath() : settingsPath_);
  // 5-6.
  setTabShown("Engenharia", false);
  mP2p_->setVisible(false);
  selector_->viaBox()->setChecked(false);
  // 7-8. Reading profile: configuration buttons stay disabled for the run.
  for (const char* name : profile::kDisabledButtons)
    if (auto* w = findChild<QWidget*>(name)) w->setEnabled(false);
  // 9.
  for (const char* name : profile::kHiddenTabs) setTabShown(name, false);
  pg_->setCurrentIndex(1);
  pg_->setEnabled(false);
  // 10.
  setWindowTitle(profile::kCaption);
}

void TDual::attachWindows(const Windows& w) {
  windows_ = w;
  if (w.evento && w.per) {
    popup_ = new AlertPopup(this);
    events_ = new EventReceiver(sender_, *sur_, *w.evento, *w.per, *popup_, this);
    events_->ackEnabled = [this] {
      auto* b = findChild<QCheckBox*>("RetornaAck");
      return b && b->isChecked();
    };
    fanout_.add(events_);
    w.per->onStatus = [this](const QString& t) { setStatusText(t); };
    timerTli_ = new QTimer(this);
    timerTli_->setObjectName("TimerTLI");
    timerTli_->setInterval(1000);
    connect(timerTli_, &QTimer::timeout, this, &TDual::TimerTLITimer);
    timerTli_->start();
  }
  const std::pair<QCheckBox*, SecondaryWindow*> pairs[] = {
      {mEventos_, w.evento}, {mRadios_, w.per}, {mFw_, w.fw}, {mP2p_, w.p2p}, {cbRssi_, w.rssi}};
  for (auto [box, win] : pairs) {
    if (!win) continue;
    connect(box, &QCheckBox::toggled, win, [win](bool on) { win->setVisible(on); });
    connect(win, &SecondaryWindow::closed, box, [box] { box->setChecked(false); });
  }
}

void TDual::closeEvent(QCloseEvent* e) {
  // The events and communication-table windows write their logs on closing.
  if (windows_.evento) windows_.evento->close();
  if (windows_.per) windows_.per->close();
  e->accept();
  QApplication::quit();
}

void TDual::ResponseDispatcherCall(const QByteArray& bytes) {
  const std::string time = QTime::currentTime().toString("HH:mm:ss").toStdString();
  const std::span<const std::uint8_t> b(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size()));
  // The rest of an event message cut by the transport goes to intake first.
  if (events_ && events_->takesContinuation(b, time)) return;
  dispatcher_.dispatch(b, time);
}

void TDual::TimerTLITimer() {
  if (windows_.per) windows_.per->refresh(std::chrono::system_clock::now());
  if (events_) events_->onTick();
}

void TDual::SURKeyPress(QChar c) {
  if (const auto effect = keywords_.feed(c.unicode())) ApplyServiceKeyword(*effect, *this);
}

bool TDual::echoButtonVisible() const {
  auto* b = findChild<QWidget*>("Button_ECO");
  return b && !b->isHidden();
}

bool TDual::decimalTicked() const { return connection_->decimalBox()->isChecked(); }

PanelTab TDual::activeTab() const {
  const QWidget* cur = pg_->currentWidget();
  for (const PanelTabDef& d : kPanelTabs)
    if (cur && cur->objectName() == d.name) return d.tab;
  return PanelTab::Other;
}

void TDual::appendTx(std::string_view text) {
  tx_->appendText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TDual::setStatus(std::string_view text) {
  setStatusText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TDual::setStatusText(const QString& text) { statusBar()->showMessage(text); }
QString TDual::statusText() const { return statusBar()->currentMessage(); }

void TDual::clearUserText() {
  if (auto* l = findChild<QLabel*>("UserText")) l->clear();
}

}  // namespace orvalis
