#include "radio/LogField.h"

#include <charconv>

#include "radio/TextFormat.h"

namespace orvalis {

namespace {

// Six decimals with a point whatever the process locale is (a GUI may set one).
std::string Fixed6(double v) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
  return std::string(buf, res.ptr);
}

}  // namespace

std::size_t FieldWidth(FieldFormat f) {
  switch (f) {
    case FieldFormat::U1:
      return 1;
    case FieldFormat::U4:
    case FieldFormat::Dur:
      return 4;
    default:
      return 2;
  }
}

double ClockDeviationHz(std::int16_t raw) {
  float v = static_cast<float>(raw);
  v *= 0.0025f;
  v *= 1.0f / 35.0f;
  v *= 8000000.0f;
  return static_cast<double>(v) * 0.001;
}

std::optional<std::string> FormatField(const ByteReader& r, const LogField& f) {
  if (!r.has(f.offset, FieldWidth(f.format))) return std::nullopt;
  switch (f.format) {
    case FieldFormat::U1:
      return Printf("%s%u", f.label, unsigned{*r.u8(f.offset)});
    case FieldFormat::U2:
      return Printf("%s%u", f.label, unsigned{*r.u16be(f.offset)});
    case FieldFormat::U4:
      return Printf("%s%lu", f.label, static_cast<unsigned long>(*r.u32be(f.offset)));
    case FieldFormat::Id:
      return Printf("%s%u", f.label, unsigned{*r.u16le(f.offset)});
    case FieldFormat::Dur: {
      const unsigned long s = *r.u32be(f.offset);
      return Printf("%s%lu - %lu dd, %lu hh, %lu mm, %lu ss", f.label, s, s / 86400, (s / 3600) % 24, (s / 60) % 60,
                    s % 60);
    }
    case FieldFormat::Pct:
      return Concat({f.label, Fixed6(*r.u16be(f.offset) / 10.0), " %"});
    case FieldFormat::Clk:
      return Concat({f.label, Fixed6(ClockDeviationHz(static_cast<std::int16_t>(*r.u16be(f.offset)))), " Hz"});
  }
  return std::nullopt;
}

}  // namespace orvalis
