#pragma once
// Puts the layout files into the slots through which the rest of the program reaches them, and
// gives the layout files the main window's services they use:
// - agganci_base::Carica_Layout (the toolbar's history steps, the favourites);
// - agganci_dialoghi::Converti_Preferiti (the options dialog upgrades the history and favourites
//   folders every time a profile is applied) and the dialog's buttons "Pulizia Prefer." and
//   "Anno Riferim." (agganci_dialoghi::Opzioni "cmdPreferiti_Click", "cmdAnnoRiferimento_Click");
// - every slot of layouts/agganci_layout.h from the main window (title label, Chiave_Layout,
//   the structure tree's marked node, the filter commands and the two trees, Ridimensiona).
// Salva_Layout has the signature of the engine's slot for the history save and is put there by
// the engine's own wiring. The program calls this once at start; tests after resetting the slots.
namespace kyx {

void Installa_Layout();

}  // namespace kyx
