#include "platform/text/path_text.h"

#include "platform/text/cp1252.h"

namespace kyx::text {

namespace {

// True when the bytes form well-made UTF-8 (ASCII included).
bool well_formed_utf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    if (b < 0x80) n = 0;
    else if ((b & 0xE0) == 0xC0 && b >= 0xC2) n = 1;
    else if ((b & 0xF0) == 0xE0) n = 2;
    else if ((b & 0xF8) == 0xF0 && b <= 0xF4) n = 3;
    else return false;
    for (std::size_t k = 1; k <= n; ++k) {
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n + 1;
  }
  return true;
}

}  // namespace

std::string path_to_utf8(std::string_view text) {
  if (well_formed_utf8(text)) return std::string(text);
  return to_utf8(text);
}

}  // namespace kyx::text
