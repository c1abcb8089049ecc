#include "ui/RedePage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QVBoxLayout>
#include <array>

#include "radio/RadioConfigRequests.h"
#include "radio/SignalNoise.h"
#include "ui/RadioSelector.h"

namespace orvalis {

namespace {
template <class W>
W* Named(W* w, const char* name, const QString& hint = QString()) {
  w->setObjectName(name);
  if (!hint.isEmpty()) w->setToolTip(hint);
  return w;
}
QCheckBox* Box(const char* name, const QString& caption, const QString& hint = QString()) {
  return Named(new QCheckBox(caption), name, hint);
}
QPushButton* Button(const char* name, const QString& caption) { return Named(new QPushButton(caption), name); }
QComboBox* List(const char* name, const QStringList& items) {
  auto* c = Named(new QComboBox, name);
  c->addItems(items);
  c->setCurrentIndex(-1);
  return c;
}
QLabel* Caption(const char* name, const QString& text) { return Named(new QLabel(text), name); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

RedePage::RedePage(PageContext& ctx) : TabPage(ctx, "Rede") {
  // Reads and the parameter grid.
  auto* bLocal = Button("BLeLocal", QStringLiteral("LEITURA LOCAL"));
  auto* bRemota = Button("BLeRemota", QStringLiteral("LEITURA REMOTA"));
  param_ = Named(new QTableWidget(static_cast<int>(kParamRows), 2), "Param");
  param_->horizontalHeader()->hide();
  param_->verticalHeader()->hide();
  param_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  param_->setColumnWidth(0, 150);
  param_->horizontalHeader()->setStretchLastSection(true);
  param_->verticalHeader()->setDefaultSectionSize(19);
  param_->setMinimumWidth(360);
  tid_ = Named(new QLineEdit("0"), "TID");
  tid_->setReadOnly(true);
  tid_->setMaximumWidth(60);

  auto* reads = new QGridLayout;
  reads->addWidget(bLocal, 0, 0);
  reads->addWidget(bRemota, 0, 1);
  reads->addWidget(new QLabel("ID"), 0, 2);
  reads->addWidget(tid_, 0, 3);
  reads->addWidget(param_, 1, 0, 1, 5);
  reads->setColumnStretch(4, 1);

  // Serial number and the configure options.
  auto* serialRow = new QHBoxLayout;
  serialRow->addWidget(new QLabel(QStringLiteral("NUMERO DE SÉRIE")));
  const char* serialNames[] = {"ID0", "ID1", "ID2", "ID3"};
  for (int i = 0; i < 4; ++i) {
    serial_[i] = Named(new QLineEdit("0"), serialNames[i]);
    serial_[i]->setMaximumWidth(48);
    serialRow->addWidget(serial_[i]);
    connect(serial_[i], &QLineEdit::editingFinished, this, [this, i] { SerialFieldExit(i); });
  }
  serialRow->addStretch(1);

  protocolo_ = List("Protocolo", {"SURGARD com ACK", "SURGARD sem ACK", "SURGARD com ACK Estendido",
                                  "SURGARD sem ACK Estendido", "RADIO ALARME"});
  tipoAck_ = List("TipoAck", {"AUTOMATICO", "TIPO 1- MONI, CONDOR, SEG", "TIPO 2- IRIS, SIGMA"});
  velocidade_ = List("Velocidade", {"19k (4gfsk)", "38k (4gfsk)", "50k (2gfsk)", "72k (4gfsk)"});
  serialBaud_ = List("SerialBaud", {"9600 bps", "115200 bps"});
  auto* tProtocolo = Caption("TProtocolo", QStringLiteral("PROTOCOLO  MESTRE"));
  auto* tTipoAck = Caption("TTipoAck", QStringLiteral("VERSAO KEEP ALIVE"));
  auto* label53 = Caption("Label53", QStringLiteral("Veloc."));
  auto* asdada = Caption("asdada", QStringLiteral("BaudR"));

  te810_ = Box("TE810", "E810", QStringLiteral("Evento Tensão de Alimentação Baixa (abaixo de 10Volts)"));
  te812_ = Box("TE812", "E812", QStringLiteral("Evento Tensão de Linha Baixa"));
  te01rep_ = Box("TE01rep", "Evt1Rep", QStringLiteral("Repete confirmação evento 01 repetido"));
  e886_ = Box("E886", "e889", QStringLiteral("Evento Tensão de Alimentação Baixa"));
  desLN_ = Box("DesLN", "DesLN");
  baixoConsumo_ = Box("HBaixoConsumo", QStringLiteral("Suspender com tensão abaixo 9,5V"),
                      QStringLiteral("Quando o rádio ficar mais de 10s com tensão abaixo de 9,5V,  suspende o "
                                     "funcionamento para preservar bateria"));
  repetidor_ = Box("HRepetidor", QStringLiteral("Funcao Repetidor"));
  disLN_ = Box("HDisLN", QStringLiteral("Ignora Lista Negra"));
  auto* eventos = Named(new QGroupBox(QStringLiteral("EVENTOS")), "THabilitaEventos");
  auto* ev = new QHBoxLayout(eventos);
  for (QCheckBox* b : {te810_, te812_, te01rep_, e886_, desLN_}) ev->addWidget(b);

  config_ = Button("BConfig", QStringLiteral("CONFIGURA RÁDIO ALARME"));

  auto* options = new QGridLayout;
  options->addLayout(serialRow, 0, 0, 1, 4);
  options->addWidget(tProtocolo, 1, 0);
  options->addWidget(protocolo_, 1, 1);
  options->addWidget(tTipoAck, 1, 2);
  options->addWidget(tipoAck_, 1, 3);
  options->addWidget(label53, 2, 0);
  options->addWidget(velocidade_, 2, 1);
  options->addWidget(asdada, 2, 2);
  options->addWidget(serialBaud_, 2, 3);
  options->addWidget(eventos, 3, 0, 1, 4);
  options->addWidget(baixoConsumo_, 4, 0, 1, 2);
  options->addWidget(repetidor_, 4, 2);
  options->addWidget(disLN_, 4, 3);
  options->addWidget(config_, 5, 0, 1, 2);
  options->setRowStretch(6, 1);

  // Periodic test, RF channel, command+event mode, service buttons.
  auto* periodic = Named(new QGroupBox(QStringLiteral("TESTE PERIÓDICO")), "BEVELPeriodico");
  periodico_ = Named(new QLineEdit("0"), "CPeriodico");
  periodico_->setMaxLength(4);
  periodico_->setMaximumWidth(60);
  auto* bPeriodico = Button("BPeriodico", QStringLiteral("CONFIGURA TEMPO DE TESTE PERIÓDICO"));
  auto* pl = new QHBoxLayout(periodic);
  pl->addWidget(Caption("Tperiodico", QStringLiteral("T(min)=")));
  pl->addWidget(periodico_);
  pl->addWidget(bPeriodico);

  auto* channel = Named(new QGroupBox(QStringLiteral("CANAL DE RF")), "Bevel3");
  canal_ = Named(new QComboBox, "BCanal");
  for (int i = 0; i < 64; ++i) canal_->addItem(QString::number(i));
  auto* button11 = Button("Button11", QStringLiteral("CONFIGURA CANAL DE RF"));
  auto* muda = Button("MudaCanalRemoto", QStringLiteral("MUDA CANAL"));
  auto* cl = new QHBoxLayout(channel);
  cl->addWidget(Caption("Label6", QStringLiteral("Canal")));
  cl->addWidget(canal_);
  cl->addWidget(button11);
  cl->addWidget(muda);

  auto* cmdEvt = Named(new QGroupBox(QStringLiteral("COMANDOS+EVENTOS NA SERIAL DE COMANDOS")), "TComandoEvento");
  auto* hab = Button("HComandoEvento", QStringLiteral("HABILITA"));
  auto* habExt = Button("HEComandoEvento", QStringLiteral("HABILITA Estendido"));
  auto* des = Button("DComandoEvento", QStringLiteral("DESABILITA"));
  auto* ce = new QHBoxLayout(cmdEvt);
  ce->addWidget(hab);
  ce->addWidget(habExt);
  ce->addWidget(des);
  retornaAck_ = Box("RetornaAck", QStringLiteral("Ativa ACK Eventos"));

  auto* eco = Button("Button_ECO", "ECO");
  auto* desSs = Button("Des_SS", "D SS");
  auto* ligaSs = Button("Liga_SS", "L SS");
  auto* desSs2 = Button("Des_SS2", "DSS2");
  auto* service = new QHBoxLayout;
  for (QPushButton* b : {eco, desSs, ligaSs, desSs2}) service->addWidget(b);
  service->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addWidget(periodic);
  right->addWidget(channel);
  right->addWidget(cmdEvt);
  right->addWidget(retornaAck_);
  right->addLayout(service);
  right->addStretch(1);

  auto* h = new QHBoxLayout(this);
  h->addLayout(reads, 3);
  h->addLayout(options, 3);
  h->addLayout(right, 3);

  // Design-time visibility; the read replies and the service keywords change it.
  for (QWidget* w : std::initializer_list<QWidget*>{
           eventos, te810_, te812_, te01rep_, e886_, desLN_, tProtocolo, protocolo_, tTipoAck, tipoAck_, periodic,
           cmdEvt, retornaAck_, velocidade_, serialBaud_, label53, asdada, eco, desSs, ligaSs, desSs2, muda})
    w->setVisible(false);
  // Reading profile: channel controls and the power options stay hidden.
  for (QWidget* w : std::initializer_list<QWidget*>{canal_, button11, channel, baixoConsumo_, disLN_, repetidor_})
    w->setVisible(false);
  ClearParameterFields();

  connect(bLocal, &QPushButton::clicked, this, &RedePage::BLeLocalClick);
  connect(bRemota, &QPushButton::clicked, this, &RedePage::BLeRemotaClick);
  connect(config_, &QPushButton::clicked, this, &RedePage::BConfigClick);
  connect(bPeriodico, &QPushButton::clicked, this, &RedePage::BPeriodicoClick);
  connect(periodico_, &QLineEdit::editingFinished, this, &RedePage::CPeriodicoExit);
  connect(button11, &QPushButton::clicked, this, &RedePage::Button11Click);
  connect(muda, &QPushButton::clicked, this, &RedePage::MudaCanalRemotoClick);
  connect(hab, &QPushButton::clicked, this, [this] { ComandoEventoClick(1); });
  connect(habExt, &QPushButton::clicked, this, [this] { ComandoEventoClick(2); });
  connect(des, &QPushButton::clicked, this, [this] { ComandoEventoClick(0); });
  connect(eco, &QPushButton::clicked, this, [this] {
    const std::array<std::uint8_t, 1> b{kEchoByte};
    ctx_.sender.writeRaw(b);
  });
  connect(desSs, &QPushButton::clicked, this, [this] { sendService(service::kDisableSs); });
  connect(ligaSs, &QPushButton::clicked, this, [this] { sendService(service::kEnableSs); });
  connect(desSs2, &QPushButton::clicked, this, [this] { sendService(service::kDisableSs2); });
}

QWidget* RedePage::control(std::string_view name) const {
  const QString n = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  QWidget* root = ctx_.window ? ctx_.window : const_cast<RedePage*>(this);
  return root->findChild<QWidget*>(n);
}

std::optional<RadioId> RedePage::selected() {
  const auto id = ctx_.selector.currentRadio();
  if (!id) ctx_.setStatus(QStringLiteral("ID fora da lista (0 a 1022)"));
  return id;
}

void RedePage::ClearParameterFields() {
  for (QLineEdit* e : serial_) e->setText("0");
  ctx_.state.serialNumber = {0, 0, 0, 0};
  protocolo_->setCurrentIndex(-1);
  tipoAck_->setCurrentIndex(-1);
  param_->setRowCount(static_cast<int>(kParamRows));
  for (int r = 0; r < param_->rowCount(); ++r) param_->setItem(r, 1, new QTableWidgetItem(QString()));
  if (auto* diag = qobject_cast<QTableWidget*>(control("Diag")))
    for (int r = 0; r < std::min(15, diag->rowCount()); ++r) diag->setItem(r, 1, new QTableWidgetItem(QString()));
}

void RedePage::BLeLocalClick() {
  const auto id = selected();
  if (!id) return;
  ctx_.sender.SendFrame(*id, BuildParameterRead(true, *id));
  ctx_.state.awaitingReply = true;
  ctx_.setStatus(QString::fromUtf8(kAwaitingReply));
  ClearParameterFields();
  if (*id != 0) ctx_.state.targetRadio = *id;
}

void RedePage::BLeRemotaClick() {
  const auto id = selected();
  if (!id) return;
  ctx_.sender.SendFrame(*id, BuildParameterRead(false, *id));
  ctx_.state.targetRadio = *id;
  ctx_.state.awaitingReply = true;
  ClearParameterFields();
}

void RedePage::onParameters(const Reply& r) { apply(BuildParameterView(r.bytes)); }

void RedePage::apply(const ParameterView& v) {
  if (v.answeringId) {
    ctx_.selector.selectRadio(*v.answeringId);
    tid_->setText(QString::number(*v.answeringId));
  }
  for (int i = 0; i < static_cast<int>(kParamRows); ++i) {
    param_->setItem(i, 0, new QTableWidgetItem(Q(v.rows[static_cast<std::size_t>(i)].label)));
    param_->setItem(i, 1, new QTableWidgetItem(Q(v.rows[static_cast<std::size_t>(i)].value)));
  }
  if (v.hardwareCode) ctx_.state.hardwareCode = *v.hardwareCode;
  canal_->setEnabled(v.channelControlsEnabled);
  if (auto* b = control("Button11")) b->setEnabled(v.channelControlsEnabled);
  if (v.channelIndex) canal_->setCurrentIndex(*v.channelIndex < canal_->count() ? *v.channelIndex : -1);
  if (v.protocoloIndex) protocolo_->setCurrentIndex(*v.protocoloIndex < protocolo_->count() ? *v.protocoloIndex : -1);
  if (v.velocidadeIndex)
    velocidade_->setCurrentIndex(*v.velocidadeIndex < velocidade_->count() ? *v.velocidadeIndex : -1);
  if (v.serialBaudIndex)
    serialBaud_->setCurrentIndex(*v.serialBaudIndex < serialBaud_->count() ? *v.serialBaudIndex : -1);
  if (v.periodicMinutes) {
    ctx_.state.periodicMinutes = *v.periodicMinutes;
    periodico_->setText(QString::number(*v.periodicMinutes));
    ctx_.periodicMinutesChanged(*v.periodicMinutes);
  }
  for (int i = 0; i < 4; ++i) {
    if (!v.serialNumber[static_cast<std::size_t>(i)]) continue;
    ctx_.state.serialNumber[static_cast<std::size_t>(i)] = *v.serialNumber[static_cast<std::size_t>(i)];
    serial_[i]->setText(QString::number(*v.serialNumber[static_cast<std::size_t>(i)]));
  }
  if (v.panelTypeListRule) {
    if (auto* list = qobject_cast<QComboBox*>(control("Tipo_Comunic"))) {
      for (const PanelTypeListEdit& e :
           PanelTypeListEdits(static_cast<std::size_t>(list->count()), *v.panelTypeListRule)) {
        if (e.kind == PanelTypeListEdit::Kind::Append)
          list->addItem(Q(e.text));
        else
          list->removeItem(static_cast<int>(e.index));
      }
    }
  }
  for (const ControlChange& c : v.controls) {
    QWidget* w = control(c.name);
    if (!w) continue;
    if (c.checked)
      if (auto* b = qobject_cast<QCheckBox*>(w)) b->setChecked(*c.checked);
    if (c.enabled) w->setEnabled(*c.enabled);
    if (c.visible) w->setVisible(*c.visible);
  }
  // The reading profile wins over what a reply shows.
  config_->setEnabled(false);
  if (!v.configureCaption.empty()) config_->setText(Q(v.configureCaption));
  for (const std::string& line : v.log) ctx_.tx.appendLine(Q(line));
}

void RedePage::onPeriodicMinutes(const Reply& r) {
  if (const auto t = PeriodicMinutesText(r.bytes)) param_->setItem(9, 1, new QTableWidgetItem(Q(*t)));
}

void RedePage::CPeriodicoExit() {
  const IntegerParse p = ParsePeriodicMinutes(periodico_->text().toStdString());
  if (!p.ok()) {
    ctx_.dialogs.error(QStringLiteral("Erro"), Q(p.error));
    return;
  }
  ctx_.state.periodicMinutes = static_cast<int>(*p.value);
  periodico_->setText(QString::number(*p.value));
  ctx_.periodicMinutesChanged(ctx_.state.periodicMinutes);
}

void RedePage::BPeriodicoClick() {
  const auto id = selected();
  if (!id) return;
  const PeriodicTestFromText plan = PlanPeriodicTest(periodico_->text().toStdString());
  if (!plan.plan) {
    ctx_.dialogs.error(QStringLiteral("Erro"), Q(plan.error));
    return;
  }
  if (plan.plan->needsConfirmation &&
      !ctx_.dialogs.confirm(QStringLiteral("Atenção"), QString::fromUtf8(kPeriodicTooLowWarning)))
    return;
  ctx_.state.periodicMinutes = plan.plan->minutesSent;
  ctx_.sender.SendFrame(*id, plan.plan->request);
  ctx_.dispatcher.armReRead(code::kPeriodicTest);
}

void RedePage::Button11Click() {
  const auto id = selected();
  if (!id) return;
  if (ChannelChangeNeedsWarning(*id) &&
      !ctx_.dialogs.confirm(QStringLiteral("Atenção"), QString::fromUtf8(kLocalChannelWarning)))
    return;
  ctx_.sender.SendFrame(*id, BuildChannel(canal_->currentIndex()));
  ctx_.dispatcher.armReRead(code::kChannel);
}

void RedePage::MudaCanalRemotoClick() {
  const auto id = selected();
  if (!id) return;
  ctx_.sender.SendFrame(*id, BuildRemoteChannel(canal_->currentIndex()));
}

void RedePage::ComandoEventoClick(std::uint8_t mode) {
  ctx_.sender.SendFrame(kCommandEventModeDestination, BuildCommandEventMode(mode));
  ctx_.dispatcher.armReRead(code::kCommandEventMode);
}

void RedePage::sendService(std::uint8_t subCode) {
  const auto id = selected();
  if (!id) return;
  ctx_.sender.SendFrame(*id, BuildServiceCommand(subCode));
}

void RedePage::BConfigClick() {
  const auto id = selected();
  if (!id) return;
  ConfigurePage p;
  p.te810 = te810_->isChecked();
  p.te812 = te812_->isChecked();
  p.te01rep = te01rep_->isChecked();
  p.e886 = e886_->isChecked();
  p.desLN = desLN_->isChecked();
  for (std::size_t i = 0; i < 4; ++i) p.serial[i] = ctx_.state.serialNumber[i];
  p.protocolo = protocolo_->currentIndex();
  p.tipoAck = tipoAck_->currentIndex();
  p.velocidade = velocidade_->currentIndex();
  p.serialBaud = serialBaud_->currentIndex();
  p.baixoConsumo = baixoConsumo_->isChecked();
  p.repetidor = repetidor_->isChecked();
  p.disLN = disLN_->isChecked();
  ctx_.sender.SendFrame(*id, BuildConfigure(*id, p));
}

void RedePage::SerialFieldExit(int field) {
  const IntegerParse p = ClampSerialField(field, serial_[field]->text().toStdString());
  if (!p.ok()) {
    ctx_.dialogs.error(QStringLiteral("Erro"), Q(p.error));
    return;
  }
  serial_[field]->setText(QString::number(*p.value));
  ctx_.state.serialNumber[static_cast<std::size_t>(field)] = static_cast<int>(*p.value);
}

}  // namespace orvalis
