// The login through the master database: the security row, then every definition work file
// extracted from KYX_MASTER and loaded at once, then the descriptions.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "common/codifica_parametri.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/aggiorna.h"
#include "db/mdb0.h"
#include "db/mdb_comune.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "server/master_sql.h"
#include "server/risposta.h"
#include "server/scarica.h"

namespace kyx {

namespace {

constexpr int64_t kRecord_Layout = 520;  // record length of KYX_L.DAT

void Stato(const std::string& Testo) { host::host().SetPanel("Stato", Testo); }

// The message of a failed part of the login; the master database is closed.
bool Errore_Aggiornamento(const std::string& Parte) {
  Messaggio_Critico("Errore nell'aggiornamento\r" + Parte);
  Chiudi_DB_SQL();
  return false;
}

// A master database that cannot be opened stops the login with its name and the driver's
// reason: going on would load nothing and still report the login as successful.
bool Database_Non_Aperto(const std::string& Database) {
  std::string Testo = "del database " + Database;
  if (!Errore_DB_SQL.empty()) Testo += "\r" + Errore_DB_SQL;
  return Errore_Aggiornamento(Testo);
}

bool Estrai_File(const std::string& Sistema, const std::string& Tipo, const std::string& Nome,
                 const std::string& File) {
  std::string Destinazione = File;
  return Estrai_Da_MDB(Sistema, Tipo, Nome, Destinazione, "F") != 0;
}

// The information systems of SINF in index order, as (code, database). Read before the loop: the
// loaders move Rs_Sinf while they run.
std::vector<std::pair<std::string, std::string>> Sistemi_Con_Database() {
  std::vector<std::pair<std::string, std::string>> Sistemi;
  if (!Rs_Sinf || (Rs_Sinf->BeforeFirst() && Rs_Sinf->AfterLast())) return Sistemi;
  if (!Rs_Sinf->MoveFirst()) return Sistemi;
  while (!Rs_Sinf->AfterLast()) {
    Sistemi.emplace_back(Rs_Sinf->Field("SINF").AsText(), Rs_Sinf->Field("DBSQL").AsText());
    if (!Rs_Sinf->MoveNext()) break;
  }
  return Sistemi;
}

}  // namespace

bool Collegamento_SQL() {
  if (!Apri_DB_SQL(DataBase_SQL)) return Database_Non_Aperto(DataBase_SQL);
  Apri_Master();

  std::string Riga_Sicurezza;
  if (!Estrai_Da_MDB("++++++++++", "++", "++++++++++", Riga_Sicurezza, " ")) {
    Messaggio_Critico("Dati sulla sicurezza\r errati o mancanti");
    Chiudi_DB_SQL();
    return false;
  }
  std::string Testo, Check;
  Decodifica_Parametri(Testo, Riga_Sicurezza, Check);
  if (vb::Mid(Testo, 1, 1) != "S") {
    Messaggio_Critico("L'utente " + Nome_Utente + "\r" + " e/o la password sono errati");
    Chiudi_DB_SQL();
    return false;
  }

  // The definitions are built beside the stored ones: the caller puts them in place only when
  // every step succeeded.
  if (!Inizia_MDB0_Nuovo()) {
    Chiudi_DB_SQL();
    return false;
  }
  Stato("Aggiornamento Chiavi esterne");
  if (!Estrai_File(Sistema_Informativo, "E ", " ", File_Sistemi)) return Errore_Aggiornamento("delle Chiavi esterne");
  Aggiorna_SINF();
  Chiudi_DB_SQL();

  // Each system's keys and values come from that system's own database; one that cannot be
  // opened is passed over, and the next one that opens counts as the first.
  int32_t k = 0;
  for (const auto& [Sistema, Database] : Sistemi_Con_Database()) {
    if (Apri_DB_SQL(Database)) {
      Apri_Master();
      ++k;
      Stato("Aggiornamento Chiavi - " + Sistema);
      if (!Estrai_File(Sistema, "K ", " ", File_Chiavi)) return Errore_Aggiornamento("delle Chiavi");
      Aggiorna_CHIAVI(Sistema, k);
      Stato("Aggiornamento Valori - " + Sistema);
      if (!Estrai_File(Sistema, "V ", " ", File_Valori)) return Errore_Aggiornamento("dei Valori");
      Aggiorna_VALORI(Sistema, k);
    }
    Chiudi_DB_SQL();
  }

  if (!Apri_DB_SQL(DataBase_SQL)) return Database_Non_Aperto(DataBase_SQL);
  Apri_Master();

  Stato("Aggiornamento Aree");
  if (!Estrai_File(Sistema_Informativo, "A ", " ", File_Aree)) return Errore_Aggiornamento("delle Aree");
  Aggiorna_AREE();

  Stato("Aggiornamento Layout");
  if (!Estrai_File(Sistema_Informativo, "L ", " ", File_Layout)) return Errore_Aggiornamento("dei Layout");

  Stato("Aggiornamento elementi Layout");
  const int64_t Lunghezza = std::max<int64_t>(files::file_length(files::native_path(File_Layout)), 0);
  const auto N = static_cast<int32_t>(std::llround(static_cast<double>(Lunghezza) / kRecord_Layout));
  for (int32_t i = 1; i <= N; ++i) {
    const std::string Numero = vb::Format(i, "000");
    if (!Estrai_File(Sistema_Informativo, "L_", Numero, File_Per_Layout(File_Layout_Elementi, i)))
      return Errore_Aggiornamento("del Layout " + Numero);
  }
  Stato("Aggiornamento elementi Drill");
  for (int32_t i = 1; i <= N; ++i) {
    const std::string Numero = vb::Format(i, "000");
    if (!Estrai_File(Sistema_Informativo, "D_", Numero, File_Per_Layout(File_Drill, i)))
      return Errore_Aggiornamento("del Drill " + Numero);
  }
  Aggiorna_LAYOUT();

  Stato("Aggiornamento Filtro utente");
  if (!Estrai_File(Sistema_Informativo, "UF", Nome_Utente, File_Filtro_Utente)) return Errore_Aggiornamento("del FIltro");
  Aggiorna_FILTRO();
  Stato("Aggiornamento Struttura utente");
  if (!Estrai_File(Sistema_Informativo, "UA", Nome_Utente, File_Struttura_Utente))
    return Errore_Aggiornamento("della Struttura");
  Aggiorna_STRUTTURA();

  Chiudi_DB_SQL();
  Stato("Aggiornamento Descrizioni");
  Aggiorna_Descrizioni_SQL("Numero");
  return true;
}

}  // namespace kyx
