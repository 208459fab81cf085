#pragma once
// The column model of an elaboration, built from the current layout's element rows (LAY_ELEM):
// every result column's heading, widths, visibility, sortability, alignment, kind in DATI
// (Col_Tipo: 0 numeric, else a text of that width), format, key attributes and totals flag; per
// element row its system, filter condition and SELECT item; the attributes of the row levels, the
// default sort and the pairing of each level's code column with its description column.
//
// Element tokens (CALC), the first that matches deciding:
//   #L<n>(...) #R<n>(...)  key column of row level n      #D[RDE](kkk)   code of key kkk
//   #C<n>(...)#+Vvvv#      value vvv across column level n #L<n><dd>     description of level n
//   #R1<dd>                description of the "R" levels   #DCkkk<dd>     description of a key code
//   #+Vvvv#                value vvv                       #NR(kkk)       rows of key kkk
//   #@...                  free text                       #R1L...        the "R" outline column
//   anything else          a formula over other columns
// Only rows with RIG 0 or 1 define columns; every row can bring a value item to the query.
#include <cstdint>

namespace kyx {

// Reset of the column model before the element rows are read (Rs_Layout stands on the layout).
void Azzera_Modello_Colonne();

// Reads the element rows of Layout_Corrente from the row on which Rs_Lay_Elem stands, fills the
// column model and the per-element arrays, then sets the default sort and pairs the code and
// description columns of the levels. Needs the row keys and filters of the run (Chiavi_Riga,
// Filtri_Elaborazione) already made.
void Modello_Colonne();

// The default sort: Colonna_Ordinamento and Verso_Ordinamento, and the run's own sort column and
// direction (Colonna_Ordinamento_Elaborazione, Verso_Ordinamento_Elaborazione).
void Ordinamento_Predefinito();

// Col_Descrizione of each level's description column: the column of the same level's code, whose
// Col_Ordine the description column takes.
void Abbina_Descrizioni();

}  // namespace kyx
