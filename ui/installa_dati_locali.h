#pragma once
// Puts the local data-sets menu and the lists of the grid (loaded data sets, key codes) into the
// main window's slots, and the main window's services into the lists' slots. The program calls it
// once at start; tests after resetting the slots.
namespace kyx {

void Installa_Dati_Locali();

}  // namespace kyx
