#include <gtest/gtest.h>

#include <string_view>

#include "events/SurGardIntake.h"
#include "support/Hex.h"

namespace orvalis {
namespace {

const std::string kDc4 = "\x14";
const Arrival kAt{TimePoint{}, "11/12/2026 13:40:00", "13:40:00"};

bool BeginsEventText(const std::vector<std::uint8_t>& b) {
  const std::string s(b.begin(), b.end());
  return s.rfind("101", 0) == 0 || s.rfind("5000", 0) == 0 || s.rfind("6000", 0) == 0;
}

// What the receive path does with each burst: the held message's rest goes
// to intake first; otherwise the held part is closed and the burst goes
// through the dispatcher, which hands event text to intake.
struct ReceivePath {
  SurGardIntake intake;
  bool ack = true;
  std::vector<IntakeResult> results;
  int toDispatcher = 0;

  void burst(const std::vector<std::uint8_t>& b) {
    std::vector<IntakeResult> got;
    if (intake.continuesHeld(b)) {
      got = intake.feed(b, kAt, ack);
    } else {
      got = intake.flushHeld(kAt);
      if (BeginsEventText(b)) {
        auto more = intake.feed(b, kAt, ack);
        got.insert(got.end(), more.begin(), more.end());
      } else {
        ++toDispatcher;
      }
    }
    results.insert(results.end(), got.begin(), got.end());
  }
};

// One expected result: 'L' link test, 'E' event (with its account), 'I' ignored.
struct Expect {
  char kind;
  const char* account;
  bool ack;
};

struct BurstCase {
  const char* name;
  std::vector<std::string> bursts;
  std::vector<Expect> expected;
  int toDispatcher = 0;
  bool ack = true;
};

class IntakeBursts : public ::testing::TestWithParam<BurstCase> {};

TEST_P(IntakeBursts, EveryMessageOnceWithItsAck) {
  const BurstCase& c = GetParam();
  ReceivePath path;
  path.ack = c.ack;
  for (const auto& b : c.bursts) path.burst(test::Text(b));
  ASSERT_EQ(path.results.size(), c.expected.size());
  for (std::size_t i = 0; i < c.expected.size(); ++i) {
    SCOPED_TRACE(i);
    const IntakeResult& r = path.results[i];
    const Expect& x = c.expected[i];
    const auto kind = x.kind == 'L'   ? IntakeResult::Kind::LinkTest
                      : x.kind == 'E' ? IntakeResult::Kind::Event
                                      : IntakeResult::Kind::Ignored;
    EXPECT_EQ(r.kind, kind);
    EXPECT_EQ(r.sendAck, x.ack);
    EXPECT_EQ(r.event.has_value(), x.kind == 'E');
    if (r.event) {
      EXPECT_EQ(r.event->account, x.account);
      EXPECT_EQ(r.event->endedWithDc4, x.ack || !c.ack);
    }
  }
  EXPECT_EQ(path.toDispatcher, c.toDispatcher);
  EXPECT_FALSE(path.intake.hasHeld());
}

const std::string kStd = "5000 181234E13001005";
const std::string kStd2 = "5000 185678R40102003";
const std::string kExt = "6000 184321E88002015 001512345678901204503";
const std::string kLink = "1011           @    ";
const std::string kReply = std::string("\x05\x00\xD7\x10\x20\x33\x44", 7);

INSTANTIATE_TEST_SUITE_P(
    Bursts, IntakeBursts,
    ::testing::Values(
        BurstCase{"OneMessage", {kStd + kDc4}, {{'E', "1234", true}}},
        BurstCase{"TwoInOneBurst", {kStd + kDc4 + kStd2 + kDc4}, {{'E', "1234", true}, {'E', "5678", true}}},
        BurstCase{"ThreeKinds",
                  {kLink + kDc4 + kExt + kDc4 + kStd + kDc4},
                  {{'L', "", true}, {'E', "4321", true}, {'E', "1234", true}}},
        BurstCase{"LinkTestOnly", {kLink + kDc4}, {{'L', "", true}}},
        BurstCase{"AckOff", {kLink + kDc4 + kStd + kDc4}, {{'L', "", false}, {'E', "1234", false}}, 0, false},
        BurstCase{"SplitOverTwoReads", {kStd.substr(0, 9), kStd.substr(9) + kDc4}, {{'E', "1234", true}}},
        BurstCase{"SplitInHeaderRestBeginsLike101", {"5000 18", "1012E13001005" + kDc4}, {{'E', "1012", true}}},
        BurstCase{"SplitExtended", {kExt.substr(0, 30), kExt.substr(30) + kDc4}, {{'E', "4321", true}}},
        BurstCase{"SplitWithAnotherMessageAfter",
                  {kStd.substr(0, 12), kStd.substr(12) + kDc4 + kStd2 + kDc4},
                  {{'E', "1234", true}, {'E', "5678", true}}},
        BurstCase{"SecondMessageSplit",
                  {kStd + kDc4 + kStd2.substr(0, 5), kStd2.substr(5) + kDc4},
                  {{'E', "1234", true}, {'E', "5678", true}}},
        BurstCase{"SplitOnlyBeforeDc4", {kStd, kDc4}, {{'E', "1234", true}}},
        // The held part is not continued: it is shown without an ACK and
        // the reply goes on to the dispatcher.
        BurstCase{"HeldThenBinaryReply", {kStd.substr(0, 15), kReply}, {{'E', "1234", false}}, 1},
        BurstCase{
            "CompleteWithoutDc4ThenNewMessage", {kStd, kStd2 + kDc4}, {{'E', "1234", false}, {'E', "5678", true}}},
        BurstCase{"HeldLinkTestThenNewMessage", {kLink, kStd + kDc4}, {{'L', "", false}, {'E', "1234", true}}},
        BurstCase{"HeldThenTextWithoutDc4", {kStd.substr(0, 15), "01005"}, {{'E', "1234", false}}, 1},
        BurstCase{"LineBreaksBetweenMessages",
                  {kStd + kDc4 + "\r\n" + kStd2 + kDc4 + "\r\n"},
                  {{'E', "1234", true}, {'E', "5678", true}}},
        BurstCase{"NoiseAfterMessageNotHeld",
                  {kStd + kDc4 + "\x7f\x7f", kStd2 + kDc4},
                  {{'E', "1234", true}, {'E', "5678", true}}},
        BurstCase{"OtherTextBetweenIsIgnored",
                  {kStd + kDc4 + "ABC" + kDc4 + kStd2 + kDc4},
                  {{'E', "1234", true}, {'I', "", false}, {'E', "5678", true}}},
        BurstCase{"EmptyMessagesSkipped", {kStd + kDc4 + kDc4 + kDc4}, {{'E', "1234", true}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SurGardIntake, BadRadioIdGivesANoticeAndTheNextMessageIsStillProcessed) {
  SurGardIntake intake;
  const auto burst = test::Text("6000 184321E13002015 00A112345678901204503" + kDc4 + kStd + kDc4);
  const auto out = intake.feed(burst, kAt, true);
  ASSERT_EQ(out.size(), 2u);
  ASSERT_TRUE(out[0].event);
  EXPECT_EQ(out[0].event->tableUpdate.kind, TableUpdate::Kind::Malformed);
  EXPECT_TRUE(out[0].event->malformedNotice);
  EXPECT_FALSE(out[0].event->surLine.empty());
  EXPECT_TRUE(out[0].sendAck);
  ASSERT_TRUE(out[1].event);
  EXPECT_EQ(out[1].event->account, "1234");
  EXPECT_EQ(out[1].event->tableUpdate.kind, TableUpdate::Kind::ByAccount);
}

TEST(SurGardIntake, LongMessageIsTruncatedToTheBuffer) {
  SurGardIntake intake;
  const std::string longMsg = kStd + std::string(300, 'X');
  const auto out = intake.feed(test::Text(longMsg + kDc4 + kStd2 + kDc4), kAt, true);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].messageText, longMsg.substr(0, SurGardIntake::kMessageBuffer));
  EXPECT_TRUE(out[0].sendAck);
  EXPECT_EQ(out[1].event->account, "5678");
}

TEST(SurGardIntake, LongHeldMessageIsTruncatedWhenJoined) {
  SurGardIntake intake;
  const std::string a = kStd + std::string(190, 'X');
  EXPECT_TRUE(intake.feed(test::Text(a), kAt, true).empty());
  const auto rest = test::Text(std::string(50, 'Y') + kDc4);
  ASSERT_TRUE(intake.continuesHeld(rest));
  const auto out = intake.feed(rest, kAt, true);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].messageText.size(), SurGardIntake::kMessageBuffer);
  EXPECT_EQ(out[0].messageText, (a + std::string(50, 'Y')).substr(0, 200));
}

TEST(SurGardIntake, ContinuationMustBeTextUpToDc4) {
  SurGardIntake intake;
  intake.feed(test::Text(kStd.substr(0, 10)), kAt, true);
  ASSERT_TRUE(intake.hasHeld());
  EXPECT_TRUE(intake.continuesHeld(test::Text("34E13001005" + kDc4)));
  EXPECT_TRUE(intake.continuesHeld(test::Text(kDc4)));
  EXPECT_FALSE(intake.continuesHeld(test::Text("34E13001005")));
  EXPECT_FALSE(intake.continuesHeld(test::Hex("33 34 00 14")));
  EXPECT_FALSE(intake.continuesHeld(test::Hex("33 34 C3 14")));
  EXPECT_FALSE(intake.continuesHeld({}));
  SurGardIntake empty;
  EXPECT_FALSE(empty.continuesHeld(test::Text("34E13001005" + kDc4)));
}

TEST(SurGardIntake, FlushHeldDecodesWithoutAck) {
  SurGardIntake intake;
  intake.feed(test::Text("6000 184321E88002015 0015"), kAt, true);
  const auto out = intake.flushHeld(kAt);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_FALSE(out[0].sendAck);
  ASSERT_TRUE(out[0].event);
  EXPECT_FALSE(out[0].event->endedWithDc4);
  EXPECT_EQ(out[0].event->radioId, "0015");
  EXPECT_FALSE(intake.hasHeld());
  EXPECT_TRUE(intake.flushHeld(kAt).empty());
}

TEST(SurGardIntake, AHeldPartWithoutRestIsShownAfterAWholeTick) {
  SurGardIntake intake;
  EXPECT_TRUE(intake.onTick(kAt).empty());
  intake.feed(test::Text(kStd), kAt, true);
  EXPECT_TRUE(intake.onTick(kAt).empty());  // may have arrived just before the tick
  const auto out = intake.onTick(kAt);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_FALSE(out[0].sendAck);
  EXPECT_EQ(out[0].event->account, "1234");
  EXPECT_FALSE(intake.hasHeld());
  EXPECT_TRUE(intake.onTick(kAt).empty());
}

TEST(SurGardIntake, ANewHeldPartWaitsItsOwnTick) {
  SurGardIntake intake;
  intake.feed(test::Text(kStd.substr(0, 8)), kAt, true);
  intake.onTick(kAt);
  const auto first = intake.feed(test::Text(kStd.substr(8) + kDc4 + kStd2.substr(0, 8)), kAt, true);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_TRUE(intake.onTick(kAt).empty());
  EXPECT_EQ(intake.onTick(kAt).size(), 1u);
}

}  // namespace
}  // namespace orvalis
