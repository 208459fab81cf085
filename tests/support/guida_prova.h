#pragma once
// A small compiled help file for the tests: one page per topic of the program's help map (each
// page reads "Argomento nnnnn"), and "index.htm" as default topic ("Indice della guida"). Built
// with the free compiler chmcmd when it is installed, else copied from the file we built with it
// (tests/fixtures/guida/KYX.CHM, from the sources beside it).
#include <string>
#include <vector>

namespace kyx::test {

// Every topic the help map names.
const std::vector<std::string>& Argomenti_Guida();

// The help file built beforehand, for machines without the compiler.
std::string File_Guida_Fissa();

// Writes the help file as `cartella`/KYX.CHM; false when neither way worked.
bool Crea_Guida(const std::string& cartella);

}  // namespace kyx::test
