#pragma once
// Puts the main window's services into the slots through which the elaboration engine reaches it
// (toolbar, layout, title labels, progress bar over the panel "Progress", banner), and the engine
// into the toolbar's "Elabora" slot. The program calls it once at start; tests after resetting
// the slots.
namespace kyx {

void Installa_Motore();

}  // namespace kyx
