// frmOpzioni.cmdAggiorna_Click: makes the profile shown in the dialog the one in use. The order
// matters: the data folder is checked before anything is saved, the settings are reloaded before
// the databases are opened, and the server link is closed before the databases are reopened and
// opened again only afterwards. It is also the end of every login (modes 1 and 2).
#include "common/impostazioni.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/ui/pointer.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/agganci_dialoghi.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/frm_base.h"
#include "ui/impostazioni_generali.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

void Chiama(const std::function<void()>& f) {
  if (f) f();
}

}  // namespace

void FrmOpzioni::cmdAggiorna_Click() {
  // A dialog already applied or closed answers nothing more.
  if (!Loaded()) return;
  // 1. The whole profile, with its questions and messages.
  bool Esito = false;
  Controlla_Opzioni(false, Esito);
  if (!Esito) return;

  // 2. A running program may not move onto a data folder another running copy works in.
  if (Modo > 1) {
    std::string Cartella = Valore_Cartella(txtCartellaSi->Text());
    int16_t Primo = 0;
    int32_t Principale = frmBase->hWnd();
    int32_t Nessuna = 0;
    if (!agganci_base::Registro_Istanze(Primo, Principale, Nessuna, Cartella)) {
      Marca(*txtCartellaSi);
      return;
    }
  }

  // 3., 4. From here on the apply runs to its end.
  SetEnabled(false);
  Imposta_Puntatore(ui::vbHourglass);
  host::DoEvents();
  Chiave_Elenco = -1;
  Elaborazione_Corrente = 0;
  Grafico_Visibile = false;

  // 5. The main window forgets what it showed.
  if (Modo > 1) {
    FrmBase& Base = *frmBase;
    Base.lbl_twE[0]->setText(QString());
    Base.lbl_twE[1]->setText(QString());
    Base.Ridimensiona();
  }

  // 6. - 8. Save, reload, and bring the layout files of the two folders up to date.
  Salva_Opzioni(Profilo_Corrente);
  int32_t hDC = hWnd();
  Carica_Opzioni(Profilo_Corrente, hDC);
  if (agganci_dialoghi::Converti_Preferiti) {
    std::string Storico = Cartella_Storico;
    agganci_dialoghi::Converti_Preferiti(Storico);
    std::string Preferiti = Cartella_Preferiti;
    agganci_dialoghi::Converti_Preferiti(Preferiti);
  }

  // 9. The link to the server belongs to the profile that was in use.
  const bool Era_Connesso = Connesso;
  if (Connesso) Connesso = agganci_base::Disconnetti ? agganci_base::Disconnetti() : false;

  // 10. The password typed at login is kept in memory only, never written to the settings file.
  if (Modo < 3 && !Password_Login.empty()) {
    Password_Utente = (vb::Replace(Password_Login, " ", "^") + std::string(10, '^')).substr(0, 10);
  }

  // 11., 12.
  Imposta_Form_Base();
  Chiama(agganci_base::Carica_Impostazioni_Stampa);
  struct Base_Locale {
    std::function<bool()> Apri;
    const char* Messaggio;
  };
  const Base_Locale Basi[] = {
      {[] { return agganci_base::Apri_MDB0(false); }, "Errore 007 - DB 0"},
      {[] { return agganci_base::Apri_MDB1(false, false); }, "Errore 008 - DB 1"},
      {[] { return agganci_base::Apri_MDB2(false, false); }, "Errore 009 - DB 2"},
  };
  for (const Base_Locale& b : Basi) {
    if (!b.Apri()) {
      host::MsgBox(b.Messaggio, host::vbCritical, Titolo_Programma);
      // Nothing more is written: the program ends here.
      Fine_Richiesta = true;
      agganci_base::Termina_Programma(1);
      return;
    }
  }

  // 13., 14. The main window on the new profile.
  if (Modo > 1) {
    FrmBase& Base = *frmBase;
    if (Era_Connesso && !vb::Trim(vb::Replace(Password_Utente, "^", " ")).empty()) {
      Connesso = agganci_base::Collegamento_Server ? agganci_base::Collegamento_Server(Base.hWnd())
                                                   : false;
    }
    Chiama(agganci_base::Carica_Albero_Struttura);
    Chiama(agganci_base::Carica_Albero_Chiavi);
    Base.Grid1->Clear();
    Base.Grid1->SetRows(0);
    Base.Grid1->SetCols(1);
    Chiama(agganci_base::KyHead_Aggiorna);
    Chiave_Elenco = -1;
    Base.Imposta_Bar();
    Base.SetEnabled(true);
    Base.Show();
  } else {
    frmBase->Show();
  }

  // 15., 16. The applied profile is the one preselected at the next start.
  Scrivi_Ini("Generale", "Principale", Numero_Cifre(Profilo_Corrente, 3));
  Modo = 0;
  SetEnabled(true);
  Unload();
}

}  // namespace kyx
