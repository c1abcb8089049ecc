#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "events/KeywordToggles.h"

namespace orvalis {
namespace {

std::optional<KeywordEffect> Type(KeywordToggles& k, std::string_view text) {
  std::optional<KeywordEffect> last;
  for (char c : text) last = k.feed(static_cast<unsigned char>(c));
  return last;
}

TEST(KeywordToggles, TwentyFourDistinctThreeCharacterKeywords) {
  const auto table = KeywordToggles::Table();
  ASSERT_EQ(table.size(), 24u);
  std::set<std::string_view> sequences;
  std::set<KeywordEffect> effects;
  for (const auto& k : table) {
    EXPECT_EQ(k.sequence.size(), 3u);
    for (char c : k.sequence) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << k.sequence;
    sequences.insert(k.sequence);
    effects.insert(k.effect);
  }
  EXPECT_EQ(sequences.size(), 24u);
  EXPECT_EQ(effects.size(), 24u);
}

TEST(KeywordToggles, EachKeywordFiresOnItsLastCharacterAfterAnyText) {
  for (const auto& k : KeywordToggles::Table()) {
    KeywordToggles t;
    EXPECT_FALSE(Type(t, "zq"));
    EXPECT_FALSE(Type(t, k.sequence.substr(0, 2)));
    const auto hit = t.feed(static_cast<unsigned char>(k.sequence[2]));
    ASSERT_TRUE(hit) << k.sequence;
    EXPECT_EQ(*hit, k.effect);
  }
}

TEST(KeywordToggles, ComparesCaseAndTheLastThreeCharactersOnly) {
  KeywordToggles t;
  EXPECT_EQ(Type(t, "eec1"), KeywordEffect::EchoOn);  // the pair slides on
  EXPECT_EQ(Type(t, "ec0"), KeywordEffect::EchoOff);
  EXPECT_FALSE(Type(t, "EC1"));
  EXPECT_FALSE(Type(t, "ecx1"));
  EXPECT_EQ(Type(t, "ec1ec0"), KeywordEffect::EchoOff);
  // A character outside the table's alphabet breaks a sequence.
  t.feed(U'ç');
  EXPECT_FALSE(t.feed(U'1'));
}

}  // namespace
}  // namespace orvalis
