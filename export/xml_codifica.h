#pragma once
// Text written into the parts of an XLSX workbook.
#include <string>
#include <string_view>

namespace kyx {

// Every character but the digits and the letters A-Z, a-z becomes "&#" code point ";" (the blank
// too: "&#32;"; "é" is "&#233;"), so that a part holds ASCII only, valid as UTF-8 whatever the
// text. `Testo` is Windows-1252; the code points are Unicode.
std::string XML_Codifica(std::string_view Testo);

}  // namespace kyx
