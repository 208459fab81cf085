#include "layouts/stato_layout.h"

namespace kyx {

int16_t Area_Corrente = 0;
int16_t Chiave_Corrente = 0;
std::array<std::string, 9> Parametri_Descrizione;
std::array<uint8_t, 256> Col_Visibile_Memoria{};
int16_t Colonne_Bloccate_Memoria = 0;
int16_t Colonna_Ordinamento_Memoria = 0;
std::string Verso_Ordinamento_Memoria;

void stato_layout::reset() {
  Area_Corrente = 0;
  Chiave_Corrente = 0;
  Parametri_Descrizione.fill("");
  Col_Visibile_Memoria.fill(0);
  Colonne_Bloccate_Memoria = 0;
  Colonna_Ordinamento_Memoria = 0;
  Verso_Ordinamento_Memoria.clear();
}

}  // namespace kyx
