#pragma once
// frmMenuRiga: the element card. A right press on a grid cell opens it near the pointer with the
// pressed element's key name as its title, its code, its description and the key's twelve
// attribute titles beside the element's attribute values, read from the local keys and
// descriptions tables. It is a pop-up of the main window: the main window is gated while it is
// open, and a press on the main window closes it.
#include <array>
#include <cstdint>
#include <string>

#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"
#include "platform/ui/simple_controls.h"

namespace kyx {

class FrmMenuRiga : public ui::KyForm {
 public:
  FrmMenuRiga();

  // Fills, places and shows the card for key number Chiave and element code Elemento.
  void Carica(int16_t Chiave, const std::string& Elemento);
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;
  void Form_Unload(int16_t& Cancel) override;

  // lbl(0..13): the captions of the fourteen lines; lbl(14..27): their values.
  std::array<ui::Label*, 28> lbl{};
  // The frame: top, right, bottom, left.
  std::array<ui::LineControl*, 4> L1_{};

 private:
  void Riempi(int16_t Chiave, const std::string& Elemento);
  void Colloca();
};

inline ui::FormInstance<FrmMenuRiga> frmMenuRiga;

}  // namespace kyx
