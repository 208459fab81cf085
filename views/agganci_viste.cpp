#include "views/agganci_viste.h"

namespace kyx::agganci_viste {

std::function<Controlli()> Griglia;
std::function<void()> Ridimensiona;
std::function<void()> KyHead_Aggiorna;
std::function<void(bool)> Abilita_Base;
std::function<void(int16_t)> Imposta_Puntatore;
std::function<void()> Visualizza_Grafico;

Controlli Controlli_Griglia() { return Griglia ? Griglia() : Controlli{}; }

void reset() {
  Griglia = nullptr;
  Ridimensiona = nullptr;
  KyHead_Aggiorna = nullptr;
  Abilita_Base = nullptr;
  Imposta_Puntatore = nullptr;
  Visualizza_Grafico = nullptr;
}

}  // namespace kyx::agganci_viste
