// Signal (0xD5 / 0xD7) and noise (0xD8) replies, the level bars and the link rating of a margin.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/RadioTypes.h"

namespace orvalis {

inline constexpr const char* kAwaitingReply = "Aguardando Resposta";
inline constexpr const char* kIdZeroRefused = "Comando não pode ser enviado para ID zero!";
// Remote commands are refused for the master radio itself.
inline bool RemoteCommandAllowed(RadioId selected) {
  return selected != 0;
}

// 0xD7 0,0,0 (EnviaComando; refused for radio 0) and 0xD8 0,0,0 (the noise buttons).
Bytes BuildSignalRequest();
Bytes BuildNoiseRequest();

// Levels are magnitudes of negative dBm values (95 = -95 dBm).
inline constexpr int kLevelMin = 40;
inline constexpr int kLevelMax = 140;
int ClampLevel(int level);
// Vertical bar of range 0..100: -40 dBm fills it, -140 dBm empties it.
int BarPosition(int level);

enum class BarColour { Green, Blue, Red };
struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};
Rgb BarRgb(BarColour c);
BarColour SignalBarColour(int level);
BarColour NoiseBarColour(int level);
const char* BarColourName(BarColour c);

struct SignalReply {
  std::optional<CommandCode> code;
  std::optional<RadioId> measuredId;            // 0-1
  std::optional<RadioId> gatewayId;             // 3-4
  std::optional<std::uint8_t> levelAtMeasured;  // 5, heard by the measured radio
  std::optional<std::uint8_t> levelAtGateway;   // 6, heard by the gateway
  std::optional<int> frequencyOffsetHz;         // 7+8 (0xD5) or 15+16 (0xD7), signed sum
  std::optional<std::uint16_t> linkTimeMs;      // 0xD7 only: 13-14, big-endian
};
SignalReply DecodeSignal(std::span<const std::uint8_t> frame);

struct NoiseReply {
  std::optional<RadioId> radioId;
  std::optional<std::uint8_t> max;   // 3
  std::optional<std::uint8_t> mean;  // 4
  std::optional<std::uint8_t> min;   // 5
};
NoiseReply DecodeNoise(std::span<const std::uint8_t> frame);

// "-95 dBm" from the raw byte (not the clamped value).
std::string LevelText(int level);

// Signal-to-noise margin (noise - signal, both magnitudes) rated:
// above 20 good, 10 to 20 regular (both ends included), below 10 poor.
enum class LinkRating { Good, Regular, Poor };
LinkRating RateMargin(int margin);
const char* RatingText(LinkRating r);  // " Bom ", " Regular ", " Ruim "

}  // namespace orvalis
