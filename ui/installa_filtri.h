#pragma once
// Puts the main window's filter commands and key tree into the slots that the views, the layouts
// and the toolbar call. The program calls it once at start; tests after resetting the slots.
namespace kyx {

void Installa_Filtri();

}  // namespace kyx
