#include "engine/agganci_motore.h"

#include "engine/esecuzione_query.h"
#include "engine/modi_esecuzione.h"
#include "engine/righe_livello.h"
#include "engine/righe_totale.h"
#include "engine/risultato.h"
#include "engine/unione_righe.h"
#include "platform/data/recordset.h"

namespace kyx::agganci_motore {

std::function<void()> Imposta_Bar;
std::function<std::string(bool)> Testo_Nodo_Layout;
std::function<void(const std::string&)> Imposta_Titolo;
std::function<void(float, float)> Imposta_Progresso;
std::function<void()> Esegui_Select;
std::function<void()> Query_Colonne;
std::function<void()> Crea_Risultato;
std::function<void()> Righe_Fisse;
std::function<void()> Esegui_Query;
std::function<void(int16_t, int32_t, int32_t)> Unisci_Righe;
std::function<void()> Righe_Subtotale;
std::function<void()> Espandi_Righe_R;
std::function<void()> Riga_Totale;
std::function<void()> Termina_Elaborazione;

void reset() {
  Imposta_Bar = nullptr;
  Testo_Nodo_Layout = nullptr;
  Imposta_Titolo = nullptr;
  Imposta_Progresso = nullptr;
  // The column-key lists and their columns are one step (K); J has nothing left of its own.
  Esegui_Select = nullptr;
  // The phases the engine carries out itself.
  Query_Colonne = [] { kyx::Query_Colonne(); };
  Crea_Risultato = [] { kyx::Crea_Risultato(); };
  Righe_Fisse = [] { kyx::Righe_Fisse(); };
  Esegui_Query = [] { kyx::Esegui_Query(); };
  Unisci_Righe = [](int16_t q, int32_t p, int32_t l) { kyx::Unisci_Righe(q, p, l); };
  Righe_Subtotale = [] { kyx::Righe_Subtotale(); };
  Espandi_Righe_R = [] { kyx::Espandi_Righe_R(); };
  Riga_Totale = [] { kyx::Riga_Totale(); };
  Termina_Elaborazione = nullptr;
}

namespace {
// The engine's own phases are in place from the start.
const bool kPronti = (reset(), true);
}  // namespace

}  // namespace kyx::agganci_motore
