// Shared pieces: errors, the locale, numbers as decimal digits, calendar arithmetic, case mapping.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

#include "platform/vb/detail.h"

namespace kyx::vb {
namespace detail {

void raise(int number) {
  switch (number) {
    case kErrInvalidCall:
      throw VbError(number, "Invalid procedure call or argument");
    case kErrOverflow:
      throw VbError(number, "Overflow");
    case kErrTypeMismatch:
      throw VbError(number, "Type mismatch");
    case kErrInvalidPattern:
      throw VbError(number, "Invalid pattern string");
    default:
      throw VbError(number, "Application-defined or object-defined error");
  }
}

// ---- Locale -------------------------------------------------------------------------------------

namespace {

std::string ascii_lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Languages (ISO 639) whose usual decimal separator is the comma.
constexpr std::array<std::string_view, 52> kCommaLanguages = {
    "af", "az", "be", "bg", "br", "bs", "ca", "cs", "da", "de", "el", "es", "et",
    "eu", "fi", "fo", "fr", "fy", "gl", "hr", "hu", "hy", "id", "is", "it", "ka",
    "kk", "ky", "lb", "lt", "lv", "mk", "mn", "nb", "nl", "nn", "no", "oc", "pl",
    "pt", "ro", "ru", "rm", "se", "sk", "sl", "sq", "sr", "sv", "tr", "uk", "vi"};

// Language_TERRITORY pairs of those languages that write a decimal point nonetheless.
constexpr std::array<std::string_view, 14> kPointTerritories = {
    "de_ch", "de_li", "fr_ch", "it_ch", "rm_ch", "es_mx", "es_us", "es_pr",
    "es_do", "es_gt", "es_hn", "es_ni", "es_pa", "es_sv"};

}  // namespace

Locale locale_for_name(std::string_view name) {
  const Locale point{'.', ','};
  const Locale comma{',', '.'};
  // Drop the code set and the modifier: "it_IT.UTF-8@euro" -> "it_it".
  const std::string base = ascii_lower(name.substr(0, name.find_first_of(".@")));
  const std::string language = base.substr(0, base.find('_'));
  if (base.empty() || base == "c" || base == "posix") return point;
  if (std::find(kPointTerritories.begin(), kPointTerritories.end(), base) != kPointTerritories.end()) {
    return point;
  }
  if (std::find(kCommaLanguages.begin(), kCommaLanguages.end(), language) != kCommaLanguages.end()) {
    return comma;
  }
  return point;
}

Locale locale_from_environment() {
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') return locale_for_name(value);
  }
  return locale_for_name("C");
}

// ---- Numbers as digits --------------------------------------------------------------------------

Decimal decimal_of(double value) {
  Decimal d;
  if (value == 0 || !std::isfinite(value)) return d;
  char buf[40];
  // d.dddddddddddddde[+-]x: 15 significant digits, correctly rounded.
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
  const std::string_view text(buf);
  const auto e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (c != '.') digits += c;
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.empty()) return d;
  d.negative = value < 0;
  d.digits = std::move(digits);
  d.point = std::atoi(buf + e + 1) + 1;
  return d;
}

Decimal decimal_of(int64_t value) {
  Decimal d;
  d.whole = true;
  if (value == 0) return d;
  d.negative = value < 0;
  // The magnitude as unsigned: -INT64_MIN does not fit an int64_t.
  uint64_t magnitude = d.negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  std::string digits;
  while (magnitude > 0) {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  }
  d.point = static_cast<int>(digits.size());
  while (digits.back() == '0') digits.pop_back();
  d.digits = std::move(digits);
  return d;
}

std::string general(const Decimal& value, char decimal_separator, bool leading_zero) {
  if (value.zero()) return "0";
  std::string out = value.negative ? "-" : "";
  const int n = static_cast<int>(value.digits.size());
  const int exponent = value.point - 1;  // of the leading digit
  if (!value.whole && (exponent < -4 || exponent >= 15)) {
    out += value.digits[0];
    if (n > 1) {
      out += decimal_separator;
      out.append(value.digits, 1);
    }
    out += exponent < 0 ? "E-" : "E+";
    std::string e = std::to_string(std::abs(exponent));
    if (e.size() < 2) e = "0" + e;
    return out + e;
  }
  if (value.point <= 0) {
    if (leading_zero) out += '0';
    out += decimal_separator;
    out.append(static_cast<size_t>(-value.point), '0');
    return out + value.digits;
  }
  if (n <= value.point) {
    out += value.digits;
    return out.append(static_cast<size_t>(value.point - n), '0');
  }
  out.append(value.digits, 0, static_cast<size_t>(value.point));
  out += decimal_separator;
  return out.append(value.digits, static_cast<size_t>(value.point));
}

std::string non_finite(double value) {
  if (std::isnan(value)) return "-1.#IND";
  return value < 0 ? "-1.#INF" : "1.#INF";
}

// ---- Calendar -----------------------------------------------------------------------------------
// Howard Hinnant's algorithms for the proleptic Gregorian calendar.

int64_t days_from_civil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civil_from_days(int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// ---- Conversions --------------------------------------------------------------------------------

bool radix_value(std::string_view text, int radix, double& out) {
  uint64_t value = 0;
  size_t count = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    if (digit >= radix) break;
    value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) raise(kErrOverflow);
    ++count;
  }
  if (count == 0) return false;
  if (value <= 0xFFFF) {
    out = static_cast<int16_t>(static_cast<uint16_t>(value));  // Integer: &HFFFF is -1
  } else {
    out = static_cast<int32_t>(static_cast<uint32_t>(value));  // Long: &HFFFFFFFF is -1
  }
  return true;
}

double to_double(const std::string& c_number) {
  static const locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
  errno = 0;
  const double value = strtod_l(c_number.c_str(), nullptr, c_locale);
  if (std::isinf(value)) raise(kErrOverflow);
  return value;  // an underflow gives 0 or a denormal, as BASIC does
}

}  // namespace detail

// ---- Public locale ------------------------------------------------------------------------------

namespace {
Locale& current_locale() {
  static Locale loc = detail::locale_from_environment();
  return loc;
}
}  // namespace

const Locale& locale() { return current_locale(); }
void set_locale(const Locale& loc) { current_locale() = loc; }

}  // namespace kyx::vb
