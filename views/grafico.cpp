#include "views/grafico.h"

#include <algorithm>
#include <cmath>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/text/cp1252.h"
#include "platform/ui/colours.h"
#include "platform/vb/vb.h"
#include "views/stato_griglia.h"

namespace kyx {

int16_t Grafico_Righe = 0;
std::array<int16_t, 256> Grafico_Serie_Stato{};
std::vector<int32_t> Grafico_Record;
Controlli_Grafico Grafico_Controlli;

namespace {

constexpr double kMassimoIniziale = -99999999999999.0;
constexpr double kMinimoIniziale = 99999999999999.0;

// Row kind of a result row: the 7th character of its row key.
char Tipo_Riga(const data::Value& Chiave) {
  const std::string& k = Chiave.text();  // "" for a Null
  return k.size() >= 7 ? k[6] : ' ';
}

// Positions the recordset on a 1-based record of its current order.
bool Posiziona(data::Recordset& Rs, int32_t Posizione) {
  if (auto* s = dynamic_cast<data::StaticRecordset*>(&Rs)) {
    return s->SetAbsolutePosition(Posizione).ok() && !s->AfterLast();
  }
  if (!Rs.MoveFirst().ok()) return false;
  for (int32_t i = 1; i < Posizione && !Rs.AfterLast(); ++i) Rs.MoveNext();
  return !Rs.AfterLast() && !Rs.BeforeFirst();
}

void Colore_Etichetta(ui::VbControl<QLabel>* l, const QColor& Testo, const QColor& Sfondo) {
  if (!l) return;
  QPalette p = l->palette();
  p.setColor(QPalette::WindowText, Testo);
  p.setColor(QPalette::Window, Sfondo);
  l->setPalette(p);
  l->setAutoFillBackground(true);
}

std::string Senza_Spazi_Finali(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

std::string Testo_Etichetta(const ui::VbControl<QLabel>* Etichetta) {
  return Etichetta ? text::from_utf8(Etichetta->text().toStdString()) : std::string();
}

void Imposta_Etichetta(ui::VbControl<QLabel>* Etichetta, const std::string& Testo) {
  if (Etichetta) Etichetta->setText(QString::fromStdString(text::to_utf8(Testo)));
}

Scala_Grafico Calcola_Scala(double Massimo, double Minimo) {
  Scala_Grafico s;
  // Each test is strictly greater: a largest value of exactly 1000 keeps the step 10.
  if (Massimo > 100000000) {
    s.Passo = 10000000;
  } else if (Massimo > 10000000) {
    s.Passo = 1000000;
  } else if (Massimo > 1000000) {
    s.Passo = 100000;
  } else if (Massimo > 100000) {
    s.Passo = 10000;
  } else if (Massimo > 10000) {
    s.Passo = 1000;
  } else if (Massimo > 1000) {
    s.Passo = 100;
  } else {
    s.Passo = 10;
  }
  double Basso = vb::RoundHalfEven(Minimo / s.Passo);
  if (Minimo < 0) Basso -= 1;
  double Alto = vb::RoundHalfEven(Massimo / s.Passo);
  if (Alto > 0) Alto += 1;
  s.Minimo = Basso * 10;
  s.Massimo = Alto * 10;
  return s;
}

void Visualizza_Grafico() {
  Controlli_Grafico& g = Grafico_Controlli;
  if (!g.Grafico) return;

  // 1. Everything hidden while the chart is rebuilt.
  if (g.pnlDecod) g.pnlDecod->SetVisible(false);
  g.Grafico->SetRepaint(false);
  g.Grafico->SetVisible(false);

  // 2. The page starts at the first record at least.
  if (Prima_Riga < 1) {
    Prima_Riga = 1;
    if (g.Scroll_G) g.Scroll_G->SetEnabled(false);
  }
  if (!Rs_Griglia || !Rs_Griglia->IsOpen() || Grafico_Chiave < 0 || Grafico_Chiave > 255) return;

  // 4. The series: the value columns the grid shows, in column order.
  std::vector<int16_t> Serie;
  std::array<double, 256> Massimo_Colonna;
  Massimo_Colonna.fill(kMassimoIniziale);
  for (int c = 1; c <= Numero_Colonne && c <= 255; ++c) {
    if (Col_Tipo[c] == 0 && Col_Visibile[c] == 2) Serie.push_back(static_cast<int16_t>(c));
  }

  // 5. Range scan over the whole result: maxima and minimum over the detail rows only. The same
  // walk lists the rows that can be charted (every row but the grand total) and the page's rows.
  double Massimo = kMassimoIniziale, Minimo = kMinimoIniziale;
  int32_t Numero_Grafico = 0;
  std::vector<int32_t> Pagina;
  const int32_t Elementi = std::max<int32_t>(1, Elementi_Grafico);
  data::Recordset& Rs = *Rs_Griglia;
  int32_t Posizione = 0;
  for (Rs.MoveFirst(); !Rs.AfterLast(); Rs.MoveNext()) {
    ++Posizione;
    const char Tipo = Tipo_Riga(Rs.Field(0));
    if (Tipo == '4') continue;
    ++Numero_Grafico;
    if (Posizione >= Prima_Riga && static_cast<int32_t>(Pagina.size()) < Elementi) {
      Pagina.push_back(Posizione);
    }
    if (Tipo != '2') continue;
    for (int16_t c : Serie) {
      const data::Value& v = Rs.Field(c);
      if (v.is_null()) continue;
      const double x = v.AsDouble();
      Massimo_Colonna[c] = std::max(Massimo_Colonna[c], x);
      Massimo = std::max(Massimo, x);
      Minimo = std::min(Minimo, x);
    }
  }

  // 3. Nothing to chart: the chart and the decode panel stay hidden.
  const int n = static_cast<int>(Pagina.size());
  if (n < 1) return;
  Grafico_Righe = static_cast<int16_t>(Serie.size());
  for (size_t i = 0; i < Serie.size(); ++i) Grafico_Serie_Stato[i] = Serie[i];
  Grafico_Record = Pagina;

  // No detail value at all: an axis from 0 to 10.
  if (Massimo == kMassimoIniziale) {
    Massimo = 0;
    Minimo = 0;
  }
  // 6. The value axis always includes zero.
  if (Minimo > 0) Minimo = 0;

  // 7. Decode panel hints.
  Imposta_Etichetta(g.lblX, Testo_Decodifica_X);
  Imposta_Etichetta(g.lblXDec, Testo_Decodifica_XDec);
  Imposta_Etichetta(g.lblY, Testo_Decodifica_Y);
  Imposta_Etichetta(g.lblZ, "");

  // 8-13. Frame, scale, axes, colours and placement.
  ui::ChartData& d = g.Grafico->Data();
  const auto Colori_Serie = d.series_colours;  // colours the user chose stay
  d = ui::ChartData();
  d.series_colours = Colori_Serie;
  d.series_in_rows = Grafico_In_Righe;
  d.type = Grafico_Tipo;
  d.show_legend = true;
  double Unita = 1;  // every plotted value is divided by this
  if (Grafico_Percentuale) {
    d.value_min = 0;
    d.value_max = 100;
  } else {
    const Scala_Grafico s = Calcola_Scala(Massimo, Minimo);
    d.value_min = s.Minimo;
    d.value_max = s.Massimo > s.Minimo ? s.Massimo : s.Minimo + 10;
    Unita = s.Passo / 10;
  }
  d.value_divisions = 10;
  d.axes[0].hide_labels = d.axes[3].hide_labels = !Grafico_Etichette_X;
  d.axes[1].hide_labels = !Grafico_Etichette_Y;
  d.axes[2].hide_labels = !Grafico_Etichette_Y2;
  d.axes[0].divisions_per_tick = Grafico_Divisioni_X ? 1 : n;
  d.axes[3].divisions_per_tick = Grafico_Divisioni_X ? 1 : std::max<int>(1, Grafico_Righe);
  d.axes[0].grid_lines = d.axes[3].grid_lines = Grafico_Divisioni_X;
  d.axes[1].grid_lines = d.axes[2].grid_lines = Grafico_Divisioni_Y;
  const QColor Testo = ui::ole_to_qcolor(static_cast<uint32_t>(Colori[10]));
  const QColor Sfondo = ui::ole_to_qcolor(static_cast<uint32_t>(Colori[11]));
  d.wall_colour = Sfondo;
  d.text_colour = Testo;
  for (auto& a : d.axes) a.colour = Testo;
  if (g.pnlDecod) {
    g.pnlDecod->SetBackColor(static_cast<uint32_t>(Colori[11]));
    g.pnlDecod->SetForeColor(static_cast<uint32_t>(Colori[10]));
  }
  for (auto* l : {g.lblX, g.lblXDec, g.lblY, g.lblZ}) Colore_Etichetta(l, Testo, Sfondo);
  for (auto* l : g.L_Grd) {
    if (l) l->SetBorderColor(static_cast<uint32_t>(Colori[10]));
  }
  const double W = g.Grafico->Width(), H = g.Grafico->Height();
  d.plot_rect = QRectF(QPointF(0, 0), QPointF(0.7 * W, H));
  d.legend_rect = QRectF(QPointF(0.7 * W - 4, 0.21 * H), QPointF(W - 4, H));

  // 14. The scroll bar's value is the page's first record. Only the rows that can be charted
  // count, so the last page ends on the last of them.
  if (g.Scroll_G) {
    ui::VbScrollBar& b = *g.Scroll_G;
    const bool Prima = Griglia_In_Aggiornamento;
    Griglia_In_Aggiornamento = true;  // the bar's own Change must not redraw again
    if (Numero_Grafico - Elementi < 1) {
      b.SetMin(1);
      b.SetMax(1);
      b.SetSmallChange(1);
      b.SetLargeChange(1);
      b.SetValue(Prima_Riga);
      b.SetEnabled(false);
    } else {
      const int32_t Max = Numero_Grafico - Elementi + 1;
      b.SetMin(1);
      b.SetMax(Max);
      b.SetSmallChange(1);
      b.SetLargeChange(Elementi > Max - 1 ? Max - 1 : Elementi);
      b.SetValue(Prima_Riga);
      b.SetEnabled(true);
    }
    Griglia_In_Aggiornamento = Prima;
  }

  // 15. Data of the page.
  const int S = Grafico_Righe;
  d.SetSize(n, S);
  for (int r = 1; r <= n; ++r) {
    if (!Posiziona(Rs, Pagina[r - 1])) continue;
    for (int s = 1; s <= S; ++s) {
      const int Colonna_Grafico = Grafico_Serie ? S - s + 1 : s;
      const int c = Grafico_Serie_Stato[s - 1];
      const data::Value& v = Rs.Field(c);
      double Cella = 0;
      if (!v.is_null()) {
        if (Grafico_Percentuale) {
          // A percentage of the column's largest detail value; a column whose largest value is
          // not above 0 charts 0.
          Cella = Massimo_Colonna[c] > 0 ? v.AsDouble() / (Massimo_Colonna[c] / 100) : 0;
        } else {
          Cella = v.AsDouble() / Unita;
        }
      }
      d.SetCell(r, Colonna_Grafico, Cella);
    }
    const data::Value& Chiave = Rs.Field(Grafico_Chiave);
    std::string k;
    if (!Chiave.is_null()) {
      k = Formatta_Valore(0, Chiave.AsText(), 0, Grafico_Chiave, Rs.Field(0).AsText());
    }
    if (!Grafico_In_Righe) {
      d.row_labels[r - 1] = k;
    } else {
      std::string Legenda = k;
      if (Grafico_Chiave_Descrizione >= 0 && Grafico_Chiave_Descrizione <= 255) {
        const data::Value& Descrizione = Rs.Field(Grafico_Chiave_Descrizione);
        if (!Descrizione.is_null()) Legenda += "  " + Senza_Spazi_Finali(Descrizione.AsText());
      }
      d.SetLegendText(r, Legenda);
    }
  }

  // 16. Column names: the headings on one line.
  for (int s = 1; s <= S; ++s) {
    const int Colonna_Grafico = Grafico_Serie ? S - s + 1 : s;
    std::string h = Senza_Spazi_Finali(Col_Intestazione[Grafico_Serie_Stato[s - 1]]);
    std::replace(h.begin(), h.end(), '|', ' ');
    if (Grafico_In_Righe) {
      d.column_labels[Colonna_Grafico - 1] = h;
    } else {
      d.SetLegendText(Colonna_Grafico, h);
    }
  }

  // 17. Show it.
  g.Grafico->SelectPart(ui::kPartPoint, 1, 1);
  g.Grafico->SetRepaint(true);
  g.Grafico->SetVisible(true);
  if (g.pnlDecod) g.pnlDecod->SetVisible(true);
}

namespace grafico {
void reset() {
  Grafico_Righe = 0;
  Grafico_Serie_Stato.fill(0);
  Grafico_Record.clear();
  Grafico_Controlli = Controlli_Grafico();
}
}  // namespace grafico

}  // namespace kyx
