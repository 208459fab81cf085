#include "platform/text/cp1252.h"

#include <gtest/gtest.h>

namespace kyx::text {
namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = to_utf8(all);
  EXPECT_TRUE(fits_cp1252(utf8));
  EXPECT_EQ(from_utf8(utf8), all);
}

TEST(Cp1252, KnownCharacters) {
  struct Case {
    std::string cp1252, utf8;
  } cases[] = {
      {"abc", "abc"},
      {"\x80", "\xE2\x82\xAC"},          // euro sign
      {"\xBF", "\xC2\xBF"},              // the filler "¿"
      {"integrit\xE0", "integrit\xC3\xA0"},  // à
      {"\x93x\x94", "\xE2\x80\x9Cx\xE2\x80\x9D"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(to_utf8(c.cp1252), c.utf8);
    EXPECT_EQ(from_utf8(c.utf8), c.cp1252);
  }
}

TEST(Cp1252, UnmappableAndMalformedBecomeReplacement) {
  EXPECT_EQ(from_utf8("a\xE4\xB8\xAD" "b"), "a?b");  // a CJK character
  EXPECT_EQ(from_utf8("a\xC3"), "a?");              // truncated sequence
  EXPECT_EQ(from_utf8("\xFF\xFEz", '#'), "##z");
  EXPECT_EQ(from_utf8("\xC0\xAF"), "??");           // overlong encoding
  EXPECT_FALSE(fits_cp1252("\xE4\xB8\xAD"));
}

TEST(Cp1252, FixedWidthFields) {
  EXPECT_EQ(fixed("abc", 5), "abc  ");
  EXPECT_EQ(fixed("abcdef", 3), "abc");
  EXPECT_EQ(fixed("", 2, '^'), "^^");
  EXPECT_EQ(fixed_right("12", 5, '0'), "00012");
  EXPECT_EQ(fixed_right("123456", 4), "3456");
  EXPECT_EQ(rtrim_blanks("ab  "), "ab");
  EXPECT_EQ(rtrim_blanks("   "), "");
  EXPECT_EQ(trim_blanks("  a b  "), "a b");
  EXPECT_EQ(trim_blanks("\tx "), "\tx");
}

}  // namespace
}  // namespace kyx::text

namespace kyx::text {
namespace {

TEST(Cp1252, LetterCaseOfTheCodePage) {
  struct Case {
    char lower, upper;
  } pairs[] = {{'a', 'A'}, {'z', 'Z'}, {'\xE0', '\xC0'}, {'\xFE', '\xDE'},
               {'\x9A', '\x8A'}, {'\x9C', '\x8C'}, {'\x9E', '\x8E'}, {'\xFF', '\x9F'}};
  for (const auto& c : pairs) {
    EXPECT_EQ(to_upper(c.lower), c.upper);
    EXPECT_EQ(to_lower(c.upper), c.lower);
  }
  // No case: digits, the multiplication and division signs, sharp s, the filler.
  for (char c : {'1', '\xD7', '\xF7', '\xDF', '\xBF'}) {
    EXPECT_EQ(to_upper(c), c);
    EXPECT_EQ(to_lower(c), c);
  }
  EXPECT_TRUE(equal_ignoring_case("Citt\xE0", "CITT\xC0"));
  EXPECT_FALSE(equal_ignoring_case("Citta", "Citt\xE0"));
  EXPECT_FALSE(equal_ignoring_case("ab", "abc"));
}

}  // namespace
}  // namespace kyx::text
