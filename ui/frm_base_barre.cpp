// frmBase: the two splitter bars. lblNS lies between the structure tree (above) and the filter
// tree (below), lblWE between the left panel and the result area. A press fixes the limits of the
// drag, the bar follows the cursor inside them while the left button alone is held, and the
// release turns its place into the share Per_Altezza or Per_Larghezza (kept within their bounds
// and saved with the settings at shut-down) and lays the window out again.
#include <QPointF>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/ui/vb_events.h"
#include "ui/frm_base.h"

namespace kyx {
namespace {

constexpr uint32_t kOmbra_Scura = 0x80000015;  // 3-D dark shadow: the bar being dragged

// The cursor in screen pixels at a bar's event (X, Y inside the bar): the drag follows the cursor,
// not the bar, which moves under it.
QPoint Cursore(const ui::PictureCanvas& Barra, float X, float Y) {
  return Barra.mapToGlobal(QPointF(X, Y)).toPoint();
}

}  // namespace

void FrmBase::lblNS_MouseDown(int, int, float X, float Y) {
  const int y = Cursore(*lblNS, X, Y).y();
  const double Decimo = 0.1 * (ScaleHeight() - 56);
  Barra_Scarto = static_cast<float>(y - lblNS->Top());
  Barra_Minimo = static_cast<float>(y - (lblNS->Top() - L_twL[0]->Y1()) + Decimo);
  Barra_Massimo = static_cast<float>(y + (ScaleHeight() - 26 - lblNS->Top()) - Decimo);
  lblNS->SetBackColor(kOmbra_Scura);
  lblNS->ZOrder(0);
}

void FrmBase::lblNS_MouseMove(int Button, int, float X, float Y) {
  if (Button != ui::vbLeftButton) return;
  const int y = Cursore(*lblNS, X, Y).y();
  if (Barra_Minimo < y && y < Barra_Massimo) lblNS->SetTop(y - Barra_Scarto);
}

void FrmBase::lblNS_MouseUp(int, int, float, float) {
  lblNS->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  const int Utile = ScaleHeight() - 56;
  if (Utile > 0) {
    Per_Altezza = (lblNS->Top() - L_twL[0]->Y1() + 2) / Utile;
    if (Per_Altezza < 0.1) Per_Altezza = 0.1;
    if (Per_Altezza > 0.9) Per_Altezza = 0.9;
  }
  Ridimensiona();
}

void FrmBase::lblWE_MouseDown(int, int, float X, float Y) {
  const int x = Cursore(*lblWE, X, Y).x();
  Barra_Scarto = static_cast<float>(x - lblWE->Left());
  Barra_Minimo = static_cast<float>(x - (lblWE->Left() - X - 80));
  Barra_Massimo = static_cast<float>(x + (ScaleWidth() / 2.0 - lblWE->Left() - X - 2));
  lblWE->SetBackColor(kOmbra_Scura);
  lblWE->ZOrder(0);
}

void FrmBase::lblWE_MouseMove(int Button, int, float X, float Y) {
  if (Button != ui::vbLeftButton) return;
  const int x = Cursore(*lblWE, X, Y).x();
  if (Barra_Minimo < x && x < Barra_Massimo) lblWE->SetLeft(x - Barra_Scarto);
}

void FrmBase::lblWE_MouseUp(int, int, float, float) {
  lblWE->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  if (ScaleWidth() > 0) {
    Per_Larghezza = (lblWE->Left() - 4.0) / ScaleWidth();
    if (static_cast<float>(77.0 / ScaleWidth()) > static_cast<float>(Per_Larghezza)) {
      Per_Larghezza = 77.0 / ScaleWidth();
    }
    if (Per_Larghezza > 0.5) Per_Larghezza = 0.5;
  }
  Ridimensiona();
}

}  // namespace kyx
