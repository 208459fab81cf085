#pragma once
// frmMenuColonna: the menu of one grid column, opened by the right button on a column title. It
// sorts by the column, freezes the columns up to it or unfreezes them, hides or shows it, and
// opens its sub-menus beside their items; Left and Right move it to the neighbouring columns.
// While it is open the main window is gated, and a press on the main window closes it.
#include <QLabel>
#include <array>

#include "platform/ui/control.h"
#include "platform/ui/form_instance.h"
#include "platform/ui/line_control.h"
#include "ui/menu_voci.h"

namespace kyx {

class FrmMenuColonna : public MenuVoci {
 public:
  FrmMenuColonna();

  // Opens the menu at the pointer for Colonna_Corrente.
  void Carica();
  void Item_Click(int Index) override;
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;
  void Form_Unload(int16_t& Cancel) override;

  // The pictures at the right end of their items: the two sorts, then the same sub-menu mark on
  // items 4 to 7. Each is greyed with its item.
  ui::VbControl<QLabel>* Image1 = nullptr;
  ui::VbControl<QLabel>* Image2 = nullptr;
  ui::VbControl<QLabel>* Image3 = nullptr;
  ui::VbControl<QLabel>* Image4 = nullptr;
  ui::VbControl<QLabel>* Image5 = nullptr;
  ui::VbControl<QLabel>* Image6 = nullptr;
  // The etched rule under the title: highlight and shadow, one pixel apart.
  std::array<ui::LineControl*, 2> Line{};

 protected:
  bool Bloccato() const override;
  void Apri_Sottomenu(int Index) override;
  void Chiudi_Sottomenu(int Index) override;
  void Altro_Tasto(int& KeyCode, int Shift) override;

 private:
  void Imposta_Voci();
  void Chiudi();
  // The item of each picture, by the picture's number less one.
  std::array<ui::VbControl<QLabel>*, 6> Figure() const { return {Image1, Image2, Image3, Image4, Image5, Image6}; }
  // Puts the pictures at the right end of their items and the rule across the client area.
  void Colloca_Figure();
};

inline ui::FormInstance<FrmMenuColonna> frmMenuColonna;

// frmMenuColonna3: the width-fit sub-menu of item 6 ("Adatta").
class FrmMenuColonna3 : public MenuVoci {
 public:
  FrmMenuColonna3();
  void Carica();
  void Item_Click(int Index) override;

 protected:
  void Altro_Tasto(int& KeyCode, int Shift) override;
};

inline ui::FormInstance<FrmMenuColonna3> frmMenuColonna3;

// Places a sub-menu of Width x Height twips beside item Index of the column menu: over its right
// border, or on its left when it would leave the main window on the right.
void Colloca_Sottomenu(ui::KyForm& Sottomenu, int Index, double Larghezza, double Altezza);

// Fills the main window's slots of the column menu, the element card and the column chooser,
// and their entries among the closable pop-ups.
void Installa_Popup();

}  // namespace kyx
