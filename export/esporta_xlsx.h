#pragma once
// The Office Open XML workbook export: the package parts streamed into a zip archive that
// replaces the target file when whole.
#include <cstdint>
#include <string>

namespace kyx {

// The A1-style reference of a cell: the column letters (none for Colonna 0) and the row number.
// 1 is "A", 26 "Z", 27 "AA", 252 "IR".
std::string XLSX_Cella(int32_t Riga, int32_t Colonna);

}  // namespace kyx
