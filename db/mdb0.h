#pragma once
// The definitions database KYX_0.MDB (File_MDB0, connection Cn_MDB0): the structure of the
// information systems downloaded from the data server, in eleven tables each held open as a
// table-direct recordset on its index "<table>_01L" (Rs_Sinf .. Rs_Filtro of common/stato_db.h).
#include <string>
#include <vector>

#include "db/mdb_comune.h"
#include "platform/data/connection.h"

namespace kyx {

// Closes, deletes (with Ricrea), compacts or creates, connects to, upgrades and opens KYX_0.MDB.
// True when Cn_MDB0 and the eleven recordsets are open; False after "Errore 015 ...".
bool Apri_MDB0(bool Ricrea);

// Closes the eleven recordsets and then Cn_MDB0; all twelve are attempted. No message.
bool Chiudi_MDB0();

// A new definitions database built beside the stored one, so that a login that fails half-way
// leaves KYX_0.MDB as it was. Inizia closes KYX_0.MDB and creates and opens an empty new file
// (File_MDB0 & ".NEW": Cn_MDB0 and the eleven recordsets stand on it meanwhile); Conferma closes
// it, renames it over KYX_0.MDB in one step and opens that; Annulla closes and deletes it and
// opens KYX_0.MDB again when it exists. Each is False after its message ("Errore 015 ...").
bool Inizia_MDB0_Nuovo();
bool Conferma_MDB0_Nuovo();
bool Annulla_MDB0_Nuovo();
// The new file's name while one is being built, "" otherwise.
const std::string& MDB0_Nuovo();

// Creates table LAY_DRILL and its index LAY_DRILL_01L in the database of `Catalogo`. A failure
// shows "Errore 016 ... nel trattamento di MDB0_add_LAY_DRILL" and returns normally.
void Crea_LAY_DRILL(data::Connection& Catalogo);

namespace mdb0 {
// The eleven tables in creation order, as a new file gets them.
const std::vector<mdb::Tabella>& Tabelle();
// Width of the filter value columns VALO_1 and VALO_2 of FILTRO and LAY_FILTRO.
inline constexpr int kLarghezza_Valore_Filtro = 1024;
inline constexpr int kLarghezza_Valore_Lay_Filtro = 60;
}  // namespace mdb0

}  // namespace kyx
