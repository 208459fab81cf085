#pragma once
// The texts behind the row filter and row search of a grid column: reading a number typed in a box,
// building the filter criteria of the shown recordset from the boxes "Da", "A" and "Contenuto",
// reading the boxes back out of a filter in force, and testing one value against the boxes for the
// search. No widgets here.
//
// Filters built (column 4 a text column, column 6 a numeric one):
//   c004>='B'    c004<='F'    c004>='B' AND c004<='F'    c004 LIKE '*ROSSI*'    c006>=100.000
// Texts go between single quotes with a quote doubled ('O''Brien'); in "Contenuto" the pattern
// characters "*", "%", "?" and "[" are put in brackets, so that they stand for themselves. Numbers
// are written with a decimal point and three decimals whatever the locale.
#include <array>
#include <string>
#include <string_view>

namespace kyx {
namespace data {
class Value;
}

// The three boxes: 0 "Da" (from), 1 "A" (to), 2 "Contenuto" (contains), right-trimmed.
using Caselle_Filtro = std::array<std::string, 3>;

// A number typed in a box, read as the user's locale writes numbers (its decimal separator, so
// "12,5" is 12.5 under an Italian locale and "12.5" under an English one): the one rule of both the
// filter and the search. False when the text is not a number.
bool Numero_Digitato(std::string_view Testo, double& Valore);

// What the boxes ask for: the range and the fragment are never combined.
enum class Richiesta_Filtro { Nessuna, Intervallo, Contenuto, Intervallo_E_Contenuto };
Richiesta_Filtro Tipo_Richiesta(const Caselle_Filtro& Caselle);

// The filter criteria of field Nome_Campo ("c004") for the boxes; "" when all are empty (every
// row). Numeric columns: the boxes must hold numbers (Numero_Digitato) and "Contenuto" is not used.
std::string Criterio_Filtro(std::string_view Nome_Campo, bool Testo, const Caselle_Filtro& Caselle);

// The boxes as they were typed for the filter in force, when it is a filter of field Nome_Campo
// built by Criterio_Filtro; empty boxes otherwise. Numbers come back in the locale's number format.
Caselle_Filtro Caselle_Da_Filtro(std::string_view Filtro, std::string_view Nome_Campo);

// The search condition of the boxes: Da <= value, value <= A, or the value containing the text of
// "Contenuto" (case counts, every character stands for itself). A Null, or a text where a number
// is looked for, never meets it. Numeric bounds are read once, by Numero_Digitato.
class Condizione_Ricerca {
 public:
  Condizione_Ricerca(bool Testo, const Caselle_Filtro& Caselle);
  bool Soddisfatta(const data::Value& Valore) const;

 private:
  bool testo_;
  Caselle_Filtro caselle_;
  bool ha_da_, ha_a_, ha_contenuto_;
  double da_ = 0, a_ = 0;
};

}  // namespace kyx
