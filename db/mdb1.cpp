// Opening, upgrading, compacting and closing the descriptions database KYX_1.MDB.
#include "db/mdb1.h"

#include "common/impostazioni.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/data/catalog.h"
#include "platform/data/compaction.h"
#include "platform/files/files.h"

namespace kyx {

namespace {

constexpr std::string_view kErrore = "Errore 017 ";
constexpr std::string_view kSuffisso = "nel trattamento di MDB1";

// Drops the tables of the older layout and creates KYX_DS_20F when it is missing; a new table
// starts empty, so the profile's key "Data" is set back to ask the next update for everything.
data::Status Aggiorna_Tabelle(data::Connection& Cn) {
  data::Catalog Cat(Cn);
  std::vector<std::string> Tabelle;
  data::Status s = Cat.Tables(&Tabelle);
  if (!s.ok()) return s;
  bool Trovata = false;
  for (const std::string& Nome : Tabelle) {
    if (Nome == "KYX_DS_00F" || Nome == "KYX_DS_10F") {
      if (!(s = Cat.DropTable(Nome)).ok()) return s;
    } else if (Nome == "KYX_DS_20F") {
      Trovata = true;
    }
  }
  if (Trovata) return s;
  if (!Scrivi_Ini(Numero_Cifre(Profilo_Corrente, 3), "Data", mdb1::kData_Ricarica))
    return data::Status::Error(data::kFileError, "Cannot write the key Data of " + File_Ini);
  return mdb::Crea_Tabella(Cn, mdb1::Tabella_Descrizioni());
}

}  // namespace

namespace mdb1 {
const mdb::Tabella& Tabella_Descrizioni() {
  static const mdb::Tabella T = [] {
    mdb::Tabella t{"KYX_DS_20F",
                   {data::TextField("S_DS_STAT", 1), data::Int16Field("S_DS_KEY"), data::TextField("S_DS_CODI", 30)},
                   "KYX_DS_21L",
                   {"S_DS_KEY", "S_DS_CODI"}};
    for (int j = 1; j <= 16; ++j) t.Colonne.push_back(data::TextField("S_DS_D_" + mdb::Cifre(j, 2), 40));
    return t;
  }();
  return T;
}
}  // namespace mdb1

bool Chiudi_MDB1() {
  bool Esito = Chiudi_Oggetto(Rs_Descrizioni);
  Esito = Chiudi_Oggetto(Cn_MDB1) && Esito;
  return Esito;
}

bool Apri_MDB1(bool Ricrea, bool Compatta) {
  auto Fallito = [](const data::Status& s) {
    mdb::Mostra_Errore(kErrore, s, kSuffisso);
    return false;
  };
  if (!Chiudi_MDB1()) return Fallito(data::Status::Ok());

  data::Status s;
  bool Esiste = mdb::File_Esiste(File_MDB1);
  if (Esiste && Ricrea) {
    if (!(s = data::DeleteDatabaseFile(mdb::Percorso(File_MDB1))).ok()) return Fallito(s);
    Esiste = false;
  }
  if (Esiste && !Compatta) {
    std::unique_ptr<data::Connection> Cn;
    if (!(s = mdb::Apri_Connessione(File_MDB1, Cn)).ok()) return Fallito(s);
    s = Aggiorna_Tabelle(*Cn);
    Cn->Close();
    if (!s.ok()) return Fallito(s);
  } else if (Esiste) {
    if (!(s = mdb::Compatta(File_MDB1, true)).ok()) return Fallito(s);
  } else {
    std::unique_ptr<data::Connection> Cn;
    if (!(s = mdb::Crea_Database(File_MDB1, Cn)).ok()) return Fallito(s);
    s = mdb::Crea_Tabella(*Cn, mdb1::Tabella_Descrizioni());
    Cn->Close();
    if (!s.ok()) {
      data::DeleteDatabaseFile(mdb::Percorso(File_MDB1));
      return Fallito(s);
    }
  }

  if (!(s = mdb::Apri_Connessione(File_MDB1, Cn_MDB1)).ok()) return Fallito(s);
  if (!Compatta) {
    // Rows marked "A" (exactly: "a" is not the mark) go at every opening without compaction.
    if (!(s = Cn_MDB1->Execute("DELETE FROM KYX_DS_20F WHERE S_DS_STAT = 'A' COLLATE BINARY")).ok())
      return Fallito(s);
  }
  if (!(s = mdb::Apri_Tabella(*Cn_MDB1, "KYX_DS_20F", "KYX_DS_21L", Rs_Descrizioni)).ok()) return Fallito(s);
  return true;
}

namespace {
// The stored name of KYX_1.MDB while its copy stands in for it; "" when no copy is open.
std::string File_Salvato_MDB1;
}  // namespace

bool Inizia_MDB1_Copia() {
  if (!File_Salvato_MDB1.empty()) Annulla_MDB1_Copia();
  Chiudi_MDB1();
  const std::string Copia = File_MDB1 + ".NEW";
  data::DeleteDatabaseFile(mdb::Percorso(Copia));
  if (mdb::File_Esiste(File_MDB1) && !files::copy_file(mdb::Percorso(File_MDB1), mdb::Percorso(Copia))) {
    mdb::Mostra_Errore(kErrore, data::Status::Error(data::kFileError, "Cannot copy " + mdb::Percorso(File_MDB1)),
                       kSuffisso);
    Apri_MDB1(false, false);
    return false;
  }
  File_Salvato_MDB1 = File_MDB1;
  File_MDB1 = Copia;
  if (!Apri_MDB1(false, false)) {
    Annulla_MDB1_Copia();
    return false;
  }
  return true;
}

bool Conferma_MDB1_Copia() {
  if (File_Salvato_MDB1.empty()) return true;
  Chiudi_MDB1();
  const std::string Copia = File_MDB1;
  File_MDB1 = File_Salvato_MDB1;
  File_Salvato_MDB1.clear();
  const data::Status s = data::ReplaceDatabaseFile(mdb::Percorso(Copia), mdb::Percorso(File_MDB1));
  if (!s.ok()) {
    mdb::Mostra_Errore(kErrore, s, kSuffisso);
    data::DeleteDatabaseFile(mdb::Percorso(Copia));
    Apri_MDB1(false, false);
    return false;
  }
  return Apri_MDB1(false, false);
}

bool Annulla_MDB1_Copia() {
  if (File_Salvato_MDB1.empty()) return true;
  Chiudi_MDB1();
  data::DeleteDatabaseFile(mdb::Percorso(File_MDB1));
  File_MDB1 = File_Salvato_MDB1;
  File_Salvato_MDB1.clear();
  return Apri_MDB1(false, false);
}

}  // namespace kyx
