#pragma once
// Head rows of row levels: a layout whose row levels are shown as an indented outline in one
// column ("#R1(" .. "#R9(" tokens, the column of level 1 being the outline column) gets, around
// its sorted detail rows, a head row before each new group of a level and a subtotal row after
// each closed group, and every row the 11-character key that orders them.
//
// Keys written here (s: sequence number of six digits, kkk: a key number of three digits):
//   head row of level l (0 = outermost)   s(first detail of the group) & "1" & (l + 1) & kkk
//   detail                                s & "2" & (T + 1) & kkk, or s & "2" (no outline column)
//   subtotal of level l                   s(last detail of the group) & "3" & (9 - l) & kkk
// so a head row sorts before its first detail and the subtotals after the last, innermost first.
#include <array>
#include <cstdint>

namespace kyx {

// Expands DATI into its outline. Livelli(l): the column of row level l + 1; Larghezze(l): the
// width of that level's key code (the fillers "¿" of the subtotal rows' key codes are that wide);
// Colonne_Valore(0..Ultimo_Valore): the columns that receive summed values. The subtotal rows get
// the group's key codes with fillers for the levels they total over, so that the second query
// pass finds them. Leaves Col_Chiave = -2 on every outline column.
void Espandi_Righe_R(const std::array<int32_t, 10>& Livelli, const std::array<int32_t, 10>& Larghezze,
                     int32_t Ultimo_Valore, const std::array<int16_t, 256>& Colonne_Valore);

// The same for the elaboration being run, with its own level columns, code widths and value
// columns (step P).
void Espandi_Righe_R();

}  // namespace kyx
