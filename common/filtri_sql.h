#pragma once
// The user's filter (table FILTRO) and the filters of layout elements (table LAY_FILTRO) as SQL
// conditions over the key columns of the data ("k_" followed by the key number in three digits,
// "e_" for the columns of another information system).
//
// A filter row has a key, an operator and two values: "=" the value belongs to a list, "N" it does
// not, "D" a range from value 1 to value 2; "*" in value 1 means all values and is skipped. Per key
// the rows make one group:
//   " and ((k_003 in('A','B') or k_003 between 'C' and 'F') and k_003 not in('D'))"
// The rows of the information system's index key (Sinf_Idx_Key), whose values are key numbers,
// do not become SQL in Filtro_Chiave_SQL and Filtro_Layout_SQL: they choose which of the keys
// 1..Sinf_Idx_Max are in play (the key-selection flags).
//
// Values go into the text between quotes with their own quotes doubled. Each operation reports a
// failure (a database error, a missing current row) with false and leaves no partial text.
#include <array>
#include <cstdint>
#include <string>

namespace kyx {

// Key-selection flags: entry k for key number k = 1..64 (entry 0 is not used); -1 (True) when
// the key is in play, 0 when it is not. The caller owns the array.
using Chiavi_Filtro = std::array<int16_t, 65>;

// The condition text of the user's filter over every key but Sinf_Idx_Key, each group followed by
// Separatore (the engine separates them by a tab, the data-sets menu by nothing); the text begins
// with " and (" whenever it is not empty. Chiavi receives the key selection (entries
// 1..Sinf_Idx_Max; the others are left alone). On failure Testo is "" and every flag is in play.
bool Filtro_Chiave_SQL(std::string& Testo, Chiavi_Filtro& Chiavi, const std::string& Separatore);

// The condition text of the whole user's filter, every key included, as the data server's
// elaboration request carries it. On failure Testo is "".
bool Filtro_Completo_SQL(std::string& Testo);

// The WHERE text of result column Colonna (Col_Where) and its key selection (Col_Where_Flag): the
// filter of the layout element on which Rs_Lay_Elem stands (layout Layout_Corrente) merged with
// the user's filter, given as the two results of Filtro_Chiave_SQL with the same Separatore. The
// element's condition on a key replaces the user's condition on that key. Sistema_Colonna is the
// column's information system ("" for the current one, whose columns are "k_", else "e_").
// On failure Col_Where of the column is "" and its flags are the user's.
bool Filtro_Layout_SQL(const std::string& Testo_Utente, const Chiavi_Filtro& Chiavi_Utente,
                       const std::string& Separatore, int16_t Colonna, const std::string& Sistema_Colonna);

}  // namespace kyx
