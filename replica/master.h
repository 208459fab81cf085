#pragma once
// KYX_MASTER, the table through which the replication program hands an information system to the
// main program: one row per data image, found by a 22-character key (system 10, row type 2,
// element 10), plus the security row (22 "+") holding the scrambled login reply.
//
// The database of an entry is reached over ODBC (SQL Server in production; any server the
// driver names, PostgreSQL in the tests). The table's statements are written for SQL Server and
// given to other servers without its brackets, schema and image type.
//
// One entry is one transaction: the rows are emptied and rewritten inside it, and only a
// completed entry is committed (Conferma_Master). An entry that stops half-way, for whatever
// reason, is rolled back when its connection closes, and the table keeps what the last
// completed run wrote.
#include <memory>
#include <string>
#include <vector>

#include "platform/data/odbc_connection.h"
#include "replica/voci.h"

namespace kyx {

// One error of the connection's error collection.
struct Errore_SQL {
  int Numero = 0;
  std::string Descrizione, Provenienza, Stato_SQL;
  int Errore_Nativo = 0;
};

extern std::unique_ptr<data::OdbcConnection> Connessione_Master;
extern std::vector<Errore_SQL> Errori_Master;

// Opens Connessione_Master on the entry's SQL server and database (5 seconds at most); an empty
// database opens the login's default one, an empty password sends none. False after the error
// list was shown.
bool Apri_SQL_Replica(const Campi_Voce& Campi);

// Creates the table and its index when missing, then, in the entry's transaction, empties it and
// adds the security row with no data. False after the error list was shown.
bool Prepara_Tabella_Master();

// Writes the whole work file File_Lavoro as the row of that key (system, type, element each
// padded and cut to its width), replacing a row of the same key. False when the file cannot be
// read or the database refuses (the errors stay in Errori_Master; nothing is shown).
bool Scrivi_Riga_Master(const std::string& Sistema, const std::string& Tipo, const std::string& Elemento);

// The security row's data: the scrambled login reply. False as Scrivi_Riga_Master.
bool Scrivi_Riga_Sicurezza(const std::string& Dati);

// Commits the entry's rows. False after the error list was shown.
bool Conferma_Master();

// Closes the connection (rolling back an entry not committed), pumps messages once and waits
// 100 ms. Always true: closing gives nothing to report.
bool Chiudi_SQL_Replica();

// Shows the collected errors in one message box ("Errore non previsto" when there are none) and
// clears them.
void Mostra_Errori_SQL();

namespace master {
// Closes the connection and clears the errors, so tests start clean.
void reset();
}  // namespace master

}  // namespace kyx
