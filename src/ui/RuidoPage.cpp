#include "ui/RuidoPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "radio/LinkQuality.h"
#include "ui/LevelBarWidget.h"
#include "ui/PageControls.h"

namespace orvalis {

RuidoPage::RuidoPage(PageContext& ctx, QWidget* parent) : TabPage(ctx, "RUIDO", parent) {
  auto* box = new QGroupBox(QStringLiteral("RUÍDO"), this);
  box->setObjectName("GB_Ruido");
  auto* read = new QPushButton(QStringLiteral("LEITURA RUIDO"), box);
  read->setObjectName("Button1");
  read->setMinimumHeight(30);

  struct Column {
    const char* title;
    const char* bar;
    const char* text;
  };
  const Column columns[] = {
      {"MIN", "Ruido_Min", "TRuido_Min"}, {"MED", "Ruido_Med", "TRuido_Med"}, {"MAX", "Ruido_Max", "TRuido_Max"}};
  auto* bars = new QHBoxLayout;
  for (const Column& c : columns) {
    auto* v = new QVBoxLayout;
    auto* title = new QLabel(c.title, box);
    auto* bar = new LevelBarWidget(c.bar, box);
    auto* text = new QLabel(QString::fromUtf8(LinkQuality::kUnset), box);
    text->setObjectName(c.text);
    text->setMinimumWidth(70);
    text->setAlignment(Qt::AlignCenter);
    text->setFrameShape(QFrame::Panel);
    text->setFrameShadow(QFrame::Sunken);
    v->addWidget(title, 0, Qt::AlignHCenter);
    v->addWidget(bar, 1, Qt::AlignHCenter);
    v->addWidget(text, 0, Qt::AlignHCenter);
    bars->addLayout(v);
  }
  auto* bv = new QVBoxLayout(box);
  bv->addWidget(read);
  bv->addLayout(bars, 1);

  auto* h = new QHBoxLayout(this);
  h->addWidget(box);
  h->addStretch(1);
  box->setMinimumWidth(320);

  connect(read, &QPushButton::clicked, this, &RuidoPage::Button1Click);
}

void RuidoPage::Button1Click() {
  ReadNoise(ctx_, *window());
}

}  // namespace orvalis
