#pragma once
// The description update over the data-server link: asks for the description rows changed since
// the last update (the profile key "Data") and applies them to KYX_DS_20F of the descriptions
// database through Rs_Descrizioni.
#include <string>

namespace kyx {

// `Pannello` is the key of the main window's status panel that shows the count of rows read
// ("Numero"): emptied at the start, then the count after each block and at the end. True when
// the update ran to its end (the profile key "Data" and Data_Descrizioni then hold the server's
// time of this update); False when a reply failed (after its message) or a row could not be
// stored, with "Data" unchanged so that the next login asks for the same rows again.
bool Aggiorna_Descrizioni_Server(const std::string& Pannello);

}  // namespace kyx
