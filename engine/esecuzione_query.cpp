#include "engine/esecuzione_query.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/agganci_motore.h"
#include "engine/campi.h"
#include "engine/log_query.h"
#include "engine/modi_esecuzione.h"
#include "engine/query_elaborazione.h"
#include "engine/scambio_server.h"
#include "engine/stato_motore.h"
#include "platform/data/catalog.h"
#include "platform/data/static_recordset.h"
#include "platform/data/table_recordset.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cifre;

constexpr char kDati2[] = "DATI2";
constexpr char kDati2_L[] = "DATI2L";

size_t C(int n) { return static_cast<size_t>(n); }

// The select list of a query: widths of its text items (0 = number) and where each item starts
// in a server record.
struct Voci {
  std::vector<int32_t> larghezze;
  std::vector<int32_t> posizioni;
  int16_t numero = 0;
};

Voci Analizza(const std::string& Sql) {
  Voci v;
  Analizza_Select(Sql, v.larghezze, v.posizioni, v.numero);
  v.larghezze.resize(C(v.numero) + 1, 0);
  v.posizioni.resize(C(v.numero) + 2, 0);
  return v;
}

// Copies every row of a query of the local dialect, field j into field j of DATI2, in one
// transaction (the work table is rebuilt for every query: nothing is lost on a failure).
void Copia_Righe(data::Connection& Cn, const std::string& Sql, int16_t Voci) {
  data::StaticRecordset rs;
  if (!rs.Open(Cn, Sql).ok()) return;
  const int campi = std::min<int>(rs.FieldCount(), Voci);
  const bool transazione = Cn_MDB3 && !Cn_MDB3->InTransaction() && Cn_MDB3->BeginTransaction().ok();
  if (rs.RecordCount() > 0 && rs.MoveFirst().ok()) {
    for (; !rs.AfterLast(); (void)rs.MoveNext()) {
      if (!Rs_Lavoro->AddNew().ok()) continue;
      for (int j = 0; j < campi; ++j) (void)Rs_Lavoro->Set(j, rs.Field(j));
      if (!Rs_Lavoro->Update().ok()) Rs_Lavoro->CancelUpdate();
    }
  }
  if (transazione) (void)Cn_MDB3->Commit();
  // Back to the first row, in the order of DATI2L, for the merge.
  (void)Rs_Lavoro->MoveFirst();
}

// Steps 4 to 7 of one query run: translation, DATI2, the rows, the merge.
void Esegui_Una(int16_t q, int32_t Passata, std::string Sql) {
  const std::string& sistema = Query_Sistema[C(q)];
  int32_t mancanti = 0;
  // Another system's keys are numbered its own way, in every mode.
  Sql = Traduci_Chiavi_Server(Sql, sistema, mancanti);
  if (Sql.empty()) return;
  const Voci voci = Analizza(Query_Testo[C(q)]);
  if (!Crea_Dati2(Query_Testo[C(q)])) return;

  const std::string modo = Modo_Esecuzione();
  if (modo == "AS400") {
    Sql = Scegli_Tabella(Sql, sistema);
    if (Sql.empty()) return;
    Scrivi_Log(modo, q, Sql);
    Righe_Server(Sql, Tracciato_Record{voci.larghezze, voci.posizioni, voci.numero}, *Rs_Lavoro);
  } else {
    // Both local dialects read the system's own data table, "KYX_D0_00F_" and its code.
    Sql = Tabella_Sistema(Sql, sistema);
    Scrivi_Log(modo, q, Sql);
    if (data::Connection* cn = Connessione_Modo(modo)) Copia_Righe(*cn, Sql, voci.numero);
  }
  if (agganci_motore::Unisci_Righe) agganci_motore::Unisci_Righe(q, Passata, mancanti);
  if (Rs_Lavoro) (void)Rs_Lavoro->Close();
  Rs_Lavoro.reset();
}

}  // namespace

bool Crea_Dati2(const std::string& Sql) {
  if (Rs_Lavoro) (void)Rs_Lavoro->Close();
  Rs_Lavoro.reset();
  if (!Cn_MDB3 || !Cn_MDB3->IsOpen()) return false;
  const Voci voci = Analizza(Sql);
  data::Catalog cat(*Cn_MDB3);
  if (cat.HasTable(kDati2)) (void)cat.DropTable(kDati2);
  std::vector<data::FieldInfo> colonne;
  std::vector<std::string> chiave;
  for (int j = 0; j < voci.numero; ++j) {
    const std::string nome = "x" + Cifre(j, 3);
    const int32_t w = voci.larghezze[C(j)];
    if (w > 0) {
      colonne.push_back(data::TextField(nome, w));
      chiave.push_back(nome);
    } else {
      colonne.push_back(Precisione_15 ? data::DoubleField(nome) : data::NumericField(nome));
    }
  }
  if (colonne.empty() || !cat.CreateTable(kDati2, colonne).ok()) return false;
  if (!chiave.empty()) (void)cat.CreateIndex(kDati2, kDati2_L, chiave);
  auto rs = std::make_unique<data::TableRecordset>();
  if (!rs->Open(*Cn_MDB3, kDati2, chiave.empty() ? "" : kDati2_L).ok()) return false;
  Rs_Lavoro = std::move(rs);
  return true;
}

void Esegui_Query() {
  const int n = std::clamp<int>(Numero_Query, 0, kMassimo_Query);
  float progresso = 3;
  const float massimo = 10.0f * static_cast<float>(n) + 13;
  if (n > 0 && agganci_motore::Imposta_Progresso) agganci_motore::Imposta_Progresso(massimo, progresso);
  int ultimo = -1;  // the query of the last progress step
  const auto avanza = [&](int q) {
    if (q != ultimo) {
      progresso += 10;
      ultimo = q;
      if (agganci_motore::Imposta_Progresso) agganci_motore::Imposta_Progresso(massimo, progresso);
    }
    host::DoEvents();
  };

  std::array<std::string, kMassimo_Query> salvata, sub;
  for (int q = 0; q < n; ++q) {
    const size_t x = C(q);
    // Values per level from the server: put off to the second pass.
    if ((Tipo_DB_Server == "1" || Tipo_DB_Server == "2") && !Query_Sistema[x].empty() && Numero_Livelli > 0) {
      salvata[x] = vb::Trim(Query_Testo[x]);
      sub[x] = salvata[x] + " [1]";
      continue;
    }
    Esegui_Una(static_cast<int16_t>(q), 1, Query_Testo[x]);
    avanza(q);
  }
  if (n == 0) return;
  if (agganci_motore::Righe_Subtotale) agganci_motore::Righe_Subtotale();
  for (int q = 0; q < n; ++q) {
    const size_t x = C(q);
    // As built first, then one level of subtotals after the other, from the innermost out.
    // Every run drops one key; the bound only keeps a text that never loses one from looping.
    int giri = 0;
    for (sub[x] = sub[x].empty() ? "" : Select_Subtotali(sub[x]); !sub[x].empty() && giri++ < 12;
         sub[x] = Select_Subtotali(sub[x])) {
      Esegui_Una(static_cast<int16_t>(q), 2, sub[x]);
      avanza(q);
    }
  }
}

}  // namespace kyx
