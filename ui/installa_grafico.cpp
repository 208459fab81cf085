#include "ui/installa_grafico.h"

#include "platform/ui/colour_dialog_qt.h"
#include "ui/agganci_base.h"
#include "ui/frm_menu_opzioni.h"
#include "views/grafico.h"

namespace kyx {

void Installa_Grafico() {
  agganci_base::Visualizza_Grafico = [] { Visualizza_Grafico(); };
  agganci_base::Azioni["Visualizza"] = [] { frmMenuOpzioni->Carica(); };
  agganci_base::Popup[kFormAperto_MenuOpzioni] = []() -> ui::KyForm* {
    return frmMenuOpzioni.Loaded() ? &frmMenuOpzioni.get() : nullptr;
  };
  ui::install_colour_dialog();
}

}  // namespace kyx
