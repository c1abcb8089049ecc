#include "sim/Scenario.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <set>

// The resources live in a static library: referencing them keeps the linker from dropping them.
static void InitSimResources() {
  Q_INIT_RESOURCE(SimResources);
}

namespace orvalis::sim {

namespace {

// Reads typed fields of a JSON object and keeps the first error with its path.
class Reader {
 public:
  explicit Reader(QString* error) : error_(error) {}
  bool failed() const { return failed_; }

  void fail(const QString& path, const QString& what) {
    if (failed_) return;
    failed_ = true;
    if (error_) *error_ = path + ": " + what;
  }

  template <typename T>
  void integer(const QJsonObject& o, const char* key, const QString& path, T& out, long long lo, long long hi) {
    if (!o.contains(key)) return;
    const QJsonValue v = o.value(key);
    const double d = v.toDouble(-1e300);
    if (!v.isDouble() || d < -9e15 || d > 9e15 || d != static_cast<double>(static_cast<long long>(d))) {
      fail(path + "." + key, "not an integer");
      return;
    }
    const auto n = static_cast<long long>(d);
    if (n < lo || n > hi) {
      fail(path + "." + key, QString("out of range %1..%2").arg(lo).arg(hi));
      return;
    }
    out = static_cast<T>(n);
  }

  void boolean(const QJsonObject& o, const char* key, const QString& path, bool& out) {
    if (!o.contains(key)) return;
    if (!o.value(key).isBool()) return fail(path + "." + key, "not true or false");
    out = o.value(key).toBool();
  }

  void number(const QJsonObject& o, const char* key, const QString& path, double& out, double lo, double hi) {
    if (!o.contains(key)) return;
    const QJsonValue v = o.value(key);
    if (!v.isDouble() || v.toDouble() < lo || v.toDouble() > hi)
      return fail(path + "." + key, QString("not a number in %1..%2").arg(lo).arg(hi));
    out = v.toDouble();
  }

  void digits(const QJsonObject& o, const char* key, const QString& path, std::string& out, int minLen, int maxLen) {
    if (!o.contains(key)) return;
    out = checkedDigits(o.value(key), path + "." + key, minLen, maxLen);
  }

  std::string checkedDigits(const QJsonValue& v, const QString& path, int minLen, int maxLen) {
    const QString s = v.toString();
    bool ok = v.isString() && s.size() >= minLen && s.size() <= maxLen;
    for (QChar c : s) ok = ok && ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    if (!ok) fail(path, QString("expected %1 to %2 digits in a string").arg(minLen).arg(maxLen));
    return s.toStdString();
  }

  QJsonArray array(const QJsonObject& o, const char* key, const QString& path) {
    if (!o.contains(key)) return {};
    if (!o.value(key).isArray()) fail(path + "." + key, "not a list");
    return o.value(key).toArray();
  }

  QJsonObject object(const QJsonValue& v, const QString& path) {
    if (!v.isObject()) fail(path, "not an object");
    return v.toObject();
  }

  std::vector<RadioId> ids(const QJsonObject& o, const char* key, const QString& path) {
    std::vector<RadioId> out;
    const QJsonArray a = array(o, key, path);
    for (qsizetype i = 0; i < a.size(); ++i) {
      QJsonObject wrap{{"v", a[i]}};
      RadioId id = 0;
      integer(wrap, "v", QString("%1.%2[%3]").arg(path, key).arg(i), id, 0, 1023);
      out.push_back(id);
    }
    return out;
  }

 private:
  QString* error_;
  bool failed_ = false;
};

void ReadNoise(Reader& r, const QJsonObject& o, const QString& p, SimNoise& n) {
  r.integer(o, "max", p, n.max, 0, 255);
  r.integer(o, "mean", p, n.mean, 0, 255);
  r.integer(o, "min", p, n.min, 0, 255);
}

void ReadDiagnostics(Reader& r, const QJsonObject& o, const QString& p, SimDiagnostics& d) {
  r.integer(o, "tempMin", p, d.tempMin, 0, 255);
  r.integer(o, "tempMed", p, d.tempMed, 0, 255);
  r.integer(o, "tempMax", p, d.tempMax, 0, 255);
  r.integer(o, "v33Min", p, d.v33Min, 0, 255);
  r.integer(o, "v33Med", p, d.v33Med, 0, 255);
  r.integer(o, "v33Max", p, d.v33Max, 0, 255);
  r.integer(o, "resets", p, d.resets, 0, 65535);
  r.integer(o, "powerOnResets", p, d.powerOnResets, 0, 65535);
  r.integer(o, "watchdogResets", p, d.watchdogResets, 0, 65535);
  r.integer(o, "statusFlags", p, d.statusFlags, 0, 255);
  r.integer(o, "uptimeSeconds", p, d.uptimeSeconds, 0, 0xFFFFFFFFLL);
  r.integer(o, "sinceResetSeconds", p, d.sinceResetSeconds, 0, 0xFFFFFFFFLL);
  r.integer(o, "stack", p, d.stack, 0, 65535);
  r.integer(o, "masterStatus", p, d.masterStatus, 0, 255);
  r.integer(o, "lineVoltage", p, d.lineVoltage, 0, 255);
  r.integer(o, "eventsOk", p, d.eventsOk, 0, 0xFFFFFFFFLL);
  r.integer(o, "eventsRefused", p, d.eventsRefused, 0, 0xFFFFFFFFLL);
  r.integer(o, "levelL1", p, d.levelL1, 0, 65535);
  r.integer(o, "levelL2", p, d.levelL2, 0, 65535);
  r.integer(o, "maxL1", p, d.maxL1, 0, 65535);
  r.integer(o, "maxL2", p, d.maxL2, 0, 65535);
  if (o.contains("battery")) {
    const QJsonObject b = r.object(o.value("battery"), p + ".battery");
    std::array<std::uint8_t, 3> v{120, 125, 138};
    r.integer(b, "min", p + ".battery", v[0], 0, 255);
    r.integer(b, "current", p + ".battery", v[1], 0, 255);
    r.integer(b, "max", p + ".battery", v[2], 0, 255);
    d.battery = v;
  }
}

void ReadSync(Reader& r, const QJsonObject& o, const QString& p, SimSync& s) {
  r.integer(o, "layout", p, s.layout, 0, 255);
  if (o.contains("gateway")) {
    RadioId g = 0;
    r.integer(o, "gateway", p, g, 0, 1023);
    s.gateway = g;
  }
  r.integer(o, "level", p, s.level, 0, 255);
  r.integer(o, "maxLevel", p, s.maxLevel, 0, 255);
  r.integer(o, "maxHistory", p, s.maxHistory, 0, 255);
  r.integer(o, "hopsWithoutSync", p, s.hopsWithoutSync, 0, 255);
  r.integer(o, "status", p, s.status, 0, 255);
  r.integer(o, "syncedSeconds", p, s.syncedSeconds, 0, 0xFFFFFFFFLL);
  r.integer(o, "ackMax", p, s.ackMax, 0, 65535);
  r.integer(o, "ackMin", p, s.ackMin, 0, 65535);
  r.integer(o, "ackLast", p, s.ackLast, 0, 65535);
  r.integer(o, "syncLosses", p, s.syncLosses, 0, 65535);
  r.integer(o, "periodicLosses", p, s.periodicLosses, 0, 65535);
  r.integer(o, "slotBusy", p, s.slotBusy, 0, 65535);
  r.integer(o, "serialErrors", p, s.serialErrors, 0, 65535);
  r.integer(o, "serialCrcErrors", p, s.serialCrcErrors, 0, 65535);
  r.integer(o, "protocolErrors", p, s.protocolErrors, 0, 65535);
  r.integer(o, "serialMaxBytes", p, s.serialMaxBytes, 0, 65535);
  r.integer(o, "rxErrorTenths", p, s.rxErrorTenths, 0, 65535);
  r.integer(o, "lostOutTenths", p, s.lostOutTenths, 0, 65535);
  r.integer(o, "lostBackTenths", p, s.lostBackTenths, 0, 65535);
  r.integer(o, "retryTenths", p, s.retryTenths, 0, 65535);
  r.integer(o, "clockGeneral", p, s.clockGeneral, -32768, 32767);
  r.integer(o, "clockGateway", p, s.clockGateway, -32768, 32767);
}

SimRadio ReadRadio(Reader& r, const QJsonObject& o, const QString& p, bool master) {
  SimRadio x;
  if (master) {
    x.id = 0;
    x.protocol = 1;
    x.periodicMinutes = 0;
  } else {
    if (!o.contains("id")) r.fail(p + ".id", "missing");
    r.integer(o, "id", p, x.id, 1, 1023);
  }
  r.boolean(o, "answers", p, x.answers);
  const QJsonArray serial = r.array(o, "serial", p);
  if (!serial.isEmpty() && serial.size() != 4) r.fail(p + ".serial", "needs four numbers");
  for (qsizetype i = 0; i < serial.size() && i < 4; ++i) {
    QJsonObject wrap{{"v", serial[i]}};
    r.integer(wrap, "v", QString("%1.serial[%2]").arg(p).arg(i), x.serial[static_cast<std::size_t>(i)], 0, 255);
  }
  r.integer(o, "hardware", p, x.hardwareCode, 0, 255);
  r.integer(o, "variant", p, x.boardVariant, 0, 255);
  r.integer(o, "firmware", p, x.firmwareVersion, 0, 255);
  r.integer(o, "revision", p, x.firmwareRevision, 0, 255);
  if (o.contains("bank")) {
    const QString b = o.value("bank").toString();
    if (b == "A")
      x.bank = 0;
    else if (b == "B")
      x.bank = 1;
    else
      r.fail(p + ".bank", "expected \"A\" or \"B\"");
  }
  bool check = x.firmwareCheck != 0;
  r.boolean(o, "firmwareCheck", p, check);
  x.firmwareCheck = check ? 1 : 0;
  r.integer(o, "channel", p, x.channel, 0, 255);
  r.integer(o, "protocol", p, x.protocol, 0, 3);
  r.integer(o, "commandEventMode", p, x.commandEventMode, 0, 2);
  r.integer(o, "keepAlive", p, x.keepAliveType, 0, 255);
  r.integer(o, "dataRate", p, x.dataRate, 0, 3);
  r.integer(o, "serialBaud", p, x.serialBaud, 0, 1);
  r.integer(o, "eventOptions", p, x.eventOptions, 0, 255);
  r.integer(o, "powerOptions", p, x.powerOptions, 0, 7);
  r.integer(o, "periodicMinutes", p, x.periodicMinutes, 0, 65535);
  r.integer(o, "panelType", p, x.panelType, 0, 255);
  r.integer(o, "partition", p, x.partition, 0, 99);
  r.integer(o, "frequencyOffset", p, x.frequencyOffset, -128, 127);
  x.route = r.ids(o, "route", p);
  const QJsonArray nb = r.array(o, "neighbours", p);
  for (qsizetype i = 0; i < nb.size(); ++i) {
    const QString np = QString("%1.neighbours[%2]").arg(p).arg(i);
    const QJsonObject no = r.object(nb[i], np);
    SimNeighbour n;
    if (!no.contains("id")) r.fail(np + ".id", "missing");
    r.integer(no, "id", np, n.id, 0, 1023);
    r.integer(no, "level", np, n.level, 0, 255);
    x.neighbours.push_back(n);
  }
  if (o.contains("noise")) ReadNoise(r, r.object(o.value("noise"), p + ".noise"), p + ".noise", x.noise);
  if (o.contains("diagnostics"))
    ReadDiagnostics(r, r.object(o.value("diagnostics"), p + ".diagnostics"), p + ".diagnostics", x.diagnostics);
  if (o.contains("sync")) ReadSync(r, r.object(o.value("sync"), p + ".sync"), p + ".sync", x.sync);
  const QJsonArray rep = r.array(o, "repeatTable", p);
  for (qsizetype i = 0; i < rep.size(); ++i) {
    const QString ep = QString("%1.repeatTable[%2]").arg(p).arg(i);
    const QJsonObject eo = r.object(rep[i], ep);
    RadioId id = 0;
    SimRepeatEntry e;
    r.integer(eo, "id", ep, id, 0, 65535);
    r.integer(eo, "blacklist", ep, e.blacklist, 0, 15);
    r.integer(eo, "repeat", ep, e.repeat, 0, 15);
    x.repeatTable[id] = e;
  }
  const QJsonArray gws = r.array(o, "gatewayTable", p);
  if (gws.size() > 16) r.fail(p + ".gatewayTable", "at most 16 entries");
  for (qsizetype i = 0; i < gws.size(); ++i) {
    const QString ep = QString("%1.gatewayTable[%2]").arg(p).arg(i);
    const QJsonObject eo = r.object(gws[i], ep);
    SimGatewayEntry e;
    r.integer(eo, "id", ep, e.id, 0, 65535);
    r.integer(eo, "value", ep, e.value, 0, 255);
    x.gatewayTable.push_back(e);
  }
  const QJsonArray acc = r.array(o, "accounts", p);
  for (qsizetype i = 0; i < acc.size(); ++i)
    x.accounts.push_back(r.checkedDigits(acc[i], QString("%1.accounts[%2]").arg(p).arg(i), 4, 4));
  return x;
}

bool CheckRoutes(Reader& r, const Scenario& s) {
  for (const SimRadio& x : s.radios) {
    std::set<RadioId> seen{x.id};
    for (RadioId hop : x.route) {
      const QString p = QString("radio %1: route").arg(x.id);
      if (hop == 0) r.fail(p, "the master is not listed as a hop");
      if (!s.find(hop)) r.fail(p, QString("radio %1 is not in the scenario").arg(hop));
      if (!seen.insert(hop).second) r.fail(p, QString("radio %1 appears twice").arg(hop));
    }
    if (r.failed()) return false;
  }
  return true;
}

}  // namespace

std::optional<Scenario> Scenario::fromJson(const QByteArray& json, QString* error) {
  QJsonParseError pe;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
  if (pe.error != QJsonParseError::NoError) {
    if (error) *error = QString("JSON error at offset %1: %2").arg(pe.offset).arg(pe.errorString());
    return std::nullopt;
  }
  if (!doc.isObject()) {
    if (error) *error = "the scenario must be a JSON object";
    return std::nullopt;
  }
  Reader r(error);
  const QJsonObject root = doc.object();
  Scenario s;
  s.name = root.value("name").toString().toStdString();
  r.number(root, "timeScale", "timeScale", s.timeScale, 0.001, 100000.0);

  if (root.contains("events")) {
    const QJsonObject ev = r.object(root.value("events"), "events");
    r.integer(ev, "ackTimeoutMs", "events", s.ackTimeoutMs, 50, 600000);
    r.integer(ev, "maxResends", "events", s.maxResends, 0, 1000);
    r.integer(ev, "spacingMs", "events", s.eventSpacingMs, 50, 600000);
    r.integer(ev, "startDelayMs", "events", s.startDelayMs, 0, 600000);
    r.integer(ev, "linkTestSeconds", "events", s.linkTestSeconds, 0, 86400);
    r.integer(ev, "alarmEverySeconds", "events", s.alarmEverySeconds, 0, 86400);
    r.integer(ev, "restoreAfterSeconds", "events", s.restoreAfterSeconds, 0, 86400);
    r.integer(ev, "failureAfterSeconds", "events", s.failureAfterSeconds, 0, 86400);
    r.digits(ev, "receiver", "events", s.receiver, 2, 2);
    if (ev.contains("lines")) {
      s.lines.clear();
      const QJsonArray lines = r.array(ev, "lines", "events");
      for (qsizetype i = 0; i < lines.size(); ++i) {
        std::string l = r.checkedDigits(lines[i], QString("events.lines[%1]").arg(i), 1, 3);
        if (l.size() == 2) r.fail(QString("events.lines[%1]").arg(i), "one digit or three");
        s.lines.push_back(l);
      }
      if (s.lines.empty()) r.fail("events.lines", "empty");
    }
    const QJsonArray alarms = r.array(ev, "alarms", "events");
    for (qsizetype i = 0; i < alarms.size(); ++i) {
      const QString ap = QString("events.alarms[%1]").arg(i);
      const QJsonObject ao = r.object(alarms[i], ap);
      SimAlarm a;
      r.integer(ao, "radio", ap, a.radio, 0, 1023);
      r.integer(ao, "code", ap, a.code, 0, 999);
      r.integer(ao, "partition", ap, a.partition, 0, 99);
      r.integer(ao, "zone", ap, a.zone, 0, 999);
      s.alarms.push_back(a);
    }
  }

  if (!root.value("master").isObject()) r.fail("master", "missing");
  s.radios.push_back(ReadRadio(r, root.value("master").toObject(), "master", true));
  const QJsonArray radios = r.array(root, "radios", "radios");
  std::set<RadioId> ids{0};
  for (qsizetype i = 0; i < radios.size() && !r.failed(); ++i) {
    const QString p = QString("radios[%1]").arg(i);
    SimRadio x = ReadRadio(r, r.object(radios[i], p), p, false);
    if (!r.failed() && !ids.insert(x.id).second) r.fail(p + ".id", QString("radio %1 listed twice").arg(x.id));
    s.radios.push_back(std::move(x));
  }
  if (!r.failed()) CheckRoutes(r, s);
  for (std::size_t i = 0; i < s.alarms.size() && !r.failed(); ++i)
    if (!s.find(s.alarms[i].radio)) r.fail(QString("events.alarms[%1].radio").arg(i), "not in the scenario");
  if (r.failed()) return std::nullopt;
  return s;
}

std::optional<Scenario> Scenario::fromFile(const QString& path, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = path + ": " + f.errorString();
    return std::nullopt;
  }
  QString inner;
  auto s = fromJson(f.readAll(), &inner);
  if (!s && error) *error = path + ": " + inner;
  return s;
}

Scenario Scenario::builtIn() {
  InitSimResources();
  QString error;
  auto s = fromFile(":/sim/default.json", &error);
  if (!s) qFatal("built-in scenario unusable: %s", qPrintable(error));
  return *s;
}

QByteArray Scenario::builtInJson() {
  InitSimResources();
  QFile f(":/sim/default.json");
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const SimRadio* Scenario::find(RadioId id) const {
  for (const SimRadio& x : radios)
    if (x.id == id) return &x;
  return nullptr;
}

SimRadio* Scenario::find(RadioId id) {
  for (SimRadio& x : radios)
    if (x.id == id) return &x;
  return nullptr;
}

}  // namespace orvalis::sim
