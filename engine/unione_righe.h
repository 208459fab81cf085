#pragma once
// The merge of one query's rows (the work table DATI2, Rs_Lavoro) into the result table DATI, and
// the accumulation of every merged value into its cell and into the column's grand total.
//
// Two directions. B, driven by the work rows (the usual one): each work row finds the result row
// with the same codes (compared as the index DATI_L2 compares them), or creates it, and adds its
// values; in the first pass of a run it works on a copy of DATI in memory. A, driven by the result
// rows (a query of another information system whose values fill rows that exist): each detail or
// subtotal row of DATI finds its work row by the codes of its levels, in one transaction.
#include <cstdint>

namespace kyx {

// Adds one value of the current work row into cell Colonna of the current result row (the caller
// saves the row): the work field Livello_Contatore_1 + Scarto, or 1 when Conta (a row count).
// Pass 1 also adds it to Totali(0, Colonna); a row count adds to it in either pass. Columns
// outside 0..252 take nothing. A Null value makes the cell Null and leaves the total alone.
void Accumula_Totali(bool Conta, int32_t Colonna, int32_t Scarto, int32_t Passata);

// Merges the rows of query Query (run in pass Passata, 1 or 2) into DATI, then closes the work
// recordset. Livelli_Mancanti: the leading row levels that the query's system cannot group by.
void Unisci_Righe(int16_t Query, int32_t Passata, int32_t Livelli_Mancanti);

// Between these two calls (the first pass of a run) the merges of direction B work on a copy of
// DATI in memory, which
// Concludi_Unione writes back into the table in one transaction (and so does a merge that must
// read the table: direction A, the fixed rows). Nothing else may read DATI in between.
void Inizia_Unione();
void Concludi_Unione();

}  // namespace kyx
