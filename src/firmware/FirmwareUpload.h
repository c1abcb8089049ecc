// Stop-and-wait upload of one .rad image to one radio: replies, timer expiry, pause and cancel go in; what
// to send, the timer to arm and what to show come out. It never reads a clock and never blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/RadRecordReader.h"
#include "firmware/TxEntry.h"
#include "firmware/UploadStatistics.h"
#include "link/RadioTypes.h"

namespace orvalis {

enum class UploadMode { New, Continue };
enum class UploadOutcome { None, Success, Paused, Cancelled, Failed };
enum class UploadStep { Idle, VersionRead, Erase, Write, End };

struct UploadStart {
  UploadMode mode = UploadMode::New;
  RadioId target = 0;
  std::string text;             // the file as read now (the upload reads it again, record by record)
  std::string path;             // for the message when the file could not be read
  bool fileReadable = true;     // false: the upload fails at once with "[path] file not found"
  std::uint32_t totalSize = 1;  // from the analysis pass
  int replyTimeoutMs = 5000;    // version read, erase and write steps
  bool viaRf = false;           // "Update via RF": version read 0xD4 instead of 0xE2
  std::size_t startOffset = 0;  // continue mode: the byte offset shown in PosFW
  // Bytes SendFrame puts around the data (destination, gateway prefixes, CRC): counted in the RF statistic.
  std::size_t frameOverhead = 4;
  // Started by the GRAVA FIRMWARE / continue controls: the result handling of the controls is part of the
  // outcome (result line, progress 0, MeshFwState 0). The mesh worker does its own.
  bool fromControls = true;
};

struct UploadFrame {
  RadioId dest = 0;
  Bytes data;  // CommandCode first, for SendFrame
  bool operator==(const UploadFrame&) const = default;
};

// Apply in this order: clear the re-read trigger, set the awaiting-reply flag, send the frames, stop the
// timer, arm it, write the log (then the statistic lines when present, then the result line), and the rest.
struct UploadActions {
  bool refused = false;             // the call was not possible in the current state; nothing changed
  bool taken = false;               // onReply: the reply was used
  bool clearReReadTrigger = false;  // a request is about to go out
  bool setAwaitingReply = false;
  std::vector<UploadFrame> frames;
  bool stopTimer = false;
  std::optional<int> armTimerMs;
  std::vector<TxEntry> log;
  std::optional<UploadStatistics> statistics;  // on success; print with FormatUploadStatistics
  std::string resultLine;                      // the controls' closing line, after everything else
  std::optional<std::size_t> posFw;            // decimal offset for PosFW
  std::optional<int> progress;                 // andamento, 0..100
  std::optional<int> meshPercent;              // "%" cell of the mesh table row of the target
  std::optional<int> meshFwState;
  std::optional<std::string> crcText;  // CRC box
  UploadOutcome outcome = UploadOutcome::None;
};

namespace ack_state {
inline constexpr std::uint8_t kWaiting = 0;
inline constexpr std::uint8_t kAnswered = 1;
inline constexpr std::uint8_t kTimeout = 5;
inline constexpr std::uint8_t kErased = 10;
inline constexpr std::uint8_t kWritten = 20;
}  // namespace ack_state

namespace upload_text {
inline constexpr std::string_view kNoMark = "Não começa com ':'";
inline constexpr std::string_view kCount18 = "tam 0x18";
inline constexpr std::string_view kRetry = "Time Out - Repetindo ";
inline constexpr std::string_view kVersionNoAnswer = "Sem resposta leitura do Rádio";
inline constexpr std::string_view kEraseNoAnswer = "Sem resposta do Rádio";
inline constexpr std::string_view kWriteTimeout = "Erro de Transmissao - Time Out";
inline constexpr std::string_view kEndNoAnswer = "Verifique se o Firmware foi ativado";
inline constexpr std::string_view kWriteOk = "Gravação ok";
inline constexpr std::string_view kWriteProblems = "Gravação com problemas";
inline constexpr std::string_view kWriteFinished = "Fim da Gravação";
inline constexpr std::string_view kOk = " OK ";
inline constexpr std::string_view kErased = " \n Memória Apagada OK ";
inline constexpr std::string_view kSuccess = "Firmware carregado com sucesso";
inline constexpr std::string_view kAwaitingRestart = "Aguardando reinicio";
inline constexpr std::string_view kCancelled = "Carga do firmware Cancelada";
inline constexpr std::string_view kFailed = "Erro na carga do firmware";
// Logged by the pause / continue controls themselves.
inline constexpr std::string_view kPaused = "Carga Firmware pausada";
inline constexpr std::string_view kContinuing = "Ccontinuando Carga Firmware";
}  // namespace upload_text

// The TIMEOUT group: control name, caption and reply timeout.
struct ReplyTimeoutChoice {
  std::string_view control;
  std::string_view caption;
  int ms;
};
inline constexpr ReplyTimeoutChoice kReplyTimeoutChoices[] = {
    {"b1s", "1s", 1000}, {"b15s", "1,5s", 1500}, {"b2s", "2s", 2000},
    {"b3s", "3s", 3000}, {"b5s", "5s", 5000},    {"b7s", "7s", 7000},
};
inline constexpr int kDefaultReplyTimeoutMs = 5000;

// The text logged for a refused write acknowledgement (AckState 2, 4, 6, 18 or other).
std::string_view WriteRefusalText(std::uint8_t ackState);

class FirmwareUpload {
 public:
  static constexpr int kVersionRetries = 5;
  static constexpr int kEraseRetries = 5;
  static constexpr int kWriteRetries = 125;
  static constexpr int kEndRetries = 20;
  static constexpr int kEndTimeoutMs = 10000;

  // Refused while a wait is running, and a new upload also while one is paused.
  UploadActions start(UploadStart s);
  // Continue a paused upload from PosFW with the settings of the last start.
  UploadActions resume();
  // A reply burst from the dispatcher (source id at 0, CommandCode at 2).
  UploadActions onReply(std::span<const std::uint8_t> burst);
  // The reply timer fired.
  UploadActions onTimeout();
  // Takes effect when the current wait ends: nothing further is sent.
  UploadActions pause();
  // Running: gives up after the current wait. Paused: closes the upload at once.
  UploadActions cancel();
  // The reply timeout for later requests of this upload (TIMEOUT choices).
  void setReplyTimeout(int ms) { cfg_.replyTimeoutMs = ms; }

  bool running() const { return running_; }
  bool paused() const { return paused_; }
  bool uploadActive() const { return active_; }
  std::uint8_t ackState() const { return ackState_; }
  RadioId target() const { return cfg_.target; }
  UploadStep step() const { return step_; }
  std::size_t posFw() const { return posFw_; }
  int retryBudget() const { return budget_; }
  int sectionNumber() const { return section_; }
  int savedSection() const { return savedSection_; }
  std::uint64_t progressCount() const { return progress_; }
  const UploadStatistics& statistics() const { return stats_; }
  std::optional<std::uint8_t> reportedHardware() const { return reportedHw_; }
  std::optional<std::uint8_t> reportedBank() const { return reportedBank_; }
  std::optional<std::uint8_t> endResult() const { return endResult_; }
  bool pauseRequested() const { return pause_; }
  bool cancelRequested() const { return cancel_; }
  int meshFwState() const { return meshFwState_; }

 private:
  void nextRecord(UploadActions& a);
  void prepareWrite(UploadActions& a);
  void beginStep(UploadStep s, UploadActions& a);
  void attempt(UploadActions& a);
  bool stepSucceeded() const;
  void finishWait(UploadActions& a, bool ok);
  void stepDone(UploadActions& a);
  void normalEnd(UploadActions& a);
  void endInterrupted(UploadActions& a);
  void fail(UploadActions& a, std::string_view message);
  void showProgress(UploadActions& a, int percent) const;

  UploadStart cfg_;
  std::size_t readPos_ = 0;  // where the next record is looked for in cfg_.text
  UploadStep step_ = UploadStep::Idle;
  bool running_ = false;
  bool paused_ = false;
  bool active_ = false;
  bool pause_ = false;
  bool cancel_ = false;
  std::uint8_t ackState_ = ack_state::kWaiting;
  CommandCode lastReplyCode_ = 0;
  int budget_ = 0;
  std::size_t posFw_ = 0;
  int section_ = 0;
  int savedSection_ = 0;
  std::uint64_t progress_ = 1;
  int meshFwState_ = 0;
  UploadStatistics stats_;
  RadRecord record_;
  bool writePrepared_ = false;
  Bytes packet_;
  std::uint16_t expectedAddress_ = 0;
  std::uint8_t endFlag_ = 0;
  std::uint16_t checkValue_ = 0;
  std::optional<std::uint8_t> reportedHw_;
  std::optional<std::uint8_t> reportedBank_;
  std::optional<std::uint8_t> endResult_;
};

}  // namespace orvalis
