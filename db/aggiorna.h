#pragma once
// The loaders of the definitions database KYX_0.MDB: each empties its table(s) through Cn_MDB0 and
// refills them, through the open recordsets Rs_Sinf .. Rs_Filtro, from the work file that the
// server link has just downloaded into the data folder. A row whose key is already present adds
// nothing (the first occurrence wins). They show nothing and go on past any failing statement:
// a failed row is lost alone.
#include <cstdint>
#include <string>

namespace kyx {

// File_Sistemi -> SINF (the current system from the login reply first) and CHIAVI_EXT.
void Aggiorna_SINF();
// File_Chiavi -> CHIAVI for `Sistema` (emptied when Progressivo = 1); a key of kind "I" sets the
// system's IDX_KEY/IDX_MAX and, for the current system, Sinf_Idx_Key/Sinf_Idx_Max.
void Aggiorna_CHIAVI(const std::string& Sistema, int32_t Progressivo);
// File_Valori -> VALORI for `Sistema` (emptied when Progressivo = 1).
void Aggiorna_VALORI(const std::string& Sistema, int32_t Progressivo);
// File_Aree -> AREE, IDX = the record number.
void Aggiorna_AREE();
// File_Filtro_Utente -> FILTRO, the values split at Separatore_Valori.
void Aggiorna_FILTRO();
// File_Struttura_Utente -> STRUTTURA, one row per layout flag set.
void Aggiorna_STRUTTURA();
// File_Layout and the per-layout files KYX_L_###.DAT and KYX_D_###.DAT -> LAYOUT, LAY_ELEM,
// LAY_FILTRO and LAY_DRILL.
void Aggiorna_LAYOUT();

}  // namespace kyx
