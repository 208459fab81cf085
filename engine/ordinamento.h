#pragma once
// The display order of the result grid. Sorting an elaboration with row levels by a value column
// must not tear the detail rows away from their head and subtotal rows: for an outline layout the
// rows get a group sort key that orders the groups of every level by their subtotal in the asked
// column, keeps each head row first and each subtotal row last in its group, and orders the
// details of a group by their own value.
namespace kyx {

// Sets the Sort of Rs_Griglia for Colonna_Ordinamento and Verso_Ordinamento.
void Imposta_Ordinamento();

// Writes the group sort key (column Numero_Colonne + 1) and the work rank (Numero_Colonne + 2) of
// every row of Rs_Griglia; the caller then sorts ascending on the group sort key. An empty
// recordset is left as it is.
void Ordina_Per_Valore();

}  // namespace kyx
