#include "platform/data/adtg_tokens.h"

namespace kyx::data::adtg {

namespace {

// 0x80..0x9F of Windows-1252; the five unassigned bytes keep their own value, as Windows does.
constexpr uint16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

uint16_t Cp1252ToUnit(unsigned char c) { return c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c; }

char UnitToCp1252(uint16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == u) return static_cast<char>(0x80 + i);
  return '?';
}

void AppendUtf16(std::string_view cp1252, std::string* out) {
  size_t at = out->size();
  out->resize(at + 2 * cp1252.size());
  char* p = out->data() + at;
  for (unsigned char c : cp1252) {
    uint16_t u = Cp1252ToUnit(c);
    *p++ = static_cast<char>(u & 0xFF);
    *p++ = static_cast<char>(u >> 8);
  }
}

void Utf16ToCp1252(const unsigned char* utf16, size_t units, std::string* out) {
  out->clear();
  out->reserve(units);
  for (size_t i = 0; i < units; ++i) {
    uint16_t u = static_cast<uint16_t>(utf16[2 * i] | (utf16[2 * i + 1] << 8));
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
      uint16_t next = static_cast<uint16_t>(utf16[2 * i + 2] | (utf16[2 * i + 3] << 8));
      if (next >= 0xDC00 && next < 0xE000) ++i;  // one character, one '?'
    }
    out->push_back(UnitToCp1252(u));
  }
}

}  // namespace kyx::data::adtg
