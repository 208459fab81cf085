// frmBase: the result grid's events. The grid holds only the visible page, so every press is
// translated into a record of the shown recordset (Prima_Riga + grid row - 1) before anything
// else reads it; the paging keys and the scroll bars only move Prima_Riga and
// Scorrimento_Colonne and let the grid display rebuild the page.
#include <QMouseEvent>
#include <algorithm>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace kyx {
namespace {

constexpr int kPagina_Su = 33;
constexpr int kPagina_Giu = 34;
const char* const kEtichetta_Totale = "  totale";  // the key cells of a subtotal row

// The key number a row key carries for its row level: characters 9 to 11.
int16_t Chiave_Da_Riga(const std::string& chiave_riga) {
  return static_cast<int16_t>(vb::Val(vb::Mid(chiave_riga, 9, 3)));
}

}  // namespace

void FrmBase::Crea_Griglia() {
  Grid1->MouseDown = [this](int b, int s, float x, float y) { Grid1_MouseDown(b, s, x, y); };
  Grid1->KeyUp = [this](int& k, int s) { Grid1_KeyUp(k, s); };
  for (ui::VbScrollBar* barra : {Scroll_V, Scroll_O}) {
    barra->Change = [this] { Scroll_V_Change(); };
    barra->Scroll = [this] { Scroll_V_Change(); };
  }

  KyHead = new ui::PictureCanvas(this);
  KyHead->SetAutoRedraw(true);
  KyHead->SetVisible(false);
  KyHead->MouseDown = [this](int b, int s, float x, float y) { KyHead_MouseDown(b, s, x, y); };
  KyHead->MouseMove = [this](int b, int s, float x, float y) { KyHead_MouseMove(b, s, x, y); };
  KyHead->MouseUp = [this](int b, int s, float x, float y) { KyHead_MouseUp(b, s, x, y); };
  KyHead_Asta = new ui::PictureCanvas(this);
  KyHead_Asta->SetVisible(false);
  KyHead_Sizer = new ui::VbControl<QLabel>(this);
  KyHead_Sizer->setText("X");
  KyHead_Sizer->SetVisible(false);
  for (auto*& p : picRicerca) {
    p = new ui::PictureCanvas(this);
    p->resize(16, 19);
    p->SetVisible(false);
  }
  setMouseTracking(true);
}

void FrmBase::Grid1_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
  if (Grid1->Cols() < 2) return;
  Colonna_Corrente = static_cast<int16_t>(Grid1->MouseCol());
  Riga_Corrente = Grid1->MouseRow();
  if (Riga_Corrente > 0 && Grid1->Rows() > 1) {
    Grid1->SetRedraw(false);
    if (Prima_Riga <= Riga_Evidenziata && Riga_Evidenziata < Prima_Riga + Righe_Visibili) {
      Visualizza_Colori_Riga(Riga_Evidenziata - Prima_Riga + 1);
    }
    Riga_Evidenziata = Visualizza_Evidenzia_Riga(Riga_Corrente) ? Prima_Riga + Riga_Corrente - 1 : -1;
    Grid1->SetRedraw(true);
  } else {
    return;
  }
  if (Riga_Evidenziata < 1) return;

  const std::string chiave_riga = Grid1->TextMatrix(Riga_Corrente, 0);
  if (Modo_Griglia == 2) {
    if (agganci_base::frmMenuDati_Carica) agganci_base::frmMenuDati_Carica(chiave_riga);
    return;
  }

  int16_t Chiave = 0;
  std::string Elemento;
  if (Rs_Griglia && Rs_Griglia->IsOpen() && Posiziona_Record(*Rs_Griglia, int64_t{Prima_Riga} + Riga_Corrente - 1)) {
    const int c = std::clamp<int>(Colonna_Corrente, 0, 255);
    const auto elemento_di = [&](int colonna) {
      const int16_t k = Col_Chiave[static_cast<size_t>(colonna)];
      if (k == -2) {
        Chiave = Chiave_Da_Riga(chiave_riga);
        Elemento = Rs_Griglia->Field(colonna).AsText();
      } else if (k >= 1) {
        Chiave = k;
        Elemento = Rs_Griglia->Field(colonna).AsText();
      }
    };
    if (Col_Chiave[static_cast<size_t>(c)] == -2 || Col_Chiave[static_cast<size_t>(c)] >= 1) {
      elemento_di(c);
    } else if (const int16_t d = Col_Descrizione[static_cast<size_t>(c)]; d >= 0 && d <= 255) {
      elemento_di(d);
    }
  }
  if (Elemento == kEtichetta_Totale) return;

  if (Button == ui::vbRightButton) {
    if (agganci_base::frmMenuRiga_Carica) agganci_base::frmMenuRiga_Carica(Chiave, Elemento);
    return;
  }
  if (Funzione_Mouse < 2 || Funzione_Mouse > 4) return;
  if (agganci_base::Carica_Filtro_Modifica) {
    agganci_base::Carica_Filtro_Modifica(Chiave, Elemento, Elemento, Operatore_Filtro, "E*", true);
  }
  if (Funzione_Mouse >= 3 && Modo_Griglia == 3 && agganci_base::Carica_da_Drill) {
    agganci_base::Carica_da_Drill(Chiave, Elemento);
  }
}

void FrmBase::Grid1_KeyUp(int& KeyCode, int Shift) {
  if (Griglia_In_Aggiornamento) return;
  SetEnabled(false);
  if (KeyCode == kPagina_Su || KeyCode == kPagina_Giu) {
    const bool su = KeyCode == kPagina_Su;
    int64_t nuova;
    if (Shift == 0) {
      nuova = int64_t{Prima_Riga} + (su ? -Righe_Visibili : Righe_Visibili);
    } else if (Shift == ui::vbShiftMask) {
      nuova = su ? Scroll_V->Min() : Scroll_V->Max();
    } else {
      nuova = int64_t{Prima_Riga} + (su ? -1 : 1);
    }
    const int32_t basso = std::min(Scroll_V->Min(), Scroll_V->Max());
    const int32_t alto = std::max(Scroll_V->Min(), Scroll_V->Max());
    Prima_Riga = static_cast<int32_t>(std::clamp<int64_t>(nuova, basso, alto));
    Visualizza_Griglia();
  }
  SetEnabled(true);
}

void FrmBase::Scroll_V_Change() {
  if (Griglia_In_Aggiornamento) return;
  SetEnabled(false);
  Prima_Riga = Scroll_V->Value();
  Scorrimento_Colonne = static_cast<int16_t>(std::clamp(Scroll_O->Value(), -1, 255));
  Visualizza_Griglia();
  SetEnabled(true);
}

void FrmBase::mouseMoveEvent(QMouseEvent* event) {
  ui::KyForm::mouseMoveEvent(event);
  if (!Hook_Installato || Stato_PicLayout <= 0 || !agganci_base::xMouseMove) return;
  const QPoint schermo = event->globalPosition().toPoint();
  agganci_base::xMouseMove(schermo.x(), schermo.y());
}

}  // namespace kyx
