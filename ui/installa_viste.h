#pragma once
// Puts the main window's grid, scroll bars, layout, header strip and gate into the views' slots
// (views/agganci_viste.h), and the views into the slots that the main window and the engine call
// for them: the grid display, the header strip and the column auto-width. The program calls it
// once at start; tests after resetting the slots.
namespace kyx {

void Installa_Viste();

}  // namespace kyx
