#pragma once
// The BASIC run-time the system's code relies on: number and date formatting with masks, the Like
// operator, Val/IsNumeric/CDbl under the user's locale, whole-number conversions that round half to
// even, byte-wise string functions and the clock. Text is Windows-1252 bytes throughout.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kyx::vb {

// A run-time error as BASIC raises it: number 6 "Overflow", 13 "Type mismatch", 5 "Invalid
// procedure call or argument". The system's error handlers show the number and the description.
class VbError : public std::runtime_error {
 public:
  VbError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }

 private:
  int number_;
};
inline constexpr int kErrInvalidCall = 5;
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrTypeMismatch = 13;

// ---- Locale -------------------------------------------------------------------------------------
// The user's number separators. Format, IsNumeric and CDbl follow them; Val always takes ".".
struct Locale {
  char decimal = ',';
  char thousands = '.';
};
// The current locale. The default is read once from the environment (LC_NUMERIC/LANG): an Italian
// (or other comma-decimal) locale gives "," and "."; "C", POSIX and English give "." and ",".
const Locale& locale();
void set_locale(const Locale& loc);

// ---- Dates --------------------------------------------------------------------------------------
// A date and time as BASIC keeps it. serial() is the OLE day number (1899-12-30 = 0, time as the
// fraction of the day), the form dates take in arithmetic and comparisons.
struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;

  double serial() const;
  static DateTime from_serial(double serial);
  bool operator==(const DateTime&) const = default;
};
// Now(): the local date and time, to the second.
DateTime Now();
// Timer(): seconds since local midnight, with fractions.
double Timer();
// Whether the numbers make a real calendar date (years 100..9999) and a real time of day.
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second);
// Day-month-year parsing as an Italian system reads typed dates: "d/m/yyyy", "dd-mm-yy",
// "d.m.yyyy", optionally followed by " h:n[:s]". Two-digit years 00..29 are 2000..2029, 30..99 are
// 1930..1999. False when the text is not a valid date.
bool ParseDate(std::string_view text, DateTime& out);

// ---- Format -------------------------------------------------------------------------------------
// Format(number, mask) with the digit placeholders "0" and "#", "." (decimal separator of the
// locale), "," (thousands grouping when between digit placeholders), literals after "\" and inside
// double quotes, other characters copied. A negative number is preceded by "-" unless the mask has
// a second ";"-section for negatives: Format(-1, "000") = "-001". An empty mask gives the shortest
// general form (as Str without the leading blank, with the locale's decimal separator).
std::string Format(double value, std::string_view mask);
std::string Format(int64_t value, std::string_view mask);
inline std::string Format(int value, std::string_view mask) { return Format(static_cast<int64_t>(value), mask); }
// Format of a text: a text that IsNumeric accepts is formatted as that number; otherwise an empty
// mask returns the text unchanged and a number mask returns the text unchanged as BASIC does.
std::string Format(std::string_view text, std::string_view mask);
// Format(date, mask) with "yyyy", "yy", "m", "mm", "mmm" and "mmmm" (Italian month names), "d",
// "dd", "h", "hh", "n", "nn", "s", "ss", "/" and ":" as date and time separators ("/" and ":"),
// literals after "\" and in double quotes. "m" right after "h"/"hh" means minutes, as in BASIC.
std::string FormatDate(const DateTime& value, std::string_view mask);

// ---- Like ---------------------------------------------------------------------------------------
// text Like pattern (Option Compare Binary): "?" one character, "*" any run, "#" one digit,
// "[list]" and "[a-z]" one character of the list or range, "[!list]" one character not in it;
// "[#]", "[?]", "[*]", "[[]" and "[!]" stand for that character itself. A malformed pattern
// (an unclosed "[") raises VbError 93 as BASIC does.
bool Like(std::string_view text, std::string_view pattern);

// ---- Numbers from text --------------------------------------------------------------------------
// Val: leading number of the text with "." as decimal point, blanks and tabs skipped, "&H"/"&O"
// prefixes, an exponent; 0 when none.
double Val(std::string_view text);
// IsNumeric under the locale: blanks around, a sign (leading or trailing), thousands separators,
// the locale's decimal separator, an exponent, "&H" hex; "" is not numeric.
bool IsNumeric(std::string_view text);
// CDbl of a text under the locale; VbError 13 when not numeric.
double CDbl(std::string_view text);

// ---- Whole numbers ------------------------------------------------------------------------------
// Rounding half to even, as CInt, CLng and Round do ("banker's rounding").
double RoundHalfEven(double value, int decimals = 0);
// CInt/CLng/CByte: round half to even, then VbError 6 when outside the type's range.
int16_t CInt(double value);
int32_t CLng(double value);
uint8_t CByte(double value);
// Int and Fix as BASIC: Int rounds toward minus infinity, Fix toward zero.
double Int(double value);
double Fix(double value);

// ---- Strings (bytes) ----------------------------------------------------------------------------
// Positions count from 1. Mid with a start past the end gives ""; start < 1 raises VbError 5.
std::string Mid(std::string_view text, long start, long length = -1);
std::string Left(std::string_view text, long length);
std::string Right(std::string_view text, long length);
// InStr: 1-based position of `find` in `text` from `start`, 0 when absent; an empty `find` gives
// `start` (when start <= Len + 1).
long InStr(long start, std::string_view text, std::string_view find);
inline long InStr(std::string_view text, std::string_view find) { return InStr(1, text, find); }
// Trim family: blanks only (not tabs).
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);
// Upper and lower case over Windows-1252 (accented letters included).
std::string UCase(std::string_view text);
std::string LCase(std::string_view text);
std::string Space(long count);
std::string String(long count, char c);
std::string Replace(std::string_view text, std::string_view find, std::string_view with);
// Str: a number as text with a leading blank for positive numbers and "." as decimal point.
std::string Str(double value);

}  // namespace kyx::vb
