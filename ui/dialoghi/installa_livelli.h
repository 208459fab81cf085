#pragma once
// Puts the structure tree and the levels dialog into the main window's slots: the rebuild of twL
// (Carica_Albero_Struttura), the dialog's two entries (Carica_da_TW from a layout node,
// Carica_da_Drill from a result cell) and its place among the pop-ups a press on the main window
// closes. The program calls it once at start; tests after resetting the slots.
namespace kyx {

void Installa_Livelli();

}  // namespace kyx
