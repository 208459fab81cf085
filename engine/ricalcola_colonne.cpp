#include "engine/ricalcola_colonne.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato_db.h"
#include "engine/campi.h"
#include "engine/ordinamento.h"
#include "engine/stato_motore.h"
#include "engine/valore_cella.h"
#include "platform/data/static_recordset.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cifre;

size_t C(int n) { return static_cast<size_t>(n); }

constexpr int32_t kNessuno = 999999999;  // "no level left" in the search for the next level
constexpr int32_t kFatto_Rango = -2, kFatto_Progressivo = -3, kFatto_Formula = -4;

std::string Chiave_Riga(const data::Recordset& rs) { return rs.Field(0).AsText(); }
std::string Tipo(const std::string& c000) { return vb::Mid(c000, 7, 1); }
int Cifra(const std::string& c000) { return static_cast<int>(vb::Val(vb::Mid(c000, 8, 1))); }

// Null numbers count as 0, as they do in formulas.
double Numero(const data::Recordset& rs, int campo) {
  const data::Value& v = rs.Field(campo);
  return v.is_null() ? 0.0 : v.AsDouble();
}

void Aggiorna(data::StaticRecordset& rs) {
  if (!rs.Update().ok()) rs.CancelUpdate();
}

bool Rango(const std::string& t) { return vb::Like(t, "[#]KC###[#]*"); }
bool Progressivo_Livello(const std::string& t) { return vb::Like(t, "[#]P[1-9]C###[#]*"); }
bool Progressivo(const std::string& t) { return Progressivo_Livello(t) || vb::Like(t, "[#]PC###[#]*"); }

// The display level of the rows of an R layout: the row key becomes its first eleven characters
// followed by the k-th character (k = the row kind) of the fourteenth description of the code in
// the outline column. That twelfth character of the row key tells the views (row colours, print)
// at which level the row is shown; a blank leaves the row's own. The outline cell keeps its code:
// the grid shows it in the level's format and the description column describes it.
void Colonne_Livello(data::StaticRecordset& rs, int N) {
  std::vector<int> colonne;
  for (int i = 1; i <= N; ++i)
    if (vb::Like(vb::Left(Col_Calcolo[C(i)], 4), "[#]R1(")) colonne.push_back(i);
  if (colonne.empty()) return;
  const int campo_testo = Rs_Descrizioni && Rs_Descrizioni->IsOpen() ? Rs_Descrizioni->FieldIndex("S_DS_D_14") : -1;
  for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) {
    const std::string c000 = Chiave_Riga(rs);
    const int k = static_cast<int>(vb::Val(Tipo(c000)));
    // A row key without a level key (the 7-character keys of details below no outline level)
    // has no twelfth character to give.
    if (k < 1 || k > 3 || c000.size() < 11) continue;
    const data::Value chiave(static_cast<int64_t>(vb::Val(vb::Mid(c000, 9, 3))));
    for (int i : colonne) {
      std::string testo = "   ";
      if (campo_testo >= 0 && motore::Cerca(Rs_Descrizioni.get(), {chiave, data::Value(rs.Field(i).AsText())})) {
        const data::Value& d = Rs_Descrizioni->Field(campo_testo);
        testo = d.is_null() ? "" : d.AsText();
      }
      // A blank gives no twelfth character: the key stays as it was.
      const std::string chiave_nuova = vb::Left(c000, 11) + vb::RTrim(vb::Mid(testo, k, 1));
      if (chiave_nuova != c000) (void)rs.Set(0, data::Value(chiave_nuova));
    }
    Aggiorna(rs);
  }
}

// Dense ranking over every row, the largest value first: equal values share a rank.
void Calcola_Rango(data::StaticRecordset& rs, int i, int N) {
  const int r = static_cast<int>(vb::Val(vb::Mid(Col_Calcolo[C(i)], 4, 3)));
  // A rank of a column the result does not have has nothing to rank: its cells stay as they are.
  if (r < 1 || r > N || r >= rs.FieldCount()) return;
  (void)rs.SetSort("c" + Cifre(r, 3) + " DESC");
  double precedente = 99999999999999.0;
  int64_t rango = 0;
  for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) {
    const double v = Numero(rs, r);
    if (v < precedente) {
      precedente = v;
      ++rango;
    }
    (void)rs.Set(i, data::Value(rango));
    Aggiorna(rs);
  }
}

// Running sums in display order over the detail rows; a level running sum starts again at every
// head row of its level or of an outer one. Head, subtotal and total rows show the sum so far.
void Calcola_Progressivi(data::StaticRecordset& rs, const std::vector<int>& colonne) {
  struct Progressivo_ {
    int colonna, livello, sommata;
    double somma = 0;
  };
  std::vector<Progressivo_> p;
  for (int i : colonne) {
    const std::string& t = Col_Calcolo[C(i)];
    const bool di_livello = Progressivo_Livello(t);
    const int r = static_cast<int>(vb::Val(vb::Mid(t, di_livello ? 5 : 4)));
    p.push_back({i, di_livello ? static_cast<int>(vb::Val(vb::Mid(t, 3, 1))) : 0, r});
  }
  for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) {
    const std::string c000 = Chiave_Riga(rs);
    const std::string k = Tipo(c000);
    for (Progressivo_& x : p) {
      if (k == "1" && x.livello > 0) {
        if (Cifra(c000) <= x.livello) x.somma = 0;
      } else if (k == "2") {
        // A summed column beyond the result's fields is skipped.
        if (x.sommata >= 1 && x.sommata <= 255 && x.sommata < rs.FieldCount() && Col_Tipo[C(x.sommata)] == 0)
          x.somma += Numero(rs, x.sommata);
      }
      (void)rs.Set(x.colonna, data::Value(x.somma));
    }
    Aggiorna(rs);
  }
}

// Formula columns of one level, walking backwards so that every row meets the subtotal rows that
// close its groups before itself: their values are in Totali when its s references read them.
void Calcola_Formule(data::StaticRecordset& rs, const std::vector<int>& colonne, int N) {
  for ((void)rs.MoveLast(); !rs.BeforeFirst(); (void)rs.MovePrevious()) {
    const std::string c000 = Chiave_Riga(rs);
    const int d = Cifra(c000);
    // A subtotal key without a level digit names no level: it stores nothing.
    if (Tipo(c000) == "3" && d >= 1 && d <= 9) {
      for (int j = 1; j <= N; ++j)
        if (Col_Tipo[C(j)] == 0) Totali[C(10 - d)][C(j)] = Numero(rs, j);
    }
    for (int i : colonne) {
      auto colonna = static_cast<int16_t>(i);
      std::string formula = Col_Calcolo[C(i)];
      Valore_Cella(colonna, formula, rs);
    }
    Aggiorna(rs);
  }
}

// The subtotal and grand-total cells of formula columns with total kind "S" (every level) or "U"
// (only the outermost level, or the grand total when there are no levels) are the sums of their
// detail rows, not the formula applied to the sums. Returns whether the key order was set.
bool Somma_Totali(data::StaticRecordset& rs, const std::vector<int>& colonne) {
  std::vector<int> s;
  for (int i : colonne)
    if (Col_Totale[C(i)] >= 3 && Col_Tipo[C(i)] == 0) s.push_back(i);
  if (s.empty()) return false;
  for (int i : s)
    for (auto& l : Totali) l[C(i)] = 0;
  (void)rs.SetSort("c000 ASC ");
  const int T = Numero_Livelli - 1 + (Livello_Contatore_2 >= 1 ? 1 : 0);
  for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) {
    const std::string c000 = Chiave_Riga(rs);
    const std::string k = Tipo(c000);
    for (int i : s) {
      if (k == "2") {
        const double v = Numero(rs, i);
        for (auto& l : Totali) l[C(i)] += v;
      } else if (k == "3") {
        const int d = Cifra(c000);
        if (d < 1 || d > 9) continue;  // no level digit: no level to total
        const int e = 10 - d;
        if (Col_Totale[C(i)] == 3 || (Col_Totale[C(i)] == 4 && e == T)) (void)rs.Set(i, data::Value(Totali[C(e)][C(i)]));
        Totali[C(e)][C(i)] = 0;
      } else if (k == "4") {
        if (Col_Totale[C(i)] == 3 || (Col_Totale[C(i)] == 4 && T == 0)) (void)rs.Set(i, data::Value(Totali[0][C(i)]));
      }
    }
    Aggiorna(rs);
  }
  return true;
}

}  // namespace

void Ricalcola_Colonne(int16_t& Modo) {
  auto* griglia = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get());
  if (!griglia || !griglia->IsOpen() || (griglia->BeforeFirst() && griglia->AfterLast())) return;
  data::StaticRecordset& rs = *griglia;
  if (Modo_Griglia != 3) {
    Imposta_Ordinamento();
    return;
  }
  const bool tutto = Modo != 0;
  // Columns the recordset does not have cannot be computed.
  const int N = std::clamp<int>(Numero_Colonne, 0, std::min(255, rs.FieldCount() - 1));

  if (!tutto) Colonne_Livello(rs, N);

  // Mode 0 stops below the first running sum, whose values depend on the display order; mode -1
  // computes from there on. Without running sums everything is done in mode 0, and mode -1 only
  // picks up columns whose level is unknown and puts the sort back.
  const int32_t P = Precedenza_P;
  int32_t da = 1, a = kNessuno;
  bool riordina = false;
  if (P > 0) {
    if (tutto) da = P;
    else a = P - 1;
  } else if (tutto) {
    da = a = -1;
    riordina = true;
  }

  std::array<int32_t, 256> lavoro{};
  for (int i = 0; i <= N; ++i) lavoro[C(i)] = Col_Precedenza[C(i)];

  for (;;) {
    int32_t L = kNessuno;
    for (int i = 1; i <= N; ++i)
      if (lavoro[C(i)] >= da && lavoro[C(i)] <= a) L = std::min(L, lavoro[C(i)]);
    if (L == kNessuno) break;
    std::vector<int> ranghi, progressivi, formule;
    for (int i = 1; i <= N; ++i) {
      if (lavoro[C(i)] != L) continue;
      const std::string& t = Col_Calcolo[C(i)];
      if (Rango(t)) ranghi.push_back(i);
      else if (Progressivo(t)) progressivi.push_back(i);
      else formule.push_back(i);
    }

    for (int i : ranghi) {
      Totali[0][C(i)] = 0;
      if (tutto) {
        riordina = true;
        Col_Ordine[C(i)] = 1;
      }
      Calcola_Rango(rs, i, N);
      lavoro[C(i)] = kFatto_Rango;
    }

    if (!progressivi.empty()) {
      for (int i : progressivi) Col_Ordine[C(i)] = 1;
      Imposta_Ordinamento();
      if (tutto) riordina = false;
      Calcola_Progressivi(rs, progressivi);
      for (int i : progressivi) lavoro[C(i)] = kFatto_Progressivo;
    }

    if (formule.empty()) continue;
    for (int i : formule) {
      for (auto& l : Totali) l[C(i)] = 0;
      if (tutto) Col_Ordine[C(i)] = 1;
    }
    Imposta_Ordinamento();
    if (tutto) riordina = false;
    Calcola_Formule(rs, formule, N);
    if (Somma_Totali(rs, formule) && tutto) riordina = true;
    for (int i : formule) lavoro[C(i)] = kFatto_Formula;
  }
  if (riordina) Imposta_Ordinamento();
}

}  // namespace kyx
