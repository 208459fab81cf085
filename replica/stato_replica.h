#pragma once
// The shared state of the replication program, one of each: the entry shown and the number of
// entries, the work file, the key of the row being written, the users read from the server and
// the number of the last layout.
#include <array>
#include <cstdint>
#include <string>

namespace kyx {

// The program's title, on the message boxes that are not the run's failures.
inline constexpr char kTitolo_Replica[] = "Q-KRE Replica";
// The title of every failure of a run.
inline constexpr char kTitolo_Errore_Replica[] = "Q-KRE Replica      ERRORE";

extern int16_t Voce_Corrente;  // the entry shown (1 .. Numero_Voci); the run's loop variable
extern int16_t Numero_Voci;
extern std::string File_Lavoro;      // Kyx__.DAT in the program folder
extern std::string Chiave_Corrente;  // the KYX_MASTER key of the row being written
// The user names of the server's list, slots 1 to 256 (slot 0 unused), each the 10 characters
// the server sent.
extern std::array<std::string, 257> Utenti_Replica;
// The number carried by the last layout record written.
extern int16_t Numero_Layout;

namespace stato_replica {
// Back to the state at program start; File_Lavoro from the program folder.
void reset();
}  // namespace stato_replica

}  // namespace kyx
