#pragma once
// frmMenuPreferitiModifica: the edit dialog of the favourites tree. On the node Nodo_Preferito it
// renames, deletes or adds a folder, adds the current elaboration as a favourite, edits a
// favourite's title, link text and reference year, or deletes a favourite; every change is made
// on disk and mirrored in the open tree at once.
#include <string>

#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"

namespace kyx::ui {
class ComboBox;
class CommandButton;
class Label;
class TextBox;
}  // namespace kyx::ui

namespace kyx {

class FrmMenuPreferitiModifica : public ui::KyForm {
 public:
  FrmMenuPreferitiModifica();

  // Opens the dialog for menu item Index (0 modify, 1 delete, 2 new folder, 3 add elaboration).
  void Carica(int Index);
  void cmdAggiorna_Click();
  void cmdEsci_Click();
  void Form_Unload(int16_t& Cancel) override;

  // The operation in hand: the node's tag and the item index ("C0", "F1", "R3"...).
  const std::string& Operazione() const { return Codice; }

  ui::Label* lbl1;
  ui::TextBox* txt1;
  ui::Label* lbl2;
  ui::TextBox* txt2;
  ui::Label* lbl_Anno_Corrente;
  ui::ComboBox* Anno_Corrente;
  ui::CommandButton* cmdAggiorna;
  ui::CommandButton* cmdEsci;

 private:
  void Imposta_Cartella();
  void Imposta_Elaborazione();
  // The folder name typed, checked; false (after the message) when it cannot be used.
  bool Nome_Libero(const std::string& Padre, const std::string& Nome, const std::string& Escluso);
  bool Testi_Validi();

  std::string Codice;
  std::string File_Preferito;
  int Mouse_X = 0, Mouse_Y = 0;
  double Cornice = 0;
};

inline ui::FormInstance<FrmMenuPreferitiModifica> frmMenuPreferitiModifica;

}  // namespace kyx
