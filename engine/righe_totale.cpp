#include "engine/righe_totale.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/campi.h"
#include "engine/dati_memoria.h"
#include "engine/righe_livello.h"
#include "engine/stato_motore.h"
#include "platform/data/collation.h"
#include "platform/data/connection.h"
#include "platform/data/table_recordset.h"

namespace kyx {
namespace {

using motore::Cifre;

size_t C(int n) { return static_cast<size_t>(n); }

std::string Colonna(int i) { return "c" + Cifre(i, 3); }

bool Aperta(const std::unique_ptr<data::TableRecordset>& Rs) { return Rs && Rs->IsOpen(); }

bool Vuota(data::TableRecordset& Rs) { return Rs.BeforeFirst() && Rs.AfterLast(); }

// A detail row as the renumbering sees it.
struct Riga {
  int64_t rowid = 0;
  std::vector<data::Value> livelli;  // cells L(0) .. L(NL - 1)
  std::vector<data::Value> valori;   // cells W(0) .. W(V)
};

// Every row of DATI in the order of DATI_L (row key, then key codes), with the cells the
// subtotals need. Read in one go, so that the new keys and rows never disturb the walk.
std::vector<Riga> Leggi_Righe(const std::array<int32_t, 10>& Livelli, int NL, int V,
                              const std::array<int16_t, 256>& W) {
  std::vector<Riga> righe;
  std::string sql = "SELECT rowid";
  for (int l = 0; l < NL; ++l) sql += ", " + Colonna(Livelli[C(l)]);
  for (int i = 0; i <= V; ++i) sql += ", " + Colonna(W[C(i)]);
  sql += " FROM DATI ORDER BY c000";
  for (int k = 1; k <= Numero_Chiavi_DATI; ++k) sql += ", k" + Cifre(k, 3);
  std::unique_ptr<data::Statement> st;
  if (!Cn_MDB3->Prepare(sql, &st).ok()) return righe;
  bool riga = false;
  while (st->Step(&riga).ok() && riga) {
    Riga r;
    r.rowid = st->Read(0).AsInteger();
    for (int l = 0; l < NL; ++l) r.livelli.push_back(st->Read(1 + l));
    for (int i = 0; i <= V; ++i) r.valori.push_back(st->Read(1 + NL + i));
    righe.push_back(std::move(r));
  }
  return righe;
}

// ---- The same steps on the copy of DATI in memory --------------------------------------------

void Elimina_Righe_Zero(Dati_Memoria& m) {
  std::vector<size_t> numeri;
  for (int c = 1; c <= Numero_Colonne; ++c)
    if (Col_Tipo[C(c)] == 0 && C(c) < m.nomi.size()) numeri.push_back(C(c));
  Togli_Righe(m, [&](const std::vector<data::Value>& r) {
    for (size_t c : numeri)
      if (!r[c].is_null() && r[c].AsDouble() != 0) return false;
    return true;
  });
}

// The rows in the order of DATI_L: row key, then key codes, compared as the table compares text
// (Null first); rows of equal keys in the order of their row ids, as the index keeps them. The
// merge mostly leaves them in that order already: then they are only checked.
std::vector<size_t> Ordine_DATI_L(const Dati_Memoria& m) {
  std::vector<size_t> campi{0};
  for (int k = 1; k <= Numero_Chiavi_DATI; ++k)
    if (C(m.prima_k + k - 1) < m.nomi.size()) campi.push_back(C(m.prima_k + k - 1));
  std::vector<size_t> ordine(m.righe.size());
  for (size_t i = 0; i < ordine.size(); ++i) ordine[i] = i;
  const auto confronta = [](const data::Value& a, const data::Value& b) {
    if (a.is_null() || b.is_null()) return static_cast<int>(b.is_null()) - static_cast<int>(a.is_null());
    if (a.kind() == data::Value::Kind::Text && b.kind() == data::Value::Kind::Text)
      return data::JetCompare(a.text(), b.text());
    return data::JetCompare(a.AsText(), b.AsText());
  };
  const auto prima = [&](size_t a, size_t b) {
    for (size_t c : campi) {
      const int d = confronta(m.righe[a][c], m.righe[b][c]);
      if (d != 0) return d < 0;
    }
    return m.rowid[a] < m.rowid[b];
  };
  if (!std::is_sorted(ordine.begin(), ordine.end(), prima)) std::stable_sort(ordine.begin(), ordine.end(), prima);
  return ordine;
}

// Two codes as the grouping compares them (JET: no case, no trailing blanks).
bool Stesso_Codice(const data::Value& a, const data::Value& b) {
  if (a.kind() == data::Value::Kind::Text && b.kind() == data::Value::Kind::Text) return data::JetEqual(a.text(), b.text());
  return data::JetEqual(a.AsText(), b.AsText());
}

void Aggiungi_Subtotali(Dati_Memoria& m, const std::array<int32_t, 10>& Livelli, int NL, int V,
                        const std::array<int16_t, 256>& W) {
  const size_t campi = m.nomi.size();
  const auto cella = [&](int colonna) { return C(colonna) < campi ? C(colonna) : size_t{0}; };
  const std::vector<size_t> ordine = Ordine_DATI_L(m);
  std::vector<std::vector<data::Value>> nuove;
  std::vector<data::Value> precedente;
  for (int l = 0; l < NL; ++l) precedente.push_back(m.righe[ordine.front()][cella(Livelli[C(l)])]);
  std::vector<std::vector<double>> accumulatori(C(NL), std::vector<double>(C(V + 1), 0.0));
  int s = 1;
  const auto imposta_chiave = [&](std::vector<data::Value>& r, const std::string& c000) {
    Imposta_Cella_Memoria(m, r, 0, data::Value(c000));
  };
  const auto subtotale = [&](int l) {
    // As a recordset adds the row: every cell set through its field.
    std::vector<data::Value> r(campi);
    const auto imposta = [&](int c, const data::Value& v) { Imposta_Cella_Memoria(m, r, C(c), v); };
    for (int i = 0; i <= Numero_Colonne; ++i) imposta(i, Col_Valore[C(i)]);
    imposta(0, data::Value(Cifre(s, 6) + "3" + Cifre(NL - 1 - l, 1)));
    for (int mm = 0; mm <= l; ++mm)
      if (Livelli[C(mm)] > 0) imposta(Livelli[C(mm)], precedente[C(mm)]);
    if (Livelli[C(l + 1)] > 0) imposta(Livelli[C(l + 1)], data::Value("  totale"));
    for (int i = 0; i <= V; ++i) imposta(W[C(i)], data::Value(accumulatori[C(l)][C(i)]));
    for (size_t k = C(m.prima_k); k < campi; ++k) imposta(static_cast<int>(k), data::Value("-"));
    nuove.push_back(std::move(r));
    for (double& a : accumulatori[C(l)]) a = 0;
  };
  for (size_t n : ordine) {
    std::vector<data::Value>& r = m.righe[n];
    int cambio = NL - 1;
    for (int l = 0; l <= NL - 2; ++l)
      if (!Stesso_Codice(r[cella(Livelli[C(l)])], precedente[C(l)])) {
        cambio = l;
        break;
      }
    for (int l = cambio; l <= NL - 2; ++l) subtotale(l);
    if (cambio <= NL - 2) ++s;
    // The cells are taken before the row key changes: a level or value on column 0 (a skipped
    // level) reads the key the row had.
    for (int l = 0; l <= NL - 2; ++l) {
      precedente[C(l)] = r[cella(Livelli[C(l)])];
      for (int i = 0; i <= V; ++i) {
        const data::Value& v = r[cella(W[C(i)])];
        if (!v.is_null()) accumulatori[C(l)][C(i)] += v.AsDouble();
      }
    }
    imposta_chiave(r, Cifre(s, 6) + "2");
  }
  for (int l = 0; l <= NL - 2; ++l) subtotale(l);
  // The subtotal rows join the index by their codes ("-") as the other rows are in it.
  for (auto& r : nuove) {
    const std::vector<data::Value> chiave(r.begin() + std::min<ptrdiff_t>(m.prima_k, static_cast<ptrdiff_t>(r.size())), r.end());
    m.indice.try_emplace(Chiave_Dati_Memoria(chiave), m.righe.size());
    m.righe.push_back(std::move(r));
    m.rowid.push_back(0);
  }
  m.modificata = true;
}

}  // namespace

void Elimina_Righe_Zero() {
  if (Dati_Memoria* m = Dati_In_Memoria()) {
    Elimina_Righe_Zero(*m);
    return;
  }
  // MoveFirst saves a pending change first and tells whether there is any row.
  if (!Aperta(Rs_Dati) || !Cn_MDB3 || !Rs_Dati->MoveFirst().ok()) return;
  // The number cells of every row read in one pass; the rows whose cells are all zero or empty
  // (an empty cell counts as zero) then go in a few statements in one transaction.
  std::string sql = "SELECT rowid";
  int numeri = 0;
  for (int c = 1; c <= Numero_Colonne; ++c)
    if (Col_Tipo[C(c)] == 0) sql += ", " + Colonna(c), ++numeri;
  sql += " FROM DATI";
  std::vector<int64_t> zero;
  {
    std::unique_ptr<data::Statement> st;
    if (!Cn_MDB3->Prepare(sql, &st).ok()) return;
    data::Value v;
    bool riga = false;
    while (st->Step(&riga).ok() && riga) {
      bool nulla = true;
      for (int i = 1; i <= numeri && nulla; ++i) {
        st->Read(i, &v);
        nulla = v.is_null() || v.AsDouble() == 0;
      }
      if (nulla) zero.push_back(st->Read(0).AsInteger());
    }
  }
  if (!zero.empty()) {
    const bool transazione = !Cn_MDB3->InTransaction() && Cn_MDB3->BeginTransaction().ok();
    constexpr size_t kPer_Istruzione = 500;
    for (size_t i = 0; i < zero.size(); i += kPer_Istruzione) {
      std::string elimina = "DELETE FROM DATI WHERE rowid IN (";
      for (size_t j = i; j < std::min(zero.size(), i + kPer_Istruzione); ++j)
        elimina += (j > i ? "," : "") + std::to_string(zero[j]);
      (void)Cn_MDB3->Execute(elimina + ")");
    }
    if (transazione) (void)Cn_MDB3->Commit();
  }
  // Where the walk over the rows used to leave the recordset: past the last row.
  if (Rs_Dati->MoveLast().ok()) (void)Rs_Dati->MoveNext();
}

void Aggiungi_Subtotali(const std::array<int32_t, 10>& Livelli, int32_t Ultimo_Valore,
                        const std::array<int16_t, 256>& Colonne_Valore) {
  const int NL = std::clamp<int>(Numero_Livelli, 0, 9);
  const int V = std::clamp<int>(Ultimo_Valore, -1, 255);
  if (Dati_Memoria* m = Dati_In_Memoria()) {
    if (NL >= 2 && !m->righe.empty()) Aggiungi_Subtotali(*m, Livelli, NL, V, Colonne_Valore);
    return;
  }
  if (NL < 2 || !Cn_MDB3 || !Aperta(Rs_Dati)) return;
  const std::vector<Riga> righe = Leggi_Righe(Livelli, NL, V, Colonne_Valore);
  if (righe.empty()) return;

  std::unique_ptr<data::Statement> rinumera;
  if (!Cn_MDB3->Prepare("UPDATE DATI SET c000 = ? WHERE rowid = ?", &rinumera).ok()) return;
  const bool transazione = !Cn_MDB3->InTransaction() && Cn_MDB3->BeginTransaction().ok();

  std::vector<data::Value> precedente = righe.front().livelli;
  // accumulatori(l, W(i)): the values of level l's open group, by value-map entry.
  std::vector<std::vector<double>> accumulatori(C(NL), std::vector<double>(C(V + 1), 0.0));
  int s = 1;
  const auto subtotale = [&](int l) {
    if (Rs_Dati->AddNew().ok()) {
      for (int i = 0; i <= Numero_Colonne; ++i) (void)Rs_Dati->Set(i, Col_Valore[C(i)]);
      (void)Rs_Dati->Set(0, data::Value(Cifre(s, 6) + "3" + Cifre(NL - 1 - l, 1)));
      // A level without a column of its own (0: skipped or gone from the structure) has no cell
      // here: column 0 is the row key just set, which orders the row after its group.
      for (int m = 0; m <= l; ++m)
        if (Livelli[C(m)] > 0) (void)Rs_Dati->Set(Colonna(Livelli[C(m)]), precedente[C(m)]);
      if (Livelli[C(l + 1)] > 0) (void)Rs_Dati->Set(Colonna(Livelli[C(l + 1)]), data::Value("  totale"));
      for (int i = 0; i <= V; ++i) (void)Rs_Dati->Set(Colonna(Colonne_Valore[C(i)]), data::Value(accumulatori[C(l)][C(i)]));
      for (int k = 1; k <= Numero_Chiavi_DATI; ++k) (void)Rs_Dati->Set("k" + Cifre(k, 3), data::Value("-"));
      if (!Rs_Dati->Update().ok()) Rs_Dati->CancelUpdate();
    }
    for (double& a : accumulatori[C(l)]) a = 0;
  };
  for (const Riga& r : righe) {
    // A change at a level closes the group of that level and of every level inside it, as the
    // key prefix of the row changed from there on. Codes compare as the grouping compared them
    // (JET: no case, no trailing blanks): "NORD" and "nord" are one group.
    int cambio = NL - 1;
    for (int l = 0; l <= NL - 2; ++l)
      if (!data::JetEqual(r.livelli[C(l)].AsText(), precedente[C(l)].AsText())) {
        cambio = l;
        break;
      }
    for (int l = cambio; l <= NL - 2; ++l) subtotale(l);
    if (cambio <= NL - 2) ++s;
    rinumera->Reset();
    (void)rinumera->Bind(1, data::Value(Cifre(s, 6) + "2"));
    (void)rinumera->Bind(2, data::Value(r.rowid));
    (void)rinumera->Run();
    for (int l = 0; l <= NL - 2; ++l) {
      precedente[C(l)] = r.livelli[C(l)];
      for (int i = 0; i <= V; ++i)
        if (!r.valori[C(i)].is_null()) accumulatori[C(l)][C(i)] += r.valori[C(i)].AsDouble();
    }
  }
  for (int l = 0; l <= NL - 2; ++l) subtotale(l);
  if (transazione) (void)Cn_MDB3->Commit();
  (void)Rs_Dati->MoveFirst();
}

int32_t Ultimo_Valore_Elaborazione() {
  if (Numero_Query <= 0) return -1;
  const size_t q = C(std::min<int>(Numero_Query, kMassimo_Query) - 1);
  return Query_Inizio[q] + Query_Ultimo[q];
}

void Righe_Subtotale() {
  if (const Dati_Memoria* m = Dati_In_Memoria()) {
    if (m->righe.empty()) return;
  } else if (!Aperta(Rs_Dati_L2) || Vuota(*Rs_Dati_L2)) {
    return;
  }
  if (!Righe_Zero) Elimina_Righe_Zero();
  if (Numero_Livelli <= 0) return;
  if (Livelli_Visibili > 0) {
    // The outline is made in the table itself.
    Scrivi_Dati_Memoria();
    Espandi_Righe_R();
  } else if (Numero_Livelli > 1 && Subtotali_Richiesti != 0) {
    std::array<int32_t, 10> livelli{};
    for (size_t l = 0; l < 9; ++l) livelli[l] = Colonna_Livello[l + 1];
    Aggiungi_Subtotali(livelli, Ultimo_Valore_Elaborazione(), Query_Colonna);
  }
}

void Riga_Totale() {
  if (!Aperta(Rs_Dati)) return;
  (void)Rs_Dati->MoveFirst();
  if (Vuota(*Rs_Dati) || !Rs_Dati->AddNew().ok()) return;
  for (int i = 0; i <= Numero_Colonne; ++i) (void)Rs_Dati->Set(i, Col_Valore[C(i)]);
  (void)Rs_Dati->Set(0, data::Value("9999994"));
  for (int c = 1; c <= Numero_Colonne; ++c)
    if (Col_Totale[C(c)] > 1 && Col_Tipo[C(c)] == 0) (void)Rs_Dati->Set(c, data::Value(Totali[0][C(c)]));
  for (int k = 1; k <= Numero_Chiavi_DATI; ++k) (void)Rs_Dati->Set("k" + Cifre(k, 3), data::Value("-"));
  if (!Rs_Dati->Update().ok()) Rs_Dati->CancelUpdate();
}

}  // namespace kyx
