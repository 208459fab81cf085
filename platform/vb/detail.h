#pragma once
// Internals shared by the files of platform/vb; not part of the library's interface.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/vb/vb.h"
#include "platform/text/cp1252.h"

namespace kyx::vb::detail {

inline constexpr int kErrInvalidPattern = 93;

// Throws the VbError of that number with BASIC's description.
[[noreturn]] void raise(int number);

// The separators of a POSIX locale name ("it_IT.UTF-8", "C", "en_US"): "," and "." for the
// languages that write a decimal comma, "." and "," for the others.
Locale locale_for_name(std::string_view name);
// The locale named by LC_ALL, else LC_NUMERIC, else LANG (the first one set and not empty).
Locale locale_from_environment();

// A number as decimal digits: value = 0.digits x 10^point. `digits` has no leading or trailing
// zeros and is empty for zero (then `negative` is false).
struct Decimal {
  bool negative = false;
  std::string digits;
  int point = 0;
  bool whole = false;  // from a whole number: every digit is exact, never an exponent form
  bool zero() const { return digits.empty(); }
};
// A double to 15 significant digits, as BASIC converts a Double to text.
Decimal decimal_of(double value);
// A whole number, every digit kept.
Decimal decimal_of(int64_t value);
// The shortest general form (CStr): up to 15 significant digits, exponent form ("1E+15",
// "1.5E-05") when the exponent is below -4 or above 14; a whole number shows all its digits. `leading_zero` false drops the "0" before
// the separator of a number between -1 and 1, as Str does (" .5").
std::string general(const Decimal& value, char decimal_separator, bool leading_zero = true);
// The text of a non-finite double as the VB6 run-time prints it ("1.#INF", "-1.#IND").
std::string non_finite(double value);

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t days_from_civil(int64_t year, int month, int day);
void civil_from_days(int64_t days, int& year, int& month, int& day);

// Upper and lower case of one Windows-1252 byte.
inline char upper(char c) { return text::to_upper(c); }
inline char lower(char c) { return text::to_lower(c); }

// "&H..." / "&O..." / "&..." after the "&": the value as BASIC reads it (four hex digits or
// fewer make an Integer, so "&HFFFF" is -1; up to eight make a Long). `text` holds only the
// digits' run; false when it holds no digit. VbError 6 when more than 32 bits.
bool radix_value(std::string_view text, int radix, double& out);

// A number in C syntax ("-12.5e3") to double; VbError 6 when it does not fit a Double.
double to_double(const std::string& c_number);

// The general date as the Italian system shows it: "dd/mm/yyyy", "hh:nn:ss" for a time on day 0,
// both for a date with a time.
std::string general_date(const DateTime& value);

}  // namespace kyx::vb::detail
