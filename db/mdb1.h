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

namespace mdb1 {
const mdb::Tabella& Tabella_Descrizioni();
// The value written to the profile's key "Data" when the table had to be made anew, so that the
// next description update loads every description again.
inline constexpr std::string_view kData_Ricarica = "20000101010101";
}  // namespace mdb1

}  // namespace kyx
