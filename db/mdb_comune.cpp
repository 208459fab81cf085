#include "db/mdb_comune.h"

#include <cstdio>

#include "common/stato.h"
#include "platform/data/catalog.h"
#include "platform/data/sqlite_connection.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"

namespace kyx {

namespace {

template <typename T>
bool Chiudi(std::unique_ptr<T>& Oggetto) {
  if (!Oggetto) return true;
  // Only an open object is closed (State = adStateOpen); any other is just released.
  if (Oggetto->IsOpen() && !Oggetto->Close().ok()) return false;
  Oggetto.reset();
  return true;
}

}  // namespace

bool Chiudi_Oggetto(std::unique_ptr<data::Connection>& Oggetto) { return Chiudi(Oggetto); }
bool Chiudi_Oggetto(std::unique_ptr<data::TableRecordset>& Oggetto) { return Chiudi(Oggetto); }
bool Chiudi_Oggetto(std::unique_ptr<data::Recordset>& Oggetto) { return Chiudi(Oggetto); }

namespace mdb {

data::CompactionHook Gancio_Compattazione;

void Mostra_Errore(std::string_view Prefisso, const data::Status& Errore, std::string_view Suffisso) {
  std::string Testo(Prefisso);
  Testo += '\r';
  Testo += std::to_string(Errore.number());
  Testo += '\r';
  Testo += Errore.description();
  Testo += '\r';
  Testo += Suffisso;
  host::MsgBox(Testo, host::vbCritical | host::vbOKOnly, Titolo_Programma);
}

std::string Percorso(const std::string& File) { return files::native_path(File); }

bool File_Esiste(const std::string& File) { return data::DatabaseFileExists(Percorso(File)); }

data::Status Apri_Connessione(const std::string& File, std::unique_ptr<data::Connection>& Cn) {
  auto Nuova = std::make_unique<data::SqliteConnection>();
  data::Status s = Nuova->Open(Percorso(File), data::OpenMode::kExisting);
  if (!s.ok()) return s;
  Cn = std::move(Nuova);
  return s;
}

data::Status Crea_Database(const std::string& File, std::unique_ptr<data::Connection>& Cn) {
  const std::string Nome = Percorso(File);
  if (files::file_exists(Nome))
    return data::Status::Error(data::kAlreadyExists, "The database file already exists: " + File);
  auto Nuova = std::make_unique<data::SqliteConnection>();
  data::Status s = Nuova->Open(Nome, data::OpenMode::kCreate);
  if (!s.ok()) return s;
  Cn = std::move(Nuova);
  return s;
}

data::Status Apri_Tabella(data::Connection& Cn, std::string_view Tabella, std::string_view Indice,
                          std::unique_ptr<data::TableRecordset>& Rs) {
  auto Nuovo = std::make_unique<data::TableRecordset>();
  data::Status s = Nuovo->Open(Cn, Tabella, Indice);
  if (!s.ok()) return s;
  Rs = std::move(Nuovo);
  return s;
}

data::Status Crea_Tabella(data::Connection& Cn, const Tabella& T) {
  data::Catalog Cat(Cn);
  data::Status s = Cat.CreateTable(T.Nome, T.Colonne);
  if (s.ok()) s = Cat.CreateIndex(T.Nome, T.Indice, T.Colonne_Indice);
  return s;
}

data::Status Compatta(const std::string& File, bool Registra_Tempo) {
  const double Inizio = vb::Timer();
  data::Status s = data::CompactDatabase(Percorso(File), Gancio_Compattazione);
  const double Fine = vb::Timer();
  if (s.ok() && Registra_Tempo && Debug_Attivo) {
    // The log window numbers its lines ("000" and a tab) itself; the line is the elapsed time.
    double Secondi = Fine - Inizio;
    if (Secondi < 0) Secondi += 86400.0;  // Timer went past midnight
    host::host().DebugLog(vb::Format(Secondi, "#0.0000"));
  }
  return s;
}

bool Vuoto(const data::Recordset& Rs) { return Rs.BeforeFirst() && Rs.AfterLast(); }

std::string Cifre(int64_t n, int Cifre) {
  char Testo[32];
  if (n < 0)
    std::snprintf(Testo, sizeof Testo, "-%0*lld", Cifre, -static_cast<long long>(n));
  else
    std::snprintf(Testo, sizeof Testo, "%0*lld", Cifre, static_cast<long long>(n));
  return Testo;
}

std::string Letterale(std::string_view Testo) {
  std::string Sql = "'";
  for (char c : Testo) {
    if (c == '\'') Sql += '\'';
    Sql += c;
  }
  Sql += '\'';
  return Sql;
}

}  // namespace mdb
}  // namespace kyx
