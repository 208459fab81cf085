#pragma once
// frmBase of the replication program, its only window: one entry of Kyx_R.INI at a time, the
// arrows to step through them, buttons to add a copy of the entry shown, remove the last one,
// save and close, close without saving, and "Replica", which runs the replication.
#include <string>

#include "platform/ui/form_instance.h"
#include "platform/ui/keyed_status_bar.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/simple_controls.h"
#include "replica/esecuzione.h"
#include "replica/voci.h"

namespace kyx::replica {

class FrmBase : public ui::KyForm, public Finestra_Replica {
 public:
  FrmBase();

  // Shows entry Voce_Corrente (its number, the remove button, its fields).
  bool Carica_Parametri() override;
  // Writes the fields as entry Voce_Corrente, with "Numero".
  void Salva_Parametri() override;
  Campi_Voce Campi() const override;
  void Abilita(bool Attiva) override { SetEnabled(Attiva); }

  // ---- Events ----
  void Form_Load() override;
  void UpDown_UpClick();    // the next entry
  void UpDown_DownClick();  // the previous entry
  void cmdAggiunta_Click();
  void cmdElimina_Click();
  void cmdAggiorna_Click();
  void cmdEsci_Click();
  void cmdReplica_Click();

  // ---- Controls ----
  ui::TextBox *txtASConn, *txtASPorta, *txtASUtente, *txtASPassword;
  ui::TextBox *txtSQLServer, *txtSQLDataBase, *txtSQLUtente, *txtSQLPassword;
  ui::TextBox *txtSistemaInf, *txtIdxSi, *txtNumSi;
  ui::CheckBox* Check1;
  ui::UpDown* UpDown;
  ui::CommandButton *cmdReplica, *cmdAggiorna, *cmdEsci, *cmdAggiunta, *cmdElimina;
  ui::KeyedStatusBar* StatusBar1;
  ui::Label *Release, *Label3, *Label1, *lbl1, *lbl2, *lbl6, *lbl7, *lbl8;

 private:
  void Mostra(const Campi_Voce& c);
};

inline ui::FormInstance<FrmBase> frmBase;

// The program's version as the window shows it: major, minor and revision, three blanks, and the
// comment of the version information.
std::string Testo_Versione_Replica();

}  // namespace kyx::replica
