#include <cmath>
#include <ctime>

#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

DateTime make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  DateTime dt;
  dt.year = y, dt.month = mo, dt.day = d, dt.hour = h, dt.minute = mi, dt.second = s;
  return dt;
}

TEST(DateTime, SerialIsTheOleDayNumber) {
  EXPECT_EQ(make(1899, 12, 30).serial(), 0.0);
  EXPECT_EQ(make(1900, 1, 1).serial(), 2.0);
  EXPECT_EQ(make(2000, 1, 1).serial(), 36526.0);
  EXPECT_EQ(make(2000, 1, 1, 12).serial(), 36526.5);
  EXPECT_EQ(make(1899, 12, 29, 6).serial(), -1.25);  // the time counts forward before the epoch
  EXPECT_EQ(make(100, 1, 1).serial(), -657434.0);
  EXPECT_EQ(make(9999, 12, 31).serial(), 2958465.0);
  EXPECT_EQ(DateTime().serial(), 0.0);
}

TEST(DateTime, FromSerialRoundTripsToTheSecond) {
  for (const DateTime& dt : {make(2021, 12, 25, 9, 5, 7), make(1899, 12, 29, 6), make(100, 1, 1, 23, 59, 59),
                             make(9999, 12, 31, 23, 59, 59), make(2024, 2, 29, 0, 0, 1), make(1899, 12, 30, 18)}) {
    EXPECT_EQ(DateTime::from_serial(dt.serial()), dt) << dt.serial();
  }
  EXPECT_EQ(DateTime::from_serial(36526.5), make(2000, 1, 1, 12));
  EXPECT_EQ(DateTime::from_serial(-0.5), make(1899, 12, 30, 12));
  EXPECT_EQ(DateTime::from_serial(36526.99999999), make(2000, 1, 2));  // rounds to the second
  EXPECT_EQ(DateTime::from_serial(-1.99999999), make(1899, 12, 30));
}

TEST(DateTime, FromSerialOutsideTheCalendarOverflows) {
  EXPECT_EQ(error_of([] { DateTime::from_serial(2958466.0); }), kErrOverflow);
  EXPECT_EQ(error_of([] { DateTime::from_serial(-657435.0); }), kErrOverflow);
  EXPECT_EQ(error_of([] { DateTime::from_serial(std::nan("")); }), kErrOverflow);
}

TEST(DateTime, Validity) {
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_TRUE(IsValidDate(2024, 2, 29));
  EXPECT_FALSE(IsValidDate(2023, 2, 29));
  EXPECT_FALSE(IsValidDate(2021, 4, 31));
  EXPECT_FALSE(IsValidDate(2021, 13, 1));
  EXPECT_FALSE(IsValidDate(2021, 0, 1));
  EXPECT_FALSE(IsValidDate(2021, 1, 0));
  EXPECT_FALSE(IsValidDate(99, 1, 1));
  EXPECT_TRUE(IsValidDate(100, 1, 1));
  EXPECT_TRUE(IsValidDate(9999, 12, 31));
  EXPECT_FALSE(IsValidDate(10000, 1, 1));
  EXPECT_TRUE(IsValidTime(0, 0, 0));
  EXPECT_TRUE(IsValidTime(23, 59, 59));
  EXPECT_FALSE(IsValidTime(24, 0, 0));
  EXPECT_FALSE(IsValidTime(12, 60, 0));
  EXPECT_FALSE(IsValidTime(12, 0, 60));
  EXPECT_FALSE(IsValidTime(-1, 0, 0));
}

TEST(ParseDate, DayMonthYear) {
  struct Case {
    const char* text;
    DateTime expected;
  } cases[] = {
      {"25/12/2021", make(2021, 12, 25)},
      {"5-1-21", make(2021, 1, 5)},
      {"05.01.1999", make(1999, 1, 5)},
      {"1/1/29", make(2029, 1, 1)},
      {"1/1/30", make(1930, 1, 1)},
      {"31/12/99", make(1999, 12, 31)},
      {"01/01/00", make(2000, 1, 1)},
      {"29/02/2000", make(2000, 2, 29)},
      {"25/12/2021 9:05", make(2021, 12, 25, 9, 5)},
      {"25/12/2021 09:05:07", make(2021, 12, 25, 9, 5, 7)},
      {"25/12/2021  9:5:7", make(2021, 12, 25, 9, 5, 7)},
      {" 25/12/2021 ", make(2021, 12, 25)},
  };
  for (const auto& c : cases) {
    DateTime out;
    EXPECT_TRUE(ParseDate(c.text, out)) << c.text;
    EXPECT_EQ(out, c.expected) << c.text;
  }
}

TEST(ParseDate, RejectsWhatIsNotADate) {
  for (const char* text : {"", "abc", "25/12", "31/02/2021", "29/02/1900", "25/13/2021", "0/12/2021",
                           "2021-12-25", "25/12-2021", "25/12/2021x", "25/12/2021 25:00",
                           "25/12/2021 9", "25/12/2021 9:60", "25/12/2021 9:05:", "1/1/0099",
                           "25/12/20211", "25 12 2021"}) {
    DateTime out = make(1, 2, 3);
    EXPECT_FALSE(ParseDate(text, out)) << text;
    EXPECT_EQ(out, make(1, 2, 3)) << text;  // untouched
  }
}

TEST(Clock, NowAndTimerFollowTheLocalClock) {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  const DateTime now = Now();
  const double timer = Timer();
  EXPECT_EQ(now.year, local.tm_year + 1900);
  EXPECT_TRUE(IsValidDate(now.year, now.month, now.day));
  EXPECT_TRUE(IsValidTime(now.hour, now.minute, now.second));
  EXPECT_GE(timer, 0.0);
  EXPECT_LT(timer, 86400.0);
  const double from_now = now.hour * 3600.0 + now.minute * 60 + now.second;
  if (from_now > 5 && from_now < 86395) {  // not across midnight
    EXPECT_NEAR(timer, from_now, 3.0);
  }
}

}  // namespace
}  // namespace kyx::vb
