#include "engine/ordinamento.h"

#include <algorithm>
#include <map>
#include <string>

#include "common/modello.h"
#include "engine/campi.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cifre;

std::string Nome_Colonna(int c) { return "c" + Cifre(c, 3); }  // Format(c, "\c000")

data::StaticRecordset* Griglia() {
  auto* rs = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get());
  return rs && rs->IsOpen() ? rs : nullptr;
}

// The row kind and level digit (characters 7-8 of the row key).
std::string Tipo_Livello(const data::Recordset& rs) { return vb::Mid(rs.Field(0).AsText(), 7, 2); }

void Aggiorna(data::StaticRecordset& rs) {
  if (!rs.Update().ok()) rs.CancelUpdate();
}

// The group keys, built in memory and written once at the end. They grow by up to twelve
// characters per level, so a deep outline can make them longer than their column: then each row
// gets the rank of its key among all keys instead (six digits), which sorts the same way.
void Scrivi_Chiavi(data::StaticRecordset& rs, int G, const std::map<std::string, std::string>& chiavi) {
  const int larghezza = rs.Fields()[static_cast<size_t>(G)].size;
  size_t massimo = 0;
  for (const auto& [c000, k] : chiavi) massimo = std::max(massimo, k.size());
  std::map<std::string, std::string> rango;
  if (larghezza > 0 && massimo > static_cast<size_t>(larghezza)) {
    for (const auto& [c000, k] : chiavi) rango.emplace(k, "");
    int n = 0;
    for (auto& [k, r] : rango) r = Cifre(++n, 6);
  }
  for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) {
    const auto it = chiavi.find(rs.Field(0).AsText());
    if (it == chiavi.end()) continue;
    (void)rs.Set(G, data::Value(rango.empty() ? it->second : rango[it->second]));
    Aggiorna(rs);
  }
}

}  // namespace

void Ordina_Per_Valore() {
  data::StaticRecordset* griglia = Griglia();
  if (!griglia || (griglia->BeforeFirst() && griglia->AfterLast())) return;
  data::StaticRecordset& rs = *griglia;
  const int G = Numero_Colonne + 1, W = Numero_Colonne + 2;
  if (W >= rs.FieldCount()) return;
  const std::string ordine = Nome_Colonna(Colonna_Ordinamento) + Verso_Ordinamento;
  const int passate = std::clamp((Numero_Livelli == 1 ? 1 : Numero_Livelli - 1) + (Livello_Contatore_2 > 0 ? 1 : 0), 0, 9);

  // The rows of an outline have unique keys (Espandi_Righe_R): they name the rows here.
  std::map<std::string, std::string> chiavi;
  for (int p = 1; p <= passate; ++p) {
    const std::string S = "3" + Cifre(10 - p, 1), H = "1" + Cifre(p, 1);
    // a. The subtotal rows of this pass ranked by their value.
    (void)rs.SetSort(ordine);
    int contatore = 0;
    for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) {
      if (Tipo_Livello(rs) != S) continue;
      (void)rs.Set(W, data::Value(Cifre(++contatore, 6)));
      Aggiorna(rs);
    }
    // b. Backwards in key order every row meets the subtotal that closes its group first.
    (void)rs.SetSort("c000 DESC ");
    std::string corrente = "999999";
    for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) {
      const std::string tipo = Tipo_Livello(rs);
      if (tipo == S) corrente = rs.Field(W).AsText();
      std::string& chiave = chiavi[rs.Field(0).AsText()];
      if (p == 1) chiave.clear();
      chiave += corrente;
      if (tipo == H) chiave += "000000";
      if (tipo == S) chiave += "999999";
    }
  }
  // The details of a group by their own value.
  (void)rs.SetSort(ordine);
  int contatore = 0;
  const bool solo_valore = Numero_Livelli == 1 && Livello_Contatore_2 == 0;
  for ((void)rs.MoveFirst(); !rs.AfterLast(); (void)rs.MoveNext()) {
    if (vb::Mid(rs.Field(0).AsText(), 7, 1) != "2") continue;
    const std::string c000 = rs.Field(0).AsText();
    const auto it = chiavi.find(c000);
    // A row the passes did not reach goes on from the key text it has.
    std::string chiave;
    if (!solo_valore) chiave = it != chiavi.end() ? it->second : rs.Field(G).AsText();
    chiavi[c000] = chiave + Cifre(++contatore, 6);
  }
  Scrivi_Chiavi(rs, G, chiavi);
}

void Imposta_Ordinamento() {
  data::StaticRecordset* rs = Griglia();
  if (!rs) return;
  const std::string colonna = Nome_Colonna(Colonna_Ordinamento);
  // A sort column the result no longer has (left by an earlier result) sorts by the row key alone.
  if (Modo_Griglia == 3 && (Colonna_Ordinamento < 0 || Colonna_Ordinamento > Numero_Colonne ||
                            Colonna_Ordinamento >= rs->FieldCount())) {
    (void)rs->SetSort("c000 ASC ");
    return;
  }
  if (Modo_Griglia == 3 && Livelli_Visibili >= 1 && Numero_Livelli >= 1) {
    if (Verso_Ordinamento == " ASC" && Colonna_Ordinamento == Livelli_Visibili) {
      (void)rs->SetSort("c000 ASC ");
    } else {
      Ordina_Per_Valore();
      (void)rs->SetSort(Nome_Colonna(Numero_Colonne + 1) + " ASC ");
    }
  } else if (Modo_Griglia == 3) {
    // Rows stay in key order; the details of a group, which share their key, follow the column.
    (void)rs->SetSort("c000 ASC, " + colonna + Verso_Ordinamento);
  } else {
    (void)rs->SetSort(colonna + Verso_Ordinamento);
  }
}

}  // namespace kyx
