#pragma once
#include <string>

namespace kyx {

// Writes the table the grid shows into File as one web page with its own style sheet: the
// profile's font and colours, alternating rows, head and subtotal rows coloured by level, the
// grand total in its colour and a raised header; the filter table of an elaboration result.
void Esporta_HTM(std::string& File);

}  // namespace kyx
