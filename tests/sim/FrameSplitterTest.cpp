// Cutting the tool's byte stream into frames and acknowledgements.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/RadioFrame.h"
#include "sim/FrameSplitter.h"
#include "support/Hex.h"

using namespace orvalis;
using orvalis::sim::FrameSplitter;
using orvalis::sim::IncomingPiece;
using orvalis::test::Hex;
using orvalis::test::ToHex;

namespace {

std::string Frame(RadioId dest, const char* data) {
  return ToHex(BuildRadioFrame(dest, Hex(data)));
}

std::string Describe(const std::vector<IncomingPiece>& pieces) {
  std::string s;
  for (const auto& p : pieces) {
    if (!s.empty()) s += " | ";
    s += p.kind == IncomingPiece::Kind::Frame ? "F " : p.kind == IncomingPiece::Kind::Ack ? "A " : "R ";
    s += ToHex(p.bytes);
  }
  return s;
}

struct SplitCase {
  const char* name;
  std::string chunk;
  std::string expected;
};

class SplitChunk : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitChunk, Pieces) {
  const auto& c = GetParam();
  EXPECT_EQ(Describe(FrameSplitter::split(Hex(c.chunk))), c.expected);
}

const std::string kSignal5 = Frame(5, "D7 00 00 00");
const std::string kRead6 = Frame(6, "D4 00 00 00");
const std::string kVia = "02 00 EF 05 00 D7 00 00 00 9F 85";

const SplitCase kCases[] = {
    {"OneFrame", kSignal5, "F " + kSignal5},
    {"FrameWithGatewayPrefix", kVia, "F " + kVia},
    {"LoneAck", "06", "A 06"},
    {"FrameToRadio6IsNotAnAck", kRead6, "F " + kRead6},
    {"AckThenFrame", "06 " + kSignal5, "A 06 | F " + kSignal5},
    {"FrameThenAck", kSignal5 + " 06", "F " + kSignal5 + " | A 06"},
    {"TwoFrames", kSignal5 + " " + kRead6, "F " + kSignal5 + " | F " + kRead6},
    {"EchoByte", "F0", "R F0"},
    {"GarbageThenFrame", "F0 33 " + kSignal5, "R F0 33 | F " + kSignal5},
    {"DamagedFrameIsRaw", "05 00 D7 00 00 00 1A 22", "R 05 00 D7 00 00 00 1A 22"},
};

INSTANTIATE_TEST_SUITE_P(Sim, SplitChunk, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FrameSplitter, WaitsForTheQuietGap) {
  FrameSplitter s(5);
  const Bytes f = Hex(kSignal5);
  s.feed(std::span(f).first(3), 0);
  EXPECT_TRUE(s.poll(3).empty());
  s.feed(std::span(f).subspan(3), 4);
  EXPECT_EQ(s.dueAt(), 9);
  EXPECT_TRUE(s.poll(8).empty());
  EXPECT_EQ(Describe(s.poll(9)), "F " + kSignal5);
  EXPECT_EQ(s.dueAt(), -1);
}

TEST(FrameSplitter, RunawayStreamStaysBounded) {
  FrameSplitter s(5);
  const Bytes junk(700, 0x41);
  for (int i = 0; i < 20; ++i) s.feed(junk, i);
  const auto pieces = s.poll(100);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_LE(pieces[0].bytes.size(), 4 * kFrameBufferSize);
}

}  // namespace
