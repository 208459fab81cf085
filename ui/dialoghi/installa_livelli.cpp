#include "ui/dialoghi/installa_livelli.h"

#include <cstdint>
#include <string>

#include "ui/agganci_base.h"
#include "ui/dialoghi/frm_menu_livelli.h"
#include "ui/frm_base.h"

namespace kyx {

void Installa_Livelli() {
  agganci_base::Carica_Albero_Struttura = [] { frmBase->Carica_Albero_Struttura(); };
  agganci_base::Carica_da_TW = [](const std::string& Chiave_Nodo) { frmMenuLivelli->Carica_da_TW(Chiave_Nodo); };
  agganci_base::Carica_da_Drill = [](int16_t Chiave, const std::string& Elemento) {
    frmMenuLivelli->Carica_da_Drill(Chiave, Elemento);
  };
  agganci_base::Popup[3] = []() -> ui::KyForm* { return frmMenuLivelli.peek(); };
}

}  // namespace kyx
