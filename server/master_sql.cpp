// The master database: connection, master table and the extraction of one row.
#include "server/master_sql.h"

#include <memory>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb_comune.h"
#include "platform/data/odbc_connection.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"

namespace kyx {

std::string Errore_DB_SQL;

bool Apri_DB_SQL(const std::string& Database) {
  Errore_DB_SQL.clear();
  Chiudi_DB_SQL();
  std::string Password = Password_Utente;
  for (char& c : Password) {
    if (c == '^') c = ' ';  // the profile keeps blanks of the password as "^"
  }
  data::OdbcTarget Destinazione;
  Destinazione.server = vb::Trim(Server_Nome);
  Destinazione.database = vb::Trim(Database);
  Destinazione.user = vb::Trim(Nome_Utente);
  Destinazione.password = vb::Trim(Password);
  auto Cn = std::make_unique<data::OdbcConnection>();
  const data::Status s = Cn->Open(Destinazione, 10);
  if (!s.ok()) {
    Errore_DB_SQL = s.description();
    return false;
  }
  Cn_SQL = std::move(Cn);
  return true;
}

bool Chiudi_DB_SQL() {
  const bool Recordset = Chiudi_Oggetto(Rs_Master);
  const bool Connessione = Chiudi_Oggetto(Cn_SQL);
  return Recordset && Connessione;
}

bool Apri_Master() {
  Chiudi_Oggetto(Rs_Master);
  if (!Cn_SQL || !Cn_SQL->IsOpen()) return false;
  // The keys alone: a row's bytes (whole definition files) are read when that row is asked for.
  auto Rs = std::make_unique<data::StaticRecordset>();
  if (!Rs->Open(*Cn_SQL, "SELECT Chiave FROM KYX_MASTER").ok()) return false;
  Rs_Master = std::move(Rs);
  return true;
}

int16_t Estrai_Da_MDB(const std::string& Sistema, const std::string& Tipo, const std::string& Nome,
                      std::string& Destinazione, const std::string& Modo) {
  const std::string Chiave = vb::RTrim(text::fixed(Sistema, 10) + text::fixed(Tipo, 2) + text::fixed(Nome, 10));
  if (!Rs_Master || !Rs_Master->IsOpen() || !Rs_Master->MoveFirst().ok()) return 0;
  // The key column is fixed-width: a server pads it with blanks, so trailing blanks do not count.
  for (; !Rs_Master->AfterLast(); (void)Rs_Master->MoveNext()) {
    const data::Value Trovata = Rs_Master->Field("Chiave");
    if (vb::RTrim(Trovata.AsText()) != Chiave) continue;
    // The row's bytes, by the key exactly as stored.
    std::unique_ptr<data::Statement> St;
    bool Riga = false;
    if (!Cn_SQL || !Cn_SQL->Prepare("SELECT Dati FROM KYX_MASTER WHERE Chiave = ?", &St).ok() ||
        !St->Bind(1, Trovata).ok() || !St->Step(&Riga).ok() || !Riga)
      return 0;
    const std::string Dati = St->Read(0).AsText();
    if (Modo == "F") return files::write_file_atomic(files::native_path(Destinazione), Dati) ? -1 : 0;
    Destinazione = Dati;
    return -1;
  }
  return 0;
}

}  // namespace kyx
