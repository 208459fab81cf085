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
#include "engine/righe_totale.h"
#include "engine/scambio_server.h"
#include "engine/stato_motore.h"
#include "engine/unione_righe.h"
#include "platform/data/columnar_query.h"
#include "platform/data/static_recordset.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

using motore::Cifre;

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

// Appends the rows of a query of the local dialect to the work rows, field j into field j: from
// the columnar copy of the data set when the text is one that it answers, else from the database.
// False when the query fails.
bool Copia_Righe(data::Connection& Cn, const std::string& Sql, int16_t Voci) {
  const auto aggiungi = [&](const std::vector<data::Value>& riga) {
    if (!Rs_Lavoro->AddNew().ok()) return;
    const int campi = std::min<int>(static_cast<int>(riga.size()), Voci);
    for (int j = 0; j < campi; ++j) (void)Rs_Lavoro->Set(j, riga[C(j)]);
    if (!Rs_Lavoro->Update().ok()) Rs_Lavoro->CancelUpdate();
  };
  if (!data::AnswerFromColumnarCache(Cn, Sql, aggiungi)) {
    data::StaticRecordset rs;
    if (!rs.Open(Cn, Sql).ok()) return false;
    std::vector<data::Value> riga(C(std::max(rs.FieldCount(), 0)));
    if (rs.RecordCount() > 0 && rs.MoveFirst().ok()) {
      for (; !rs.AfterLast(); (void)rs.MoveNext()) {
        for (int j = 0; j < rs.FieldCount(); ++j) riga[C(j)] = rs.Field(j);
        aggiungi(riga);
      }
    }
  }
  // Back to the first row for the merge.
  (void)Rs_Lavoro->MoveFirst();
  return true;
}

// Steps 4 to 7 of one query run: translation, DATI2, the rows, the merge.
void Esegui_Una(int16_t q, int32_t Passata, std::string Sql) {
  // After a failed reply of the server the run ends without a result: nothing more is asked.
  if (Risposta_Server_Fallita) return;
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
    // A query that the database refuses says so; the run goes on with the rows it has (none).
    // An SQL database that cannot be opened is reported as the query's failure.
    data::Connection* cn = Connessione_Modo(modo);
    if (cn ? !Copia_Righe(*cn, Sql, voci.numero) : modo == "SQL") Errore_Query(q, Sql);
  }
  Unisci_Righe(q, Passata, mancanti);
  if (Rs_Lavoro) (void)Rs_Lavoro->Close();
  Rs_Lavoro.reset();
}

}  // namespace

bool Crea_Dati2(const std::string& Sql) {
  if (Rs_Lavoro) (void)Rs_Lavoro->Close();
  Rs_Lavoro.reset();
  const Voci voci = Analizza(Sql);
  auto rs = std::make_unique<data::StaticRecordset>();
  for (int j = 0; j < voci.numero; ++j) {
    const std::string nome = "x" + Cifre(j, 3);
    const int32_t w = voci.larghezze[C(j)];
    (void)rs->AppendField(w > 0 ? data::TextField(nome, w)
                                : Precisione_15 ? data::DoubleField(nome) : data::NumericField(nome));
  }
  if (voci.numero < 1 || !rs->OpenFabricated().ok()) return false;
  Rs_Lavoro = std::move(rs);
  return true;
}

void Errore_Query(int16_t q, const std::string& Sql) {
  host::MsgBox(std::string("Errore 027 - Richiesta_ESEGUI") + '\r' + Cifre(q, 3) + '\r' + Sql,
               host::vbCritical | host::vbOKOnly, Titolo_Programma);
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
  // The first pass merges into a copy of DATI in memory, written back in one go once the zero
  // and subtotal rows are made on it.
  Inizia_Unione();
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
  // The zero and subtotal rows are made on the copy still in memory, which is then written.
  if (n > 0) Righe_Subtotale();
  Concludi_Unione();
  if (n == 0) return;
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
