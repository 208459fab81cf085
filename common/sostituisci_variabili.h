#pragma once
// Placeholders of layout captions, column headings and filter values, expanded with the current
// layout's parameters, the reference year, the current month and the texts of the row levels:
//   #XnC      key number of parameter n, three digits       #XnD   title of that key
//   #Xn<mm>   parameter n shown for its key in mode mm      #Xn    parameter n, trimmed
//   #A+n #A-n #A??   reference year plus or minus n, or itself (four digits)
//   #M+n #M-n #M??   current month plus or minus n (kept within 1..12), or itself, as two blanks
//                    and two digits
//   #LnD #RnD        text of row level n
// n is a digit 1..9, mm two digits; the year and month placeholders keep the length of the text.
#include <functional>
#include <string>

#include "platform/vb/vb.h"

namespace kyx {

// Testo with its placeholders expanded. A placeholder that needs the current layout row
// (#XnC, #XnD, #Xn<mm>) fails when Rs_Layout stands on no row or the parameter's key field is
// Null: then the result is "" and *Riuscito (when given) false.
std::string Sostituisci_Variabili(const std::string& Testo, bool* Riuscito = nullptr);

namespace sostituisci_variabili {
// The clock that gives "today" to the month placeholders (vb::Now when none is set); tests fix it.
void set_clock(std::function<vb::DateTime()> clock);
// Puts back the system clock.
void reset();
}  // namespace sostituisci_variabili

}  // namespace kyx
