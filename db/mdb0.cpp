// Opening, upgrading and closing the definitions database KYX_0.MDB.
#include "db/mdb0.h"

#include <algorithm>

#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/data/catalog.h"

namespace kyx {

namespace {

constexpr std::string_view kErrore = "Errore 015 ";
constexpr std::string_view kSuffisso = "nel trattamento di MDB0";

// The recordsets in the order they are opened (and closed), with their tables.
struct Voce {
  std::unique_ptr<data::TableRecordset>* Rs;
  const char* Tabella;
};
const Voce kRecordset[] = {
    {&Rs_Sinf, "SINF"},           {&Rs_Aree, "AREE"},           {&Rs_Chiavi, "CHIAVI"},
    {&Rs_Chiavi_Ext, "CHIAVI_EXT"}, {&Rs_Valori, "VALORI"},     {&Rs_Layout, "LAYOUT"},
    {&Rs_Lay_Elem, "LAY_ELEM"},   {&Rs_Lay_Drill, "LAY_DRILL"}, {&Rs_Lay_Filtro, "LAY_FILTRO"},
    {&Rs_Struttura, "STRUTTURA"}, {&Rs_Filtro, "FILTRO"},
};

const mdb::Tabella& Definizione(std::string_view Nome) {
  const auto& T = mdb0::Tabelle();
  return *std::find_if(T.begin(), T.end(), [&](const mdb::Tabella& t) { return t.Nome == Nome; });
}

// Whether a table has a column of exactly this name (case-sensitive, as the upgrade compared).
data::Status Ha_Colonna(data::Catalog& Cat, std::string_view Tabella, std::string_view Colonna, bool* Trovata) {
  std::vector<data::FieldInfo> Colonne;
  data::Status s = Cat.ColumnsInCreationOrder(Tabella, &Colonne);
  if (!s.ok()) return s;
  if (Colonne.empty()) return data::Status::Error(data::kItemNotFound, "Table not found: " + std::string(Tabella));
  *Trovata = std::any_of(Colonne.begin(), Colonne.end(), [&](const data::FieldInfo& f) { return f.name == Colonna; });
  return s;
}

// Creates the eleven tables in a new file; LAY_DRILL through Crea_LAY_DRILL.
data::Status Crea_Tabelle(data::Connection& Cn) {
  data::Status s = Cn.BeginTransaction();
  if (!s.ok()) return s;
  for (const mdb::Tabella& T : mdb0::Tabelle()) {
    if (T.Nome == "LAY_DRILL") {
      Crea_LAY_DRILL(Cn);
      continue;
    }
    if (!(s = mdb::Crea_Tabella(Cn, T)).ok()) {
      Cn.Rollback();
      return s;
    }
  }
  return Cn.Commit();
}

// Adds what a file written by an older version lacks. SNINT and SNTOT came together, so only
// SNINT is looked for: a file with SNTOT alone fails on the second column (as it always did).
data::Status Aggiorna_Struttura(data::Connection& Cn) {
  data::Catalog Cat(Cn);
  bool Trovata = false;
  data::Status s = Ha_Colonna(Cat, "LAY_ELEM", "SNINT", &Trovata);
  if (!s.ok()) return s;
  if (!Trovata) {
    if (!(s = Cat.AppendColumn("LAY_ELEM", data::TextField("SNINT", 1))).ok()) return s;
    if (!(s = Cat.AppendColumn("LAY_ELEM", data::TextField("SNTOT", 1))).ok()) return s;
  }
  if (!(s = Ha_Colonna(Cat, "LAY_ELEM", "VIS2", &Trovata)).ok()) return s;
  if (!Trovata && !(s = Cat.AppendColumn("LAY_ELEM", data::TextField("VIS2", 60))).ok()) return s;
  if (!(s = Ha_Colonna(Cat, "LAY_FILTRO", "RELAZ", &Trovata)).ok()) return s;
  if (!Trovata && !(s = Cat.AppendColumn("LAY_FILTRO", data::TextField("RELAZ", 1))).ok()) return s;
  if (!Cat.HasTable("LAY_DRILL")) Crea_LAY_DRILL(Cn);
  return data::Status::Ok();
}

}  // namespace

void Crea_LAY_DRILL(data::Connection& Catalogo) {
  data::Status s = mdb::Crea_Tabella(Catalogo, Definizione("LAY_DRILL"));
  if (!s.ok()) mdb::Mostra_Errore("Errore 016 ", s, "nel trattamento di MDB0_add_LAY_DRILL");
}

bool Chiudi_MDB0() {
  bool Esito = true;
  for (const Voce& v : kRecordset) Esito = Chiudi_Oggetto(*v.Rs) && Esito;
  Esito = Chiudi_Oggetto(Cn_MDB0) && Esito;
  return Esito;
}

bool Apri_MDB0(bool Ricrea) {
  auto Fallito = [](const data::Status& s) {
    mdb::Mostra_Errore(kErrore, s, kSuffisso);
    return false;
  };
  if (!Chiudi_MDB0()) return Fallito(data::Status::Ok());

  data::Status s;
  bool Esiste = mdb::File_Esiste(File_MDB0);
  if (Esiste && Ricrea) {
    if (!(s = data::DeleteDatabaseFile(mdb::Percorso(File_MDB0))).ok()) return Fallito(s);
    Esiste = false;
  }
  if (!Esiste) {
    std::unique_ptr<data::Connection> Cn;
    if (!(s = mdb::Crea_Database(File_MDB0, Cn)).ok()) return Fallito(s);
    s = Crea_Tabelle(*Cn);
    Cn->Close();
    if (!s.ok()) {
      // The file was made just now and holds nothing: a half-built one is not left behind.
      data::DeleteDatabaseFile(mdb::Percorso(File_MDB0));
      return Fallito(s);
    }
  } else if (!(s = mdb::Compatta(File_MDB0, false)).ok()) {
    return Fallito(s);
  }

  if (!(s = mdb::Apri_Connessione(File_MDB0, Cn_MDB0)).ok()) return Fallito(s);
  if (!(s = Aggiorna_Struttura(*Cn_MDB0)).ok()) return Fallito(s);
  for (const Voce& v : kRecordset) {
    if (!(s = mdb::Apri_Tabella(*Cn_MDB0, v.Tabella, std::string(v.Tabella) + "_01L", *v.Rs)).ok())
      return Fallito(s);
  }
  return true;
}

namespace {
// The stored name of KYX_0.MDB while a new file stands in for it.
std::string File_Salvato;
std::string File_Nuovo;
}  // namespace

const std::string& MDB0_Nuovo() { return File_Nuovo; }

bool Inizia_MDB0_Nuovo() {
  if (!File_Nuovo.empty()) Annulla_MDB0_Nuovo();
  Chiudi_MDB0();
  File_Salvato = File_MDB0;
  File_Nuovo = File_MDB0 + ".NEW";
  // A file left by a program that stopped half-way is an unfinished build: never used.
  data::DeleteDatabaseFile(mdb::Percorso(File_Nuovo));
  File_MDB0 = File_Nuovo;
  const bool Esito = Apri_MDB0(true);
  File_MDB0 = File_Salvato;
  if (!Esito) Annulla_MDB0_Nuovo();
  return Esito;
}

bool Conferma_MDB0_Nuovo() {
  if (File_Nuovo.empty()) return true;
  Chiudi_MDB0();
  const std::string Nuovo = File_Nuovo;
  File_Nuovo.clear();
  const data::Status s = data::ReplaceDatabaseFile(mdb::Percorso(Nuovo), mdb::Percorso(File_MDB0));
  if (!s.ok()) {
    mdb::Mostra_Errore(kErrore, s, kSuffisso);
    data::DeleteDatabaseFile(mdb::Percorso(Nuovo));
    if (mdb::File_Esiste(File_MDB0)) Apri_MDB0(false);
    return false;
  }
  return Apri_MDB0(false);
}

bool Annulla_MDB0_Nuovo() {
  if (File_Nuovo.empty()) return true;
  Chiudi_MDB0();
  data::DeleteDatabaseFile(mdb::Percorso(File_Nuovo));
  File_Nuovo.clear();
  // The stored file is opened as it was (a login before the first one has none).
  if (!mdb::File_Esiste(File_MDB0)) return true;
  return Apri_MDB0(false);
}

}  // namespace kyx
