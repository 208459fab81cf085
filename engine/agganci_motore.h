#pragma once
// What the elaboration run calls in the main window and in the layouts subsystem, both of which
// lie above the engine: a library may not link upward, so the program fills these slots when it
// starts (ui/installa_motore.cpp), and a test of the program's wiring checks that every one is
// filled. The engine's own phases call each other directly. Tests replace a slot to watch a call.
//
// The grid's column fitting belongs to the views: until they exist the slot stays empty and the
// run keeps the widths the layout and the settings file gave (as with "Adatta dopo elaborazione"
// set to none).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kyx::agganci_motore {

// ---- Main window ---------------------------------------------------------------------------------
// frmBase.Imposta_Bar: brings the toolbar up to date.
extern std::function<void()> Imposta_Bar;
// frmBase.Ridimensiona: lays the main window out again.
extern std::function<void()> Ridimensiona;
// Text of the current layout's structure-tree node (Chiave_Layout), or of its parent when Padre;
// "" when none.
extern std::function<std::string(bool Padre)> Testo_Nodo_Layout;
// Sets the caption of the elaboration into the two title labels lbl_twE(0) and lbl_twE(1).
extern std::function<void(const std::string& Titolo)> Imposta_Titolo;
// ProgressBar1: minimum 0, the given maximum and value, placed over the status-bar panel
// "Progress" and shown.
extern std::function<void(float Massimo, float Valore)> Imposta_Progresso;
// ProgressBar1 filled up to its maximum; hidden.
extern std::function<void()> Completa_Progresso;
extern std::function<void()> Nascondi_Progresso;
// The banner (TimerBeta enabled, picture Beta shown) for its three seconds again.
extern std::function<void()> Mostra_Banner;

// ---- Views ---------------------------------------------------------------------------------------
// Visualizza_Larghezza_Colonne(Colonna, Intestazione, Terzo): fits the grid's column widths
// (every column when Colonna is 65535).
extern std::function<void(int32_t Colonna, bool Intestazione, int32_t Terzo)> Visualizza_Larghezza_Colonne;

// ---- Layouts -------------------------------------------------------------------------------------
// Salva_Layout(Operazione, Colonna): "ADD" saves the elaboration just finished into the history.
extern std::function<void(const std::string& Operazione, int16_t Colonna)> Salva_Layout;

// Every slot of this header, for the wiring test: name and whether it is filled.
struct Stato_Aggancio {
  const char* nome;
  bool pieno;
};
std::vector<Stato_Aggancio> Agganci();

// Empties every slot.
void reset();

}  // namespace kyx::agganci_motore
