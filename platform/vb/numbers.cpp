// Numbers from text (Val, IsNumeric, CDbl) and whole-number conversions.
#include <cmath>
#include <limits>

#include "platform/vb/detail.h"
#include "platform/vb/try_val.h"

namespace kyx::vb {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// "H..." or "O..." or octal digits after an "&": the value, or false when no digit follows.
bool ampersand_number(std::string_view rest, double& out, size_t& used) {
  int radix = 8;
  size_t start = 0;
  if (!rest.empty() && (rest[0] == 'H' || rest[0] == 'h')) {
    radix = 16;
    start = 1;
  } else if (!rest.empty() && (rest[0] == 'O' || rest[0] == 'o')) {
    start = 1;
  }
  size_t end = start;
  while (end < rest.size()) {
    const char c = rest[end];
    const bool ok = radix == 16 ? (is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
                                : (c >= '0' && c <= '7');
    if (!ok) break;
    ++end;
  }
  used = end;
  return detail::radix_value(rest.substr(start, end - start), radix, out);
}

// The locale-aware number syntax of IsNumeric and CDbl. On success `c_number` holds the number
// in C syntax, or `radix_value` is set for "&H"/"&O" numbers.
bool parse_locale_number(std::string_view text, const Locale& loc, std::string& c_number,
                         bool& is_radix, double& radix_value) {
  is_radix = false;
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  std::string_view s = text.substr(b, e - b);
  if (s.empty()) return false;

  if (s[0] == '&') {
    size_t used = 0;
    if (!ampersand_number(s.substr(1), radix_value, used)) return false;
    is_radix = true;
    return 1 + used == s.size();
  }

  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    s.remove_prefix(1);
    while (!s.empty() && s[0] == ' ') s.remove_prefix(1);
  } else if (s.back() == '+' || s.back() == '-') {
    negative = s.back() == '-';
    s.remove_suffix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  }

  std::string mantissa;
  size_t i = 0;
  int digits = 0;
  // Whole part: digits, with thousands separators after the first digit.
  while (i < s.size()) {
    if (is_digit(s[i])) {
      mantissa += s[i];
      ++digits;
    } else if (s[i] == loc.thousands && digits > 0) {
      // skipped
    } else {
      break;
    }
    ++i;
  }
  if (i < s.size() && s[i] == loc.decimal) {
    mantissa += '.';
    ++i;
    while (i < s.size() && is_digit(s[i])) {
      mantissa += s[i];
      ++digits;
      ++i;
    }
  }
  if (digits == 0) return false;
  std::string exponent;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    ++i;
    exponent = "e";
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) exponent += s[i++];
    size_t exp_digits = 0;
    while (i < s.size() && is_digit(s[i])) {
      exponent += s[i++];
      ++exp_digits;
    }
    if (exp_digits == 0) return false;
  }
  if (i != s.size()) return false;
  c_number = (negative ? "-" : "") + mantissa + exponent;
  return true;
}

}  // namespace

double Val(std::string_view text) {
  // Blanks, tabs and line feeds are dropped wherever they are.
  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') s += c;
  }
  if (!s.empty() && s[0] == '&') {
    double value = 0;
    size_t used = 0;
    return ampersand_number(std::string_view(s).substr(1), value, used) ? value : 0.0;
  }
  std::string number;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') number += '-';
    ++i;
  }
  int digits = 0;
  while (i < s.size() && is_digit(s[i])) {
    number += s[i++];
    ++digits;
  }
  if (i < s.size() && s[i] == '.') {
    number += s[i++];
    while (i < s.size() && is_digit(s[i])) {
      number += s[i++];
      ++digits;
    }
  }
  if (digits == 0) return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    std::string exponent = "e";
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    bool any = false;
    while (j < s.size() && is_digit(s[j])) {
      exponent += s[j++];
      any = true;
    }
    if (any) number += exponent;
  }
  const double value = detail::to_double(number);
  return value == 0 ? 0.0 : value;  // no negative zero
}

std::optional<double> TryVal(std::string_view text) {
  try {
    return Val(text);
  } catch (const VbError&) {
    return std::nullopt;
  }
}

bool IsNumeric(std::string_view text) {
  std::string c_number;
  bool is_radix = false;
  double radix_value = 0;
  try {
    return parse_locale_number(text, locale(), c_number, is_radix, radix_value);
  } catch (const VbError&) {
    return false;  // "&H" with more than 32 bits
  }
}

double CDbl(std::string_view text) {
  std::string c_number;
  bool is_radix = false;
  double radix_value = 0;
  if (!parse_locale_number(text, locale(), c_number, is_radix, radix_value)) {
    detail::raise(kErrTypeMismatch);
  }
  if (is_radix) return radix_value;
  const double value = detail::to_double(c_number);
  return value == 0 ? 0.0 : value;
}

double RoundHalfEven(double value, int decimals) {
  if (decimals < 0) detail::raise(kErrInvalidCall);
  if (!std::isfinite(value)) return value;
  // nearbyint in the default rounding mode rounds half to even; "+ 0.0" turns -0 into 0.
  if (decimals == 0) return std::nearbyint(value) + 0.0;
  if (decimals > 22) return value;
  const double scale = std::pow(10.0, decimals);  // exact up to 1e22
  const double scaled = value * scale;
  if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) return value;  // 2^52
  return std::nearbyint(scaled) / scale + 0.0;
}

namespace {
template <typename T>
T to_whole(double value) {
  if (std::isnan(value)) detail::raise(kErrOverflow);
  const double rounded = std::nearbyint(value);
  if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<T>::max())) {
    detail::raise(kErrOverflow);
  }
  return static_cast<T>(rounded);
}
}  // namespace

int16_t CInt(double value) { return to_whole<int16_t>(value); }
int32_t CLng(double value) { return to_whole<int32_t>(value); }
uint8_t CByte(double value) { return to_whole<uint8_t>(value); }

double Int(double value) { return std::floor(value) + 0.0; }
double Fix(double value) { return std::trunc(value) + 0.0; }

}  // namespace kyx::vb
