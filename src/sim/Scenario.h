// A simulated mesh as read from a scenario file: master radio, remote radios and event timing.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimRadio.h"

namespace orvalis::sim {

// One alarm the master reports in turn (followed later by its restore).
struct SimAlarm {
  RadioId radio = 1;
  std::uint16_t code = 130;
  std::uint8_t partition = 1;
  std::uint16_t zone = 1;
};

struct Scenario {
  std::string name;
  double timeScale = 1.0;  // simulated seconds per real second

  // Event traffic of the master radio; times are simulated time unless said.
  int ackTimeoutMs = 2000;     // real milliseconds before an unacknowledged message is sent again
  int maxResends = 3;          // after that many resends the message is given up
  int eventSpacingMs = 300;    // real milliseconds between two messages (and after a reply)
  int startDelayMs = 500;      // real milliseconds before the first 880
  int linkTestSeconds = 60;    // 0 = no link tests
  int alarmEverySeconds = 90;  // 0 = no alarms
  int restoreAfterSeconds = 20;
  int failureAfterSeconds = 40;         // 882 for radios that never answer; 0 = never
  std::string receiver = "00";          // two digits after the leading 5/6
  std::vector<std::string> lines{"0"};  // line numbers used in turn: one digit or three
  std::vector<SimAlarm> alarms;

  std::vector<SimRadio> radios;  // the master (id 0) first

  static std::optional<Scenario> fromJson(const QByteArray& json, QString* error);
  static std::optional<Scenario> fromFile(const QString& path, QString* error);
  // The scenario shipped inside the program (":/sim/default.json").
  static Scenario builtIn();
  static QByteArray builtInJson();

  const SimRadio* find(RadioId id) const;
  SimRadio* find(RadioId id);
};

}  // namespace orvalis::sim
