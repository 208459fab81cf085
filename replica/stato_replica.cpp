#include "replica/stato_replica.h"

#include "platform/files/files.h"

namespace kyx {

int16_t Voce_Corrente = 1;
int16_t Numero_Voci = 1;
std::string File_Lavoro;
std::string Chiave_Corrente;
std::array<std::string, 257> Utenti_Replica{};
int16_t Numero_Layout = 0;

namespace stato_replica {
void reset() {
  Voce_Corrente = 1;
  Numero_Voci = 1;
  File_Lavoro = files::program_folder() + "Kyx__.DAT";
  Chiave_Corrente.clear();
  Utenti_Replica.fill("");
  Numero_Layout = 0;
}
}  // namespace stato_replica

}  // namespace kyx
