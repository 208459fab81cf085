#pragma once
// The styles part (xl/styles.xml) of the XLSX workbook and the style numbers of its cells.
//
// Colours: 46 colour slots taken from the profile (the fore and back colours of the row kinds 0-3
// and of the level pairs of level rows and subtotal rows, then the 3-D highlight and shadow
// colours of the system) are merged into a 64-entry indexed palette: a slot with no palette entry
// within the tolerance Precisione_Colore takes a free entry from the top (63, 62, ...).
//
// Cell formats: 12 fixed formats (title, filter block), then a group of 50 per visible column c
// (1..N), numbered from (c - 1) * 50 + 12: header lines, detail, total, level and subtotal rows,
// each in a pair whose odd member is the last column's (it adds the shadow line on the right).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kyx {

// One <xf> element: the eleven attributes in order, each only when its trimmed value is not
// empty, and an <alignment> child when the alignment is not empty.
std::string XLSX_Xf(std::string_view Allineamento, std::string_view numFmtId, std::string_view fontId,
                    std::string_view fillId, std::string_view borderId, std::string_view xfId,
                    std::string_view quotePrefix, std::string_view applyNumberFormat, std::string_view applyFont,
                    std::string_view applyFill, std::string_view applyBorder, std::string_view applyAlignment);
// One <border> element: a thin line of that colour on each side whose colour is not empty.
std::string XLSX_Border(std::string_view Sinistra, std::string_view Destra, std::string_view Sopra,
                        std::string_view Sotto, std::string_view Diagonale);
// "<rgbColor rgb='...'/>".
std::string XLSX_RgbColor(std::string_view Colore);
// The RGB colour (red in the low byte) of an eight-digit text 00RRGGBB; 0 for any other length; a
// character that is no hex digit counts as 0.
int32_t Esadecimale_Valore(std::string_view Testo);
// " s='n'": Base, plus 1 from column Soglia_Colonna on, plus 2 on even rows, plus 4 from row
// Soglia_Riga on.
std::string XLSX_Stile(int32_t Base, int32_t Riga, int32_t Colonna, int32_t Soglia_Riga, int32_t Soglia_Colonna);
// The style number alone.
int32_t XLSX_Numero_Stile(int32_t Base, int32_t Riga, int32_t Colonna, int32_t Soglia_Riga, int32_t Soglia_Colonna);

// The colour slots (RRGGBB) and the palette (00RRGGBB) of one export.
struct Colori_Xlsx {
  std::array<std::string, 46> Slot;
  std::array<std::string, 64> Tavolozza;
};
// The slots from Colori, Colori_Livello and the system colours, merged into the default palette.
Colori_Xlsx XLSX_Colori();

// What the styles need of a visible column.
struct Colonna_Xlsx {
  uint8_t Tipo = 0;          // Col_Tipo: 0 numeric, else a text column
  std::string Formato;       // Col_Formato (Windows-1252)
  int Allineamento = 0;      // 1 left, 4 center, 7 right; any other value sets no alignment
};

// The styleSheet element for these columns (the caller writes the XML declaration line before
// it, as for every part). Font from Font_Nome and Font_Dimensione.
std::string XLSX_Stili(const Colori_Xlsx& Colori, const std::vector<Colonna_Xlsx>& Colonne);

}  // namespace kyx
