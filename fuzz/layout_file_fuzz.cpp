// The layout file reader on arbitrary bytes: it must answer good or refused without crashing,
// and a good answer never holds a column count, a level or a filter operator out of range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "layouts/file_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view byte(reinterpret_cast<const char*>(data), size);
  static kyx::Contenuto_Layout contenuto;  // large: kept out of the stack
  std::string messaggio;
  if (kyx::Leggi_Contenuto_Layout(byte, contenuto, messaggio)) {
    for (const kyx::Filtro_Salvato& f : contenuto.Filtri) {
      if (f.Operatore < 1 || f.Operatore > 3) std::abort();
    }
  } else if (messaggio.empty()) {
    std::abort();  // a refusal always says why
  }
  return 0;
}
