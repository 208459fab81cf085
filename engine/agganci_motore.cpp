#include "engine/agganci_motore.h"

#include "engine/risultato.h"

namespace kyx::agganci_motore {

std::function<void()> Imposta_Bar;
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
  Testo_Nodo_Layout = nullptr;
  Imposta_Titolo = nullptr;
  Richiesta_Server = nullptr;
  Esegui_Select = nullptr;
  Query_Colonne = nullptr;
  // The phases the engine carries out itself.
  Crea_Risultato = [] { kyx::Crea_Risultato(); };
  Righe_Fisse = [] { kyx::Righe_Fisse(); };
  Esegui_Query = nullptr;
  Unisci_Righe = nullptr;
  Righe_Subtotale = nullptr;
  Riga_Totale = nullptr;
  Termina_Elaborazione = nullptr;
}

namespace {
// The engine's own phases are in place from the start.
const bool kPronti = (reset(), true);
}  // namespace

}  // namespace kyx::agganci_motore
