#pragma once
// frmMenuOpzioni: the pop-up " Imposta visualizzazione" in which the user sets how the chart is
// drawn and the reference year of the layouts. Every change takes effect at once: a chart option
// is stored in its setting and the chart redrawn when it is shown; a new reference year runs the
// current elaboration again. The settings are written to the settings file at shut-down.
#include <QLabel>
#include <array>
#include <cstdint>

#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"
#include "platform/ui/simple_controls.h"

namespace kyx {

class FrmMenuOpzioni : public ui::KyForm {
 public:
  FrmMenuOpzioni();

  // Opens the window at the pointer, filled from the settings.
  void Carica();

  // ---- Events ----
  void Grafico_Tipo_Click();
  // Index of the check box in Caselle (the order of the controls' table).
  void Casella_Click(int Indice);
  void txtElemGrafico_Change();
  void Anno_Corrente_Click();
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;
  void Form_Unload(int16_t& Cancel) override;

  // ---- Controls ----
  ui::Label* Label1;
  ui::ComboBox* Grafico_Tipo;
  ui::CheckBox* Grafico_Perc;
  ui::CheckBox* Grafico_Serie;
  ui::CheckBox* Grafico_InRighe;
  ui::CheckBox* Grafico_Y_Etichette;
  ui::CheckBox* Grafico_Y_Etichette_dx;
  ui::CheckBox* Grafico_Y_Divisioni;
  ui::CheckBox* Grafico_X_Etichette;
  ui::CheckBox* Grafico_X_Divisioni;
  std::array<ui::CheckBox*, 8> Caselle;
  ui::Label* lbl16;
  ui::TextBox* txtElemGrafico;
  ui::Label* lbl_Anno_Corrente;
  ui::ComboBox* Anno_Corrente;
  std::array<ui::LineControl*, 4> Linee;

  // First year of the year list (the current year + 3).
  int32_t Anno_Iniziale = 0;

 private:
  bool Caricamento = false;
  bool Anno_Bloccato = false;
};

inline ui::FormInstance<FrmMenuOpzioni> frmMenuOpzioni;

// Position of frmMenuOpzioni among the open flags Form_Aperto.
inline constexpr int kFormAperto_MenuOpzioni = 4;

}  // namespace kyx
