#include "common/agganci.h"

namespace kyx::agganci {

std::function<bool()> XPStyle_Inizializza;
std::function<void(int32_t&)> frmPassword_Carica;
std::function<int32_t(const std::string&, int32_t, int32_t, int32_t, uint8_t, int32_t)>
    Stampanti_Crea_Font;
std::function<int32_t(int32_t, int32_t)> Stampanti_Seleziona;
std::function<int32_t(int32_t, const std::string&)> Stampanti_Larghezza_Testo;
std::function<int32_t(int32_t)> Stampanti_Elimina_Oggetto;
std::function<void(const std::string&)> Tooltip_Stampa;

void reset() {
  XPStyle_Inizializza = nullptr;
  frmPassword_Carica = nullptr;
  Stampanti_Crea_Font = nullptr;
  Stampanti_Seleziona = nullptr;
  Stampanti_Larghezza_Testo = nullptr;
  Stampanti_Elimina_Oggetto = nullptr;
  Tooltip_Stampa = nullptr;
}

}  // namespace kyx::agganci
