#include "engine/elaborazione.h"

#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/agganci_motore.h"
#include "engine/campi.h"
#include "engine/esecuzione_query.h"
#include "engine/fine_elaborazione.h"
#include "engine/modello_colonne.h"
#include "engine/modi_esecuzione.h"
#include "engine/query_elaborazione.h"
#include "engine/righe_totale.h"
#include "engine/risultato.h"
#include "engine/scambio_server.h"
#include "engine/stato_motore.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cerca;
using motore::Numero;

// Phase A: the structure tables hold what the run needs, and stand on the layout, its first
// element row and the information system.
bool Posiziona_Struttura() {
  if (motore::Vuota(Rs_Chiavi.get()) || motore::Vuota(Rs_Valori.get()) || motore::Vuota(Rs_Layout.get()) ||
      motore::Vuota(Rs_Lay_Elem.get()))
    return false;
  if (!Cerca(Rs_Layout.get(), {int64_t{Layout_Corrente}})) return false;
  if (!Cerca(Rs_Lay_Elem.get(), {int64_t{Layout_Corrente}})) return false;
  if (!Cerca(Rs_Sinf.get(), {Sistema_Informativo})) return false;
  return true;
}

int16_t Intero(int64_t v) { return v < INT16_MIN || v > INT16_MAX ? int16_t{0} : static_cast<int16_t>(v); }

}  // namespace

bool Esegui_Elaborazione() {
  // A
  if (!Posiziona_Struttura()) return false;
  Sinf_Idx_Key = Intero(Numero(*Rs_Sinf, "IDX_KEY"));
  Sinf_Idx_Max = Intero(Numero(*Rs_Sinf, "IDX_MAX"));
  ++Storico_Ultimo;
  Elaborazione_Corrente = Storico_Ultimo;
  Troppe_Colonne = false;
  Voci_Esaurite = false;
  Formule_Oltre_Limiti = false;
  if (agganci_motore::Imposta_Bar) agganci_motore::Imposta_Bar();

  // B, C
  Chiavi_Riga();
  Filtri_Elaborazione();
  Titolo_Elaborazione();

  // D, E, F, G
  Azzera_Modello_Colonne();
  Modello_Colonne();

  // H
  Risposta_Server_Fallita = false;
  if (Dialetto_Server() && !Richiesta_Layout_Server()) return false;
  if (!Apri_Database_Modo()) return false;

  // I
  Componi_Query();

  // K .. R. N runs every query and merges it (O) at once; between its two passes come the zero,
  // head and subtotal rows (P).
  // A reply of the server that failed (its message shown) ends the run without a result: a
  // result built without it would be wrong, and would be saved into the history.
  Query_Colonne();
  if (Risposta_Server_Fallita) return false;
  Crea_Risultato();
  Righe_Fisse();
  Esegui_Query();
  if (Risposta_Server_Fallita) return false;
  Riga_Totale();
  return Termina_Elaborazione();
}

}  // namespace kyx
