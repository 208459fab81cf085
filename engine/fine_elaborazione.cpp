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

template <typename F, typename... A>
void Chiama(const F& aggancio, A&&... argomenti) {
  if (aggancio) aggancio(std::forward<A>(argomenti)...);
}

// The display recordset: every row of DATI copied to the client, then cut loose from the
// connection, so that later sorts, filters and changes work on the copy alone. A result that
// cannot be read leaves an empty grid rather than the previous elaboration's rows.
void Apri_Griglia() {
  if (Rs_Griglia) (void)Rs_Griglia->Close();
  Rs_Griglia.reset();
  Numero_Record = 0;
  Filtro_Griglia.clear();
  if (!Cn_MDB3 || !Cn_MDB3->IsOpen()) return;
  auto rs = std::make_unique<data::StaticRecordset>();
  if (!rs->Open(*Cn_MDB3, "SELECT * FROM DATI", data::LockMode::kOptimistic).ok()) return;
  Numero_Record = static_cast<int32_t>(rs->RecordCount());
  Filtro_Griglia = rs->Filter();
  rs->Disconnect();
  Rs_Griglia = std::move(rs);
}

// The user's column settings of the layout: taken back when the same layout runs again,
// otherwise remembered from this run's layout.
void Colonne_Ricordate() {
  if (!Memorizza_Colonne) return;
  const size_t ultima = std::min<size_t>(Numero_Colonne, 255);
  if (Layout_Precedente == Layout_Corrente) {
    for (size_t i = 0; i <= ultima; ++i) Col_Visibile[i] = Col_Visibile_Memoria[i];
    Colonne_Bloccate = Colonne_Bloccate_Memoria;
  } else {
    for (size_t i = 0; i <= ultima; ++i) Col_Visibile_Memoria[i] = Col_Visibile[i];
    Colonne_Bloccate_Memoria = Colonne_Bloccate;
  }
}

// The display sort: the layout's own, unless the user sorted this same layout before and the
// profile keeps the user's column settings.
void Ordinamento_Griglia() {
  if (!Memorizza_Colonne || Layout_Precedente != Layout_Corrente) {
    Colonna_Ordinamento = Colonna_Ordinamento_Elaborazione;
    Verso_Ordinamento = Verso_Ordinamento_Elaborazione;
  } else {
    Colonna_Ordinamento = Colonna_Ordinamento_Memoria;
    Verso_Ordinamento = Verso_Ordinamento_Memoria;
  }
}

}  // namespace

void Termina_Elaborazione() {
  Ricalcola_Subtotali();
  Apri_Griglia();
  Espandi_Intestazioni();
  Calcola_Precedenze();
  Colonne_Ricordate();
  int16_t modo = 0;
  Ricalcola_Colonne(modo);
  Ordinamento_Griglia();
  modo = -1;
  Ricalcola_Colonne(modo);
  Colonna_Ordinamento_Memoria = Colonna_Ordinamento;
  Verso_Ordinamento_Memoria = Verso_Ordinamento;
  Layout_Precedente = Layout_Corrente;
  if (Livelli_R != 0 && Rs_Griglia) {
    Elimina_Livelli_Nascosti(Livelli_Visibili);
    Numero_Record = static_cast<int32_t>(Rs_Griglia->RecordCount());
  }
  Chiama(agganci_motore::Completa_Progresso);
  host::DoEvents();
  if (Adatta_Dopo_Elaborazione > 0)
    Chiama(agganci_motore::Visualizza_Larghezza_Colonne, 65535, Adatta_Dopo_Elaborazione == 2, 0);
  Chiama(agganci_motore::Salva_Layout, std::string("ADD"), int16_t{0});
  if (Numero_Livelli != 1) {
    Grafico_Visibile = false;
    Chiama(agganci_motore::Ridimensiona);
  }
  Conta_Righe_Intestazione();
  Chiama(agganci_motore::Imposta_Bar);
  Chiama(agganci_motore::Nascondi_Progresso);
  Avviso_Troppe_Colonne();
  if (Messaggio_Presente) Chiama(agganci_motore::Mostra_Banner);
}

}  // namespace kyx
