#pragma once
// The description update over the data-server link: asks for the description rows changed since
// the last update (the profile key "Data") and applies them to KYX_DS_20F of the descriptions
// database through Rs_Descrizioni.
#include <cstdint>
#include <string>

namespace kyx {

// `Pannello` is the key of the main window's status panel that shows the count of rows read
// ("Numero"): emptied at the start, then the count after each block and at the end. True when
// the update ran to its end (the profile key "Data" and Data_Descrizioni then hold the server's
// time of this update); False when a reply failed (after its message) or a row could not be
// stored, with "Data" unchanged so that the next login asks for the same rows again.
bool Aggiorna_Descrizioni_Server(const std::string& Pannello);

}  // namespace kyx

namespace kyx {

// Applies one description row (status, key, progressive 1..16, code, description) to KYX_DS_20F
// through Rs_Descrizioni, by the rules of the update above: "A" with progressive 2 or more blanks
// that description, a blank status on a deleted code clears its old descriptions first. A
// progressive outside 1..16 changes nothing. False when the database refused the row.
bool Applica_Descrizione(const std::string& Stato, int64_t Chiave, int64_t Progressivo, const std::string& Codice,
                         const std::string& Descrizione);

// A row whose code (trailing blanks aside) is longer than the 30 characters of S_DS_CODI is not
// stored, and counted. Each update starts the count at zero and ends by telling it in one
// message when it is not zero.
void Azzera_Codici_Troppo_Lunghi();
void Avvisa_Codici_Troppo_Lunghi();

}  // namespace kyx
