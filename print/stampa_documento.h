#pragma once
// The print run of the main program: what the grid shows, on the printer of the print settings,
// page by page, with the table of the active filters before it (result mode) and the chart after
// it (when the chart is shown).
namespace kyx {

// True when the run reached the end of its document or found the grid empty; false when the
// layout was not found or the printer could not be set up or written (after its message).
bool Stampa_Documento();

// Ends the page being laid out ("..." at its foot when it is drawn) and starts the next one with
// its header. Always true.
bool Stampa_Nuova_Pagina();

// The column header at Stampa_Y (drawn on a drawn page), then Stampa_Y below it. Always true.
bool Stampa_Intestazione();

// The chart below what was printed, scaled to the printable width or height. Always true.
bool Stampa_Grafico();

}  // namespace kyx
