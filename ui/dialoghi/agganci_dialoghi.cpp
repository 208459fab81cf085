#include "ui/dialoghi/agganci_dialoghi.h"

namespace kyx::agganci_dialoghi {

std::function<void(std::string&)> Converti_Preferiti;
std::map<std::string, std::function<void(FrmOpzioni&)>, std::less<>> Opzioni;
std::function<void(FrmOpzioni&, int, int, int)> lblColoreRiga_MouseUp;
std::function<void(FrmOpzioni&, int, int, int)> lblColoreLiv_MouseUp;

void reset() {
  Converti_Preferiti = nullptr;
  Opzioni.clear();
  lblColoreRiga_MouseUp = nullptr;
  lblColoreLiv_MouseUp = nullptr;
}

}  // namespace kyx::agganci_dialoghi
