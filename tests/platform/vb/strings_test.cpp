#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

TEST(Strings, MidLeftRight) {
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abc", 2), "bc");
  EXPECT_EQ(Mid("abc", 2, 10), "bc");
  EXPECT_EQ(Mid("abc", 4), "");
  EXPECT_EQ(Mid("abc", 10, 2), "");
  EXPECT_EQ(Mid("abc", 1, 0), "");
  EXPECT_EQ(error_of([] { Mid("abc", 0); }), kErrInvalidCall);
  EXPECT_EQ(error_of([] { Mid("abc", 1, -2); }), kErrInvalidCall);
  EXPECT_EQ(Left("abc", 2), "ab");
  EXPECT_EQ(Left("abc", 5), "abc");
  EXPECT_EQ(Left("abc", 0), "");
  EXPECT_EQ(error_of([] { Left("abc", -1); }), kErrInvalidCall);
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(Right("abc", 9), "abc");
  EXPECT_EQ(Right("abc", 0), "");
  EXPECT_EQ(error_of([] { Right("abc", -1); }), kErrInvalidCall);
}

TEST(Strings, InStr) {
  EXPECT_EQ(InStr("abcabc", "c"), 3);
  EXPECT_EQ(InStr(4, "abcabc", "c"), 6);
  EXPECT_EQ(InStr("abc", "x"), 0);
  EXPECT_EQ(InStr("abc", "bc"), 2);
  EXPECT_EQ(InStr("abc", "abcd"), 0);
  EXPECT_EQ(InStr(2, "abc", ""), 2);
  EXPECT_EQ(InStr(4, "abc", ""), 4);
  EXPECT_EQ(InStr(5, "abc", ""), 0);
  EXPECT_EQ(InStr(5, "abc", "a"), 0);
  EXPECT_EQ(InStr("", ""), 1);
  EXPECT_EQ(InStr("aBc", "b"), 0);  // binary comparison
  EXPECT_EQ(error_of([] { InStr(0, "abc", "a"); }), kErrInvalidCall);
}

TEST(Strings, TrimBlanksOnly) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(LTrim("  a "), "a ");
  EXPECT_EQ(RTrim("  a "), "  a");
  EXPECT_EQ(RTrim(""), "");
}

TEST(Strings, CaseOverWindows1252) {
  EXPECT_EQ(UCase("\xE0\xE8\xEC\xF2\xF9 \x9A\x9C\x9E\xFF abc \xDF \xF7 1!"),
            "\xC0\xC8\xCC\xD2\xD9 \x8A\x8C\x8E\x9F ABC \xDF \xF7 1!");
  EXPECT_EQ(LCase("\xC0\xC8\xCC\xD2\xD9 \x8A\x8C\x8E\x9F ABC \xD7 1!"),
            "\xE0\xE8\xEC\xF2\xF9 \x9A\x9C\x9E\xFF abc \xD7 1!");
  for (int b = 0; b < 256; ++b) {  // case changes never touch anything but letters
    const std::string c(1, static_cast<char>(b));
    EXPECT_EQ(LCase(UCase(LCase(c))), LCase(c)) << b;
  }
}

TEST(Strings, SpaceStringReplace) {
  EXPECT_EQ(Space(3), "   ");
  EXPECT_EQ(Space(0), "");
  EXPECT_EQ(error_of([] { Space(-1); }), kErrInvalidCall);
  EXPECT_EQ(String(3, 'x'), "xxx");
  EXPECT_EQ(String(2, '\xBF'), "\xBF\xBF");
  EXPECT_EQ(error_of([] { String(-1, 'x'); }), kErrInvalidCall);
  EXPECT_EQ(Replace("a.b.c", ".", ","), "a,b,c");
  EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Replace("abc", "b", ""), "ac");
  EXPECT_EQ(Replace("", "a", "b"), "");
  EXPECT_EQ(Replace("abab", "ab", "abab"), "abababab");
}

TEST(Strings, Str) {
  ScopedLocale loc(kItalian);  // Str ignores the locale
  EXPECT_EQ(Str(5), " 5");
  EXPECT_EQ(Str(-5), "-5");
  EXPECT_EQ(Str(0), " 0");
  EXPECT_EQ(Str(1.5), " 1.5");
  EXPECT_EQ(Str(-1234.25), "-1234.25");
  EXPECT_EQ(Str(0.5), " .5");  // no "0" before the point, as VB6's Str
  EXPECT_EQ(Str(-0.25), "-.25");
  EXPECT_EQ(Str(1e20), " 1E+20");
  EXPECT_EQ(Str(1e-5), " 1E-05");
  EXPECT_EQ(Str(123456789012.0), " 123456789012");
  EXPECT_EQ(Str(0.1 + 0.2), " .3");
}

}  // namespace
}  // namespace kyx::vb
