#include "ui/installa_dati_locali.h"

#include <QString>

#include "platform/text/cp1252.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/frm_menu_dati.h"
#include "views/elenco.h"

namespace kyx {

void Installa_Dati_Locali() {
  agganci_base::Carica_Elenco_Caricati = [](const std::string&) { Carica_Elenco_Caricati(); };
  agganci_base::frmMenuDati_Carica = [](const std::string& Tipo) { frmMenuDati->Carica(Tipo); };
  agganci_base::Popup[2] = []() -> ui::KyForm* { return frmMenuDati.peek(); };

  agganci_elenco::Ridimensiona = [] { frmBase->Ridimensiona(); };
  agganci_elenco::Imposta_Bar = [] { frmBase->Imposta_Bar(); };
  agganci_elenco::Didascalia_Elenco = [](const std::string& Didascalia) {
    const QString testo = QString::fromStdString(text::to_utf8(Didascalia));
    for (auto* etichetta : frmBase->lbl_twE) etichetta->setText(testo);
  };
}

}  // namespace kyx
