// DateTime and the OLE day number, Now, Timer, date validation and day-month-year parsing.
#include <algorithm>
#include <cmath>
#include <ctime>

#include "platform/vb/detail.h"

namespace kyx::vb {
namespace {

constexpr int64_t kOleEpoch = -25569;  // 1899-12-30 in days since 1970-01-01
constexpr double kMinSerial = -657434.0;  // 0100-01-01
constexpr double kMaxSerial = 2958466.0;  // 10000-01-01 (exclusive)

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads 1..max_digits digits at `pos`; false when there is none.
bool read_number(std::string_view text, size_t& pos, int max_digits, int& value, int& digits) {
  value = 0;
  digits = 0;
  while (pos < text.size() && is_digit(text[pos]) && digits < max_digits) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  return digits > 0 && (pos >= text.size() || !is_digit(text[pos]));
}

}  // namespace

double DateTime::serial() const {
  const double days = static_cast<double>(detail::days_from_civil(year, month, day) - kOleEpoch);
  const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  // Before the epoch the time still counts forward from midnight: -1.25 is 1899-12-29 06:00.
  return days >= 0 ? days + time : days - time;
}

DateTime DateTime::from_serial(double serial) {
  if (!std::isfinite(serial) || serial <= kMinSerial - 1 || serial >= kMaxSerial) {
    detail::raise(kErrOverflow);
  }
  double days = std::trunc(serial);
  int64_t seconds = std::llround(std::fabs(serial - days) * 86400.0);
  if (seconds >= 86400) {  // rounds up to the next midnight, except past the last day
    if (days + 1 < kMaxSerial) {
      seconds -= 86400;
      days += 1;
    } else {
      seconds = 86399;
    }
  }
  DateTime out;
  detail::civil_from_days(static_cast<int64_t>(days) + kOleEpoch, out.year, out.month, out.day);
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds / 60 % 60);
  out.second = static_cast<int>(seconds % 60);
  return out;
}

DateTime Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  DateTime out;
  out.year = local.tm_year + 1900;
  out.month = local.tm_mon + 1;
  out.day = local.tm_mday;
  out.hour = local.tm_hour;
  out.minute = local.tm_min;
  out.second = std::min(local.tm_sec, 59);  // a leap second stays in its minute
  return out;
}

double Timer() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  std::tm local{};
  localtime_r(&ts.tv_sec, &local);
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + std::min(local.tm_sec, 59) +
         static_cast<double>(ts.tv_nsec) / 1e9;
}

bool IsValidDate(int year, int month, int day) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool IsValidTime(int hour, int minute, int second) {
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

bool ParseDate(std::string_view text, DateTime& out) {
  size_t pos = 0;
  const auto skip_blanks = [&] {
    while (pos < text.size() && text[pos] == ' ') ++pos;
  };
  skip_blanks();
  int day, month, year, digits;
  if (!read_number(text, pos, 2, day, digits)) return false;
  if (pos >= text.size()) return false;
  const char separator = text[pos];
  if (separator != '/' && separator != '-' && separator != '.') return false;
  ++pos;
  if (!read_number(text, pos, 2, month, digits)) return false;
  if (pos >= text.size() || text[pos] != separator) return false;
  ++pos;
  if (!read_number(text, pos, 4, year, digits)) return false;
  if (digits <= 2) year += year < 30 ? 2000 : 1900;
  DateTime result;
  result.year = year;
  result.month = month;
  result.day = day;
  const size_t date_end = pos;
  skip_blanks();
  if (pos < text.size() && pos > date_end) {
    int hour, minute, second = 0;
    if (!read_number(text, pos, 2, hour, digits)) return false;
    if (pos >= text.size() || text[pos] != ':') return false;
    ++pos;
    if (!read_number(text, pos, 2, minute, digits)) return false;
    if (pos < text.size() && text[pos] == ':') {
      ++pos;
      if (!read_number(text, pos, 2, second, digits)) return false;
    }
    if (!IsValidTime(hour, minute, second)) return false;
    result.hour = hour;
    result.minute = minute;
    result.second = second;
    skip_blanks();
  }
  if (pos != text.size()) return false;
  if (!IsValidDate(result.year, result.month, result.day)) return false;
  out = result;
  return true;
}

}  // namespace kyx::vb
