#pragma once
// frmMenuPreferitiMenu: the context menu of a node of the favourites tree. Seven items, each a
// bar Item(i) with its caption ItemX(i) on it: edit, delete, new folder and add the current
// elaboration (handed to the edit dialog), view, refresh, and refresh every favourite. The item
// under the pointer is lit; Up, Down and Enter drive it from the keyboard; it closes by itself
// after twelve consecutive 120 ms ticks with the pointer outside it.
#include <array>
#include <string>
#include <vector>

#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/vb_timer.h"

namespace kyx::ui {
class Label;
}

namespace kyx {

class FrmMenuPreferitiMenu : public ui::KyForm {
 public:
  FrmMenuPreferitiMenu();

  // Prepares the items for the tag of Nodo_Preferito and shows the menu at the pointer.
  void Carica();

  void Item_Click(int Index);
  void Item_MouseMove(int Index);
  void Form_MouseMove();
  void Form_KeyDown(int& KeyCode, int Shift) override;
  void Timer1_Timer();

  std::array<ui::Label*, 7> Item;
  std::array<ui::Label*, 7> ItemX;
  ui::VbTimer Timer1;

  // The favourites whose refresh did not go through in the last "Aggiorna tutti".
  std::vector<std::string> Falliti;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void Colora(int Index, bool Acceso);
  int Evidenziato = -1;
  int Tastiera = -1;
  int Fuori = 0;
};

inline ui::FormInstance<FrmMenuPreferitiMenu> frmMenuPreferitiMenu;

}  // namespace kyx
