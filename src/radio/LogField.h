// Field formats of the diagnostic and sync reports: one "label value" log line per field.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "link/ByteReader.h"

namespace orvalis {

enum class FieldFormat {
  U1,   // unsigned byte
  U2,   // unsigned 16 bits, big-endian
  U4,   // unsigned 32 bits, big-endian
  Id,   // radio id, 16 bits little-endian
  Dur,  // seconds, 32 bits big-endian, with days / hours / minutes / seconds
  Pct,  // 16 bits big-endian, tenths of a percent
  Clk,  // signed 16 bits big-endian, clock deviation units of 4/7 Hz
};

struct LogField {
  std::size_t offset;
  FieldFormat format;
  const char* label;
};

std::size_t FieldWidth(FieldFormat f);
// The log line of a field (label and value), absent when the burst ends before it.
std::optional<std::string> FormatField(const ByteReader& r, const LogField& f);
// Clock deviation in Hz of a CLK raw value, computed as the radio's tool does (single precision steps).
double ClockDeviationHz(std::int16_t raw);

}  // namespace orvalis
