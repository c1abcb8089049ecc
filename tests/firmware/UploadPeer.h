// A scripted radio for upload tests: answers the firmware requests, keeps a flash model, injects faults.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "firmware/FirmwareRequests.h"
#include "firmware/FirmwareUpload.h"
#include "firmware/RadImageMaker.h"

namespace orvalis::test {

struct PeerConfig {
  RadioId id = 5;
  std::uint8_t hardware = 13;
  std::uint8_t bank = 1;
  std::uint8_t firmware = 6;
  std::uint8_t revision = 18;
  bool answerVersion = true;
  bool answerErase = true;
  bool answerEnd = true;
  bool writesSilent = false;
  std::set<int> dropWrites;                // write packets (0-based, resends counted) left unanswered
  std::set<int> otherAddress;              // acknowledged with the next address
  std::map<int, std::uint8_t> refuseWith;  // acknowledged with this result code
  std::optional<std::uint8_t> endResult;   // default: the flag when the check value matches
  bool shortWriteAcks = false;             // acknowledgement cut before the address
};

class UploadPeer {
 public:
  explicit UploadPeer(PeerConfig c) : c_(std::move(c)) {}

  std::optional<Bytes> answer(const UploadFrame& f) {
    if (f.dest != c_.id || f.data.empty()) return std::nullopt;
    switch (f.data[0]) {
      case fw_code::kLocalVersionRead:
      case fw_code::kRemoteVersionRead: {
        if (!c_.answerVersion) return std::nullopt;
        Bytes r(33, 0);
        head(r, f.data[0]);
        r[9] = c_.hardware;
        r[11] = c_.revision;
        r[17] = c_.firmware;
        r[18] = c_.bank;
        r[19] = 1;
        return r;
      }
      case fw_code::kErase:
        if (!c_.answerErase) return std::nullopt;
        flash.clear();
        erased = true;
        return reply(fw_code::kErase, {0, 0, 0});
      case fw_code::kWrite:
        return write(f.data);
      case fw_code::kEnd: {
        if (!c_.answerEnd) return std::nullopt;
        const std::uint8_t flag = f.data[1];
        const std::uint16_t check = static_cast<std::uint16_t>((f.data[2] << 8) | f.data[3]);
        Bytes image;
        for (const auto& [addr, b] : flash) image.push_back(b);
        const bool good = erased && RadImageCheckValue(image) == check;
        if (good) {
          c_.bank = flag;
          if (const auto tag = ReadVersionTag(image)) {
            c_.firmware = tag->version;
            c_.revision = tag->revision;
          }
        }
        return reply(fw_code::kEnd, {0, c_.endResult.value_or(good ? flag : 0xFF)});
      }
      default:
        return std::nullopt;
    }
  }

  const PeerConfig& config() const { return c_; }
  std::map<std::uint32_t, std::uint8_t> flash;  // data records by linear address
  bool erased = false;
  int writesSeen = 0;
  int badCheckBytes = 0;

 private:
  void head(Bytes& r, std::uint8_t code) const {
    r[0] = static_cast<std::uint8_t>(c_.id);
    r[1] = static_cast<std::uint8_t>(c_.id >> 8);
    r[2] = code;
  }
  Bytes reply(std::uint8_t code, const std::vector<std::uint8_t>& payload) const {
    Bytes r(3 + payload.size() + 2, 0);
    head(r, code);
    std::copy(payload.begin(), payload.end(), r.begin() + 3);
    r[r.size() - 2] = 0x12;  // CRC bytes; the tool does not check them
    r[r.size() - 1] = 0x34;
    return r;
  }
  std::optional<Bytes> write(const Bytes& p) {
    const int n = writesSeen++;
    if (p.size() < 8 || p.size() != 8u + p[3]) return std::nullopt;
    if (WriteCheckByte(std::span(p).first(p.size() - 1)) != p.back()) {
      ++badCheckBytes;
      return std::nullopt;
    }
    if (c_.writesSilent || c_.dropWrites.count(n)) return std::nullopt;
    const std::uint8_t type = p[2], count = p[3];
    const std::uint16_t addr = static_cast<std::uint16_t>((p[4] << 8) | p[5]);
    std::uint8_t result = 0;
    if (const auto it = c_.refuseWith.find(n); it != c_.refuseWith.end()) result = it->second;
    const std::uint16_t acked = c_.otherAddress.count(n) ? static_cast<std::uint16_t>(addr + 1) : addr;
    if (result == 0 && !c_.otherAddress.count(n)) {
      if (type == 0x04) upper_ = static_cast<std::uint32_t>((p[6] << 8) | p[7]) << 16;
      if (type == 0x00)
        for (int i = 0; i < count; ++i) flash[upper_ + addr + static_cast<std::uint32_t>(i)] = p[6 + i];
    }
    if (c_.shortWriteAcks) return reply(fw_code::kWrite, {0, result});
    return reply(fw_code::kWrite, {0, result, static_cast<std::uint8_t>(acked >> 8), static_cast<std::uint8_t>(acked)});
  }

  PeerConfig c_;
  std::uint32_t upper_ = 0;
};

// Everything an upload produced while the driver played the peer against it.
struct UploadRun {
  std::vector<UploadFrame> frames;
  std::vector<TxEntry> log;
  std::vector<std::string> resultLines;
  std::vector<int> timers;
  std::vector<std::size_t> posFw;
  std::vector<int> progress;
  std::vector<int> meshPercent;
  std::vector<int> meshFwState;
  std::vector<std::string> crcTexts;
  std::optional<UploadStatistics> statistics;
  UploadOutcome outcome = UploadOutcome::None;
  int clearTriggers = 0;
  int awaitingSets = 0;

  void take(const UploadActions& a) {
    frames.insert(frames.end(), a.frames.begin(), a.frames.end());
    log.insert(log.end(), a.log.begin(), a.log.end());
    if (!a.resultLine.empty()) resultLines.push_back(a.resultLine);
    if (a.armTimerMs) timers.push_back(*a.armTimerMs);
    if (a.posFw) posFw.push_back(*a.posFw);
    if (a.progress) progress.push_back(*a.progress);
    if (a.meshPercent) meshPercent.push_back(*a.meshPercent);
    if (a.meshFwState) meshFwState.push_back(*a.meshFwState);
    if (a.crcText) crcTexts.push_back(*a.crcText);
    if (a.statistics) statistics = a.statistics;
    if (a.outcome != UploadOutcome::None) outcome = a.outcome;
    clearTriggers += a.clearReReadTrigger;
    awaitingSets += a.setAwaitingReply;
  }
  // Command codes of the frames, runs written as "EBx5".
  std::string codes() const {
    std::string out;
    char buf[16];
    for (std::size_t i = 0; i < frames.size();) {
      std::size_t j = i;
      while (j < frames.size() && frames[j].data[0] == frames[i].data[0]) ++j;
      std::snprintf(buf, sizeof buf, j - i > 1 ? "%s%02Xx%zu" : "%s%02X", out.empty() ? "" : " ", frames[i].data[0],
                    j - i);
      out += buf;
      i = j;
    }
    return out;
  }
  std::vector<std::string> lines() const { return RenderTx(log); }
};

// Plays the peer until the upload stops waiting. hook runs once before each frame is answered (its index).
inline UploadOutcome Drive(FirmwareUpload& up, const UploadActions& first, UploadPeer& peer, UploadRun& run,
                           const std::function<void(std::size_t)>& hook = {}) {
  run.take(first);
  std::size_t hooked = run.frames.size() - first.frames.size();
  for (int guard = 0; guard < 100000 && up.running(); ++guard) {
    const std::size_t index = run.frames.size() - 1;
    if (hook && index >= hooked) {
      hooked = index + 1;
      hook(index);
    }
    if (const auto reply = peer.answer(run.frames.back())) {
      const UploadActions a = up.onReply(*reply);
      run.take(a);
      if (!up.running() || !a.frames.empty()) continue;
    }
    // No reply, or one that did not end the wait: the reply timer fires.
    run.take(up.onTimeout());
  }
  return run.outcome;
}

}  // namespace orvalis::test
