#pragma once
// The result table DATI of an elaboration: its recreation for the new column model, and the rows
// that a layout without row levels (a fixed grid) has before any query runs.
//
// Row key c000 of DATI: characters 1-6 a sequence number, 7 the row kind ("1" head row of a
// level, "2" detail, "3" subtotal, "4" grand total), 8 the level digit, 9-11 on the rows of
// layouts with "R" levels the key number of the level. Rows are ordered by c000 as text, then by
// their key codes k001...
#include <string>

namespace kyx {

// Row key of every detail row as the merge creates it: it sorts after every renumbered row and
// before the grand total "9999994".
inline constexpr char kChiave_Dettaglio[] = "9999992";

// Row key of fixed row r of a layout without row levels: Format(r, "000000") & "2".
std::string Chiave_Riga_Fissa(int r);

// Recreates DATI for the current column model (Apri_MDB3, which reports its own failures). When
// the same layout runs again with generated cross-tab columns whose codes changed, first sets
// Layout_Precedente to -123, so that the saved column visibility is not applied to other columns.
void Crea_Risultato();

// Only for a layout without row levels: adds its rows 1 .. Riga_Layout_Massima with the initial
// cell values and "-" in every key-code column, then writes the constant texts of its "#@text#"
// elements into their text columns. Elements whose row is missing are passed over.
void Righe_Fisse();

}  // namespace kyx
