#pragma once
// The result work database KYX_3.MDB (File_MDB3, connection Cn_MDB3): table DATI, built anew for
// every elaboration from the engine's column model, with the key values of a row packed into key
// columns k001.. so that rows can be found through the indexes DATI_L (Rs_Dati) and DATI_L2
// (Rs_Dati_L2).
#include <array>
#include <cstdint>

#include "db/mdb_comune.h"

namespace kyx {

// For key piece p (from 1), entry p - 1 holds the number of the key column (k001 = 1) that
// holds it; the other entries 0. Written by Apri_MDB3 with Numero_Chiavi_DATI.
extern std::array<uint8_t, 255> Col_Chiave_DATI;

// Deletes KYX_3.MDB, creates DATI from Numero_Colonne, Col_Tipo, Col_Chiave, Numero_Livelli,
// Livello_Contatore_1, Col_Lavoro_2 and Precisione_15, and opens it. False after "Errore 019 ...".
bool Apri_MDB3();

// Closes Rs_Dati, Rs_Dati_L2 and Cn_MDB3; all three are attempted. No message.
bool Chiudi_MDB3();

namespace mdb3 {
// Puts Col_Chiave_DATI back to zeros (tests and a new program state).
void reset();
}  // namespace mdb3

}  // namespace kyx
