#include <cmath>
#include <limits>

#include "platform/vb/try_val.h"
#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

TEST(Val, LeadingNumberWithADecimalPoint) {
  ScopedLocale loc(kItalian);  // Val ignores the locale
  EXPECT_EQ(Val("  1615 198th Street N.E."), 1615198);
  EXPECT_EQ(Val("2457"), 2457);
  EXPECT_EQ(Val(" 2 45 7"), 2457);
  EXPECT_EQ(Val("24 and 57"), 24);
  EXPECT_EQ(Val("1.5"), 1.5);
  EXPECT_EQ(Val("1,5"), 1);
  EXPECT_EQ(Val(".5"), 0.5);
  EXPECT_EQ(Val("1.2.3"), 1.2);
  EXPECT_EQ(Val("-3.2e2"), -320);
  EXPECT_EQ(Val("1E+3x"), 1000);
  EXPECT_EQ(Val("1d2"), 100);
  EXPECT_EQ(Val("1e"), 1);
  EXPECT_EQ(Val("- 5"), -5);
  EXPECT_EQ(Val("+7"), 7);
  EXPECT_EQ(Val("\t7\n8"), 78);
  EXPECT_EQ(Val(""), 0);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val("--5"), 0);
  EXPECT_EQ(Val("."), 0);
  EXPECT_FALSE(std::signbit(Val("-0")));
}

TEST(Val, HexAndOctal) {
  EXPECT_EQ(Val("&HFF"), 255);
  EXPECT_EQ(Val("&hff"), 255);
  EXPECT_EQ(Val("&HFFFF"), -1);  // four hex digits make an Integer
  EXPECT_EQ(Val("&H8000"), -32768);
  EXPECT_EQ(Val("&H10000"), 65536);
  EXPECT_EQ(Val("&HFFFFFFFF"), -1);
  EXPECT_EQ(Val("&H7FFFFFFF"), 2147483647);
  EXPECT_EQ(Val("&O17"), 15);
  EXPECT_EQ(Val("&17"), 15);
  EXPECT_EQ(Val("&H1Gx"), 1);
  EXPECT_EQ(Val("&H"), 0);
  EXPECT_EQ(Val("&"), 0);
  EXPECT_EQ(error_of([] { Val("&H100000000"); }), kErrOverflow);
}

TEST(Val, Overflow) {
  EXPECT_EQ(error_of([] { Val("1e400"); }), kErrOverflow);
  EXPECT_EQ(Val("1e-400"), 0);
  // The form for files and boxes: nothing instead of the error, the value otherwise.
  EXPECT_EQ(TryVal("1E999"), std::nullopt);
  EXPECT_EQ(TryVal("-1d400x"), std::nullopt);
  EXPECT_EQ(TryVal("12abc"), 12);
  EXPECT_EQ(TryVal(""), 0);
}

TEST(IsNumeric, ItalianLocale) {
  ScopedLocale loc(kItalian);
  for (const char* text : {"12", " 12 ", "-12", "12-", "+1.234,56", "1.234.567", ",5", "5,", "1e3",
                           "1,5E-3", "&HFF", "&o17", "- 5", "5 -", "0", "1.5", "007"}) {
    EXPECT_TRUE(IsNumeric(text)) << text;
  }
  for (const char* text : {"", " ", "-", ",", "1,2,3", "12a", "a12", "--1", "-1-", "1e", "&H", "&HZZ",
                           "1 2", "(5)", ".5x", "\t5", "&H100000000", "1e+"}) {
    EXPECT_FALSE(IsNumeric(text)) << text;
  }
}

TEST(IsNumeric, EnglishLocale) {
  ScopedLocale loc(kEnglish);
  EXPECT_TRUE(IsNumeric("1,234.5"));
  EXPECT_TRUE(IsNumeric(".5"));
  EXPECT_FALSE(IsNumeric("1.2.3"));
}

TEST(CDbl, FollowsTheLocale) {
  {
    ScopedLocale loc(kItalian);
    EXPECT_EQ(CDbl("1.234,5"), 1234.5);
    EXPECT_EQ(CDbl("1.5"), 15);  // "." groups thousands
    EXPECT_EQ(CDbl("-2,5"), -2.5);
    EXPECT_EQ(CDbl("2,5-"), -2.5);
    EXPECT_EQ(CDbl(" 3 "), 3);
    EXPECT_EQ(CDbl("1,5e2"), 150);
    EXPECT_EQ(CDbl("&HFFFF"), -1);
  }
  {
    ScopedLocale loc(kEnglish);
    EXPECT_EQ(CDbl("1,234.5"), 1234.5);
    EXPECT_EQ(CDbl("1.5"), 1.5);
  }
}

TEST(CDbl, Errors) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(error_of([] { CDbl("abc"); }), kErrTypeMismatch);
  EXPECT_EQ(error_of([] { CDbl(""); }), kErrTypeMismatch);
  EXPECT_EQ(error_of([] { CDbl("1,2,3"); }), kErrTypeMismatch);
  EXPECT_EQ(error_of([] { CDbl("1e400"); }), kErrOverflow);
  try {
    CDbl("x");
    FAIL();
  } catch (const VbError& e) {
    EXPECT_STREQ(e.what(), "Type mismatch");
  }
}

TEST(Rounding, HalfToEven) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
  EXPECT_EQ(RoundHalfEven(0.125, 2), 0.12);
  EXPECT_EQ(RoundHalfEven(0.375, 2), 0.38);
  EXPECT_EQ(RoundHalfEven(1.0625, 3), 1.062);
  EXPECT_EQ(RoundHalfEven(-1.0625, 3), -1.062);
  EXPECT_EQ(RoundHalfEven(1234.5678, 2), 1234.57);
  EXPECT_EQ(RoundHalfEven(1e20, 2), 1e20);
  EXPECT_FALSE(std::signbit(RoundHalfEven(-0.4)));
  EXPECT_EQ(error_of([] { RoundHalfEven(1.5, -1); }), kErrInvalidCall);
}

TEST(Rounding, WholeNumberConversions) {
  EXPECT_EQ(CInt(2.5), 2);
  EXPECT_EQ(CInt(3.5), 4);
  EXPECT_EQ(CInt(-2.5), -2);
  EXPECT_EQ(CInt(32767.4), 32767);
  EXPECT_EQ(CInt(-32768.5), -32768);
  EXPECT_EQ(error_of([] { CInt(32767.5); }), kErrOverflow);
  EXPECT_EQ(error_of([] { CInt(-32768.6); }), kErrOverflow);
  EXPECT_EQ(error_of([] { CInt(std::nan("")); }), kErrOverflow);
  EXPECT_EQ(CLng(2147483647.4), 2147483647);
  EXPECT_EQ(CLng(-2147483648.5), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(error_of([] { CLng(2147483647.5); }), kErrOverflow);
  EXPECT_EQ(error_of([] { CLng(1e300); }), kErrOverflow);
  EXPECT_EQ(CByte(254.5), 254);
  EXPECT_EQ(CByte(-0.5), 0);
  EXPECT_EQ(error_of([] { CByte(255.5); }), kErrOverflow);
  EXPECT_EQ(error_of([] { CByte(-0.6); }), kErrOverflow);
  try {
    CInt(1e6);
    FAIL();
  } catch (const VbError& e) {
    EXPECT_EQ(e.number(), 6);
    EXPECT_STREQ(e.what(), "Overflow");
  }
}

TEST(Rounding, IntAndFix) {
  EXPECT_EQ(Int(2.7), 2);
  EXPECT_EQ(Int(-2.5), -3);
  EXPECT_EQ(Fix(-2.5), -2);
  EXPECT_EQ(Fix(2.7), 2);
  EXPECT_FALSE(std::signbit(Fix(-0.5)));
}

}  // namespace
}  // namespace kyx::vb
