#include "ui/menu_voci.h"

#include <QMouseEvent>
#include <cmath>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/ui/pointer.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"

namespace kyx {
namespace {

constexpr uint32_t kTestoNormale = 0x80000012;
constexpr uint32_t kSfondoAcceso = 0x8000000D;
constexpr uint32_t kTestoAcceso = 0x8000000E;
constexpr double kPasso = 285;

void Colloca(QWidget& w, double left, double top, double width, double height) {
  w.setGeometry(ui::twips_to_px_x(left), ui::twips_to_px_y(top), ui::twips_to_px_x(width),
                ui::twips_to_px_y(height));
}

}  // namespace

MenuVoci::MenuVoci(const char* Nome, int Voci, double Alto_Primo) : ui::KyForm(Nome), voci_(Voci) {
  setMouseTracking(true);
  SetKeyPreview(true);
  for (int i = 0; i < voci_; ++i) {
    Item[i] = new ui::Label(this);
    Colloca(*Item[i], 0, Alto_Primo + kPasso * i, 4395, 285);
    ItemX[i] = new ui::Label(this);
    Colloca(*ItemX[i], 60, Alto_Primo + 45 + kPasso * i, 3795, 195);
    for (ui::Label* l : {Item[i], ItemX[i]}) {
      l->setMouseTracking(true);
      // A disabled label gets no events from Qt; its moves still reach the form, which treats
      // the pointer over a disabled item's bar as entering that item.
      l->MouseMove = [this, i](int, int) { Item_MouseMove(i); };
      l->Click = [this, i] { Item_Click(i); };
    }
  }
}

double MenuVoci::Cornice_Alto() const {
  return Height() - ScaleHeight() * Twips_Pixel_Y - (Width() - ScaleWidth() * Twips_Pixel_X) / 2;
}

int MenuVoci::Centro_Voce(int i) const {
  const double y = Top() + Cornice_Alto() + Item[i]->y() * Twips_Pixel_Y + Item[i]->height() * Twips_Pixel_Y / 2;
  return static_cast<int>(y / Twips_Pixel_Y);
}

void MenuVoci::Colora(int Index, bool Acceso) {
  for (ui::Label* l : {Item[Index], ItemX[Index]}) {
    l->SetBackColor(Acceso ? kSfondoAcceso : static_cast<uint32_t>(Colore_Sfondo));
    l->SetForeColor(Acceso ? kTestoAcceso : kTestoNormale);
  }
}

void MenuVoci::Azzera_Colori() {
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  for (int i = 0; i < voci_; ++i) Colora(i, false);
}

void MenuVoci::Item_MouseMove(int Index) {
  if (Bloccato() || Index < 0 || Index >= voci_) return;
  if (Index != Voce_Evidenziata) {
    if (Voce_Evidenziata != -1) {
      Colora(Voce_Evidenziata, false);
      Chiudi_Sottomenu(Voce_Evidenziata);
    }
    Voce_Evidenziata = Index;
    if (Item[Index]->isEnabled()) {
      Colora(Index, true);
      Apri_Sottomenu(Index);
    }
  }
  Voce_Tastiera = Index;
}

void MenuVoci::Form_MouseMove() {
  if (Bloccato()) return;
  if (Voce_Evidenziata != -1) {
    Colora(Voce_Evidenziata, false);
    Chiudi_Sottomenu(Voce_Evidenziata);
  }
  Voce_Evidenziata = -1;
}

void MenuVoci::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  for (int i = 0; i < voci_; ++i) {
    // Over an item's bar (a disabled label gets no moves of its own; a window shown under the
    // pointer may send the form a move that lies over an item).
    if (Item[i]->geometry().contains(p)) {
      Item_MouseMove(i);
      return;
    }
  }
  Form_MouseMove();
}

void MenuVoci::Vai_A_Voce(int Index) {
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  ui::SetCursorPos(x, Centro_Voce(Index));
  // The jump is a pointer move onto the item: the same hover steps run (a window system may
  // report the move again; the second report finds the item already entered).
  Item_MouseMove(Index);
}

void MenuVoci::Form_KeyDown(int& KeyCode, int Shift) {
  if (Bloccato()) return;
  if (KeyCode == ui::vbKeyUp || KeyCode == ui::vbKeyDown) {
    int v = Voce_Tastiera + (KeyCode == ui::vbKeyUp ? -1 : 1);
    if (v < 0) v = voci_ - 1;
    if (v > voci_ - 1) v = 0;
    Voce_Tastiera = v;
    Vai_A_Voce(v);
    KeyCode = 0;
  } else if (KeyCode == ui::vbKeyReturn) {
    if (Voce_Tastiera != -1 && Item[Voce_Tastiera]->isEnabled()) Item_Click(Voce_Tastiera);
    KeyCode = 0;
  } else {
    Altro_Tasto(KeyCode, Shift);
  }
}

}  // namespace kyx
