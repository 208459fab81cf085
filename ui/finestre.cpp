#include "ui/finestre.h"

#include <QPalette>

#include "platform/ui/colours.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"

namespace kyx {

bool XPStyle_Inizializza() { return true; }

void Imposta_Finestra_Dialogo(int32_t hWnd) {
  ui::KyForm* form = ui::KyForm::FromHwnd(hWnd);
  if (!form) return;
  Qt::WindowFlags flags = form->windowFlags();
  flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
             Qt::WindowMinMaxButtonsHint);
  flags |= Qt::WindowContextHelpButtonHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
           Qt::WindowCloseButtonHint;
  if (flags == form->windowFlags()) return;
  // Changing the flags hides a top-level window; it comes back where it was.
  const bool visibile = form->isVisible();
  const QRect geometria = form->geometry();
  form->setWindowFlags(flags);
  form->setGeometry(geometria);
  if (visibile) form->show();
}

void Posiziona_Cornice(double Left, double Top, double Width, double Height, ui::LineControl& Linea1,
                       ui::LineControl& Linea2, ui::LineControl& Linea3, ui::LineControl& Linea4) {
  const double R = Left + Width;
  const double B = Top + Height;
  Linea1.SetEnds(Left, Top, R, Top);
  Linea2.SetEnds(R, Top, R, B);
  Linea4.SetEnds(Left, Top, Left, B - 1);
  Linea3.SetEnds(Left, B - 1, R, B - 1);
}

int32_t Traduci_Colore(int32_t Colore, int16_t Palette) {
  const uint32_t v = static_cast<uint32_t>(Colore);
  switch (v >> 24) {
    case 0x00:
    case 0x02:  // palette-relative RGB: the colour itself
      return static_cast<int32_t>(v & 0xFFFFFF);
    case 0x01:
      // A palette index: no palette is ever realised in this program, so the index means
      // nothing and the translation fails whatever Palette says.
      (void)Palette;
      return 65535;
    case 0x80:
      // The system colour table has 31 entries (0 .. 30).
      if ((v & 0xFFFFFF) > 30) return 65535;
      return static_cast<int32_t>(ui::qcolor_to_ole(ui::ole_to_qcolor(v)));
    default:
      return 65535;
  }
}

QBrush Crea_Pennello(int32_t Colore) {
  return QBrush(ui::ole_to_qcolor(static_cast<uint32_t>(Traduci_Colore(Colore, 0))));
}

void Imposta_Sfondo_Finestra(QWidget& Finestra, int32_t Colore) {
  QPalette pal = Finestra.palette();
  pal.setBrush(QPalette::Window, Crea_Pennello(Colore));
  pal.setBrush(QPalette::Button, Crea_Pennello(Colore));
  Finestra.setPalette(pal);
  Finestra.setAutoFillBackground(true);
  Finestra.update();
}

void Imposta_Sfondo_Finestra(int32_t hWnd, int32_t Colore) {
  if (ui::KyForm* form = ui::KyForm::FromHwnd(hWnd)) Imposta_Sfondo_Finestra(*form, Colore);
}

}  // namespace kyx
