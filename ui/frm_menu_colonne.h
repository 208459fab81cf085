#pragma once
// frmMenuColonne: the column chooser, opened by the toolbar button "Colonne". It lists the
// columns that may be shown, each with a picture telling whether it is shown now; a click on one
// shows or hides it at once in the grid (and the chart) and stores the choice with the current
// elaboration. It stays open until the user presses elsewhere or closes it.
#include <array>

#include "platform/ui/form_instance.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"

namespace kyx {

class FrmMenuColonne : public ui::KyForm {
 public:
  FrmMenuColonne();

  // Builds the list and shows it at the pointer; a result of fewer than two records opens nothing.
  void Carica();
  void twCol_NodeClick(ui::TreeNode& Node);
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;
  void Form_Unload(int16_t& Cancel) override;

  ui::KeyedTree* twCol;
  std::array<ui::LineControl*, 4> L_twCol{};  // top, right, bottom, left

 private:
  void Dimensiona(int Nodi);
};

inline ui::FormInstance<FrmMenuColonne> frmMenuColonne;

}  // namespace kyx
