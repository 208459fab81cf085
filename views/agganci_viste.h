#pragma once
// What the views call in the main window, which lies above them: its grid and scroll bars, its
// layout, the header strip, its input gate and the program-wide pointer. The main window fills
// these slots when the program starts (ui/installa_viste.h). With no grid installed the display
// routines do nothing; tests that drive the views fill the slots with real controls.
#include <cstdint>
#include <functional>

namespace kyx::ui {
class FlexGrid;
class VbScrollBar;
}  // namespace kyx::ui

namespace kyx::agganci_viste {

// The result grid Grid1 and its two scroll bars: Scroll_V (records) and Scroll_O (columns).
struct Controlli {
  ui::FlexGrid* Grid1 = nullptr;
  ui::VbScrollBar* Scroll_V = nullptr;
  ui::VbScrollBar* Scroll_O = nullptr;
};
extern std::function<Controlli()> Griglia;
// frmBase.Ridimensiona: lays the main window out again (the grid mode changed).
extern std::function<void()> Ridimensiona;
// frmBase.KyHead_Aggiorna: repaints the header strip from the grid's columns.
extern std::function<void()> KyHead_Aggiorna;
// frmBase.Enabled (the main window's input gate).
extern std::function<void(bool Abilitato)> Abilita_Base;
// The program-wide pointer shape (0 default, 11 hourglass).
extern std::function<void(int16_t Forma)> Imposta_Puntatore;
// Visualizza_Grafico: redraws the chart page while the chart is shown.
extern std::function<void()> Visualizza_Grafico;

// The installed grid controls, or all null.
Controlli Controlli_Griglia();

// Empties every slot.
void reset();

}  // namespace kyx::agganci_viste
