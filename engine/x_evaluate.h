#pragma once
// Module xEvaluate: the formulas of calculated columns, such as (c3-c2)/c2*100 or
// if(c5>0,c4/c5,0).
//
// Grammar, from the loosest binding to the tightest: "and", "or", the comparisons = < > <= >= <>,
// + and -, %, * / and \ (integer division), ^. Every operator is left-associative (2^3^2 is 64).
// A sign is allowed wherever an operand may start (-2^2 is 4: the sign belongs to the operand).
// Leaves: a parenthesised formula, a sign, "not", if(condition,then,else), sin( cos( tan( sqr(,
// a reference c<n> (the row's value of column n), t<n> (the grand total of column n), s<n> (the
// subtotal of column n at level Livello_Subtotale), or a number (with "." as decimal point,
// an exponent, &h and &o prefixes). Case and blanks around tokens do not matter.
//
// Truth values are 1 and 0; where a value is tested as a condition only exactly 1 is true.
// Nothing here ever fails: a malformed text is worth 0 (its level -1), a division, an integer
// division or a remainder by 0 is 0, a power with a zero operand is 0, and a step whose result is
// not a finite number (the root of a negative number, an overflow) is 0 as well, so that one bad
// cell cannot stop an elaboration.
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx {

// The formula's value for the current row: reads Valori_Riga, Totali, Livello_Subtotale and
// Numero_Colonne. A formula beyond the limits below sets Formule_Oltre_Limiti.
double Evaluate(std::string_view Formula);

// The formula's computation level: 0 without column references (1 when it still holds a
// parameter placeholder "#x<n>"), else 1 + the highest Col_Precedenza of the columns it reads;
// -1 when the text is malformed or a column it reads has no level yet.
int32_t Evaluate_Livello(std::string_view Formula);

// True when the formula is longer or nested deeper than the limits below: it is then worth 0.
bool Formula_Oltre_Limiti(std::string_view Formula);

namespace x_evaluate {
// Formulas longer than this, or nested deeper than kProfondita_Massima parentheses, signs, "not",
// if( and functions, count as malformed, so that no text costs unbounded time or stack. A chain
// of operators is no nesting.
inline constexpr size_t kLunghezza_Massima = 4096;
inline constexpr int kProfondita_Massima = 500;
}  // namespace x_evaluate

}  // namespace kyx
