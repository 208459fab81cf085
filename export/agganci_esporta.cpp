#include "export/agganci_esporta.h"

namespace kyx::agganci_esporta {

std::function<std::string()> Titolo_Griglia;
std::function<int32_t()> Colore_Griglia;
std::function<void()> Segna_Inizio;

void reset() {
  Titolo_Griglia = nullptr;
  Colore_Griglia = nullptr;
  Segna_Inizio = nullptr;
}

}  // namespace kyx::agganci_esporta
