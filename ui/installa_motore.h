#pragma once
// Puts the main window's services into the slots through which the elaboration engine, which lies
// below the main window, calls up into it (engine/agganci_motore.h), and the engine into the main
// window's slots for it (Esegui_Elaborazione, Record_Risultato). The program calls it once at
// start; tests after resetting the slots.
//
// agganci_motore::Visualizza_Larghezza_Colonne is filled by the views' installer (installa_viste.h).
// agganci_motore::Salva_Layout is filled by the layouts library's own installer.
namespace kyx {

void Installa_Motore();

}  // namespace kyx
