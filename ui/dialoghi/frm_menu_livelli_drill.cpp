// The two entries of the levels dialog (a drill-down click on a result cell, a layout node of the
// structure tree), the list of drill definitions cmbLayout, and the dialog's closing, which after
// a drill that did not run gives the source layout back.
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/campi.h"
#include "layouts/drill.h"
#include "layouts/stato_layout.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/frm_menu_livelli.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

constexpr int kInformazione = 64;

void Avviso(const std::string& Testo) { host::MsgBox(Testo, kInformazione, Titolo_Programma); }

// Makes the layout of a node key current, its numbers read in the given tree order; no elaboration
// is current while the dialog is open.
void Layout_Da_Nodo(const std::string& Chiave, int16_t Ordinamento) {
  const drill::Numeri_Nodo n = drill::Leggi_Nodo(Chiave, Ordinamento);
  Elaborazione_Corrente = 0;
  Chiave_Layout = Chiave;
  Area_Corrente = n.Area;
  Chiave_Corrente = n.Chiave;
  Layout_Corrente = n.Layout;
}

}  // namespace

void FrmMenuLivelli::Carica_da_Drill(int16_t Chiave, const std::string& Elemento) {
  if (drill::Definizioni_Assenti()) {
    Avviso("Non sono presenti le definizioni\r per l'uso di questa funzione");
    return;
  }
  Posizione_Puntatore();
  Drill_Layout_ = Layout_Corrente;
  Drill_Chiave_ = Chiave;
  Drill_Indice_ = -1;
  Drill_Elemento_ = Elemento;
  Layout_Destinazione_ = -1;
  Chiave_Destinazione_ = 0;
  Caricamento_Elenco_ = true;

  cmbLayout->Clear();
  int Scelta = -1;
  const std::vector<drill::Voce> Voci = drill::Definizioni(Layout_Corrente, Chiave, Scelta);
  for (const drill::Voce& v : Voci) {
    cmbLayout->AddItem(v.Testo);
    cmbLayout->SetItemData(cmbLayout->NewIndex(), v.Predefinita ? 1 : 0);
  }
  if (Scelta >= 0) {
    cmbLayout->SetListIndex(Scelta);
    Drill_Indice_ = Voci[static_cast<size_t>(Scelta)].Indice;
  }
  Caricamento_Elenco_ = false;

  if (Drill_Indice_ == -1) {
    Avviso("Non \xE8 presente la definizione\r per questa combinazione di\r layout e chiave");
    return;
  }
  Area_Salvata_ = Area_Corrente;
  Chiave_Salvata_ = Chiave_Corrente;
  Layout_Salvato_ = Layout_Corrente;
  cmbLayout_Click();
}

void FrmMenuLivelli::cmbLayout_Click() {
  if (Caricamento_Elenco_) return;
  Drill_Indice_ = static_cast<int16_t>(vb::Val(vb::Mid(cmbLayout->Text(), 1, 3)));
  Layout_Destinazione_ = -1;
  Chiave_Destinazione_ = -1;
  if (!drill::Cerca_Definizione(Drill_Layout_, Drill_Chiave_, Drill_Indice_)) return;
  Layout_Destinazione_ = static_cast<int32_t>(motore::Numero(*Rs_Lay_Drill, "LAY"));
  Chiave_Destinazione_ = drill::Chiave_Destinazione(Layout_Destinazione_);

  ui::KeyedTree& twL = *frmBase->twL;
  std::vector<std::string> Chiavi;
  for (int i = 1; i <= twL.Count(); ++i) Chiavi.push_back(twL.Nodes(i).Key());
  const int Trovato = drill::Trova_Nodo(Chiavi, Ordinamento_Layout, Layout_Destinazione_, Chiave_Destinazione_);
  if (Trovato < 0) {
    Avviso("La combinazione layout e chiave\r non \xE8 prevista");
    return;
  }
  // The numbers are read by the form of the key found (both forms match in area-first order).
  const std::string Nodo = Chiavi[static_cast<size_t>(Trovato)];
  Layout_Da_Nodo(Nodo, vb::Trim(Nodo).substr(0, 1) == "L" ? 1 : 0);
  Carica_Livelli(Nodo, Funzione_Mouse);
}

void FrmMenuLivelli::Carica_da_TW(const std::string& Chiave_Nodo) {
  Drill_Layout_ = Drill_Chiave_ = Drill_Indice_ = -1;
  Drill_Elemento_.clear();
  Layout_Destinazione_ = -1;
  Chiave_Destinazione_ = 0;
  Area_Salvata_ = Area_Corrente;
  Chiave_Salvata_ = Chiave_Corrente;
  Layout_Salvato_ = Layout_Corrente;
  Posizione_Puntatore();
  Layout_Da_Nodo(Chiave_Nodo, Ordinamento_Layout);
  Carica_Livelli(Chiave_Nodo, 0);
}

void FrmMenuLivelli::Form_QueryUnload(int16_t& Cancel, int UnloadMode) {
  (void)Cancel;
  Form_Aperto[3] = false;
  // The main window is only looked at, never created, from here: at the end of the program it may
  // be gone already.
  FrmBase* base = frmBase.peek();
  if (UnloadMode == ui::vbFormControlMenu) {
    Imposta_Puntatore(0);
    if (base) base->SetEnabled(true);
  }
  if (base) base->ZOrder(0);
  if (Drill_Chiave_ != -1) {
    // Opened by a drill and closed without running: the source layout is current again, and the
    // grid click's filter command is issued once more.
    Area_Corrente = Area_Salvata_;
    Chiave_Corrente = Chiave_Salvata_;
    Layout_Corrente = Layout_Salvato_;
    if (agganci_base::Carica_Filtro_Modifica) {
      agganci_base::Carica_Filtro_Modifica(Drill_Chiave_, Drill_Elemento_, Drill_Elemento_, Operatore_Filtro, "E*",
                                           true);
    }
  }
  Elaborazione_Corrente = Storico_Ultimo;
  if (!base) return;
  // The toolbar refresh empties the status panels; after a run they keep its elapsed time and
  // its record count, which would otherwise vanish the moment they were written.
  const std::string Progresso = base->StatusBar1->Panels("Progress").Text();
  const std::string Numero = base->StatusBar1->Panels("Numero").Text();
  base->Imposta_Bar();
  if (Eseguito_) {
    base->StatusBar1->Panels("Progress").SetText(Progresso);
    base->StatusBar1->Panels("Numero").SetText(Numero);
  }
}

}  // namespace kyx
