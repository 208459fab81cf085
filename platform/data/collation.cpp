#include "platform/data/collation.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/text/cp1252.h"

namespace kyx::data {

namespace {

struct Tables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> primary{};  // the plain upper-case letter, or the byte itself
  std::array<uint16_t, 0x2200> from_unicode{};  // code point -> cp1252 byte + 1 (0 = none)

  Tables() {
    for (int b = 0; b < 256; ++b) {
      upper[b] = static_cast<unsigned char>(text::to_upper(static_cast<char>(b)));
    }
    for (int b = 0; b < 256; ++b) {
      int u = upper[b];
      int p = u;
      if (u >= 0xC0 && u <= 0xC6) p = 'A';
      else if (u == 0xC7) p = 'C';
      else if (u >= 0xC8 && u <= 0xCB) p = 'E';
      else if (u >= 0xCC && u <= 0xCF) p = 'I';
      else if (u == 0xD0) p = 'D';
      else if (u == 0xD1) p = 'N';
      else if ((u >= 0xD2 && u <= 0xD6) || u == 0xD8 || u == 0x8C) p = 'O';
      else if (u >= 0xD9 && u <= 0xDC) p = 'U';
      else if (u == 0xDD || u == 0x9F) p = 'Y';
      else if (u == 0xDE) p = 'T';
      else if (u == 0xDF || u == 0x8A) p = 'S';
      else if (u == 0x8E) p = 'Z';
      primary[b] = static_cast<unsigned char>(p);
    }
    for (int b = 0; b < 256; ++b) {
      char32_t cp = text::code_point(static_cast<unsigned char>(b));
      if (cp < from_unicode.size()) from_unicode[cp] = static_cast<uint16_t>(b + 1);
    }
  }
};

// Built at the first comparison. Inlined: every key comparison of an index walk asks for the
// tables, and once built the question is one test of the guard.
[[gnu::always_inline]] inline const Tables& T() {
  static const Tables tables;
  return tables;
}

// A character's two weights: primary (plain letter) and secondary (the accented upper-case
// form). Characters outside Windows-1252 weigh after every character of the code page.
struct Weight {
  uint32_t primary;
  uint32_t secondary;
};

inline Weight WeighByte(unsigned char c) {
  const Tables& t = T();
  return {t.primary[c], t.upper[c]};
}

std::string_view TrimBlanks(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

// Reads one UTF-8 character at s[i] and advances i.
Weight NextUtf8(std::string_view s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    ++i;
    return WeighByte(c);
  }
  int len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return {0x200000u + c, 0x200000u + c};
  }
  char32_t cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += len;
  const Tables& t = T();
  if (cp < t.from_unicode.size() && t.from_unicode[cp] != 0)
    return WeighByte(static_cast<unsigned char>(t.from_unicode[cp] - 1));
  return {0x100u + cp, 0x100u + cp};
}

// Two-level comparison: the plain letters of the whole texts first, then the first accent
// difference. Case never counts.
template <typename Next>
int CompareWith(std::string_view a, std::string_view b, Next next) {
  a = TrimBlanks(a);
  b = TrimBlanks(b);
  size_t i = 0, j = 0;
  int secondary = 0;
  while (i < a.size() && j < b.size()) {
    Weight wa = next(a, i);
    Weight wb = next(b, j);
    if (wa.primary != wb.primary) return wa.primary < wb.primary ? -1 : 1;
    if (secondary == 0 && wa.secondary != wb.secondary) secondary = wa.secondary < wb.secondary ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return secondary;
}

// The common case of plain ASCII texts, without the two-level walk: an ASCII character's plain
// letter is its upper-case form, so the first difference decides and no accent difference can
// be pending. At the first byte above 0x7F in either text the general comparison takes over from
// that point (both texts have consumed the same number of one-byte characters there). The index
// lookups of the loaders call this for every key comparison.
template <typename Next>
int CompareFast(std::string_view a, std::string_view b, Next next) {
  a = TrimBlanks(a);
  b = TrimBlanks(b);
  const unsigned char* upper = T().upper.data();
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  size_t i = 0;
  // Keys of one table mostly share a head ("ART-000..."): equal ASCII runs are passed over eight
  // bytes at a time (equal ASCII bytes are equal characters, with nothing pending).
  for (; i + 8 <= n; i += 8) {
    uint64_t wa, wb;
    std::memcpy(&wa, a.data() + i, 8);
    std::memcpy(&wb, b.data() + i, 8);
    if (wa != wb || (wa & 0x8080808080808080ull) != 0) break;
  }
  for (; i < n; ++i) {
    const unsigned char ca = static_cast<unsigned char>(a[i]);
    const unsigned char cb = static_cast<unsigned char>(b[i]);
    if ((ca | cb) & 0x80) return CompareWith(a.substr(i), b.substr(i), next);
    if (ca == cb) continue;
    const unsigned char ua = upper[ca], ub = upper[cb];
    if (ua != ub) return ua < ub ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() > b.size() ? 1 : -1;
}

}  // namespace

unsigned char JetUpper(unsigned char c) { return T().upper[c]; }

unsigned char JetPrimary(unsigned char c) { return T().primary[c]; }

int JetCompare(std::string_view a, std::string_view b) {
  return CompareFast(a, b, [](std::string_view s, size_t& i) { return WeighByte(static_cast<unsigned char>(s[i++])); });
}

int JetCompareUtf8(std::string_view a, std::string_view b) { return CompareFast(a, b, NextUtf8); }

bool JetLike(std::string_view text, std::string_view pattern) {
  text = TrimBlanks(text);
  const Tables& t = T();
  // One character in brackets ("[*]") stands for itself, so that a pattern can hold a star or a
  // percent sign taken from typed text; any other "[" is an ordinary character.
  const auto literal = [&pattern](size_t p, unsigned char* c) -> size_t {
    if (pattern[p] == '[' && p + 2 < pattern.size() && pattern[p + 2] == ']') {
      *c = static_cast<unsigned char>(pattern[p + 1]);
      return 3;
    }
    *c = static_cast<unsigned char>(pattern[p]);
    return 1;
  };
  const auto is_star = [&pattern](size_t p) { return pattern[p] == '*' || pattern[p] == '%'; };
  // Iterative wildcard match with back-tracking to the last star.
  size_t ti = 0, pi = 0, star = std::string_view::npos, mark = 0;
  while (ti < text.size()) {
    unsigned char c = 0;
    const size_t width = pi < pattern.size() && !is_star(pi) ? literal(pi, &c) : 0;
    if (pi < pattern.size() && is_star(pi)) {
      star = pi++;
      mark = ti;
    } else if (width > 0 && t.upper[c] == t.upper[static_cast<unsigned char>(text[ti])]) {
      pi += width;
      ++ti;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      ti = ++mark;
    } else {
      return false;
    }
  }
  while (pi < pattern.size() && is_star(pi)) ++pi;
  // A pattern whose rest is only blanks still matches the trimmed text.
  while (pi < pattern.size() && pattern[pi] == ' ') ++pi;
  return pi == pattern.size();
}

}  // namespace kyx::data
