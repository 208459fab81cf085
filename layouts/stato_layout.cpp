#include "layouts/stato_layout.h"

namespace kyx {

int16_t Area_Corrente = 0;
int16_t Chiave_Corrente = 0;
std::array<std::string, 9> Parametri_Descrizione;

void stato_layout::reset() {
  Area_Corrente = 0;
  Chiave_Corrente = 0;
  Parametri_Descrizione.fill("");
}

}  // namespace kyx
