#pragma once
// The layout file pair of an elaboration and the history: saving the current elaboration
// (Salva_Layout "ADD") or single keys of its layout file, and loading a pair back, as saved or
// run again on current data (Carica_Layout).
#include <cstdint>
#include <string>

namespace kyx {

// "ADD": writes the layout file and the saved result file (Rs_Griglia) of Elaborazione_Corrente
// into the history and trims the history to Elementi_Storico numbers. "DIM", "VIS", "BLK",
// "ORD": updates one key of the current elaboration's layout file (only when that file exists)
// and the remembered copies; "DIM" also stores the width of column Colonna of the current
// layout in KYX.INI ("Dim L<lll> <ccc>"). Any other operation does nothing.
void Salva_Layout(const std::string& Operazione, int16_t Colonna);

// Passo -1 / +1: the previous / next elaboration of the history that has a layout file (numbers
// without files are stepped over); Passo 0: the layout file Nome_File (a favourite). Aggiorna
// false shows the saved result; true restores the layout and runs the elaboration again (for
// Passo 0 the favourite's saved result is replaced when the run went through to its end). The
// file is read and checked before anything changes: a missing or damaged file is reported and
// leaves the shared state as it was. True when the file was shown, or run again to its end
// (with a favourite's saved result replaced); false when nothing was loaded, nothing was run
// (the layout is gone from the tree) or the run or the replacement failed.
bool Carica_Layout(int16_t Passo, const std::string& Nome_File, bool Aggiorna);

// Deletes the history files of every number up to Storico_Ultimo - Elementi_Storico and moves
// Storico_Primo past them.
void Riduci_Storico();

}  // namespace kyx
