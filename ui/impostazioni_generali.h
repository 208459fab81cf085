#pragma once
// Section "Generale" of KYX.INI and the per-profile column widths: read when the main window
// loads (Leggi_Impostazioni_Generali, Imposta_Form_Base) and written back at shut-down
// (Fine_Programma).
namespace kyx {

// Restores the main window's state and placement (clamped to the screen, at least 9450 x 6000
// twips), the splitter ratios and the chart and display options; starts the socket layer with the
// character table KYX.Tbl; resets the connection and display state. Bad values get defaults.
void Leggi_Impostazioni_Generali();

// Reads the column widths of the two lists of the current profile, cleans and numbers the history
// of elaborations from the file names in the history folder, and sets (or clears, without help
// messages) the tooltips of the main window.
void Imposta_Form_Base();

// The orderly shut-down: removes the main window's hook, writes section "Generale" and the list
// widths, closes the four local databases and the socket layer, closes the help viewer and unloads
// the debug window. It does not end the program: its callers do.
void Fine_Programma();

}  // namespace kyx
