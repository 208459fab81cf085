#pragma once
// The main window's services that the export uses, as slots: the export lies below the main
// window and may not link it. The program fills every one at start-up (export/installa); tests
// put their own in.
#include <cstdint>
#include <functional>
#include <string>

namespace kyx::agganci_esporta {

// Caption of the title label lbl_twE(0): the title of what the grid shows.
extern std::function<std::string()> Titolo_Griglia;
// Grid1's grid-line colour (an OLE colour).
extern std::function<int32_t()> Colore_Griglia;
// Tempo_Inizio := seconds since midnight: a writer starts writing.
extern std::function<void()> Segna_Inizio;

// Empties every slot.
void reset();

}  // namespace kyx::agganci_esporta
