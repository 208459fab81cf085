#pragma once
// The context-help map: 96 text rows "llll,tttt,rrrr,bbbb,nnnnn" (left, top, right, bottom in
// pixels of the outer frame of the window the row belongs to, edges inclusive, and the topic of
// the help file). Rows 1 .. 66 are the dialogs' and pop-ups' (fixed, written when the main window
// is hooked; 54 .. 56 rewritten by the levels menu), 71 .. 96 the main window's, rebuilt from its
// layout each time context-help mode starts (FrmBase::Ridimensiona_Mappa). 9999 is the far edge;
// a row "9999,9999,9999,9999" never matches.
#include <array>
#include <cstdint>
#include <string>

namespace kyx {

// Rows 1 .. 96 (element 0 unused).
extern std::array<std::string, 97> Mappa_Aiuto;

// Writes the fixed rows 1 .. 66.
void Imposta_Mappa_Fissa();

// The lookup: the pointer position in the window's map units, the first row of Primo .. Ultimo
// whose rectangle holds it, and its topic opened in the help viewer (KYX.CHM in the program
// folder); the viewer's handle goes into Finestra_Aiuto. No row matching: nothing happens.
void Help_Mappa_Apri(int32_t& Top, int32_t& Left, int32_t& hWnd, int32_t& Primo, int32_t& Ultimo);

// Opens the help viewer on `Argomento` of the program's help file ("" for its default topic),
// owned by window `hWnd`; the viewer's handle, or 0 after a message when the file cannot be read.
int32_t Apri_Argomento(int32_t hWnd, const std::string& Argomento);

// The row of the map that holds map point (x, y) among Primo .. Ultimo; 0 for none.
int Riga_Mappa(int x, int y, int Primo, int Ultimo);

// Empties the map.
void reset_mappa_aiuto();

}  // namespace kyx
