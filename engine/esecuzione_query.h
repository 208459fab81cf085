#pragma once
// The query loop of an elaboration: every query of the list is run in the mode of the run into
// the work table DATI2 (in memory: one field x000.. per item of its select list) and merged into
// DATI at once. "LOCALE" queries of the engine's own shapes are answered from the columnar copy of
// the data set (platform/data/columnar_query.h), any other text by the database. Two passes: the
// first runs the queries as built, except those of another system when the layout asks the
// server for per-level values ("1", "2"); after it the zero, head and subtotal rows are made; the
// second runs each query put off, as built and then once per subtotal level. The progress bar
// follows the loop.
#include <cstdint>
#include <string>

namespace kyx {

// Phase N (with O and P inside it).
void Esegui_Query();

// Opens Rs_Lavoro as the empty work table DATI2 of Sql, in memory: one field x000.. per item of its
// select list (a text as wide as a key item, else a number); false when it has no item.
bool Crea_Dati2(const std::string& Sql);

// The message of a query that failed in "SQL" or "LOCALE" mode: "Errore 027 - Richiesta_ESEGUI",
// then the query's number (three digits) and its text on the next lines; critical icon.
void Errore_Query(int16_t q, const std::string& Sql);

}  // namespace kyx
