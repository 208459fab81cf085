#pragma once
// Column widths of the XLSX sheet. A width is given in the unit of the format: the advance of the
// digit "0" of the workbook's default font, plus a few pixels of cell margin. The profile's font
// can be monospaced (the default Lucida Console) or proportional (Arial, Tahoma, MS Sans Serif),
// and the spreadsheet program may stand in another font for it, so each character is counted at
// the larger of one digit (monospaced) and its advance in a common proportional face relative to
// its digits (capitals are about 1.3 digits wide there): a text then fits whichever it is.
#include <string_view>

namespace kyx {

// The width of a Windows-1252 text, in digits.
double XLSX_Cifre_Testo(std::string_view Testo);

// The column width that shows the text whole: its digits, one more for the cell's margins,
// rounded up to a whole number; never below 3.
int XLSX_Larghezza_Testo(std::string_view Testo);

}  // namespace kyx
