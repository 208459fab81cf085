#include "engine/agganci_motore.h"

namespace kyx::agganci_motore {

std::function<void()> Imposta_Bar;
std::function<void()> Griglia_Elaborazione;
std::function<void(int16_t)> Livelli_Nascosti;
std::function<std::string(bool)> Testo_Nodo_Layout;
std::function<void(const std::string&)> Imposta_Titolo;
std::function<bool()> Richiesta_Server;
std::function<void()> Esegui_Select;
std::function<void()> Query_Colonne;
std::function<void()> Crea_Risultato;
std::function<void()> Righe_Fisse;
std::function<void()> Esegui_Query;
std::function<void()> Unisci_Righe;
std::function<void()> Righe_Subtotale;
std::function<void()> Riga_Totale;
std::function<void()> Termina_Elaborazione;

void reset() {
  Imposta_Bar = nullptr;
  Griglia_Elaborazione = nullptr;
  Livelli_Nascosti = nullptr;
  Testo_Nodo_Layout = nullptr;
  Imposta_Titolo = nullptr;
  Richiesta_Server = nullptr;
  Esegui_Select = nullptr;
  Query_Colonne = nullptr;
  Crea_Risultato = nullptr;
  Righe_Fisse = nullptr;
  Esegui_Query = nullptr;
  Unisci_Righe = nullptr;
  Righe_Subtotale = nullptr;
  Riga_Totale = nullptr;
  Termina_Elaborazione = nullptr;
}

}  // namespace kyx::agganci_motore
