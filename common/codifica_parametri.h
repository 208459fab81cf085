#pragma once
// Scrambling of the connection block of a profile (server, port, user, password), stored under the
// profile key "Parametri" with its check number under "Check". The scrambling is a fixed
// permutation of the positions and a substitution of the characters 32 .. 123 onto themselves;
// it takes no key, it only keeps the block from being read at a glance in the settings file.
#include <string>

namespace kyx {

// Width of the connection block and of its fields.
inline constexpr int kLunghezza_Blocco = 75;

// The 75-character connection block as the options dialog builds it: server (50) and port (5)
// padded with blanks, user (10) padded with blanks, password (10) with every blank replaced by "^"
// and padded with "^".
std::string Blocco_Parametri(const std::string& Server, const std::string& Porta,
                             const std::string& Utente, const std::string& Password);

// Scrambles `Testo` into `Codificato` and computes its check number into `Check`; both are first
// emptied. The empty text gives "" and "0".
//
// A character outside 32 .. 123 (an accented letter, "|", "~") has no scrambled form: stored as
// "¿", it could never be restored, and since the check counts its code while the unscrambling
// skips it, the profile would fail its integrity test for ever. Such a text is therefore refused:
// the result is false and both outputs stay empty, so that the caller does not save the profile.
bool Codifica_Parametri(const std::string& Testo, std::string& Codificato, std::string& Check);

// Unscrambles `Codificato` into `Testo` and recomputes the check number from the restored
// characters into `Check`. A character outside 32 .. 123 comes back as "¿" and is left out of the
// check, so a damaged value fails the comparison with the stored check.
void Decodifica_Parametri(std::string& Testo, const std::string& Codificato, std::string& Check);

// The same scrambling for a text that is only stored, never unscrambled into settings (the login
// reply kept by the replication program): a character outside 32 .. 123 becomes "¿" instead of
// refusing the text; `Check` counts every input character as Codifica_Parametri does.
void Codifica_Testo(const std::string& Testo, std::string& Codificato, std::string& Check);

// A scrambled value as it must be written into a settings file: a value that begins or ends with a
// blank (the scrambled "{") or a quote, which a settings read would trim or take as enclosing
// quotes, is put inside double quotes, which the read removes again; any other value is kept.
std::string Valore_Ini_Protetto(const std::string& Codificato);

}  // namespace kyx
