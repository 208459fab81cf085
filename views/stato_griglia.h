#pragma once
// Shared state of the result grid that the views own: what the last display measured (rows that
// fit, row height), the shown columns in scroll order, the cell last pressed, the redisplay guard,
// and the header strip's record (its sort glyph is written by the display, the rest by the main
// window's header strip). Prima_Riga, Scorrimento_Colonne (common/modello.h) and the display
// recordset (engine/stato_motore.h) live with their writers.
#include <array>
#include <cstdint>

namespace kyx {

// 1-based record position of the highlighted grid row; -1 none.
extern int32_t Riga_Evidenziata;
extern int16_t Righe_Visibili;             // whole data rows that fit the grid
extern int16_t Riga_Parziale;              // 1 when one more, partly shown, row is filled
extern int32_t Altezza_Riga;               // height of one data row in pixels
extern int16_t Colonna_Corrente;           // grid column of the last press (grid or header strip)
extern int32_t Riga_Corrente;              // grid row of the last press; 0 = the header strip
extern std::array<int16_t, 255> Colonne_Scorrevoli;  // shown columns from the frozen ones on
extern int16_t Numero_Colonne_Scorrevoli;
extern bool Griglia_In_Aggiornamento;      // set while Visualizza_Griglia runs
extern int16_t Modo_Precedente;            // grid mode at the previous display

// The header strip over the grid's row 0.
struct Stato_Testata {
  int32_t Margine_Striscia = 0;   // the strip is this many pixels narrower than the grid
  int32_t Margine_Asta = 0;       // the drag bar is this many pixels shorter than the grid
  int32_t Colonna_Simbolo = -1;   // column showing the sort glyph; -1 none
  int32_t Verso_Simbolo = 1;      // 1 ascending, anything else descending
  bool Simbolo_Visibile = false;
  int32_t Simbolo_Alto = 0;
  int32_t Simbolo_Sinistra = 0;
  int32_t Simbolo_Altezza = 0;
  int32_t Simbolo_Mezza_Larghezza = 0;
  int32_t Prima_Riga_Testo = 0;
  int32_t Testo_Sinistra = 0;
  int32_t Testo_Sinistra_Simbolo = 0;
  int16_t Colonna_Bordo = -1;     // column whose right border is under the pointer; -1 none
  int32_t Bordo_X = 0;            // x of that border in window pixels
  int32_t Scarto_Trascinamento = 0;  // screen x of the cursor minus Bordo_X at the drag's start
  int32_t Limite_Sinistro = 0;    // left edge of the border column in window pixels
  bool Trascinamento = false;
};
extern Stato_Testata KyHead_Stato;

namespace stato_griglia {
// Puts every variable of this header back to its state before start-up.
void reset();
}  // namespace stato_griglia

}  // namespace kyx
