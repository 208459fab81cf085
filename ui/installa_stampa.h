#pragma once
// Puts the printing into its slots: the printer layer's text measurement for the Foundation, the
// print key's tooltip and action, and what the print run reads of the main window (its handle,
// the grid's title, the chart's picture). The program calls it once at start; tests after
// resetting the slots.
namespace kyx {

void Installa_Stampa();

}  // namespace kyx
