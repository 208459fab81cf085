#pragma once
// frmMenuColonna2: the sub-menu of items 4 ("Filtro sulle righe") and 5 ("Ricerca riga") of the
// column menu. Three boxes, "Da", "A" and "Contenuto" (the last only for a text column), applied
// with Enter or the "Aggiorna" button: the filter restricts the shown recordset to the rows of the
// current column within the range or containing the text, then sorts it on that column; the
// search brings the first such row into view as the page's sixth row and highlights it. Escape
// closes this sub-menu alone. Input that cannot be used, and a search without a match, are said
// in a message and leave the grid and the open menus as they were.
#include <array>
#include <string>

#include "platform/ui/form_instance.h"
#include "platform/ui/keyed_toolbar.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/simple_controls.h"

namespace kyx {

class FrmMenuColonna2 : public ui::KyForm {
 public:
  FrmMenuColonna2();

  // Opens beside item Index (4 filter, 5 search) of the column menu; the search does not open on
  // an empty grid.
  void Carica(int Index);
  void Form_KeyDown(int& KeyCode, int Shift) override;
  void Toolbar1_ButtonClick(ui::ToolbarButton& Button);

  std::array<ui::TextBox*, 3> txtFiltro{};
  std::array<ui::Label*, 3> ItemX{};
  ui::KeyedToolbar* Toolbar1 = nullptr;

  int Modo_Filtro = 0;        // 4 row filter, 5 row search
  int Altezza_Filtro = 1155;  // twips: 855 for a numeric column, 1155 for a text column

 private:
  void Applica_Filtro();
  void Filtra(const std::string& Nome_Campo, bool Testo, const std::array<std::string, 3>& Caselle);
  void Cerca(bool Testo, const std::array<std::string, 3>& Caselle);
  void Fine();
};

inline ui::FormInstance<FrmMenuColonna2> frmMenuColonna2;

}  // namespace kyx
