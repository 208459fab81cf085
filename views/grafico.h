#pragma once
// The chart of the result: Visualizza_Grafico draws one page of Rs_Griglia as a chart in the main
// window's chart control, one series per value column shown in the grid, with its scroll bar and
// its decode panel. The page starts at the grid's first record Prima_Riga, so grid and chart page
// together.
#include <QLabel>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/chart_control.h"
#include "platform/ui/control.h"
#include "platform/ui/line_control.h"
#include "platform/ui/picture_canvas.h"
#include "platform/ui/vb_scroll_bar.h"
#include "common/stato.h"
#include "views/stato_griglia.h"

namespace kyx {

// ---- Written by the chart, read by the chart events ------------------------------------------------
extern int16_t Grafico_Righe;                        // number of series (value columns shown)
extern std::array<int16_t, 256> Grafico_Serie_Stato; // entry i: result column of series i + 1
// Record position (1-based, in Rs_Griglia's current order) of each charted page row: entry r - 1
// for chart row r. The grand-total row is never charted, so after a sort the page may step over it.
extern std::vector<int32_t> Grafico_Record;

// The chart also reads the grid's display state (views/stato_griglia.h) and Anno_In_Uso
// (common/stato.h), which their owners define.

// The main window's controls the chart draws on; the main window fills this when it builds them.
struct Controlli_Grafico {
  ui::Chart* Grafico = nullptr;
  ui::VbScrollBar* Scroll_G = nullptr;
  ui::PictureCanvas* pnlDecod = nullptr;
  ui::VbControl<QLabel>* lblX = nullptr;
  ui::VbControl<QLabel>* lblXDec = nullptr;
  ui::VbControl<QLabel>* lblY = nullptr;
  ui::VbControl<QLabel>* lblZ = nullptr;
  std::array<ui::LineControl*, 4> L_Grd{};
};
extern Controlli_Grafico Grafico_Controlli;

// The hint texts of the decode panel while nothing is decoded.
inline constexpr const char* Testo_Decodifica_X = "posizionare il mouse";
inline constexpr const char* Testo_Decodifica_XDec = "per ottenere la decodifica";
inline constexpr const char* Testo_Decodifica_Y = "dell'elemento del grafico";

// Redraws the chart page from the shared state (see grafico.cpp for the steps).
void Visualizza_Grafico();

// Value-axis scale of a non-percentage chart: the step d from the largest detail value, and the
// axis ends in units of d / 10.
struct Scala_Grafico {
  double Passo = 10;
  double Minimo = 0;
  double Massimo = 0;
};
Scala_Grafico Calcola_Scala(double Massimo, double Minimo);

// The caption of a label as Windows-1252 text, and setting it.
std::string Testo_Etichetta(const ui::VbControl<QLabel>* Etichetta);
void Imposta_Etichetta(ui::VbControl<QLabel>* Etichetta, const std::string& Testo);

namespace grafico {
// Puts the chart's state back to its start.
void reset();
}  // namespace grafico

}  // namespace kyx
