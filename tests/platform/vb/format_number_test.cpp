#include <cstdint>
#include <limits>

#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

struct Case {
  double value;
  const char* mask;
  const char* expected;
};

// Results of OLE Automation's VarFormat on Windows under an English locale.
TEST(FormatNumber, MatchesVarFormatUnderEnglishLocale) {
  ScopedLocale loc(kEnglish);
  const Case cases[] = {
      {1, "#", "1"},
      {0, "#", ""},
      {1, "##", "1"},
      {1, "#.#", "1."},
      {0, "#.#", "."},
      {1, "0", "1"},
      {0, "0", "0"},
      {1, "00", "01"},
      {1, "0.0", "1.0"},
      {0, "0.0", "0.0"},
      {1, "00\\c\\o\\p\\y", "01copy"},
      {1, "\"pos\";\"neg\"", "pos"},
      {0, "\"pos\";\"neg\"", "pos"},
      {-1, "\"pos\";\"neg\"", "neg"},
      {0, "\"pos\";\"neg\";\"zero\"", "zero"},
      {-1, "\"pos\";\"neg\";\"zero\"", "neg"},
      {1, "#00000000", "00000001"},
      {1, "000###", "000001"},
      {1, "#00##00#0", "00000001"},
      {1, "1#####0000", "10001"},
      {1, "##abcdefghijklmnopqrstuvwxyz", "1abcdefghijklmnopqrstuvwxyz"},
      {100000, "#,###,###,###", "100,000"},
      {1, "0,000,000,000", "0,000,000,001"},
      {123456789, "#,#.#", "123,456,789."},
      {123456789, "###, ###, ###", "123, 456, 789"},
      {1, "#;-#", "1"},
      {-1, "#;-#", "-1"},
      {1.23456789, "0#.0#0#0#0#0", "01.234567890"},
      {1.2, "0#.0#0#0#0#0", "01.200000000"},
      {9.87654321, "#0.#0#0#0#0#", "9.87654321"},
      {9.8, "#0.#0#0#0#0#", "9.80000000"},
      {0.00000008, "#0.#0#0#0#0#0", "0.0000000800"},
      {0.00010705, "#0.##########", "0.00010705"},
      {17, "#0", "17"},
      {4711, "#0", "4711"},
      {17, "#00", "17"},
      {100, "0##", "100"},
      {17, "#000", "017"},
      {17, "#0.00", "17.00"},
      {17, "#0000.00", "0017.00"},
      {17, "#.00", "17.00"},
      {1.7, "#.00", "1.70"},
      {.17, "#.00", ".17"},
      {17, "#3", "173"},
      {17, "#33", "1733"},
      {17, "#3.33", "173.33"},
      {17, "#3333.33", "173333.33"},
      {17, "#.33", "17.33"},
      {.17, "#.33", ".33"},
      {1.7, "0.0000E-000", "1.7000E000"},
      {1.7, "0.0000e-1", "1.7000e01"},
      {86.936849, "#0.000000000000e-000", "86.936849000000e000"},
      {1.7, "#0", "2"},
      {1.7, "#.33", "2.33"},
      {1.7, "#3", "23"},
      {1.73245, "0.0000E+000", "1.7325E+000"},
      {9.9999999, "#0.000000", "10.000000"},
      {1.7, "0.0000e+0#", "1.7000e+0"},
      {100.0001e+0, "0.0000E+0", "1.0000E+2"},
      {1000001, "0.0000e+1", "1.0000e+61"},
      {100.0001e+25, "0.0000e+0", "1.0000e+27"},
      {450.0001e+43, "#000.0000e+0", "4500.0010e+42"},
      {0.0001e-11, "##00.0000e-0", "1000.0000e-18"},
      {0.0317e-11, "0000.0000e-0", "3170.0000e-16"},
      {0.0021e-11, "00##.0000e-0", "2100.0000e-17"},
      {1.0001e-27, "##00.0000e-0", "1000.1000e-30"},
      {47.11, ".0000E+0", ".4711E+2"},
      {3.0401e-13, "#####.####e-0%", "30401.e-15%"},
      {1.57, "0.00", "1.57"},
      {-1.57, "0.00", "-1.57"},
      {-1.57, "#.##", "-1.57"},
      {-0.1, ".#", "-.1"},
      {0.099, "#.#", ".1"},
      {0.0999, "#.##", ".1"},
      {0.099, "#.##", ".1"},
      {0.0099, "#.##", ".01"},
      {0.0049, "#.##", "."},
      {0.0094, "#.##", ".01"},
      {0.00099, "#.##", "."},
      {0.0995, "#.##", ".1"},
      {8.0995, "#.##", "8.1"},
      {0.0994, "#.##", ".1"},
      {1.00, "#,##0.00", "1.00"},
      {0.0995, "#.###", ".1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Format(c.value, c.mask), c.expected) << c.value << " with \"" << c.mask << "\"";
  }
}

TEST(FormatNumber, ItalianSeparators) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Format(1234567.891, "#,##0.00"), "1.234.567,89");
  EXPECT_EQ(Format(0.5, "0.00"), "0,50");
  EXPECT_EQ(Format(0.5, "#.##"), ",5");
  EXPECT_EQ(Format(-1234.5, "#,##0.00"), "-1.234,50");
  EXPECT_EQ(Format(1234, "#,##0"), "1.234");
  EXPECT_EQ(Format(12, "000"), "012");
  EXPECT_EQ(Format(1234.5, "0.00E+00"), "1,23E+03");
}

TEST(FormatNumber, NegativeNumbers) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Format(-1, "000"), "-001");
  EXPECT_EQ(Format(-5, "0;(0)"), "(5)");
  EXPECT_EQ(Format(-5, "0;;\\Z\\e\\r\\o"), "-5");      // an empty section uses the first
  EXPECT_EQ(Format(0, "0;;\\Z\\e\\r\\o"), "Zero");
  EXPECT_EQ(Format(-5, "\"Saldo \"0"), "Saldo -5");  // the sign goes before the digits
  EXPECT_EQ(Format(-0.001, "0.00"), "-0,00");        // negative, though it rounds to zero
  EXPECT_EQ(Format(-0.0, "0.00"), "0,00");
  EXPECT_EQ(Format(int64_t{-42}, "0000"), "-0042");
}

TEST(FormatNumber, RoundsHalfAwayFromZeroOnFifteenDigits) {
  ScopedLocale loc(kEnglish);
  EXPECT_EQ(Format(2.5, "0"), "3");
  EXPECT_EQ(Format(3.5, "0"), "4");
  EXPECT_EQ(Format(-2.5, "0"), "-3");
  EXPECT_EQ(Format(2.145, "#.00"), "2.15");  // binary 2.14499999... shows as 2.145
  EXPECT_EQ(Format(1.005, "0.00"), "1.01");
  EXPECT_EQ(Format(0.125, "0.00"), "0.13");
  EXPECT_EQ(Format(999.995, "#,##0.00"), "1,000.00");
}

TEST(FormatNumber, ScalingAndPercent) {
  ScopedLocale loc(kEnglish);
  EXPECT_EQ(Format(1900000, "0,,"), "2");
  EXPECT_EQ(Format(1900000, "0,,.0"), "1.9");
  EXPECT_EQ(Format(1234567, "#,##0,"), "1,235");
  EXPECT_EQ(Format(0.256, "0%"), "26%");
  EXPECT_EQ(Format(0.256, "0.0%"), "25.6%");
  EXPECT_EQ(Format(1000, "0.00E+00"), "1.00E+03");
  EXPECT_EQ(Format(.001, "0.00E+00"), "1.00E-03");
  EXPECT_EQ(Format(0, "0.00E+00"), "0.00E+00");
  EXPECT_EQ(Format(9.996, "0.00E+00"), "1.00E+01");
}

TEST(FormatNumber, LiteralsAndPlaceholders) {
  ScopedLocale loc(kEnglish);
  EXPECT_EQ(Format(19, "\\####\\#"), "#19#");
  EXPECT_EQ(Format(19, "\"##\"###\"##\""), "##19##");
  EXPECT_EQ(Format(10, "$#"), "$10");
  EXPECT_EQ(Format(5551234, "(###) ###-####"), "() 555-1234");
  EXPECT_EQ(Format(12.5, ".00"), "12.50");  // digits with no placeholder still show
  EXPECT_EQ(Format(1234, "0 kg"), "1234 kg");
  EXPECT_EQ(Format(5, "0.0.0"), "5.0.0");  // a second "." is a literal
}

TEST(FormatNumber, WholeNumbersKeepEveryDigit) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Format(int64_t{1234567890123456789}, "#,##0"), "1.234.567.890.123.456.789");
  EXPECT_EQ(Format(std::numeric_limits<int64_t>::min(), "0"), "-9223372036854775808");
  EXPECT_EQ(Format(int64_t{1234567890123456789}, ""), "1234567890123456789");
  EXPECT_EQ(Format(7, "00"), "07");
  EXPECT_EQ(Format(1234567890123456789.0, "0"), "1234567890123460000");  // 15 digits of a Double
}

TEST(FormatNumber, EmptyMaskGivesTheGeneralForm) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Format(1234.5, ""), "1234,5");
  EXPECT_EQ(Format(-3.0, ""), "-3");
  EXPECT_EQ(Format(0.0, ""), "0");
  EXPECT_EQ(Format(0.5, ""), "0,5");
  EXPECT_EQ(Format(0.1 + 0.2, ""), "0,3");
  EXPECT_EQ(Format(1e15, ""), "1E+15");
  EXPECT_EQ(Format(123456789012345.0, ""), "123456789012345");
  EXPECT_EQ(Format(0.0001, ""), "0,0001");
  EXPECT_EQ(Format(0.00001, ""), "1E-05");
  EXPECT_EQ(Format(-1.5e-7, ""), "-1,5E-07");
  EXPECT_EQ(Format(1e100, ""), "1E+100");
  EXPECT_EQ(Format(2.0 / 3.0, ""), "0,666666666666667");
}

TEST(FormatNumber, NamedFormats) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(Format(1234.5, "General Number"), "1234,5");
  EXPECT_EQ(Format(1234.5, "Fixed"), "1234,50");
  EXPECT_EQ(Format(1234.5, "Standard"), "1.234,50");
  EXPECT_EQ(Format(0.125, "Percent"), "12,50%");
  EXPECT_EQ(Format(1234.5, "Scientific"), "1,23E+03");
  EXPECT_EQ(Format(-1234.5, "Currency"), "-\x80 1.234,50");
  EXPECT_EQ(Format(1234.5, "currency"), "\x80 1.234,50");
  EXPECT_EQ(Format(1, "Yes/No"), "S\xEC");
  EXPECT_EQ(Format(0, "True/False"), "Falso");
  EXPECT_EQ(Format(36526.5, "General Date"), "01/01/2000 12:00:00");
}

TEST(FormatNumber, DateMaskReadsTheNumberAsADate) {
  EXPECT_EQ(Format(36526, "dd/mm/yyyy"), "01/01/2000");
  EXPECT_EQ(Format(0.75, "hh:nn"), "18:00");
  EXPECT_EQ(error_of([] { Format(1e9, "dd/mm/yyyy"); }), kErrOverflow);
}

TEST(FormatNumber, NonFiniteValues) {
  EXPECT_EQ(Format(std::numeric_limits<double>::infinity(), "0.00"), "1.#INF");
  EXPECT_EQ(Format(-std::numeric_limits<double>::infinity(), ""), "-1.#INF");
}

}  // namespace
}  // namespace kyx::vb
