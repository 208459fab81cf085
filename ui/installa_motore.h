#pragma once
// Puts the main window's services into the slots through which the elaboration engine, which lies
// below the main window, calls up into it (engine/agganci_motore.h), and the engine into the main
// window's slots for it (Esegui_Elaborazione, Record_Risultato). The program calls it once at
// start; tests after resetting the slots.
//
// The views do not exist yet: agganci_motore::Visualizza_Larghezza_Colonne stays for them to fill.
// agganci_motore::Salva_Layout is filled by the layouts library's own installer.
namespace kyx {

void Installa_Motore();

}  // namespace kyx
