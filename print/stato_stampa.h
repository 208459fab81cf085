#pragma once
// State of the print run Stampa_Documento, shared by its steps (page layout, rows and page
// breaks, chart): the printer's context, fonts and pen, the line heights, the current position
// and page, and the page range the run draws.
#include <array>
#include <cstdint>

namespace kyx {

// Page range: pages Stampa_Da_Pagina .. Stampa_A_Pagina are drawn; both 0 = every page. Set by
// the toolbar's print key (all pages) and by the print dialog.
extern int32_t Stampa_Da_Pagina;
extern int32_t Stampa_A_Pagina;

extern int32_t Stampa_DC;                 // printer context of the run
extern int32_t Stampa_Font_Titolo;        // page header font, weight 800
extern int32_t Stampa_Font_Dati;          // cell font, weight 400
extern int32_t Stampa_Font_Grassetto;     // cell font of head, subtotal and total rows (result mode)
extern int32_t Stampa_Penna;              // black pen of 5 twips for every border
extern int32_t Stampa_Altezza_Riga;       // one printed line, twips
extern int32_t Stampa_Altezza_Riga_2;
extern int32_t Stampa_Altezza_Riga_3;
extern int32_t Stampa_Altezza_Testata;    // page header box: two lines of the first fonts
extern int32_t Stampa_Inizio_Corpo;       // top margin to the first line: three lines of the first fonts
extern int32_t Stampa_Y;                  // top of the next line
extern int32_t Stampa_Pagina;             // page being laid out; 0 before the first
extern bool Stampa_Pagina_Attiva;         // the page being laid out lies in the range and is drawn

// Column edges of the run: X_Colonna[i] the left edge of result column i, X_Colonna[i + 1] its
// right edge.
extern std::array<int32_t, 257> X_Colonna;

namespace stato_stampa {
void reset();
}  // namespace stato_stampa

}  // namespace kyx
