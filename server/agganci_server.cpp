// Slots of the server link filled by the layers above it.
#include "server/agganci_server.h"

namespace kyx::agganci_server {

std::function<void()> Fine_Programma;
std::function<bool()> Collegamento_SQL;
std::function<bool(const std::string&)> Apri_DB_SQL;
std::function<void()> Chiudi_DB_SQL;

void reset() {
  Fine_Programma = nullptr;
  Collegamento_SQL = nullptr;
  Apri_DB_SQL = nullptr;
  Chiudi_DB_SQL = nullptr;
}

}  // namespace kyx::agganci_server
