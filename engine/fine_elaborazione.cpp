#include "engine/fine_elaborazione.h"

#include <memory>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "engine/agganci_motore.h"
#include "engine/modi_esecuzione.h"
#include "engine/precedenze.h"
#include "engine/ricalcola_colonne.h"
#include "engine/ricalcolo_subtotali.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/host/host.h"

namespace kyx {
namespace {

void Chiama(const std::function<void()>& servizio) {
  if (servizio) servizio();
}

// The display recordset: every row of DATI copied to the client, then cut loose from the
// connection, so that sorts, filters and the derived columns work on the copy alone.
bool Apri_Griglia() {
  if (Rs_Griglia) (void)Rs_Griglia->Close();
  Rs_Griglia.reset();
  Numero_Record = 0;
  Filtro_Griglia.clear();
  if (!Cn_MDB3 || !Cn_MDB3->IsOpen()) return false;
  auto rs = std::make_unique<data::StaticRecordset>();
  if (!rs->Open(*Cn_MDB3, "SELECT * FROM DATI", data::LockMode::kOptimistic).ok()) return false;
  Numero_Record = static_cast<int32_t>(rs->RecordCount());
  Filtro_Griglia = rs->Filter();  // no filter of an earlier result survives
  rs->Disconnect();
  Rs_Griglia = std::move(rs);
  return true;
}

// The user's shown and frozen columns of the same layout come back; another layout hands its own
// settings on to be remembered.
void Colonne_Ricordate() {
  if (!Memorizza_Colonne) return;
  const int n = Numero_Colonne;  // 0 .. 255
  if (Layout_Precedente == Layout_Corrente) {
    for (int i = 0; i <= n; ++i) Col_Visibile[static_cast<size_t>(i)] = Col_Visibile_Memoria[static_cast<size_t>(i)];
    Colonne_Bloccate = Colonne_Bloccate_Memoria;
  } else {
    for (int i = 0; i <= n; ++i) Col_Visibile_Memoria[static_cast<size_t>(i)] = Col_Visibile[static_cast<size_t>(i)];
    Colonne_Bloccate_Memoria = Colonne_Bloccate;
  }
}

}  // namespace

bool Termina_Elaborazione() {
  Ricalcola_Subtotali();
  const bool aperta = Apri_Griglia();
  Espandi_Intestazioni();
  Calcola_Precedenze();
  Colonne_Ricordate();

  int16_t modo = 0;
  Ricalcola_Colonne(modo);
  // The layout's own sort, unless the user sorted this same layout before.
  if (!Memorizza_Colonne || Layout_Precedente != Layout_Corrente) {
    Colonna_Ordinamento = Colonna_Ordinamento_Elaborazione;
    Verso_Ordinamento = Verso_Ordinamento_Elaborazione;
  } else {
    Colonna_Ordinamento = Colonna_Ordinamento_Memoria;
    Verso_Ordinamento = Verso_Ordinamento_Memoria;
  }
  modo = -1;
  Ricalcola_Colonne(modo);
  Colonna_Ordinamento_Memoria = Colonna_Ordinamento;
  Verso_Ordinamento_Memoria = Verso_Ordinamento;
  Layout_Precedente = Layout_Corrente;

  if (Livelli_R != 0) {
    Elimina_Livelli_Nascosti(Livelli_Visibili);
    if (Rs_Griglia) Numero_Record = static_cast<int32_t>(Rs_Griglia->RecordCount());
  }

  Chiama(agganci_motore::Completa_Progresso);
  host::DoEvents();
  if (Adatta_Dopo_Elaborazione > 0 && agganci_motore::Visualizza_Larghezza_Colonne)
    agganci_motore::Visualizza_Larghezza_Colonne(65535, Adatta_Dopo_Elaborazione == 2 ? -1 : 0, 0);
  if (agganci_motore::Salva_Layout) agganci_motore::Salva_Layout("ADD", 0);
  if (Numero_Livelli != 1) {
    // The chart shows only elaborations with exactly one row level.
    Grafico_Visibile = false;
    Chiama(agganci_motore::Ridimensiona);
  }
  Conta_Righe_Intestazione();
  Chiama(agganci_motore::Imposta_Bar);
  Chiama(agganci_motore::Nascondi_Progresso);
  Avvisi_Limiti();
  if (Messaggio_Presente) Chiama(agganci_motore::Mostra_Banner);
  return aperta;
}

}  // namespace kyx
