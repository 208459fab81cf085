#pragma once
// Puts the chart into the main window's slots: the chart display, the chart options pop-up (the
// toolbar's "Visualizza" and the pop-up closed by a press on the main window) and the colour
// dialog the chart's recolouring opens. The program calls it once at start; tests after resetting
// the slots.
namespace kyx {

void Installa_Grafico();

}  // namespace kyx
