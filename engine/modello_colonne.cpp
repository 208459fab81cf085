// Column model from the layout. The statements of the run pass over what fails and go on, so a
// missing key or value, a field that does not fit or a number out of range leaves the value it
// would have written as it was; the guards below say where.
#include "engine/modello_colonne.h"

#include <algorithm>
#include <string>

#include "common/filtri_sql.h"
#include "common/modello.h"
#include "common/sostituisci_variabili.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/agganci_motore.h"
#include "engine/campi.h"
#include "engine/query_elaborazione.h"
#include "engine/stato_motore.h"
#include "platform/ini/ini_file.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cerca;
using motore::Numero;
using motore::Testo;

const char kFormato_Numerico[] = "###,###,###,##0.000";

// The element row being read, with the fields the handlers need.
struct Elemento {
  int i = 0;            // position of the row in the layout, from 1
  bool registrato;      // i <= 255: the per-element arrays have an entry for it
  int rig = 0;
  int col = 0;          // the column the row defines; -1 when its COL is negative (no column)
  std::string calc;     // RTrim(CALC)
  std::string sistema;  // RTrim(SINF)
  int16_t chiavi = 0;   // data-set slots of the element's system
};

size_t C(int col) { return static_cast<size_t>(col); }

std::string Sistema_Elemento(const Elemento& e) { return e.sistema.empty() ? Sistema_Informativo : e.sistema; }

// A CHIAVI field of the key found, as a Byte or Integer would take it.
bool Byte_Di(int64_t v, uint8_t& out) {
  if (v < 0 || v > 255) return false;
  out = static_cast<uint8_t>(v);
  return true;
}

void Numerico(int col) {
  if (col < 0) return;
  Col_Tipo[C(col)] = 0;
  Col_Allineamento[C(col)] = 7;
  Col_Valore[C(col)] = data::Value(0);
  if (vb::Trim(Col_Formato[C(col)]).empty()) Col_Formato[C(col)] = kFormato_Numerico;
}

// ATTR, KEY_D and (when the element has none) FORMATO of the key on which Rs_Chiavi stands.
void Attributi_Chiave(int col) {
  Col_Attributo[C(col)] = Testo(*Rs_Chiavi, "ATTR");
  Byte_Di(Numero(*Rs_Chiavi, "KEY_D"), Col_Kde[C(col)]);
  if (vb::Trim(Col_Formato[C(col)]).empty()) Col_Formato[C(col)] = Testo(*Rs_Chiavi, "FORMATO");
}

// The element's condition (Col_Where, Col_Where_Flag) from the user's filter and its own rows.
void Filtro_Elemento(const Elemento& e) {
  if (!e.registrato) return;
  Filtro_Layout_SQL(Filtro_Chiavi, Filtro_Slot, "\t", static_cast<int16_t>(e.i), e.sistema);
}

// The attributes every column-defining row gives its column.
void Definisci_Colonna(const Elemento& e, const ini::IniSnapshot& ini) {
  const size_t c = C(e.col);
  Col_Intestazione[c] = Sostituisci_Variabili(vb::Trim(Testo(*Rs_Lay_Elem, "INTE")));
  const std::string vis = Testo(*Rs_Lay_Elem, "VIS");
  Col_Visibile[c] = vis == "V" ? 2 : vis == "P" ? 1 : 0;
  Col_Ordine[c] = 0;
  Col_Formato[c] = vb::RTrim(Testo(*Rs_Lay_Elem, "FORMATO"));
  Col_Calcolo[c] = e.calc;

  // The grid width the user last gave this column of this layout ("Dim L003 005").
  const std::string valore = ini.Read(vb::Format(Profilo_Corrente, "000"),
                                      "Dim L" + motore::Cifre(Layout_Corrente, 3) + " " + motore::Cifre(e.col, 3), "1500");
  try {
    const double larghezza = vb::Val(valore);
    if (larghezza > 0) Col_Larghezza[c] = vb::CInt(larghezza);
  } catch (const vb::VbError&) {
    // a width that does not fit an Integer keeps the default
  }
  const int64_t stampa = Numero(*Rs_Lay_Elem, "DIM_S");
  if (stampa > 0 && stampa <= INT16_MAX) Col_Larghezza_Stampa[c] = static_cast<int16_t>(stampa);

  const std::string tot = Testo(*Rs_Lay_Elem, "TOT");
  Col_Totale[c] = tot == "T" ? 2 : tot == "S" ? 3 : tot == "U" ? 4 : 1;
}

void Colonna_Livello_Chiave(const Elemento& e) {
  const size_t c = C(e.col);
  const int n = static_cast<int>(vb::Val(vb::Mid(e.calc, 3, 1)));
  const char lettera = e.calc[1];
  const int16_t chiave = Liv_Riga_Chiave[C(n - 1)];
  if (!Cerca(Rs_Chiavi.get(), {Sistema_Informativo, chiave}) || Testo(*Rs_Chiavi, "KINDB") == "G") {
    Col_Visibile[c] = 0;
    return;
  }
  Col_Chiave[c] = chiave;
  const size_t l = C(n - 1);
  if (lettera == 'L') {
    Attributi_Chiave(e.col);
    if (vb::Trim(Testo(*Rs_Lay_Elem, "SNTOT")) == "S") Subtotali_Richiesti = -1;
  } else {
    Col_Attributo[c] = "*";
    Liv_Attributo[l] = Testo(*Rs_Chiavi, "ATTR");
    Byte_Di(Numero(*Rs_Chiavi, "KEY_D"), Liv_Kde[l]);
    Liv_Formato[l] = vb::Trim(Col_Formato[c]);
    Liv_Intestazione[l] = vb::Trim(Testo(*Rs_Lay_Elem, "SNINT"));
    Liv_Subtotale[l] = vb::Trim(Testo(*Rs_Lay_Elem, "SNTOT"));
    Livelli_R = -1;
    if (Liv_Formato[l].empty()) Liv_Formato[l] = Testo(*Rs_Chiavi, "FORMATO");
  }

  // Kind: the indented label of the "R" levels, a key of kind "I" (two digits), else the code.
  uint8_t tipo = Col_Tipo[c];
  if (vb::Mid(e.calc, 2, 2) == "R1") tipo = 30;
  else if (Testo(*Rs_Chiavi, "KINDB") == "I") tipo = 2;
  else Byte_Di(Numero(*Rs_Chiavi, "LUN"), tipo);
  if (lettera == 'L' && tipo < 8) tipo = 8;
  Col_Tipo[c] = tipo;

  Colonna_Livello[C(n)] = static_cast<int16_t>(e.col);
  if (Numero_Livelli == 1) Grafico_Chiave = static_cast<int16_t>(e.col);

  if (lettera == 'L') {
    for (size_t j = 0; j < 9; ++j) {
      if (Liv_Riga_Chiave[j] != -1 && Liv_Riga_Chiave[j] != Liv_Riga_Precedente[j]) Layout_Precedente = -123;
      Liv_Riga_Precedente[j] = Liv_Riga_Chiave[j];
    }
  } else if (n == 1) {
    Livelli_Visibili = static_cast<int16_t>(e.col);
  } else {
    Col_Visibile[c] = 0;  // the deeper "R" levels are shown inside the level-1 column
  }
}

void Colonna_Codice_Chiave(const Elemento& e) {
  const size_t c = C(e.col);
  const int k = static_cast<int>(vb::Val(vb::Mid(e.calc, 5, 3)));
  if (!Cerca(Rs_Chiavi.get(), {Sistema_Informativo, k})) return;
  const std::string kind = Testo(*Rs_Chiavi, "KINDB");
  if (kind == "G" || kind == "I") return;
  Attributi_Chiave(e.col);
  Byte_Di(Numero(*Rs_Chiavi, "LUN"), Col_Tipo[c]);

  const size_t l = static_cast<size_t>(Livello_Contatore_1);
  const std::string lettera = vb::Mid(e.calc, 3, 1);
  if (l < Col_Lavoro_3.size()) {
    Col_Lavoro_3[l] = lettera;
    Col_Lavoro_1[l] = k;
    Col_Lavoro_2[l] = e.col;
  }
  if (lettera == "R" || lettera == "D") {
    Col_Visibile[c] = 0;
    ++Livello_Contatore_2;
  }
  const std::string nome = "k_" + motore::Cifre(k, 3);
  Select_Chiavi += nome + ",";
  Group_By += (Group_By.empty() ? " group by " : ",") + nome;
  ++Livello_Contatore_1;
}

void Colonna_Incrociata(const Elemento& e) {
  const size_t c = C(e.col);
  const int n = static_cast<int>(vb::Val(vb::Mid(e.calc, 3, 1)));
  const int16_t chiave = Liv_Colonna_Chiave[C(n - 1)];
  if (!Cerca(Rs_Chiavi.get(), {Sistema_Informativo, chiave}) || Testo(*Rs_Chiavi, "KINDB") == "G" ||
      (chiave == Sinf_Idx_Key && Livello_Indice > 0)) {
    Col_Visibile[c] = 0;
    return;
  }
  // The column key's format is for the headings, which show its values; the cells hold amounts
  // and keep the element's number format (or the numeric default).
  const std::string formato = Col_Formato[c];
  Attributi_Chiave(e.col);
  Col_Formato[c] = formato;
  const int64_t lun = Numero(*Rs_Chiavi, "LUN");
  if (lun >= INT16_MIN && lun <= INT16_MAX) Lunghezza_VCK[c] = static_cast<int16_t>(lun);
  Byte_Di(chiave, Col_VCK[c]);
  Numerico(e.col);

  const int v = static_cast<int>(vb::Val(vb::Mid(e.calc, 12, 3)));
  if (Cerca(Rs_Valori.get(), {Sistema_Informativo, v})) {
    Filtro_Elemento(e);
    if (e.registrato)
      Campo_Somma(e.i, v, e.chiavi, (chiave != Sinf_Idx_Key && Livello_Indice == 0) ? -1 : 0);
  }
  for (size_t j = 0; j < 9; ++j) {
    if (Liv_Colonna_Chiave[j] != -1 && Liv_Colonna_Chiave[j] != Liv_Colonna_Precedente[j]) Layout_Precedente = -123;
    Liv_Colonna_Precedente[j] = Liv_Colonna_Chiave[j];
  }
}

void Colonna_Valore(const Elemento& e) {
  if (e.rig < 2) Numerico(e.col);
  const int v = static_cast<int>(vb::Val(vb::Mid(e.calc, 4, 3)));
  if (!Cerca(Rs_Valori.get(), {Sistema_Elemento(e), v})) return;
  Filtro_Elemento(e);
  if (e.registrato) Campo_Somma(e.i, v, e.chiavi, Livello_Indice == 0 ? -1 : 0);
}

void Colonna_Conteggio(const Elemento& e) {
  if (e.rig < 2) Numerico(e.col);
  const int k = static_cast<int>(vb::Val(vb::Mid(e.calc, 5, 3)));
  if (!Cerca(Rs_Chiavi.get(), {Sistema_Informativo, k})) return;
  Filtro_Elemento(e);
  if (!e.registrato) return;
  Byte_Di(k, Elem_Chiave[C(e.i)]);
  Col_Somma[C(e.i)] = "k_" + motore::Cifre(k, 3);
}

// The handler of the element's token.
void Smista(const Elemento& e) {
  using vb::Like;
  const std::string& t = e.calc;
  const bool colonna = e.rig < 2 && e.col >= 0;
  const size_t c = C(std::max(e.col, 0));
  if (colonna && Like(t, "[#][LR][1-9](?\?\?)*")) {
    Colonna_Livello_Chiave(e);
  } else if (colonna && Like(t, "[#][D][RDE](###)*")) {
    Colonna_Codice_Chiave(e);
  } else if (colonna && Like(t, "[#]C[1-9](?\?\?)[#]+V###[#]*")) {
    Colonna_Incrociata(e);
  } else if (colonna && Like(t, "[#]L[1-9]<##>*")) {
    const int n = static_cast<int>(vb::Val(vb::Mid(t, 3, 1)));
    if (Liv_Riga_Chiave[C(n - 1)] >= 1) {
      Col_Tipo[c] = 40;
      if (Numero_Livelli == 1) Grafico_Chiave_Descrizione = static_cast<int16_t>(e.col);
    } else {
      Col_Visibile[c] = 0;
    }
  } else if (colonna && Like(t, "[#]R1<##>*")) {
    Col_Tipo[c] = 50;
    if (Numero_Livelli == 1) Grafico_Chiave_Descrizione = static_cast<int16_t>(e.col);
  } else if (colonna && Like(t, "[#]DC###<##>*")) {
    Col_Tipo[c] = 40;
  } else if (Like(t, "[#]+V###[#]*")) {
    Colonna_Valore(e);
  } else if (Livello_Indice == 0 && Like(t, "[#]NR(###)*")) {
    Colonna_Conteggio(e);
  } else if (colonna && Like(t, "[#]@*")) {
    Col_Tipo[c] = 40;
    Col_Allineamento[c] = 1;
    Col_Formato[c] = "";
  } else if (colonna && Like(t, "[#]R1L*")) {
    Col_Tipo[c] = 255;
    Col_Allineamento[c] = 1;
    Col_Formato[c] = "";
    Col_Ordine[c] = 1;
  } else if (colonna) {
    Numerico(e.col);  // a formula: its level and values come later
  }
}

}  // namespace

void Azzera_Modello_Colonne() {
  // The grid is about to show an elaboration, no longer the codes of a key.
  Modo_Griglia = 3;
  Tipo_Data_Chiave = 0;
  Chiave_Elenco = -1;
  Filtro_Griglia = "";
  Colonne_Bloccate = 1;
  Tipo_DB_Server = "";
  if (Rs_Layout && !Rs_Layout->AfterLast() && !Rs_Layout->BeforeFirst()) {
    const int64_t bloccate = Numero(*Rs_Layout, "COL_B") + 1;
    if (bloccate >= INT16_MIN && bloccate <= INT16_MAX) Colonne_Bloccate = static_cast<int16_t>(bloccate);
    Tipo_DB_Server = vb::RTrim(Testo(*Rs_Layout, "MODEST"));
  }
  Grafico_Chiave = -1;
  Grafico_Chiave_Descrizione = -1;
  Riga_Layout_Massima = 0;
  Numero_Colonne = 0;
  Livello_Contatore_1 = 0;
  Livello_Contatore_2 = 0;
  Livelli_Visibili = 0;
  Subtotali_Richiesti = 0;
  Numero_Elementi = 0;

  for (size_t c = 0; c < 256; ++c) {
    Col_Testo[c] = Col_VCC[c];
    Col_VCC[c] = "";
    Col_Intestazione[c] = "";
    Col_Visibile[c] = 0;
    Col_Ordine[c] = 1;
    Col_Larghezza[c] = 1500;
    Col_Larghezza_Stampa[c] = 1500;
    Col_Allineamento[c] = 1;
    Col_Chiave[c] = -1;
    Col_Descrizione[c] = -1;
    Col_Calcolo[c] = "";
    Col_Tipo[c] = 1;
    Col_Attributo[c] = "";
    Col_Kde[c] = 0;
    Col_Formato[c] = "";
    Col_Totale[c] = 1;
    Col_VCK[c] = 0;
    Col_Valore[c] = data::Value(" ");
    for (size_t l = 0; l < 10; ++l) {
      Totali[l][c] = 0;
      Col_Livello_Totale[l][c] = 1;
    }
    Col_Where_Flag[c].fill(-1);
    Col_Where[c] = "";
    Col_Somma[c] = "";
    Col_Sistema[c] = "";
    Elem_Calcolo[c] = "";
    Elem_Riga[c] = 0;
    Elem_Colonna[c] = 0;
    Elem_Chiave[c] = 0;
    Col_Lavoro_1[c] = 0;
    Col_Lavoro_2[c] = 0;
    Col_Lavoro_3[c] = "";
    Lunghezza_VCK[c] = 0;
  }
  Colonna_Livello.fill(0);
  for (size_t l = 0; l < 9; ++l) {
    Liv_Intestazione[l] = "";
    Liv_Subtotale[l] = "";
  }
  Livelli_R = 0;
  Col_Tipo[0] = 12;
  Col_Valore[0] = data::Value("9999992");
}

void Modello_Colonne() {
  // The settings file read once for every column's width.
  const ini::IniSnapshot ini(File_Ini);
  int i = 0;
  while (Rs_Lay_Elem && Rs_Lay_Elem->IsOpen() && !Rs_Lay_Elem->AfterLast()) {
    if (Numero(*Rs_Lay_Elem, "LAY") != Layout_Corrente) break;
    ++i;
    Elemento e;
    e.i = i;
    e.registrato = i <= 255;
    e.rig = static_cast<int>(std::min<int64_t>(Numero(*Rs_Lay_Elem, "RIG"), 255));
    const int64_t col = std::min<int64_t>(Numero(*Rs_Lay_Elem, "COL"), 253);
    e.col = col < 0 ? -1 : static_cast<int>(col);  // a negative column defines nothing
    e.calc = vb::RTrim(Testo(*Rs_Lay_Elem, "CALC"));
    e.sistema = vb::RTrim(Testo(*Rs_Lay_Elem, "SINF"));
    if (e.rig > Riga_Layout_Massima) Riga_Layout_Massima = static_cast<int16_t>(e.rig);
    if (e.col > Numero_Colonne) Numero_Colonne = static_cast<uint8_t>(e.col);
    if (e.registrato) {
      const size_t x = C(i);
      Elem_Riga[x] = static_cast<int16_t>(std::max(e.rig, static_cast<int>(INT16_MIN)));
      Elem_Colonna[x] = static_cast<int16_t>(std::max(e.col, 0));
      Elem_Calcolo[x] = e.calc;
      Col_Sistema[x] = e.sistema;
      Numero_Elementi = static_cast<int16_t>(i);
    }
    e.chiavi = Sinf_Idx_Max;
    if (!vb::Trim(e.sistema).empty() && Cerca(Rs_Sinf.get(), {vb::Trim(e.sistema)})) {
      const int64_t massimo = Numero(*Rs_Sinf, "IDX_MAX");
      if (massimo >= INT16_MIN && massimo <= INT16_MAX) e.chiavi = static_cast<int16_t>(massimo);
    }
    if (e.rig < 2 && e.col >= 0) Definisci_Colonna(e, ini);
    Smista(e);
    if (!Rs_Lay_Elem->MoveNext().ok()) break;
  }
  Ordinamento_Predefinito();
  Abbina_Descrizioni();
}

void Ordinamento_Predefinito() {
  if (Numero_Livelli < 1) {
    for (int c = 1; c <= Numero_Colonne; ++c) Col_Ordine[C(c)] = 1;
    Colonna_Ordinamento = 0;
    Verso_Ordinamento = " ASC";
    Colonna_Ordinamento_Elaborazione = Colonna_Ordinamento;
    Verso_Ordinamento_Elaborazione = Verso_Ordinamento;
    return;
  }
  if (Livelli_Visibili > 0) {
    Colonna_Ordinamento = Livelli_Visibili;
    Verso_Ordinamento = " ASC";
  } else if (Subtotali_Richiesti == 0) {
    Colonna_Ordinamento = Colonna_Livello[C(std::min<int16_t>(Numero_Livelli, 9))];
    Verso_Ordinamento = " ASC";
  } else {
    // Subtotals of "L" levels: sorting by an upper level would tear its groups apart.
    for (int l = 1; l < Numero_Livelli && l <= 9; ++l) Col_Ordine[C(Colonna_Livello[C(l)])] = 1;
  }
  Colonna_Ordinamento_Elaborazione = Colonna_Ordinamento;
  Verso_Ordinamento_Elaborazione = Verso_Ordinamento;
  if (!Rs_Layout || Rs_Layout->AfterLast() || Rs_Layout->BeforeFirst()) return;
  const int64_t col_o = Numero(*Rs_Layout, "COL_O");
  if (col_o >= 0 && col_o <= 255 && Col_Ordine[C(static_cast<int>(col_o))] == 0) {
    Colonna_Ordinamento_Elaborazione = static_cast<int16_t>(col_o);
    Verso_Ordinamento_Elaborazione = Testo(*Rs_Layout, "COL_OT") == "D" ? " DESC" : " ASC";
  }
}

void Abbina_Descrizioni() {
  for (int c = 1; c <= Numero_Colonne; ++c) {
    const std::string& a = Col_Calcolo[C(c)];
    if (!vb::Like(a, "[#][LR][1-9][(<]*")) continue;
    for (int d = 1; d <= Numero_Colonne; ++d) {
      const std::string& b = Col_Calcolo[C(d)];
      if (b.size() < 4 || b.compare(0, 3, a, 0, 3) != 0 || b[3] == a[3]) continue;
      // The description column points at the code column it describes (the label cells read
      // their code there, the grid's clicks take the element there) and sorts like it: a level
      // that must keep its groups together may not be sorted by its description either.
      if (a[3] == '(') {
        Col_Descrizione[C(d)] = static_cast<int16_t>(c);
        Col_Ordine[C(d)] = Col_Ordine[C(c)];
      }
    }
  }
}

}  // namespace kyx
