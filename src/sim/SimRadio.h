// State of one simulated radio: what it reports and what configuration commands change.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/RadioTypes.h"

namespace orvalis::sim {

struct SimNeighbour {
  RadioId id = 0;
  std::uint8_t level = 90;  // level at which this radio hears the neighbour (95 = -95 dBm)
};

struct SimNoise {
  std::uint8_t max = 98;
  std::uint8_t mean = 108;
  std::uint8_t min = 114;
};

struct SimDiagnostics {
  std::uint8_t tempMin = 21, tempMed = 27, tempMax = 39;
  std::uint8_t v33Min = 32, v33Med = 33, v33Max = 34;
  std::uint16_t resets = 3, powerOnResets = 2, watchdogResets = 0;
  std::uint8_t statusFlags = 1;
  std::uint32_t uptimeSeconds = 93784;      // at the start of the simulation
  std::uint32_t sinceResetSeconds = 93784;  // idem
  std::uint16_t stack = 412;
  std::uint8_t masterStatus = 1;
  std::uint8_t lineVoltage = 12;
  std::uint32_t eventsOk = 1520, eventsRefused = 3;
  std::uint16_t levelL1 = 410, levelL2 = 395, maxL1 = 620, maxL2 = 601;
  std::optional<std::array<std::uint8_t, 3>> battery;  // min, current, max in tenths of a volt
};

struct SimSync {
  std::uint8_t layout = 2;         // reply byte 3: 1 without clock lines, 2 with them, 0x80+ counter layout
  std::optional<RadioId> gateway;  // defaults to the first hop of the route
  std::uint8_t level = 74, maxLevel = 70, maxHistory = 66, hopsWithoutSync = 0, status = 1;
  std::uint32_t syncedSeconds = 93000;
  std::uint16_t ackMax = 180, ackMin = 42, ackLast = 61;
  std::uint16_t syncLosses = 2, periodicLosses = 1, slotBusy = 14;
  std::uint16_t serialErrors = 0, serialCrcErrors = 0, protocolErrors = 0, serialMaxBytes = 48;
  std::uint16_t rxErrorTenths = 12, lostOutTenths = 8, lostBackTenths = 11, retryTenths = 25;
  std::int16_t clockGeneral = 35, clockGateway = -7;  // units of 4/7 Hz
};

struct SimRepeatEntry {
  std::uint8_t blacklist = 0;
  std::uint8_t repeat = 0;
};

struct SimGatewayEntry {
  RadioId id = 0;
  std::uint8_t value = 0;
};

// The bank being written by a firmware upload (run-time state, not part of a scenario file).
struct SimFlash {
  bool erased = false;
  std::optional<std::uint8_t> headerType;  // 0x0F, 0x1F or 0x2F once the header record arrived
  std::uint8_t headerHardware = 0;         // the hardware code and role the image is built for
  std::uint8_t headerRole = 0;
  std::uint32_t segment = 0;  // from extended linear address records
  std::uint32_t bytes = 0;
  bool failed = false;                                 // a write was refused
  std::optional<std::array<std::uint8_t, 2>> version;  // version and revision of the new image
};

struct SimRadio {
  RadioId id = 0;
  bool answers = true;  // false: the radio is listed but never replies
  std::array<std::uint8_t, 4> serial{};
  std::uint8_t hardwareCode = 14;
  std::uint8_t boardVariant = 0;  // 1 = serial-bus variant (hardware codes 14 and 21)
  std::uint8_t firmwareVersion = 6;
  std::uint8_t firmwareRevision = 26;
  std::uint8_t bank = 0;           // 0 = A, 1 = B
  std::uint8_t firmwareCheck = 1;  // 0 = failed
  std::uint8_t channel = 3;
  std::uint8_t protocol = 1;          // master: 0..3 (with/without ACK, standard/extended)
  std::uint8_t commandEventMode = 1;  // master: 0 commands, 1 + events, 2 + extended events
  std::uint8_t keepAliveType = 0;
  std::uint8_t dataRate = 3;    // wire code, 0..3
  std::uint8_t serialBaud = 0;  // 0 = 9600, 1 = 115200
  std::uint8_t eventOptions = 0;
  std::uint8_t powerOptions = 0;
  std::uint16_t periodicMinutes = 60;
  std::uint8_t panelType = 1;
  std::uint8_t partition = 1;
  std::vector<RadioId> route;                        // hops from this radio towards the master, master not included
  std::optional<std::vector<RadioId>> definedRoute;  // set by a route definition, cleared by erase
  std::vector<SimNeighbour> neighbours;
  SimNoise noise;
  SimDiagnostics diagnostics;
  SimSync sync;
  std::map<RadioId, SimRepeatEntry> repeatTable;
  std::vector<SimGatewayEntry> gatewayTable;
  std::vector<std::string> accounts;  // four characters each; the first is the radio's own
  std::int8_t frequencyOffset = -3;   // Hz, reported as two signed bytes
  std::uint32_t flashSize = 0x40000;  // bytes of one memory bank
  SimFlash flash;

  // The route in use: a defined one wins over the one the mesh found.
  const std::vector<RadioId>& activeRoute() const { return definedRoute ? *definedRoute : route; }
  std::optional<std::uint8_t> levelOf(RadioId other) const {
    for (const auto& n : neighbours)
      if (n.id == other) return n.level;
    return std::nullopt;
  }
};

}  // namespace orvalis::sim
