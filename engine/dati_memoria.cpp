#include "engine/dati_memoria.h"

#include <memory>

#include "common/stato_db.h"
#include "platform/data/collation.h"
#include "platform/data/connection.h"
#include "platform/data/recordset.h"
#include "platform/data/table_recordset.h"

namespace kyx {
namespace {

Dati_Memoria copia;

// What a recordset stores in a field when a value is set into it (the conversion every kind of
// recordset shares).
struct Campo : data::Recordset {
  static data::Status Converti(const data::FieldInfo& f, const data::Value& v, data::Value* out) {
    return Coerce(f, v, true, out);
  }
};

}  // namespace

Dati_Memoria& Copia_Dati() { return copia; }

Dati_Memoria* Dati_In_Memoria() { return copia.aperta ? &copia : nullptr; }

namespace {

void Aggiungi_Codice(std::string_view t, std::string& h) {
  size_t n = t.size();
  while (n > 0 && t[n - 1] == ' ') --n;
  for (size_t i = 0; i < n; ++i) h += static_cast<char>(data::JetUpper(static_cast<unsigned char>(t[i])));
  h += '\x01';
}

}  // namespace

std::string Chiave_Dati_Memoria(const std::vector<data::Value>& chiave) {
  std::string h;
  for (const data::Value& v : chiave) {
    if (v.kind() == data::Value::Kind::Text) Aggiungi_Codice(v.text(), h); else Aggiungi_Codice(v.AsText(), h);
  }
  return h;
}

void Chiave_Dati_Memoria(const std::vector<std::string>& chiave, std::string& h) {
  h.clear();
  for (const std::string& t : chiave) Aggiungi_Codice(t, h);
}

void Indicizza_Dati_Memoria(Dati_Memoria& m) {
  m.indice.clear();
  for (size_t i = 0; i < m.righe.size(); ++i) {
    const auto& r = m.righe[i];
    if (static_cast<size_t>(m.prima_k) >= r.size()) continue;
    const std::vector<data::Value> chiave(r.begin() + m.prima_k, r.end());
    m.indice.try_emplace(Chiave_Dati_Memoria(chiave), i);
  }
}

void Imposta_Cella_Memoria(const Dati_Memoria& m, std::vector<data::Value>& r, size_t c, const data::Value& v) {
  if (c >= r.size() || c >= m.campi.size()) return;
  data::Value x;
  if (Campo::Converti(m.campi[c], v, &x).ok()) r[c] = std::move(x);
}

bool Apri_Dati_Memoria() {
  if (copia.aperta) return true;
  if (!Rs_Dati_L2 || !Rs_Dati_L2->IsOpen()) return false;
  copia = Dati_Memoria{};
  copia.campi = Rs_Dati_L2->Fields();
  for (const auto& f : copia.campi) copia.nomi.push_back(f.name);
  const int k = Rs_Dati_L2->FieldIndex("k001");
  copia.prima_k = k < 0 ? static_cast<int>(copia.nomi.size()) : k;
  if (!(Rs_Dati_L2->BeforeFirst() && Rs_Dati_L2->AfterLast()) && Rs_Dati_L2->MoveFirst().ok()) {
    for (; !Rs_Dati_L2->AfterLast(); (void)Rs_Dati_L2->MoveNext()) {
      std::vector<data::Value> r(copia.nomi.size());
      for (size_t i = 0; i < r.size(); ++i) r[i] = Rs_Dati_L2->Field(static_cast<int>(i));
      copia.righe.push_back(std::move(r));
      copia.sostituisci = true;
    }
  }
  // The rows read go back emptied table first: row ids from 1 in the order read.
  for (size_t i = 0; i < copia.righe.size(); ++i) copia.rowid.push_back(static_cast<int64_t>(i + 1));
  Indicizza_Dati_Memoria(copia);
  copia.aperta = true;
  return true;
}

void Scrivi_Dati_Memoria() {
  if (!copia.aperta) return;
  Dati_Memoria m = std::move(copia);
  copia = Dati_Memoria{};
  if (!m.modificata || !Cn_MDB3 || !Cn_MDB3->IsOpen()) return;
  // The row id first: given for the rows that have one, Null (the next free one) for the others.
  std::string sql = "INSERT INTO DATI (rowid", segnaposti = "?";
  for (const std::string& nome : m.nomi) {
    sql += "," + Cn_MDB3->QuoteName(nome);
    segnaposti += ",?";
  }
  sql += ") VALUES (" + segnaposti + ")";
  const bool transazione = !Cn_MDB3->InTransaction() && Cn_MDB3->BeginTransaction().ok();
  if (m.sostituisci) (void)Cn_MDB3->Execute("DELETE FROM DATI");
  std::unique_ptr<data::Statement> st;
  if (Cn_MDB3->Prepare(sql, &st).ok()) {
    for (size_t n = 0; n < m.righe.size(); ++n) {
      const auto& r = m.righe[n];
      (void)st->Bind(1, m.rowid[n] > 0 ? data::Value(m.rowid[n]) : data::Value::Null());
      // The row stays as it is until its insertion is done: its texts are bound where they are.
      for (size_t i = 0; i < r.size(); ++i) (void)st->BindForRun(static_cast<int>(i + 2), r[i]);
      (void)st->Run();
    }
  }
  st.reset();
  if (transazione) (void)Cn_MDB3->Commit();
}

}  // namespace kyx
