// frmOpzioni: opening in its three modes, the keys, cancel, and what closing restores.
#include <QWindow>

#include "common/opzioni.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/ui/vb_events.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/dialoghi/versione.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

void FrmOpzioni::Carica(int32_t& Modo_Apertura, const std::string& Password) {
  // 1., 2. Colours of the dialog, its check boxes and two of its frame lines.
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  for (auto* c : {chk01, chk02, chk03, chk04, chk05, chk06, chk07, chk08, chk09, chk10}) {
    c->SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  }
  L_twE[4]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  L_twE[7]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));

  // 3. - 5.
  Modo = Modo_Apertura;
  Password_Login = Password;
  if (Modo == 3) frmBase->SetEnabled(false);
  Imposta_Puntatore(ui::vbDefault);
  host::DoEvents();

  // 6., 7.
  Release->SetCaption(Testo_Versione());
  cmbExtSalva->Clear();
  for (const char* t : {"Testo", "Pagina Web", "Microsoft Excel", "Microsoft Excel 2007"}) {
    cmbExtSalva->AddItem(t);
  }
  cmbAdatta->Clear();
  for (const char* t : {"Nessun adattamento", "Adatta colonne", "Adatta colonne (con intestaz.)"}) {
    cmbAdatta->AddItem(t);
  }

  // 8. - 10. A valid profile is applied at once in modes 1 and 2, without showing the dialog.
  if (Modo == 3) Profilo_Salvato = Profilo_Corrente;
  Visualizza_Opzioni();
  bool Esito = false;
  Controlla_Opzioni(true, Esito);
  if (Esito && Modo < 3) {
    cmdAggiorna_Click();
    // Applied (the dialog is gone) or the program is ending.
    if (!Loaded() || Modo == 0 || Fine_Richiesta) return;
    // The apply stopped at the data-folder check: another running copy works in that folder.
    // The dialog shows itself with the box marked instead of staying loaded and hidden.
  } else {
    // Opened by the login or the choice of a system rather than by the user: a folder that is
    // missing or does not take files is named before the dialog shows itself for correction.
    if (Modo < 3 && !Motivo_Cartella.empty()) host::MsgBox(Motivo_Cartella, host::vbExclamation, Titolo_Programma);
    // 11. The profile as stored, over what the quiet check normalised; the marks stay. From the
    // toolbar the dialog keeps the password in use, which closing without applying restores. At
    // start-up and at a re-login it keeps the password typed at login: that is the one the applied
    // profile works with, as when the profile applies without the dialog (the stored one would
    // leave a new profile with none, and the server out of reach until the next start).
    if (Modo == 3) Password_Login = Password_Utente;
    int32_t hDC = hWnd();
    Carica_Opzioni(Profilo_Corrente, hDC);
    Visualizza_Opzioni();
  }

  // 12., 13. Placement in twips, kept on the screen, and the dialog frame.
  double Schermo_L = 0, Schermo_A = 0;
  agganci_base::Schermo_Twips(Schermo_L, Schermo_A);
  Imposta_Finestra_Dialogo(hWnd());
  double Sinistra = (Schermo_L - Width()) / 2;
  double Alto = (Schermo_A - Height()) / 2;
  if (Modo > 1) {
    FrmBase& Base = *frmBase;
    Sinistra = Base.Left() + (Base.Width() - Width()) / 2;
    Alto = Base.Top() + (Base.Height() - Height()) / 2;
    if (Alto < 0) Alto = 0;
    if (Alto + Height() > Schermo_A) Alto = Schermo_A - Height();
    if (Sinistra < 0) Sinistra = 0;
    if (Sinistra + Width() > Schermo_L) Sinistra = Schermo_L - Width();
    Move(Sinistra, Alto);
    // Owned by the main window: it stays above it.
    winId();
    if (windowHandle() && Base.windowHandle()) windowHandle()->setTransientParent(Base.windowHandle());
  } else {
    Move(Sinistra, Alto);
  }
  Show(ui::vbModeless);
  // The box that failed gets the focus now that it can take it.
  for (auto* c : Caselle_Testo()) {
    if (Marcata(*c)) {
      c->SetFocus();
      break;
    }
  }
}

void FrmOpzioni::Form_KeyDown(int& KeyCode, int Shift) {
  (void)Shift;
  // The dialog sees every key first. Enter and Escape stay the dialog's: a key passed on to the
  // focused box could come back to the dialog as its parent's and apply (or ask) a second time.
  if (KeyCode == ui::vbKeyReturn) {
    KeyCode = 0;
    cmdAggiorna_Click();
  } else if (KeyCode == ui::vbKeyEscape) {
    KeyCode = 0;
    cmdEsci_Click();
  }
}

void FrmOpzioni::cmdEsci_Click() { Unload(); }

void FrmOpzioni::Form_QueryUnload(int16_t& Cancel, int UnloadMode) {
  (void)Cancel;
  (void)UnloadMode;
  // Closing without applying: the profile in use before the dialog opened is loaded again, and
  // in mode 3 the password in use when it was shown comes back.
  if (Modo > 1) {
    Profilo_Corrente = Profilo_Salvato;
    int32_t hDC = hWnd();
    Carica_Opzioni(Profilo_Corrente, hDC);
  }
  if (!Password_Login.empty() && Modo == 3) Password_Utente = Password_Login;
  if (Modo > 1) {
    FrmBase& Base = *frmBase;
    Base.SetEnabled(true);
    Base.Show();
  }
  Imposta_Puntatore(ui::vbDefault);
}

std::vector<ui::TextBox*> FrmOpzioni::Caselle_Testo() const {
  std::vector<ui::TextBox*> v = {
      txtConnessione, txtPorta,      txtDataBaseSQL, txtUtente,   txtPassword,    txtNomeSi,
      txtDescrizioneSi, txtCartellaSi, txtDirStorico, txtDirPref, txtDirSalva, txtDataDesc,
      txtOraDesc,     txtElemStorico, txtPrecisioneColore};
  for (int i = 1; i <= 9; ++i) v.push_back(txtLiv[static_cast<size_t>(i)]);
  return v;
}

}  // namespace kyx
