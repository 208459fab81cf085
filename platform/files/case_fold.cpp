#include "platform/files/case_fold.h"

namespace kyx::files {

char fold_case(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  // Upper-case letters of the code page: À..Þ except the multiplication sign, and the four
  // capitals in the 0x80 block (Š, Œ, Ž, Ÿ), whose small forms are elsewhere in that block.
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  switch (b) {
    case 0x8A: return '\x9A';  // Š
    case 0x8C: return '\x9C';  // Œ
    case 0x8E: return '\x9E';  // Ž
    case 0x9F: return '\xFF';  // Ÿ
    default: return c;
  }
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (fold_case(a[i]) != fold_case(b[i])) return false;
  }
  return true;
}

}  // namespace kyx::files
