// Row colours by row kind and level, and the highlight of one row.
#include <algorithm>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "platform/ui/flex_grid.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace kyx {
namespace {

constexpr uint32_t kEvidenziato_Testo = 0x8000000E;  // the system's selection text colour
constexpr uint32_t kEvidenziato_Sfondo = 0x8000000D; // the system's selection colour

struct Coppia {
  uint32_t fore, back;
};

// The digit value of a character of the row key (1-based position); anything else counts 0.
int Cifra(const std::string& chiave, size_t pos) {
  if (chiave.size() < pos) return 0;
  const char c = chiave[pos - 1];
  return c >= '0' && c <= '9' ? c - '0' : 0;
}

Coppia Colore(size_t pair) {
  return {static_cast<uint32_t>(Colori[2 * pair]), static_cast<uint32_t>(Colori[2 * pair + 1])};
}

// A level pair; an index past the 36 level pairs (a subtotal key with level digit 0) takes the
// plain pair 0 instead of reading past the table.
Coppia Colore_Livello(int pair) {
  if (pair < 0 || pair > 35) return Colore(0);
  const auto p = static_cast<size_t>(pair);
  return {static_cast<uint32_t>(Colori_Livello[2 * p]), static_cast<uint32_t>(Colori_Livello[2 * p + 1])};
}

// Selects columns Da .. Numero_Colonne of data row Riga and colours the selection.
void Colora(ui::FlexGrid& g, int32_t Riga, int Da, Coppia colori) {
  const int ultima = std::min<int>(Numero_Colonne, g.Cols() - 1);
  if (Riga < 1 || Riga >= g.Rows() || Da > ultima) return;
  g.SetRow(Riga);
  g.SetCol(std::max(Da, 0));
  g.SetRowSel(Riga);
  g.SetColSel(ultima);
  g.SetCellForeColor(colori.fore);
  g.SetCellBackColor(colori.back);
}

}  // namespace

void Visualizza_Colori_Riga(int32_t Riga) {
  ui::FlexGrid* g = agganci_viste::Controlli_Griglia().Grid1;
  if (!g || Riga < 1 || Riga >= g->Rows() || g->Cols() < 1) return;
  const std::string chiave = g->TextMatrix(Riga, 0);
  const int64_t posizione = int64_t{Prima_Riga} + Riga - 1;
  const Coppia alternata = Colore(posizione % 2 != 0 ? 0 : 1);
  if (Modo_Griglia != 3) {
    Colora(*g, Riga, Colonne_Bloccate, alternata);
    return;
  }
  const char tipo = chiave.size() >= 7 ? chiave[6] : '\0';
  const bool d12_vuota = chiave.size() < 12 || chiave[11] == ' ';
  const int d12 = Cifra(chiave, 12);
  const int d8 = Cifra(chiave, 8);
  switch (tipo) {
    case '2':
      Colora(*g, Riga, Colonne_Bloccate, d12_vuota ? alternata : Colore_Livello(17 + d12));
      break;
    case '4':
      Colora(*g, Riga, 0, Colore(3));
      break;
    case '1':
      Colora(*g, Riga, 0, Colore_Livello(17 + (d12_vuota ? d8 : d12)));
      break;
    case '3':
      Colora(*g, Riga, 0, Colore_Livello(d12_vuota ? 26 + (10 - d8) : 26 + d12));
      break;
    default:
      Colora(*g, Riga, 0, Colore(0));
  }
}

bool Visualizza_Evidenzia_Riga(int32_t Riga) {
  ui::FlexGrid* g = agganci_viste::Controlli_Griglia().Grid1;
  if (!g || Riga < 1 || Riga >= g->Rows() || g->Cols() < 1) return false;
  const std::string chiave = g->TextMatrix(Riga, 0);
  if (Modo_Griglia == 3 && chiave.size() >= 7 && chiave[6] == '4') return false;
  Colora(*g, Riga, Colonne_Bloccate, {kEvidenziato_Testo, kEvidenziato_Sfondo});
  return true;
}

}  // namespace kyx
