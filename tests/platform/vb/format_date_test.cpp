#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

DateTime make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  DateTime dt;
  dt.year = y, dt.month = mo, dt.day = d, dt.hour = h, dt.minute = mi, dt.second = s;
  return dt;
}

TEST(FormatDate, Masks) {
  const DateTime xmas = make(2021, 12, 25, 9, 5, 7);  // a Saturday
  EXPECT_EQ(FormatDate(xmas, "dd/mm/yyyy"), "25/12/2021");
  EXPECT_EQ(FormatDate(xmas, "d/m/yy"), "25/12/21");
  EXPECT_EQ(FormatDate(make(2021, 1, 5), "d/m/yy"), "5/1/21");
  EXPECT_EQ(FormatDate(make(2021, 1, 5), "dd-mm-yyyy"), "05-01-2021");
  EXPECT_EQ(FormatDate(xmas, "yyyymmdd"), "20211225");
  EXPECT_EQ(FormatDate(xmas, "hh:nn:ss"), "09:05:07");
  EXPECT_EQ(FormatDate(xmas, "h:n:s"), "9:5:7");
  EXPECT_EQ(FormatDate(xmas, "hh:mm"), "09:05");  // "m" after "h" is the minute
  EXPECT_EQ(FormatDate(xmas, "hh.mm"), "09.05");
  EXPECT_EQ(FormatDate(xmas, "dd/mm/yyyy hh:mm:ss"), "25/12/2021 09:05:07");
  EXPECT_EQ(FormatDate(xmas, "mm/yyyy"), "12/2021");
  EXPECT_EQ(FormatDate(xmas, "DD/MM/YYYY"), "25/12/2021");
  EXPECT_EQ(FormatDate(xmas, "\"Data: \"dd/mm/yyyy"), "Data: 25/12/2021");
  EXPECT_EQ(FormatDate(xmas, "\\d\\a\\l d"), "dal 25");
  EXPECT_EQ(FormatDate(xmas, "q"), "4");
  EXPECT_EQ(FormatDate(xmas, "y"), "359");
  EXPECT_EQ(FormatDate(xmas, "w"), "7");
  EXPECT_EQ(FormatDate(xmas, "ww"), "52");
  EXPECT_EQ(FormatDate(make(2021, 1, 1), "ww"), "1");
}

TEST(FormatDate, ItalianNames) {
  const DateTime xmas = make(2021, 12, 25);
  EXPECT_EQ(FormatDate(xmas, "mmm"), "dic");
  EXPECT_EQ(FormatDate(xmas, "mmmm"), "dicembre");
  EXPECT_EQ(FormatDate(xmas, "ddd"), "sab");
  EXPECT_EQ(FormatDate(xmas, "dddd"), "sabato");
  EXPECT_EQ(FormatDate(make(2024, 2, 26), "dddd d mmmm yyyy"), "luned\xEC 26 febbraio 2024");
  EXPECT_EQ(FormatDate(xmas, "ddddd"), "25/12/2021");
  EXPECT_EQ(FormatDate(xmas, "dddddd"), "sabato 25 dicembre 2021");
  EXPECT_EQ(FormatDate(xmas, "Long Date"), "sabato 25 dicembre 2021");
  EXPECT_EQ(FormatDate(xmas, "Short Date"), "25/12/2021");
  EXPECT_EQ(FormatDate(xmas, "Medium Date"), "25-dic-21");
}

TEST(FormatDate, TwelveHourClock) {
  EXPECT_EQ(FormatDate(make(2021, 1, 1, 21, 5), "hh:nn AM/PM"), "09:05 PM");
  EXPECT_EQ(FormatDate(make(2021, 1, 1, 0, 5), "h:nn am/pm"), "12:05 am");
  EXPECT_EQ(FormatDate(make(2021, 1, 1, 12, 0), "h A/P"), "12 P");
  EXPECT_EQ(FormatDate(make(2021, 1, 1, 13, 0), "h a/p"), "1 p");
  EXPECT_EQ(FormatDate(make(2021, 1, 1, 13, 0), "h"), "13");
  EXPECT_EQ(FormatDate(make(2021, 1, 1, 21, 5), "Medium Time"), "09:05 PM");
}

// VarFormat's results on Windows for 2.525 (1900-01-01 12:36) and 2.725.
TEST(FormatDate, MinutesAndMonthsAsVarFormat) {
  const DateTime d = DateTime::from_serial(2.525);
  EXPECT_EQ(FormatDate(d, "dd mm yyyy hh:mm:ss"), "01 01 1900 12:36:00");
  EXPECT_EQ(FormatDate(d, "dd mm yyyy mm"), "01 01 1900 01");
  EXPECT_EQ(FormatDate(d, "dd mm yyyy :mm"), "01 01 1900 :01");
  EXPECT_EQ(FormatDate(d, "dd mm yyyy hh:mm"), "01 01 1900 12:36");
  EXPECT_EQ(FormatDate(d, "mm mm"), "01 01");
  EXPECT_EQ(FormatDate(d, "mm :mm:ss"), "01 :01:00");
  EXPECT_EQ(FormatDate(d, "mm :ss:mm"), "01 :00:01");
  EXPECT_EQ(FormatDate(d, "hh:mm :ss:mm"), "12:36 :00:01");
  EXPECT_EQ(FormatDate(d, "hh:dd :mm:mm"), "12:01 :01:01");
  EXPECT_EQ(FormatDate(d, "dd:hh :mm:mm"), "01:12 :36:01");
  EXPECT_EQ(FormatDate(d, "hh :mm:mm"), "12 :36:01");
  EXPECT_EQ(FormatDate(d, "dd :mm:nn"), "01 :01:36");
  EXPECT_EQ(FormatDate(d, "y"), "1");
  EXPECT_EQ(FormatDate(d, "yy"), "00");
  EXPECT_EQ(FormatDate(d, "yyy"), "001");
  EXPECT_EQ(FormatDate(d, "yyyy"), "1900");
  EXPECT_EQ(FormatDate(DateTime::from_serial(2.725), "hh:nn:ss A/P"), "05:24:00 P");
  EXPECT_EQ(FormatDate(DateTime::from_serial(40531), "dddd"), "domenica");
}

TEST(FormatDate, GeneralDate) {
  EXPECT_EQ(FormatDate(make(2021, 12, 25), ""), "25/12/2021");
  EXPECT_EQ(FormatDate(make(2021, 12, 25, 9, 5, 7), ""), "25/12/2021 09:05:07");
  EXPECT_EQ(FormatDate(make(1899, 12, 30, 9, 5, 7), ""), "09:05:07");
  EXPECT_EQ(FormatDate(make(2021, 12, 25, 9, 5, 7), "General Date"), "25/12/2021 09:05:07");
  EXPECT_EQ(FormatDate(make(2021, 12, 25, 9, 5, 7), "c"), "25/12/2021 09:05:07");
  EXPECT_EQ(FormatDate(make(2021, 12, 25, 9, 5, 7), "ttttt"), "09:05:07");
}

TEST(FormatDate, NumberMaskShowsTheSerial) {
  ScopedLocale loc(kItalian);
  EXPECT_EQ(FormatDate(make(2000, 1, 1, 12), "0.00"), "36526,50");
  EXPECT_EQ(FormatDate(make(2000, 1, 1), "General Number"), "36526");
}

}  // namespace
}  // namespace kyx::vb
