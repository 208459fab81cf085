#pragma once
// frmMenuDati: the pop-up menu of the local data sets, opened by the toolbar button "DatiLocali"
// (over the list of loaded sets) or by a click on a row of that list. It offers to refresh or
// delete the selected set, or to register and load a new one from the user's filter; the action
// itself is the data-sets module's (server/dati_locali.h). While an action runs only "Annulla"
// answers: it stops the download at its next request.
#include <array>
#include <cstdint>
#include <string>

#include "common/filtri_sql.h"
#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/simple_controls.h"
#include "server/dati_locali.h"

namespace kyx {

class FrmMenuDati : public ui::KyForm {
 public:
  FrmMenuDati();

  // "P" (from the toolbar) or a set number as text (from a row of the list).
  void Carica(const std::string& Tipo);

  // ---- Events ----
  void Item_Click(int Index);
  void Item_MouseMove(int Index);
  void Form_MouseMove();
  void cmdEsegui_Click();
  void cmdAnnulla_Click();
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;

  // ---- Controls ----
  std::array<ui::Label*, 3> Item;
  std::array<ui::Label*, 2> lbl_exe;
  ui::CommandButton* cmdEsegui;
  ui::CommandButton* cmdAnnulla;

  // ---- Form fields ----
  int Evidenziato = -1;      // highlighted item; -1 none
  Menu_Dati Menu;            // selected, new and existing set numbers, counters, cancel flag
  int32_t Elemento_Esistente = 0;  // the set already registered with this filter
  int64_t Record_Correnti = 0;     // records of the current system in KYX_CARICATI
  int64_t Record_Tutti = 0;
  Chiavi_Filtro Chiavi{};
  int16_t Stato = 0;         // 0 menu; 1 refresh, 2 delete, 3 new chosen; 4, 5, 6 running

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
};

inline ui::FormInstance<FrmMenuDati> frmMenuDati;

}  // namespace kyx
