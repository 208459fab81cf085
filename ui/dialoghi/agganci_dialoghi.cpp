#include "ui/dialoghi/agganci_dialoghi.h"

namespace kyx::agganci_dialoghi {

std::function<void(std::string&)> Converti_Preferiti;
std::map<std::string, std::function<void(FrmOpzioni&)>, std::less<>> Opzioni;

void reset() {
  Converti_Preferiti = nullptr;
  Opzioni.clear();
}

}  // namespace kyx::agganci_dialoghi
