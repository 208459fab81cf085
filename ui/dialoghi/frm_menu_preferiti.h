#pragma once
// frmMenuPreferiti: the favourites window, a pop-up of the main window showing the favourites
// folder tree twP (folders "R"/"C", favourites "F" with their link "L" and year "A" nodes). A
// left-button release on a favourite opens it (as saved, or run again with Preferiti_Aggiorna),
// a right-button release opens the favourites menu, and a favourite dragged onto a folder moves
// there with its saved result (both files or neither).
#include <array>
#include <string>

#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"

namespace kyx::ui {
class KeyedTree;
class LineControl;
class TreeNode;
}  // namespace kyx::ui

namespace kyx {

// Key of the node of twP pressed last (the root when the press was on empty space): the node the
// favourites menu and the edit dialog act on.
extern std::string Nodo_Preferito;

class FrmMenuPreferiti : public ui::KyForm {
 public:
  FrmMenuPreferiti();

  // Loads the tree from the disk and shows the window at the pointer, the main window disabled.
  void Carica();
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;

  // Events of the tree (X and Y in twips).
  void twP_MouseDown(int Button, int Shift, float X, float Y);
  void twP_MouseMove(int Button, int Shift, float X, float Y);
  void twP_MouseUp(int Button, int Shift, float X, float Y);
  void twP_DragOver(float X, float Y);
  void twP_DragDrop(float X, float Y);

  // The node of Nodo_Preferito (the root when it is gone).
  ui::TreeNode& Nodo();
  // The layout file of a favourite's node: the key of an "F" node, without its last three
  // characters for an "L" or "A" node.
  static std::string File_Del_Nodo(const ui::TreeNode& Nodo);

  ui::KeyedTree* twP;
  std::array<ui::LineControl*, 4> L_tw;

 private:
  void Carica_Cartella(const std::string& Cartella);

  std::string Chiave_Premuta, Tag_Premuto;
  float X_Premuto = 0, Y_Premuto = 0;
  ui::TreeNode* Ultimo_Nodo = nullptr;
};

inline ui::FormInstance<FrmMenuPreferiti> frmMenuPreferiti;

// Opens a favourite's layout file as saved (Aggiorna false) or run again, then redisplays the
// grid and, when Numero is set, writes the record count into the status panel "Numero". The main
// window stays disabled. True when Carica_Layout went through.
bool Apri_Preferito(const std::string& File, bool Aggiorna, bool Numero);

}  // namespace kyx
