#include "tools/sqlmaster/riempi_master.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "common/codifica_parametri.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "db/aggiorna.h"
#include "db/mdb0.h"
#include "platform/data/catalog.h"
#include "platform/data/forward_recordset.h"
#include "platform/data/odbc_connection.h"
#include "platform/files/files.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "server/campo.h"
#include "server/collegamento.h"
#include "server/immagini_master.h"
#include "server/scarica.h"
#include "server/socket.h"
#include "tools/dataserver/data_sets.h"
#include "tools/dataserver/queries.h"
#include "tools/dataserver/store.h"

namespace kyx::sqlmaster {

namespace {

using data::Status;

const int64_t kRecord_Layout = static_cast<int64_t>(immagini::Formato_Di(immagini::Immagine::kLayout).Lunghezza_Locale);

Status Fallito(const std::string& cosa) { return Status::Error(-1, cosa); }

// Drops a table when it is there (a failing drop only means it was not).
void Elimina(data::Connection& cn, const std::string& tabella) {
  std::vector<std::string> tabelle;
  (void)cn.ListTables(&tabelle);
  for (const auto& t : tabelle) {
    if (data::SameName(t, tabella)) (void)cn.Execute("DROP TABLE " + cn.QuoteName(tabella));
  }
}

class Master {
 public:
  explicit Master(data::Connection& cn) : cn_(cn) {}

  Status Crea() {
    Elimina(cn_, "KYX_MASTER");
    // The binary column type differs between servers; the driver names it.
    const std::string binario =
        dynamic_cast<data::OdbcConnection&>(cn_).dbms().find("SQL Server") != std::string::npos ? "VARBINARY(MAX)"
                                                                                                 : "BYTEA";
    Status s = cn_.Execute("CREATE TABLE KYX_MASTER (Chiave CHAR(22) NOT NULL PRIMARY KEY, Dati " + binario + ")");
    if (s) s = cn_.Prepare("INSERT INTO KYX_MASTER (Chiave, Dati) VALUES (?, ?)", &st_);
    return s;
  }

  Status Riga(const std::string& sistema, const std::string& tipo, const std::string& nome, const std::string& dati) {
    Status s = st_->Bind(1, data::Value(immagini::Chiave_Master(sistema, tipo, nome)));
    if (!s) return s;
    if (!data::BindOdbcBytes(*st_, 2, dati)) return Fallito("not an ODBC statement");
    return st_->Run();
  }

  // The work file just downloaded, as the row of that key.
  Status File(const std::string& sistema, const std::string& tipo, const std::string& nome, const std::string& file) {
    std::string byte;
    (void)files::read_file(files::native_path(file), byte);  // a download that wrote nothing: empty
    return Riga(sistema, tipo, nome, byte);
  }

 private:
  data::Connection& cn_;
  std::unique_ptr<data::Statement> st_;
};

// Greeting and login on socket 1, as the program sends them.
Status Accedi(const Opzioni& o) {
  std::string esito;
  if (Sock_Connect(1, o.server, o.porta, esito, 0, false) != -1) return Fallito("no connection: " + esito);
  if (!Sock_Read(1, 6) || Campo("A", 1, 1, 1, 0) != "0") return Fallito("no greeting");
  Sock_Write(1, Richiesta_Login(), 91);
  if (!Sock_Read(1, 6) || Campo("A", 1, 1, 1, 0) != "0") return Fallito("no login reply");
  const auto n = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0)));
  if (!Sock_Read(1, n) || Campo("A", 1, 1, 1, 0) != "S") return Fallito("login refused");
  return Status::Ok();
}

Status Definizioni(const Opzioni& o, Master& m) {
  Status s = Accedi(o);
  if (!s) return s;
  if (!Apri_MDB0(true)) return Fallito("the scratch definitions database cannot be made");
  if (!Scarica_Sistemi()) return Fallito("systems download");
  // Each system's own database, where its keys and values are found: the data server knows
  // none, so every system is given the one database filled here.
  std::string sistemi_file;
  (void)files::read_file(files::native_path(File_Sistemi), sistemi_file);
  immagini::Database_Sistemi(sistemi_file, o.database);
  if (!(s = m.Riga(Sistema_Informativo, "E ", "", sistemi_file))) return s;
  Aggiorna_SINF();
  std::vector<std::pair<std::string, std::string>> sistemi;
  if (Rs_Sinf && Rs_Sinf->MoveFirst()) {
    for (; !Rs_Sinf->AfterLast(); (void)Rs_Sinf->MoveNext())
      sistemi.emplace_back(Rs_Sinf->Field("SINF").AsText(), Rs_Sinf->Field("LIBS1").AsText());
  }
  for (const auto& [codice, libreria] : sistemi) {
    if (!Scarica_Chiavi(libreria) || !(s = m.File(codice, "K ", "", File_Chiavi))) return s ? Fallito("keys") : s;
    if (!Scarica_Valori(libreria) || !(s = m.File(codice, "V ", "", File_Valori))) return s ? Fallito("values") : s;
  }
  if (!Scarica_Aree() || !(s = m.File(Sistema_Informativo, "A ", "", File_Aree))) return s ? Fallito("areas") : s;
  if (!Scarica_Elenco_Layout() || !(s = m.File(Sistema_Informativo, "L ", "", File_Layout)))
    return s ? Fallito("layouts") : s;
  // As many element and drill images as the program will ask for: one per layout record.
  const int64_t n = (files::file_length(files::native_path(File_Layout)) + kRecord_Layout / 2) / kRecord_Layout;
  for (int32_t i = 1; i <= n; ++i) {
    const std::string numero = vb::Format(i, "000");
    const std::string elementi = File_Per_Layout(File_Layout_Elementi, i);
    const std::string drill = File_Per_Layout(File_Drill, i);
    if (!Scarica_Layout_Elementi(i) || !(s = m.File(Sistema_Informativo, "L_", numero, elementi)))
      return s ? Fallito("layout elements") : s;
    if (!Scarica_Drill(i) || !(s = m.File(Sistema_Informativo, "D_", numero, drill))) return s ? Fallito("drill") : s;
  }
  if (!Scarica_Filtri_Utente() || !(s = m.File(Sistema_Informativo, "UF", Nome_Utente, File_Filtro_Utente)))
    return s ? Fallito("user filter") : s;
  if (!Scarica_Utenti_Aree() || !(s = m.File(Sistema_Informativo, "UA", Nome_Utente, File_Struttura_Utente)))
    return s ? Fallito("user structure") : s;
  Sock_Close(1);
  // The security row: "S" (accepted) scrambled as a profile's connection block is.
  std::string codificato, check;
  Codifica_Parametri("S", codificato, check);
  return m.Riga("++++++++++", "++", "++++++++++", codificato);
}

Status Descrizioni(const Opzioni& o, dataserver::Store& store, data::Connection& cn) {
  Elimina(cn, "KYX_DS_00F");
  Status s = cn.Execute(
      "CREATE TABLE KYX_DS_00F (S_DS_STAT CHAR(1), S_DS_KEY INT, S_DS_CODI VARCHAR(30), S_DS_PROG INT, "
      "S_DS_DESC VARCHAR(40), S_DS_TIME CHAR(14))");
  std::vector<dataserver::DescriptionRow> righe;
  if (s) s = store.Descriptions(o.sistema, "00000000000000", &righe);
  std::unique_ptr<data::Statement> st;
  if (s) s = cn.Prepare("INSERT INTO KYX_DS_00F VALUES (?, ?, ?, ?, ?, ?)", &st);
  if (s) s = cn.BeginTransaction();
  for (const auto& r : righe) {
    if (!s) break;
    const std::vector<data::Value> v{data::Value(r.status), data::Value(r.key), data::Value(r.code),
                                     data::Value(r.progressive), data::Value(r.text), data::Value(r.time)};
    for (size_t i = 0; s && i < v.size(); ++i) s = st->Bind(static_cast<int>(i + 1), v[i]);
    if (s) s = st->Run();
  }
  if (cn.InTransaction()) s = s ? cn.Commit() : (cn.Rollback(), s);
  return s;
}

// Copies the rows of `origine` (columns `nomi`) into `tabella`, made anew with `colonne`; each row
// follows the values of `prima` (columns `colonne` ahead of the copied ones), the Nth row
// getting `prima`(N).
Status Copia(dataserver::Store& store, data::Connection& cn, const std::string& origine, const std::vector<std::string>& nomi,
             const std::string& tabella, const std::vector<data::FieldInfo>& colonne, size_t davanti,
             const std::function<std::vector<data::Value>(int64_t)>& prima) {
  Elimina(cn, tabella);
  data::Catalog catalogo(cn);
  Status s = catalogo.CreateTable(tabella, colonne);
  std::string sql = "INSERT INTO " + tabella + " VALUES (";
  for (size_t i = 0; i < colonne.size(); ++i) sql += i ? ", ?" : "?";
  std::unique_ptr<data::Statement> st;
  if (s) s = cn.Prepare(sql + ")", &st);
  data::ForwardRecordset rs;
  std::string lista;
  for (const auto& n : nomi) lista += (lista.empty() ? "" : ", ") + store.connection().QuoteName(n);
  if (s) s = rs.Open(store.connection(), "SELECT " + lista + " FROM " + store.connection().QuoteName(origine));
  if (s) s = cn.BeginTransaction();
  if (!s) return s;
  for (int64_t riga = 1; s && !rs.AfterLast(); (void)rs.MoveNext(), ++riga) {
    const std::vector<data::Value> testa = prima ? prima(riga) : std::vector<data::Value>{};
    for (size_t i = 0; s && i < davanti; ++i) s = st->Bind(static_cast<int>(i + 1), testa[i]);
    for (size_t i = davanti; s && i < colonne.size(); ++i) {
      data::Value v = rs.Field(static_cast<int>(i - davanti));
      // A download stores every code at its full width.
      if (colonne[i].type == data::FieldType::Text) v = data::Value(text::fixed(v.AsText(), colonne[i].size));
      s = st->Bind(static_cast<int>(i + 1), v);
    }
    if (s) s = st->Run();
  }
  return s ? cn.Commit() : (cn.Rollback(), s);
}

// The server's data-set table of each system into "KYX_D0_00F_" & system; the one of system
// `o.dati` also into "KYX_D0_00F", the table a data-set download reads from the system's own
// database, behind three fields of the replication's own (here the system, its library and the
// row's number) that the download skips.
Status Dati(const Opzioni& o, dataserver::Store& store, data::Connection& cn) {
  std::vector<dataserver::SystemDef> sistemi;
  Status s = store.Systems(&sistemi);
  bool trovato = o.dati.empty();
  for (const auto& sistema : sistemi) {
    if (!s) break;
    const std::string codice(text::rtrim_blanks(sistema.code));
    const std::string origine = dataserver::DataSetTable(sistema.library);
    std::vector<data::FieldInfo> esistenti;
    if (!store.connection().ListColumns(origine, &esistenti).ok() || esistenti.empty()) continue;  // no data set
    // The columns as the local value table declares them: each key at its code's width.
    dataserver::DataSetShape forma;
    if (!(s = dataserver::LoadDataSetShape(store, codice, &forma))) break;
    std::vector<data::FieldInfo> colonne;
    const std::vector<std::string> nomi = dataserver::DataSetColumnNames(forma);
    for (size_t i = 0; i < nomi.size(); ++i) {
      colonne.push_back(i < forma.keys.size() ? data::TextField(nomi[i], forma.keys[i].length)
                                              : data::DoubleField(nomi[i]));
    }
    s = Copia(store, cn, origine, nomi, "KYX_D0_00F_" + codice, colonne, 0, nullptr);
    if (!s || codice != o.dati) continue;
    trovato = true;
    std::vector<data::FieldInfo> replica{data::TextField("REP_SINF", 10), data::TextField("REP_LIBRERIA", 10),
                                         data::DoubleField("REP_RIGA")};
    replica.insert(replica.end(), colonne.begin(), colonne.end());
    const std::string libreria(text::rtrim_blanks(sistema.library));
    s = Copia(store, cn, origine, nomi, "KYX_D0_00F", replica, 3, [&](int64_t riga) {
      return std::vector<data::Value>{data::Value(codice), data::Value(libreria), data::Value(static_cast<double>(riga))};
    });
  }
  if (s && !trovato) s = Fallito("no data set for system " + o.dati);
  return s;
}

}  // namespace

bool Riempi(const Opzioni& o, data::Connection& cn, std::string* errore) {
  // The program's own state, pointed at a scratch folder: the downloads write their work files
  // there and the systems list is loaded into a scratch definitions database.
  std::error_code ec;
  std::filesystem::create_directories(o.cartella + "/Dati", ec);
  Cartella_Programma = o.cartella + "/";
  Cartella_Dati = o.cartella + "/Dati/";
  Ricostruisci_Nomi_File();
  Nome_Utente = o.utente;
  Password_Utente = text::fixed(o.password, 10, '^');
  Sistema_Informativo = o.sistema;
  std::string descrizione;
  if (!Sock_Start(descrizione, o.tabella)) {
    *errore = "code table " + o.tabella + ": " + descrizione;
    return false;
  }
  dataserver::Store store;
  Status s = store.Open(o.store);
  Master m(cn);
  if (s) s = m.Crea();
  if (s) s = Definizioni(o, m);
  if (s) s = Descrizioni(o, store, cn);
  if (s) s = Dati(o, store, cn);
  Sock_Close(1);
  if (!s) *errore = s.description();
  return s.ok();
}

}  // namespace kyx::sqlmaster
