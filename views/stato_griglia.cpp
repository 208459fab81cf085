#include "views/stato_griglia.h"

namespace kyx {

int32_t Riga_Evidenziata = -1;
int16_t Righe_Visibili = 0;
int16_t Riga_Parziale = 0;
int32_t Altezza_Riga = 0;
int16_t Colonna_Corrente = 0;
int32_t Riga_Corrente = 0;
std::array<int16_t, 255> Colonne_Scorrevoli{};
int16_t Numero_Colonne_Scorrevoli = 0;
bool Griglia_In_Aggiornamento = false;
int16_t Modo_Precedente = 0;
Stato_Testata KyHead_Stato;

namespace stato_griglia {
void reset() {
  Riga_Evidenziata = -1;
  Righe_Visibili = 0;
  Riga_Parziale = 0;
  Altezza_Riga = 0;
  Colonna_Corrente = 0;
  Riga_Corrente = 0;
  Colonne_Scorrevoli.fill(0);
  Numero_Colonne_Scorrevoli = 0;
  Griglia_In_Aggiornamento = false;
  Modo_Precedente = 0;
  KyHead_Stato = Stato_Testata{};
}
}  // namespace stato_griglia

}  // namespace kyx
