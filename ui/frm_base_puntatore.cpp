// frmBase: where the wheel and the pointer go, and the layout-order button PicLayout. The window
// procedure hands over wheel turns and, while PicLayout is lit, pointer moves on the window's own
// surface, both in screen pixels; they are brought back to the window's client pixels the way the
// window's own measures allow (its outer size less the client, the bottom border taken as wide as
// the side ones).
#include <cstdint>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/ui/units.h"
#include "platform/vb/vb.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

constexpr uint32_t kLuce = 0x80000014;         // 3-D highlight
constexpr uint32_t kOmbra = 0x80000010;        // 3-D shadow
constexpr uint32_t kOmbra_Scura = 0x80000015;  // 3-D dark shadow

int32_t Intero(double v) { return static_cast<int32_t>(ui::round_even(v)); }

// Screen pixels to the client pixels of the main window.
QPoint Nel_Client(const FrmBase& f, int32_t X, int32_t Y) {
  const int32_t b = Intero((f.Width() / Twips_Pixel_X - f.ScaleWidth()) / 2);
  const int32_t px = Intero(X - f.Left() / Twips_Pixel_X - b);
  const int32_t py = Intero(Y - (f.Top() + f.Height()) / Twips_Pixel_Y + f.ScaleHeight() + b);
  return {px, py};
}

// A panel's extent from its frame lines, edges included: line 0 runs along its top, line 3 down
// its left side.
bool Nel_Pannello(const std::array<ui::LineControl*, 8>& L, QPoint p) {
  return L[0]->X1() <= p.x() && p.x() <= L[0]->X2() && L[3]->Y1() <= p.y() && p.y() <= L[3]->Y2();
}

}  // namespace

void FrmBase::Collega_Puntatore() {
  PicLayout->MouseDown = [this](int b, int s, float x, float y) { PicLayout_MouseDown(b, s, x, y); };
  PicLayout->MouseMove = [this](int b, int s, float x, float y) { PicLayout_MouseMove(b, s, x, y); };
  PicLayout->MouseUp = [this](int b, int s, float x, float y) { PicLayout_MouseUp(b, s, x, y); };
  lblNS->MouseDown = [this](int b, int s, float x, float y) { lblNS_MouseDown(b, s, x, y); };
  lblNS->MouseMove = [this](int b, int s, float x, float y) { lblNS_MouseMove(b, s, x, y); };
  lblNS->MouseUp = [this](int b, int s, float x, float y) { lblNS_MouseUp(b, s, x, y); };
  lblWE->MouseDown = [this](int b, int s, float x, float y) { lblWE_MouseDown(b, s, x, y); };
  lblWE->MouseMove = [this](int b, int s, float x, float y) { lblWE_MouseMove(b, s, x, y); };
  lblWE->MouseUp = [this](int b, int s, float x, float y) { lblWE_MouseUp(b, s, x, y); };
}

ui::VbScrollBar* FrmBase::Barra_Rotella(int32_t Tasti, int32_t X, int32_t Y) const {
  const QPoint p = Nel_Client(*this, X, Y);
  if (Nel_Pannello(L_twL, p) || Nel_Pannello(L_twF, p) || !Nel_Pannello(L_twE, p)) return nullptr;
  // Any key or button held turns the grid's wheel sideways; the chart has one bar.
  if (Grid1->Visible()) return Tasti == 0 ? Scroll_V : Scroll_O;
  if (Grafico->Visible()) return Scroll_G;
  return nullptr;
}

void FrmBase::xMouseWheel(int32_t Tasti, int32_t Scatti, int32_t X, int32_t Y) {
  const QPoint p = Nel_Client(*this, X, Y);
  if (Nel_Pannello(L_twL, p)) {
    twL->SetFocus();
    return;
  }
  if (Nel_Pannello(L_twF, p)) {
    twF->SetFocus();
    return;
  }
  ui::VbScrollBar* Barra = Barra_Rotella(Tasti, X, Y);
  if (!Barra) return;
  if (Barra == Scroll_G) {
    Grafico->SetFocus();
  } else {
    Grid1->SetFocus();
  }
  // A turn that would leave the range moves nothing: the bar is not held at its end.
  const int64_t Obiettivo = int64_t{Barra->Value()} - Scatti;
  if (Barra->Enabled() && Barra->Min() <= Obiettivo && Obiettivo <= Barra->Max()) {
    Barra->SetValue(static_cast<int32_t>(Obiettivo));
  }
}

void FrmBase::xMouseMove(int32_t X, int32_t Y) {
  const QPoint p = Nel_Client(*this, X, Y);
  const ui::PictureCanvas& b = *PicLayout;
  if (p.x() < b.Left() || p.x() > b.Left() + b.Width() || p.y() < b.Top() || p.y() > b.Top() + b.Height()) {
    Pic_Layout_Set(0);
  }
}

void FrmBase::Pic_Layout_Set(int16_t Stato) {
  if (Stato == Stato_PicLayout) return;
  Stato_PicLayout = Stato;
  ui::PictureCanvas& b = *PicLayout;
  b.SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  b.Cls();
  if (Stato > 0) {
    // Raised while the pointer is over it, sunken while it is held down.
    const uint32_t A = Stato == 1 ? kLuce : kOmbra;
    const uint32_t B = Stato == 1 ? kOmbra : kLuce;
    for (int i = 15; i >= 0; --i) {
      b.PSet(static_cast<float>(i), 0, A);
      b.PSet(0, static_cast<float>(i), A);
      b.PSet(static_cast<float>(i), 15, B);
      b.PSet(15, static_cast<float>(i), B);
    }
  }
  // The triangle of the order: upper-right half for layouts first, lower-left half for areas first.
  for (int x = 4; x <= 11; ++x) {
    const int Da = Ordinamento_Layout != 0 ? 4 : x;
    const int A = Ordinamento_Layout != 0 ? x : 11;
    for (int y = Da; y <= A; ++y) b.PSet(static_cast<float>(x), static_cast<float>(y), kOmbra_Scura);
  }
}

void FrmBase::PicLayout_MouseDown(int, int, float, float) { Pic_Layout_Set(2); }

void FrmBase::PicLayout_MouseMove(int, int, float, float) { Pic_Layout_Set(1); }

void FrmBase::PicLayout_MouseUp(int, int, float, float) {
  // The layout's tree key follows the new order: its three groups of four characters turn round.
  const bool Chiave = !vb::Trim(Chiave_Layout).empty();
  if (Ordinamento_Layout == 1) {
    if (Chiave) Chiave_Layout = vb::Mid(Chiave_Layout, 5, 8) + vb::Mid(Chiave_Layout, 1, 4);
    Ordinamento_Layout = 0;
  } else {
    if (Chiave) Chiave_Layout = vb::Mid(Chiave_Layout, 9, 4) + vb::Mid(Chiave_Layout, 1, 8);
    Ordinamento_Layout = 1;
  }
  Carica_Albero_Struttura();
}

}  // namespace kyx
