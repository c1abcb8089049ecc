#include "ui/UpdateRfPage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/RadioSelector.h"

namespace orvalis {

namespace {
const QString kPauseCaption = QStringLiteral("PA&USA");
const QString kContinueCaption = QStringLiteral("CONTIN&UA");
const QString kContAddressCaption = QStringLiteral("CONTINUA 2");
const QString kContAddressPauseCaption = QStringLiteral("PAUSA");

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(name);
  return w;
}
QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

UpdateRfPage::UpdateRfPage(PageContext& ctx) : TabPage(ctx, "UPDATE_RF") {
  auto* group = Named(new QGroupBox(QStringLiteral("ATUALIZAÇÃO DE FIRMWARE")), "AtualizacaoFirmware");
  openFile_ = Named(new QPushButton(QStringLiteral("ABRE AR&QUIVO")), "OpenFile");
  crc_ = Named(new QLineEdit(QStringLiteral("0x0000")), "CRC");
  crc_->setMaximumWidth(80);
  crc_->hide();
  andamento_ = Named(new QProgressBar, "andamento");
  andamento_->setRange(0, 100);
  andamento_->setValue(0);
  andamento_->hide();
  programa_ = Named(new QPushButton(QStringLiteral("GRAVA FIRM&WARE")), "programa");
  pause_ = Named(new QPushButton(kPauseCaption), "pause");
  cancel_ = Named(new QPushButton(QStringLiteral("CA&NCELA")), "cancel");
  contEndereco_ = Named(new QPushButton(kContAddressCaption), "ContEndereco");
  contEndereco_->hide();
  posFw_ = Named(new QLineEdit(QStringLiteral("0x0000")), "PosFW");
  posFw_->setMaximumWidth(80);
  posFw_->hide();
  updRf_ = Named(new QCheckBox(QStringLiteral("Update via RF")), "UPD_RF");
  for (QPushButton* b : {programa_, pause_, cancel_}) b->setEnabled(false);

  radioGroup1_ = Named(new QGroupBox(QStringLiteral("TIMEOUT")), "RadioGroup1");
  auto* tl = new QHBoxLayout(radioGroup1_);
  for (const ReplyTimeoutChoice& c : kReplyTimeoutChoices) {
    auto* b = new QRadioButton(Q(c.caption));
    b->setObjectName(Q(c.control));
    // The choice shown is the timeout in force.
    b->setChecked(c.ms == replyTimeoutMs_);
    const int ms = c.ms;
    connect(b, &QRadioButton::clicked, this, [this, ms] { timeoutClick(ms); });
    timeouts_.emplace_back(b, ms);
    tl->addWidget(b);
  }

  auto* g = new QGridLayout(group);
  g->addWidget(openFile_, 0, 0);
  g->addWidget(programa_, 0, 1);
  g->addWidget(pause_, 0, 2);
  g->addWidget(cancel_, 0, 3);
  g->addWidget(andamento_, 1, 0, 1, 4);
  g->addWidget(updRf_, 2, 0);
  g->addWidget(crc_, 2, 1);
  g->addWidget(contEndereco_, 2, 2);
  g->addWidget(posFw_, 2, 3);
  g->addWidget(radioGroup1_, 3, 0, 1, 4);

  auto* v = new QVBoxLayout(this);
  v->addWidget(group);
  v->addStretch(1);

  timerAck_.setObjectName("Timer_ACK");
  timerAck_.setTimerType(Qt::PreciseTimer);
  timerAck_.setSingleShot(true);
  connect(&timerAck_, &QTimer::timeout, this, &UpdateRfPage::Timer_ACKTimer);

  connect(openFile_, &QPushButton::clicked, this, &UpdateRfPage::OpenFileClick);
  connect(programa_, &QPushButton::clicked, this, &UpdateRfPage::programaClick);
  connect(pause_, &QPushButton::clicked, this, &UpdateRfPage::pauseClick);
  connect(cancel_, &QPushButton::clicked, this, &UpdateRfPage::cancelClick);
  connect(contEndereco_, &QPushButton::clicked, this, &UpdateRfPage::ContEnderecoClick);
  connect(crc_, &QLineEdit::editingFinished, this, &UpdateRfPage::CRCExit);
  connect(posFw_, &QLineEdit::editingFinished, this, &UpdateRfPage::CRCExit);
}

void UpdateRfPage::OpenFileClick() {
  const QString path = ctx_.dialogs.openFile(Q(fw_text::kDialogTitle), Q(fw_text::kDialogFilter));
  if (path.isEmpty()) return;
  const std::string file = path.toStdString();
  if (ctx_.window) ctx_.window->setWindowTitle(Q(FirmwareCaption(file)));
  programa_->setEnabled(true);
  andamento_->setValue(0);
  andamento_->show();
  ctx_.tx.setFocus();
  ctx_.tx.clear();
  image_ = FirmwareImage::AnalyseFile(file);
  log(image_.log());
  fileReady_ = image_.ok();
  if (!fileReady_) {
    programa_->setEnabled(false);
    return;
  }
  logLine(fw_text::kReady);
}

void UpdateRfPage::CRCExit() {
  if (const auto t = NormaliseCrcText(crc_->text().toStdString())) crc_->setText(Q(*t));
}

std::optional<RadioId> UpdateRfPage::targetFromId() {
  const auto id = ctx_.selector.currentRadio();
  if (!id) ctx_.setStatus(QStringLiteral("ID fora da lista (0 a 1022)"));
  return id;
}

void UpdateRfPage::programaClick() {
  // One upload at a time: a running or paused one has to end first.
  if (!fileReady_ || upload_.running() || upload_.uploadActive()) return;
  const auto id = targetFromId();
  if (!id) return;
  logLine("");
  logLine("");
  openFile_->setEnabled(false);
  programa_->setEnabled(false);
  ctx_.dispatcher.clearReRead();
  cancel_->setEnabled(true);
  pause_->setEnabled(true);
  ctx_.state.meshFwState = 3;
  target_ = *id;
  startUpload(UploadMode::New, 0);
}

void UpdateRfPage::pauseClick() {
  if (pause_->text() == kPauseCaption) {
    requestPause(pause_, kContinueCaption);
    return;
  }
  if (upload_.running()) return;
  const auto offset = typedOffset();
  if (!offset) return;
  const auto id = targetFromId();
  if (!id) return;
  logLine(upload_text::kContinuing);
  pause_->setText(kPauseCaption);
  target_ = *id;
  startUpload(UploadMode::Continue, *offset);
}

void UpdateRfPage::requestPause(QPushButton* button, const QString& continueCaption) {
  if (upload_.pause().refused) return;
  logLine(upload_text::kPaused);
  button->setText(continueCaption);
  // Continue is offered once the request on the line has had its answer.
  pause_->setEnabled(false);
  contEndereco_->setEnabled(false);
}

std::optional<std::size_t> UpdateRfPage::typedOffset() {
  const auto offset = ParseIntegerText(posFw_->text().toStdString());
  if (!offset || *offset < 0) {
    ctx_.dialogs.error(QStringLiteral("Erro"),
                       QStringLiteral("'%1' não é um valor inteiro válido").arg(posFw_->text()));
    return std::nullopt;
  }
  return static_cast<std::size_t>(*offset);
}

void UpdateRfPage::ContEnderecoClick() {
  if (contEndereco_->text() == kContAddressPauseCaption) {
    requestPause(contEndereco_, kContAddressCaption);
    return;
  }
  if (upload_.running()) return;
  const auto offset = typedOffset();
  if (!offset) return;
  if (pause_->text() == kPauseCaption) {
    const auto id = targetFromId();
    if (!id) return;
    target_ = *id;
  }
  openFile_->setEnabled(false);
  programa_->setEnabled(false);
  cancel_->setEnabled(true);
  logLine(upload_text::kContinuing);
  contEndereco_->setText(kContAddressPauseCaption);
  startUpload(UploadMode::Continue, *offset);
}

void UpdateRfPage::cancelClick() {
  // A running upload gives up after its current wait; a paused one is closed here.
  apply(upload_.cancel());
}

void UpdateRfPage::timeoutClick(int ms) {
  replyTimeoutMs_ = ms;
  upload_.setReplyTimeout(ms);
  for (auto& [b, v] : timeouts_) b->setChecked(v == ms);
}

void UpdateRfPage::Timer_ACKTimer() {
  apply(upload_.onTimeout());
}

void UpdateRfPage::onUploadReply(const Reply& r) {
  apply(upload_.onReply(r.bytes));
}

void UpdateRfPage::startUpload(UploadMode mode, std::size_t offset) {
  // The file is read again now, as it is on the disk.
  const std::string path = image_.path();
  const auto text = FirmwareImage::ReadFileText(path);
  UploadStart s;
  s.mode = mode;
  s.target = target_;
  s.text = text.value_or(std::string());
  s.path = path;
  s.fileReadable = text.has_value();
  s.totalSize = image_.totalSize();
  s.replyTimeoutMs = replyTimeoutMs_;
  s.viaRf = updRf_->isChecked();
  s.startOffset = offset;
  // Destination and CRC, and the gateway prefix while "Via ID" is ticked.
  s.frameOverhead = 4 + (ctx_.sender.via() ? 3 : 0);
  s.fromControls = true;
  ctx_.state.targetRadio = target_;
  elapsed_.start();
  // Refused only while another upload runs or is paused; that one keeps its controls.
  apply(upload_.start(std::move(s)));
}

void UpdateRfPage::syncState() {
  ctx_.state.uploadActive = upload_.uploadActive();
  ctx_.state.ackState = upload_.ackState();
  if (upload_.uploadActive()) ctx_.state.targetRadio = upload_.target();
}

void UpdateRfPage::apply(UploadActions a) {
  if (a.refused) return;
  syncState();
  if (a.clearReReadTrigger) ctx_.dispatcher.clearReRead();
  if (a.setAwaitingReply) ctx_.state.awaitingReply = true;
  for (const UploadFrame& f : a.frames) ctx_.sender.SendFrame(f.dest, f.data);
  if (a.stopTimer) timerAck_.stop();
  if (a.armTimerMs) timerAck_.start(*a.armTimerMs);
  log(a.log);
  if (a.statistics) {
    const auto ms = elapsed_.isValid() ? static_cast<std::uint64_t>(elapsed_.elapsed()) : 0;
    for (const std::string& line : FormatUploadStatistics(*a.statistics, ms)) logLine(line);
  }
  if (!a.resultLine.empty()) logLine(a.resultLine);
  if (a.posFw) posFw_->setText(QString::number(static_cast<qulonglong>(*a.posFw)));
  if (a.progress) andamento_->setValue(*a.progress);
  if (a.meshPercent) emit meshPercentChanged(upload_.target(), *a.meshPercent);
  if (a.meshFwState) ctx_.state.meshFwState = *a.meshFwState;
  if (a.crcText) crc_->setText(Q(*a.crcText));
  if (a.outcome != UploadOutcome::None) finished(a.outcome);
}

void UpdateRfPage::finished(UploadOutcome outcome) {
  if (outcome == UploadOutcome::Paused) {
    // The wait is over: continuing is possible now.
    pause_->setEnabled(true);
    contEndereco_->setEnabled(true);
    return;
  }
  setIdleControls();
}

void UpdateRfPage::setIdleControls() {
  timerAck_.stop();
  pause_->setEnabled(false);
  cancel_->setEnabled(false);
  openFile_->setEnabled(true);
  programa_->setEnabled(fileReady_);
  contEndereco_->setEnabled(true);
  // Both continue controls start from their pause captions for the next upload.
  pause_->setText(kPauseCaption);
  contEndereco_->setText(kContAddressCaption);
}

void UpdateRfPage::log(const std::vector<TxEntry>& entries) {
  for (const TxEntry& e : entries) {
    if (e.kind == TxEntry::Kind::Line) {
      logLine(e.text);
    } else {
      ctx_.tx.appendText(Q(e.text));
    }
  }
}

void UpdateRfPage::logLine(std::string_view text) {
  // A cleared pane has no line to break away from.
  if (ctx_.tx.document()->isEmpty()) {
    ctx_.tx.appendText(Q(text));
  } else {
    ctx_.tx.appendLine(Q(text));
  }
}

}  // namespace orvalis
