// The description update from the master database's table KYX_DS_00F.
#include <string>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb1.h"
#include "platform/data/forward_recordset.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "server/descrizioni_server.h"
#include "server/master_sql.h"
#include "server/risposta.h"

namespace kyx {

namespace {

constexpr const char* kMai = "00000000000000";

void Mostra_Conteggio(const std::string& Pannello, int64_t Righe) {
  host::host().SetPanel(Pannello, vb::Format(static_cast<double>(Righe), "\\ ###,###\\ "));
}

bool Errore_Descrizioni(const std::string& Motivo) {
  Messaggio_Critico("Errore nell'aggiornamento\rdelle Descrizioni\r" + Motivo);
  Chiudi_DB_SQL();
  return false;
}

}  // namespace

bool Aggiorna_Descrizioni_SQL(const std::string& Pannello) {
  host::host().SetPanel(Pannello, "");
  if (!Rs_Descrizioni) Apri_MDB1(false, false);
  if (!Rs_Descrizioni) return false;

  // Taken before the query runs: a row changed while the rows are read is asked for next time.
  const std::string Nuova_Data = vb::FormatDate(vb::Now(), "yyyymmddhhnnss");
  const std::string Sezione = Numero_Cifre(Profilo_Corrente, 3);
  std::string Ultima_Data = Leggi_Ini(Sezione, "Data", kMai);
  if (Ultima_Data.size() < 14) Ultima_Data = kMai;
  Ultima_Data.resize(14);
  // The profile value goes into the query text: its quotes are doubled.
  const std::string Da = vb::Replace(Ultima_Data, "'", "''");

  // The login sequence has closed the master database before this step: it is opened here and
  // closed at the end.
  if (!Apri_DB_SQL(DataBase_SQL)) return Errore_Descrizioni("del database " + DataBase_SQL + "\r" + Errore_DB_SQL);
  data::ForwardRecordset Rs;
  const data::Status s =
      Rs.Open(*Cn_SQL, "Select S_DS_STAT,S_DS_KEY,S_DS_CODI,S_DS_PROG,S_DS_DESC from KYX_DS_00F where S_DS_TIME >='" +
                           Da + "'");
  if (!s.ok()) return Errore_Descrizioni(s.description());

  // The rows go into a copy of the descriptions database, put in place only when every row is
  // in: an update that stops half-way leaves the stored descriptions as they were.
  if (!Inizia_MDB1_Copia()) {
    Rs.Close();
    Chiudi_DB_SQL();
    return false;
  }
  int64_t Righe = 0;
  bool Completo = true;
  Azzera_Codici_Troppo_Lunghi();
  if (Cn_MDB1 && !Cn_MDB1->InTransaction()) Cn_MDB1->BeginTransaction();
  for (; !Rs.AfterLast(); (void)Rs.MoveNext()) {
    ++Righe;
    // Status, key, code, progressive, description, as the query names them.
    if (!Applica_Descrizione(Rs.Field(0).AsText(), Rs.Field(1).AsInteger(), Rs.Field(3).AsInteger(),
                             Rs.Field(2).AsText(), Rs.Field(4).AsText())) {
      Completo = false;
      break;
    }
    if (Righe % 100 == 0) {
      Mostra_Conteggio(Pannello, Righe);
      host::DoEvents();
    }
  }
  Rs.Close();
  // The rows stored so far stay; "Data" moves on only when every row is on disk.
  if (Cn_MDB1 && Cn_MDB1->InTransaction() && !Cn_MDB1->Commit().ok()) Completo = false;
  Chiudi_DB_SQL();
  Mostra_Conteggio(Pannello, Righe);
  if (!Completo) {
    Annulla_MDB1_Copia();
    return false;
  }
  if (!Conferma_MDB1_Copia()) return false;
  Avvisa_Codici_Troppo_Lunghi();
  Data_Descrizioni = Nuova_Data;
  Scrivi_Ini(Sezione, "Data", Nuova_Data);
  return true;
}

}  // namespace kyx
