#pragma once
#include <string>

namespace kyx {

// Writes the table the grid shows into File as fixed-width text (Windows-1252, CR LF): title
// line, the filter block of an elaboration result, grid title, heading lines, a dash line and
// the rows, each column as wide as its widest heading piece or cell.
void Esporta_TXT(std::string& File);

}  // namespace kyx
