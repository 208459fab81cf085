#pragma once
// Text written into the parts of an XLSX workbook.
#include <string>
#include <string_view>

namespace kyx {

// Every character but the digits and the letters A-Z, a-z becomes "&#" code point ";" (the blank
// too: "&#32;"; "é" is "&#233;"), so that a part holds ASCII only, valid as UTF-8 whatever the
// text. `Testo` is Windows-1252; the code points are Unicode. The control characters that XML 1.0
// does not allow in a document (all below the blank but TAB, LF and CR) are written as a blank:
// a reference to them would make the whole part unreadable.
std::string XML_Codifica(std::string_view Testo);

// The same, appended to `Uscita` (the worksheet is written this way, without a text per cell).
void XML_Codifica_In(std::string& Uscita, std::string_view Testo);

}  // namespace kyx
