#pragma once
// The columns whose values come from other columns of the result: the outline column of an R
// layout (its code replaced by the row key and a level marker), ranks, running sums and formula
// columns with their subtotal and grand-total rows. They are computed on the display recordset
// Rs_Griglia, level by level in the order Calcola_Precedenze gave, so that a column is computed
// after every column it reads.
#include <cstdint>

namespace kyx {

// Mode 0 (first call after an elaboration): the outline column and every level below the first
// running sum. Mode -1 (true; after the display sort is final, and again after every re-sort): the
// order-dependent part, the running sums and everything above them, or only the columns whose
// level is unknown when there is no running sum; the display sort is re-applied. An empty
// recordset is left alone; a grid that shows no elaboration result only gets its sort back.
void Ricalcola_Colonne(int16_t& Modo);

}  // namespace kyx
