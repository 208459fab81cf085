#pragma once
// The last passes over the result rows: the subtotal and grand-total cells of the columns that the
// queries filled only in part are summed again from the rows beneath them, and the head and
// subtotal rows that an outline layout asks to hide are dropped from the display.
#include <cstdint>

namespace kyx {

// Re-sums, in key order, the subtotal and grand-total cells of every column with at least one
// Col_Livello_Totale entry at 0; a subtotal cell whose (level, column) entry is 0 came from a
// query and is kept, but still counts towards the enclosing level. Outline and "L" layouts alike:
// details without a level digit lie at the innermost level, and every closed group starts the
// next one of its level from zero.
void Ricalcola_Subtotali();

// Deletes from Rs_Griglia the head rows of the levels whose Liv_Intestazione is "N", and the
// subtotal rows of the levels whose Liv_Subtotale is "N", or "1" when the group held a single
// value of column Colonna_Chiave (the level-1 outline key).
void Elimina_Livelli_Nascosti(int32_t Colonna_Chiave);

}  // namespace kyx
