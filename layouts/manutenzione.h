#pragma once
// Upkeep of the folders of saved elaborations (the history and the favourites tree): the upgrade
// of layout files of the old positional form into the keyed form, the reference year set in
// every favourite, and the deletion of every saved file of a tree. Each operation walks the
// tree depth first: the sub-folders (in name order) before the files of the folder itself.
// Folder arguments are full paths ending in "\" (the system's form).
#include <cstdint>
#include <string>
#include <vector>

namespace kyx {

// The immediate sub-folders of Cartella, each a full path ending in "\", in name order.
// Numero_Cartelle gets their count; with none, Elenco_Cartelle is left as it was.
void Elenco_Sottocartelle(const std::string& Cartella, std::vector<std::string>& Elenco_Cartelle,
                          int32_t& Numero_Cartelle);

// Rewrites every layout file of the old positional form in the tree in the keyed form. Keyed
// files, empty files and files that end before the lines their counts announce are left as
// they are; a file is replaced only once its keyed form is written whole.
void Converti_Preferiti(const std::string& Cartella);

// An old column condition ("k_001 = 'A','B' and k_002 in ('C')") in the syntax of the column
// conditions of the keyed files (" ((k_001 in('A','B' ))) and ((k_002 in('C') ))").
void Converti_Filtro(const std::string& Testo, std::string& Risultato);

// "_Anno____" := Format(Anno_Riferimento, "0000") in every layout file of the tree. Stops at a
// file that cannot be rewritten: false, with that file (full path, system form) in
// Non_Aggiornato.
bool Imposta_Anno_Preferiti(const std::string& Cartella, std::string& Non_Aggiornato);

// Deletes every "KYX_E_*.DAT" of the tree; the folders stay. Stops at a file that cannot be
// deleted: false, with that file (full path, system form) in Non_Eliminato.
bool Elimina_Preferiti(const std::string& Cartella, std::string& Non_Eliminato);

}  // namespace kyx
