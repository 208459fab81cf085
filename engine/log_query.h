#pragma once
// The query log: with the switch "/LOG" on the command line every query that an elaboration runs
// is appended to KYX.LOG in the program folder, one line each:
//   dd/mm/yyyy hh:nn:ss - <mode, 10 characters> - <number, at least 3 digits> - <query>
// Number 0 starts a new group and is preceded by an empty line. Lines end with CR LF.
#include <cstdint>
#include <string>

namespace kyx {

// Appends one entry, or does nothing without "/LOG" (upper case) in Riga_Comando. A file that
// cannot be written loses the entry silently: the log must never stop an elaboration.
void Scrivi_Log(const std::string& Etichetta, int32_t Numero, const std::string& Testo);

}  // namespace kyx
