// Formulas of calculated columns as users type them into layouts: any bytes. The value must be a
// finite number and the level -1 or more, and reading the same text again (from the tree kept for
// it) must give the same value and level.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/modello.h"
#include "engine/stato_motore.h"
#include "engine/x_evaluate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kyx;
  static const bool pronto = [] {
    Numero_Colonne = 12;
    for (size_t c = 0; c <= 12; ++c) {
      Valori_Riga[c] = static_cast<double>(c) * 1.5 - 4;
      Totali[0][c] = static_cast<double>(c) * 100;
      Totali[2][c] = -static_cast<double>(c);
      Col_Precedenza[c] = c % 5 == 4 ? -1 : static_cast<int32_t>(c % 3);
    }
    Livello_Subtotale = 2;
    return true;
  }();
  (void)pronto;
  const std::string_view formula(reinterpret_cast<const char*>(data), size);
  const double valore = Evaluate(formula);
  const int32_t livello = Evaluate_Livello(formula);
  if (!std::isfinite(valore) || livello < -1) std::abort();
  const double ancora = Evaluate(formula);
  if (!(ancora == valore) || Evaluate_Livello(formula) != livello) std::abort();
  return 0;
}
