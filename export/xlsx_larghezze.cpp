#include "export/xlsx_larghezze.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kyx {
namespace {

// Advances of the printable ASCII characters 32..126 in the common proportional sans-serif face
// (Helvetica's published metrics, which Arial and Liberation Sans share), in thousandths of an
// em; a digit is 556.
constexpr std::array<int, 95> kAvanzamenti = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,   // ' ' .. '/'
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,   // '0' .. '?'
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // '@' .. 'O'
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,   // 'P' .. '_'
    333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,   // '`' .. 'o'
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,        // 'p' .. '~'
};
constexpr double kCifra = 556.0;

// The advance of a Windows-1252 character beyond ASCII: accented letters as their base letter,
// the rest (symbols, ligatures, the euro sign) as the widest common characters.
int Avanzamento_Esteso(unsigned char c) {
  // The base letters of 0xC0..0xFF (a blank where the character is no accented letter).
  static constexpr char kBase[] = "AAAAAA CEEEEIIII NOOOOO OUUUUY  aaaaaa ceeeeiiii nooooo ouuuuy y";
  if (c >= 0xC0) {
    const char b = kBase[c - 0xC0];
    if (b != ' ') return kAvanzamenti[static_cast<size_t>(b - 32)];
  }
  return 1000;
}

}  // namespace

double XLSX_Cifre_Testo(std::string_view Testo) {
  double cifre = 0;
  for (char ch : Testo) {
    const auto c = static_cast<unsigned char>(ch);
    const int a = c >= 32 && c <= 126 ? kAvanzamenti[c - 32] : (c < 32 ? 278 : Avanzamento_Esteso(c));
    cifre += std::max(1.0, a / kCifra);
  }
  return cifre;
}

int XLSX_Larghezza_Testo(std::string_view Testo) {
  const int w = static_cast<int>(std::ceil(XLSX_Cifre_Testo(Testo) + 1.0 - 1e-9));
  return w < 3 ? 3 : w;
}

}  // namespace kyx
