#pragma once
// The result grid: a virtual grid over the display recordset Rs_Griglia that only ever holds the
// visible page, its row colours and highlight, its column widths and its sort. Grid row r >= 1
// shows record Prima_Riga + r - 1; grid column i shows field i, field 0 being the row key.
#include <cstdint>
#include <string>

namespace kyx {
namespace data {
class Recordset;
}

// Rebuilds the grid page from the shared state: widths read back, scrollable columns, rows that
// fit, the page's records, headers, frozen columns, row colours, the highlight and the scroll
// bars; ends by handing the sort glyph to the header strip and repainting it.
void Visualizza_Griglia();

// Colours data row Riga (1 = first data row of the page) by its row kind and level.
void Visualizza_Colori_Riga(int32_t Riga);
// Highlights data row Riga in the selection colours; false for the grand-total row of a result,
// which is never highlighted.
bool Visualizza_Evidenzia_Riga(int32_t Riga);

// Fits column Colonna (65535 = every column) to the widest text of all records, the heading
// lines too when Intestazioni; sets the grid's widths at once when Applica. The widths go into the
// current view's model, and for a result into the settings file ("Dim L<lll> <ccc>").
void Visualizza_Larghezza_Colonne(int32_t Colonna, int16_t Intestazioni, int16_t Applica);

// Sorts the shown recordset by Colonna_Corrente: ascending first, then toggling on the same column.
void Visualizza_Ordina();

// The grid text of column c of the current record of Rs. Per_Misura: the text the auto-width
// measures (every column not shown, column 0 excepted, measures as " ").
std::string Testo_Cella(data::Recordset& Rs, int c, bool Per_Misura = false);

// Positions Rs on its record at 1-based Posizione (AbsolutePosition); false when there is none.
bool Posiziona_Record(data::Recordset& Rs, int64_t Posizione);

// A width in twips as the 16-bit width tables hold it: below 0 gives 0, above 32767 gives 32767.
int16_t Larghezza_Valida(int64_t Twips);

// The largest first record the vertical bar can reach for the current record count and page.
int32_t Massimo_Prima_Riga();

}  // namespace kyx
