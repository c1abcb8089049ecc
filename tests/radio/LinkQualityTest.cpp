#include <gtest/gtest.h>

#include <string>

#include "radio/LinkQuality.h"
#include "radio/ReplyBytes.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::test::Burst;

namespace {

// 0xD7 from `measured` through `gateway`: byte 5 heard by the measured radio, byte 6 by the gateway.
Bytes SignalD7(RadioId measured, RadioId gateway, std::uint8_t atMeasured, std::uint8_t atGateway) {
  return Burst(measured, 0xD7, 17,
               {{3, gateway & 0xFF},
                {4, gateway >> 8},
                {5, atMeasured},
                {6, atGateway},
                {13, 0x01},
                {14, 0x2C},
                {15, 0xFE},
                {16, 0x01}});
}

Bytes Noise(RadioId from, std::uint8_t max, std::uint8_t mean, std::uint8_t min) {
  return Burst(from, 0xD8, 6, {{3, max}, {4, mean}, {5, min}});
}

const LevelBar* Bar(const std::vector<LevelBar>& bars, std::string_view name) {
  for (const auto& b : bars)
    if (b.name == name) return &b;
  return nullptr;
}

std::string Label(const std::vector<LabelText>& labels, std::string_view name) {
  for (const auto& l : labels)
    if (l.name == name) return l.text;
  return "<unset>";
}

struct LevelCase {
  int level;
  int position;
  BarColour signal;
  BarColour noise;
};

// Texts show the raw byte; the bars use the value clamped to 40..140.
const LevelCase kLevels[] = {
    {35, 100, BarColour::Green, BarColour::Red}, {80, 60, BarColour::Green, BarColour::Red},
    {81, 59, BarColour::Blue, BarColour::Red},   {90, 50, BarColour::Blue, BarColour::Red},
    {91, 49, BarColour::Blue, BarColour::Blue},  {100, 40, BarColour::Blue, BarColour::Blue},
    {101, 39, BarColour::Red, BarColour::Green}, {150, 0, BarColour::Red, BarColour::Green},
};

TEST(LevelBars, PositionAndColour) {
  for (const auto& c : kLevels) {
    LinkQuality q;
    const auto s = q.onSignal(SignalD7(5, 2, static_cast<std::uint8_t>(c.level), static_cast<std::uint8_t>(c.level)),
                              true, "10:00:00");
    for (std::string_view bar : {"RSSI_ida", "RSSI_volta"}) {
      const LevelBar* b = Bar(s.bars, bar);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(b->position, c.position) << c.level;
      EXPECT_EQ(b->colour, c.signal) << c.level;
    }
    EXPECT_EQ(Label(s.labels, "TRSSI_ida"), "-" + std::to_string(c.level) + " dBm");
    EXPECT_EQ(Label(s.labels, "TL_sinal_gw"), std::to_string(c.level));

    const auto n = q.onNoise(Noise(5, static_cast<std::uint8_t>(c.level), static_cast<std::uint8_t>(c.level),
                                   static_cast<std::uint8_t>(c.level)),
                             5, "10:00:00");
    for (std::string_view bar : {"Ruido_Min", "Ruido_Med", "Ruido_Max", "PB_ruido_min", "PB_ruido_med"}) {
      const LevelBar* b = Bar(n.bars, bar);
      ASSERT_NE(b, nullptr) << bar;
      EXPECT_EQ(b->position, c.position) << c.level;
      EXPECT_EQ(b->colour, c.noise) << c.level;
    }
  }
  EXPECT_EQ(BarRgb(BarColour::Green), (Rgb{0, 128, 0}));
  EXPECT_EQ(BarRgb(BarColour::Blue), (Rgb{0, 0, 255}));
  EXPECT_EQ(BarRgb(BarColour::Red), (Rgb{255, 0, 0}));
}

TEST(SignalReply, D7LabelsLinkTimeAndLogLine) {
  LinkQuality q;
  const auto s = q.onSignal(SignalD7(5, 2, 90, 80), true, "10:11:12");
  EXPECT_EQ(Label(s.labels, "TRSSI_ida"), "-80 dBm");
  EXPECT_EQ(Label(s.labels, "TRSSI_volta"), "-90 dBm");
  EXPECT_EQ(Label(s.labels, "TL_sinal_dest"), "90");
  EXPECT_EQ(Label(s.labels, "TRADIO_ida"), "RADIO 2");
  EXPECT_EQ(Label(s.labels, "TRADIO_volta"), "RADIO 5");
  EXPECT_EQ(Label(s.labels, "TL_gateway"), "2");
  EXPECT_EQ(Label(s.labels, "TL_ID_destino"), "5");
  EXPECT_EQ(s.linkTime, "300");
  ASSERT_EQ(s.log.size(), 1u);
  EXPECT_EQ(s.log[0], "[10:11:12] RSSI RADIO [2]<-[5] - 80 dBm  [5]<-[2] - 90 dBm (-1 Hz)");
  EXPECT_EQ(q.gateway(), 2);
}

TEST(SignalReply, D5FrequencyAtBytes7And8AndNoLogFromAnyRadio) {
  const Bytes d5 = test::Hex("09 00 D5 03 00 6E 64 FE 01 A5 5A");
  const SignalReply r = DecodeSignal(d5);
  EXPECT_EQ(r.frequencyOffsetHz, -1);
  EXPECT_FALSE(r.linkTimeMs);
  LinkQuality q;
  const auto quiet = q.onSignal(d5, false, "10:00:00");
  EXPECT_TRUE(quiet.log.empty());
  EXPECT_FALSE(quiet.linkTime);
  EXPECT_EQ(Label(quiet.labels, "TRSSI_ida"), "-100 dBm");
  EXPECT_EQ(q.gateway(), 3);
  const auto logged = q.onSignal(d5, true, "10:00:00");
  ASSERT_EQ(logged.log.size(), 1u);
  EXPECT_EQ(logged.log[0], "[10:00:00] RSSI RADIO [3]<-[9] -100 dBm  [9]<-[3] -110 dBm (-1 Hz)");
}

TEST(SignalReply, FrequencyOffsetIsTheSumOfTwoSignedBytes) {
  struct Case {
    const char* bytes;
    int hz;
  };
  const Case cases[] = {{"FE 01", -1}, {"7F 7F", 254}, {"80 80", -256}, {"00 05", 5}};
  for (const auto& c : cases) {
    const Bytes f = test::Hex(std::string("05 00 D7 02 00 50 50 00 00 00 00 00 00 00 2C ") + c.bytes + " A5 5A");
    EXPECT_EQ(DecodeSignal(f).frequencyOffsetHz, c.hz) << c.bytes;
  }
}

TEST(SignalReply, CutBeforeFrequencyLogsWithoutOffset) {
  LinkQuality q;
  const auto s = q.onSignal(test::Hex("05 00 D7 02 00 5A 50 00"), true, "10:00:00");
  EXPECT_FALSE(s.linkTime);
  ASSERT_EQ(s.log.size(), 1u);
  EXPECT_EQ(s.log[0], "[10:00:00] RSSI RADIO [2]<-[5] - 80 dBm  [5]<-[2] - 90 dBm");
}

TEST(NoiseReply, SelectedRadioLabelsAndLogLine) {
  LinkQuality q;
  const auto n = q.onNoise(Noise(5, 85, 95, 105), 5, "08:00:01");
  EXPECT_EQ(Label(n.labels, "TRuido_Min"), "-105 dBm");
  EXPECT_EQ(Label(n.labels, "TRuido_Med"), "-95 dBm");
  EXPECT_EQ(Label(n.labels, "TRuido_Max"), "-85 dBm");
  EXPECT_EQ(Label(n.labels, "TL_ruido_max"), "-85 dBm");
  EXPECT_EQ(Label(n.labels, "TL_ruido_min"), "-105 dBm");
  EXPECT_EQ(Label(n.labels, "TL_ruido_med"), "-95 dBm");
  EXPECT_EQ(Label(n.labels, "TL_ruido_med_qualidade_dest"), "95");
  ASSERT_EQ(n.log.size(), 1u);
  EXPECT_EQ(n.log[0], "[08:00:01] RUIDO RADIO [5] Min -105 dBm / Med -95 dBm / Max -85 dBm");
  EXPECT_FALSE(n.rating);
  EXPECT_EQ(q.label("TL_ruido_med_qualidade_dest"), "95");
}

TEST(LinkRating, MarginBounds) {
  struct Case {
    int margin;
    LinkRating r;
  };
  // 10 and 20 sit between the good and poor ranges; both count as regular.
  const Case cases[] = {{25, LinkRating::Good},    {21, LinkRating::Good},    {20, LinkRating::Regular},
                        {15, LinkRating::Regular}, {10, LinkRating::Regular}, {9, LinkRating::Poor},
                        {5, LinkRating::Poor},     {-30, LinkRating::Poor}};
  for (const auto& c : cases) EXPECT_EQ(RateMargin(c.margin), c.r) << c.margin;
  EXPECT_STREQ(RatingText(LinkRating::Good), " Bom ");
  EXPECT_STREQ(RatingText(LinkRating::Regular), " Regular ");
  EXPECT_STREQ(RatingText(LinkRating::Poor), " Ruim ");
}

// Signal of radio 5 through gateway 2, noise at 5, then noise at the gateway rates the link.
class LinkSteps : public ::testing::Test {
 protected:
  LinkRatingView run(std::uint8_t destNoise, std::uint8_t destSignal, std::uint8_t gwNoise, std::uint8_t gwSignal,
                     RadioId gateway = 2) {
    q.onSignal(SignalD7(5, gateway, destSignal, gwSignal), true, "t");
    q.onNoise(Noise(5, 0, destNoise, 0), 5, "t");
    const auto plan = q.gatewayNoise();
    EXPECT_EQ(plan.destination, gateway);
    const auto n = q.onNoise(Noise(gateway, 0, gwNoise, 0), 5, "t");
    EXPECT_TRUE(n.log.empty());  // the gateway's noise is not the selected radio's
    EXPECT_TRUE(n.rating.has_value());
    return n.rating.value_or(LinkRatingView{});
  }
  LinkQuality q;
};

TEST_F(LinkSteps, RatesBothDirections) {
  struct Case {
    std::uint8_t destNoise, destSignal, gwNoise, gwSignal;
    const char *in, *out;
  };
  const Case cases[] = {
      {110, 85, 110, 85, " Bom ", " Bom "},     {100, 85, 90, 85, " Regular ", " Ruim "},
      {90, 85, 100, 85, " Ruim ", " Regular "}, {95, 85, 105, 85, " Regular ", " Regular "},
      {106, 85, 94, 85, " Bom ", " Ruim "},
  };
  for (const auto& c : cases) {
    const auto r = run(c.destNoise, c.destSignal, c.gwNoise, c.gwSignal);
    EXPECT_FALSE(r.warning);
    EXPECT_EQ(Label(r.labels, "TL_qual_volta"), c.in);
    EXPECT_EQ(Label(r.labels, "TL_qual_ida"), c.out);
    EXPECT_EQ(q.label("TL_qual_volta"), c.in);
  }
}

TEST_F(LinkSteps, ShowsExactlyOnePictureOfEachSet) {
  const auto r = run(110, 85, 100, 85);  // inbound good, outbound regular
  const std::vector<ControlChange> expected = {
      {"IMG_qualidade_verde", true, {}, {}},
      {"IMG_qualidade_azul", false, {}, {}},
      {"IMG_qualidade_verm", false, {}, {}},
      {"IMG_qualidade_sinal_verde_cck", false, {}, {}},
      {"IMG_qualidade_sinal_Azul_cck", true, {}, {}},
      {"IMG_qualidade_sinal_Verm_cck", false, {}, {}},
      {"Image21", true, {}, {}},
      {"IMG_mestre", false, {}, {}},
  };
  EXPECT_EQ(r.pictures, expected);
}

TEST_F(LinkSteps, MasterAsGatewayShowsTheMasterPicture) {
  const auto r = run(110, 85, 100, 85, 0);
  ASSERT_GE(r.pictures.size(), 2u);
  EXPECT_EQ(r.pictures[6], (ControlChange{"Image21", false, {}, {}}));
  EXPECT_EQ(r.pictures[7], (ControlChange{"IMG_mestre", true, {}, {}}));
}

TEST_F(LinkSteps, GatewayThatIsTheSelectedRadioRatesWithThePreviousDestinationNoise) {
  q.onSignal(SignalD7(2, 2, 85, 85), true, "t");
  const auto n = q.onNoise(Noise(2, 0, 110, 0), 2, "t");
  ASSERT_TRUE(n.rating);
  EXPECT_EQ(n.rating->warning, kRatingErrorWarning);  // destination noise still "----"
  EXPECT_EQ(q.label("TL_ruido_med_qualidade_dest"), "110");
  const auto again = q.onNoise(Noise(2, 0, 110, 0), 2, "t");
  ASSERT_TRUE(again.rating);
  EXPECT_FALSE(again.rating->warning);
}

TEST(LinkRating, NotNumbersWarnAndChangeNothing) {
  LinkQuality q;
  const auto r = q.rate();
  EXPECT_EQ(r.warning, "erro!");
  EXPECT_TRUE(r.labels.empty());
  EXPECT_TRUE(r.pictures.empty());
  EXPECT_EQ(q.label("TL_qual_ida"), "----");
}

TEST(GatewayNoise, GuardOnTheGatewayLabel) {
  struct Case {
    std::optional<RadioId> signalGateway;  // absent: no signal reading yet
    bool warning;
    std::optional<RadioId> destination;
  };
  const Case cases[] = {
      {{}, true, {}},         {RadioId{1025}, false, {}}, {RadioId{1024}, false, 1024}, {RadioId{1003}, false, 1003},
      {RadioId{0}, false, 0},
  };
  for (const auto& c : cases) {
    LinkQuality q;
    if (c.signalGateway) q.onSignal(SignalD7(5, *c.signalGateway, 80, 80), false, "t");
    const auto p = q.gatewayNoise();
    EXPECT_EQ(p.warning.has_value(), c.warning);
    if (c.warning) {
      EXPECT_EQ(*p.warning, "É necessário fazer a leitura do sinal e ruído primeiro!");
    }
    EXPECT_EQ(p.destination, c.destination);
    if (!c.destination) {
      ASSERT_EQ(p.log.size(), 1u);
      EXPECT_EQ(p.log[0], " Necessário fazer a leitura do sinal antes de analisar a qualidade do link.");
    } else {
      EXPECT_TRUE(p.log.empty());
    }
  }
}

TEST(LinkQualityState, ResetForgetsTheGateway) {
  LinkQuality q;
  q.onSignal(SignalD7(5, 2, 80, 80), true, "t");
  ASSERT_EQ(q.gateway(), 2);
  q.reset();
  EXPECT_FALSE(q.gateway());
  for (std::string_view n : {"TL_gateway", "TL_ID_destino", "TL_ruido_med_qualidade_gw", "TL_ruido_med_qualidade_dest",
                             "TL_sinal_gw", "TL_sinal_dest", "TL_qual_ida", "TL_qual_volta"})
    EXPECT_EQ(q.label(n), "----") << n;
  // Noise from a radio that is neither selected nor the gateway shows nothing.
  const auto n = q.onNoise(Noise(2, 90, 90, 90), 5, "t");
  EXPECT_TRUE(n.labels.empty());
  EXPECT_TRUE(n.bars.empty());
}

TEST(SignalRequests, Bytes) {
  EXPECT_EQ(test::ToHex(BuildSignalRequest()), "D7 00 00 00");
  EXPECT_EQ(test::ToHex(BuildNoiseRequest()), "D8 00 00 00");
  EXPECT_FALSE(RemoteCommandAllowed(0));
  EXPECT_TRUE(RemoteCommandAllowed(1));
}

}  // namespace
