#pragma once
// The print dialog frmStampante: printer, orientation, margins, copies, fitting and content
// options and a page range. "Conferma" stores the settings in section "Stampante" of KYX.INI and
// reloads them; "Stampa" does the same and prints the pages chosen; "Annulla" leaves everything
// as it was. The main window stays disabled while the dialog is open.
#include <array>
#include <QGroupBox>
#include <QRadioButton>

#include "platform/ui/control.h"
#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/simple_controls.h"

namespace kyx {

using OptionButton = ui::VbControl<QRadioButton>;

class FrmStampante : public ui::KyForm {
 public:
  FrmStampante();

  // Fills and shows the dialog over the main window.
  void Carica();

  // ---- Events ----
  void opt_Pagine_Click();
  void cmdStampa_Click();
  void cmdConferma_Click();
  void cmdEsci_Click();
  void Form_Unload(int16_t& Cancel) override;

  // ---- Controls ----
  QGroupBox* pnl_printer_1;
  QGroupBox* pnl_printer_2;
  QGroupBox* pnl_printer_3;
  QGroupBox* pnl_printer_4;
  QGroupBox* pnl_printer_5;
  QGroupBox* pnl_printer_6;
  ui::ComboBox* Stampanti;
  ui::Label* lblStampanti;
  std::array<OptionButton*, 2> opt_Orienta;
  ui::TextBox* txtMar_Sx;
  ui::TextBox* txtMar_Dx;
  ui::TextBox* txtMar_Top;
  ui::TextBox* txtMar_Bot;
  ui::Label* lblMar_Sx;
  ui::Label* lblMar_Dx;
  ui::Label* lblMar_Top;
  ui::Label* lblMar_Bot;
  ui::TextBox* txtStampaCopie;
  ui::Label* lblStampaCopie;
  std::array<OptionButton*, 2> opt_Pagine;
  ui::TextBox* txtPagine_da;
  ui::Label* lblPagine_a;
  ui::TextBox* txtPagine_a;
  ui::CheckBox* chkFiltro;
  ui::CheckBox* chkDati;
  ui::CheckBox* chkAdatta;
  ui::CheckBox* chkColonne;
  ui::CheckBox* chkFont;
  ui::TextBox* txtFontMax;
  ui::CheckBox* chkAllineaX;
  ui::CheckBox* chkLivello1;
  ui::CommandButton* cmdStampa;
  ui::CommandButton* cmdConferma;
  ui::CommandButton* cmdEsci;

 private:
  void Salva_Impostazioni();
};

inline ui::FormInstance<FrmStampante> frmStampante;

}  // namespace kyx
