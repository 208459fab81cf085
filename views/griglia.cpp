// Visualizza_Griglia and the cell rules shared with the column auto-width.
#include "views/griglia.h"

#include <algorithm>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/text/cp1252.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/vb_scroll_bar.h"
#include "platform/vb/vb.h"
#include "views/agganci_viste.h"
#include "views/stato_griglia.h"

namespace kyx {
namespace {

double Twips_Y() { return Twips_Pixel_Y > 0 ? Twips_Pixel_Y : 15.0; }

// The row kind: the 7th character of the row key, "" when the key is shorter.
char Tipo_Riga(const std::string& chiave) { return chiave.size() >= 7 ? chiave[6] : '\0'; }

std::string Testo_Valore(const data::Value& v, const std::string& formato) {
  if (v.is_null()) return "";
  if (v.kind() == data::Value::Kind::Integer) return vb::Format(v.integer(), formato);
  if (v.kind() == data::Value::Kind::Double) return vb::Format(v.real(), formato);
  return vb::Format(v.text(), formato);
}

}  // namespace

int16_t Larghezza_Valida(int64_t Twips) { return static_cast<int16_t>(std::clamp<int64_t>(Twips, 0, 32767)); }

bool Posiziona_Record(data::Recordset& Rs, int64_t Posizione) {
  if (Posizione < 1) return false;
  if (auto* statico = dynamic_cast<data::StaticRecordset*>(&Rs)) {
    if (Posizione > statico->RecordCount()) return false;
    return statico->SetAbsolutePosition(Posizione).ok();
  }
  // A recordset without positions is walked from its start.
  if (!Rs.MoveFirst().ok()) return false;
  for (int64_t i = 1; i < Posizione && !Rs.AfterLast(); ++i) Rs.MoveNext();
  return !Rs.AfterLast();
}

std::string Testo_Cella(data::Recordset& Rs, int c, bool Per_Misura) {
  const auto i = static_cast<size_t>(c);
  if (c > 0 && Col_Visibile[i] != 2 && (Per_Misura || Col_Chiave[i] < 0)) return " ";
  const data::Value& v = Rs.Field(c);
  if (Col_Tipo[i] != 0) {
    std::string testo = v.AsText();
    if (Col_Attributo[i].empty()) return vb::RTrim(testo);
    // Only an elaboration result has row keys: in the codes list and the data-set list field 0
    // is a code, whose 7th character must not pass for a row kind.
    return Formatta_Valore(0, testo, 0, static_cast<int16_t>(c), Modo_Griglia == 3 ? Rs.Field(0).AsText() : "");
  }
  const char tipo = Tipo_Riga(Rs.Field(0).AsText());
  if (Modo_Griglia == 3 && (tipo == '1' || (tipo != '2' && Col_Totale[i] == 1))) return " ";
  return Testo_Valore(v, Col_Formato[i]);
}

int32_t Massimo_Prima_Riga() {
  // The bar's values are 32-bit: a result of any size can be paged to its last record.
  if (Numero_Record - Righe_Visibili < 1) return 1;
  return Numero_Record - Righe_Visibili + 1;
}

void Visualizza_Griglia() {
  const agganci_viste::Controlli ctl = agganci_viste::Controlli_Griglia();
  if (!ctl.Grid1 || !ctl.Scroll_V || !ctl.Scroll_O) return;
  ui::FlexGrid& Grid1 = *ctl.Grid1;
  ui::VbScrollBar& Scroll_V = *ctl.Scroll_V;
  ui::VbScrollBar& Scroll_O = *ctl.Scroll_O;
  const int ultima = Numero_Colonne;

  Grid1.SetRedraw(false);
  Griglia_In_Aggiornamento = true;

  if (Modo_Griglia != Modo_Precedente) {
    Modo_Precedente = Modo_Griglia;
    if (agganci_viste::Ridimensiona) agganci_viste::Ridimensiona();
  }

  // Widths the user changed in the grid survive the rebuild; columns of width 0 (hidden or
  // scrolled out) keep their model width. A new column model (-1) reads nothing back.
  if (Scorrimento_Colonne >= 0) {
    for (int i = 0; i < std::min<int>(Grid1.Cols(), 256); ++i) {
      const int32_t w = Grid1.ColWidth(i);
      if (w > 0) Col_Larghezza[static_cast<size_t>(i)] = Larghezza_Valida(w);
    }
  }

  Numero_Colonne_Scorrevoli = 0;
  for (int i = std::max<int>(Colonne_Bloccate, 0); i <= ultima; ++i) {
    if (Col_Visibile[static_cast<size_t>(i)] == 2) Colonne_Scorrevoli[static_cast<size_t>(Numero_Colonne_Scorrevoli++)] = static_cast<int16_t>(i);
  }
  if (Scorrimento_Colonne < 1) Scorrimento_Colonne = 1;
  if (Scorrimento_Colonne > Numero_Colonne_Scorrevoli) Scorrimento_Colonne = Numero_Colonne_Scorrevoli;

  Grid1.SetFontName(Font_Nome);
  Grid1.SetFontSize(Font_Dimensione);
  Grid1.SetFontBold(Font_Grassetto);
  Grid1.SetFontItalic(Font_Corsivo);

  Grid1.SetRows(0);
  Grid1.SetRows(13);
  Altezza_Riga = static_cast<int32_t>(vb::RoundHalfEven(Grid1.RowHeight(0) / Twips_Y()));

  const int32_t H = Grid1.Height();
  const double libere = vb::RoundHalfEven(H - 5 - ((Altezza_Riga - 2.0) * Righe_Intestazione + 2));
  Righe_Visibili = static_cast<int16_t>(Altezza_Riga > 0 ? static_cast<int64_t>(libere) / Altezza_Riga : 0);
  Riga_Parziale = (H - 5 > (Righe_Visibili + 1) * Altezza_Riga) ? 1 : 0;

  Grid1.Clear();
  Grid1.SetRows(1);
  Grid1.SetCols(ultima + 1);
  Grid1.SetFixedCols(0);

  const int F = Scorrimento_Colonne > 0 ? Colonne_Scorrevoli[static_cast<size_t>(Scorrimento_Colonne - 1)] : -1;
  for (int i = 0; i <= ultima; ++i) {
    const auto k = static_cast<size_t>(i);
    if (Col_Visibile[k] != 2 || (Colonne_Bloccate <= i && i < F)) {
      Grid1.SetColWidth(i, 0);
    } else {
      Grid1.SetColWidth(i, Col_Larghezza[k]);
      Grid1.SetColAlignment(i, Col_Allineamento[k]);
    }
  }

  if (Prima_Riga < 1) {
    Prima_Riga = 1;
    Scroll_V.SetEnabled(false);
    Scroll_O.SetEnabled(false);
  }
  // A window that grew can find the first record past the last page: it moves back to it.
  Prima_Riga = std::min(Prima_Riga, Massimo_Prima_Riga());

  int64_t N = int64_t{Numero_Record} - Prima_Riga + 1;
  N = std::min<int64_t>(N, Righe_Visibili + Riga_Parziale);

  data::Recordset* rs = Rs_Griglia.get();
  if (N > 0 && rs && rs->IsOpen()) {
    if (Numero_Record - Righe_Visibili < 1) {
      Scroll_V.SetMin(1);
      Scroll_V.SetMax(1);
      Scroll_V.SetSmallChange(1);
      Scroll_V.SetLargeChange(1);
      Scroll_V.SetValue(Prima_Riga);
      Scroll_V.SetEnabled(false);
    } else {
      const int32_t massimo = Massimo_Prima_Riga();
      Scroll_V.SetMin(1);
      Scroll_V.SetMax(massimo);
      Scroll_V.SetSmallChange(1);
      Scroll_V.SetLargeChange(std::max(1, Righe_Visibili > massimo - 1 ? massimo - 1 : int32_t{Righe_Visibili}));
      Scroll_V.SetValue(Prima_Riga);
      Scroll_V.SetEnabled(true);
    }
    Scroll_O.SetMin(1);
    if (Numero_Colonne_Scorrevoli < 2) {
      Scroll_O.SetMax(1);
      Scroll_O.SetValue(1);
      Scroll_O.SetEnabled(false);
    } else {
      Scroll_O.SetMax(Numero_Colonne_Scorrevoli);
      Scroll_O.SetValue(Scorrimento_Colonne);
      Scroll_O.SetEnabled(true);
    }
    Scroll_O.SetSmallChange(1);
    Scroll_O.SetLargeChange(1);

    if (Posiziona_Record(*rs, Prima_Riga)) {
      std::string riga;
      for (int64_t n = 0; n < N && !rs->AfterLast(); ++n) {
        riga.clear();
        for (int c = 0; c <= ultima; ++c) {
          if (c > 0) riga += '\t';
          riga += Testo_Cella(*rs, c);
        }
        Grid1.AddItem(riga);
        rs->MoveNext();
      }
    }
  }

  if (Grid1.Rows() == 1) {
    Grid1.SetRows(2);
    Grid1.SetRowHeight(1, 0);
  }

  for (int c = 0; c <= ultima; ++c) Grid1.SetTextMatrix(0, c, Col_Intestazione[static_cast<size_t>(c)]);

  if (Colonne_Bloccate > 0) {
    Grid1.SetRow(1);
    Grid1.SetCol(0);
    Grid1.SetRowSel(Grid1.Rows() - 1);
    Grid1.SetColSel(std::min<int>(Colonne_Bloccate, ultima + 1) - 1);
    Grid1.SetCellBackColor(static_cast<uint32_t>(Colori[9]));
    Grid1.SetCellForeColor(static_cast<uint32_t>(Colori[8]));
  }

  for (int32_t r = 1; r < Grid1.Rows(); ++r) Visualizza_Colori_Riga(r);

  if (Prima_Riga <= Riga_Evidenziata && Riga_Evidenziata < Prima_Riga + N) {
    (void)Visualizza_Evidenzia_Riga(Riga_Evidenziata - Prima_Riga + 1);
  }

  Grid1.SetFixedRows(1);
  Grid1.SetRowHeight(0, static_cast<int32_t>(vb::RoundHalfEven(((Altezza_Riga - 3.0) * Righe_Intestazione + 6) * Twips_Y())));

  KyHead_Stato.Colonna_Simbolo = Colonna_Ordinamento;
  KyHead_Stato.Verso_Simbolo = Verso_Ordinamento == " ASC" ? 1 : 2;
  if (agganci_viste::KyHead_Aggiorna) agganci_viste::KyHead_Aggiorna();

  Grid1.SetRedraw(true);
  if (Grid1.Visible()) {
    if (agganci_viste::Abilita_Base) agganci_viste::Abilita_Base(true);
    Grid1.setFocus();
  }
  Griglia_In_Aggiornamento = false;
}

}  // namespace kyx
