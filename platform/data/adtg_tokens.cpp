#include "platform/data/adtg_tokens.h"

#include "platform/text/cp1252.h"

namespace kyx::data::adtg {

uint16_t Cp1252ToUnit(unsigned char c) { return static_cast<uint16_t>(text::code_point(c)); }

char UnitToCp1252(uint16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (int c = 0x80; c < 0xA0; ++c)
    if (text::code_point(static_cast<unsigned char>(c)) == u) return static_cast<char>(c);
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
