// frmOpzioni.Controlla_Opzioni: the check of the profile being edited, in its fixed order. Each box
// it reaches is normalised in place and then tested; the first that fails is marked and the check
// stops there, so the user always sees one problem at a time, the first of the form.
#include <filesystem>
#include <system_error>

#include "common/formatta_valore.h"
#include "common/impostazioni.h"
#include "common/stato.h"
#include "common/utilita.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/vb/try_val.h"
#include "platform/vb/vb.h"
#include "ui/dialoghi/frm_opzioni.h"

namespace kyx {

namespace {

// A whole number as the profile's counter shows it: zero as an empty text (Format(n, "#")).
std::string Numero_Contatore(int n) { return n == 0 ? std::string() : std::to_string(n); }

// A numeric box: the whole text reads as a number under the locale and its value, read with a
// period as decimal separator, lies in the range. Only the range counts: 80.5 is a valid port.
bool Numero_In_Intervallo(const std::string& Testo, double Minimo, double Massimo) {
  if (Testo.empty() || !vb::IsNumeric(Testo)) return false;
  const auto v = vb::TryVal(Testo);  // "1E999" does not fit a Double: out of any range
  return v && *v >= Minimo && *v <= Massimo;
}

// The message of a folder that does not take files: a full disk is told as such, since no change
// of permissions would help it.
std::string Testo_Cartella_Non_Scrivibile(const std::string& Cartella, bool Disco_Pieno) {
  if (Disco_Pieno) return "La cartella " + Cartella + "\r" + "non pu\xF2 ricevere file: il disco \xE8 pieno. ";
  return "La cartella " + Cartella + "\r" + "non ha i permessi di lettura e scrittura. ";
}

}  // namespace

void FrmOpzioni::Controlla_Opzioni(bool Senza_Messaggi, bool& Esito) {
  // 1. - 4.
  Esito = false;
  Motivo_Cartella.clear();
  lblNumSi->SetCaption(Numero_Contatore(Profilo_Corrente) + "/" + Numero_Contatore(Numero_Profili));
  cmdElimina->SetEnabled(Numero_Profili > 1);
  chk01->SetEnabled(Numero_Profili > 1);
  for (auto* c : Caselle_Testo()) Normale(*c);

  // 5. The program folder must take the settings and the work files.
  if (bool pieno = false; !Verifica_Permessi_Cartella(Cartella_Programma, &pieno)) {
    Motivo_Cartella = Testo_Cartella_Non_Scrivibile(vb::Trim(Cartella_Programma), pieno);
    if (!Senza_Messaggi) host::MsgBox(Motivo_Cartella, host::vbCritical, Titolo_Programma);
    return;
  }

  // 6. The text fields.
  struct Campo {
    ui::TextBox* casella;
    bool maiuscolo;
    bool obbligatorio;
  };
  const Campo campi[] = {
      {txtConnessione, true, true}, {txtPorta, true, true},  {txtDataBaseSQL, false, false},
      {txtUtente, true, true},      {txtNomeSi, true, true}, {txtDescrizioneSi, false, true},
  };
  for (const Campo& c : campi) {
    // The password, between user and system, is taken as typed: blanks included, may be empty.
    std::string t = vb::Trim(c.casella->Text());
    if (c.maiuscolo) t = vb::UCase(t);
    c.casella->SetText(t);
    bool valido = !c.obbligatorio || !t.empty();
    if (valido && c.casella == txtPorta) valido = Numero_In_Intervallo(t, 1, 65535);
    if (!valido) {
      Marca(*c.casella);
      return;
    }
  }

  // A server, port, user or password with a character the scrambling cannot store would make the
  // save refuse the whole profile and the apply go on with the old one, losing every edit: it is
  // refused here instead, with the dialog kept open on that box.
  if (!Blocco_Codificabile()) return;

  // 7. The four folders, each existing (created on request) and writable.
  for (auto* c : {txtCartellaSi, txtDirStorico, txtDirPref, txtDirSalva}) {
    if (!Controlla_Cartella(*c, Senza_Messaggi)) return;
  }

  // 8. The remaining fields.
  const std::string data = vb::Trim(txtDataDesc->Text());
  txtDataDesc->SetText(data);
  if (!Data_Valida(data)) {
    Marca(*txtDataDesc);
    return;
  }
  const std::string ora = vb::Trim(txtOraDesc->Text());
  txtOraDesc->SetText(ora);
  if (!Ora_Valida(ora)) {
    Marca(*txtOraDesc);
    return;
  }
  const std::string elementi = vb::Trim(txtElemStorico->Text());
  txtElemStorico->SetText(elementi);
  if (!Numero_In_Intervallo(elementi, 1, 9999)) {
    Marca(*txtElemStorico);
    return;
  }
  const std::string precisione = vb::Trim(txtPrecisioneColore->Text());
  txtPrecisioneColore->SetText(precisione);
  if (!Numero_In_Intervallo(precisione, 0, 255)) {
    Marca(*txtPrecisioneColore);
    return;
  }

  // 9. A main profile is always listed.
  if (chk01->Value() == 1) chk02->SetValue(1);
  Esito = true;
}

bool FrmOpzioni::Controlla_Cartella(ui::TextBox& Casella, bool Senza_Messaggi) {
  // 1. Trimmed and closed by "\". Folder names on Linux differ by case, so the text keeps the
  // case it was typed in (a folder typed "dati" is not the folder "DATI").
  std::string t = vb::Trim(Casella.Text());
  if (t.empty() || (t.back() != '\\' && t.back() != '/')) t += "\\";
  Casella.SetText(t);
  const std::string mostrata = vb::Trim(t);

  // 2. A single leading "\" means "under the program folder"; "" became "\", the program folder.
  Cartella_Risolta = Valore_Cartella(t);

  // 3. A missing folder is created on the user's word (one level).
  const std::string percorso = files::native_path(Cartella_Risolta);
  if (!files::folder_exists(percorso)) {
    Marca(Casella);
    if (Senza_Messaggi) {
      Motivo_Cartella = "La cartella " + mostrata + "\r" + "non \xE8 presente nel sistema. ";
      return false;
    }
    const int r = host::MsgBox("La cartella " + mostrata + "\r" + "non \xE8 presente nel sistema. " +
                                   "\r\r" + "Premere il pulsante" + "\r" +
                                   "S\xEC = per creare automaticamente la cartella," + "\r" +
                                   "No = per crearla manualmente.",
                               host::vbYesNo + host::vbExclamation + host::vbDefaultButton2,
                               Titolo_Programma);
    if (r != host::vbYes) return false;
    std::error_code ec;
    std::filesystem::create_directory(percorso, ec);
    if (!files::folder_exists(percorso)) return false;
    Normale(Casella);
  }

  // 4. It must take files.
  if (bool pieno = false; !Verifica_Permessi_Cartella(Cartella_Risolta, &pieno)) {
    Marca(Casella);
    Motivo_Cartella = Testo_Cartella_Non_Scrivibile(mostrata, pieno);
    if (!Senza_Messaggi) host::MsgBox(Motivo_Cartella, host::vbCritical, Titolo_Programma);
    return false;
  }
  return true;
}

}  // namespace kyx
