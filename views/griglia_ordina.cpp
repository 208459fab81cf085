// Visualizza_Ordina: the shown recordset sorted by the pressed column, ascending first and
// toggling on further presses on the same column.
#include "common/modello.h"
#include "common/stato.h"
#include "engine/ricalcola_colonne.h"
#include "engine/stato_motore.h"
#include "layouts/layout.h"
#include "platform/host/host.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace kyx {

void Visualizza_Ordina() {
  if (Colonna_Corrente < 0 || Colonna_Corrente > 255) return;
  if (Col_Ordine[static_cast<size_t>(Colonna_Corrente)] != 0) return;
  if (agganci_viste::Imposta_Puntatore) agganci_viste::Imposta_Puntatore(11);
  if (agganci_viste::Abilita_Base) agganci_viste::Abilita_Base(false);
  host::DoEvents();

  if (Colonna_Ordinamento != Colonna_Corrente) {
    Colonna_Ordinamento = Colonna_Corrente;
    Verso_Ordinamento = " ASC";
  } else {
    Verso_Ordinamento = Verso_Ordinamento != " ASC" ? " ASC" : " DESC";
  }
  // The layouts keep the sort only for a result (a list's sort is not the layout's).
  Salva_Layout("ORD", 0);
  int16_t ricalcola = -1;
  Ricalcola_Colonne(ricalcola);

  Prima_Riga = -1;
  Riga_Evidenziata = -1;
  Visualizza_Griglia();
  if (Grafico_Visibile && agganci_viste::Visualizza_Grafico) agganci_viste::Visualizza_Grafico();

  if (agganci_viste::Abilita_Base) agganci_viste::Abilita_Base(true);
  if (agganci_viste::Imposta_Puntatore) agganci_viste::Imposta_Puntatore(0);
}

}  // namespace kyx
