#include "ui/installa_viste.h"

#include "engine/agganci_motore.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"
#include "views/agganci_viste.h"
#include "views/griglia.h"

namespace kyx {

void Installa_Viste() {
  namespace av = agganci_viste;
  av::Griglia = [] {
    FrmBase& f = *frmBase;
    return av::Controlli{f.Grid1, f.Scroll_V, f.Scroll_O};
  };
  av::Ridimensiona = [] { frmBase->Ridimensiona(); };
  av::KyHead_Aggiorna = [] { frmBase->KyHead_Aggiorna(); };
  av::Abilita_Base = [](bool Abilitato) { frmBase->SetEnabled(Abilitato); };
  av::Imposta_Puntatore = [](int16_t Forma) { Imposta_Puntatore(Forma); };
  av::Visualizza_Grafico = [] {
    if (agganci_base::Visualizza_Grafico) agganci_base::Visualizza_Grafico();
  };

  agganci_base::Visualizza_Griglia = [] { Visualizza_Griglia(); };
  agganci_base::Visualizza_Ordina = [] { Visualizza_Ordina(); };
  agganci_base::KyHead_Initialize = [] { frmBase->KyHead_Initialize(); };
  agganci_base::KyHead_Aggiorna = [] { frmBase->KyHead_Aggiorna(); };
  agganci_motore::Visualizza_Larghezza_Colonne = [](int32_t Colonna, int16_t Intestazioni, int16_t Applica) {
    Visualizza_Larghezza_Colonne(Colonna, Intestazioni, Applica);
  };
}

}  // namespace kyx
