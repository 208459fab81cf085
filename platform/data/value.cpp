#include "platform/data/value.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/text/cp1252.h"

namespace kyx::data {

namespace {

// Code point -> cp1252 byte for the 0x80..0x9F block (the only part that is not Latin-1).
struct ReverseTable {
  std::array<char32_t, 32> high{};
  ReverseTable() {
    for (int b = 0x80; b < 0xA0; ++b) high[b - 0x80] = text::code_point(static_cast<unsigned char>(b));
  }
  int ByteOf(char32_t cp) const {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0xA0 && cp <= 0xFF) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
      if (high[i] == cp) return 0x80 + i;
    return -1;
  }
};

const ReverseTable& Reverse() {
  static const ReverseTable table;
  return table;
}

// Round half to even, as CLng rounds.
int64_t RoundHalfEven(double d) {
  double r = std::nearbyint(d);  // default rounding mode is to nearest, ties to even
  if (r >= 9.2233720368547758e18) return INT64_MAX;
  if (r <= -9.2233720368547758e18) return INT64_MIN;
  return static_cast<int64_t>(r);
}

}  // namespace

bool IsAscii(std::string_view text) {
  // Eight bytes at a time: every text bound to a statement or read from one passes here.
  const char* p = text.data();
  size_t n = text.size();
  uint64_t high = 0;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    high |= w;
  }
  for (; n > 0; ++p, --n) high |= static_cast<unsigned char>(*p);
  return (high & 0x8080808080808080ull) == 0;
}

void Cp1252ToUtf8(std::string_view cp1252, std::string* out) {
  out->clear();
  if (IsAscii(cp1252)) {
    out->assign(cp1252);
    return;
  }
  out->reserve(cp1252.size() * 2);
  for (unsigned char c : cp1252) {
    if (c < 0x80) {
      out->push_back(static_cast<char>(c));
      continue;
    }
    char32_t cp = text::code_point(c);
    if (cp < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
}

void Utf8ToCp1252(std::string_view utf8, std::string* out) {
  out->clear();
  if (IsAscii(utf8)) {
    out->assign(utf8);
    return;
  }
  out->reserve(utf8.size());
  size_t i = 0, n = utf8.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out->push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    int len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    char32_t cp = 0;
    bool good = len != 0 && i + len <= n;
    if (good) {
      cp = c & (0x7F >> len);
      for (int k = 1; k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
        if ((cc & 0xC0) != 0x80) {
          good = false;
          break;
        }
        cp = (cp << 6) | (cc & 0x3F);
      }
    }
    if (!good) {
      out->push_back('?');
      ++i;
      continue;
    }
    int b = Reverse().ByteOf(cp);
    out->push_back(b < 0 ? '?' : static_cast<char>(b));
    i += len;
  }
}

bool ParseNumber(std::string_view s, Value* out) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
  if (a == b) return false;
  std::string_view t = s.substr(a, b - a);
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  size_t digits = 0;
  bool integral = true;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    integral = false;
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    integral = false;
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exp_digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exp_digits;
    if (exp_digits == 0) return false;
  }
  if (i != t.size()) return false;
  std::string buf(t);
  if (integral) {
    int64_t v = 0;
    const char* first = buf.c_str() + (buf[0] == '+' ? 1 : 0);
    auto r = std::from_chars(first, buf.c_str() + buf.size(), v);
    if (r.ec == std::errc() && r.ptr == buf.c_str() + buf.size()) {
      if (out) *out = Value(v);
      return true;
    }
  }
  if (out) *out = Value(std::strtod(buf.c_str(), nullptr));
  return true;
}

int64_t Value::AsInteger() const {
  switch (kind()) {
    case Kind::Null: return 0;
    case Kind::Integer: return integer();
    case Kind::Double: return RoundHalfEven(real());
    case Kind::Text: {
      Value v;
      if (!ParseNumber(text(), &v)) return 0;
      return v.AsInteger();
    }
  }
  return 0;
}

double Value::AsDouble() const {
  switch (kind()) {
    case Kind::Null: return 0;
    case Kind::Integer: return static_cast<double>(integer());
    case Kind::Double: return real();
    case Kind::Text: {
      Value v;
      if (!ParseNumber(text(), &v)) return 0;
      return v.AsDouble();
    }
  }
  return 0;
}

std::string Value::AsText() const {
  switch (kind()) {
    case Kind::Null: return std::string();
    case Kind::Integer: return std::to_string(integer());
    case Kind::Double: {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%.15g", real());
      return buf;
    }
    case Kind::Text: return text();
  }
  return std::string();
}

const std::string& Value::Empty() {
  static const std::string empty;
  return empty;
}

bool Value::operator==(const Value& other) const {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case Kind::Null: return true;
    case Kind::Integer: return bits_ == other.bits_;
    case Kind::Double: return real() == other.real();
    case Kind::Text: return text_ == other.text_;
  }
  return false;
}

}  // namespace kyx::data
