// The UPGRADE tab (UPDATE_RF): open a .rad file, analyse it and upload it to one radio, stop-and-wait.
#pragma once

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <vector>

#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareUpload.h"
#include "ui/TabPage.h"

namespace orvalis {

class UpdateRfPage : public TabPage {
  Q_OBJECT
 public:
  explicit UpdateRfPage(PageContext& ctx);

  void OpenFileClick();
  void CRCExit();
  void programaClick();
  void pauseClick();
  void cancelClick();
  void ContEnderecoClick();
  // b1s..b7s: the reply timeout of the version read, erase and write steps.
  void timeoutClick(int ms);
  // Timer_ACK fired: the wait in progress ended without its answer.
  void Timer_ACKTimer();

  void onUploadReply(const Reply& r) override;

  const FirmwareUpload& upload() const { return upload_; }
  const FirmwareImage& image() const { return image_; }
  QTimer& timerAck() { return timerAck_; }
  int replyTimeoutMs() const { return replyTimeoutMs_; }

 signals:
  // The "%" cell of the mesh firmware table row of this radio.
  void meshPercentChanged(RadioId radio, int percent);

 private:
  // Asks the upload to pause; `button` then offers to continue.
  void requestPause(QPushButton* button, const QString& continueCaption);
  // PosFW as a record offset; none (after the error box) when it is not one.
  std::optional<std::size_t> typedOffset();
  void startUpload(UploadMode mode, std::size_t offset);
  void apply(UploadActions a);
  void log(const std::vector<TxEntry>& entries);
  void logLine(std::string_view text);
  void finished(UploadOutcome outcome);
  void syncState();
  void setIdleControls();
  std::optional<RadioId> targetFromId();

  FirmwareImage image_;
  FirmwareUpload upload_;
  QTimer timerAck_;
  QElapsedTimer elapsed_;
  int replyTimeoutMs_ = kDefaultReplyTimeoutMs;
  RadioId target_ = 0;
  bool fileReady_ = false;

  QPushButton* openFile_;
  QLineEdit* crc_;
  QProgressBar* andamento_;
  QPushButton* programa_;
  QPushButton* pause_;
  QPushButton* cancel_;
  QPushButton* contEndereco_;
  QLineEdit* posFw_;
  QCheckBox* updRf_;
  QGroupBox* radioGroup1_;
  std::vector<std::pair<QRadioButton*, int>> timeouts_;
};

}  // namespace orvalis
