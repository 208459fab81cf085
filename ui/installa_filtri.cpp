#include "ui/installa_filtri.h"

#include "ui/agganci_base.h"
#include "ui/frm_base.h"

namespace kyx {

void Installa_Filtri() {
  agganci_base::Carica_Filtro_Modifica = [](int16_t Chiave, const std::string& Valore_1, const std::string& Valore_2,
                                            uint8_t Operatore, const std::string& Comando, bool Aggiorna_Albero) {
    frmBase->Carica_Filtro_Modifica(Chiave, Valore_1, Valore_2, Operatore, Comando, Aggiorna_Albero);
  };
  agganci_base::Carica_Albero_Chiavi = [] { frmBase->Carica_Albero_Chiavi(); };
}

}  // namespace kyx
