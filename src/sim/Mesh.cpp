#include "sim/Mesh.h"

#include <algorithm>
#include <cstdio>

#include "firmware/RadImageMaker.h"
#include "link/FrameCrc16.h"
#include "link/RadioFrame.h"

namespace orvalis::sim {

namespace {

constexpr std::int64_t kMasterAnswerMs = 25;  // the master's own processing time
constexpr std::int64_t kHopMs = 70;           // one RF hop, one way
constexpr std::int64_t kLineGuardMs = 60;     // silence kept between writes (the tool cuts bursts at 40 ms)
constexpr std::int64_t kRebootMs = 3000;      // a reset radio reports 880 after this
constexpr std::uint16_t kGatewayTableStart = 9999;
constexpr std::uint8_t kTableMask = 0x55;
constexpr std::size_t kMaxRouteHops = 32;
constexpr std::size_t kMaxQueuedEvents = 500;

void Put16le(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put16be(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
}
void Put32be(Bytes& b, std::uint32_t v) {
  Put16be(b, v >> 16);
  Put16be(b, v & 0xFFFF);
}

Bytes Head(RadioId source, CommandCode code) {
  Bytes b;
  Put16le(b, source);
  b.push_back(code);
  return b;
}

bool CrcOk(std::span<const std::uint8_t> f) {
  if (f.size() < 5) return false;
  const std::uint16_t crc = FrameCrc16(f.first(f.size() - 2));
  return f[f.size() - 2] == (crc & 0xFF) && f[f.size() - 1] == (crc >> 8);
}

std::string Digits(unsigned value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*u", width, value);
  std::string s(buf);
  return s.substr(s.size() - static_cast<std::size_t>(width));  // keep the low digits when too wide
}

}  // namespace

Mesh::Mesh(const Scenario& scenario, std::int64_t startMs)
    : scenario_(scenario), timeScale_(scenario.timeScale > 0 ? scenario.timeScale : 1.0), startMs_(startMs) {}

void Mesh::setTimeScale(double scale) {
  if (scale <= 0) return;
  if (started_) {
    // Simulated time so far stays; what is still to come arrives at the new pace.
    anchorSimMs_ = simClockMs(lastNowMs_);
    anchorRealMs_ = lastNowMs_;
    const double f = timeScale_ / scale;
    auto rescale = [&](std::int64_t& due) {
      if (due > lastNowMs_) due = lastNowMs_ + static_cast<std::int64_t>(static_cast<double>(due - lastNowMs_) * f);
    };
    for (auto& [id, due] : nextPeriodic_) rescale(due);
    for (auto& [id, due] : nextFailure_) rescale(due);
    for (auto& t : restores_) rescale(t.dueMs);
    if (nextLinkTest_) rescale(nextLinkTest_);
    if (nextAlarm_) rescale(nextAlarm_);
  }
  timeScale_ = scale;
}

double Mesh::simClockMs(std::int64_t nowMs) const {
  return anchorSimMs_ + static_cast<double>(std::max<std::int64_t>(nowMs - anchorRealMs_, 0)) * timeScale_;
}

void Mesh::advance(std::int64_t nowMs) {
  start(nowMs);
  lastNowMs_ = std::max(lastNowMs_, nowMs);
}

std::int64_t Mesh::periodMs(const SimRadio& r) const {
  const double ms = r.periodicMinutes * 60000.0 / timeScale_;
  return std::max<std::int64_t>(static_cast<std::int64_t>(ms), 1);
}

std::uint32_t Mesh::uptime(const SimRadio& r, std::int64_t nowMs) const {
  const double clock = simClockMs(nowMs);
  auto it = bootSimMs_.find(r.id);
  if (it != bootSimMs_.end()) return static_cast<std::uint32_t>((clock - it->second) / 1000);
  return r.diagnostics.uptimeSeconds + static_cast<std::uint32_t>(clock / 1000);
}

std::uint32_t Mesh::sinceReset(const SimRadio& r, std::int64_t nowMs) const {
  const double clock = simClockMs(nowMs);
  auto it = bootSimMs_.find(r.id);
  if (it != bootSimMs_.end()) return static_cast<std::uint32_t>((clock - it->second) / 1000);
  return r.diagnostics.sinceResetSeconds + static_cast<std::uint32_t>(clock / 1000);
}

bool Mesh::alive(RadioId id) const {
  const SimRadio* r = scenario_.find(id);
  return r && r->answers && !silent_.count(id);
}

void Mesh::setSilent(RadioId id, bool silent, std::int64_t nowMs) {
  if (silent) {
    silent_.insert(id);
    if (id != 0 && scenario_.failureAfterSeconds > 0)
      nextFailure_[id] = nowMs + static_cast<std::int64_t>(scenario_.failureAfterSeconds * 1000.0 / timeScale_);
  } else {
    silent_.erase(id);
    nextFailure_.erase(id);
  }
}

// Two radios hear each other when either lists the other or one relays the other.
bool Mesh::linked(RadioId a, RadioId b) const {
  const SimRadio* ra = scenario_.find(a);
  const SimRadio* rb = scenario_.find(b);
  if (!ra || !rb) return false;
  if (ra->levelOf(b) || rb->levelOf(a)) return true;
  auto firstHop = [](const SimRadio& r) -> RadioId { return r.activeRoute().empty() ? 0 : r.activeRoute().front(); };
  return firstHop(*ra) == b || firstHop(*rb) == a;
}

std::optional<Mesh::Path> Mesh::pathTo(RadioId dest, const std::vector<RadioId>& vias) const {
  if (!alive(dest)) return std::nullopt;
  if (dest == 0) return Path{0, 0};
  // Gateway 0 is the master itself: the same as no gateway.
  std::vector<RadioId> chain;
  for (RadioId v : vias)
    if (v != 0 && v != dest) chain.push_back(v);
  if (chain.empty()) {
    const auto& route = scenario_.find(dest)->activeRoute();
    for (RadioId hop : route)
      if (!alive(hop)) return std::nullopt;
    return Path{static_cast<int>(route.size()) + 1, route.empty() ? RadioId{0} : route.front()};
  }
  auto first = pathTo(chain.front(), {});
  if (!first) return std::nullopt;
  Path p = *first;
  RadioId prev = chain.front();
  for (std::size_t i = 1; i < chain.size(); ++i) {
    if (!alive(chain[i]) || !linked(prev, chain[i])) return std::nullopt;
    prev = chain[i];
    ++p.hops;
  }
  if (!linked(prev, dest)) return std::nullopt;
  return Path{p.hops + 1, prev};
}

std::uint8_t Mesh::levelHeard(RadioId at, RadioId from) const {
  const SimRadio* a = scenario_.find(at);
  const SimRadio* f = scenario_.find(from);
  if (a) {
    if (auto l = a->levelOf(from)) return *l;
  }
  if (f) {
    if (auto l = f->levelOf(at)) return static_cast<std::uint8_t>(std::min(*l + 3, 255));  // links are a little uneven
  }
  return 90;
}

bool Mesh::eventsEnabled() const {
  return scenario_.radios.front().commandEventMode != 0;
}
bool Mesh::ackRequired() const {
  const auto p = scenario_.radios.front().protocol;
  return p == 0 || p == 2;
}
bool Mesh::extendedEvents() const {
  const SimRadio& m = scenario_.radios.front();
  return m.commandEventMode == 2 || m.protocol == 2 || m.protocol == 3;
}

// ---------------------------------------------------------------- frames

std::vector<Output> Mesh::onFrame(std::span<const std::uint8_t> frame, std::int64_t nowMs) {
  advance(nowMs);
  if (!CrcOk(frame)) {
    ++stats_.framesIgnored;
    return {};
  }
  auto body = frame.first(frame.size() - 2);
  std::vector<RadioId> vias;
  std::size_t pos = 0;
  // Up to two prefixes "id low, id high, EF"; at least destination and code must follow.
  while (vias.size() < 2 && body.size() - pos >= 6 && body[pos + 2] == kGatewayMarker) {
    vias.push_back(static_cast<RadioId>(body[pos] | (body[pos + 1] << 8)));
    pos += 3;
  }
  if (body.size() - pos < 3) {
    ++stats_.framesIgnored;
    return {};
  }
  const RadioId dest = static_cast<RadioId>(body[pos] | (body[pos + 1] << 8));
  const auto data = body.subspan(pos + 2);
  const auto path = pathTo(dest, vias);
  if (!path) {
    ++stats_.framesIgnored;
    return {};
  }
  SimRadio& r = *scenario_.find(dest);
  auto reply = answer(r, *path, data, nowMs);
  if (!reply) {
    ++stats_.framesIgnored;
    return {};
  }
  AppendFrameCrc(*reply);
  std::int64_t delay = kMasterAnswerMs + 2 * kHopMs * path->hops;
  // Keep the reply apart from a message still on the line, or the tool reads both as one burst.
  delay = std::max(delay, lineFreeMs_ + kLineGuardMs - nowMs);
  noteWrite(nowMs + delay, reply->size());
  nextEventMs_ = std::max(nextEventMs_, lineFreeMs_ + kLineGuardMs);
  ++stats_.replies;
  return {Output{Output::Kind::Reply, std::move(*reply), delay, dest}};
}

void Mesh::noteWrite(std::int64_t atMs, std::size_t bytes) {
  // About one millisecond per byte at 9600 bit/s.
  lineFreeMs_ = std::max(lineFreeMs_, atMs + static_cast<std::int64_t>(bytes) * 105 / 100);
}

std::optional<Bytes> Mesh::answer(SimRadio& r, const Path& path, std::span<const std::uint8_t> data,
                                  std::int64_t nowMs) {
  const CommandCode code = data[0];
  auto p = [&](std::size_t i) -> std::uint8_t { return i < data.size() ? data[i] : 0; };
  auto echo = [&] {
    Bytes b = Head(r.id, code);
    b.insert(b.end(), data.begin() + 1, data.end());
    return b;
  };
  switch (code) {
    case code::kLocalRead:
    case code::kRemoteRead:
      return parameters(r, code);
    case code::kConfigure: {
      if (data.size() < 13) return std::nullopt;
      r.eventOptions = p(1);
      for (std::size_t i = 0; i < 4; ++i) r.serial[i] = p(3 + i);
      if (r.id == 0) {
        // Values the tool sends when nothing was selected leave the setting as it was.
        if (p(7) <= 3) r.protocol = p(7);
        if (p(8) <= 2) r.keepAliveType = p(8);
        if (p(9) <= 3) r.dataRate = p(9);
        if (p(10) <= 1) r.serialBaud = p(10);
      }
      r.powerOptions = p(11) & 0x07;
      return echo();
    }
    case code::kPeriodicTest: {
      if (p(1) != 1) return std::nullopt;
      r.periodicMinutes = static_cast<std::uint16_t>(p(2) | (p(3) << 8));
      if (r.periodicMinutes)
        nextPeriodic_[r.id] = nowMs + periodMs(r);
      else
        nextPeriodic_.erase(r.id);
      return echo();
    }
    case code::kChannel:
    case 0xDB:  // remote channel change
      r.channel = p(1);
      return echo();
    case code::kCommandEventMode: {
      if (r.id != 0) return std::nullopt;
      if (p(1) <= 2) r.commandEventMode = p(1);
      if (r.commandEventMode == 0) {
        queue_.clear();
        inFlight_.reset();
      }
      return echo();
    }
    case 0x88: {
      switch (p(1)) {
        case 1:
          r.repeatTable.clear();
          break;
        case 4:
          rebooted(r.id, nowMs);
          break;
        case 2:
        case 3:
        case 9:
          break;
        default:
          return std::nullopt;
      }
      return echo();
    }
    case 0xBE:  // erase the defined route
      r.definedRoute.reset();
      return echo();
    case code::kSignal:
      if (r.id == 0) return std::nullopt;
      return signal(r, path);
    case code::kNoise: {
      Bytes b = Head(r.id, code);
      b.push_back(r.noise.max);
      b.push_back(r.noise.mean);
      b.push_back(r.noise.min);
      return b;
    }
    case code::kDiagnostics:
      return diagnostics(r, nowMs);
    case code::kSyncAnalysis:
      return syncAnalysis(r, nowMs);
    case code::kRouteTrace:
      if (r.id == 0) return std::nullopt;
      return trace(r, code);
    case code::kRouteQuery: {
      if (p(1) == 1) {
        const std::size_t n = p(2);
        if (n > kMaxRouteHops || data.size() < 3 + 2 * n) return std::nullopt;
        std::vector<RadioId> hops;
        for (std::size_t i = 0; i < n; ++i) hops.push_back(static_cast<RadioId>(p(3 + 2 * i) | (p(4 + 2 * i) << 8)));
        // A route through the radio itself or the master as a hop cannot be right.
        for (RadioId h : hops)
          if (h == r.id || h == 0) return std::nullopt;
        if (n == 0)
          r.definedRoute.reset();
        else
          r.definedRoute = hops;
        return trace(r, code);
      }
      if (p(1) == 2) return trace(r, code);
      return std::nullopt;
    }
    case code::kTable:
      return table(r, static_cast<std::uint16_t>(p(1) | (p(2) << 8)));
    case 0xE9:  // erase the bank the new image goes to
      r.flash = SimFlash{};
      r.flash.erased = true;
      return echo();
    case 0xEB:
      return flashWrite(r, data);
    case 0xEA:
      return flashEnd(r, data, nowMs);
    default:
      return std::nullopt;
  }
}

Bytes Mesh::parameters(const SimRadio& r, CommandCode code) const {
  Bytes b = Head(r.id, code);
  Put16le(b, r.periodicMinutes);                        // 3-4
  b.insert(b.end(), r.serial.begin(), r.serial.end());  // 5-8
  b.push_back(r.hardwareCode);                          // 9
  b.push_back(r.id == 0 ? r.protocol : 1);              // 10
  b.push_back(r.firmwareRevision);                      // 11
  b.push_back(r.channel);                               // 12
  b.push_back(r.id == 0 ? r.commandEventMode : 0);      // 13
  b.push_back(r.keepAliveType);                         // 14
  b.push_back(r.dataRate & 0x7F);                       // 15
  b.push_back(r.serialBaud);                            // 16
  b.push_back(r.firmwareVersion);                       // 17
  b.push_back(r.bank);                                  // 18
  b.push_back(r.firmwareCheck);                         // 19
  if (r.id == 0 || r.firmwareVersion == 20 || r.firmwareVersion == 30) {
    Put16be(b, r.periodicMinutes);  // 20-21
  } else {
    b.push_back(0);
    b.push_back(r.powerOptions);
  }
  b.insert(b.end(), 4, 0);      // 22-25
  b.push_back(r.panelType);     // 26
  b.push_back(r.partition);     // 27
  b.insert(b.end(), 2, 0);      // 28-29
  b.push_back(r.boardVariant);  // 30
  return b;
}

Bytes Mesh::signal(const SimRadio& r, const Path& path) const {
  Bytes b = Head(r.id, code::kSignal);
  Put16le(b, path.gateway);
  b.push_back(levelHeard(r.id, path.gateway));                          // 5: at the measured radio
  b.push_back(levelHeard(path.gateway, r.id));                          // 6: at the gateway
  b.insert(b.end(), 6, 0);                                              // 7-12
  Put16be(b, static_cast<std::uint32_t>(2 * kHopMs * path.hops + 12));  // 13-14: link time
  const int half = r.frequencyOffset / 2;
  b.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(half)));
  b.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(r.frequencyOffset - half)));
  return b;
}

Bytes Mesh::diagnostics(const SimRadio& r, std::int64_t nowMs) const {
  const SimDiagnostics& d = r.diagnostics;
  Bytes b = Head(r.id, code::kDiagnostics);
  b.insert(b.end(), {d.tempMin, d.tempMed, d.tempMax, d.v33Min, d.v33Med, d.v33Max});  // 3-8
  Put16be(b, d.resets);                                                                // 9-10
  Put16be(b, d.powerOnResets);                                                         // 11-12
  Put16be(b, d.watchdogResets);                                                        // 13-14
  b.push_back(d.statusFlags);                                                          // 15
  Put32be(b, uptime(r, nowMs));                                                        // 16-19
  Put32be(b, sinceReset(r, nowMs));                                                    // 20-23
  Put16be(b, d.stack);                                                                 // 24-25
  b.push_back(d.masterStatus);                                                         // 26
  b.push_back(d.lineVoltage);                                                          // 27
  Put32be(b, d.eventsOk);                                                              // 28-31
  Put32be(b, d.eventsRefused);                                                         // 32-35
  Put16be(b, d.levelL1);                                                               // 36-37
  Put16be(b, d.levelL2);                                                               // 38-39
  Put16be(b, d.maxL1);                                                                 // 40-41
  Put16be(b, d.maxL2);                                                                 // 42-43
  if (d.battery) {
    b.push_back(0x55);  // 44: battery values follow
    b.insert(b.end(), d.battery->begin(), d.battery->end());
  } else {
    b.insert(b.end(), 4, 0);
  }
  return b;
}

Bytes Mesh::syncAnalysis(const SimRadio& r, std::int64_t nowMs) const {
  const SimSync& s = r.sync;
  Bytes b = Head(r.id, code::kSyncAnalysis);
  b.push_back(s.layout);
  const std::uint32_t up = uptime(r, nowMs);
  if (s.layout >= 0x80) {
    Put32be(b, up);                 // 4-7
    Put16be(b, s.periodicLosses);   // 8-9
    Put16be(b, s.slotBusy);         // 10-11
    Put16be(b, s.serialErrors);     // 12-13
    Put16be(b, s.serialCrcErrors);  // 14-15
    Put16be(b, s.rxErrorTenths);    // 16-17
    Put16be(b, s.protocolErrors);   // 18-19
    Put16be(b, s.serialMaxBytes);   // 20-21
    Put16be(b, s.lostOutTenths);    // 22-23
    Put16be(b, s.retryTenths);      // 24-25
    return b;
  }
  const auto& route = r.activeRoute();
  Put16le(b, s.gateway.value_or(route.empty() ? RadioId{0} : route.front()));           // 4-5
  b.insert(b.end(), {s.level, s.maxLevel, s.maxHistory, s.hopsWithoutSync, s.status});  // 6-10
  Put32be(b, up);                                                                       // 11-14
  const auto elapsed = static_cast<std::uint32_t>(simClockMs(nowMs) / 1000);
  Put32be(b, std::min(up, s.syncedSeconds + elapsed));  // 15-18
  for (std::uint16_t v :
       {s.ackMax, s.ackMin, s.ackLast, s.syncLosses, s.periodicLosses, s.slotBusy, s.serialErrors, s.serialCrcErrors,
        s.rxErrorTenths, s.protocolErrors, s.serialMaxBytes, s.lostOutTenths, s.lostBackTenths, s.retryTenths})
    Put16be(b, v);  // 19-46
  if (s.layout > 1) {
    Put16be(b, static_cast<std::uint16_t>(s.clockGeneral));  // 47-48
    Put16be(b, static_cast<std::uint16_t>(s.clockGateway));  // 49-50
  }
  return b;
}

Bytes Mesh::table(const SimRadio& r, std::uint16_t start) const {
  Bytes b = Head(r.id, code::kTable);
  Put16le(b, start);
  if (start == kGatewayTableStart) {
    for (std::size_t i = 0; i < 16; ++i) {
      const SimGatewayEntry e = i < r.gatewayTable.size() ? r.gatewayTable[i] : SimGatewayEntry{};
      b.push_back(static_cast<std::uint8_t>((e.id & 0xFF) ^ kTableMask));
      b.push_back(static_cast<std::uint8_t>((e.id >> 8) ^ kTableMask));
      b.push_back(static_cast<std::uint8_t>(e.value ^ kTableMask));
    }
    return b;
  }
  for (unsigned i = 0; i < 20; ++i) {
    SimRepeatEntry e;
    if (auto it = r.repeatTable.find(static_cast<RadioId>(start + i)); it != r.repeatTable.end() && start + i <= 0xFFFF)
      e = it->second;
    b.push_back(static_cast<std::uint8_t>((((e.repeat & 0x0F) << 4) | (e.blacklist & 0x0F)) ^ kTableMask));
  }
  return b;
}

Bytes Mesh::trace(const SimRadio& r, CommandCode code) const {
  Bytes b = Head(r.id, code);
  Put16le(b, r.id);
  for (RadioId hop : r.activeRoute()) Put16le(b, hop);
  return b;
}

std::optional<Bytes> Mesh::flashWrite(SimRadio& r, std::span<const std::uint8_t> data) {
  if (data.size() < 8) return std::nullopt;
  const std::uint8_t type = data[2];
  const std::size_t count = data[3];
  if (data.size() < 8 + count) return std::nullopt;
  const std::uint16_t address = static_cast<std::uint16_t>((data[4] << 8) | data[5]);
  std::uint8_t x = 0;
  for (std::size_t i = 0; i < 7 + count; ++i) x ^= data[i];
  std::uint8_t check = static_cast<std::uint8_t>(~x);
  if (check == 0xAA) check = 0xAB;
  std::uint8_t result = 0;
  if (check != data[7 + count] || !r.flash.erased) {
    result = 4;  // not written
  } else if (type == 0x0F || type == 0x1F || type == 0x2F) {
    r.flash.headerType = type;
    r.flash.headerHardware = count >= 1 ? data[6] : 0;
    r.flash.headerRole = count >= 2 ? data[7] : 0;
  } else if ((type & 0x0F) == 0x04) {
    r.flash.segment = count >= 2 ? static_cast<std::uint32_t>((data[6] << 8) | data[7]) : 0;
  } else if ((type & 0x0F) == 0x00 && type != 0x90) {
    const std::uint32_t at = (r.flash.segment << 16) + address;
    if (at + count > r.flashSize) {
      result = 2;  // outside the bank
    } else {
      // The version tag of a generated image, else the simulator's older convention: the first two bytes of
      // the first data record are version and revision.
      if (!r.flash.version && count >= 2) {
        if (const auto tag = ReadVersionTag(data.subspan(6, count)))
          r.flash.version = std::array<std::uint8_t, 2>{tag->version, tag->revision};
        else
          r.flash.version = std::array<std::uint8_t, 2>{data[6], data[7]};
      }
      r.flash.bytes += static_cast<std::uint32_t>(count);
    }
  }
  if (result) r.flash.failed = true;
  Bytes b = Head(r.id, 0xEB);
  b.push_back(0);
  b.push_back(result);
  Put16be(b, address);
  return b;
}

std::optional<Bytes> Mesh::flashEnd(SimRadio& r, std::span<const std::uint8_t> data, std::int64_t nowMs) {
  if (data.size() < 4) return std::nullopt;
  const std::uint8_t flag = data[1];
  const auto header = r.flash.headerType;
  // The image must be complete and built for the bank it went to (the one not running).
  const std::uint8_t target = r.bank == 0 ? 1 : 0;
  const bool bankOk = header && (*header == 0x2F || ((*header == 0x0F ? 0 : 1) == target && flag == target));
  // A radio does not start an image built for other hardware or the other role (0 = master).
  const bool fits = header && r.flash.headerHardware == r.hardwareCode && (r.flash.headerRole == 0) == (r.id == 0);
  const bool good = r.flash.erased && !r.flash.failed && r.flash.bytes > 0 && bankOk && fits;
  Bytes b = Head(r.id, 0xEA);
  b.push_back(0);
  b.push_back(good ? flag : static_cast<std::uint8_t>(flag ^ 0x01));
  b.push_back(data[2]);
  b.push_back(data[3]);
  if (good) {
    r.bank = target;
    if (r.flash.version) {
      r.firmwareVersion = (*r.flash.version)[0];
      r.firmwareRevision = (*r.flash.version)[1];
    }
    r.firmwareCheck = 1;
    rebooted(r.id, nowMs);  // runs the new image
  }
  r.flash = SimFlash{};
  return b;
}

void Mesh::rebooted(RadioId id, std::int64_t nowMs) {
  SimRadio* r = scenario_.find(id);
  if (!r) return;
  ++r->diagnostics.resets;
  bootSimMs_[id] = simClockMs(nowMs);
  bootEvent_[id] = nowMs + kRebootMs;
}

// ---------------------------------------------------------------- events

std::string Mesh::linkTestMessage() {
  return std::string("1011           @    ") + '\x14';
}

std::string Mesh::formatEvent(RadioId radio, char qualifier, std::uint16_t code, std::uint8_t partition,
                              std::uint16_t zone) {
  const SimRadio* r = scenario_.find(radio);
  const bool ext = extendedEvents();
  const std::string& line = scenario_.lines[lineIndex_++ % scenario_.lines.size()];
  std::string account;
  if (r && !r->accounts.empty()) {
    const std::size_t part = partition >= 1 && partition <= r->accounts.size() ? partition - 1u : 0u;
    account = r->accounts[part];
  } else {
    account = Digits(radio, 4);
  }
  std::string s;
  s += ext ? '6' : '5';
  s += scenario_.receiver + line + " 18";
  s += account;
  s += qualifier;
  s += Digits(code, 3) + Digits(partition, 2) + Digits(zone, 3);
  if (ext) {
    s += ' ';
    s += Digits(radio, 4);
    for (int i = 0; i < 4; ++i) s += Digits(r ? r->serial[static_cast<std::size_t>(i)] : 0, 3);
    int& seq = sequence_[radio];
    seq = (seq + 1) % 1000;
    s += Digits(static_cast<unsigned>(seq), 3);
    s += "01";
  }
  s += '\x14';
  return s;
}

void Mesh::raiseEvent(RadioId radio, char qualifier, std::uint16_t code, std::uint8_t partition, std::uint16_t zone) {
  if (!eventsEnabled()) return;  // the command port carries commands only; events go to the receiver line
  if (SimRadio* r = scenario_.find(radio)) ++r->diagnostics.eventsOk;
  // A receiver that never acknowledges must not make the buffer grow without end: the oldest go.
  if (queue_.size() >= kMaxQueuedEvents) {
    queue_.pop_front();
    ++stats_.dropped;
  }
  queue_.push_back(formatEvent(radio, qualifier, code, partition, zone));
}

void Mesh::start(std::int64_t nowMs) {
  if (started_) return;
  started_ = true;
  startMs_ = std::min(startMs_, nowMs);
  anchorRealMs_ = startMs_;
  lastNowMs_ = nowMs;
  const std::int64_t t0 = startMs_ + scenario_.startDelayMs;
  nextEventMs_ = t0;
  const auto n = static_cast<std::int64_t>(scenario_.radios.size());
  std::int64_t i = 0;
  for (const SimRadio& r : scenario_.radios) {
    if (alive(r.id)) {
      bootEvent_[r.id] = t0;
      // Spread the periodic tests of the mesh over the interval.
      if (r.periodicMinutes) nextPeriodic_[r.id] = t0 + periodMs(r) * (i + 1) / (n + 1);
    } else if (scenario_.failureAfterSeconds > 0) {
      nextFailure_[r.id] = t0 + static_cast<std::int64_t>(scenario_.failureAfterSeconds * 1000.0 / timeScale_);
    }
    ++i;
  }
  if (scenario_.linkTestSeconds > 0)
    nextLinkTest_ = t0 + static_cast<std::int64_t>(scenario_.linkTestSeconds * 1000.0 / timeScale_);
  if (scenario_.alarmEverySeconds > 0 && !scenario_.alarms.empty())
    nextAlarm_ = t0 + static_cast<std::int64_t>(scenario_.alarmEverySeconds * 1000.0 / timeScale_);
}

void Mesh::generate(std::int64_t nowMs) {
  auto scaled = [&](int seconds) {
    return std::max<std::int64_t>(static_cast<std::int64_t>(seconds * 1000.0 / timeScale_), 1);
  };
  // Start-up and reset reports, the master first.
  for (auto it = bootEvent_.begin(); it != bootEvent_.end();) {
    if (it->second > nowMs) {
      ++it;
      continue;
    }
    if (alive(it->first)) {
      const SimRadio* r = scenario_.find(it->first);
      raiseEvent(r->id, 'E', 880, r->partition, r->id);
    }
    it = bootEvent_.erase(it);
  }
  for (auto& [id, due] : nextPeriodic_) {
    if (due > nowMs) continue;
    const SimRadio* r = scenario_.find(id);
    if (alive(id)) raiseEvent(id, 'E', 881, r->partition, id);
    due += periodMs(*r);
    if (due <= nowMs) due = nowMs + periodMs(*r);  // after a long pause, do not flood
  }
  for (auto& [id, due] : nextFailure_) {
    if (due > nowMs) continue;
    const SimRadio* r = scenario_.find(id);
    raiseEvent(id, 'E', 882, r->partition, id);
    due = nowMs + (r->periodicMinutes ? periodMs(*r) : scaled(3600));
  }
  if (nextLinkTest_ && nextLinkTest_ <= nowMs) {
    if (eventsEnabled() && queue_.size() < kMaxQueuedEvents) queue_.push_back(linkTestMessage());
    nextLinkTest_ = nowMs + scaled(scenario_.linkTestSeconds);
  }
  if (nextAlarm_ && nextAlarm_ <= nowMs) {
    // Alarms of radios that are silent are skipped, not delayed.
    const SimAlarm a = scenario_.alarms[alarmIndex_++ % scenario_.alarms.size()];
    if (alive(a.radio)) {
      raiseEvent(a.radio, 'E', a.code, a.partition, a.zone);
      restores_.push_back({nowMs + scaled(scenario_.restoreAfterSeconds), a});
    }
    nextAlarm_ = nowMs + scaled(scenario_.alarmEverySeconds);
  }
  for (auto it = restores_.begin(); it != restores_.end();) {
    if (it->dueMs <= nowMs) {
      if (alive(it->alarm.radio)) raiseEvent(it->alarm.radio, 'R', it->alarm.code, it->alarm.partition, it->alarm.zone);
      it = restores_.erase(it);
    } else {
      ++it;
    }
  }
}

std::vector<Output> Mesh::pump(std::int64_t nowMs) {
  std::vector<Output> out;
  if (!eventsEnabled()) return out;
  auto send = [&](const std::string& text) {
    const std::int64_t delay = std::max<std::int64_t>(0, lineFreeMs_ + kLineGuardMs - nowMs);
    out.push_back(Output{Output::Kind::Event, Bytes(text.begin(), text.end()), delay, 0});
    noteWrite(nowMs + delay, text.size());
    nextEventMs_ = nowMs + delay + scenario_.eventSpacingMs;
  };
  if (inFlight_) {
    if (nowMs - inFlight_->sentAtMs < scenario_.ackTimeoutMs) return out;
    if (inFlight_->resends >= scenario_.maxResends) {
      ++stats_.givenUp;
      inFlight_.reset();
    } else {
      ++inFlight_->resends;
      ++stats_.resends;
      inFlight_->sentAtMs = nowMs;
      send(inFlight_->text);
      return out;
    }
  }
  if (queue_.empty() || nowMs < nextEventMs_) return out;
  std::string text = std::move(queue_.front());
  queue_.pop_front();
  send(text);
  ++stats_.eventsSent;
  if (ackRequired()) inFlight_ = InFlight{std::move(text), nowMs, 0};
  return out;
}

std::vector<Output> Mesh::onTick(std::int64_t nowMs) {
  advance(nowMs);
  generate(nowMs);
  return pump(nowMs);
}

std::vector<Output> Mesh::onAck(std::int64_t nowMs) {
  advance(nowMs);
  if (!inFlight_) return {};
  ++stats_.acks;
  inFlight_.reset();
  // The receiver has taken the message: the next one may follow at once.
  nextEventMs_ = std::min(nextEventMs_, nowMs);
  generate(nowMs);
  return pump(nowMs);
}

}  // namespace orvalis::sim
