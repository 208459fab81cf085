#pragma once
// The definition downloads after login: each fetches one server file into its work file of the
// data folder (File_Aree, File_Chiavi, ... of the shared state; layouts in WORK_FILES.md), which
// the loaders of the definitions database read at once. Each returns True when the download ran
// to its end (end mark, last record, or a shorter block) and False when a reply failed, after the
// message of Base_File__Lettura; the work file then holds the records of the earlier blocks.
#include <cstdint>
#include <string>

namespace kyx {

// Number of the last layout of the layout list, set by Scarica_Elenco_Layout after each record
// it writes; Scarica_Per_Sistema fetches the elements and drill rows of layouts 1 to it.
extern int16_t Numero_Indici_Layout;

bool Scarica_Aree();                               // KYX_A.DAT
bool Scarica_Chiavi(const std::string& Libreria);  // KYX_K.DAT, keys of the system in Libreria
bool Scarica_Sistemi();                            // KYX_E.DAT
bool Scarica_Filtri_Utente();                      // KYX_UF.DAT
bool Scarica_Elenco_Layout();                      // KYX_L.DAT
bool Scarica_Layout_Elementi(int32_t Indice);      // KYX_L_###.DAT of layout Indice
bool Scarica_Drill(int32_t Indice);                // KYX_D_###.DAT of layout Indice
bool Scarica_Utenti_Aree();                        // KYX_UA.DAT
bool Scarica_Valori(const std::string& Libreria);  // KYX_V.DAT, values of the system in Libreria

// Elements and drill rows of layouts 1 .. Numero_Indici_Layout (at most the 256 layouts a list
// can hold); the results are not looked at. Stops at the first reply error.
void Scarica_Per_Sistema();

// The work file of layout Indice from a template holding "###" (File_Layout_Elementi, File_Drill).
std::string File_Per_Layout(const std::string& Modello, int32_t Indice);

}  // namespace kyx
