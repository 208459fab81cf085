// The masks, patterns and conversions the system's code uses, with the results it relies on.
#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

TEST(SystemMasks, Numbers) {
  ScopedLocale loc(kItalian);
  struct Case {
    double value;
    const char* mask;
    const char* expected;
  } cases[] = {
      {7, "000", "007"},
      {12345, "000", "12345"},  // more digits than the mask: all of them
      {2015, "0000", "2015"},
      {42, "000000", "000042"},
      {3, "0", "3"},
      {0, "#0", "0"},
      {0.25, "0.000000000000", "0,250000000000"},
      {12.5, "0000.00", "0012,50"},
      {255, "00000000", "00000255"},
      {1, "\\D\\i\\m\\ \\L000", "Dim L001"},
      {12, "\\P\\a\\r\\ \\L000", "Par L012"},
      {5, "\\k000", "k005"},
      {5, "\\k\\_000\\,", "k_005,"},
      {9, "\\c000", "c009"},
      {3, "\\C\\-000", "C-003"},
      {17, "\\h00000", "h00017"},
      {1, "\\s\\u\\m\\(\\V\\_000\\_\\0\\1\\)", "sum(V_001_01)"},
      {4, "\\_00\\+", "_04+"},
      {7, "\\ 0", " 7"},
      {1234567, "\\ ###,###,##0\\ ", " 1.234.567 "},
      {0, "\\ ###,###,##0\\ ", " 0 "},
      {1234.5678, "\\ ###,###,##0.000\\ ", " 1.234,568 "},
      {0.0421, "\\ ###,###,##0.000\\ ", " 0,042 "},
      {12.5, "#0.0#####", "12,5"},
      {12.1234567, "#0.0#####", "12,123457"},
      {12, "#0.0#####", "12,0"},
      {1234.5, "#0.000", "1234,500"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Format(c.value, c.mask), c.expected) << c.value << " with \"" << c.mask << "\"";
  }
}

TEST(SystemMasks, FilterValueWithADecimalPoint) {
  // Replace(Format(Val(Replace(t, ",", ".")), "#0.000"), ",", "."): a typed filter value.
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Replace(Format(Val(Replace("12,5", ",", ".")), "#0.000"), ",", "."), "12.500");
}

TEST(SystemMasks, Dates) {
  DateTime dt;
  dt.year = 2015, dt.month = 3, dt.day = 7, dt.hour = 14, dt.minute = 5, dt.second = 9;
  EXPECT_EQ(FormatDate(dt, "yyyymmddhhnnss"), "20150307140509");
  EXPECT_EQ(FormatDate(dt, "dd/mm/yyyy hh:nn:ss"), "07/03/2015 14:05:09");
  EXPECT_EQ(FormatDate(dt, "dd\\/mm\\/yyyy\\ hh\\:nn"), "07/03/2015 14:05");
  EXPECT_EQ(FormatDate(dt, "dd-mm-yyyy"), "07-03-2015");
  EXPECT_EQ(FormatDate(dt, "mm-yyyy"), "03-2015");
  EXPECT_EQ(FormatDate(dt, "yyyymmdd"), "20150307");
  EXPECT_EQ(FormatDate(dt, "yyyymm"), "201503");
  EXPECT_EQ(FormatDate(dt, "mmm yyyy"), "mar 2015");
  EXPECT_EQ(FormatDate(dt, "mmmm"), "marzo");
  DateTime typed;
  ASSERT_TRUE(ParseDate("01-" + std::string("03-2015"), typed));  // a typed month-year
  EXPECT_EQ(FormatDate(typed, "yyyymm"), "201503");
}

TEST(SystemMasks, LikePatterns) {
  struct Case {
    const char* text;
    const char* pattern;
    bool expected;
  } cases[] = {
      {"A001K002L003xyz", "A###[GKI]###L###*", true},
      {"A001X002L003", "A###[GKI]###L###*", false},
      {"L001A002G003", "L###A###[GKI]###*", true},
      {"#L2(!!!)abc", "[#][LR][1-9]([!][!][!])*", true},
      {"#L0(!!!)", "[#][LR][1-9]([!][!][!])*", false},
      {"#C1(!!!)", "[#][C][1-9]([!][!][!])*", true},
      {"#DR(123)", "[#]D[RDE](###)", true},
      {"#DX(123)", "[#]D[RDE](###)", false},
      {"#MID(3,2)#", "[#][mM][iI][dD](*,*)[#]", true},
      {"#key#", "[#][kK][eE][yY][#]", true},
      {"SUM(V_001)", "SUM(*)", true},
      {"L1K002", "L#K###", true},
      {"L1K02", "L#K###", false},
      {"K_123", "K_###", true},
      {"DD-MM-YYYY", "DD?MM?YYYY", true},
      {"DD/MM/YY", "DD?MM?YYYY", false},
      {"", "*", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Like(c.text, c.pattern), c.expected) << '"' << c.text << "\" Like \"" << c.pattern << '"';
  }
}

TEST(SystemMasks, Conversions) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Val(Mid("A001K002L003", 6, 3)), 2);
  EXPECT_EQ(Val("00042"), 42);
  EXPECT_EQ(CLng(Val("3")), 3);
  EXPECT_EQ(CLng(100 / 7.0 + 1), 15);
  EXPECT_EQ(CLng(2.5), 2);  // half to even
  EXPECT_EQ(Space(CLng(100 / 8.0 + 1)).size(), 14u);  // 13.5 -> 14
  EXPECT_TRUE(IsNumeric("07"));
  EXPECT_FALSE(IsNumeric("0a"));
}

}  // namespace
}  // namespace kyx::vb
