#pragma once
// The workbook stage of the Excel 97 export: the sheet opened from the staging file, what the
// formatting by row code needs to know of it.
#include <vector>

#include "platform/xls/libro.h"

namespace kyx {

struct Foglio_Esportato {
  int n = 0;                   // written columns
  std::vector<int> Colonne;    // column model index of written column i (from 0)
  int r = 0;                   // filter lines in the sheet
  int Base = 4;                // sheet row of the grid title
  int H = 0;                   // heading lines
  int R = 0;                   // data rows
};

// Gives the sheet the grid's look: palette match, fonts, fills, alignments, number formats,
// merges and borders by region and by the row code in column 1; then removes the format row and
// the row-code column and fits the column widths.
void Formatta_XLS(xls::Libro& Libro, const Foglio_Esportato& F);

// The palette entry (1..56) chosen for each of the 46 colour slots; entries the palette lacks
// are replaced from 56 downwards.
std::vector<int> Abbina_Tavolozza(xls::Libro& Libro, const std::vector<int32_t>& Voluti);

}  // namespace kyx
