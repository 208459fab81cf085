// The SQL texts of an elaboration.
#include "engine/query_elaborazione.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/filtri_sql.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/agganci_motore.h"
#include "engine/campi.h"
#include "engine/stato_motore.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cerca;
using motore::Cifre;
using motore::Numero;
using motore::Testo;

size_t C(int n) { return static_cast<size_t>(n); }

// The data-set slots a flag array can describe: Col_Where_Flag has 64 per element.
int Slot_Massimi(int n) { return std::clamp(n, 0, 64); }

bool Slot_Preso(int elemento, int slot) { return Col_Where_Flag[C(elemento)][C(slot - 1)] != 0; }

// The slot signature of an element: which data-set slots of the current system it takes.
bool Stessi_Slot(int a, int b) {
  for (int s = 1; s <= Slot_Massimi(Sinf_Idx_Max); ++s)
    if (Slot_Preso(a, s) != Slot_Preso(b, s)) return false;
  return true;
}

const char kFiller = '\xBF';  // "¿": a level the row totals over

}  // namespace

bool Dialetto_Server() { return Connesso && DataBase_SQL.empty(); }

void Chiavi_Riga() {
  Select_Chiavi = "";
  Group_By = "";
  Numero_Livelli = 0;
  Livello_Indice = 0;
  Lunghezza_Livello.fill(0);
  for (int i = 1; i <= 9; ++i) {
    const int16_t chiave = Liv_Riga_Chiave[C(i - 1)];
    // The slot key is never a column of the data: its place holds the two characters 'ii'. A
    // system without a slot key (0 or less) has no such level.
    if (chiave == Sinf_Idx_Key && Sinf_Idx_Key > 0) {
      Select_Chiavi += Dialetto_Server() ? "CHAR('ii', 2)," : "'ii',";
      Lunghezza_Livello[C(i)] = 2;
      Numero_Livelli = static_cast<int16_t>(i);
      Livello_Indice = static_cast<int16_t>(i);
      continue;
    }
    if (!Cerca(Rs_Chiavi.get(), {Sistema_Informativo, chiave})) continue;
    const std::string kind = Testo(*Rs_Chiavi, "KINDB");
    if (kind != "K" && kind != "A") continue;
    Numero_Livelli = static_cast<int16_t>(i);
    const std::string nome = "k_" + Cifre(chiave, 3) + ",";
    Select_Chiavi += nome;
    Group_By += nome;
    const int64_t lun = Numero(*Rs_Chiavi, "LUN");
    Lunghezza_Livello[C(i)] = static_cast<int16_t>(std::clamp<int64_t>(lun, 0, INT16_MAX));
  }
  if (!Group_By.empty()) Group_By = " group by " + Group_By.substr(0, Group_By.size() - 1);
}

void Filtri_Elaborazione() {
  Filtro_Completo_SQL(Filtro_Completo);
  Filtro_Slot.fill(-1);
  Filtro_Chiave_SQL(Filtro_Chiavi, Filtro_Slot, "\t");
}

void Titolo_Elaborazione() {
  std::string descrizione;
  if (Rs_Layout && !Rs_Layout->BeforeFirst() && !Rs_Layout->AfterLast())
    descrizione = vb::RTrim(Testo(*Rs_Layout, "DESC"));
  const std::string nodo = agganci_motore::Testo_Nodo_Layout ? agganci_motore::Testo_Nodo_Layout(Ordinamento_Layout == 0) : "";
  if (agganci_motore::Imposta_Titolo) agganci_motore::Imposta_Titolo(descrizione + "  " + nodo);
}

void Campo_Somma(int32_t Elemento, int32_t Valore, int16_t Slot, int16_t Sommato) {
  if (Elemento < 0 || Elemento > 255) return;
  std::string& t = Col_Somma[C(Elemento)];
  t = "";
  const bool server = Dialetto_Server();
  const std::string valore = "V_" + Cifre(Valore, 3);
  const int n = Slot_Massimi(Slot);
  if (Sommato != 0) {
    if (server) t += "decimal(";
    if (Slot > 1) {
      std::string somma;
      for (int s = 1; s <= n; ++s)
        if (Slot_Preso(Elemento, s)) somma += valore + "_" + Cifre(s, 2) + "+";
      // An element whose filter lets no data-set slot through sums nothing: the constant item 0,
      // as an unflagged slot of the spread form, rather than an item no database accepts. It is
      // still one number, so the item count and the offsets of the record stay as they were.
      if (somma.empty()) {
        t = server ? "decimal( 0, 17, 3)" : " 0";
        return;
      }
      somma.back() = ')';
      t += "sum(" + somma;
    } else {
      t += "sum(" + valore + "_01)";
    }
    if (server) t += ", 17, 3)";
    return;
  }
  for (int s = 1; s <= n; ++s) {
    if (Slot_Preso(Elemento, s)) {
      const std::string somma = "sum(" + valore + "_" + Cifre(s, 2) + ")";
      t += server ? "decimal(" + somma + ", 17, 3), " : somma + ", ";
    } else {
      t += server ? "decimal( 0, 17, 3), " : " 0, ";
    }
  }
  // The closing ", " becomes two blanks: the text keeps its length.
  if (t.size() >= 2) t.replace(t.size() - 2, 2, "  ");
}

void Componi_Query() {
  Numero_Query = 0;
  int inizio = 0;  // where the next query's items start in Query_Colonna / Query_Riga
  const int n = std::min<int>(Numero_Elementi, 255);
  const int m = Livello_Indice > 0 ? Sinf_Idx_Max : 1;
  for (int i = 1; i <= n; ++i) {
    const size_t x = C(i);
    if (Col_VCK[C(Elem_Colonna[x])] > 0 || Col_Somma[x].empty()) continue;
    if (Numero_Query >= kMassimo_Query || inizio >= static_cast<int>(Query_Colonna.size())) {
      Voci_Esaurite = true;
      break;
    }
    const size_t q = C(Numero_Query);
    Query_Inizio[q] = static_cast<int16_t>(inizio);
    Query_Ultimo[q] = 0;
    Query_Sistema[q] = Col_Sistema[x];
    Query_Colonna[C(inizio)] = Elem_Colonna[x];
    Query_Riga[C(inizio)] = Elem_Riga[x];
    ++Numero_Query;
    ++inizio;
    if (Elem_Chiave[x] != 0) {
      // The rows of a key: a query of its own, grouped by its key after the row keys.
      Query_Testo[q] = "Select " + Select_Chiavi + Col_Somma[x] + " FROM KYX_D0_00F " + Col_Where[x] +
                       (Group_By.empty() ? " group by " : Group_By + ",") + Col_Somma[x];
      continue;
    }
    std::string testo = "SELECT " + Select_Chiavi + Col_Somma[x];
    int voci = 1;
    for (int j = i + 1; j <= n; ++j) {
      const size_t y = C(j);
      if (Col_Somma[y].empty() || Col_Where[y] != Col_Where[x] || Col_Sistema[y] != Col_Sistema[x] ||
          !Stessi_Slot(i, j) || Col_VCK[C(Elem_Colonna[y])] != 0 || Elem_Chiave[y] != 0)
        continue;
      // A query keeps its select list under 400 columns (each item of a spread value counts
      // once per data-set slot when the slot key is a row level).
      if (Numero_Livelli + voci * m >= 400) continue;
      if (inizio >= static_cast<int>(Query_Colonna.size())) {
        Voci_Esaurite = true;
        break;
      }
      testo += "," + Col_Somma[y];
      ++Query_Ultimo[q];
      Query_Colonna[C(inizio)] = Elem_Colonna[y];
      Query_Riga[C(inizio)] = Elem_Riga[y];
      ++inizio;
      ++voci;
      Col_Somma[y] = "";
    }
    Query_Testo[q] = testo + " FROM KYX_D0_00F " + Col_Where[x] + Group_By;
  }
}

std::string Select_Subtotali(const std::string& Sql) {
  const std::string marca = " [1]";
  if (Sql.size() >= marca.size() && Sql.compare(Sql.size() - marca.size(), marca.size(), marca) == 0)
    return vb::Trim(Sql.substr(0, Sql.size() - marca.size()));
  const size_t g = Sql.find("group by");
  const size_t p = Sql.rfind(",k_");
  if (g == std::string::npos || p == std::string::npos || p <= g) return "";
  const std::string t = Sql.substr(p, 6);
  if (!vb::Like(t, ",k_###")) return "";
  if (motore::Vuota(Rs_Chiavi.get())) return "";
  const int chiave = static_cast<int>(vb::Val(t.substr(3)));
  if (!Cerca(Rs_Chiavi.get(), {Sistema_Informativo, chiave})) return "";
  const auto lun = static_cast<long>(std::clamp<int64_t>(Numero(*Rs_Chiavi, "LUN"), 0, 255));
  std::string testo = Sql;
  testo.replace(p, 6, 6, ' ');
  const std::string filler = vb::String(lun, kFiller);
  const std::string letterale = Dialetto_Server() ? ",CHAR('" + filler + "', " + std::to_string(lun) + ")"
                                                  : ",'" + filler + "'";
  return vb::Trim(vb::Replace(testo, t, letterale));
}

std::string Scegli_Tabella(std::string& Sql, const std::string& Sistema) {
  if (motore::Vuota(Rs_Sinf.get())) return "";
  const std::string s = vb::Trim(Sistema.empty() ? Sistema_Informativo : Sistema);
  if (!Cerca(Rs_Sinf.get(), {s})) return "";
  const std::string libreria = vb::Trim(Testo(*Rs_Sinf, "LIBS1"));

  // How many of the query's keys each total table holds.
  std::array<int, 5> totali{};
  int chiavi = 0;
  const auto conta = [&] {
    for (int t = 1; t <= 4; ++t)
      if (Testo(*Rs_Chiavi, "TOT_" + std::to_string(t)) == "S") ++totali[C(t)];
  };
  size_t pos = Sql.find("k_");
  if (pos == std::string::npos) {
    // No key at all: one key, and each total table counts the system's keys it holds.
    chiavi = 1;
    if (Cerca(Rs_Chiavi.get(), {s})) {
      while (!Rs_Chiavi->AfterLast() && vb::UCase(vb::RTrim(Testo(*Rs_Chiavi, "SINF"))) == vb::UCase(s)) {
        conta();
        if (!Rs_Chiavi->MoveNext().ok()) break;
      }
    }
  }
  while (pos != std::string::npos) {
    const std::string k = Sql.substr(pos, 5);
    if (vb::Like(k, "k_###")) {
      ++chiavi;
      if (Cerca(Rs_Chiavi.get(), {s, static_cast<int>(vb::Val(k.substr(2)))})) conta();
    }
    pos = Sql.find("k_", pos + 5);
  }

  const size_t q = Sql.find("KYX_D0_00F");
  if (q == std::string::npos) return Sql;
  std::string testo = Sql;
  for (int t = 4; t >= 1; --t) {
    if (totali[C(t)] >= chiavi) {
      testo[q + 5] = static_cast<char>('0' + t);
      break;
    }
  }
  testo = testo.substr(0, q) + libreria + "/" + testo.substr(q);
  Sql = testo;
  return testo;
}

void Analizza_Select(const std::string& Sql, std::vector<int32_t>& Larghezze, std::vector<int32_t>& Posizioni,
                     int16_t& Conteggio) {
  // The select list runs from after the seven-character head ("SELECT ", "Select " ...) to the
  // first "FROM ".
  const std::string maiuscolo = vb::UCase(Sql);
  size_t fine = maiuscolo.find("FROM ");
  if (fine == std::string::npos) fine = Sql.size();
  const size_t inizio = std::min<size_t>(7, fine);
  const auto posto = [&](size_t n) {
    if (Larghezze.size() < n + 1) Larghezze.resize(n + 1, 0);
    if (Posizioni.size() < n + 2) Posizioni.resize(n + 2, 0);
  };
  const auto voce = [&](std::string v) {
    v.erase(std::remove(v.begin(), v.end(), ' '), v.end());
    v = vb::UCase(v);
    if (Conteggio < 0 || Conteggio >= INT16_MAX) return;
    const size_t n = C(Conteggio);
    posto(n);
    int32_t larghezza = -1;
    if (v == "'II'" || v == "CHAR('II',2)") {
      larghezza = 2;
      Larghezze[n] = 2;
    } else if (vb::Like(v, "SUM(*)") || vb::Like(v, "DECIMAL(*)") || v == "0") {
      larghezza = 9;  // a packed number: 17 digits and the sign in nine bytes
      Larghezze[n] = 0;
    } else if (vb::Like(v, "K_###") && Cerca(Rs_Chiavi.get(), {Sistema_Informativo, static_cast<int>(vb::Val(v.substr(2)))})) {
      larghezza = static_cast<int32_t>(std::clamp<int64_t>(Numero(*Rs_Chiavi, "LUN"), 0, 8192));
      Larghezze[n] = larghezza;
    }
    if (larghezza < 0) return;
    Posizioni[n + 1] = Posizioni[n] + larghezza;
    ++Conteggio;
  };
  int profondita = 0;
  std::string corrente;
  for (size_t i = inizio; i < fine; ++i) {
    const char c = Sql[i];
    if (c == '(') ++profondita;
    else if (c == ')') --profondita;
    if (c == ',' && profondita == 0) {
      voce(corrente);
      corrente.clear();
    } else {
      corrente += c;
    }
  }
  voce(corrente);
}

}  // namespace kyx
