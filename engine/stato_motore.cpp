#include "engine/stato_motore.h"

namespace kyx {

#define KYX_MOTORE(X)                                                                             \
  X(Col_Visibile) X(Col_Ordine) X(Col_Larghezza_Stampa) X(Col_Allineamento) X(Col_Descrizione)    \
  X(Col_Totale) X(Col_VCK) X(Col_VCC) X(Col_Testo) X(Col_Valore) X(Col_Livello_Totale) X(Totali)  \
  X(Col_Lavoro_1) X(Col_Lavoro_3) X(Col_Precedenza) X(Precedenza_P) X(Elem_Calcolo) X(Elem_Riga)  \
  X(Elem_Colonna) X(Elem_Chiave) X(Col_Sistema) X(Col_Somma) X(Liv_Intestazione) X(Liv_Subtotale) \
  X(Liv_Riga_Precedente) X(Liv_Colonna_Precedente) X(Liv_Colonna_Chiave) X(Liv_Colonna_Testo)     \
  X(Riga_Layout_Massima) X(Colonne_Bloccate) X(Tipo_DB_Server) X(Subtotali_Richiesti) X(Livelli_R) \
  X(Livelli_Visibili) X(Grafico_Chiave) X(Grafico_Chiave_Descrizione) X(Numero_Record)            \
  X(Filtro_Griglia) X(Colonna_Ordinamento) X(Verso_Ordinamento) X(Valori_Riga)                    \
  X(Livello_Subtotale) X(Numero_Elementi) X(Colonna_Livello) X(Lunghezza_VCK)                     \
  X(Colonna_Ordinamento_Elaborazione) X(Verso_Ordinamento_Elaborazione) \
  X(Select_Chiavi) X(Group_By) X(Lunghezza_Livello) X(Livello_Indice) X(Filtro_Completo)          \
  X(Filtro_Chiavi) X(Filtro_Slot) X(Numero_Query) X(Query_Testo) X(Query_Sistema) X(Query_Ultimo) \
  X(Query_Inizio) X(Query_Colonna) X(Query_Riga) X(Troppe_Colonne) X(Voci_Esaurite) X(Formule_Oltre_Limiti)  \
  X(Col_Visibile_Memoria)                                                                         \
  X(Colonne_Bloccate_Memoria) X(Colonna_Ordinamento_Memoria) X(Verso_Ordinamento_Memoria)

// Empty text, zero and Empty at start, as BASIC starts its globals.
#define KYX_DEFINISCI(v) decltype(v) v{};
KYX_MOTORE(KYX_DEFINISCI)
#undef KYX_DEFINISCI
std::unique_ptr<data::Recordset> Rs_Griglia;

namespace stato_motore {

void reset() {
#define KYX_AZZERA(v) v = {};
  KYX_MOTORE(KYX_AZZERA)
#undef KYX_AZZERA
  if (Rs_Griglia) Rs_Griglia->Close();
  Rs_Griglia.reset();
}

}  // namespace stato_motore
}  // namespace kyx
