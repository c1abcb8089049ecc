#include "ui/RadioSelector.h"

#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>

namespace orvalis {

namespace {
QComboBox* NumberList(const QString& name, int last, QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  QStringList items;
  items.reserve(last + 1);
  for (int i = 0; i <= last; ++i) items << QString::number(i);
  c->addItems(items);
  c->setCurrentIndex(0);
  c->setMaxVisibleItems(20);
  c->setMinimumContentsLength(5);
  return c;
}
}  // namespace

RadioSelector::RadioSelector(CommandSender& sender, Dialogs& dialogs, QWidget* parent)
    : QGroupBox(QStringLiteral("ID RÁDIO"), parent), sender_(sender), dialogs_(dialogs) {
  setObjectName("GroupBox1");
  id_ = NumberList("ID", kLastRadio, this);
  via_ = new QCheckBox(QStringLiteral("Via ID"), this);
  via_->setObjectName("VIA");
  idVia_ = NumberList("IDVIA", kLastGateway, this);
  auto* g = new QGridLayout(this);
  g->addWidget(id_, 0, 0, 1, 2);
  g->addWidget(via_, 1, 0);
  g->addWidget(idVia_, 1, 1);
  via_->setVisible(false);
  idVia_->setVisible(false);

  id_->installEventFilter(this);
  idVia_->installEventFilter(this);
  connect(id_->lineEdit(), &QLineEdit::editingFinished, this, &RadioSelector::IDChange);
  connect(idVia_->lineEdit(), &QLineEdit::editingFinished, this, &RadioSelector::IDChange);
  connect(id_, &QComboBox::activated, this, &RadioSelector::IDChange);
  connect(idVia_, &QComboBox::activated, this, [this] { syncVia(); });
  connect(via_, &QCheckBox::toggled, this, [this] { syncVia(); });
  sender_.onViaUnticked = [this] { via_->setChecked(false); };
  syncVia();
}

bool RadioSelector::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::FocusOut && (o == id_ || o == idVia_)) IDChange();
  return QGroupBox::eventFilter(o, e);
}

void RadioSelector::syncVia() {
  const int gw = idVia_->currentIndex();
  sender_.setVia(via_->isChecked(), static_cast<RadioId>(gw < 0 ? 0 : gw));
}

std::optional<RadioId> RadioSelector::currentRadio() const {
  const int i = id_->currentIndex();
  if (i < 0) return std::nullopt;
  return static_cast<RadioId>(i);
}

std::optional<RadioId> RadioSelector::remoteRadio(const std::function<void(const QString&)>& setStatus) const {
  const auto id = currentRadio();
  if (!id) {
    setStatus(QStringLiteral("ID fora da lista (0 a 1022)"));
    return std::nullopt;
  }
  if (*id == 0) {
    setStatus(QStringLiteral("Comando não pode ser enviado para ID zero!"));
    return std::nullopt;
  }
  return id;
}

void RadioSelector::selectRadio(RadioId id) {
  if (id <= kLastRadio) id_->setCurrentIndex(id);
}

std::optional<RadioId> RadioSelector::gatewayShown() const {
  if (!gatewayLabel_) return std::nullopt;
  const QString t = gatewayLabel_->text().trimmed();
  if (t.startsWith('-')) return std::nullopt;
  bool ok = false;
  const uint v = t.toUInt(&ok);
  if (!ok || v > 0xFFFF) return std::nullopt;
  return static_cast<RadioId>(v);
}

void RadioSelector::IDChange() {
  for (QComboBox* box : {id_, idVia_}) {
    QString t = box->currentText().trimmed();
    if (box == id_ && t.isEmpty()) t = "0";
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok) {
      dialogs_.error(QStringLiteral("Erro"), QStringLiteral("'%1' não é um número inteiro válido").arg(t));
      return;  // the field keeps its text
    }
    const int last = box == id_ ? kLastRadio : kLastGateway;
    box->setCurrentIndex(v >= 0 && v <= last ? v : -1);
    box->setEditText(t);
  }
  syncVia();
  emit selectionLeft(id_->currentIndex());
}

}  // namespace orvalis
