#include "platform/data/collation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/data/value.h"

namespace kyx::data {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

std::string Utf8(const std::string& cp1252) {
  std::string out;
  Cp1252ToUtf8(cp1252, &out);
  return out;
}

TEST(JetCollation, PlainTextsIgnoreCaseAndTrailingBlanks) {
  EXPECT_EQ(JetCompareUtf8("abc", "ABC  "), 0);
  EXPECT_LT(JetCompareUtf8("Ab", "aC"), 0);
  EXPECT_LT(JetCompareUtf8("ab", "abc"), 0);
  EXPECT_GT(JetCompareUtf8("abc ", "AB"), 0);
  EXPECT_EQ(JetCompareUtf8("", "   "), 0);
}

// The plain-text shortcut hands over to the full comparison at the first accented letter: what
// came before it and the accent rules after it must both still count.
TEST(JetCollation, AnAccentAfterAPlainStartComparesAsInTheFullOrder) {
  EXPECT_GT(JetCompareUtf8(Utf8("ab\xE9"), "ABE"), 0);        // é after e
  EXPECT_LT(JetCompareUtf8(Utf8("ab\xE9x"), "abez"), 0);      // the plain letters decide first
  EXPECT_LT(JetCompareUtf8("ab", Utf8("ab\xE9")), 0);
  EXPECT_GT(JetCompareUtf8(Utf8("b\xE9"), Utf8("a\xE9")), 0);  // decided before the accent
  EXPECT_EQ(JetCompareUtf8(Utf8("ab\xC9 "), Utf8("AB\xE9")), 0);  // É equals é
}

TEST(JetCollation, TheUtf8AndWindows1252ComparisonsAgree) {
  const std::vector<std::string> texts = {"", " ", "a", "A", "ab", "AB ", "abc", "ab\xE9", "AB\xC9", "abe", "abf",
                                          "ab\xE9z", "abez", "\xE0", "a\xE0", "Z", "z ", "\x80", "a\x80", "ab\xE9 "};
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      EXPECT_EQ(Sign(JetCompare(a, b)), Sign(JetCompareUtf8(Utf8(a), Utf8(b)))) << a << " / " << b;
      EXPECT_EQ(Sign(JetCompare(a, b)), -Sign(JetCompare(b, a))) << a << " / " << b;
    }
  }
}

// Long equal heads are passed over eight bytes at a time: a difference of case, an accent or a
// length anywhere after them still decides as the full comparison does.
TEST(JetCollation, LongEqualHeadsDecideAsTheFullOrder) {
  const std::string head = "ART-000000";
  std::vector<std::string> texts;
  for (const char* tail : {"", "1", "12", "1234567", "12345678", "123456789", "a", "A", "\xE9", "\xC9",
                                  "e", "ab\xE9", "abe", " ", "1 ", "12345678  "})
    for (size_t cut : {size_t{0}, size_t{3}, size_t{8}, head.size()}) texts.push_back(head.substr(0, cut) + tail);
  texts.push_back("art-000000A");
  texts.push_back("ART-00000\xE9");
  for (const std::string& a : texts) {
    for (const std::string& b : texts) {
      const int expected = Sign(JetCompare(a, b));
      EXPECT_EQ(Sign(JetCompareUtf8(Utf8(a), Utf8(b))), expected) << a << " / " << b;
      EXPECT_EQ(Sign(JetCompare(b, a)), -expected) << a << " / " << b;
    }
  }
  EXPECT_EQ(JetCompareUtf8("ART-000000123", "art-000000123   "), 0);
  EXPECT_LT(JetCompareUtf8("ART-000000123", "ART-000000124"), 0);
  EXPECT_LT(JetCompareUtf8("ART-00000012a", "ART-00000012B"), 0);
  EXPECT_GT(JetCompareUtf8(Utf8("ART-0000001\xE9"), "ART-0000001E"), 0);
  EXPECT_EQ(JetCompareUtf8(Utf8("ART-0000001\xC9"), Utf8("art-0000001\xE9 ")), 0);
  EXPECT_LT(JetCompareUtf8("ART-00000012", "ART-000000123"), 0);
}

TEST(JetLikeTest, StarsPercentsAndBracketedLiterals) {
  struct Case {
    const char* text;
    const char* pattern;
    bool match;
  } cases[] = {
      {"Rossi Mario", "*ROSSI*", true},   {"Rossi", "ross%", true},
      {"Rossi  ", "rossi", true},          {"Bianchi", "*ROSSI*", false},
      {"a?b", "*?*", true},                {"ab", "a?b", false},  // "?" is an ordinary character
      {"5*3 cm", "*5[*]3*", true},         {"5x3", "*5[*]3*", false},
      {"100% lana", "*0[%] l*", true},     {"100 lana", "*0[%] l*", false},
      {"[x] y", "*[[]x]*", true},          {"[ab]", "[ab]", true},  // only "[c]" is special
      {"x*", "*[*]", true},                {"x", "*[*]", false},
  };
  for (const Case& c : cases) EXPECT_EQ(JetLike(c.text, c.pattern), c.match) << c.text << " / " << c.pattern;
}

}  // namespace
}  // namespace kyx::data
