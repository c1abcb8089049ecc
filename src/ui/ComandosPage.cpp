#include "ui/ComandosPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "radio/SignalNoise.h"
#include "ui/IndicatorWidget.h"
#include "ui/LevelBarWidget.h"
#include "ui/PageControls.h"
#include "ui/RadioSelector.h"

namespace orvalis {

namespace {
constexpr const char* kRatedLabels[] = {"TL_gateway",
                                        "TL_ID_destino",
                                        "TL_ruido_med_qualidade_gw",
                                        "TL_ruido_med_qualidade_dest",
                                        "TL_sinal_gw",
                                        "TL_sinal_dest",
                                        "TL_qual_ida",
                                        "TL_qual_volta"};

QPushButton* Button(const char* name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setMinimumHeight(30);
  return b;
}

QLabel* Caption(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

// A bar with its title above and its value below.
QVBoxLayout* BarColumn(QLabel* title, LevelBarWidget* bar, QLabel* value) {
  auto* v = new QVBoxLayout;
  v->addWidget(title, 0, Qt::AlignHCenter);
  v->addWidget(bar, 1, Qt::AlignHCenter);
  v->addWidget(value, 0, Qt::AlignHCenter);
  return v;
}
}  // namespace

QLabel* ComandosPage::valueLabel(const char* name, const QString& text) {
  auto* l = new QLabel(text, this);
  l->setObjectName(name);
  l->setAlignment(Qt::AlignCenter);
  l->setMinimumWidth(70);
  l->setFrameShape(QFrame::Panel);
  l->setFrameShadow(QFrame::Sunken);
  return l;
}

ComandosPage::ComandosPage(PageContext& ctx, QWidget* parent) : TabPage(ctx, "Comandos", parent) {
  const QString unset = QString::fromUtf8(LinkQuality::kUnset);

  // 1 - RUÍDO: noise floor of the selected radio.
  auto* noiseBox = new QGroupBox(QStringLiteral("1 - RUÍDO"), this);
  noiseBox->setObjectName("GB_ruido");
  auto* nxbRuido = Button("NXB_ruido", QStringLiteral("LEITURA RUIDO"), noiseBox);
  auto* pbMin = new LevelBarWidget("PB_ruido_min", noiseBox);
  auto* pbMed = new LevelBarWidget("PB_ruido_med", noiseBox);
  auto* noiseBars = new QHBoxLayout;
  noiseBars->addLayout(BarColumn(Caption("MIN", noiseBox), pbMin, valueLabel("TL_ruido_min", unset)));
  noiseBars->addLayout(BarColumn(Caption("MED", noiseBox), pbMed, valueLabel("TL_ruido_med", unset)));
  auto* maxRow = new QHBoxLayout;
  maxRow->addWidget(new QLabel("MAX", noiseBox));
  maxRow->addWidget(valueLabel("TL_ruido_max", unset));
  auto* nv = new QVBoxLayout(noiseBox);
  nv->addWidget(nxbRuido);
  nv->addLayout(noiseBars, 1);
  nv->addLayout(maxRow);

  // 2 - SINAL: both directions between the selected radio and its gateway.
  auto* signalBox = new QGroupBox(QStringLiteral("2 - SINAL"), this);
  signalBox->setObjectName("GB_sinal");
  auto* envia = Button("EnviaComando", QStringLiteral("LEITURA SINAL"), signalBox);
  auto* ida = new LevelBarWidget("RSSI_ida", signalBox);
  auto* volta = new LevelBarWidget("RSSI_volta", signalBox);
  auto* radioIda = valueLabel("TRADIO_ida", QStringLiteral("RADIO"));
  auto* radioVolta = valueLabel("TRADIO_volta", QStringLiteral("RADIO"));
  radioIda->setFrameShape(QFrame::NoFrame);
  radioVolta->setFrameShape(QFrame::NoFrame);
  auto* signalBars = new QHBoxLayout;
  signalBars->addLayout(BarColumn(radioIda, ida, valueLabel("TRSSI_ida", unset)));
  signalBars->addLayout(BarColumn(radioVolta, volta, valueLabel("TRSSI_volta", unset)));
  tTempo_ = new QLineEdit(signalBox);
  tTempo_->setObjectName("tTEMPO");
  tTempo_->setReadOnly(true);
  tTempo_->setMaximumWidth(90);
  auto* timeRow = new QHBoxLayout;
  timeRow->addWidget(new QLabel(QStringLiteral("TEMPO (ms)"), signalBox));
  timeRow->addWidget(tTempo_);
  auto* repete = new QCheckBox(QStringLiteral("Repete"), signalBox);
  repete->setObjectName("Repete");
  timeRow->addWidget(repete);
  timeRow->addStretch(1);
  auto* sv = new QVBoxLayout(signalBox);
  sv->addWidget(envia);
  sv->addLayout(signalBars, 1);
  sv->addLayout(timeRow);

  // 3 - QUALIDADE DO LINK: gateway noise, then the rating of each direction.
  auto* qualityBox = new QGroupBox(QStringLiteral("3 - QUALIDADE DO LINK"), this);
  qualityBox->setObjectName("GB_qualidade");
  auto* nxbGw = Button("NxB_ruido_GW", QStringLiteral("LEITURA RUIDO"), qualityBox);
  nxbGw->setToolTip(QStringLiteral("Use após ler o Ruído e Sinal!"));
  auto* g = new QGridLayout;
  g->addWidget(Caption("GW", qualityBox), 0, 1);
  g->addWidget(Caption("ID", qualityBox), 0, 2);
  auto* gwPictures = new QHBoxLayout;
  auto* radioPic = new IndicatorWidget("Image21", IndicatorColour::Grey, QStringLiteral("RÁDIO"), qualityBox);
  auto* masterPic = new IndicatorWidget("IMG_mestre", IndicatorColour::Black, QStringLiteral("MESTRE"), qualityBox);
  radioPic->setVisible(false);
  masterPic->setVisible(false);
  gwPictures->addWidget(radioPic);
  gwPictures->addWidget(masterPic);
  g->addLayout(gwPictures, 1, 1, Qt::AlignCenter);
  tlGateway_ = valueLabel("TL_gateway");
  g->addWidget(new QLabel(QStringLiteral("RÁDIO"), qualityBox), 2, 0);
  g->addWidget(tlGateway_, 2, 1);
  g->addWidget(valueLabel("TL_ID_destino"), 2, 2);
  g->addWidget(new QLabel(QStringLiteral("SINAL"), qualityBox), 3, 0);
  g->addWidget(valueLabel("TL_sinal_gw"), 3, 1);
  g->addWidget(valueLabel("TL_sinal_dest"), 3, 2);
  g->addWidget(new QLabel(QStringLiteral("RUÍDO"), qualityBox), 4, 0);
  g->addWidget(valueLabel("TL_ruido_med_qualidade_gw"), 4, 1);
  g->addWidget(valueLabel("TL_ruido_med_qualidade_dest"), 4, 2);
  g->addWidget(new QLabel(QStringLiteral("QUALIDADE"), qualityBox), 5, 0);
  g->addWidget(valueLabel("TL_qual_ida"), 5, 1);
  g->addWidget(valueLabel("TL_qual_volta"), 5, 2);
  struct Picture {
    const char* name;
    IndicatorColour colour;
    int column;
  };
  const Picture pictures[] = {{"IMG_qualidade_sinal_verde_cck", IndicatorColour::Green, 1},
                              {"IMG_qualidade_sinal_Azul_cck", IndicatorColour::Blue, 1},
                              {"IMG_qualidade_sinal_Verm_cck", IndicatorColour::Red, 1},
                              {"IMG_qualidade_verde", IndicatorColour::Green, 2},
                              {"IMG_qualidade_azul", IndicatorColour::Blue, 2},
                              {"IMG_qualidade_verm", IndicatorColour::Red, 2}};
  QHBoxLayout* pictureRows[3] = {nullptr, new QHBoxLayout, new QHBoxLayout};
  for (const Picture& p : pictures) {
    auto* w = new IndicatorWidget(p.name, p.colour, QString(), qualityBox);
    w->setVisible(false);
    pictureRows[p.column]->addWidget(w);
  }
  g->addLayout(pictureRows[1], 6, 1, Qt::AlignCenter);
  g->addLayout(pictureRows[2], 6, 2, Qt::AlignCenter);
  g->setRowMinimumHeight(1, 26);
  g->setRowMinimumHeight(6, 26);
  auto* qv = new QVBoxLayout(qualityBox);
  qv->addWidget(nxbGw);
  qv->addLayout(g);
  qv->addStretch(1);

  auto* h = new QHBoxLayout(this);
  h->addWidget(noiseBox, 2);
  h->addWidget(signalBox, 3);
  h->addWidget(qualityBox, 4);

  ctx_.selector.setGatewayLabel(tlGateway_);
  connect(&ctx_.selector, &RadioSelector::selectionLeft, this, &ComandosPage::resetLabels);
  connect(nxbRuido, &QPushButton::clicked, this, &ComandosPage::NXB_ruidoClick);
  connect(envia, &QPushButton::clicked, this, &ComandosPage::EnviaComandoClick);
  connect(nxbGw, &QPushButton::clicked, this, &ComandosPage::NxB_ruido_GWClick);
}

void ComandosPage::resetLabels() {
  quality_.reset();
  for (const char* name : kRatedLabels)
    if (auto* l = findChild<QLabel*>(name)) l->setText(QString::fromUtf8(LinkQuality::kUnset));
}

void ComandosPage::EnviaComandoClick() {
  const auto radio = ctx_.selector.remoteRadio(ctx_.setStatus);
  if (!radio) return;
  BeginRead(ctx_, root(), *radio);
  ctx_.sender.SendFrame(*radio, BuildSignalRequest());
}

void ComandosPage::NXB_ruidoClick() {
  ReadNoise(ctx_, root());
}

void ComandosPage::NxB_ruido_GWClick() {
  TickLogOptions(root());
  ctx_.setStatus(QString::fromUtf8(kAwaitingReply));
  RestartRepeatTimer(root());
  ScrollPanesToEnd(ctx_);
  const GatewayNoisePlan plan = quality_.gatewayNoise();
  if (plan.warning) ctx_.dialogs.warning(QStringLiteral("Aviso"), Qs(*plan.warning));
  // The guard's text goes on the current line, as the log shows it.
  for (const std::string& l : plan.log) ctx_.tx.appendText(Qs(l));
  if (plan.destination) ctx_.sender.SendFrame(*plan.destination, BuildNoiseRequest());
}

void ComandosPage::showSignal(const Reply& r, bool withLog) {
  const SignalDisplay d = quality_.onSignal(r.bytes, withLog, r.timeText);
  ApplyBars(root(), d.bars);
  ApplyLabels(root(), d.labels);
  if (d.linkTime) tTempo_->setText(Qs(*d.linkTime));
  AppendTxLines(ctx_, d.log);
}

void ComandosPage::onSignalAnySource(const Reply& r) {
  showSignal(r, false);
}
void ComandosPage::onSignal(const Reply& r) {
  showSignal(r, true);
}

void ComandosPage::onNoise(const Reply& r) {
  const RadioId selected = ctx_.selector.currentRadio().value_or(0xFFFF);
  const NoiseDisplay d = quality_.onNoise(r.bytes, selected, r.timeText);
  ApplyBars(root(), d.bars);
  ApplyLabels(root(), d.labels);
  AppendTxLines(ctx_, d.log);
  if (!d.rating) return;
  if (d.rating->warning) {
    ctx_.dialogs.warning(QStringLiteral("Aviso"), Qs(*d.rating->warning));
    return;
  }
  ApplyLabels(root(), d.rating->labels);
  ApplyControlChanges(root(), d.rating->pictures);
}

}  // namespace orvalis
