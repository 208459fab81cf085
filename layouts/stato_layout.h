#pragma once
// Shared state of the layout files and the history: the current layout node's numbers and the
// parameter labels. Written by the layout loader and the levels dialog. The remembered column
// settings that the loader also writes are the engine's (engine/stato_motore.h).
#include <array>
#include <cstdint>
#include <string>

#include "engine/stato_motore.h"

namespace kyx {

extern int16_t Area_Corrente;                            // area of the current layout node
extern int16_t Chiave_Corrente;                          // key of the current layout node
extern std::array<std::string, 9> Parametri_Descrizione; // labels of parameters 1 .. 9

namespace stato_layout {
// Puts every variable of this header back to its state before start-up.
void reset();
}  // namespace stato_layout

}  // namespace kyx
