#include "replica/master.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "platform/data/field.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "replica/stato_replica.h"
#include "server/immagini_master.h"

namespace kyx {

std::unique_ptr<data::OdbcConnection> Connessione_Master;
std::vector<Errore_SQL> Errori_Master;

namespace {

constexpr char kCrea_Tabella[] =
    "CREATE TABLE [dbo].[KYX_MASTER] ( [Chiave] [char] (22) NOT NULL DEFAULT ' ' , [Dati] [image] NULL )";
constexpr char kCrea_Indice[] = "CREATE INDEX [KYX_MASTER_X] ON [dbo].[KYX_MASTER] ([CHiave])";
constexpr char kSvuota[] = "DELETE FROM [dbo].[KYX_MASTER] ";
constexpr char kTogli_Riga[] = "DELETE FROM [dbo].[KYX_MASTER] WHERE [Chiave] = ?";
constexpr char kAggiungi_Riga[] = "INSERT INTO [dbo].[KYX_MASTER] ([Chiave], [Dati]) VALUES (?, ?)";
constexpr char kAggiungi_Sicurezza[] = "INSERT INTO [dbo].[KYX_MASTER] ([Chiave]) VALUES (?)";

bool Sql_Server() {
  return Connessione_Master && Connessione_Master->dbms().find("SQL Server") != std::string::npos;
}

// A statement as the connected server reads it: SQL Server takes it as written; the others
// know no brackets, no "dbo" schema and no image type (their bytes column is BYTEA).
std::string Sql(const std::string& Testo) {
  if (Sql_Server()) return Testo;
  std::string t = vb::Replace(vb::Replace(Testo, "[dbo].", ""), "[image]", "BYTEA");
  return vb::Replace(vb::Replace(t, "[", ""), "]", "");
}

// A failed call into the collection: a driver's diagnostic comes as "SQLSTATE [source]text".
void Annota(const data::Status& s) {
  Errore_SQL e;
  e.Numero = s.number();
  std::string d = s.description();
  const bool stato = d.size() > 6 && d[5] == ' ' &&
                     std::all_of(d.begin(), d.begin() + 5, [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
  if (stato) {
    e.Stato_SQL = d.substr(0, 5);
    d = d.substr(6);
  }
  while (!d.empty() && d.front() == '[' && d.find(']') != std::string::npos) {
    const auto fine = d.find(']');
    e.Provenienza += d.substr(0, fine + 1);
    d = d.substr(fine + 1);
  }
  e.Descrizione = d;
  e.Errore_Nativo = stato && s.number() != -1 ? s.number() : 0;
  Errori_Master.push_back(std::move(e));
}

bool Riuscito(const data::Status& s) {
  if (!s.ok()) Annota(s);
  return s.ok();
}

bool Esegui(const std::string& Testo) {
  if (!Connessione_Master) return Riuscito(data::Status::Error(data::kNotOpen, "The connection is closed"));
  return Riuscito(Connessione_Master->Execute(Sql(Testo)));
}

bool Tabella_Presente(bool& Presente) {
  Presente = false;
  std::vector<std::string> Tabelle;
  if (!Riuscito(Connessione_Master->ListTables(&Tabelle))) return false;
  // Only tables are listed (a view of that name does not count); a server that folds names to
  // lower case keeps "kyx_master".
  for (const auto& t : Tabelle) Presente = Presente || data::SameName(t, "KYX_MASTER");
  return true;
}

// Replaces the row of `Chiave` with one holding `Dati` (no data at all when null).
bool Scrivi_Riga(const std::string& Chiave, const std::string* Dati) {
  if (!Connessione_Master) return Riuscito(data::Status::Error(data::kNotOpen, "The connection is closed"));
  Chiave_Corrente = Chiave;
  std::unique_ptr<data::Statement> Togli, Aggiungi;
  // The key travels as a parameter: an apostrophe in a user name cannot break the statement.
  // Compared without its trailing blanks, as the fixed-width column compares on every server.
  data::Status s = Connessione_Master->Prepare(Sql(kTogli_Riga), &Togli);
  if (s) s = Togli->Bind(1, data::Value(std::string(text::rtrim_blanks(Chiave))));
  if (s) s = Togli->Run();
  if (s) s = Connessione_Master->Prepare(Sql(Dati ? kAggiungi_Riga : kAggiungi_Sicurezza), &Aggiungi);
  if (s) s = Aggiungi->Bind(1, data::Value(Chiave));
  if (s && Dati && !data::BindOdbcBytes(*Aggiungi, 2, *Dati)) s = data::Status::Error(-1, "Not an ODBC statement");
  if (s) s = Aggiungi->Run();
  return Riuscito(s);
}

}  // namespace

bool Apri_SQL_Replica(const Campi_Voce& Campi) {
  Connessione_Master.reset();
  data::OdbcTarget t;
  t.server = vb::Trim(Campi.txtSQLServer);
  t.database = vb::Trim(Campi.txtSQLDataBase);
  t.user = vb::Trim(Campi.txtSQLUtente);
  t.password = vb::Trim(Campi.txtSQLPassword);
  auto Cn = std::make_unique<data::OdbcConnection>();
  if (!Riuscito(Cn->Open(t, 5))) {
    Mostra_Errori_SQL();
    return false;
  }
  Connessione_Master = std::move(Cn);
  host::DoEvents();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return true;
}

bool Prepara_Tabella_Master() {
  bool Presente = false;
  bool ok = Connessione_Master && Tabella_Presente(Presente);
  if (!Connessione_Master) Riuscito(data::Status::Error(data::kNotOpen, "The connection is closed"));
  // Creating the empty table touches no data: it stands even when the entry does not complete.
  if (ok && !Presente) ok = Esegui(kCrea_Tabella) && Esegui(kCrea_Indice);
  if (ok) ok = Riuscito(Connessione_Master->BeginTransaction());
  if (ok) ok = Esegui(kSvuota) && Scrivi_Riga(std::string(22, '+'), nullptr);
  if (!ok) {
    Mostra_Errori_SQL();
    return false;
  }
  host::DoEvents();
  return true;
}

bool Scrivi_Riga_Master(const std::string& Sistema, const std::string& Tipo, const std::string& Elemento) {
  std::string Dati;
  if (!files::read_file(files::native_path(File_Lavoro), Dati)) return false;
  return Scrivi_Riga(immagini::Chiave_Master(Sistema, Tipo, Elemento), &Dati);
}

bool Scrivi_Riga_Sicurezza(const std::string& Dati) { return Scrivi_Riga(std::string(22, '+'), &Dati); }

bool Conferma_Master() {
  if (Connessione_Master && Connessione_Master->InTransaction() && Riuscito(Connessione_Master->Commit())) return true;
  if (Errori_Master.empty()) Riuscito(data::Status::Error(-1, "No transaction is open"));
  Mostra_Errori_SQL();
  return false;
}

bool Chiudi_SQL_Replica() {
  if (Connessione_Master) Connessione_Master->Close();  // an uncommitted entry is rolled back
  Connessione_Master.reset();
  host::DoEvents();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return true;
}

void Mostra_Errori_SQL() {
  if (Errori_Master.empty()) {
    host::MsgBox("Errore non previsto", host::vbCritical, kTitolo_Errore_Replica);
    return;
  }
  std::string Testo;
  for (const auto& e : Errori_Master) {
    Testo += "Errore Numero  : " + std::to_string(e.Numero) + "\r";
    Testo += "  Descrizione  : " + e.Descrizione + "\r";
    Testo += "  Provenienza  : " + e.Provenienza + "\r";
    Testo += "  Stato SQL    : " + e.Stato_SQL + "\r";
    Testo += "  Errore nativo: " + std::to_string(e.Errore_Nativo) + "\r";
  }
  Testo += "Totale errori  : " + std::to_string(Errori_Master.size());
  Errori_Master.clear();
  host::MsgBox(Testo, host::vbCritical, kTitolo_Errore_Replica);
}

namespace master {
void reset() {
  Connessione_Master.reset();
  Errori_Master.clear();
}
}  // namespace master

}  // namespace kyx
