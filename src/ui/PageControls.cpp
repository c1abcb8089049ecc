#include "ui/PageControls.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

#include "radio/SignalNoise.h"
#include "ui/LevelBarWidget.h"
#include "ui/RadioSelector.h"

namespace orvalis {

void ApplyLabels(QWidget& root, const std::vector<LabelText>& labels) {
  for (const LabelText& l : labels)
    if (auto* w = root.findChild<QLabel*>(Qs(l.name))) w->setText(Qs(l.text));
}

void ApplyBars(QWidget& root, const std::vector<LevelBar>& bars) {
  for (const LevelBar& b : bars) {
    if (auto* w = root.findChild<LevelBarWidget*>(Qs(b.name))) {
      w->setColour(b.colour);
      w->setValue(b.position);
    }
  }
}

void ApplyControlChanges(QWidget& root, const std::vector<ControlChange>& changes) {
  for (const ControlChange& c : changes) {
    auto* w = root.findChild<QWidget*>(Qs(c.name));
    if (!w) continue;
    if (c.visible) w->setVisible(*c.visible);
    if (c.enabled) w->setEnabled(*c.enabled);
    if (c.checked)
      if (auto* box = qobject_cast<QCheckBox*>(w)) box->setChecked(*c.checked);
  }
}

void AppendTxLines(PageContext& ctx, const std::vector<std::string>& lines) {
  for (const std::string& l : lines) ctx.tx.appendLine(Qs(l));
}

std::optional<RadioId> SelectedRadio(PageContext& ctx) {
  const auto id = ctx.selector.currentRadio();
  if (!id) ctx.setStatus(QStringLiteral("ID fora da lista (0 a %1)").arg(RadioSelector::kLastRadio));
  return id;
}

void TickLogOptions(QWidget& root) {
  for (const char* name : {"Decimal", "Cabecalho"})
    if (auto* b = root.findChild<QCheckBox*>(name)) b->setChecked(true);
}

void RestartRepeatTimer(QWidget& root) {
  auto* t = root.findChild<QTimer*>("Timer1");
  if (!t) return;
  auto* repete = root.findChild<QCheckBox*>("Repete");
  if (repete && repete->isChecked()) {
    t->start();
  } else {
    t->stop();
  }
}

void BeginRead(PageContext& ctx, QWidget& root, RadioId radio) {
  ctx.state.targetRadio = radio;
  TickLogOptions(root);
  ctx.setStatus(QString::fromUtf8(kAwaitingReply));
  if (auto* e = root.findChild<QLineEdit*>("tTEMPO")) e->clear();
}

void ScrollPanesToEnd(PageContext& ctx) {
  for (LogPane* p : {&ctx.tx, &ctx.sur}) {
    p->moveCursor(QTextCursor::End);
    p->verticalScrollBar()->setValue(p->verticalScrollBar()->maximum());
  }
}

void ReadNoise(PageContext& ctx, QWidget& root) {
  const auto radio = SelectedRadio(ctx);
  if (!radio) return;
  BeginRead(ctx, root, *radio);
  RestartRepeatTimer(root);
  ScrollPanesToEnd(ctx);
  ctx.sender.SendFrame(*radio, BuildNoiseRequest());
}

}  // namespace orvalis
