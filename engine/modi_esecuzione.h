#pragma once
// Where the rows of an elaboration come from, and the first queries a run executes: the code lists
// of its column keys, which turn each cross-tab element into one result column per code.
//
// Three sources, fixed by the settings at the moment of the run:
//   "AS400"  connected, no SQL Server database: the data server over the socket;
//   "SQL"    connected with a SQL Server database: Cn_SQL;
//   "LOCALE" not connected: the local data sets of KYX_2.MDB (Cn_MDB2).
// In the last two the data table "KYX_D0_00F" of the query becomes "KYX_D0_00F_" and the
// system's code.
#include <string>

namespace kyx::data {
class Connection;
}

namespace kyx {

// "AS400", "SQL" or "LOCALE": also the label of the query log.
std::string Modo_Esecuzione();

// Every "KYX_D0_00F" of Sql (case-sensitive) becomes the data table of Sistema, or of
// Sistema_Informativo when Sistema is "".
std::string Tabella_Sistema(const std::string& Sql, const std::string& Sistema);

// The login leaves no SQL database open: a run in "SQL" mode opens the profile's database
// before its first query, and it stays open for the later runs until the next login or
// disconnection closes it. False, after "Errore 027 - Richiesta_ESEGUI" with the database and
// the driver's reason, when it cannot be opened; True in the other modes.
bool Apri_Database_Modo();

// The open connection of mode "SQL" (Cn_SQL) or "LOCALE" (Cn_MDB2); nullptr for "AS400" or when
// it is not open.
data::Connection* Connessione_Modo(const std::string& Modo);

// For every cross-tab element (its column has a column key): the key's codes, one generated
// column per code (columns after it move right; nothing goes beyond column 252, and a cut sets
// Troppe_Colonne) and its cross-tab query, appended to the query list.
void Query_Colonne();

// The messages of a run that met a limit, each shown once: columns lost to the cut at column 252
// (Troppe_Colonne), value items left out of a full item map or query list (Voci_Esaurite),
// formulas too long or too deeply nested to compute (Formule_Oltre_Limiti).
void Avvisi_Limiti();

}  // namespace kyx
