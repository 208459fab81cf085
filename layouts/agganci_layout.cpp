#include "layouts/agganci_layout.h"

namespace kyx::agganci_layout {

std::function<std::string()> Titolo_Elaborazione;
std::function<std::string()> Leggi_Chiave_Layout;
std::function<void(const std::string&)> Imposta_Chiave_Layout;
std::function<bool(const std::string&)> Segna_Layout;
std::function<void(int16_t, const std::string&, const std::string&, uint8_t, const std::string&, bool)>
    Carica_Filtro_Modifica;
std::function<void()> Carica_Albero_Chiavi;
std::function<void()> Carica_Albero_Struttura;
std::function<void()> Ridimensiona;

void reset() {
  Titolo_Elaborazione = nullptr;
  Leggi_Chiave_Layout = nullptr;
  Imposta_Chiave_Layout = nullptr;
  Segna_Layout = nullptr;
  Carica_Filtro_Modifica = nullptr;
  Carica_Albero_Chiavi = nullptr;
  Carica_Albero_Struttura = nullptr;
  Ridimensiona = nullptr;
}

}  // namespace kyx::agganci_layout
