#include "radio/SignalNoise.h"

#include <algorithm>

#include "link/ByteReader.h"
#include "radio/TextFormat.h"

namespace orvalis {

namespace {

struct ColourEntry {
  BarColour colour;
  Rgb rgb;
  const char* name;
};

constexpr ColourEntry kColours[] = {
    {BarColour::Green, {0, 128, 0}, "green"},
    {BarColour::Blue, {0, 0, 255}, "blue"},
    {BarColour::Red, {255, 0, 0}, "red"},
};

struct RatingEntry {
  LinkRating rating;
  const char* text;
};

constexpr RatingEntry kRatings[] = {
    {LinkRating::Good, " Bom "},
    {LinkRating::Regular, " Regular "},
    {LinkRating::Poor, " Ruim "},
};

std::optional<int> SignedSum(const ByteReader& r, std::size_t pos) {
  const auto a = r.s8(pos);
  const auto b = r.s8(pos + 1);
  if (!a || !b) return std::nullopt;
  return int{*a} + int{*b};
}

}  // namespace

Bytes BuildSignalRequest() {
  return {code::kSignal, 0, 0, 0};
}
Bytes BuildNoiseRequest() {
  return {code::kNoise, 0, 0, 0};
}

int ClampLevel(int level) {
  return std::clamp(level, kLevelMin, kLevelMax);
}
int BarPosition(int level) {
  return kLevelMax - ClampLevel(level);
}

Rgb BarRgb(BarColour c) {
  for (const auto& e : kColours)
    if (e.colour == c) return e.rgb;
  return {0, 0, 0};
}

const char* BarColourName(BarColour c) {
  for (const auto& e : kColours)
    if (e.colour == c) return e.name;
  return "";
}

BarColour SignalBarColour(int level) {
  const int v = ClampLevel(level);
  if (v <= 80) return BarColour::Green;
  if (v <= 100) return BarColour::Blue;
  return BarColour::Red;
}

BarColour NoiseBarColour(int level) {
  const int v = ClampLevel(level);
  if (v > 100) return BarColour::Green;
  if (v > 90) return BarColour::Blue;
  return BarColour::Red;
}

SignalReply DecodeSignal(std::span<const std::uint8_t> frame) {
  const ByteReader r(frame);
  SignalReply s;
  s.code = r.u8(2);
  s.measuredId = r.u16le(0);
  s.gatewayId = r.u16le(3);
  s.levelAtMeasured = r.u8(5);
  s.levelAtGateway = r.u8(6);
  if (s.code == code::kSignal) {
    s.linkTimeMs = r.u16be(13);
    s.frequencyOffsetHz = SignedSum(r, 15);
  } else {
    s.frequencyOffsetHz = SignedSum(r, 7);
  }
  return s;
}

NoiseReply DecodeNoise(std::span<const std::uint8_t> frame) {
  const ByteReader r(frame);
  return {r.u16le(0), r.u8(3), r.u8(4), r.u8(5)};
}

std::string LevelText(int level) {
  return Concat({"-", std::to_string(level), " dBm"});
}

LinkRating RateMargin(int margin) {
  if (margin > 20) return LinkRating::Good;
  if (margin >= 10) return LinkRating::Regular;
  return LinkRating::Poor;
}

const char* RatingText(LinkRating r) {
  for (const auto& e : kRatings)
    if (e.rating == r) return e.text;
  return "";
}

}  // namespace orvalis
