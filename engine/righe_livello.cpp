#include "engine/righe_livello.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato_db.h"
#include "db/mdb3.h"
#include "engine/campi.h"
#include "engine/righe_totale.h"
#include "engine/stato_motore.h"
#include "platform/data/collation.h"
#include "platform/data/connection.h"
#include "platform/data/table_recordset.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cifre;

size_t C(int n) { return static_cast<size_t>(n); }

std::string Colonna(int i) { return "c" + Cifre(i, 3); }

// Outline columns: R(l) is the column of the "#R<l + 1>(" token, 0 when the layout has none.
std::array<int, 9> Colonne_Schema() {
  std::array<int, 9> R{};
  for (int c = 0; c <= Numero_Colonne; ++c) {
    if (!vb::Like(Col_Calcolo[C(c)], "[#]R[1-9](*")) continue;
    const int l = static_cast<int>(vb::Val(vb::Mid(Col_Calcolo[C(c)], 3))) - 1;
    if (l >= 0 && l < 9) R[C(l)] = c;
  }
  return R;
}

// The cells of DATI that the expansion reads, each fetched once per row.
class Celle {
 public:
  int Aggiungi(int colonna) {
    const auto [it, nuova] = indice_.try_emplace(colonna, static_cast<int>(colonne_.size()));
    if (nuova) colonne_.push_back(colonna);
    return it->second;
  }
  const std::vector<int>& Colonne() const { return colonne_; }

 private:
  std::map<int, int> indice_;
  std::vector<int> colonne_;
};

struct Riga {
  int64_t rowid = 0;
  std::vector<data::Value> celle;
};

// Every row of DATI in the order of DATI_L (row key, then key codes), read in one go so that the
// rows added and renumbered never disturb the walk.
std::vector<Riga> Leggi_Righe(const Celle& celle) {
  std::vector<Riga> righe;
  std::string sql = "SELECT rowid";
  for (int c : celle.Colonne()) sql += ", " + Colonna(c);
  sql += " FROM DATI ORDER BY c000";
  for (int k = 1; k <= Numero_Chiavi_DATI; ++k) sql += ", k" + Cifre(k, 3);
  std::unique_ptr<data::Statement> st;
  if (!Cn_MDB3->Prepare(sql, &st).ok()) return righe;
  bool riga = false;
  const int n = static_cast<int>(celle.Colonne().size());
  while (st->Step(&riga).ok() && riga) {
    Riga r;
    r.rowid = st->Read(0).AsInteger();
    for (int i = 0; i < n; ++i) r.celle.push_back(st->Read(1 + i));
    righe.push_back(std::move(r));
  }
  return righe;
}

// A code as the key-code columns hold it: blank-padded to the level's width, as the merge writes
// it, so that the second query pass finds the subtotal rows by their codes.
std::string Codice(std::string codice, int larghezza) {
  if (static_cast<int>(codice.size()) < larghezza) codice.append(C(larghezza - static_cast<int>(codice.size())), ' ');
  return codice;
}

}  // namespace

void Espandi_Righe_R(const std::array<int32_t, 10>& Livelli, const std::array<int32_t, 10>& Larghezze,
                     int32_t Ultimo_Valore, const std::array<int16_t, 256>& Colonne_Valore) {
  const std::array<int, 9> R = Colonne_Schema();
  const auto chiave_colonna = [](int c) { return c >= 0 && c <= 255 ? Col_Chiave[C(c)] : int16_t{-1}; };
  // Depth: the grouped levels are 0 .. T - 1; the detail rows are at level T.
  const int T = std::clamp(Numero_Livelli - 1 + (Livello_Contatore_2 >= 1 ? 1 : 0), 0, 9);
  const int V = std::clamp<int>(Ultimo_Valore, -1, 255);
  const int RT = T < 9 ? R[C(T)] : 0;
  const bool schema_dettaglio = RT > 0 && R[0] > 0;

  if (Cn_MDB3 && Rs_Dati && Rs_Dati->IsOpen()) {
    // The cells read: level keys, summed values, the detail's outline cell and the descriptions.
    Celle celle;
    std::vector<int> cella_livello, cella_valore, cella_descrizione;
    for (int l = 0; l < T; ++l) cella_livello.push_back(celle.Aggiungi(std::clamp<int>(Livelli[C(l)], 0, 255)));
    for (int i = 0; i <= V; ++i) cella_valore.push_back(celle.Aggiungi(std::clamp<int>(Colonne_Valore[C(i)], 0, 255)));
    const int cella_dettaglio = schema_dettaglio ? celle.Aggiungi(RT) : -1;
    for (int m = 1; m <= Livello_Contatore_1 && m <= 256; ++m)
      if (Col_Lavoro_3[C(m - 1)] == "R") cella_descrizione.push_back(celle.Aggiungi(std::clamp(Col_Lavoro_2[C(m - 1)], 0, 255)));
    const std::vector<Riga> righe = Leggi_Righe(celle);

    std::unique_ptr<data::Statement> chiave, chiave_schema;
    const bool pronto =
        !righe.empty() && Cn_MDB3->Prepare("UPDATE DATI SET c000 = ? WHERE rowid = ?", &chiave).ok() &&
        (!schema_dettaglio ||
         Cn_MDB3->Prepare("UPDATE DATI SET c000 = ?, " + Colonna(R[0]) + " = ? WHERE rowid = ?", &chiave_schema).ok());
    if (pronto) {
      const bool transazione = !Cn_MDB3->InTransaction() && Cn_MDB3->BeginTransaction().ok();
      // Key values of the current and the previous row per level; at T the row key itself.
      std::vector<std::string> cur(C(T + 1)), prev(C(T + 1));
      bool primo = true;
      std::vector<std::vector<double>> accumulatori(C(T), std::vector<double>(C(V + 1), 0.0));
      const int n_chiavi = std::max<int>(Numero_Chiavi_DATI, 0);

      const auto nuova_riga = [&](const std::string& c000) {
        if (!Rs_Dati->AddNew().ok()) return false;
        for (int i = 0; i <= Numero_Colonne; ++i) (void)Rs_Dati->Set(i, Col_Valore[C(i)]);
        (void)Rs_Dati->Set(0, data::Value(c000));
        return true;
      };
      const auto salva = [&] {
        if (!Rs_Dati->Update().ok()) Rs_Dati->CancelUpdate();
      };
      // The subtotal row of the group of level l that ends with the row whose values are `v`.
      const auto subtotale = [&](int l, const std::vector<std::string>& v) {
        if (!nuova_riga(vb::Left(v[C(T)], 6) + "3" + Cifre(9 - l, 1) + Cifre(chiave_colonna(Livelli[C(l)]), 3)))
          return;
        if (R[C(l)] > 0 && R[0] > 0) (void)Rs_Dati->Set(R[0], data::Value(v[C(l)]));
        for (int i = 0; i <= V; ++i) (void)Rs_Dati->Set(Colonne_Valore[C(i)], data::Value(accumulatori[C(l)][C(i)]));
        std::vector<std::string> K(C(n_chiavi));
        const auto aggiungi = [&](int f, const std::string& testo) {
          if (f < 0 || f >= static_cast<int>(Col_Chiave_DATI.size())) return;
          const int k = Col_Chiave_DATI[C(f)];
          if (k >= 1 && k <= n_chiavi) K[C(k - 1)] += testo;
        };
        for (int f = 0; f <= l; ++f) aggiungi(f, Codice(v[C(f)], Larghezze[C(f)]));
        for (int f = l + 1; f <= T; ++f) aggiungi(f, vb::String(std::clamp(Larghezze[C(f)], 0, 255), '\xBF'));
        for (int k = 0; k < n_chiavi; ++k) (void)Rs_Dati->Set("k" + Cifre(k + 1, 3), data::Value(K[C(k)]));
        salva();
      };

      for (size_t n = 0; n < righe.size(); ++n) {
        const Riga& r = righe[n];
        // Renumbered in key-code order: the merged details all carry the same key.
        std::string c000 = Cifre(static_cast<int64_t>(n + 1), 6) + "2";
        for (int l = 0; l < T; ++l) cur[C(l)] = r.celle[C(cella_livello[C(l)])].AsText();
        cur[C(T)] = c000;
        // A group changes when any key of its prefix does: an outer change closes and reopens
        // every inner group. The keys are compared one by one, since joined codes of different
        // widths can spell the same text, and as the grouping compared them (JET: no case, no
        // trailing blanks).
        int cambio = T;  // first level whose prefix differs
        for (int l = 0; l < T && !primo; ++l)
          if (!data::JetEqual(cur[C(l)], prev[C(l)])) {
            cambio = l;
            break;
          }
        if (primo) cambio = 0;
        if (!primo)
          for (int l = T - 1; l >= cambio; --l) subtotale(l, prev);
        for (int l = cambio; l < T; ++l) {
          if (nuova_riga(vb::Left(c000, 6) + "1" + Cifre(l + 1, 1) + Cifre(chiave_colonna(Livelli[C(l)]), 3))) {
            if (R[C(l)] > 0 && R[0] > 0) (void)Rs_Dati->Set(R[0], data::Value(cur[C(l)]));
            for (int k = 1; k <= n_chiavi; ++k) (void)Rs_Dati->Set("k" + Cifre(k, 3), data::Value("-"));
            salva();
          }
          std::fill(accumulatori[C(l)].begin(), accumulatori[C(l)].end(), 0.0);
        }
        for (int l = 0; l < T; ++l)
          for (int i = 0; i <= V; ++i) {
            const data::Value& w = r.celle[C(cella_valore[C(i)])];
            if (!w.is_null()) accumulatori[C(l)][C(i)] += w.AsDouble();
          }
        if (schema_dettaglio) {
          std::string schema;
          if (chiave_colonna(RT) >= 0) {
            schema = r.celle[C(cella_dettaglio)].AsText();
            c000 += Cifre(T + 1, 1) + Cifre(chiave_colonna(RT), 3);
          } else {
            // No key of its own: the outline shows the descriptions of the "R" description levels.
            for (int d : cella_descrizione) schema += r.celle[C(d)].AsText() + " ";
            schema = vb::Left(schema, 30);
            if (schema.empty()) schema = " ";
            c000 += Cifre(T + 1, 1) + "999";
          }
          chiave_schema->Reset();
          (void)chiave_schema->Bind(1, data::Value(c000));
          (void)chiave_schema->Bind(2, data::Value(schema));
          (void)chiave_schema->Bind(3, data::Value(r.rowid));
          (void)chiave_schema->Run();
        } else {
          chiave->Reset();
          (void)chiave->Bind(1, data::Value(c000));
          (void)chiave->Bind(2, data::Value(r.rowid));
          (void)chiave->Run();
        }
        cur[C(T)] = c000;
        prev = cur;
        primo = false;
      }
      for (int l = T - 1; l >= 0; --l) subtotale(l, prev);
      if (transazione) (void)Cn_MDB3->Commit();
      (void)Rs_Dati->MoveFirst();
    }
  }
  // From here on the outline columns are no plain key columns.
  for (int c = 0; c <= Numero_Colonne; ++c)
    if (vb::Like(Col_Calcolo[C(c)], "[#]R[1-9](*")) Col_Chiave[C(c)] = -2;
}

void Espandi_Righe_R() {
  std::array<int32_t, 10> livelli{}, larghezze{};
  const int NL = std::clamp<int>(Numero_Livelli, 0, 9);
  for (int l = 0; l < 9; ++l) livelli[C(l)] = Colonna_Livello[C(l + 1)];
  for (int l = 0; l < NL; ++l) larghezze[C(l)] = Lunghezza_Livello[C(l + 1)];
  // A detail level of "D" tokens below the row levels: its fillers are as wide as its code, as in
  // the subtotal queries of the second pass.
  if (Livello_Contatore_1 > 0 && NL < 10) {
    const int c = std::clamp(Col_Lavoro_2[0], 0, 255);
    larghezze[C(NL)] = Col_Tipo[C(c)];
  }
  Espandi_Righe_R(livelli, larghezze, Ultimo_Valore_Elaborazione(), Query_Colonna);
}

}  // namespace kyx
