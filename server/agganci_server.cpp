// Slots of the server link filled by the layers above it.
#include "server/agganci_server.h"

namespace kyx::agganci_server {

std::function<void()> Fine_Programma;
std::function<void()> Collegamento_Chiuso;

void reset() {
  Fine_Programma = nullptr;
  Collegamento_Chiuso = nullptr;
}

}  // namespace kyx::agganci_server
