#pragma once
// The login dialog frmPassword: the first window of the program, and the window in which the
// user changes the information system later. It lists the profiles of KYX.INI marked for listing,
// shows the connection, user and password of the chosen one, checks in the instance registry that
// no other running copy uses the same data folder, and hands profile and password to the options
// dialog, which validates and applies the profile. When nothing needs the user it confirms by
// itself without ever being shown.
#include <cstdint>
#include <string>

#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/simple_controls.h"

namespace kyx {

class FrmPassword : public ui::KyForm {
 public:
  FrmPassword();

  // Fills and opens the dialog: 1 at start-up, 2 from the main window's button "SInf".
  void Carica(int32_t& Modo);

  // ---- Events ----
  void cmbNomeSi_Click();
  void cmdOK_Click();
  void cmdEsci_Click();
  void Form_KeyDown(int& KeyCode, int Shift) override;
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;

  // ---- Controls ----
  ui::Label* lbl1;
  ui::TextBox* txtConnessione;
  ui::Label* lbl3;
  ui::TextBox* txtUtente;
  ui::Label* lbl4;
  ui::TextBox* txtPassword;
  ui::Label* lbl5;
  ui::ComboBox* cmbNomeSi;
  ui::CommandButton* cmdOK;
  ui::CommandButton* cmdEsci;
  ui::Label* Release;

  // The opening mode: 1 start-up, 2 change of information system, 0 after a confirmation.
  int32_t Modo() const { return Modo_; }

 private:
  // The text boxes from the loaded profile.
  void Riempi_Caselle();
  // Enables cmdOK exactly when the registry lets this copy work on the profile's data folder.
  void Verifica_Registro(bool Primo_Controllo);
  int32_t Finestra_Principale();

  int32_t Modo_ = 0;
  // Password_Utente when the dialog opened, given back when a mode-2 dialog closes unconfirmed.
  std::string Password_Precedente_;
};

inline ui::FormInstance<FrmPassword> frmPassword;

}  // namespace kyx
