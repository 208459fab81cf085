#pragma once
// The content of one cell of a computed column in the current row of the display recordset: the
// value of a formula, or the label of a row level (formatted code or description of the row's
// key, "Totale ...", "Totale generale").
#include <cstdint>
#include <string>

namespace kyx {
namespace data {
class Recordset;
}

// Writes the cell of column Colonna in the current row of Rs (the caller saves the row). Formula
// is the column's token or formula. Key and data columns are left alone; formulas are computed on
// detail rows, and on the other rows only for columns with total kind "T".
void Valore_Cella(int16_t& Colonna, std::string& Formula, data::Recordset& Rs);

}  // namespace kyx
