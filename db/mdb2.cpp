// Opening, compacting, creating and closing the data-set database KYX_2.MDB.
#include "db/mdb2.h"

#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/data/catalog.h"
#include "platform/vb/vb.h"
#include "db/mdb2_colonne.h"

namespace kyx {

namespace {

constexpr std::string_view kErrore = "Errore 018 ";
constexpr std::string_view kSuffisso = "nel trattamento di MDB2";

data::Status Non_Aperto(const char* Nome) {
  return data::Status::Error(data::kNotOpen, std::string("The definitions recordset ") + Nome + " is not open");
}

// The value table of every system, then the register.
data::Status Crea_Tabelle(data::Connection& Cn) {
  data::Status s = Cn.BeginTransaction();
  if (!s.ok()) return s;
  auto Annulla = [&](const data::Status& e) {
    Cn.Rollback();
    return e;
  };
  if (!(s = Rs_Sinf->MoveFirst()).ok()) return Annulla(s);
  while (!Rs_Sinf->AfterLast()) {
    const std::string Sistema = Rs_Sinf->Field("SINF").AsText();
    mdb::Tabella T{mdb2::Tabella_Valori(Sistema), {data::Int32Field("IDX")}, "KYX_D0_00FX", {"IDX"}};
    if (!(s = mdb2::Colonne_Sistema(Sistema, &T.Colonne)).ok()) return Annulla(s);
    if (!(s = mdb::Crea_Tabella(Cn, T)).ok()) return Annulla(s);
    if (!(s = Rs_Sinf->MoveNext()).ok()) return Annulla(s);
  }
  if (!(s = mdb::Crea_Tabella(Cn, mdb2::Tabella_Caricati())).ok()) return Annulla(s);
  return Cn.Commit();
}

}  // namespace

namespace mdb2 {

std::string Tabella_Valori(std::string_view Sistema) { return "KYX_D0_00F_" + std::string(Sistema); }

const mdb::Tabella& Tabella_Caricati() {
  static const mdb::Tabella T{"KYX_CARICATI",
                              {data::Int32Field("IDX"), data::TextField("SINF", 10), data::TextField("DATAORA", 20),
                               data::Int32Field("NUM_REC"), data::TextField("STATO", 1),
                               data::LongTextField("FILTRO", 512), data::LongTextField("FILTRO_SQL", 512)},
                              "KYX_CARICATI_L",
                              {"IDX", "SINF"}};
  return T;
}

bool Tipo_Chiave_Con_Colonna(std::string_view Tipo) { return Tipo == "K" || Tipo == "A" || Tipo == "D"; }

std::string Nome_Colonna_Chiave(int64_t Chiave) { return "K_" + mdb::Cifre(Chiave, 3); }

std::string Nome_Colonna_Valore(int64_t Valore, int64_t Elemento) {
  return "V_" + mdb::Cifre(Valore, 3) + "_" + mdb::Cifre(Elemento, 2);
}

data::Status Colonne_Sistema(const std::string& Sistema, std::vector<data::FieldInfo>* Colonne) {
  if (!Rs_Chiavi || !Rs_Chiavi->IsOpen()) return Non_Aperto("Rs_Chiavi");
  if (!Rs_Valori || !Rs_Valori->IsOpen()) return Non_Aperto("Rs_Valori");
  data::Status s = Rs_Chiavi->Seek({data::Value(Sistema)});
  if (!s.ok()) return s;
  for (; !Rs_Chiavi->AfterLast() && Rs_Chiavi->Field("SINF").AsText() == vb::RTrim(Sistema);
       s = Rs_Chiavi->MoveNext()) {
    if (!s.ok()) return s;
    if (!Tipo_Chiave_Con_Colonna(Rs_Chiavi->Field("KINDB").AsText())) continue;
    const int64_t Lunghezza = Rs_Chiavi->Field("LUN").AsInteger();
    if (Lunghezza < 1) return data::Status::Error(data::kTypeMismatch, "Key " +
                                Rs_Chiavi->Field("IDX").AsText() + " of system " + Sistema + " has no length");
    Colonne->push_back(data::TextField(Nome_Colonna_Chiave(Rs_Chiavi->Field("IDX").AsInteger()),
                                       static_cast<int>(Lunghezza)));
  }
  if (!s.ok()) return s;
  if (!(s = Rs_Valori->Seek({data::Value(Sistema)})).ok()) return s;
  for (; !Rs_Valori->AfterLast() && Rs_Valori->Field("SINF").AsText() == vb::RTrim(Sistema);
       s = Rs_Valori->MoveNext()) {
    if (!s.ok()) return s;
    const int64_t Valore = Rs_Valori->Field("IDX").AsInteger();
    const int64_t Elementi = Rs_Valori->Field("ELEM").AsInteger();
    for (int64_t j = 1; j <= Elementi; ++j)
      Colonne->push_back(Precisione_15 ? data::DoubleField(Nome_Colonna_Valore(Valore, j))
                                       : data::NumericField(Nome_Colonna_Valore(Valore, j)));
  }
  return s;
}

}  // namespace mdb2

bool MDB2_Aperto() { return Cn_MDB2 && Cn_MDB2->IsOpen() && Rs_Caricati && Rs_Caricati->IsOpen(); }

bool Chiudi_MDB2() {
  bool Esito = Chiudi_Oggetto(Rs_Dati_Caricati);
  Esito = Chiudi_Oggetto(Rs_Caricati) && Esito;
  Esito = Chiudi_Oggetto(Cn_MDB2) && Esito;
  return Esito;
}

bool Apri_MDB2(bool Ricrea, bool Compatta) {
  auto Fallito = [](const data::Status& s) {
    mdb::Mostra_Errore(kErrore, s, kSuffisso);
    return false;
  };
  if (!Chiudi_MDB2()) return Fallito(data::Status::Ok());

  data::Status s;
  const bool Esiste = mdb::File_Esiste(File_MDB2);
  if (Esiste && !Ricrea) {
    if (Compatta && !(s = mdb::Compatta(File_MDB2, true)).ok()) return Fallito(s);
  } else {
    if (!Rs_Sinf || !Rs_Sinf->IsOpen()) return Fallito(Non_Aperto("Rs_Sinf"));
    if (!Rs_Chiavi || !Rs_Chiavi->IsOpen()) return Fallito(Non_Aperto("Rs_Chiavi"));
    if (!Rs_Valori || !Rs_Valori->IsOpen()) return Fallito(Non_Aperto("Rs_Valori"));
    // Before the first login the definitions are empty and there is nothing to build the value
    // tables from: no file is made, and the database stays not open (MDB2_Aperto). A file asked
    // to be emptied is deleted all the same: its data sets belong to no definition.
    if (mdb::Vuoto(*Rs_Sinf) || mdb::Vuoto(*Rs_Chiavi) || mdb::Vuoto(*Rs_Valori)) {
      if (Esiste && !(s = data::DeleteDatabaseFile(mdb::Percorso(File_MDB2))).ok()) return Fallito(s);
      return true;
    }
    // The new file is built aside and renamed over the old one only once it is whole: a build
    // that fails leaves the old data where they were.
    const std::string Nuovo = File_MDB2 + ".nuovo";
    data::DeleteDatabaseFile(mdb::Percorso(Nuovo));
    std::unique_ptr<data::Connection> Cn;
    if (!(s = mdb::Crea_Database(Nuovo, Cn)).ok()) return Fallito(s);
    s = Crea_Tabelle(*Cn);
    Cn->Close();
    if (s.ok()) s = data::ReplaceDatabaseFile(mdb::Percorso(Nuovo), mdb::Percorso(File_MDB2));
    if (!s.ok()) {
      data::DeleteDatabaseFile(mdb::Percorso(Nuovo));
      return Fallito(s);
    }
  }

  if (!(s = mdb::Apri_Connessione(File_MDB2, Cn_MDB2)).ok()) return Fallito(s);
  if (!(s = mdb::Apri_Tabella(*Cn_MDB2, "KYX_CARICATI", "KYX_CARICATI_L", Rs_Caricati)).ok()) return Fallito(s);
  return true;
}

}  // namespace kyx
