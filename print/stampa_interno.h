#pragma once
// Steps of the print run shared by its files: the column geometry, the filter table and the rows.
#include <array>
#include <cstdint>
#include <string>

#include "platform/data/value.h"

namespace kyx::stampa {

// The widest cell of every printed column measured in the data font, in twips (0 = not
// measured); walks Rs_Griglia from its first row to its end.
std::array<int32_t, 257> Misura_Colonne();
// X_Colonna from the print widths or the measured ones, then fitted to the page width
// ("Adatta") and centred ("Allinea X").
void Calcola_Bordi(const std::array<int32_t, 257>& Larghezza_Misurata);
// Shrinks or grows the data fonts so that the widest measured cell fits its column (result mode,
// "Adatta Font"), then the line heights again. Dimensione is the layout's font size.
void Adatta_Font(const std::array<int32_t, 257>& Larghezza_Misurata, const std::string& Font, double Dimensione);
// Creates the cell fonts of the given face and size (and the bold one when Grassetto).
void Crea_Font_Dati(const std::string& Font, double Dimensione, bool Grassetto);
// Selects the data font and computes the three line heights from its metrics.
void Calcola_Altezza_Riga();

// The table of the active filters (result mode).
void Stampa_Filtro();
// The column header and the rows of the grid.
void Stampa_Righe();

// The text of a cell: a text column's value without trailing blanks, a value column's value
// through its format mask, trimmed.
std::string Testo_Cella(int Colonna, const data::Value& Valore);
// Bottom limit of a page in twips.
int32_t Limite_Basso();

}  // namespace kyx::stampa
