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
// procedure call or argument", 93 "Invalid pattern string". The system's error handlers show the
// number and the description (what()).
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
// The current locale. The default is read once from the environment (LC_ALL, else LC_NUMERIC, else
// LANG): an Italian (or other comma-decimal) locale gives "," and "."; "C", POSIX, unset and
// English give "." and ",". set_locale is for start-up and tests: it is not synchronised with
// calls running on other threads.
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
// from_serial rounds to the nearest second; VbError 6 outside the years 100..9999 (or NaN).
// Now(): the local date and time, to the second.
DateTime Now();
// Timer(): seconds since local midnight, with fractions.
double Timer();
// Whether the numbers make a real calendar date (years 100..9999) and a real time of day.
bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second);
// Day-month-year parsing as an Italian system reads typed dates: "d/m/yyyy", "dd-mm-yy",
// "d.m.yyyy" (the same separator twice), optionally followed by " h:n[:s]"; blanks around are
// allowed. Two-digit years 00..29 are 2000..2029, 30..99 are 1930..1999. False (and `out`
// untouched) when the text is not a valid date.
bool ParseDate(std::string_view text, DateTime& out);

// ---- Format -------------------------------------------------------------------------------------
// Format(number, mask) with the digit placeholders "0" and "#", "." (decimal separator of the
// locale), "," (thousands grouping when between digit placeholders; right after the last one it
// divides by 1000 instead), "%" (times 100), "E+"/"E-" exponents, literals after "\" and inside
// double quotes, other characters copied. A number with more whole digits than the mask shows them
// all (Format(12345, "000") = "12345"); decimals beyond the mask round half away from zero on the
// number's 15 significant digits (Format(2.145, "0.00") = "2,15"). Sections: "pos;neg;zero". A
// negative number is preceded by "-" (placed before its first digit, after leading literals) unless
// the mask has a second ";"-section for negatives: Format(-1, "000") = "-001"; the sign stays when
// the number rounds to zero ("-0,00"), as BASIC shows it. An empty mask gives the shortest general
// form, as Str without the leading blank and with the locale's decimal separator, and with the "0"
// before the separator that Str alone drops: "1234,5", "0,5", "1E+15"; the int64_t overload shows
// every digit. The named formats "General Number", "Fixed", "Standard", "Percent", "Scientific",
// "Currency" (euro), "Yes/No", "True/False", "On/Off" and the date ones are understood. A mask made
// of date tokens reads the number as a day number (serial); a text mask ("@", "&", "<", ">")
// formats the number's general form as a text.
std::string Format(double value, std::string_view mask);
std::string Format(int64_t value, std::string_view mask);
inline std::string Format(int value, std::string_view mask) { return Format(static_cast<int64_t>(value), mask); }
// Format of a text: a text mask ("@" a character or a blank, "&" a character or nothing, "<" lower
// case, ">" upper case) applies to the text as it is. Otherwise a text that IsNumeric accepts is
// formatted as that number (also with an empty mask); a text ParseDate accepts, with a date mask,
// is formatted as that date; any other text comes back unchanged, as BASIC does.
std::string Format(std::string_view text, std::string_view mask);
// Format(date, mask) with "yyyy", "yy", "m", "mm", "mmm" and "mmmm" (Italian month names), "d",
// "dd", "ddd" and "dddd" (Italian day names), "h", "hh", "n", "nn", "s", "ss", "/" and ":" as date
// and time separators ("/" and ":"), literals after "\" and in double quotes. "m" right after
// "h"/"hh" means minutes, as in BASIC. Also "ddddd" (dd/mm/yyyy), "dddddd" (long date), "y" (day
// of the year), "w" (weekday, 1 = Sunday), "ww" (week), "q" (quarter), "AM/PM", "am/pm", "A/P",
// "a/p" (12-hour clock), "c" (general date) and "ttttt" (hh:nn:ss). An empty mask gives the general
// date: "dd/mm/yyyy", "hh:nn:ss" on day 0, both when there is a time. A number mask shows serial().
std::string FormatDate(const DateTime& value, std::string_view mask);

// ---- Like ---------------------------------------------------------------------------------------
// text Like pattern (Option Compare Binary): "?" one character, "*" any run, "#" one digit,
// "[list]" and "[a-z]" one character of the list or range, "[!list]" one character not in it;
// "[#]", "[?]", "[*]", "[[]" and "[!]" stand for that character itself; "[]" matches nothing
// (the empty string). Ranges compare bytes. A malformed pattern (an unclosed "[", a range that runs
// backwards as "[z-a]") raises VbError 93 as BASIC does, whatever the text.
bool Like(std::string_view text, std::string_view pattern);

// ---- Numbers from text --------------------------------------------------------------------------
// Val: leading number of the text with "." as decimal point, blanks, tabs and line feeds skipped
// wherever they are, "&H"/"&O" prefixes (up to four hex digits make an Integer: "&HFFFF" = -1), an
// exponent ("E" or "D"); 0 when none. VbError 6 when the number does not fit a Double.
double Val(std::string_view text);
// IsNumeric under the locale: blanks around, a sign (leading or trailing), thousands separators
// (anywhere after the first digit of the whole part, as BASIC accepts them), the locale's decimal
// separator, an exponent, "&H" hex and "&O" octal; "" is not numeric. Under the Italian locale
// "1.5" is numeric and means 15.
bool IsNumeric(std::string_view text);
// CDbl of a text under the locale; VbError 13 when not numeric, 6 when too large for a Double.
double CDbl(std::string_view text);

// ---- Whole numbers ------------------------------------------------------------------------------
// Rounding half to even, as CInt, CLng and Round do ("banker's rounding"), on the binary value
// scaled by 10^decimals. VbError 5 when decimals < 0.
double RoundHalfEven(double value, int decimals = 0);
// CInt/CLng/CByte: round half to even, then VbError 6 when outside the type's range.
int16_t CInt(double value);
int32_t CLng(double value);
uint8_t CByte(double value);
// Int and Fix as BASIC: Int rounds toward minus infinity, Fix toward zero.
double Int(double value);
double Fix(double value);

// ---- Strings (bytes) ----------------------------------------------------------------------------
// Positions count from 1. Mid with a start past the end gives ""; start < 1 or a length below -1
// (-1 means "to the end") raises VbError 5, as does a negative length for Left and Right.
std::string Mid(std::string_view text, long start, long length = -1);
std::string Left(std::string_view text, long length);
std::string Right(std::string_view text, long length);
// InStr: 1-based position of `find` in `text` from `start`, 0 when absent; an empty `find` gives
// `start` (when start <= Len + 1). Binary comparison; start < 1 raises VbError 5.
long InStr(long start, std::string_view text, std::string_view find);
inline long InStr(std::string_view text, std::string_view find) { return InStr(1, text, find); }
// Trim family: blanks only (not tabs).
std::string Trim(std::string_view text);
std::string LTrim(std::string_view text);
std::string RTrim(std::string_view text);
// Upper and lower case over Windows-1252 (accented letters included).
std::string UCase(std::string_view text);
std::string LCase(std::string_view text);
// Space and String raise VbError 5 for a negative count.
std::string Space(long count);
std::string String(long count, char c);
std::string Replace(std::string_view text, std::string_view find, std::string_view with);
// Str: a number as text with a leading blank for positive numbers and "." as decimal point, in the
// same general form as Format's empty mask, except that, as in VB6, a number between -1 and 1 has
// no "0" before the point: Str(0.5) = " .5", Str(-0.25) = "-.25".
std::string Str(double value);

}  // namespace kyx::vb
