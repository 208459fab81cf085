#pragma once
// The last touches to the column model once DATI holds its rows: the headings of the generated
// cross-tab columns, and the order in which the derived columns can be computed.
#include <string>

namespace kyx {

// Replaces the "#C" placeholders in the headings of the generated cross-tab columns (Col_VCK <> 0)
// by what the column stands for: "#C<n>D" the title chosen for column level n, "#C<n>C" the
// column's code as its key shows it, "#C<n><mm>" (mm between angle brackets) description mm of
// that code. Other headings, and placeholders of any other shape, stay as they are.
void Espandi_Intestazioni();

// Gives every column its computation level in Col_Precedenza: 0 for the values read from the
// database, 1 for texts and descriptions, a formula one more than the highest level it reads, a
// rank or running sum 50 more than the column it ranks or sums. Unresolved after ten passes
// (a reference to a missing column, a circle of formulas) stays -1. Precedenza_P is the level of
// the first running-sum column, -1 when none.
void Calcola_Precedenze();

}  // namespace kyx
