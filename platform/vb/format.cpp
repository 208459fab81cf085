// Format and FormatDate: masks are read the way OLE Automation's VarFormat reads them. The first
// token that only one kind of mask has ("0", "#" or "." for numbers; "d", "m", "y", "h", "n", "s",
// "w", "q", "c", "/", ":", AM/PM for dates; "@", "&", "<", ">", "!" for texts) decides the kind of
// the whole mask, and the letters of the other kinds are literals from then on.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "platform/vb/detail.h"

namespace kyx::vb {
namespace {

using detail::Decimal;

enum class Type { kUnknown, kNumber, kDate, kString };

enum class Tok {
  kLiteral,
  // numbers
  kZero, kHash, kDecimal, kExponent, kComma,
  // dates
  kDateSep, kTimeSep, kDay, kDay0, kDayShort, kDayLong, kDateShort, kDateLong, kWeekday, kWeek,
  kMonth, kMonth0, kMonthShort, kMonthLong, kDayOfYear, kYear2, kYear4, kHour, kHour0, kMinute,
  kMinute0, kSecond, kSecond0, kQuarter, kAmPm, kAP, kAmPmLocale, kGeneralDate, kLongTime,
  // texts
  kCopySpace, kCopySkip,
};

struct Token {
  Tok kind;
  std::string text;    // kLiteral
  int count = 0;       // kZero, kHash, kCopy*: run length; kExponent: least exponent digits
  bool lower = false;  // kExponent "e", kAmPm "am/pm", kAP "a/p"
  bool plus = false;   // kExponent "E+"
};

struct Section {
  std::vector<Token> tokens;
  bool percent = false;                    // numbers: a "%" multiplies by 100
  bool to_lower = false, to_upper = false;  // texts: "<" and ">"
  bool twelve_hours = false;               // dates: an AM/PM token puts hours on 12
};

struct Mask {
  Type type = Type::kUnknown;
  std::vector<Section> sections;  // one to four; an empty one stands for the first
  bool present(size_t i) const { return i < sections.size() && !sections[i].tokens.empty(); }
};

bool ci_equal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (detail::lower(a[i]) != detail::lower(b[i])) return false;
  }
  return true;
}

bool ci_at(std::string_view s, size_t pos, std::string_view what) {
  return pos + what.size() <= s.size() && ci_equal(s.substr(pos, what.size()), what);
}

size_t run_length(std::string_view s, size_t pos, char lower_letter, size_t max) {
  size_t n = 0;
  while (pos + n < s.size() && n < max && detail::lower(s[pos + n]) == lower_letter) ++n;
  return n;
}

Mask parse(std::string_view f) {
  Mask m;
  m.sections.emplace_back();
  Section* sec = &m.sections.back();
  bool decimal_seen = false, seen_hours = false, wrote_minutes = false;
  const auto could_be = [&](Type t) {
    return (m.sections.size() == 1 && m.type == Type::kUnknown) || m.type == t;
  };
  const auto literal = [&](std::string_view s) {
    if (!sec->tokens.empty() && sec->tokens.back().kind == Tok::kLiteral) {
      sec->tokens.back().text += s;
    } else {
      sec->tokens.push_back({Tok::kLiteral, std::string(s)});
    }
  };
  const auto add = [&](Tok kind, int count = 0) { sec->tokens.push_back({kind, {}, count}); };

  size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    const char next = i + 1 < f.size() ? f[i + 1] : '\0';
    const char lc = detail::lower(c);
    // ---- General tokens
    if (c == ';') {
      ++i;
      if (m.sections.size() == 4) break;  // a fifth section is ignored
      m.sections.emplace_back();
      sec = &m.sections.back();
      decimal_seen = seen_hours = wrote_minutes = false;
    } else if (c == '\\') {
      if (i + 1 < f.size()) literal(f.substr(i + 1, 1));
      i += 2;
    } else if (c == '"') {
      size_t close = f.find('"', i + 1);
      if (close == std::string_view::npos) close = f.size();
      if (close > i + 1) literal(f.substr(i + 1, close - i - 1));
      i = close + 1;
    }
    // ---- Numbers
    else if ((c == '0' || c == '#') && could_be(Type::kNumber)) {
      m.type = Type::kNumber;
      const size_t n = std::min<size_t>(f.find_first_not_of(c, i) - i, f.size() - i);
      add(c == '0' ? Tok::kZero : Tok::kHash, static_cast<int>(n));
      i += n;
    } else if (c == '.' && could_be(Type::kNumber) && !decimal_seen) {
      m.type = Type::kNumber;
      add(Tok::kDecimal);
      decimal_seen = true;
      ++i;
    } else if (lc == 'e' && (next == '+' || next == '-') && m.type == Type::kNumber) {
      Token t{Tok::kExponent, {}};
      t.lower = c == 'e';
      t.plus = next == '+';
      i += 2;
      while (i < f.size() && f[i] == '0') {
        ++t.count;
        ++i;
      }
      sec->tokens.push_back(t);
    } else if (c == ',' && m.type == Type::kNumber) {
      add(Tok::kComma);
      ++i;
    }
    // ---- Dates
    else if ((c == '/' || c == ':') && could_be(Type::kDate)) {
      m.type = Type::kDate;
      add(c == '/' ? Tok::kDateSep : Tok::kTimeSep);
      ++i;
    } else if (could_be(Type::kDate) && ci_at(f, i, "am/pm")) {
      m.type = Type::kDate;
      sec->tokens.push_back({Tok::kAmPm, {}, 0, c == 'a'});
      sec->twelve_hours = true;
      i += 5;
    } else if (could_be(Type::kDate) && ci_at(f, i, "a/p")) {
      m.type = Type::kDate;
      sec->tokens.push_back({Tok::kAP, {}, 0, c == 'a'});
      sec->twelve_hours = true;
      i += 3;
    } else if (could_be(Type::kDate) && ci_at(f, i, "ampm")) {
      m.type = Type::kDate;
      add(Tok::kAmPmLocale);
      sec->twelve_hours = true;
      i += 4;
    } else if (could_be(Type::kDate) && ci_at(f, i, "ttttt")) {
      m.type = Type::kDate;
      add(Tok::kLongTime);
      i += 5;
    } else if (could_be(Type::kDate) && (lc == 'c' || lc == 'd' || lc == 'h' || lc == 'm' ||
                                         lc == 'n' || lc == 'q' || lc == 's' || lc == 'w' ||
                                         lc == 'y')) {
      m.type = Type::kDate;
      switch (lc) {
        case 'c':
          add(Tok::kGeneralDate);
          i += 1;
          break;
        case 'd': {
          static constexpr Tok kDays[] = {Tok::kDay,     Tok::kDay0,      Tok::kDayShort,
                                          Tok::kDayLong, Tok::kDateShort, Tok::kDateLong};
          const size_t n = run_length(f, i, 'd', 6);
          add(kDays[n - 1]);
          i += n;
          seen_hours = false;  // "mm" after a day is the month again
          break;
        }
        case 'h': {
          const size_t n = run_length(f, i, 'h', 2);
          add(n == 2 ? Tok::kHour0 : Tok::kHour);
          i += n;
          seen_hours = true;
          break;
        }
        case 'm': {
          const size_t n = run_length(f, i, 'm', 4);
          if (n <= 2 && seen_hours && !wrote_minutes) {
            add(n == 2 ? Tok::kMinute0 : Tok::kMinute);  // "m" after "h" is the minute, once
            wrote_minutes = true;
          } else {
            static constexpr Tok kMonths[] = {Tok::kMonth, Tok::kMonth0, Tok::kMonthShort,
                                              Tok::kMonthLong};
            add(kMonths[n - 1]);
          }
          i += n;
          break;
        }
        case 'n':
        case 's': {
          const size_t n = run_length(f, i, lc, 2);
          if (lc == 'n') {
            add(n == 2 ? Tok::kMinute0 : Tok::kMinute);
          } else {
            add(n == 2 ? Tok::kSecond0 : Tok::kSecond);
          }
          i += n;
          break;
        }
        case 'q':
          add(Tok::kQuarter);
          i += 1;
          break;
        case 'w': {
          const size_t n = run_length(f, i, 'w', 2);
          add(n == 2 ? Tok::kWeek : Tok::kWeekday);
          i += n;
          break;
        }
        case 'y': {
          size_t n = run_length(f, i, 'y', 4);
          if (n == 3) n = 2;  // "yyy" is "yy" then "y"
          add(n == 1 ? Tok::kDayOfYear : n == 2 ? Tok::kYear2 : Tok::kYear4);
          i += n;
          break;
        }
      }
    }
    // ---- Texts
    else if ((c == '@' || c == '&') && could_be(Type::kString)) {
      m.type = Type::kString;
      const size_t n = std::min<size_t>(f.find_first_not_of(c, i) - i, f.size() - i);
      add(c == '@' ? Tok::kCopySpace : Tok::kCopySkip, static_cast<int>(n));
      i += n;
    } else if ((c == '<' || c == '>' || c == '!') && could_be(Type::kString)) {
      m.type = Type::kString;
      if (c == '<') sec->to_lower = true;
      if (c == '>') sec->to_upper = true;
      ++i;  // "!" is read but, as in VarFormat, changes nothing
    }
    // ---- Literals
    else {
      if (c == '%' && m.type == Type::kNumber) sec->percent = true;
      literal(f.substr(i, 1));
      ++i;
    }
  }
  return m;
}

// ---- Named formats ------------------------------------------------------------------------------

enum class Special { kNone, kGeneralNumber, kGeneralDate, kYesNo, kTrueFalse, kOnOff };

struct Resolved {
  Special special = Special::kNone;
  std::string_view mask;
};

Resolved resolve(std::string_view mask) {
  struct Named {
    std::string_view name;
    Special special;
    std::string_view mask;
  };
  static constexpr std::array<Named, 16> kNamed = {{
      {"General Number", Special::kGeneralNumber, ""},
      {"Currency", Special::kNone, "\x80 #,##0.00;-\x80 #,##0.00"},
      {"Fixed", Special::kNone, "0.00"},
      {"Standard", Special::kNone, "#,##0.00"},
      {"Percent", Special::kNone, "0.00%"},
      {"Scientific", Special::kNone, "0.00E+00"},
      {"Yes/No", Special::kYesNo, ""},
      {"True/False", Special::kTrueFalse, ""},
      {"On/Off", Special::kOnOff, ""},
      {"General Date", Special::kGeneralDate, ""},
      {"Long Date", Special::kNone, "dddd d mmmm yyyy"},
      {"Medium Date", Special::kNone, "dd-mmm-yy"},
      {"Short Date", Special::kNone, "dd/mm/yyyy"},
      {"Long Time", Special::kNone, "hh:nn:ss"},
      {"Medium Time", Special::kNone, "hh:nn AM/PM"},
      {"Short Time", Special::kNone, "hh:nn"},
  }};
  for (const Named& n : kNamed) {
    if (ci_equal(mask, n.name)) return {n.special, n.mask};
  }
  return {Special::kNone, mask};
}

std::string boolean_text(Special special, bool value) {
  switch (special) {
    case Special::kYesNo: return value ? "S\xEC" : "No";
    case Special::kTrueFalse: return value ? "Vero" : "Falso";
    default: return value ? "On" : "Off";
  }
}

// ---- Numbers ------------------------------------------------------------------------------------

// Rounds half up (away from zero) to `decimals` places, on the decimal digits.
void round_to(Decimal& d, int decimals) {
  if (d.zero()) return;
  const long keep = static_cast<long>(d.point) + decimals;
  if (keep >= static_cast<long>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    d.point = 0;
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    long i = keep - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') d.digits[static_cast<size_t>(i--)] = '0';
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      ++d.point;
    } else {
      ++d.digits[static_cast<size_t>(i)];
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.point = 0;
}

std::string format_number(const Decimal& value, const Mask& m, const Locale& loc) {
  const Section* sec = &m.sections[0];
  bool sign = false;  // "-" before the first digit when no section is there for negatives
  if (value.negative) {
    if (m.present(1)) {
      sec = &m.sections[1];
    } else {
      sign = true;
    }
  } else if (value.zero() && m.present(2)) {
    sec = &m.sections[2];
  }

  // The shape of the section.
  int n_int = 0, n_frac = 0, scale = 0, pending_commas = 0;
  int first_int_zero = -1, last_frac_zero = -1;
  bool grouping = false, in_frac = false;
  const Token* exponent_token = nullptr;
  for (const Token& t : sec->tokens) {
    if (exponent_token != nullptr) break;
    switch (t.kind) {
      case Tok::kZero:
      case Tok::kHash:
        if (in_frac) {
          if (t.kind == Tok::kZero) last_frac_zero = n_frac + t.count - 1;
          n_frac += t.count;
        } else {
          if (pending_commas > 0) grouping = true;  // a "," between digit placeholders
          pending_commas = 0;
          if (t.kind == Tok::kZero && first_int_zero < 0) first_int_zero = n_int;
          n_int += t.count;
        }
        break;
      case Tok::kComma:
        if (!in_frac && n_int > 0) ++pending_commas;
        break;
      case Tok::kDecimal:
        in_frac = true;
        scale += pending_commas;  // "," right before the decimal point divides by 1000
        pending_commas = 0;
        break;
      case Tok::kExponent:
        exponent_token = &t;
        break;
      default:
        break;
    }
  }
  scale += pending_commas;  // "," after the last digit placeholder divides by 1000
  const int min_width = first_int_zero < 0 ? 0 : n_int - first_int_zero;

  // The digits to show.
  Decimal d = value;
  if (!d.zero()) d.point += (sec->percent ? 2 : 0) - 3 * scale;
  int exponent = 0;
  if (exponent_token != nullptr && !d.zero()) {
    exponent = d.point - n_int;
    d.point = n_int;
  }
  round_to(d, n_frac);
  if (exponent_token != nullptr && !d.zero() && d.point > n_int) {
    exponent += d.point - n_int;
    d.point = n_int;
  }
  std::string whole;  // without leading zeros
  std::string frac(static_cast<size_t>(n_frac), '0');
  if (!d.zero()) {
    for (int k = 0; k < d.point; ++k) {
      whole += k < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(k)] : '0';
    }
    for (int j = 0; j < n_frac; ++j) {
      const int k = d.point + j;
      if (k >= 0 && k < static_cast<int>(d.digits.size())) frac[static_cast<size_t>(j)] = d.digits[static_cast<size_t>(k)];
    }
  }
  const int frac_significant = static_cast<int>(frac.find_last_not_of('0') + 1);  // npos + 1 == 0
  const int width = std::max(static_cast<int>(whole.size()), min_width);
  const std::string digits = std::string(static_cast<size_t>(width) - whole.size(), '0') + whole;

  // The output.
  std::string out;
  int emitted = 0, placed = 0, j = 0;
  bool after_exponent = false;
  in_frac = false;
  const auto emit_sign = [&] {
    if (sign) out += '-';
    sign = false;
  };
  const auto emit_digit = [&] {
    out += digits[static_cast<size_t>(emitted++)];
    const int rest = width - emitted;
    if (grouping && rest > 0 && rest % 3 == 0) out += loc.thousands;
  };
  for (const Token& t : sec->tokens) {
    switch (t.kind) {
      case Tok::kLiteral:
        out += t.text;
        break;
      case Tok::kZero:
      case Tok::kHash:
        if (after_exponent) break;
        if (in_frac) {
          for (int k = 0; k < t.count; ++k, ++j) {
            if (j < frac_significant) {
              out += frac[static_cast<size_t>(j)];
            } else if (j <= last_frac_zero) {
              out += '0';
            }
          }
        } else {
          emit_sign();
          for (int k = 0; k < t.count; ++k, ++placed) {
            if (placed == 0) {
              while (width - emitted > n_int) emit_digit();  // digits beyond the placeholders
            }
            if (n_int - placed <= width) emit_digit();
          }
        }
        break;
      case Tok::kDecimal:
        emit_sign();
        if (n_int == 0) {
          while (emitted < width) emit_digit();
        }
        out += loc.decimal;
        in_frac = true;
        break;
      case Tok::kExponent: {
        if (after_exponent) break;
        out += t.lower ? 'e' : 'E';
        if (exponent < 0) {
          out += '-';
        } else if (t.plus) {
          out += '+';
        }
        const std::string e = std::to_string(std::abs(exponent));
        if (static_cast<int>(e.size()) < t.count) out.append(static_cast<size_t>(t.count) - e.size(), '0');
        out += e;
        after_exponent = true;
        break;
      }
      default:
        break;  // commas are placed by the grouping
    }
  }
  return out;
}

// ---- Texts --------------------------------------------------------------------------------------

std::string format_text(std::string_view text, const Mask& m) {
  const Section& sec = text.empty() && m.present(1) ? m.sections[1] : m.sections[0];
  const auto convert = [&](char c) {
    if (sec.to_lower) return detail::lower(c);
    if (sec.to_upper) return detail::upper(c);
    return c;
  };
  int placeholders = 0;
  for (const Token& t : sec.tokens) {
    if (t.kind == Tok::kCopySpace || t.kind == Tok::kCopySkip) placeholders += t.count;
  }
  // "@" shows a blank where the text is too short; the blanks come first.
  int blanks_first = placeholders - static_cast<int>(text.size());
  size_t src = 0;
  std::string out;
  for (const Token& t : sec.tokens) {
    if (t.kind == Tok::kLiteral) {
      out += t.text;
    } else if (t.kind == Tok::kCopySpace || t.kind == Tok::kCopySkip) {
      int n = t.count;
      if (t.kind == Tok::kCopySpace) {
        for (; n > 0 && blanks_first > 0; --n, --blanks_first) out += ' ';
      }
      for (; n > 0 && src < text.size(); --n) out += convert(text[src++]);
      if (t.kind == Tok::kCopySpace) out.append(static_cast<size_t>(n), ' ');
    }
  }
  for (; src < text.size(); ++src) out += convert(text[src]);  // what is left goes at the end
  return out;
}

// ---- Dates --------------------------------------------------------------------------------------

constexpr std::array<std::string_view, 12> kMonthNames = {
    "gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
    "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};
constexpr std::array<std::string_view, 7> kDayNames = {
    "domenica", "luned\xEC", "marted\xEC", "mercoled\xEC", "gioved\xEC", "venerd\xEC", "sabato"};

std::string two(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

std::string format_date(const DateTime& v, const Mask& m);

std::string format_date_mask(const DateTime& v, std::string_view mask) {
  return format_date(v, parse(mask));
}

std::string format_date(const DateTime& v, const Mask& m) {
  const Section& sec = m.sections[0];
  const int64_t days = detail::days_from_civil(v.year, v.month, v.day);
  const int weekday = static_cast<int>(((days % 7) + 11) % 7);  // 0 = Sunday; 1970-01-01 was a Thursday
  const int64_t jan1 = detail::days_from_civil(v.year, 1, 1);
  const int day_of_year = static_cast<int>(days - jan1) + 1;
  const int jan1_weekday = static_cast<int>(((jan1 % 7) + 11) % 7);
  const int hour12 = v.hour == 0 ? 12 : v.hour > 12 ? v.hour - 12 : v.hour;
  const int hour = sec.twelve_hours ? hour12 : v.hour;
  const bool pm = v.hour >= 12;
  std::string out;
  for (const Token& t : sec.tokens) {
    switch (t.kind) {
      case Tok::kLiteral: out += t.text; break;
      case Tok::kDateSep: out += '/'; break;
      case Tok::kTimeSep: out += ':'; break;
      case Tok::kDay: out += std::to_string(v.day); break;
      case Tok::kDay0: out += two(v.day); break;
      case Tok::kDayShort: out += kDayNames[static_cast<size_t>(weekday)].substr(0, 3); break;
      case Tok::kDayLong: out += kDayNames[static_cast<size_t>(weekday)]; break;
      case Tok::kDateShort: out += format_date_mask(v, "dd/mm/yyyy"); break;
      case Tok::kDateLong: out += format_date_mask(v, "dddd d mmmm yyyy"); break;
      case Tok::kWeekday: out += std::to_string(weekday + 1); break;
      case Tok::kWeek: out += std::to_string((day_of_year - 1 + jan1_weekday) / 7 + 1); break;
      case Tok::kMonth: out += std::to_string(v.month); break;
      case Tok::kMonth0: out += two(v.month); break;
      case Tok::kMonthShort: out += kMonthNames[static_cast<size_t>(v.month - 1)].substr(0, 3); break;
      case Tok::kMonthLong: out += kMonthNames[static_cast<size_t>(v.month - 1)]; break;
      case Tok::kDayOfYear: out += std::to_string(day_of_year); break;
      case Tok::kYear2: out += two(v.year % 100); break;
      case Tok::kYear4: out += std::to_string(v.year); break;
      case Tok::kHour: out += std::to_string(hour); break;
      case Tok::kHour0: out += two(hour); break;
      case Tok::kMinute: out += std::to_string(v.minute); break;
      case Tok::kMinute0: out += two(v.minute); break;
      case Tok::kSecond: out += std::to_string(v.second); break;
      case Tok::kSecond0: out += two(v.second); break;
      case Tok::kQuarter: out += std::to_string((v.month - 1) / 3 + 1); break;
      case Tok::kAmPm: out += t.lower ? (pm ? "pm" : "am") : (pm ? "PM" : "AM"); break;
      case Tok::kAP: out += t.lower ? (pm ? "p" : "a") : (pm ? "P" : "A"); break;
      case Tok::kAmPmLocale: out += pm ? "PM" : "AM"; break;
      case Tok::kGeneralDate: out += detail::general_date(v); break;
      case Tok::kLongTime: out += format_date_mask(v, "hh:nn:ss"); break;
      default: break;
    }
  }
  return out;
}

// ---- Entry points -------------------------------------------------------------------------------

// A number given both as its digits and as a double (for masks that read it as a date).
std::string format_number_value(const Decimal& digits, double value, std::string_view mask) {
  const Locale& loc = locale();
  const Resolved r = resolve(mask);
  switch (r.special) {
    case Special::kNone: break;
    case Special::kGeneralNumber: return detail::general(digits, loc.decimal);
    case Special::kGeneralDate: return detail::general_date(DateTime::from_serial(value));
    default: return boolean_text(r.special, !digits.zero());
  }
  if (r.mask.empty()) return detail::general(digits, loc.decimal);
  const Mask m = parse(r.mask);
  switch (m.type) {
    case Type::kDate: return format_date(DateTime::from_serial(value), m);
    case Type::kString: return format_text(detail::general(digits, loc.decimal), m);
    default: return format_number(digits, m, loc);
  }
}

}  // namespace

namespace detail {
std::string general_date(const DateTime& value) {
  const bool day_zero = value.year == 1899 && value.month == 12 && value.day == 30;
  const bool midnight = value.hour == 0 && value.minute == 0 && value.second == 0;
  if (day_zero) return format_date_mask(value, "hh:nn:ss");
  if (midnight) return format_date_mask(value, "dd/mm/yyyy");
  return format_date_mask(value, "dd/mm/yyyy hh:nn:ss");
}
}  // namespace detail

std::string Format(double value, std::string_view mask) {
  if (!std::isfinite(value)) return detail::non_finite(value);
  return format_number_value(detail::decimal_of(value), value, mask);
}

std::string Format(int64_t value, std::string_view mask) {
  return format_number_value(detail::decimal_of(value), static_cast<double>(value), mask);
}

std::string Format(std::string_view text, std::string_view mask) {
  const Resolved r = resolve(mask);
  const Mask m = parse(r.mask);
  if (r.special == Special::kNone && m.type == Type::kString) return format_text(text, m);
  if (IsNumeric(text)) {
    try {
      return Format(CDbl(text), mask);
    } catch (const VbError&) {
      return std::string(text);  // too large for a Double: shown as it is
    }
  }
  if (r.special == Special::kGeneralDate || (r.special == Special::kNone && m.type == Type::kDate)) {
    DateTime date;
    if (ParseDate(text, date)) return FormatDate(date, mask);
  }
  return std::string(text);
}

std::string FormatDate(const DateTime& value, std::string_view mask) {
  const Resolved r = resolve(mask);
  switch (r.special) {
    case Special::kNone: break;
    case Special::kGeneralNumber: return detail::general(detail::decimal_of(value.serial()), locale().decimal);
    case Special::kGeneralDate: return detail::general_date(value);
    default: return boolean_text(r.special, value.serial() != 0);
  }
  if (r.mask.empty()) return detail::general_date(value);
  const Mask m = parse(r.mask);
  switch (m.type) {
    case Type::kNumber: return format_number(detail::decimal_of(value.serial()), m, locale());
    case Type::kString: return format_text(detail::general_date(value), m);
    default: return format_date(value, m);
  }
}

}  // namespace kyx::vb
