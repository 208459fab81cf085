// frmOpzioni: the maintenance buttons "Pulizia Descr.", "Pulizia Storico" and "Pulizia Dati". Each
// checks the profile shown, asks for confirmation (No is the default) and acts at once, without
// waiting for "Aggiorna": on the descriptions and the detail data of the databases open now, on
// the history folder as the dialog shows it.
#include <string>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/ui/pointer.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

// The folder of a box: trimmed, and under the program folder when it begins with one "\".
std::string Cartella_Casella(const ui::TextBox& Casella) { return Valore_Cartella(vb::Trim(Casella.Text())); }

// Sets the status of every description row to "A" (to be downloaded again). An error of the
// database ends the loop after its message.
bool Invalida_Descrizioni() {
  if (!Rs_Descrizioni || !Rs_Descrizioni->IsOpen()) return true;
  data::TableRecordset& Rs = *Rs_Descrizioni;
  data::Status s = Rs.MoveFirst();
  if (s.ok() && Rs.BeforeFirst() && Rs.AfterLast()) return true;
  while (s.ok() && !Rs.AfterLast()) {
    if (!(s = Rs.Set(0, data::Value("A"))).ok()) break;
    if (!(s = Rs.Update()).ok()) break;
    s = Rs.MoveNext();
  }
  if (s.ok()) return true;
  host::MsgBox("Errore 010 - DB 1\r" + s.ToString(), host::vbCritical, Titolo_Programma);
  return false;
}

}  // namespace

bool FrmOpzioni::Conferma_Pulizia(const std::string& Domanda) {
  bool Esito = false;
  Controlla_Opzioni(false, Esito);
  if (!Esito) return false;
  return host::MsgBox(Domanda, host::vbYesNo | host::vbExclamation | host::vbDefaultButton2,
                      Titolo_Programma) == host::vbYes;
}

void FrmOpzioni::cmdDescrizioni_Click() {
  if (!Conferma_Pulizia("L'archivio delle descrizioni\rsar\xE0 eliminato\r\rS\xEC = elimina\rNo = nessuna operazione"))
    return;
  if (!agganci_base::Apri_MDB1 || !agganci_base::Apri_MDB1(false, false)) {
    host::MsgBox("Errore 010 - DB 1", host::vbCritical, Titolo_Programma);
    Elaborazione_Corrente = 0;
    return;
  }
  Imposta_Puntatore(ui::vbHourglass);
  SetEnabled(false);
  host::DoEvents();
  if (Invalida_Descrizioni()) {
    // The next download of descriptions is a full one.
    Scrivi_Ini(Numero_Cifre(Profilo_Corrente, 3), "Data", "20000101010101");
    txtDataDesc->SetText("01/01/2000");
    txtOraDesc->SetText("01:01:01");
  }
  SetEnabled(true);
  Imposta_Puntatore(ui::vbDefault);
  host::DoEvents();
  Elaborazione_Corrente = 0;
}

void FrmOpzioni::cmdStorico_Click() {
  if (!Conferma_Pulizia("Tutti i dati storici saranno\reliminati\r\rS\xEC = elimina\rNo = nessuna operazione"))
    return;
  const std::string Cartella = Cartella_Casella(*txtDirStorico);
  const std::string Percorso = files::native_path(Cartella);
  for (const std::string& Nome : files::list_files(Cartella, "KYX_E_*.DAT")) {
    if (!files::remove_file(Percorso + (Percorso.empty() || Percorso.back() == '/' ? "" : "/") + Nome)) {
      // A file in use or protected: the history numbers stay as they are, since the files left
      // still carry them.
      host::MsgBox("Il file " + Cartella + Nome + "\rnon pu\xF2 essere eliminato", host::vbCritical,
                   Titolo_Programma);
      return;
    }
  }
  Storico_Ultimo = 0;
  Elaborazione_Corrente = 0;
  Storico_Primo = 1;
  if (Modo > 1) frmBase->Imposta_Bar();
}

void FrmOpzioni::cmdDettaglio_Click() {
  if (!Conferma_Pulizia("Tutti i dati di dettaglio saranno\reliminati\r\rS\xEC = elimina\rNo = nessuna operazione"))
    return;
  if (!agganci_base::Apri_MDB2 || !agganci_base::Apri_MDB2(true, false)) {
    host::MsgBox("Errore 011 - DB 2", host::vbCritical, Titolo_Programma);
  }
  Elaborazione_Corrente = 0;
}

}  // namespace kyx
