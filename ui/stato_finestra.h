#pragma once
// Shared state of the main window and of the views it hosts: the grid's mode and scroll positions
// as the toolbar resets them, the toolbar's pressed button, the action timer, the layout flags and
// the filter-panel values. One program-wide instance each, as the rest of the shared state.
#include <array>
#include <cstdint>
#include <string>

#include "common/modello.h"
#include "print/stato_stampa.h"
#include "views/stato_griglia.h"

namespace kyx {

// Modo_Griglia, Chiave_Elenco, Tipo_Data_Chiave and Livello_Contatore_2 are written by the
// elaboration engine too and live in common/modello.h.

// ---- Grid (views) -----------------------------------------------------------------------------
// Riga_Evidenziata, the highlighted record, is the views' (views/stato_griglia.h).
// Set by the filter-type procedure: the filter boxes are read-only.
extern bool Filtro_Stato_2;
// Values typed in the filter boxes: (1) first value, (0) end of a range.
extern std::array<std::string, 2> Filtro_Valori;
// Range entry in progress.
extern int16_t Intervallo_Passo;
extern int16_t Intervallo_Chiave;

// ---- Layouts ----------------------------------------------------------------------------------
// Node key of the layout chosen in the structure tree; blank when none.
extern std::string Chiave_Layout;
// Key of the structure-tree node whose layout was elaborated last ("" none).
extern std::string Nodo_Layout;

// ---- Printing ---------------------------------------------------------------------------------
// The page range Stampa_Da_Pagina .. Stampa_A_Pagina that the toolbar's print key resets is the
// print run's (print/stato_stampa.h).

// ---- Main window ------------------------------------------------------------------------------
// 255 twips in pixels, rounded (17 at 96 DPI); set when the main window loads.
extern int32_t Pixel_255_X;
extern int32_t Pixel_255_Y;
// Look of the layout-order button: 0 plain, 1 highlighted, 2 pressed; -1 forces a redraw.
extern int16_t Stato_PicLayout;
// 0 until the main window's first layout, then True (-1).
extern int16_t Stato_Ridimensiona;
// 1-based index of the toolbar button held down; 0 none. One value serves both toolbars.
extern int16_t Pulsante_Premuto;
// Seconds since midnight at the start and at the end of the last action.
extern float Tempo_Inizio;
extern float Tempo_Fine;
// Set when a press on the main window closed a pop-up (or a release answered a help click);
// cleared, with the window enabled again, on the next release.
extern bool Popup_Chiuso;
// Whether the main window's hook is installed (Hook_Imposta / Hook_Rimuovi).
extern bool Hook_Installato;
// The program-wide pointer shape (Screen.MousePointer): 0 default, 11 hourglass, 99 context help.
extern int16_t Puntatore_Schermo;

// Sets the program-wide pointer shape and remembers it in Puntatore_Schermo.
void Imposta_Puntatore(int16_t Forma);

namespace stato_finestra {
// Puts every variable of this header back to its state before start-up.
void reset();
}  // namespace stato_finestra

}  // namespace kyx
