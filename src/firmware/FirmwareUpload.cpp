#include "firmware/FirmwareUpload.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareRequests.h"
#include "firmware/HeaderCompatibility.h"
#include "firmware/RadRecordClass.h"
#include "link/ByteReader.h"

namespace orvalis {

namespace {
struct RefusalText {
  std::uint8_t state;
  std::string_view text;
};
constexpr std::array<RefusalText, 4> kRefusals{{
    {2, " Erro: Ack de Outro Endereço Recebido "},
    {4, " Erro: Faixa de Endereço FLASH "},
    {6, " Erro: Gravação na Flash "},
    {18, " Erro: Endereço ROM "},
}};
constexpr std::string_view kOtherError = " Outro Erro ";

struct StepInfo {
  UploadStep step;
  int retries;
  std::string_view exhausted;
};
constexpr std::array<StepInfo, 4> kSteps{{
    {UploadStep::VersionRead, FirmwareUpload::kVersionRetries, upload_text::kVersionNoAnswer},
    {UploadStep::Erase, FirmwareUpload::kEraseRetries, upload_text::kEraseNoAnswer},
    {UploadStep::Write, FirmwareUpload::kWriteRetries, upload_text::kWriteTimeout},
    {UploadStep::End, FirmwareUpload::kEndRetries, upload_text::kEndNoAnswer},
}};

const StepInfo& Info(UploadStep s) {
  for (const auto& i : kSteps)
    if (i.step == s) return i;
  return kSteps[0];
}

TxEntry Line(std::string_view t) {
  return TxEntry::line(std::string(t));
}
TxEntry Append(std::string_view t) {
  return TxEntry::append(std::string(t));
}
}  // namespace

std::string_view WriteRefusalText(std::uint8_t ackState) {
  for (const auto& r : kRefusals)
    if (r.state == ackState) return r.text;
  return kOtherError;
}

UploadActions FirmwareUpload::start(UploadStart s) {
  UploadActions a;
  if (running_ || (s.mode == UploadMode::New && active_)) {
    a.refused = true;
    return a;
  }
  cfg_ = std::move(s);
  readPos_ = 0;
  active_ = true;
  paused_ = false;
  pause_ = false;
  cancel_ = false;
  writePrepared_ = false;
  if (cfg_.mode == UploadMode::New) {
    section_ = 0;
    progress_ = 1;
    meshFwState_ = 3;
    if (cfg_.fromControls) a.meshFwState = meshFwState_;
  } else {
    section_ = savedSection_;
    readPos_ = std::min(cfg_.startOffset, cfg_.text.size());
  }
  stats_ = {};
  if (!cfg_.fileReadable) {
    fail(a, FileNotFoundLine(cfg_.path));
    return a;
  }
  nextRecord(a);
  return a;
}

UploadActions FirmwareUpload::resume() {
  if (running_ || !paused_) {
    UploadActions a;
    a.refused = true;
    return a;
  }
  UploadStart s = cfg_;
  s.mode = UploadMode::Continue;
  s.startOffset = posFw_;
  return start(std::move(s));
}

void FirmwareUpload::nextRecord(UploadActions& a) {
  step_ = UploadStep::Idle;
  RadRecordReader reader(cfg_.text, readPos_);
  posFw_ = reader.position();
  a.posFw = posFw_;
  // Running out of records before the end record is a failure: the image would never be activated.
  if (!reader.skipToMark()) return fail(a, upload_text::kNoMark);
  RadRecordHead head;
  if (reader.readHead(head) != RadRecordReader::Status::Ok) return fail(a, fw_text::kOutOfSpec);
  if (head.count == 0x18) a.log.push_back(Line(upload_text::kCount18));

  const RadRecordClass cls = ClassifyRadRecord(head.type);
  if (cls == RadRecordClass::NotAllowed) return fail(a, fw_text::kOutOfSpec);
  if (cls == RadRecordClass::End) {
    Bytes check;
    if (reader.readBytes(2, check) != RadRecordReader::Status::Ok) return fail(a, fw_text::kOutOfSpec);
    readPos_ = reader.position();
    checkValue_ = static_cast<std::uint16_t>((check[0] << 8) | check[1]);
    endFlag_ = head.type == rad::kEndBankB ? 1 : 0;
    a.crcText = CrcBoxText(checkValue_);
    return beginStep(UploadStep::End, a);
  }
  // The whole record must be there before anything is sent for it; a header also needs both its bytes.
  if (reader.readBody(head, record_) != RadRecordReader::Status::Ok ||
      (cls == RadRecordClass::Header && head.count < 2))
    return fail(a, fw_text::kOutOfSpec);
  readPos_ = reader.position();
  if (cls == RadRecordClass::Header) return beginStep(UploadStep::VersionRead, a);
  prepareWrite(a);
  beginStep(UploadStep::Write, a);
}

void FirmwareUpload::prepareWrite(UploadActions& a) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "Section %d : [%04X] words from [%04X]", section_, record_.head.count,
                record_.head.address);
  a.log.push_back(TxEntry::line(buf));
  ++section_;
  progress_ += record_.head.count;
  stats_.fileBytes += record_.head.count;
  packet_ = BuildWritePacket(record_);
  writePrepared_ = true;
}

void FirmwareUpload::beginStep(UploadStep s, UploadActions& a) {
  step_ = s;
  budget_ = Info(s).retries;
  attempt(a);
}

void FirmwareUpload::attempt(UploadActions& a) {
  // Pause and cancel are honoured before every request, so nothing goes out after either.
  if (pause_ || cancel_) return endInterrupted(a);
  a.clearReReadTrigger = true;
  Bytes data;
  switch (step_) {
    case UploadStep::VersionRead:
      data = BuildVersionRead(cfg_.viaRf);
      break;
    case UploadStep::Erase:
      data = BuildErase();
      break;
    case UploadStep::End:
      data = BuildEndCommand(endFlag_, checkValue_);
      break;
    default:
      data = packet_;
      stats_.rfBytes += data.size() + cfg_.frameOverhead;
      expectedAddress_ = record_.head.address;
      break;
  }
  if (step_ != UploadStep::Write) a.setAwaitingReply = true;
  a.frames.push_back({cfg_.target, std::move(data)});
  ackState_ = ack_state::kWaiting;
  running_ = true;
  a.armTimerMs = step_ == UploadStep::End ? kEndTimeoutMs : cfg_.replyTimeoutMs;
}

UploadActions FirmwareUpload::onReply(std::span<const std::uint8_t> burst) {
  UploadActions a;
  if (!running_) return a;
  const ByteReader r(burst);
  const auto source = r.u16le(0);
  const auto c = r.u8(2);
  if (!source || !c || *source != cfg_.target) return a;
  // A reply too short for the bytes it is read for does not end the wait.
  switch (*c) {
    case fw_code::kRemoteVersionRead:
    case fw_code::kLocalVersionRead: {
      const auto hw = r.u8(9);
      const auto bank = r.u8(18);
      if (!hw || !bank) return a;
      reportedHw_ = hw;
      reportedBank_ = bank;
      ackState_ = ack_state::kAnswered;
      a.log.push_back(Append(upload_text::kOk));
      break;
    }
    case fw_code::kErase:
      ackState_ = ack_state::kErased;
      a.log.push_back(Append(upload_text::kErased));
      break;
    case fw_code::kWrite: {
      const auto result = r.u8(4);
      const auto address = r.u16be(5);
      if (!result || !address) return a;
      if (*address == expectedAddress_ && *result == 0) {
        ackState_ = ack_state::kWritten;
        a.log.push_back(Append(upload_text::kOk));
      } else {
        ackState_ = static_cast<std::uint8_t>(*result + 2);
        a.log.push_back(Append(WriteRefusalText(ackState_)));
      }
      break;
    }
    case fw_code::kEnd: {
      const auto result = r.u8(4);
      if (!result) return a;
      endResult_ = result;
      ackState_ = ack_state::kAnswered;
      a.log.push_back(Append(upload_text::kOk));
      break;
    }
    default:
      return a;
  }
  a.taken = true;
  lastReplyCode_ = *c;
  // Result code 254 maps onto "waiting": the wait goes on until the timer.
  if (ackState_ == ack_state::kWaiting) return a;
  finishWait(a, stepSucceeded());
  return a;
}

UploadActions FirmwareUpload::onTimeout() {
  UploadActions a;
  if (!running_) return a;
  ackState_ = ack_state::kTimeout;
  lastReplyCode_ = 0;
  finishWait(a, false);
  return a;
}

bool FirmwareUpload::stepSucceeded() const {
  // Each step needs the answer to its own request; any other reply of the set only ends the wait.
  switch (step_) {
    case UploadStep::VersionRead:
      return ackState_ == ack_state::kAnswered &&
             (lastReplyCode_ == fw_code::kRemoteVersionRead || lastReplyCode_ == fw_code::kLocalVersionRead);
    case UploadStep::Erase:
      return ackState_ == ack_state::kErased;
    case UploadStep::Write:
      return ackState_ == ack_state::kWritten;
    case UploadStep::End:
      return ackState_ == ack_state::kAnswered && lastReplyCode_ == fw_code::kEnd;
    default:
      return false;
  }
}

void FirmwareUpload::finishWait(UploadActions& a, bool ok) {
  running_ = false;
  a.stopTimer = true;
  if (ok) return stepDone(a);
  if (budget_ <= 0) return fail(a, Info(step_).exhausted);
  --budget_;
  if (step_ == UploadStep::Write) a.log.push_back(Line(upload_text::kRetry));
  attempt(a);
}

void FirmwareUpload::stepDone(UploadActions& a) {
  switch (step_) {
    case UploadStep::VersionRead: {
      const HeaderCheck h{record_.head.type, record_.data[0], record_.data[1], cfg_.target, reportedHw_, reportedBank_};
      if (const auto refusal = CheckHeaderCompatibility(h)) return fail(a, *refusal);
      return beginStep(UploadStep::Erase, a);
    }
    case UploadStep::Erase:
      prepareWrite(a);
      return beginStep(UploadStep::Write, a);
    case UploadStep::Write: {
      writePrepared_ = false;
      showProgress(a, ProgressPercent(progress_, cfg_.totalSize));
      return nextRecord(a);
    }
    case UploadStep::End:
      a.log.push_back(Line(endResult_ == endFlag_ ? upload_text::kWriteOk : upload_text::kWriteProblems));
      a.log.push_back(Line(upload_text::kWriteFinished));
      return normalEnd(a);
    default:
      return;
  }
}

void FirmwareUpload::showProgress(UploadActions& a, int percent) const {
  a.progress = percent;
  if (meshFwState_ == 3 && cfg_.target != 0) a.meshPercent = percent;
}

void FirmwareUpload::normalEnd(UploadActions& a) {
  step_ = UploadStep::Idle;
  if (cancel_) return endInterrupted(a);
  a.log.push_back(Line(" "));
  showProgress(a, 100);
  a.statistics = stats_;
  // Nothing is left running: the upload-active flag must not keep the dispatcher holding fragments.
  active_ = false;
  paused_ = false;
  pause_ = false;
  a.outcome = UploadOutcome::Success;
  if (cfg_.fromControls) {
    a.resultLine = upload_text::kSuccess;
    meshFwState_ = 0;
    a.meshFwState = 0;
  }
}

void FirmwareUpload::fail(UploadActions& a, std::string_view message) {
  a.log.push_back(Line(message));
  endInterrupted(a);
}

void FirmwareUpload::endInterrupted(UploadActions& a) {
  running_ = false;
  // The record being sent stays at PosFW, so continuing sends it again with the same section number.
  if (writePrepared_) {
    progress_ -= record_.head.count;
    savedSection_ = section_ - 1;
    writePrepared_ = false;
  } else {
    savedSection_ = section_;
  }
  step_ = UploadStep::Idle;
  // A cancel wins over a pause asked for in the same wait.
  if (!cancel_ && pause_) {
    paused_ = true;
    pause_ = false;
    a.outcome = UploadOutcome::Paused;
    if (cfg_.fromControls) a.resultLine = upload_text::kAwaitingRestart;
    return;
  }
  a.outcome = cancel_ ? UploadOutcome::Cancelled : UploadOutcome::Failed;
  active_ = false;
  paused_ = false;
  pause_ = false;
  cancel_ = false;
  if (cfg_.fromControls) {
    a.resultLine = a.outcome == UploadOutcome::Cancelled ? upload_text::kCancelled : upload_text::kFailed;
    a.progress = 0;
    a.meshPercent = 0;
    meshFwState_ = 0;
    a.meshFwState = 0;
  }
}

UploadActions FirmwareUpload::pause() {
  UploadActions a;
  if (!running_) {
    a.refused = true;
    return a;
  }
  pause_ = true;
  return a;
}

UploadActions FirmwareUpload::cancel() {
  UploadActions a;
  if (running_) {
    budget_ = 0;
    cancel_ = true;
    return a;
  }
  if (!paused_) {
    a.refused = true;
    return a;
  }
  paused_ = false;
  active_ = false;
  a.outcome = UploadOutcome::Cancelled;
  a.resultLine = upload_text::kCancelled;
  a.progress = 0;
  a.meshPercent = 0;
  meshFwState_ = 0;
  a.meshFwState = 0;
  return a;
}

}  // namespace orvalis
