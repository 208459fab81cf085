#pragma once
// The levels and parameters dialog frmMenuLivelli, a pop-up of the main window. Before a layout
// runs it settles the key of every row and column level and the value of every parameter; when
// nothing is left to choose it runs the elaboration at once without showing itself. It opens from
// a layout node of the structure tree (Carica_da_TW) or from a drill-down click on a result cell
// (Carica_da_Drill), which first picks a drill definition of LAY_DRILL and its target layout.
//   frm_menu_livelli.cpp        controls, the levels and parameters, the trees, "Elabora"
//   frm_menu_livelli_drill.cpp  the two entries, the list of drill definitions, the closing
#include <array>
#include <cstdint>
#include <string>

#include "layouts/drill_livelli.h"
#include "platform/ui/form_instance.h"
#include "platform/ui/keyed_toolbar.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"
#include "platform/ui/simple_controls.h"

namespace kyx {

class FrmMenuLivelli : public ui::KyForm {
 public:
  FrmMenuLivelli();

  // ---- Entries ----
  // From a drill click on a result cell: the key of the clicked column and the code in the cell.
  void Carica_da_Drill(int16_t Chiave, const std::string& Elemento);
  // From a layout node of the structure tree twL (its key).
  void Carica_da_TW(const std::string& Chiave_Nodo);

  // ---- Events ----
  void cmbLayout_Click();
  // A node click in the rows tree (Index 0) or the columns tree (Index 1).
  void tw_NodeClick(int Index, ui::TreeNode& Node);
  void Toolbar1_ButtonClick(ui::ToolbarButton& Button);
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;

  // ---- Controls ----
  ui::KeyedToolbar* Toolbar1;
  ui::ComboBox* cmbLayout;
  std::array<ui::KeyedTree*, 2> tw;
  std::array<ui::Label*, 6> lbl_tw;
  std::array<ui::LineControl*, 24> L_tw;
  QWidget* pa;
  std::array<ui::Label*, 10> pa_descr{};    // 1 .. 9
  std::array<ui::TextBox*, 10> pa_Valore{};  // 1 .. 9

  // The drill state: the clicked key (-1 from the tree, or once "Elabora" ran), the chosen
  // definition (-1 none) and its target layout (-1 until resolved).
  int16_t Drill_Chiave() const { return Drill_Chiave_; }
  int16_t Drill_Indice() const { return Drill_Indice_; }
  int32_t Layout_Destinazione() const { return Layout_Destinazione_; }

 private:
  void Carica_Livelli(const std::string& Nodo, uint8_t Modo);
  // Fills one tree (0 rows, 1 columns) with the levels it shows and the keys to choose from.
  void Carica_Chiavi(int Albero, const std::array<int16_t, 10>& Proposte);
  void Abilita_Elabora();
  // Parameters stored, the layout node marked, the engine run and its result shown, the elapsed
  // time and the record count in the status bar.
  void Esegui();
  // Records where the dialog will open: 14 pixels up and left of the pointer, in twips.
  void Posizione_Puntatore();
  void Disponi(uint8_t Modo, const livelli::Preparazione& P);

  int Altezza_Pannelli_ = 0;
  bool Eseguito_ = false;  // the elaboration ran since the dialog was loaded for a layout
  double Pos_Left_ = 0, Pos_Top_ = 0;
  int16_t Drill_Layout_ = -1;
  int16_t Drill_Chiave_ = -1;
  int16_t Drill_Indice_ = -1;
  std::string Drill_Elemento_;
  int32_t Layout_Destinazione_ = -1;
  int32_t Chiave_Destinazione_ = 0;
  bool Caricamento_Elenco_ = false;
  int16_t Area_Salvata_ = 0, Chiave_Salvata_ = 0, Layout_Salvato_ = 0;
  std::string Nodo_Livelli_;  // key of the twL node of the layout being prepared
  std::array<std::string, 10> Valore_Iniziale_;
  std::array<int, 10> Indici_Riga_{}, Indici_Colonna_{};  // tree index of each level's top node
};

inline ui::FormInstance<FrmMenuLivelli> frmMenuLivelli;

}  // namespace kyx
