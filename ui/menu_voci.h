#pragma once
// The item machinery shared by the main window's drawn menus (the column header menu and its
// width-fit sub-menu): each item is an opaque bar Item(i) with its caption ItemX(i) on top, both
// always coloured and enabled alike. The item under the pointer is lit; moving onto the form's
// margin puts it out; Up and Down move the keyboard's item (wrapping, disabled items included)
// by moving the pointer onto it, which lights it as a pointer move would; Enter runs it.
#include <array>
#include <cstdint>

#include "platform/ui/ky_form.h"
#include "platform/ui/simple_controls.h"

namespace kyx {

class MenuVoci : public ui::KyForm {
 public:
  // Items are laid out from Alto_Primo (twips, top of the first bar) every 285 twips.
  MenuVoci(const char* Nome, int Voci, double Alto_Primo);

  void Item_MouseMove(int Index);
  void Form_MouseMove();
  // The item's action; the default does nothing.
  virtual void Item_Click(int Index) { (void)Index; }
  void Form_KeyDown(int& KeyCode, int Shift) override;

  int Voci() const { return voci_; }
  std::array<ui::Label*, 8> Item{};
  std::array<ui::Label*, 8> ItemX{};
  int Voce_Evidenziata = -1;
  int Voce_Tastiera = -1;

  // The top of the client area below the outer top edge, in twips (title bar plus one border).
  double Cornice_Alto() const;
  // Screen y (pixels) of the middle of item i.
  int Centro_Voce(int i) const;

 protected:
  // While true the menu ignores the pointer and the keys (a sub-menu is being loaded).
  virtual bool Bloccato() const { return false; }
  // The sub-menu of item i, opened when it is lit and closed when it is put out.
  virtual void Apri_Sottomenu(int Index) { (void)Index; }
  virtual void Chiudi_Sottomenu(int Index) { (void)Index; }
  // Keys other than Up, Down and Enter.
  virtual void Altro_Tasto(int& KeyCode, int Shift) {
    (void)KeyCode;
    (void)Shift;
  }
  void Colora(int Index, bool Acceso);
  void Azzera_Colori();
  void Vai_A_Voce(int Index);
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int voci_;
};

}  // namespace kyx
