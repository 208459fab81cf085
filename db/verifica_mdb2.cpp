// Verifica_Struttura_MDB2: does the data-set database still fit the definitions just downloaded?
#include <algorithm>
#include <stdexcept>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb2.h"
#include "db/mdb2_colonne.h"
#include "platform/data/catalog.h"
#include "platform/vb/vb.h"

namespace kyx {

namespace {

constexpr std::string_view kPrefisso_Valori = "KYX_D0_00F_";

// A failing call inside the check: the check's result becomes 9.
struct Errore_Verifica : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void Ok(const data::Status& s) {
  if (!s.ok()) throw Errore_Verifica(s.ToString());
}

data::TableRecordset& Aperto(std::unique_ptr<data::TableRecordset>& Rs) {
  if (!Rs || !Rs->IsOpen()) throw Errore_Verifica("definitions recordset not open");
  return *Rs;
}

// The register's columns in name order.
const char* const kColonne_Caricati[] = {"DATAORA", "FILTRO", "FILTRO_SQL", "IDX", "NUM_REC", "SINF", "STATO"};

// Checks one value table against the definitions of its system (columns in name order, as the
// invariant of the value tables makes them follow their creation order). Returns false when the
// scan must end with result 2; sets *Diverso for a mismatch of the values, which does not end it,
// and *Vuoto when the system has neither keys with columns nor value elements.
bool Verifica_Tabella_Valori(const std::string& Sistema, const std::vector<data::FieldInfo>& Colonne, bool* Diverso,
                             bool* Senza_Colonne) {
  const size_t n = Colonne.size();
  if (Sistema.empty() || n < 3 || Colonne[0].name != "IDX") return false;
  size_t k = 0;
  data::TableRecordset& Chiavi = Aperto(Rs_Chiavi);
  Ok(Chiavi.Seek({data::Value(Sistema)}));
  for (; !Chiavi.AfterLast() && Chiavi.Field("SINF").AsText() == Sistema; Ok(Chiavi.MoveNext())) {
    if (!mdb2::Tipo_Chiave_Con_Colonna(Chiavi.Field("KINDB").AsText())) continue;
    ++k;
    if (n <= k) return false;
    if (Colonne[k].name != mdb2::Nome_Colonna_Chiave(Chiavi.Field("IDX").AsInteger())) return false;
    if (Colonne[k].size != Chiavi.Field("LUN").AsInteger()) return false;
  }
  data::TableRecordset& Valori = Aperto(Rs_Valori);
  Ok(Valori.Seek({data::Value(Sistema)}));
  for (; !Valori.AfterLast() && Valori.Field("SINF").AsText() == Sistema; Ok(Valori.MoveNext())) {
    const int64_t Valore = Valori.Field("IDX").AsInteger();
    const int64_t Elementi = Valori.Field("ELEM").AsInteger();
    for (int64_t j = 1; j <= Elementi; ++j) {
      ++k;
      if (n <= k || Colonne[k].name != mdb2::Nome_Colonna_Valore(Valore, j)) {
        *Diverso = true;  // the rest of this value's elements are skipped, the walk goes on
        break;
      }
    }
  }
  *Senza_Colonne = k == 0;
  return true;
}

}  // namespace

int32_t Verifica_Struttura_MDB2() {
  int32_t Esito = 0;
  std::unique_ptr<data::Connection> Cn;
  try {
    if (!mdb::File_Esiste(File_MDB2)) return 1;
    if (mdb::Vuoto(Aperto(Rs_Sinf)) && mdb::Vuoto(Aperto(Rs_Chiavi)) && mdb::Vuoto(Aperto(Rs_Valori))) return 3;

    Ok(mdb::Apri_Connessione(File_MDB2, Cn));
    data::Catalog Cat(*Cn);
    std::vector<std::string> Tabelle;
    Ok(Cat.Tables(&Tabelle));

    // Every defined system must have its value table.
    data::TableRecordset& Sinf = Aperto(Rs_Sinf);
    bool Mancante = false;
    for (Ok(Sinf.MoveFirst()); !Sinf.AfterLast(); Ok(Sinf.MoveNext())) {
      const std::string Nome = mdb2::Tabella_Valori(Sinf.Field("SINF").AsText());
      if (std::find(Tabelle.begin(), Tabelle.end(), Nome) == Tabelle.end()) {
        Mancante = true;
        break;
      }
    }
    if (Mancante) {
      Esito = 2;
    } else {
      std::vector<std::string> Da_Eliminare;
      for (const std::string& Nome : Tabelle) {
        if (Nome == "KYX_D0_00F") {
          Esito = 2;
          break;
        }
        std::vector<data::FieldInfo> Colonne;
        if (Nome.compare(0, kPrefisso_Valori.size(), kPrefisso_Valori) == 0) {
          Ok(Cat.Columns(Nome, &Colonne));
          const std::string Sistema = vb::Trim(Nome.substr(kPrefisso_Valori.size()));
          bool Diverso = false, Senza_Colonne = false;
          if (!Verifica_Tabella_Valori(Sistema, Colonne, &Diverso, &Senza_Colonne)) {
            Esito = 2;
            break;
          }
          if (Diverso) Esito = 2;
          if (Senza_Colonne) Da_Eliminare.push_back(Sistema);
        } else if (Nome == "KYX_CARICATI") {
          Ok(Cat.Columns(Nome, &Colonne));
          bool Uguale = Colonne.size() == std::size(kColonne_Caricati);
          for (size_t i = 0; Uguale && i < Colonne.size(); ++i) Uguale = Colonne[i].name == kColonne_Caricati[i];
          if (!Uguale) {
            Esito = 2;
            break;
          }
        }
      }
      // Tables of systems that have nothing left in the definitions go, with their register rows,
      // whatever the scan found.
      for (const std::string& Sistema : Da_Eliminare) {
        Ok(Cat.DropTable(mdb2::Tabella_Valori(Sistema)));
        Ok(Cn->Execute("DELETE FROM KYX_CARICATI WHERE SINF=" + mdb::Letterale(Sistema)));
      }
    }
  } catch (const std::exception&) {
    Esito = 9;
  }
  if (Cn) Cn->Close();
  return Esito;
}

}  // namespace kyx
