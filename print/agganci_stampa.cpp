#include "print/agganci_stampa.h"

namespace kyx::agganci_stampa {

std::function<int32_t()> hWnd_Base;
std::function<std::string()> Titolo_Griglia;
std::function<void(bool)> Prepara_Grafico;
std::function<QImage()> Immagine_Grafico;

void reset() {
  hWnd_Base = nullptr;
  Titolo_Griglia = nullptr;
  Prepara_Grafico = nullptr;
  Immagine_Grafico = nullptr;
}

}  // namespace kyx::agganci_stampa
