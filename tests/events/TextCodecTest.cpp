#include <gtest/gtest.h>

#include "events/TextCodec.h"
#include "support/Hex.h"

namespace orvalis {
namespace {

TEST(TextCodec, Cp1252HighBytesAndLatin1) {
  EXPECT_EQ(TextCodec::Cp1252ToUtf8(test::Hex("E9 E7 E3 BA C1 80 96 9C 9F 81 A0 FF 41")), "éçãºÁ€–œŸ\u0081\u00A0ÿA");
}

TEST(TextCodec, Utf16RoundTripIncludingSurrogatePairs) {
  const std::string text = "Ação – €😀 fim";
  const auto u16 = TextCodec::Utf8ToUtf16(text);
  ASSERT_TRUE(u16);
  EXPECT_EQ(*u16, u"Ação – €😀 fim");
  EXPECT_EQ(u16->size(), 14u);  // the emoji takes two units
  EXPECT_EQ(TextCodec::Utf16ToUtf8(*u16), text);
}

TEST(TextCodec, RejectsMalformedUtf8) {
  for (const char* hex :
       {"C0 80", "80", "C3", "E2 82", "ED A0 80", "F4 90 80 80", "F8 88 80 80 80", "41 FF 41", "E2 28 A1"}) {
    const auto b = test::Hex(hex);
    const std::string s(b.begin(), b.end());
    EXPECT_FALSE(TextCodec::Utf8ToUtf16(s)) << hex;
    EXPECT_TRUE(TextCodec::FindInvalidUtf8(s)) << hex;
  }
  EXPECT_EQ(TextCodec::FindInvalidUtf8("ab\xC3"), 2u);
  EXPECT_FALSE(TextCodec::FindInvalidUtf8("só válido"));
}

TEST(TextCodec, RejectsUnpairedSurrogates) {
  EXPECT_FALSE(TextCodec::Utf16ToUtf8(std::u16string{u'a', char16_t(0xD83D)}));
  EXPECT_FALSE(TextCodec::Utf16ToUtf8(std::u16string{char16_t(0xDE00), u'a'}));
  EXPECT_FALSE(TextCodec::Utf16ToUtf8(std::u16string{char16_t(0xD83D), u'a'}));
}

}  // namespace
}  // namespace orvalis
