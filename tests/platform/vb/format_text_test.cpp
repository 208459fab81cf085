#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

// VarFormat's results on Windows for the text "testing".
TEST(FormatText, TextMasksAsVarFormat) {
  struct Case {
    const char* mask;
    const char* expected;
  } cases[] = {
      {"", "testing"},           {"@", "testing"},           {"&", "testing"},
      {"\\x@\\x@", "xtxesting"}, {"\\x&\\x&", "xtxesting"}, {"@\\x", "txesting"},
      {"@@@@@@@@", " testing"},  {"@\\x@@@@@@@", " xtesting"}, {"&&&&&&&&", "testing"},
      {"!&&&&&&&", "testing"},   {"&&&&&&&!", "testing"},    {">&&", "TESTING"},
      {"<&&", "testing"},        {"<&>&", "testing"},
  };
  for (const auto& c : cases) EXPECT_EQ(Format("testing", c.mask), c.expected) << c.mask;
}

TEST(FormatText, CaseAndPadding) {
  EXPECT_EQ(Format("\xE0" "bc", ">"), "\xC0" "BC");  // àbc -> ÀBC
  EXPECT_EQ(Format("ABC", "<"), "abc");
  EXPECT_EQ(Format("Abc", "@@@@@@"), "   Abc");
  EXPECT_EQ(Format("42", "@@@@"), "  42");
  EXPECT_EQ(Format("", "@;\"vuoto\""), "vuoto");
  EXPECT_EQ(Format("x", "@;\"vuoto\""), "x");
  EXPECT_EQ(Format(42, "@@@@"), "  42");  // a number with a text mask is shown as text
}

TEST(FormatText, NumericTextIsFormattedAsANumber) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Format("12,5", "0.00"), "12,50");
  EXPECT_EQ(Format(" 1.234,5 ", "#,##0.00"), "1.234,50");
  EXPECT_EQ(Format("-3", "000"), "-003");
  EXPECT_EQ(Format("1.234,50", ""), "1234,5");
  EXPECT_EQ(Format("&HFF", "0"), "255");
}

TEST(FormatText, OtherTextIsReturnedUnchanged) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Format("abc", "0.00"), "abc");
  EXPECT_EQ(Format("", "0.00"), "");
  EXPECT_EQ(Format("abc", ""), "abc");
  EXPECT_EQ(Format("12a", "#,##0"), "12a");
  EXPECT_EQ(Format("1e400", "0"), "1e400");  // numeric, but no Double holds it
}

TEST(FormatText, DateTextWithADateMask) {
  EXPECT_EQ(Format("25/12/2021", "yyyy-mm-dd"), "2021-12-25");
  EXPECT_EQ(Format("25/12/2021 9:05", "hh:nn"), "09:05");
  EXPECT_EQ(Format("xyz", "dd/mm/yyyy"), "xyz");
  EXPECT_EQ(Format("36526", "dd/mm/yyyy"), "01/01/2000");  // a number read as a day number
}

}  // namespace
}  // namespace kyx::vb
