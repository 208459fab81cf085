#include "engine/agganci_motore.h"

namespace kyx::agganci_motore {

std::function<void()> Imposta_Bar;
std::function<void()> Ridimensiona;
std::function<std::string(bool)> Testo_Nodo_Layout;
std::function<void(const std::string&)> Imposta_Titolo;
std::function<void(float, float)> Imposta_Progresso;
std::function<void()> Completa_Progresso;
std::function<void()> Nascondi_Progresso;
std::function<void()> Mostra_Banner;
std::function<void(int32_t, int16_t, int16_t)> Visualizza_Larghezza_Colonne;
std::function<void(const std::string&, int16_t)> Salva_Layout;

void reset() {
  Imposta_Bar = nullptr;
  Ridimensiona = nullptr;
  Testo_Nodo_Layout = nullptr;
  Imposta_Titolo = nullptr;
  Imposta_Progresso = nullptr;
  Completa_Progresso = nullptr;
  Nascondi_Progresso = nullptr;
  Mostra_Banner = nullptr;
  Visualizza_Larghezza_Colonne = nullptr;
  Salva_Layout = nullptr;
}

}  // namespace kyx::agganci_motore
