#include <string>

#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

TEST(Like, Patterns) {
  struct Case {
    const char* text;
    const char* pattern;
    bool expected;
  } cases[] = {
      {"aBBBa", "a*a", true},       {"F", "[A-Z]", true},         {"F", "[!A-Z]", false},
      {"a2a", "a#a", true},         {"aM5b", "a[L-P]#[!c-e]", true}, {"BAT123khg", "B?T*", true},
      {"CAT123khg", "B?T*", false}, {"ab", "a[]b", true},         {"a*b", "a[*]b", true},
      {"axb", "a[*]b", false},      {"a#", "a[#]", true},         {"a1", "a[#]", false},
      {"a?", "a[?]", true},         {"ab", "a[?]", false},        {"a[", "a[[]", true},
      {"a!", "a[!]", true},         {"ab", "a[!]", false},        {"a-", "a[-x]", true},
      {"a-", "a[x-]", true},        {"a-", "a[!x]", true},        {"", "*", true},
      {"", "", true},               {"x", "", false},             {"abc", "a", false},
      {"a", "abc", false},          {"A", "a", false},            {"abc", "*c", true},
      {"abc", "*b", false},         {"abcbc", "*bc", true},       {"abc", "a**c", true},
      {"a]", "a]", true},           {"!", "!", true},             {"1.5", "#.#", true},
      {"\xE8", "[\xE0-\xF9]", true},  // è in à-ù, byte-wise
      {"e", "[\xE0-\xF9]", false},
      {"AB12", "[A-Z][A-Z]##", true}, {"AB1", "[A-Z][A-Z]##", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Like(c.text, c.pattern), c.expected) << '"' << c.text << "\" Like \"" << c.pattern << '"';
  }
}

TEST(Like, MalformedPatternRaises93) {
  EXPECT_EQ(error_of([] { Like("a", "[a"); }), 93);
  EXPECT_EQ(error_of([] { Like("zzz", "a["); }), 93);  // even when the text fails earlier
  EXPECT_EQ(error_of([] { Like("a", "[z-a]"); }), 93);
  EXPECT_EQ(error_of([] { Like("a", "[a-z]"); }), 0);
}

TEST(Like, ManyStarsStayFast) {
  const std::string text(20000, 'a');
  EXPECT_FALSE(Like(text, "*a*a*a*a*a*b"));
  EXPECT_TRUE(Like(text + "b", "*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace kyx::vb
