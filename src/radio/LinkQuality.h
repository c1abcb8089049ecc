// LinkQuality: the SINAL / RUIDO page state (measured labels, current gateway) and what each reply shows.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/RadioTypes.h"
#include "radio/ControlChange.h"
#include "radio/SignalNoise.h"

namespace orvalis {

struct LabelText {
  std::string_view name;  // objectName
  std::string text;
  bool operator==(const LabelText&) const = default;
};

struct LevelBar {
  std::string_view name;  // objectName
  int position = 0;       // 0..100
  BarColour colour = BarColour::Green;
  bool operator==(const LevelBar&) const = default;
};

struct SignalDisplay {
  std::vector<LabelText> labels;
  std::vector<LevelBar> bars;
  std::optional<std::string> linkTime;  // tTEMPO, 0xD7 only
  std::vector<std::string> log;         // Tx lines, without the leading line break
};

struct LinkRatingView {
  std::optional<std::string> warning;  // "erro!": nothing below is set then
  std::optional<LinkRating> outbound;  // gateway noise - gateway signal (TL_qual_ida)
  std::optional<LinkRating> inbound;   // destination noise - destination signal (TL_qual_volta)
  std::vector<LabelText> labels;
  std::vector<ControlChange> pictures;  // rating and radio/master pictures
};

struct NoiseDisplay {
  std::vector<LabelText> labels;
  std::vector<LevelBar> bars;
  std::vector<std::string> log;
  std::optional<LinkRatingView> rating;  // when the reply came from the gateway
};

struct GatewayNoisePlan {
  std::optional<std::string> warning;  // box shown first
  std::vector<std::string> log;        // appended to Tx as it stands (no line break)
  std::optional<RadioId> destination;  // send BuildNoiseRequest() there; absent: nothing sent
};

inline constexpr const char* kReadSignalFirstWarning = "É necessário fazer a leitura do sinal e ruído primeiro!";
inline constexpr const char* kReadSignalFirstLog =
    " Necessário fazer a leitura do sinal antes de analisar a qualidade do link.";
inline constexpr const char* kRatingErrorWarning = "erro!";

class LinkQuality {
 public:
  static constexpr const char* kUnset = "----";

  LinkQuality() { reset(); }

  // Leaving the radio selector: the eight labels return to "----", which
  // also forgets the gateway.
  void reset();

  // The gateway of the last signal reading, for the dispatcher's address match.
  std::optional<RadioId> gateway() const;

  // 0xD5 from any radio (withLog false) or 0xD5 / 0xD7 from the selected
  // radio or its gateway (withLog true, time of reception hh:mm:ss).
  SignalDisplay onSignal(std::span<const std::uint8_t> frame, bool withLog, std::string_view time);

  // 0xD8 from the selected radio and/or the current gateway.
  NoiseDisplay onNoise(std::span<const std::uint8_t> frame, RadioId selected, std::string_view time);

  // NxB_ruido_GW: where to send the gateway noise request, if anywhere.
  GatewayNoisePlan gatewayNoise() const;

  // The rating from the label texts as they stand.
  LinkRatingView rate();

  // Current text of one of the eight labels by objectName ("" for others).
  std::string label(std::string_view name) const;

 private:
  std::string gateway_, destination_, noiseGateway_, noiseDestination_, signalGateway_, signalDestination_, qualOut_,
      qualIn_;
};

}  // namespace orvalis
