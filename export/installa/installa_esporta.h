#pragma once
// Puts the export into the toolbar key "Salva" (agganci_base::Azioni) and gives it the main
// window's services it uses (agganci_esporta: the title label lbl_twE(0), Grid1's grid-line
// colour, the start time of the action). The program calls this once at start; tests after
// resetting the slots.
namespace kyx {

void Installa_Esporta();

}  // namespace kyx
