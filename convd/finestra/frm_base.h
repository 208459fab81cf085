#pragma once
// The one window of the conversion program: a label that shows the step under way. Loading the
// window runs the conversion of the KYX_1.MDB of the current folder; the window stays open when
// the conversion ends, and the program ends when the user closes it.
#include <string>

#include "convd/conversione.h"
#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/simple_controls.h"

namespace kyx::convd {

class FrmBase : public ui::KyForm {
 public:
  FrmBase();

  // Clears the label, shows the window, lets it paint and converts the current folder.
  void Form_Load() override;
  // Converts `Cartella` + "/KYX_1.MDB", each step's caption in Label1.
  void Converti_Descrizioni(const std::string& Cartella);

  ui::Label* Label1;
  // How the last conversion ended.
  Risultato Ultimo;
};

inline ui::FormInstance<FrmBase> frmBase;

}  // namespace kyx::convd
