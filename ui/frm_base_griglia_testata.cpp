// frmBase: the column header strip KyHead. The grid does not draw its header row itself: the strip
// lies over it and paints the headings as raised cells with captions in several lines ("|"
// separates them) and the sort glyph, and it takes the mouse over the header: a sizing pointer
// near a column's right border, a drag of that border with the bar KyHead_Asta, an auto-fit on a
// right press at a border, a sort on a left press inside a heading, the column menu on a right
// press inside a heading.
#include <algorithm>
#include <array>
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "layouts/layout.h"
#include "platform/host/system_colours.h"
#include "platform/ui/colours.h"
#include "platform/ui/pointer.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace kyx {
namespace {

constexpr uint32_t kFaccia = 0x8000000F;      // button face
constexpr uint32_t kLuce = 0x80000014;        // 3-D highlight
constexpr uint32_t kOmbra = 0x80000010;       // 3-D shadow
constexpr uint32_t kTesto = 0x80000012;       // button text
constexpr uint32_t kFinestra = 0x80000005;    // window background
constexpr uint32_t kOmbra_Scura = 0x80000015; // 3-D dark shadow

double Tpx() { return Twips_Pixel_X > 0 ? Twips_Pixel_X : 15.0; }
int32_t Pixel(double v) { return static_cast<int32_t>(vb::RoundHalfEven(v)); }

// The drop-down glyphs of the filter date button: 19 rows of 16 digits, each digit an entry of the
// six-colour table (face, highlight, shadow, text, window, dark shadow).
std::array<std::string, 19> Glifo(bool premuto) {
  const std::string bordo = premuto ? "2022222222222101" : "2011111111111201";
  const std::string vuota = premuto ? "2020000000000101" : "2010000000000201";
  const std::string fondo = premuto ? "2021111111111101" : "2022222222222201";
  std::array<std::string, 19> righe;
  righe[0] = "2222222222222221";
  righe[1] = "2000000000000001";
  righe[2] = bordo;
  for (int i = 3; i < 7; ++i) righe[static_cast<size_t>(i)] = vuota;
  const std::array<std::string, 4> punte = premuto
      ? std::array<std::string, 4>{"2020333333330101", "2020033333300101", "2020003333000101", "2020000330000101"}
      : std::array<std::string, 4>{"2010333333330201", "2010033333300201", "2010003333000201", "2010000330000201"};
  for (int i = 0; i < 4; ++i) righe[static_cast<size_t>(7 + i)] = punte[static_cast<size_t>(i)];
  for (int i = 11; i < 16; ++i) righe[static_cast<size_t>(i)] = vuota;
  righe[16] = fondo;
  righe[17] = "2000000000000001";
  righe[18] = "1111111111111111";
  return righe;
}

// The sort glyph of the cell whose left edge is at x = l: a solid triangle 9 pixels wide and 8
// high, apex up (ascending) or down, in the header's text colour. Edges in the 3-D highlight
// vanish on a light header; the text colour always stands out from the header's background.
void Simbolo_Ordinamento(ui::PictureCanvas& KyHead, float l, bool Crescente) {
  const auto colore = static_cast<uint32_t>(Colori[4]);
  for (int r = 0; r <= 7; ++r) {
    // Row r from the apex: half a pixel wider on each side every 7/4 rows, as the outline ran.
    const float mezza = static_cast<float>(vb::RoundHalfEven(r * 4.0 / 7.0));
    const float y = static_cast<float>(Crescente ? 4 + r : 11 - r);
    KyHead.Line(l + 7 - mezza, y, l + 7 + mezza + 1, y, colore);
  }
}

}  // namespace

void FrmBase::KyHead_Initialize() {
  Stato_Testata& s = KyHead_Stato;
  s.Margine_Striscia = 6;
  s.Margine_Asta = 6;
  s.Colonna_Simbolo = -1;
  s.Verso_Simbolo = 1;
  s.Simbolo_Visibile = true;
  s.Simbolo_Alto = 4;
  s.Simbolo_Sinistra = 3;
  s.Simbolo_Altezza = 7;
  s.Simbolo_Mezza_Larghezza = 4;
  s.Prima_Riga_Testo = 0;
  s.Testo_Sinistra = 3;
  s.Testo_Sinistra_Simbolo = 14;
  s.Colonna_Bordo = -1;

  std::array<uint32_t, 6> colori{};
  const std::array<uint32_t, 6> sistema = {kFaccia, kLuce, kOmbra, kTesto, kFinestra, kOmbra_Scura};
  for (size_t i = 0; i < colori.size(); ++i) colori[i] = ui::qcolor_to_ole(ui::ole_to_qcolor(sistema[i]));
  for (int g = 0; g < 2; ++g) {
    ui::PictureCanvas& p = *picRicerca[static_cast<size_t>(g)];
    p.SetAutoRedraw(true);
    p.SetBackColor(colori[0]);
    p.Cls();
    const auto righe = Glifo(g == 1);
    for (int r = 0; r < 19; ++r) {
      for (int c = 0; c < 16; ++c) {
        p.PSet(static_cast<float>(c), static_cast<float>(r),
               colori[static_cast<size_t>(righe[static_cast<size_t>(r)][static_cast<size_t>(c)] - '0')]);
      }
    }
    p.SetPicture(p.Image());
  }
  // The date buttons show the raised glyph from the start: the same picture their release puts
  // back after the pressed one.
  for (ui::PictureCanvas* b : Flt_Data_pic) {
    if (b) b->SetPicture(picRicerca[0]->Picture());
  }
}

void FrmBase::KyHead_Aggiorna() {
  if (Grid1->Rows() == 0 || !Grid1->Visible()) {
    KyHead->SetVisible(false);
    return;
  }
  Stato_Testata& s = KyHead_Stato;
  s.Trascinamento = false;
  // The strip lies exactly over the band the grid draws its header row in. The margins of the
  // state were the frame of a grid that drew its cells inside a 3-pixel border; this grid draws
  // them from its corner, so the band is the whole width of the grid from its top edge.
  const QRect testata = Grid1->HeaderRect();
  KyHead->Move(Grid1->Left() + testata.left(), Grid1->Top() + testata.top(), testata.width(), testata.height());
  KyHead->setFont(Grid1->font());
  KyHead_Sizer->setFont(Grid1->font());
  KyHead->SetBackColor(static_cast<uint32_t>(Colori[5]));
  KyHead->SetForeColor(static_cast<uint32_t>(Colori[4]));
  KyHead->Cls();
  const float fondo = static_cast<float>(KyHead->Height() - 1);
  const float riga_testo = KyHead->TextHeight("X");

  int32_t destra = -1;
  for (int i = 0; i < Grid1->Cols(); ++i) {
    const int32_t sinistra = Pixel(Grid1->ColPos(i) / Tpx());
    const int32_t d = Pixel(Grid1->ColWidth(i) / Tpx()) + sinistra - 1;
    if (d < 1 || d < sinistra) continue;
    destra = d;
    const float l = static_cast<float>(sinistra), r = static_cast<float>(d);
    KyHead->Line(l, 0, r, fondo, static_cast<uint32_t>(Colori[5]), ui::LineBox::BF);
    float testo_x = l + static_cast<float>(s.Testo_Sinistra);
    if (s.Simbolo_Visibile && i == s.Colonna_Simbolo) {
      Simbolo_Ordinamento(*KyHead, l, s.Verso_Simbolo == 1);
      testo_x = l + static_cast<float>(s.Testo_Sinistra_Simbolo);
    }
    const std::string testata = Grid1->TextMatrix(0, i);
    float y = static_cast<float>(s.Prima_Riga_Testo + 4);
    size_t inizio = 0;
    while (true) {
      const size_t fine = testata.find('|', inizio);
      KyHead->SetCurrentX(testo_x);
      KyHead->SetCurrentY(y);
      KyHead->Print(testata.substr(inizio, fine == std::string::npos ? std::string::npos : fine - inizio), false);
      y += riga_testo;
      if (fine == std::string::npos) break;
      inizio = fine + 1;
    }
    KyHead->Line(l, 0, r, 0, kLuce);
    KyHead->Line(l, 0, l, fondo, kLuce);
    KyHead->Line(r, 0, r, fondo + 1, kOmbra_Scura);
    KyHead->Line(l, fondo, r + 1, fondo, kOmbra_Scura);
  }
  if (destra + 1 < KyHead->Width()) {
    KyHead->Line(static_cast<float>(destra + 1), 0, static_cast<float>(KyHead->Width()), fondo, Grid1->BackColorBkg(),
                 ui::LineBox::BF);
  }
  KyHead->SetVisible(true);
  KyHead->raise();
}

void FrmBase::KyHead_MouseMove(int /*Button*/, int /*Shift*/, float X, float /*Y*/) {
  Stato_Testata& s = KyHead_Stato;
  if (s.Trascinamento) {
    int cx = 0, cy = 0;
    ui::GetCursorPos(cx, cy);
    const int32_t nuova = cx - s.Scarto_Trascinamento;
    if (nuova > s.Limite_Sinistro) KyHead_Asta->SetLeft(nuova);
    return;
  }
  s.Colonna_Bordo = -1;
  for (int i = 0; i < Grid1->Cols(); ++i) {
    const int32_t r = Pixel((Grid1->ColWidth(i) + Grid1->ColPos(i)) / Tpx());
    if (r - 4 <= X && X <= r + 1) {
      s.Colonna_Bordo = static_cast<int16_t>(i);
      s.Limite_Sinistro = Pixel(Grid1->ColPos(i) / Tpx()) + KyHead->Left();
      s.Bordo_X = Pixel(Grid1->ColWidth(i) / Tpx()) + s.Limite_Sinistro - 1;
      break;
    }
  }
  KyHead->SetMousePointer(s.Colonna_Bordo >= 0 ? ui::vbSizeWE : ui::vbDefault);
}

void FrmBase::KyHead_MouseDown(int Button, int Shift, float X, float /*Y*/) {
  Stato_Testata& s = KyHead_Stato;
  const int puntatore = KyHead->MousePointer();
  if (puntatore == ui::vbSizeWE) {
    if (s.Colonna_Bordo < 0) return;
    if (Button == ui::vbLeftButton) {
      // The bar runs from the top of the header down the whole grid.
      KyHead_Asta->Move(s.Bordo_X, KyHead->Top(), 4, std::max(0, Grid1->Top() + Grid1->Height() - KyHead->Top()));
      KyHead_Asta->SetBackColor(kOmbra_Scura);
      KyHead_Asta->SetVisible(true);
      KyHead_Asta->raise();
      int cx = 0, cy = 0;
      ui::GetCursorPos(cx, cy);
      s.Scarto_Trascinamento = cx - s.Bordo_X;
      s.Trascinamento = true;
    } else if (Button == ui::vbRightButton) {
      Colonna_Corrente = s.Colonna_Bordo;
      Riga_Corrente = 0;
      Visualizza_Larghezza_Colonne(s.Colonna_Bordo, Shift == ui::vbShiftMask ? 0 : -1, -1);
    }
    return;
  }
  if (puntatore != ui::vbDefault) return;
  for (int i = 0; i < Grid1->Cols(); ++i) {
    const int32_t sinistra = Pixel(Grid1->ColPos(i) / Tpx());
    const int32_t destra = Pixel(Grid1->ColWidth(i) / Tpx()) + sinistra - 1;
    if (sinistra <= X && X <= destra) {
      Colonna_Corrente = static_cast<int16_t>(i);
      Riga_Corrente = 0;
      if (Grid1->Rows() < 2) return;
      if (Button == ui::vbRightButton) {
        if (agganci_base::frmMenuColonna_Carica) agganci_base::frmMenuColonna_Carica();
      } else if (Button == ui::vbLeftButton) {
        Visualizza_Ordina();
      }
      return;
    }
  }
}

void FrmBase::KyHead_MouseUp(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {
  Stato_Testata& s = KyHead_Stato;
  if (s.Trascinamento) {
    const int64_t delta = static_cast<int64_t>(vb::RoundHalfEven((KyHead_Asta->Left() - s.Bordo_X) * Tpx()));
    const int c = s.Colonna_Bordo;
    if (delta != 0 && c >= 0 && c < Grid1->Cols()) {
      // Every stored width is 16-bit: a drag past 32767 twips keeps the widest one that fits.
      const int16_t w = Larghezza_Valida(int64_t{Grid1->ColWidth(c)} + delta);
      const auto k = static_cast<size_t>(c);
      if (Modo_Griglia == 1) {
        if (k < Larghezze_Codici.size()) Larghezze_Codici[k] = w;
      } else if (Modo_Griglia == 2) {
        if (k < Larghezze_Caricati.size()) Larghezze_Caricati[k] = w;
      } else if (Modo_Griglia == 3 && k < Col_Larghezza.size()) {
        Col_Larghezza[k] = w;
        Salva_Layout("DIM", static_cast<int16_t>(c));
      }
      Grid1->SetColWidth(c, w);
      KyHead_Aggiorna();
    }
  }
  KyHead_Asta->SetVisible(false);
  s.Trascinamento = false;
  KyHead->SetMousePointer(ui::vbDefault);
}

}  // namespace kyx
