#pragma once
// The descriptions database KYX_1.MDB (File_MDB1, connection Cn_MDB1): table KYX_DS_20F, one row
// per key and code with sixteen description texts, held open as Rs_Descrizioni on KYX_DS_21L.
#include "db/mdb_comune.h"

namespace kyx {

// Closes, deletes (Ricrea), upgrades or compacts (Compatta), creates and opens KYX_1.MDB, then
// (without Compatta) deletes the rows marked "A". False after "Errore 017 ...".
bool Apri_MDB1(bool Ricrea, bool Compatta);

// Closes Rs_Descrizioni, then Cn_MDB1; both are attempted. No message.
bool Chiudi_MDB1();

// The descriptions updated in a copy beside the stored file, so that an update that fails
// half-way leaves KYX_1.MDB as it was. Inizia closes KYX_1.MDB, copies it to File_MDB1 & ".NEW"
// and opens the copy under File_MDB1 (every opening and compaction during the update works on
// it); Conferma closes it, renames it over KYX_1.MDB in one step and opens that; Annulla closes
// and deletes it and opens KYX_1.MDB again. Each is False after its message ("Errore 017 ...").
bool Inizia_MDB1_Copia();
bool Conferma_MDB1_Copia();
bool Annulla_MDB1_Copia();

namespace mdb1 {
const mdb::Tabella& Tabella_Descrizioni();
// The value written to the profile's key "Data" when the table had to be made anew, so that the
// next description update loads every description again.
inline constexpr std::string_view kData_Ricarica = "20000101010101";
}  // namespace mdb1

}  // namespace kyx
