#pragma once
// The query loop of an elaboration: every query of the list is run in the mode of the run into
// the work table DATI2 (one column x000.. per item of its select list, indexed on its code
// columns) and merged into DATI at once. Two passes: the first runs the queries as built, except
// those of another system when the layout asks the server for per-level values ("1", "2"); after
// it the zero, head and subtotal rows are made; the second runs each query put off, as built and
// then once per subtotal level. The progress bar follows the loop.
#include <cstdint>
#include <string>

namespace kyx {

// Phase N (with O and P inside it).
void Esegui_Query();

// Recreates DATI2 in KYX_3.MDB for the items of Sql and opens Rs_Lavoro on it (index DATI2L);
// false when that fails.
bool Crea_Dati2(const std::string& Sql);

}  // namespace kyx
