#include "export/installa/installa_esporta.h"

#include "export/agganci_esporta.h"
#include "export/esporta.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/simple_controls.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

void Installa_Esporta() {
  agganci_base::Azioni["Salva"] = [] { Esporta(); };
  agganci_esporta::Titolo_Griglia = [] { return ui::Cp(frmBase->lbl_twE[0]->text()); };
  agganci_esporta::Colore_Griglia = [] { return static_cast<int32_t>(frmBase->Grid1->GridColor()); };
  agganci_esporta::Segna_Inizio = [] {
    Tempo_Inizio = static_cast<float>(agganci_base::Orologio ? agganci_base::Orologio() : 0.0);
  };
}

}  // namespace kyx
