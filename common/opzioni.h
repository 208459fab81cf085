#pragma once
// Connection profiles and printer settings of KYX.INI, loaded into the shared state.
//
// A profile is the numbered section Format(n, "000") ("001", "002", ...): its scrambled connection
// block ("Parametri" with its check number "Check"), the information-system code and
// description, the folders, the display options, the colours and the grid font.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ini/ini_file.h"

namespace kyx {

// Loads profile `Indice` into the shared state and rebuilds the file names of its data and history
// folders; `hDC` is a device context of the calling window, used only to measure the grid font.
// Also sets Profilo_Principale from [Generale] "Principale". Returns false, after the message
// "Errore di integrità", when the connection block fails its check; the settings of the profile
// loaded before then stay in force.
bool Carica_Opzioni(int16_t& Indice, int32_t& hDC);

// Sets the names of the work files, the local databases and the history files from
// Cartella_Dati and Cartella_Storico.
void Ricostruisci_Nomi_File();

// Reloads section "Stampante" into the printer variables (margins in millimetres and twips).
void Carica_Impostazioni_Stampa();

// Writes the connection block of profile `Indice` ("Parametri" and "Check"), as the options
// dialog saves a profile. Returns false and writes nothing when a field holds a character that
// the scrambling cannot store (outside 32 .. 123), or when the file cannot be written.
bool Scrivi_Parametri_Profilo(int16_t Indice, const std::string& Server, const std::string& Porta,
                              const std::string& Utente, const std::string& Password);
// The same two keys appended to `Valori` (for a caller that writes them together with others);
// false, appending nothing, when a field cannot be scrambled.
bool Parametri_Profilo(int16_t Indice, const std::string& Server, const std::string& Porta,
                       const std::string& Utente, const std::string& Password, std::vector<ini::IniEntry>& Valori);

}  // namespace kyx
