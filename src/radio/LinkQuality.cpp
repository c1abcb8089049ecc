#include "radio/LinkQuality.h"

#include "link/ByteReader.h"
#include "radio/IntegerText.h"
#include "radio/TextFormat.h"

namespace orvalis {

namespace {

struct PictureSet {
  std::string_view good, regular, poor;
};

constexpr PictureSet kInboundPictures{"IMG_qualidade_verde", "IMG_qualidade_azul", "IMG_qualidade_verm"};
constexpr PictureSet kOutboundPictures{"IMG_qualidade_sinal_verde_cck", "IMG_qualidade_sinal_Azul_cck",
                                       "IMG_qualidade_sinal_Verm_cck"};

void ShowOnly(std::vector<ControlChange>& out, const PictureSet& set, LinkRating r) {
  out.push_back({set.good, r == LinkRating::Good, {}, {}});
  out.push_back({set.regular, r == LinkRating::Regular, {}, {}});
  out.push_back({set.poor, r == LinkRating::Poor, {}, {}});
}

LevelBar SignalBar(std::string_view name, int level) {
  return {name, BarPosition(level), SignalBarColour(level)};
}
LevelBar NoiseBar(std::string_view name, int level) {
  return {name, BarPosition(level), NoiseBarColour(level)};
}

}  // namespace

void LinkQuality::reset() {
  for (std::string* s : {&gateway_, &destination_, &noiseGateway_, &noiseDestination_, &signalGateway_,
                         &signalDestination_, &qualOut_, &qualIn_})
    *s = kUnset;
}

std::optional<RadioId> LinkQuality::gateway() const {
  if (!gateway_.empty() && gateway_[0] == '-') return std::nullopt;
  const auto v = IntegerOrNothing(gateway_);
  if (!v || *v < 0 || *v > 0xFFFF) return std::nullopt;
  return static_cast<RadioId>(*v);
}

std::string LinkQuality::label(std::string_view name) const {
  if (name == "TL_gateway") return gateway_;
  if (name == "TL_ID_destino") return destination_;
  if (name == "TL_ruido_med_qualidade_gw") return noiseGateway_;
  if (name == "TL_ruido_med_qualidade_dest") return noiseDestination_;
  if (name == "TL_sinal_gw") return signalGateway_;
  if (name == "TL_sinal_dest") return signalDestination_;
  if (name == "TL_qual_ida") return qualOut_;
  if (name == "TL_qual_volta") return qualIn_;
  return {};
}

SignalDisplay LinkQuality::onSignal(std::span<const std::uint8_t> frame, bool withLog, std::string_view time) {
  const SignalReply s = DecodeSignal(frame);
  SignalDisplay d;
  if (s.levelAtGateway) {
    const int v = *s.levelAtGateway;
    d.bars.push_back(SignalBar("RSSI_ida", v));
    d.labels.push_back({"TRSSI_ida", LevelText(v)});
    signalGateway_ = std::to_string(v);
    d.labels.push_back({"TL_sinal_gw", signalGateway_});
  }
  if (s.levelAtMeasured) {
    const int v = *s.levelAtMeasured;
    d.bars.push_back(SignalBar("RSSI_volta", v));
    d.labels.push_back({"TRSSI_volta", LevelText(v)});
    signalDestination_ = std::to_string(v);
    d.labels.push_back({"TL_sinal_dest", signalDestination_});
  }
  if (s.gatewayId) {
    d.labels.push_back({"TRADIO_ida", Concat({"RADIO ", std::to_string(*s.gatewayId)})});
    gateway_ = std::to_string(*s.gatewayId);
    d.labels.push_back({"TL_gateway", gateway_});
  }
  if (s.measuredId) {
    d.labels.push_back({"TRADIO_volta", Concat({"RADIO ", std::to_string(*s.measuredId)})});
    destination_ = std::to_string(*s.measuredId);
    d.labels.push_back({"TL_ID_destino", destination_});
  }
  if (!withLog) return d;
  if (s.linkTimeMs) d.linkTime = std::to_string(*s.linkTimeMs);
  if (s.measuredId && s.gatewayId && s.levelAtMeasured && s.levelAtGateway) {
    const std::string time_s(time);
    std::string line = Printf("[%s] RSSI RADIO [%u]<-[%u] -%3u dBm  [%u]<-[%u] -%3u dBm", time_s.c_str(),
                              unsigned{*s.gatewayId}, unsigned{*s.measuredId}, unsigned{*s.levelAtGateway},
                              unsigned{*s.measuredId}, unsigned{*s.gatewayId}, unsigned{*s.levelAtMeasured});
    // A reply cut before the frequency bytes prints no made-up offset.
    if (s.frequencyOffsetHz) line += Printf(" (%d Hz)", *s.frequencyOffsetHz);
    d.log.push_back(std::move(line));
  }
  return d;
}

NoiseDisplay LinkQuality::onNoise(std::span<const std::uint8_t> frame, RadioId selected, std::string_view time) {
  const NoiseReply n = DecodeNoise(frame);
  NoiseDisplay d;
  if (!n.radioId) return d;
  const bool fromSelected = *n.radioId == selected;
  const auto gw = gateway();
  const bool fromGateway = gw && *n.radioId == *gw;

  if (fromSelected) {
    if (n.min) {
      d.bars.push_back(NoiseBar("Ruido_Min", *n.min));
      d.bars.push_back(NoiseBar("PB_ruido_min", *n.min));
    }
    if (n.mean) {
      d.bars.push_back(NoiseBar("Ruido_Med", *n.mean));
      d.bars.push_back(NoiseBar("PB_ruido_med", *n.mean));
    }
    if (n.max) d.bars.push_back(NoiseBar("Ruido_Max", *n.max));
    if (n.min) d.labels.push_back({"TRuido_Min", LevelText(*n.min)});
    if (n.mean) d.labels.push_back({"TRuido_Med", LevelText(*n.mean)});
    if (n.max) {
      d.labels.push_back({"TRuido_Max", LevelText(*n.max)});
      d.labels.push_back({"TL_ruido_max", LevelText(*n.max)});
    }
    if (n.min) d.labels.push_back({"TL_ruido_min", LevelText(*n.min)});
    if (n.mean) d.labels.push_back({"TL_ruido_med", LevelText(*n.mean)});
    if (n.min && n.mean && n.max) {
      const std::string time_s(time);
      d.log.push_back(Printf("[%s] RUIDO RADIO [%u] Min -%u dBm / Med -%u dBm / Max -%u dBm", time_s.c_str(),
                             unsigned{*n.radioId}, unsigned{*n.min}, unsigned{*n.mean}, unsigned{*n.max}));
    }
  }
  // Gateway first: when the gateway is the selected radio the rating still
  // sees the previous destination noise.
  if (fromGateway && n.mean) {
    noiseGateway_ = std::to_string(*n.mean);
    d.labels.push_back({"TL_ruido_med_qualidade_gw", noiseGateway_});
    d.rating = rate();
  }
  if (fromSelected && n.mean) {
    noiseDestination_ = std::to_string(*n.mean);
    d.labels.push_back({"TL_ruido_med_qualidade_dest", noiseDestination_});
  }
  return d;
}

GatewayNoisePlan LinkQuality::gatewayNoise() const {
  GatewayNoisePlan p;
  std::int64_t id = 1026;
  if (const auto v = IntegerOrNothing(gateway_)) {
    id = *v;
  } else {
    p.warning = kReadSignalFirstWarning;
  }
  if (id > 1024 || id < 0) {
    p.log.push_back(kReadSignalFirstLog);
  } else {
    p.destination = static_cast<RadioId>(id);
  }
  return p;
}

LinkRatingView LinkQuality::rate() {
  LinkRatingView v;
  const auto gw = IntegerOrNothing(gateway_);
  const auto dest = IntegerOrNothing(destination_);
  const auto noiseGw = IntegerOrNothing(noiseGateway_);
  const auto noiseDest = IntegerOrNothing(noiseDestination_);
  const auto sigGw = IntegerOrNothing(signalGateway_);
  const auto sigDest = IntegerOrNothing(signalDestination_);
  if (!gw || !dest || !noiseGw || !noiseDest || !sigGw || !sigDest) {
    // Rating half-read values would show a result that was never measured.
    v.warning = kRatingErrorWarning;
    return v;
  }
  v.inbound = RateMargin(static_cast<int>(*noiseDest - *sigDest));
  v.outbound = RateMargin(static_cast<int>(*noiseGw - *sigGw));
  qualIn_ = RatingText(*v.inbound);
  qualOut_ = RatingText(*v.outbound);
  v.labels.push_back({"TL_qual_volta", qualIn_});
  ShowOnly(v.pictures, kInboundPictures, *v.inbound);
  v.labels.push_back({"TL_qual_ida", qualOut_});
  ShowOnly(v.pictures, kOutboundPictures, *v.outbound);
  v.pictures.push_back({"Image21", *gw != 0, {}, {}});
  v.pictures.push_back({"IMG_mestre", *gw == 0, {}, {}});
  return v;
}

}  // namespace orvalis
