#pragma once
// The rows DATI gets once its detail rows are merged: all-zero rows removed, subtotal rows of the
// row levels ("L" layouts) with the detail rows renumbered into their groups, and the grand-total
// row.
//
// Row keys written here: detail Format(s, "000000") & "2", subtotal of level l (0 = outermost)
// Format(s, "000000") & "3" & Format(Numero_Livelli - 1 - l, "0"), grand total "9999994".
#include <array>
#include <cstdint>

namespace kyx {

// Deletes every row whose numeric cells (columns 1..Numero_Colonne with Col_Tipo 0) are all zero
// or empty.
void Elimina_Righe_Zero();

// Numbers the rows by their groups and adds a subtotal row after each group of every level but the
// innermost. A group ends when the key of its level or of any level outside it changes. Livelli(l): the column of row level l + 1; Colonne_Valore(0..Ultimo_Valore): the
// columns that receive summed values.
void Aggiungi_Subtotali(const std::array<int32_t, 10>& Livelli, int32_t Ultimo_Valore,
                        const std::array<int16_t, 256>& Colonne_Valore);

// The index of the last value-map entry of the elaboration's queries (-1 when there is none): the
// value columns that subtotal rows sum are Query_Colonna(0 .. this).
int32_t Ultimo_Valore_Elaborazione();

// Step P, after the first pass over the queries: zero rows (unless Righe_Zero), then the head rows
// of "R" levels or the subtotals of "L" levels that the layout asks for.
void Righe_Subtotale();

// Step Q: the grand-total row, when DATI holds any row.
void Riga_Totale();

}  // namespace kyx
