#include "ui/dialoghi/frm_password.h"

#include <QWindow>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/dialoghi/versione.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

constexpr int kAltezza = 21;
// The highest profile section a three-digit name can hold.
constexpr int16_t kUltimo_Profilo = 999;

}  // namespace

FrmPassword::FrmPassword() : ui::KyForm("frmPassword") {
  using namespace ui;
  // The dialogs' face and size: Arial's metrics (Liberation Sans) at 8 points.
  QFont f("Arial");
  f.setPointSizeF(8);
  setFont(f);
  resize(372, 176);
  SetKeyPreview(true);

  auto riga = [this](int y, const char* testo, ui::Label*& etichetta) {
    etichetta = new ui::Label(this, testo);
    etichetta->Move(12, y, 120, kAltezza);
  };
  riga(12, "Sistema informativo", lbl5);
  cmbNomeSi = new ui::ComboBox(this, true);
  cmbNomeSi->Move(136, 12, 224, kAltezza);
  cmbNomeSi->SetToolTipText("Descrizione locale del sistema informativo");
  riga(42, "Nome Connessione", lbl1);
  txtConnessione = new ui::TextBox(this);
  txtConnessione->Move(136, 42, 224, kAltezza);
  txtConnessione->SetMaxLength(50);
  txtConnessione->SetToolTipText("Nome della connessione o indirizzo IP del server");
  riga(68, "Utente", lbl3);
  txtUtente = new ui::TextBox(this);
  txtUtente->Move(136, 68, 120, kAltezza);
  txtUtente->SetMaxLength(10);
  txtUtente->SetToolTipText("Nome utente del server");
  // Connection and user come from the profile; only the password is typed here.
  txtConnessione->SetLocked(true);
  txtUtente->SetLocked(true);
  riga(94, "Password", lbl4);
  txtPassword = new ui::TextBox(this);
  txtPassword->Move(136, 94, 120, kAltezza);
  txtPassword->SetMaxLength(10);
  txtPassword->SetPassword(true);
  txtPassword->SetToolTipText("Password per utente del server");

  cmdOK = new ui::CommandButton(this, "OK");
  cmdOK->Move(176, 136, 88, 26);
  cmdOK->SetToolTipText("Conferma");
  cmdEsci = new ui::CommandButton(this, "Annulla");
  cmdEsci->Move(272, 136, 88, 26);
  cmdEsci->SetToolTipText("Chiudi");
  Release = new ui::Label(this, "");
  QFont piccolo = font();
  piccolo.setFamily("Small Fonts");
  piccolo.setPointSizeF(6.5);
  Release->setFont(piccolo);
  Release->Move(12, 148, 150, 14);

  cmbNomeSi->Click = [this] { cmbNomeSi_Click(); };
  cmdOK->Click = [this] { cmdOK_Click(); };
  cmdEsci->Click = [this] { cmdEsci_Click(); };
}

int32_t FrmPassword::Finestra_Principale() { return frmBase->hWnd(); }

void FrmPassword::Riempi_Caselle() {
  txtConnessione->SetText(Server_Nome);
  txtUtente->SetText(Nome_Utente);
  txtPassword->SetText(vb::RTrim(vb::Replace(Password_Utente, "^", " ")));
}

void FrmPassword::Verifica_Registro(bool Primo_Controllo) {
  // Mode 1 registers the dialog itself (the main window takes the slot over when it loads);
  // later the main window is the copy's window. The first check at start-up may also clear a
  // registry that only copies gone long ago still fill.
  int16_t Registra = (Primo_Controllo && Modo_ == 1) ? -1 : 0;
  int32_t Finestra = Modo_ == 1 ? hWnd() : Finestra_Principale();
  int32_t Nessuna = 0;
  std::string Cartella = Cartella_Dati;
  cmdOK->SetEnabled(agganci_base::Registro_Istanze(Registra, Finestra, Nessuna, Cartella));
}

void FrmPassword::Carica(int32_t& Modo) {
  // 1. - 3.
  In_Caricamento = true;
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  SetCaption(" " + Titolo_Programma + "  Scelta del Sistema informativo");
  Release->SetCaption(Testo_Versione());
  Modo_ = Modo;
  Password_Precedente_ = Password_Utente;
  Profilo_Salvato = Profilo_Corrente;
  Twips_Pixel_X = ui::Twips_Pixel_X();
  Twips_Pixel_Y = ui::Twips_Pixel_Y();
  Pixel_255_X = ui::round_even(255.0 / Twips_Pixel_X);
  Pixel_255_Y = ui::round_even(255.0 / Twips_Pixel_Y);

  // 4.
  if (Modo_ > 1) frmBase->SetEnabled(false);
  Imposta_Puntatore(ui::vbDefault);
  host::DoEvents();

  // 5. The main profile; a number no profile can have leaves the first one.
  Profilo_Principale = 1;
  if (const auto p = Valore_Intero(Leggi_Ini("Generale", "Principale", "001"))) {
    if (*p >= -32768 && *p <= 32767) Profilo_Principale = static_cast<int16_t>(*p);
  }

  // 6. Every consecutive section with a description counts; those marked "Elenco" are listed.
  Numero_Profili = 0;
  cmbNomeSi->Clear();
  while (Numero_Profili < kUltimo_Profilo) {
    const int16_t n = static_cast<int16_t>(Numero_Profili + 1);
    const std::string Sezione = Numero_Cifre(n, 3);
    const std::string Descrizione = vb::Trim(Leggi_Ini(Sezione, "Descrizione", ""));
    if (Descrizione.empty()) break;
    Numero_Profili = n;
    if (Leggi_Ini(Sezione, "Elenco", "N") != "S") continue;
    cmbNomeSi->AddItem(Descrizione);
    cmbNomeSi->SetItemData(cmbNomeSi->NewIndex(), n);
    if ((n == Profilo_Principale && Modo_ == 1) || (n == Profilo_Corrente && Modo_ > 1)) {
      cmbNomeSi->SetListIndex(cmbNomeSi->NewIndex());
    }
  }

  // 7., 8. No profile yet: a new one in slot 1.
  if (Numero_Profili == 0) {
    Numero_Profili = 1;
    cmbNomeSi->AddItem("Nuovo");
    cmbNomeSi->SetItemData(cmbNomeSi->NewIndex(), 1);
    cmbNomeSi->SetListIndex(cmbNomeSi->NewIndex());
  }
  if (Profilo_Principale > Numero_Profili || Profilo_Principale < 1) Profilo_Principale = 1;
  if (Modo_ == 1) Profilo_Corrente = Profilo_Principale;

  // 9., 10.
  int32_t hDC = hWnd();
  Carica_Opzioni(Profilo_Corrente, hDC);
  Riempi_Caselle();
  Verifica_Registro(true);

  // 11. Nothing to ask: a stored password, at most one profile to choose from and the profile
  // loaded among those listed, the data folder free, and not a change of information system. A
  // main profile that is not listed (every apply makes the applied profile the main one) is never
  // entered unasked: the dialog waits for the user's choice.
  bool In_Elenco = false;
  for (int i = 0; i < cmbNomeSi->ListCount(); ++i) In_Elenco = In_Elenco || cmbNomeSi->ItemData(i) == Profilo_Corrente;
  if (Password_Utente != std::string(10, '^') && Modo_ != 2 && cmbNomeSi->ListCount() <= 1 && In_Elenco &&
      cmdOK->Enabled()) {
    cmdOK_Click();
    In_Caricamento = false;
    return;
  }

  // 12. The dialog waits for the user.
  double Sinistra = 0, Alto = 0;
  if (Modo_ > 1) {
    FrmBase& Base = *frmBase;
    Sinistra = Base.Left() + (Base.Width() - Width()) / 2;
    Alto = Base.Top() + (Base.Height() - Height()) / 2;
    // Owned by the main window, without a taskbar button of its own.
    winId();
    if (windowHandle() && Base.windowHandle()) windowHandle()->setTransientParent(Base.windowHandle());
  } else {
    double Larghezza = 0, Altezza = 0;
    agganci_base::Schermo_Twips(Larghezza, Altezza);
    Sinistra = (Larghezza - Width()) / 2;
    Alto = (Altezza - Height()) / 2;
  }
  Move(Sinistra, Alto);
  Show(ui::vbModeless);
  txtPassword->SetFocus();
  In_Caricamento = false;
}

void FrmPassword::cmbNomeSi_Click() {
  if (In_Caricamento) return;
  txtPassword->SetFocus();
  const int i = cmbNomeSi->ListIndex();
  if (i < 0) return;
  Profilo_Corrente = static_cast<int16_t>(cmbNomeSi->ItemData(i));
  int32_t hDC = hWnd();
  Carica_Opzioni(Profilo_Corrente, hDC);
  Riempi_Caselle();
  Verifica_Registro(false);
}

void FrmPassword::cmdOK_Click() {
  // A dialog already confirmed or closed answers nothing more.
  if (!Loaded()) return;
  // 1. The registry may have changed since the dialog opened.
  Verifica_Registro(false);
  if (!cmdOK->Enabled()) return;

  // 2. - 4.
  txtPassword->SetBackColor(ui::kOleWindowBackground);
  txtPassword->SetForeColor(ui::kOleWindowText);
  if (!vb::Trim(txtPassword->Text()).empty()) {
    int32_t Modo_Opzioni = Modo_;
    frmOpzioni->Carica(Modo_Opzioni, txtPassword->Text());
    Modo_ = 0;
    Unload();
    return;
  }
  txtPassword->SetBackColor(ui::kOleHighlight);
  txtPassword->SetForeColor(ui::kOleHighlightText);
  if (txtPassword->isVisible()) txtPassword->SetFocus();
}

void FrmPassword::cmdEsci_Click() { Unload(); }

void FrmPassword::Form_KeyDown(int& KeyCode, int Shift) {
  (void)Shift;
  // Enter and Escape are the dialog's: the focused box has no use for them, and a key passed on
  // to it could come back to the dialog as its parent's and confirm a second time.
  if (KeyCode == ui::vbKeyReturn) {
    KeyCode = 0;
    cmdOK_Click();
  } else if (KeyCode == ui::vbKeyEscape) {
    KeyCode = 0;
    cmdEsci_Click();
  }
}

void FrmPassword::Form_QueryUnload(int16_t& Cancel, int UnloadMode) {
  (void)Cancel;
  (void)UnloadMode;
  // Opened from the main window and closed without a confirmation: everything as it was.
  if (Modo_ != 2) return;
  Profilo_Corrente = Profilo_Salvato;
  int32_t hDC = hWnd();
  Carica_Opzioni(Profilo_Corrente, hDC);
  Password_Utente = Password_Precedente_;
  Imposta_Puntatore(ui::vbDefault);
  FrmBase& Base = *frmBase;
  Base.SetEnabled(true);
  Base.Show();
}

}  // namespace kyx
