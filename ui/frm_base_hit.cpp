// frmBase: the toolbars' own hit test. A press selects the button under the pointer and shows it
// pressed, moving shows it pressed only while the pointer is over it, and a release over the same
// button runs its command. Also the Enter key of the filter boxes.
#include "common/modello.h"
#include "common/stato.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

bool FrmBase::Sul_Pulsante(ui::ToolbarButton& Pulsante) const {
  // Edges included; separators and disabled buttons never count.
  if (Pulsante.Style() == ui::tbrSeparator || !Pulsante.Enabled()) return false;
  return Pulsante.Top() <= Mouse_Y && Mouse_Y <= Pulsante.Top() + Pulsante.Height() &&
         Pulsante.Left() <= Mouse_X && Mouse_X <= Pulsante.Left() + Pulsante.Width();
}

void FrmBase::Toolbar_MouseDown(ui::KeyedToolbar& Barra, int Button, int Shift, float X, float Y) {
  (void)Button;
  (void)Shift;
  Pulsante_Premuto = 0;
  // The toolbar reports twips; the buttons' geometry is in pixels.
  Mouse_X = static_cast<float>(X / Twips_Pixel_X);
  Mouse_Y = static_cast<float>(Y / Twips_Pixel_Y);
  for (int i = 1; i <= Barra.Count(); ++i) {
    ui::ToolbarButton& b = Barra.Buttons(i);
    if (Sul_Pulsante(b)) {
      Pulsante_Premuto = static_cast<int16_t>(i);
      b.SetValue(ui::tbrPressed);
      break;
    }
  }
}

void FrmBase::Toolbar_MouseMove(ui::KeyedToolbar& Barra, int Button, int Shift, float X, float Y) {
  (void)Button;
  (void)Shift;
  if (Pulsante_Premuto <= 0 || Pulsante_Premuto > Barra.Count()) return;
  Mouse_X = static_cast<float>(X / Twips_Pixel_X);
  Mouse_Y = static_cast<float>(Y / Twips_Pixel_Y);
  ui::ToolbarButton& b = Barra.Buttons(Pulsante_Premuto);
  b.SetValue(Sul_Pulsante(b) ? ui::tbrPressed : ui::tbrUnpressed);
}

void FrmBase::Toolbar_MouseUp(ui::KeyedToolbar& Barra, int Button, int Shift, float X, float Y) {
  (void)Shift;
  if (Pulsante_Premuto <= 0 || Pulsante_Premuto > Barra.Count()) return;
  Mouse_X = static_cast<float>(X / Twips_Pixel_X);
  Mouse_Y = static_cast<float>(Y / Twips_Pixel_Y);
  ui::ToolbarButton& b = Barra.Buttons(Pulsante_Premuto);
  // The command runs before the button comes up: the window is gated meanwhile, so no second
  // press can start.
  if (Sul_Pulsante(b)) Esegui_Pulsante(b, Button);
  b.SetValue(ui::tbrUnpressed);
  Pulsante_Premuto = 0;
}

void FrmBase::Flt_txt_KeyPress(int Index, int& KeyAscii) {
  if (KeyAscii != 13) return;
  if (Index == 1 && Flt_txt[0]->Visible()) {
    Flt_txt[0]->SetFocus();
    return;
  }
  // The same command as "FiltroBoxAggiorna", without the frame of the dispatcher.
  Chiama_Filtro("P+");
}

}  // namespace kyx
