#pragma once
// The main window's services that the elaboration run calls, as slots: the engine lies below the
// main window and may not link upward, so the program fills every slot when it starts
// (ui/installa_motore.h). The run's own phases are no slots: the engine calls them itself.
// A slot a test leaves empty is skipped; in the program every slot of a subsystem that exists is
// filled, which a test of the program's wiring checks.
#include <cstdint>
#include <functional>
#include <string>

namespace kyx::agganci_motore {

// frmBase.Imposta_Bar: brings the toolbar up to date.
extern std::function<void()> Imposta_Bar;
// frmBase.Ridimensiona: lays the main window's controls out again.
extern std::function<void()> Ridimensiona;
// Text of the current layout's structure-tree node (Chiave_Layout), or of its parent when Padre;
// "" when none.
extern std::function<std::string(bool Padre)> Testo_Nodo_Layout;
// Sets the caption of the elaboration into the two title labels lbl_twE(0) and lbl_twE(1).
extern std::function<void(const std::string& Titolo)> Imposta_Titolo;
// ProgressBar1: minimum 0, the given maximum and value, placed over the status-bar panel
// "Progress" and shown.
extern std::function<void(float Massimo, float Valore)> Imposta_Progresso;
// ProgressBar1 filled (its value set to its maximum), or hidden.
extern std::function<void()> Completa_Progresso;
extern std::function<void()> Nascondi_Progresso;
// The start-up banner shown again for its three seconds (TimerBeta enabled, Beta visible).
extern std::function<void()> Mostra_Banner;
// The views' Visualizza_Larghezza_Colonne(Colonna, Intestazione, Terzo): fits the grid columns to
// their contents, every column when Colonna is 65535, the heading lines too when Intestazione.
// Filled by the views when they exist.
extern std::function<void(int32_t Colonna, int16_t Intestazione, int16_t Terzo)> Visualizza_Larghezza_Colonne;
// The layouts' Salva_Layout(Operazione, Colonna): "ADD" saves the finished elaboration into the
// history. Filled by the layouts library, which lies above the engine.
extern std::function<void(const std::string& Operazione, int16_t Colonna)> Salva_Layout;

// Empties every slot.
void reset();

}  // namespace kyx::agganci_motore
