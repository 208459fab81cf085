#pragma once
// Shared state of the layout files and the history: the current layout node's numbers, the
// parameter labels, and the remembered column settings (the copies the views read back when the
// same layout is shown again). Written by the layout loader and the levels dialog.
#include <array>
#include <cstdint>
#include <string>

namespace kyx {

extern int16_t Area_Corrente;                            // area of the current layout node
extern int16_t Chiave_Corrente;                          // key of the current layout node
extern std::array<std::string, 9> Parametri_Descrizione; // labels of parameters 1 .. 9
extern std::array<uint8_t, 256> Col_Visibile_Memoria;    // remembered Col_Visibile
extern int16_t Colonne_Bloccate_Memoria;                 // copy of Colonne_Bloccate
extern int16_t Colonna_Ordinamento_Memoria;              // copy of Colonna_Ordinamento
extern std::string Verso_Ordinamento_Memoria;            // copy of Verso_Ordinamento

namespace stato_layout {
// Puts every variable of this header back to its state before start-up.
void reset();
}  // namespace stato_layout

}  // namespace kyx
