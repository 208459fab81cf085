#include "replica/frm_base.h"

#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "replica/stato_replica.h"

namespace kyx::replica {

namespace {

constexpr int kAltezza = 21;

}  // namespace

std::string Testo_Versione_Replica() { return "1.0.0   Linux"; }

FrmBase::FrmBase() : ui::KyForm("frmBase") {
  QFont f("Arial");
  f.setPointSizeF(8);
  setFont(f);
  resize(470, 300);

  auto etichetta = [this](int x, int y, int w, const char* testo) {
    auto* l = new ui::Label(this, testo);
    l->Move(x, y, w, kAltezza);
    return l;
  };
  auto casella = [this](int x, int y, int w, const char* suggerimento) {
    auto* t = new ui::TextBox(this);
    t->Move(x, y, w, kAltezza);
    t->SetToolTipText(suggerimento);
    return t;
  };
  auto pulsante = [this](int x, int y, const char* testo, const char* suggerimento) {
    auto* b = new ui::CommandButton(this, testo);
    b->Move(x, y, 84, 26);
    b->SetToolTipText(suggerimento);
    return b;
  };

  Label3 = etichetta(12, 12, 130, "Sistema informativo");
  txtNumSi = casella(146, 12, 60, "");
  txtNumSi->SetLocked(true);
  UpDown = new ui::UpDown(this);
  UpDown->setGeometry(208, 12, 18, kAltezza);
  UpDown->SetToolTipText("Sistema informativo precedente o successivo");
  Check1 = new ui::CheckBox(this, "Da replicare");
  Check1->Move(240, 12, 120, kAltezza);

  Label1 = etichetta(12, 42, 130, "Nome Sist.Inf. / Idx");
  txtSistemaInf = casella(146, 42, 120, "Nome del sistema informativo da copiare");
  txtIdxSi = casella(270, 42, 60, "Indice del sistema informativo da copiare");
  lbl1 = etichetta(12, 72, 130, "Connessione / Porta");
  txtASConn = casella(146, 72, 230, "Nome della connessione o indirizzo IP del server iSeries");
  txtASPorta = casella(380, 72, 60, "Numero della porta iSeries a cui connettersi (4100)");
  lbl2 = etichetta(12, 98, 130, "Utente");
  txtASUtente = casella(146, 98, 120, "Nome utente del server iSeries");
  txtASPassword = casella(270, 98, 120, "Password per utente del server iSeries");
  txtASPassword->SetPassword(true);
  lbl6 = etichetta(12, 128, 130, "Nome SQL Server");
  txtSQLServer = casella(146, 128, 230, "Nome del server SQL");
  lbl7 = etichetta(12, 154, 130, "Data Base");
  txtSQLDataBase = casella(146, 154, 230, "Nome del Data Base SQL");
  lbl8 = etichetta(12, 180, 130, "Utente");
  txtSQLUtente = casella(146, 180, 120, "Nome utente del server SQL");
  txtSQLPassword = casella(270, 180, 120, "Password per utente del server SQL");
  txtSQLPassword->SetPassword(true);

  cmdReplica = pulsante(12, 216, "Replica", "Esegue replica");
  cmdAggiunta = pulsante(100, 216, "Aggiunta", "Aggiunta di un nuovo sistema informativo");
  cmdElimina = pulsante(188, 216, "Elimina", "Elimina il sistema informativo");
  cmdAggiorna = pulsante(276, 216, "Aggiorna", "Aggiorna opzioni");
  cmdEsci = pulsante(364, 216, "Uscita", "Esci senza aggiornare");

  Release = new ui::Label(this, "");
  Release->Move(12, 250, 200, 14);
  StatusBar1 = new ui::KeyedStatusBar(this);
  StatusBar1->Add("Stato").SetAutoSize(ui::sbrSpring);

  UpDown->UpClick = [this] { UpDown_UpClick(); };
  UpDown->DownClick = [this] { UpDown_DownClick(); };
  cmdReplica->Click = [this] { cmdReplica_Click(); };
  cmdAggiunta->Click = [this] { cmdAggiunta_Click(); };
  cmdElimina->Click = [this] { cmdElimina_Click(); };
  cmdAggiorna->Click = [this] { cmdAggiorna_Click(); };
  cmdEsci->Click = [this] { cmdEsci_Click(); };
}

void FrmBase::Form_Load() {
  SetCaption(" Q-KRE Replica dati non DB su SQL");
  Release->SetCaption(Testo_Versione_Replica());
  stato_replica::reset();  // File_Lavoro from the program folder
  Numero_Voci = Leggi_Numero_Voci();
  Voce_Corrente = 1;
  Carica_Parametri();
}

Campi_Voce FrmBase::Campi() const {
  Campi_Voce c;
  c.txtASConn = txtASConn->Text();
  c.txtASPorta = txtASPorta->Text();
  c.txtASUtente = txtASUtente->Text();
  c.txtASPassword = txtASPassword->Text();
  c.txtSQLServer = txtSQLServer->Text();
  c.txtSQLDataBase = txtSQLDataBase->Text();
  c.txtSQLUtente = txtSQLUtente->Text();
  c.txtSQLPassword = txtSQLPassword->Text();
  c.txtSistemaInf = txtSistemaInf->Text();
  c.txtIdxSi = txtIdxSi->Text();
  c.Check1 = Check1->Value();
  return c;
}

void FrmBase::Mostra(const Campi_Voce& c) {
  txtASConn->SetText(c.txtASConn);
  txtASPorta->SetText(c.txtASPorta);
  txtASUtente->SetText(c.txtASUtente);
  txtASPassword->SetText(c.txtASPassword);
  txtSQLServer->SetText(c.txtSQLServer);
  txtSQLDataBase->SetText(c.txtSQLDataBase);
  txtSQLUtente->SetText(c.txtSQLUtente);
  txtSQLPassword->SetText(c.txtSQLPassword);
  txtSistemaInf->SetText(c.txtSistemaInf);
  txtIdxSi->SetText(c.txtIdxSi);
  Check1->SetValue(c.Check1);
}

bool FrmBase::Carica_Parametri() {
  txtNumSi->SetText(vb::Format(static_cast<int64_t>(Voce_Corrente), "#") + "/" +
                    vb::Format(static_cast<int64_t>(Numero_Voci), "#"));
  cmdElimina->SetEnabled(Voce_Corrente == Numero_Voci && Voce_Corrente > 1);
  Campi_Voce c;
  if (Leggi_Voce(Voce_Corrente, c) == Esito_Voce::kIntegrita) {
    host::MsgBox("Errore di integrit\xE0", host::vbOKOnly, kTitolo_Replica);
    return false;
  }
  Mostra(c);
  return true;
}

void FrmBase::Salva_Parametri() {
  if (!Scrivi_Voce(Voce_Corrente, Numero_Voci, Campi())) {
    host::MsgBox("Il sistema informativo " + std::to_string(Voce_Corrente) + " contiene caratteri non ammessi:\r" +
                     "la voce non \xE8 stata salvata",
                 host::vbExclamation, kTitolo_Replica);
  }
}

void FrmBase::UpDown_UpClick() {
  if (Voce_Corrente >= Numero_Voci) return;
  Salva_Parametri();
  ++Voce_Corrente;
  Carica_Parametri();
}

void FrmBase::UpDown_DownClick() {
  if (Voce_Corrente <= 1) return;
  Salva_Parametri();
  --Voce_Corrente;
  Carica_Parametri();
}

void FrmBase::cmdAggiunta_Click() {
  Salva_Parametri();
  ++Numero_Voci;
  Voce_Corrente = Numero_Voci;
  Salva_Parametri();  // the fields still shown become the new entry
  Carica_Parametri();
}

void FrmBase::cmdElimina_Click() {
  if (!(Voce_Corrente == Numero_Voci && Voce_Corrente > 1)) return;
  Svuota_Voce(Voce_Corrente);
  --Numero_Voci;
  Voce_Corrente = Numero_Voci;
  Carica_Parametri();
}

void FrmBase::cmdAggiorna_Click() {
  SetEnabled(false);
  Salva_Parametri();
  Unload();
}

void FrmBase::cmdEsci_Click() { Unload(); }

void FrmBase::cmdReplica_Click() {
  const int16_t Mostrata = Voce_Corrente;
  Esegui_Replica(*this);
  // The run steps through every entry: the window comes back to the entry it showed, so that
  // the next save writes the fields under their own number.
  Voce_Corrente = Mostrata > Numero_Voci ? Numero_Voci : Mostrata;
  Carica_Parametri();
}

}  // namespace kyx::replica
