#pragma once
// The drill-down definitions of table LAY_DRILL and the layout nodes of the structure tree twL,
// without widgets: which definitions a (layout, clicked key) pair offers and which one is
// preselected, the key whose node of the target layout is looked for, and the reading of the
// layout node keys in either tree order.
//
// Layout node keys: area first "A###[GKI]###L###" (area at 2-4, key at 6-8, layout at 10-12),
// layout first "L###A###[GKI]###" (layout at 2-4, area at 6-8, key at 10-12).
#include <cstdint>
#include <string>
#include <vector>

namespace kyx::drill {

// Whether a node key (surrounding blanks removed) is a layout node of either order.
bool Nodo_Di_Layout(const std::string& Chiave);

// The three numbers of a layout node key, read by the order the tree was built in
// (Ordinamento <> 0: layout first).
struct Numeri_Nodo {
  int16_t Area = 0;
  int16_t Chiave = 0;
  int16_t Layout = 0;
};
Numeri_Nodo Leggi_Nodo(const std::string& Chiave, int16_t Ordinamento);

// One entry of the list of definitions: "nnn - description", whether it is the pair's default
// (ANNULL "D"), and its number K_IDX.
struct Voce {
  std::string Testo;
  bool Predefinita = false;
  int16_t Indice = 0;
};

// LAY_DRILL holds no row at all (or is not open).
bool Definizioni_Assenti();

// The definitions of the pair (Layout, Chiave) in index order. Scelta is the position in the list
// of the preselected one: the first, unless a default follows (of several defaults the last);
// -1 when the pair has none.
std::vector<Voce> Definizioni(int16_t Layout, int16_t Chiave, int& Scelta);

// Seeks the definition (Layout, Chiave, Indice) and leaves Rs_Lay_Drill standing on it; false when
// it is not there.
bool Cerca_Definizione(int16_t Layout, int16_t Chiave, int16_t Indice);

// With Rs_Lay_Drill on a definition: the key whose node of the target layout is looked for. The
// target layout's first level taken from the drill names the field (KEYV n for a row level, KEYO n
// for a column level); without one, or when that field is 0, the first positive KEYV i, else the
// first positive KEYO i. 0 or less when there is none.
int32_t Chiave_Destinazione(int32_t Layout_Destinazione);

// The position (0-based) of the first node key that shows the target layout under the target key:
// in area-first order both forms are tried, in layout-first order only the layout-first form.
// -1 when none matches.
int Trova_Nodo(const std::vector<std::string>& Chiavi, int16_t Ordinamento, int32_t Layout, int32_t Chiave);

}  // namespace kyx::drill
