// frmBase.Ridimensiona: the one place that arranges the main window. Everything is in the
// window's client pixels and recomputed from scratch on every call from the client size, the two
// splitter ratios and the display state.
#include <cmath>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/ui/colours.h"
#include "platform/ui/units.h"
#include "ui/agganci_base.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

int32_t Arrotonda(double v) { return static_cast<int32_t>(ui::round_even(v)); }

// A block: its sunken frame, its caption strip with a raised frame and two caption labels.
void Veste_Blocco(std::array<ui::LineControl*, 8>& L, std::array<ui::VbControl<QLabel>*, 2>& lbl,
                  int32_t Left, int32_t Top, int32_t W, int32_t H, int32_t C) {
  Posiziona_Cornice(Left, Top, W, H, *L[0], *L[1], *L[2], *L[3]);
  Posiziona_Cornice(Left + 1, Top + 1, W - 2 + Aspetto_Piatto, C, *L[4], *L[5], *L[6], *L[7]);
  lbl[0]->Move(Left + 1, Top + 4, W, C - 5);
  lbl[1]->Move(Left + 2, Top + 5, W, C - 6);
}

}  // namespace

void FrmBase::Ridimensiona() {
  // 1., 2. Toolbar and status bar.
  Toolbar1->Move(4, 4);
  if (Aspetto == 2) {
    StatusBar1->SetAlign(ui::vbAlignNone);
    StatusBar1->Move(0, ScaleHeight() - StatusBar1->Height(), ScaleWidth(), StatusBar1->Height());
  } else {
    StatusBar1->SetAlign(ui::vbAlignBottom);
  }

  // 3. The pane area between the toolbar and the status bar.
  const int32_t Margine = 3;
  const int32_t Area_Top = Arrotonda(Toolbar1->Height() + 8);
  const int32_t Area_Larghezza = ScaleWidth();
  const int32_t Area_Altezza =
      Arrotonda(ScaleHeight() - Area_Top - StatusBar1->Height() - 3.0);

  // 4. Logo at the top right.
  Image1->Move(Area_Larghezza - Image1->Width() - 4, 0);

  // 5. The left pane keeps at least 77 pixels; the new share is kept and saved at shut-down.
  if (ScaleWidth() > 0 &&
      static_cast<float>(77.0 / ScaleWidth()) > static_cast<float>(Per_Larghezza)) {
    Per_Larghezza = 77.0 / ScaleWidth();
  }

  // 6. Upper tree block.
  int32_t L = Margine;
  int32_t T = Area_Top;
  int32_t W = Arrotonda(Area_Larghezza * Per_Larghezza);
  int32_t H = Arrotonda(Area_Altezza * Per_Altezza - 2);
  const int32_t C = Arrotonda(300.0 / Twips_Pixel_X);

  // 7. Splitter bars.
  lblNS->Move(L, T + H, W + 1, 4);
  lblWE->Move(L + W + 1, Area_Top, 4, Area_Altezza);

  // 8., 9. The structure tree and the layout-order button.
  Veste_Blocco(L_twL, lbl_twL, L, T, W, H, C);
  twL->Move(L + 2, T + C + 2, W - 3, H - C - 4);
  PicLayout->Move(L + W - PicLayout->Width() - 2, T + 3);

  // 10. Lower tree block: down to the end of the pane area.
  T = T + H + 4;
  H = Area_Altezza - T + Area_Top;
  Veste_Blocco(L_twF, lbl_twF, L, T, W, H, C);
  twF->Move(L + 2, T + C + 2, W - 3, H - C - 4);

  // 11. Right pane.
  L = Margine + W + 5;
  T = Area_Top;
  W = Area_Larghezza - W - 12;
  H = Area_Altezza;
  Veste_Blocco(L_twE, lbl_twE, L, T, W, H, C);

  // 12. Chart and its page bar.
  Grafico->Move(L + 2, T + C + 2, W - 3, H - C - 4 - Pixel_255_Y);
  Scroll_G->Move(L + 2, T + H - 2 - Pixel_255_Y, W - 3, Pixel_255_Y);

  // 13. Decode panel at the chart's lower right (left and width not rounded).
  pnlDecod->Move(L + 0.7 * (W - 3), T + H - 77 - Pixel_255_Y, 0.3 * (W - 3) - 1, 72);
  const int Larghezza_Decod = pnlDecod->Width();
  lblX->Move(4, 4, Larghezza_Decod - 8, 16);
  lblXDec->Move(4, 20, Larghezza_Decod - 8, 16);
  lblY->Move(4, 36, Larghezza_Decod - 8, 16);
  lblZ->Move(4, 52, Larghezza_Decod - 8, 16);
  Posiziona_Cornice(0, 0, Larghezza_Decod - 1, pnlDecod->Height(), *L_Grd[0], *L_Grd[1],
                    *L_Grd[2], *L_Grd[3]);

  // 14., 15. Filter panel: one box line for plain keys, the whole pane for date keys.
  const int32_t Altezza_Pannello_Filtro =
      Tipo_Data_Chiave == 0 ? Arrotonda(720.0 / Twips_Pixel_Y) : H - C - 5;
  Posiziona_Cornice(L + 3, T + C + 3, W - 6, Altezza_Pannello_Filtro, *L_Flt[0], *L_Flt[1],
                    *L_Flt[2], *L_Flt[3]);
  Flt_Toolbar->Move(L + 6, T + C + 6);
  Flt_Pic[1]->Move(Flt_Toolbar->Left() + Flt_Toolbar->Width(), T + C + 9);
  Flt_Pic[2]->Move(Flt_Pic[1]->Left(), Flt_Pic[1]->Top());
  Flt_Pic[3]->Move(Flt_Pic[1]->Left(), Flt_Pic[1]->Top());
  Flt_Pic[0]->Move(Flt_Pic[1]->Left(), Flt_Pic[1]->Top() + Flt_Pic[1]->Height() + 60.0 / Twips_Pixel_Y);
  for (int i : {1, 0}) {
    Flt_txt[i]->Move(Flt_Pic[i]->Left() + Flt_Pic[i]->Width() + 3, Flt_Pic[i]->Top() - 1,
                     MonthView1->Width());
    Flt_Data_pic[i]->Move(Flt_txt[i]->Left() + Flt_txt[i]->Width() + 2, Flt_txt[i]->Top());
  }

  // 16. What the filter panel shows: only while a key's codes are listed.
  Flt_Toolbar->SetVisible(Modo_Griglia == 1);
  const bool Pannello = Flt_Toolbar->Visible();
  Flt_Pic[1]->SetVisible(Pannello && Operatore_Filtro == 1);
  Flt_Pic[2]->SetVisible(Pannello && Operatore_Filtro == 2);
  Flt_Pic[3]->SetVisible(Pannello && Operatore_Filtro == 3);
  Flt_Pic[0]->SetVisible(Flt_Pic[3]->Visible());
  Flt_txt[1]->SetVisible(Pannello);
  Flt_txt[0]->SetVisible(Flt_Pic[3]->Visible());
  Flt_txt[1]->setReadOnly(Filtro_Stato_2);
  Flt_txt[0]->setReadOnly(Flt_txt[1]->isReadOnly());
  {
    const uint32_t Fondo = Filtro_Stato_2 ? 0x8000000F : 0x80000005;
    for (auto* t : Flt_txt) {
      QPalette pal = t->palette();
      pal.setColor(QPalette::Base, ui::ole_to_qcolor(Fondo));
      t->setPalette(pal);
    }
  }
  Flt_Data_pic[1]->SetVisible(Flt_txt[1]->Visible() && Tipo_Data_Chiave == 1);
  Flt_Data_pic[0]->SetVisible(Flt_txt[0]->Visible() && Tipo_Data_Chiave == 1);
  for (auto* l : L_Flt) l->SetVisible(Pannello);

  // 17. An open calendar closes as on its loss of focus, without writing a date.
  if (MonthView1->Visible()) MonthView1_LostFocus();

  // 18. Grid (and the banner centred on it) below the caption strip, or below the filter panel.
  if (Tipo_Data_Chiave == 0) {
    if (Modo_Griglia == 1) {
      T = T + Altezza_Pannello_Filtro + 3;
      H = H - Altezza_Pannello_Filtro - 3;
    }
    Grid1->Move(L + 1, T + C + 1, W - 1 - Pixel_255_X, H - C - 2 - Pixel_255_Y);
    Beta->Move(Grid1->Left() + (Grid1->Width() - Beta->Width()) / 2.0,
               Grid1->Top() + (Grid1->Height() - Beta->Height()) / 2.0);
  }

  // 19. The grid's scroll bars, from the grid's current size.
  Scroll_V->Move(L + W - 1 - Pixel_255_X, T + C + 2, Pixel_255_X, Grid1->Height() - 2);
  Scroll_O->Move(L + 2, T + H - 2 - Pixel_255_Y, Grid1->Width() - 2, Pixel_255_Y);

  // 20. Grid or chart.
  const bool Griglia = Tipo_Data_Chiave == 0 && !Grafico_Visibile;
  Grid1->SetVisible(Griglia);
  Scroll_V->SetVisible(Griglia);
  Scroll_O->SetVisible(Griglia);
  for (QWidget* w : {static_cast<QWidget*>(Grafico), static_cast<QWidget*>(Scroll_G),
                     static_cast<QWidget*>(pnlDecod), static_cast<QWidget*>(lblX),
                     static_cast<QWidget*>(lblXDec), static_cast<QWidget*>(lblY),
                     static_cast<QWidget*>(lblZ)}) {
    w->setVisible(Grafico_Visibile);
  }

  // 21. The column header strip over the grid.
  if (agganci_base::KyHead_Aggiorna) agganci_base::KyHead_Aggiorna();

  // 22. The first layout reveals the chrome the window was created without.
  if (Stato_Ridimensiona == 0) {
    Stato_Ridimensiona = -1;
    lblNS->SetVisible(true);
    lblWE->SetVisible(true);
    for (auto* blocco : {&L_twL, &L_twF, &L_twE}) {
      for (auto* l : *blocco) l->SetVisible(true);
    }
    for (auto* lbl : {&lbl_twL, &lbl_twF, &lbl_twE}) {
      for (auto* e : *lbl) e->SetVisible(true);
    }
    twL->SetVisible(true);
    twF->SetVisible(true);
  }
}

}  // namespace kyx
