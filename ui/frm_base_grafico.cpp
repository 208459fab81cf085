// The chart's events on the main window: decoding the element under the pointer into the decode
// panel, a click that hands the decoded element to the filter panel (and drills like a press on
// the element's cell), a left press that sorts, a right press on a series that recolours it, and
// the chart's scroll bar that pages.
#include <algorithm>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/host/colour_dialog.h"
#include "platform/ui/colours.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "views/grafico.h"

namespace kyx {
namespace {

// The record decoded into the panel by the last pointer move (1-based position); -1 none.
int32_t Record_Decodificato = -1;

void Testi_Suggerimento(FrmBase& f) {
  Imposta_Etichetta(f.lblX, Testo_Decodifica_X);
  Imposta_Etichetta(f.lblXDec, Testo_Decodifica_XDec);
  Imposta_Etichetta(f.lblY, Testo_Decodifica_Y);
  Imposta_Etichetta(f.lblZ, "");
  Record_Decodificato = -1;
}

// Series i seen from the chart's side: with the series reversed the first is the last column.
int Serie_Reale(int i) { return Grafico_Serie ? Grafico_Righe - i + 1 : i; }

// Record and value column of a data point, or false when the page does not hold it.
bool Punto_Dati(int Serie, int Punto, int32_t& Record, int16_t& Colonna) {
  const int Riga = Grafico_In_Righe ? Serie : Punto;
  const int Indice = Serie_Reale(Grafico_In_Righe ? Punto : Serie);
  if (Riga < 1 || Riga > static_cast<int>(Grafico_Record.size())) return false;
  if (Indice < 1 || Indice > Grafico_Righe) return false;
  Record = Grafico_Record[Riga - 1];
  Colonna = Grafico_Serie_Stato[Indice - 1];
  return true;
}

bool Posiziona(int32_t Record) {
  auto* Rs = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get());
  return Rs && Rs->SetAbsolutePosition(Record).ok() && !Rs->AfterLast() && !Rs->BeforeFirst();
}

std::string Formatta_Numero(const data::Value& v, const std::string& Formato) {
  return v.is_number() ? vb::Format(v.AsDouble(), Formato) : vb::Format(v.AsText(), Formato);
}

void Ordina() {
  if (agganci_base::Visualizza_Ordina) agganci_base::Visualizza_Ordina();
}

}  // namespace

void FrmBase::Collega_Grafico() {
  Grafico_Controlli = {Grafico, Scroll_G, pnlDecod, lblX, lblXDec, lblY, lblZ, L_Grd};
  Grafico->MouseMove = [this](int b, int s, float x, float y) { Grafico_MouseMove(b, s, x, y); };
  Grafico->MouseDown = [this](int b, int s, float x, float y) { Grafico_MouseDown(b, s, x, y); };
  Grafico->Click = [this] { Grafico_Click(); };
  Scroll_G->Change = [this] { Scroll_G_Change(); };
}

void FrmBase::Grafico_MouseMove(int Button, int Shift, float X, float Y) {
  (void)Button;
  (void)Shift;
  const ui::ChartHit Parte = Grafico->HitTest(X, Y);
  if (Parte.part == ui::kPartSeries) {
    Grafico->SelectPart(ui::kPartPoint, Parte.series, 1);
    return;
  }
  if (Parte.part != ui::kPartPoint) {
    Testi_Suggerimento(*this);
    return;
  }
  int32_t Record = 0;
  int16_t Colonna = 0;
  if (!Punto_Dati(Parte.series, Parte.point, Record, Colonna) || !Posiziona(Record)) return;
  if (Grafico_Chiave < 0 || Grafico_Chiave > 255) return;
  const data::Recordset& Rs = *Rs_Griglia;
  Imposta_Etichetta(lblX, Formatta_Valore(0, Rs.Field(Grafico_Chiave).AsText(), 0, Grafico_Chiave,
                                          Rs.Field(0).AsText()));
  Record_Decodificato = Record;
  Imposta_Etichetta(lblXDec, Grafico_Chiave_Descrizione < 0 || Grafico_Chiave_Descrizione > 255
                                 ? std::string(" ")
                                 : Rs.Field(Grafico_Chiave_Descrizione).AsText());
  const data::Value& v = Rs.Field(Colonna);
  Imposta_Etichetta(lblY, "Valore = " + (v.is_null() ? std::string() : Formatta_Numero(v, Col_Formato[Colonna])));
  Imposta_Etichetta(lblZ, Grafico->Data().LegendText(Parte.series));
}

void FrmBase::Grafico_MouseDown(int Button, int Shift, float X, float Y) {
  (void)Shift;
  const ui::ChartHit Parte = Grafico->HitTest(X, Y);
  if (Button == ui::vbLeftButton) {
    if (Parte.part == ui::kPartLabel && !Grafico_In_Righe) {
      Colonna_Corrente = Grafico_Chiave;
      Ordina();
    } else if (Parte.part == ui::kPartSeries) {
      Colonna_Corrente = Grafico_In_Righe ? Grafico_Chiave
                         : Serie_Reale(Parte.series) >= 1 && Serie_Reale(Parte.series) <= Grafico_Righe
                             ? Grafico_Serie_Stato[Serie_Reale(Parte.series) - 1]
                             : Colonna_Corrente;
      Ordina();
    }
    return;
  }
  if (Parte.part != ui::kPartSeries) return;
  // Recolouring: the dialog starts from the series' pen colour; a system colour it returns is
  // turned into its RGB value first.
  const uint32_t Attuale = Grafico->SeriesPenColour(Parte.series);
  int32_t Colore = host::ShowColor(static_cast<int32_t>(Attuale), host::cdlCCRGBInit | host::cdlCCFullOpen);
  if (Colore < 0) Colore = static_cast<int32_t>(ui::qcolor_to_ole(ui::ole_to_qcolor(static_cast<uint32_t>(Colore))));
  Grafico->SetSeriesPenColour(Parte.series, static_cast<uint32_t>(Colore));
}

void FrmBase::Grafico_Click() {
  const std::string Elemento_Mostrato = Testo_Etichetta(lblX);
  if (Elemento_Mostrato == Testo_Decodifica_X) return;
  // The panel shows the element in its key's format ("000016" for "LA000016"); the filter stores
  // the code itself, read from the decoded record's category column.
  std::string Codice = Elemento_Mostrato;
  if (Record_Decodificato >= 1 && Grafico_Chiave >= 0 && Grafico_Chiave <= 255 && Posiziona(Record_Decodificato))
    Codice = vb::RTrim(Rs_Griglia->Field(Grafico_Chiave).AsText());
  if (agganci_base::Carica_Filtro_Modifica) {
    agganci_base::Carica_Filtro_Modifica(Liv_Riga_Chiave[0], Codice, Codice, Operatore_Filtro, "E*", true);
  }
  // In the drilling mouse modes the element drills as a press on its cell of the category column
  // does: the key of that column (or of the row's level) and the stored code of the element.
  if ((Funzione_Mouse != 3 && Funzione_Mouse != 4) || Modo_Griglia != 3) return;
  if (Record_Decodificato < 1 || Grafico_Chiave < 1 || Grafico_Chiave > 255) return;
  if (!Posiziona(Record_Decodificato)) return;
  const data::Recordset& Rs = *Rs_Griglia;
  int16_t Chiave = 0;
  std::string Elemento;
  const int16_t c = Grafico_Chiave;
  if (Col_Chiave[c] == -2) {
    const std::string Riga = Rs.Field(0).AsText();
    Chiave = static_cast<int16_t>(Riga.size() > 8 ? vb::Val(Riga.substr(8)) : 0);
    Elemento = Rs.Field(c).AsText();
  } else if (Col_Chiave[c] >= 1) {
    Chiave = Col_Chiave[c];
    Elemento = Rs.Field(c).AsText();
  }
  if (Elemento == "  totale") return;
  if (agganci_base::Carica_da_Drill) agganci_base::Carica_da_Drill(Chiave, Elemento);
}

void FrmBase::Scroll_G_Change() {
  if (Griglia_In_Aggiornamento) return;
  SetEnabled(false);
  Prima_Riga = Scroll_G->Value();
  Visualizza_Grafico();
  SetEnabled(true);
}

}  // namespace kyx
