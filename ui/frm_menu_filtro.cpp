#include "ui/frm_menu_filtro.h"

#include <algorithm>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/ricalcola_colonne.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/host/host.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/ui/vb_scroll_bar.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/filtro_righe.h"
#include "ui/frm_base.h"
#include "ui/frm_menu_colonna.h"
#include "ui/stato_finestra.h"
#include "views/stato_griglia.h"

namespace kyx {
namespace {

constexpr const char* kEtichette[3] = {"Da", "A", "Contenuto"};

template <class W>
void Colloca(W& w, double left, double top, double width, double height) {
  w.setGeometry(ui::twips_to_px_x(left), ui::twips_to_px_y(top), ui::twips_to_px_x(width),
                ui::twips_to_px_y(height));
}

bool Griglia_Vuota() { return !Rs_Griglia || (Rs_Griglia->BeforeFirst() && Rs_Griglia->AfterLast()); }

// The field of the current column in the shown recordset, or -1.
int Campo_Corrente() {
  if (!Rs_Griglia || !Rs_Griglia->IsOpen()) return -1;
  return Rs_Griglia->FieldIndex(vb::Format(int64_t{Colonna_Corrente}, "\\c000"));
}

// Text fields are filtered and searched as texts, every other type as numbers. A field with no
// declared type (a query expression) takes the kind of its column in the column model.
bool Campo_Testo(int Campo) {
  switch (Rs_Griglia->Fields()[static_cast<size_t>(Campo)].type) {
    case data::FieldType::Text:
    case data::FieldType::LongText: return true;
    case data::FieldType::Any: return Col_Tipo[static_cast<size_t>(Colonna_Corrente)] != 0;
    default: return false;
  }
}

void Avviso(const std::string& Testo, int Stile) { host::MsgBox(Testo, Stile, Titolo_Programma); }

}  // namespace

FrmMenuColonna2::FrmMenuColonna2() : ui::KyForm("frmMenuColonna2") {
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  SetKeyPreview(true);
  for (int i = 0; i < 3; ++i) {
    txtFiltro[i] = new ui::TextBox(this);
    Colloca(*txtFiltro[i], 900, 90 + 300 * i, 2055, 285);
    ItemX[i] = new ui::Label(this, kEtichette[i]);
    Colloca(*ItemX[i], 60, 120 + 300 * i, 795, 195);
  }
  // The design sizes were measured for a smaller system font: each label takes the room its
  // caption needs, and the boxes start right of the widest one, their right edge unchanged.
  int Destra_Etichette = 0;
  for (ui::Label* l : ItemX) {
    const QSize serve = l->sizeHint();
    l->resize(std::max(l->width(), serve.width()), std::max(l->height(), serve.height()));
    Destra_Etichette = std::max(Destra_Etichette, l->x() + l->width());
  }
  for (ui::TextBox* t : txtFiltro) {
    const int sinistra = std::max(t->x(), Destra_Etichette + 4);
    t->setGeometry(sinistra, t->y(), t->x() + t->width() - sinistra, t->height());
  }
  Toolbar1 = new ui::KeyedToolbar(this);
  Colloca(*Toolbar1, 3030, 90, 375, 330);
  Toolbar1->Add("Aggiorna").SetToolTipText(" Aggiorna ");
  Toolbar1->MouseUp = [this](int Button, int, float X, float Y) {
    if (Button != ui::vbLeftButton) return;
    ui::ToolbarButton* b = Toolbar1->ButtonAt(QPoint(ui::twips_to_px_x(X), ui::twips_to_px_y(Y)));
    if (b && b->Enabled() && b->Visible()) Toolbar1_ButtonClick(*b);
  };
}

void FrmMenuColonna2::Carica(int Index) {
  In_Caricamento = true;
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  const int Campo = Campo_Corrente();
  // The filter opens on an empty grid (to take an earlier filter away), the search does not.
  if (Campo < 0 || (Index != 4 && (Index != 5 || Griglia_Vuota()))) {
    In_Caricamento = false;
    Unload();
    return;
  }
  Modo_Filtro = Index;
  Toolbar1->SetImageList(&frmBase->ImageList1);
  Toolbar1->Buttons("Aggiorna").SetImage("Aggiorna");
  const bool Testo = Campo_Testo(Campo);
  Altezza_Filtro = Testo ? 1155 : 855;
  ItemX[2]->SetVisible(Testo);
  txtFiltro[2]->SetVisible(Testo);
  for (int i = 0; i < 3; ++i) {
    ItemX[i]->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
    txtFiltro[i]->SetText("");
  }
  Colloca_Sottomenu(*this, Index, 3480, Altezza_Filtro);
  if (Modo_Filtro == 4) {
    const Caselle_Filtro c = Caselle_Da_Filtro(Filtro_Griglia, vb::Format(int64_t{Colonna_Corrente}, "\\c000"));
    for (int i = 0; i < 3; ++i) txtFiltro[i]->SetText(c[i]);
  }
  Show(ui::vbModeless);
  // The frame is known once the window is shown: place it again.
  Colloca_Sottomenu(*this, Index, 3480, Altezza_Filtro);
  txtFiltro[0]->setFocus();
  In_Caricamento = false;
}

void FrmMenuColonna2::Form_KeyDown(int& KeyCode, int) {
  if (KeyCode == ui::vbKeyReturn) {
    KeyCode = 0;
    Applica_Filtro();
  } else if (KeyCode == ui::vbKeyEscape) {
    KeyCode = 0;
    Unload();
  }
}

void FrmMenuColonna2::Toolbar1_ButtonClick(ui::ToolbarButton& Button) {
  if (Button.Key() == "Aggiorna") Applica_Filtro();
}

void FrmMenuColonna2::Applica_Filtro() {
  Caselle_Filtro Caselle;
  for (int i = 0; i < 3; ++i) Caselle[i] = vb::RTrim(txtFiltro[i]->Text());
  if (Tipo_Richiesta(Caselle) == Richiesta_Filtro::Intervallo_E_Contenuto) {
    Avviso("Indicare un intervallo (Da, A) oppure un testo (Contenuto), non entrambi", host::vbExclamation);
    return;
  }
  const int Campo = Campo_Corrente();
  if (Campo < 0 || (Modo_Filtro != 4 && Modo_Filtro != 5)) return;
  const bool Testo = Campo_Testo(Campo);
  if (!Testo) {
    for (const std::string& c : Caselle) {
      double v = 0;
      if (!c.empty() && !Numero_Digitato(c, v)) {
        Avviso("Il valore \"" + c + "\" non \xE8 un numero", host::vbExclamation);
        return;
      }
    }
  }
  if (Modo_Filtro == 4) {
    Filtra(vb::Format(int64_t{Colonna_Corrente}, "\\c000"), Testo, Caselle);
  } else {
    Cerca(Testo, Caselle);
  }
}

void FrmMenuColonna2::Filtra(const std::string& Nome_Campo, bool Testo, const Caselle_Filtro& Caselle) {
  auto* rs = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get());
  if (!rs) {
    Avviso("Le righe di questo elenco non si possono filtrare", host::vbExclamation);
    return;
  }
  const data::Status st = rs->SetFilter(Criterio_Filtro(Nome_Campo, Testo, Caselle));
  if (!st.ok()) {
    Avviso(st.description(), host::vbExclamation);
    return;
  }
  Numero_Record = static_cast<int32_t>(rs->RecordCount());
  Filtro_Griglia = rs->Filter();
  // The rows left are shown in the order of the filtered column; the layout keeps its own sort.
  Verso_Ordinamento = " ASC";
  Colonna_Ordinamento = Colonna_Corrente;
  Verso_Ordinamento_Memoria = Verso_Ordinamento;
  Colonna_Ordinamento_Memoria = Colonna_Ordinamento;
  int16_t Modo = -1;
  Ricalcola_Colonne(Modo);
  Prima_Riga = -1;
  Riga_Evidenziata = -1;
  if (agganci_base::Visualizza_Griglia) agganci_base::Visualizza_Griglia();
  Fine();
}

void FrmMenuColonna2::Cerca(bool Testo, const Caselle_Filtro& Caselle) {
  const int Campo = Campo_Corrente();
  const bool Condizione = Tipo_Richiesta(Caselle) != Richiesta_Filtro::Nessuna;
  int32_t r = 0;
  if (Condizione) {
    // The first row in the shown order that meets the boxes.
    const Condizione_Ricerca Cond(Testo, Caselle);
    bool Trovata = false;
    for (Rs_Griglia->MoveFirst(); !Rs_Griglia->AfterLast(); Rs_Griglia->MoveNext()) {
      ++r;
      if (Cond.Soddisfatta(Rs_Griglia->Field(Campo))) {
        Trovata = true;
        break;
      }
    }
    // No row meets it: the page and the highlight stay where they were, and the user is told.
    if (!Trovata) {
      Avviso("Nessuna riga trovata", host::vbInformation);
      return;
    }
  }
  // The row found becomes the sixth of the page when it can.
  Prima_Riga = r > 5 ? r - 5 : 1;
  if (Prima_Riga > frmBase->Scroll_V->Max()) Prima_Riga = frmBase->Scroll_V->Max();
  Riga_Evidenziata = r;
  if (agganci_base::Visualizza_Griglia) agganci_base::Visualizza_Griglia();
  Fine();
}

void FrmMenuColonna2::Fine() {
  Imposta_Puntatore(0);
  frmBase->SetEnabled(true);
  if (frmMenuColonna.Loaded()) frmMenuColonna->Unload();
  if (frmMenuColonna2.Loaded()) frmMenuColonna2->Unload();
}

}  // namespace kyx
