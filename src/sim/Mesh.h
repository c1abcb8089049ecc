// The simulated mesh: answers frames from the tool and produces the master radio's event messages.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "sim/Output.h"
#include "sim/Scenario.h"

namespace orvalis::sim {

// Plain logic: no clock, no timers. The owner passes the time in milliseconds
// (any monotonic origin) and writes what the calls return after each delay.
class Mesh {
 public:
  struct Stats {
    int framesIgnored = 0;  // bad CRC, unknown command, radio absent or silent
    int replies = 0;
    int eventsSent = 0;  // first transmissions
    int resends = 0;
    int givenUp = 0;  // dropped after the last resend without an ACK
    int acks = 0;
    int dropped = 0;  // oldest messages dropped from a full buffer
  };

  explicit Mesh(const Scenario& scenario, std::int64_t startMs = 0);

  // A complete frame from the tool (gateway prefixes, destination, code,
  // parameters, CRC). Returns the replies, each with its delay.
  std::vector<Output> onFrame(std::span<const std::uint8_t> frame, std::int64_t nowMs);
  // Periodic work: due events, resends of unacknowledged messages.
  std::vector<Output> onTick(std::int64_t nowMs);
  // The tool acknowledged (0x06) the message in flight; the next may follow.
  std::vector<Output> onAck(std::int64_t nowMs);

  // Queues one Contact-ID event reported by `radio` (qualifier 'E' or 'R').
  void raiseEvent(RadioId radio, char qualifier, std::uint16_t code, std::uint8_t partition, std::uint16_t zone);

  // Takes effect at once: schedules still to come are stretched or shrunk.
  void setTimeScale(double scale);
  double timeScale() const { return timeScale_; }
  // A silent radio behaves like one that never answers: no replies, no events of its own.
  void setSilent(RadioId id, bool silent, std::int64_t nowMs);

  const SimRadio* radio(RadioId id) const { return scenario_.find(id); }
  const Scenario& scenario() const { return scenario_; }
  bool eventsEnabled() const;
  bool ackRequired() const;
  bool extendedEvents() const;
  std::size_t queuedEvents() const { return queue_.size(); }
  bool awaitingAck() const { return inFlight_.has_value(); }
  const Stats& stats() const { return stats_; }

  // Sur-Gard text (0x14 included) of one event as this master would write it now.
  std::string formatEvent(RadioId radio, char qualifier, std::uint16_t code, std::uint8_t partition,
                          std::uint16_t zone);
  static std::string linkTestMessage();

 private:
  struct Path {
    int hops = 0;         // RF hops from the master to the radio
    RadioId gateway = 0;  // the radio that relays the last hop (0 = the master)
  };
  struct InFlight {
    std::string text;
    std::int64_t sentAtMs = 0;
    int resends = 0;
  };
  struct Timed {
    std::int64_t dueMs = 0;
    SimAlarm alarm;
  };

  void start(std::int64_t nowMs);
  bool alive(RadioId id) const;
  bool linked(RadioId a, RadioId b) const;
  std::optional<Path> pathTo(RadioId dest, const std::vector<RadioId>& vias) const;
  std::uint8_t levelHeard(RadioId at, RadioId from) const;
  std::int64_t periodMs(const SimRadio& r) const;
  double simClockMs(std::int64_t nowMs) const;  // simulated milliseconds since the start
  void advance(std::int64_t nowMs);
  std::uint32_t uptime(const SimRadio& r, std::int64_t nowMs) const;
  std::uint32_t sinceReset(const SimRadio& r, std::int64_t nowMs) const;

  std::optional<Bytes> answer(SimRadio& r, const Path& path, std::span<const std::uint8_t> data, std::int64_t nowMs);
  Bytes parameters(const SimRadio& r, CommandCode code) const;
  Bytes signal(const SimRadio& r, const Path& path) const;
  Bytes diagnostics(const SimRadio& r, std::int64_t nowMs) const;
  Bytes syncAnalysis(const SimRadio& r, std::int64_t nowMs) const;
  Bytes table(const SimRadio& r, std::uint16_t start) const;
  Bytes trace(const SimRadio& r, CommandCode code) const;
  std::optional<Bytes> flashWrite(SimRadio& r, std::span<const std::uint8_t> data);
  std::optional<Bytes> flashEnd(SimRadio& r, std::span<const std::uint8_t> data, std::int64_t nowMs);

  void generate(std::int64_t nowMs);
  std::vector<Output> pump(std::int64_t nowMs);
  void noteWrite(std::int64_t atMs, std::size_t bytes);
  void rebooted(RadioId id, std::int64_t nowMs);

  Scenario scenario_;
  double timeScale_;
  std::int64_t startMs_;
  bool started_ = false;
  std::int64_t lastNowMs_ = 0;
  std::int64_t anchorRealMs_ = 0;  // the simulated clock runs at timeScale_ from this moment...
  double anchorSimMs_ = 0;         // ...where it showed this
  std::set<RadioId> silent_;

  std::deque<std::string> queue_;
  std::optional<InFlight> inFlight_;
  std::int64_t nextEventMs_ = 0;  // earliest time for the next event message
  std::int64_t lineFreeMs_ = 0;   // when the last scheduled write has left the line
  std::map<RadioId, std::int64_t> nextPeriodic_;
  std::map<RadioId, std::int64_t> nextFailure_;
  std::map<RadioId, std::int64_t> bootEvent_;  // pending 880 after start or reset
  std::map<RadioId, double> bootSimMs_;        // simulated time of each radio's last reset
  std::map<RadioId, int> sequence_;
  std::vector<Timed> restores_;
  std::int64_t nextLinkTest_ = 0;
  std::int64_t nextAlarm_ = 0;
  std::size_t alarmIndex_ = 0;
  std::size_t lineIndex_ = 0;
  Stats stats_;
};

}  // namespace orvalis::sim
