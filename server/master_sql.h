#pragma once
// The SQL database source that takes the data server's place when the profile names a database
// ("DataBase SQL"): the connection Cn_SQL over ODBC and the master table KYX_MASTER, which holds
// each definition work file whole, one row per file, keyed by system (10), type (2) and name
// (10), plus the security row ("++++++++++", "++", "++++++++++").
#include <cstdint>
#include <string>

namespace kyx {

// Why the last Apri_DB_SQL failed (the driver's message), "" after a success.
extern std::string Errore_DB_SQL;

// Opens Cn_SQL on `Database` (blank: the server's default) of the profile's server, as the
// profile's user with its password ("^" standing for blanks; an empty password sends none),
// waiting at most 10 seconds. True when the connection is open.
bool Apri_DB_SQL(const std::string& Database);

// Closes Rs_Master and Cn_SQL, in that order; True when both closes succeeded.
bool Chiudi_DB_SQL();

// Opens Rs_Master on the keys of the table KYX_MASTER through Cn_SQL (read-only; a row's bytes
// are read only when Estrai_Da_MDB asks for that row). False when it cannot be read.
bool Apri_Master();

// Finds the row of Sistema, Tipo and Nome (each blank-padded and cut to its width) in Rs_Master.
// Modo "F": writes the row's bytes to the file Destinazione (created or overwritten); any other
// Modo: Destinazione receives the bytes as text. -1 when the row was found and delivered, 0 when
// no row has the key (or the file cannot be written, or the row can no longer be read).
int16_t Estrai_Da_MDB(const std::string& Sistema, const std::string& Tipo, const std::string& Nome,
                      std::string& Destinazione, const std::string& Modo);

// The definitions and descriptions through the master database, from the security row to the
// description update. False when the login stops (its message shown); True lets the common end
// of the login run.
bool Collegamento_SQL();

// The description update from KYX_DS_00F of the master database, opened (and closed) here; see
// Aggiorna_Descrizioni_Server for `Pannello`. True when every changed row was applied ("Data"
// then holds the workstation's time taken before the query ran).
bool Aggiorna_Descrizioni_SQL(const std::string& Pannello);

}  // namespace kyx
