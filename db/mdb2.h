#pragma once
// The data-set database KYX_2.MDB (File_MDB2, connection Cn_MDB2): the register KYX_CARICATI of
// the downloaded data sets (Rs_Caricati on KYX_CARICATI_L) and one value table per information
// system, "KYX_D0_00F_" & system code, whose columns follow the system's keys and values in the
// definitions database.
#include <cstdint>
#include <string>

#include "db/mdb_comune.h"

namespace kyx {

// Closes, deletes (Ricrea), compacts (Compatta) an existing file, creates a missing one from the
// definitions (Rs_Sinf, Rs_Chiavi, Rs_Valori) and opens it. True when it ran to the end; then the
// database is open unless one of the three definition tables is empty (no file can be built yet:
// Cn_MDB2 and Rs_Caricati stay empty, see MDB2_Aperto). False after "Errore 018 ...".
bool Apri_MDB2(bool Ricrea, bool Compatta);

// Whether KYX_2.MDB is open (Cn_MDB2 and Rs_Caricati set and open). Callers test it before
// using the register: Apri_MDB2 succeeds without opening anything while the definitions are
// incomplete.
bool MDB2_Aperto();

// Closes Rs_Dati_Caricati, Rs_Caricati and Cn_MDB2; all three are attempted. No message.
bool Chiudi_MDB2();

// Compares KYX_2.MDB with the definitions: 0 it fits, 1 no file, 2 it does not fit (or holds the
// old single value table), 3 SINF, CHIAVI and VALORI are all empty, 9 an error occurred. Value
// tables of systems without keys and values are dropped with their register rows. Uses a
// connection of its own; shows nothing.
int32_t Verifica_Struttura_MDB2();

namespace mdb2 {
// "KYX_D0_00F_" & the system code.
std::string Tabella_Valori(std::string_view Sistema);
const mdb::Tabella& Tabella_Caricati();
}  // namespace mdb2

}  // namespace kyx
