#include "layouts/installa/installa_layout.h"

#include <string>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "engine/agganci_motore.h"
#include "layouts/agganci_layout.h"
#include "layouts/layout.h"
#include "layouts/manutenzione.h"
#include "platform/host/host.h"
#include "platform/ui/simple_controls.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/agganci_dialoghi.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {
void Installa_Layout() {
  // The engine saves every finished elaboration into the history.
  agganci_motore::Salva_Layout = [](const std::string& Operazione, int16_t Colonna) { Salva_Layout(Operazione, Colonna); };
  agganci_base::Carica_Layout = [](int16_t Passo, const std::string& File, bool Aggiorna) {
    Carica_Layout(Passo, File, Aggiorna);
  };
  agganci_dialoghi::Converti_Preferiti = [](std::string& Cartella) { Converti_Preferiti(Cartella); };
  // "Pulizia Prefer.": every saved favourite of the folder shown in the dialog.
  agganci_dialoghi::Opzioni["cmdPreferiti_Click"] = [](FrmOpzioni& Dialogo) {
    if (!Dialogo.Conferma_Pulizia("Tutti i preferiti saranno\reliminati\r\rS\xEC = elimina\rNo = nessuna operazione"))
      return;
    // A file in use or protected stops the deletion and is named, as for the history; the files
    // already gone may include the current elaboration's.
    std::string File;
    if (!Elimina_Preferiti(Valore_Cartella(Dialogo.txtDirPref->Text()), File))
      host::MsgBox("Il file " + File + "\rnon pu\xF2 essere eliminato", host::vbCritical, Titolo_Programma);
    Elaborazione_Corrente = 0;
  };
  // "Anno Riferim.": the reference year into every favourite of the profile in use.
  agganci_dialoghi::Opzioni["cmdAnnoRiferimento_Click"] = [](FrmOpzioni& Dialogo) {
    if (!Dialogo.Conferma_Pulizia("L'anno di riferimento\rsar\xE0 impostato con " + Numero_Cifre(Anno_Riferimento, 4) +
                               "\rsu tutti i preferiti\r\rS\xEC = aggiorna\rNo = nessuna operazione"))
      return;
    std::string File;
    if (!Imposta_Anno_Preferiti(Cartella_Preferiti, File))
      host::MsgBox("Il file " + File + "\rnon pu\xF2 essere aggiornato", host::vbCritical, Titolo_Programma);
  };

  agganci_layout::Titolo_Elaborazione = [] { return ui::Cp(frmBase->lbl_twE[0]->text()); };
  agganci_layout::Leggi_Chiave_Layout = [] { return Chiave_Layout; };
  agganci_layout::Imposta_Chiave_Layout = [](const std::string& Chiave) { Chiave_Layout = Chiave; };
  agganci_layout::Segna_Layout = [](const std::string& Chiave) {
    FrmBase& f = *frmBase;
    const bool Esiste = f.twL->Exists(Chiave);
    if (Esiste) f.twL->Nodes(Chiave).EnsureVisible();
    if (!Nodo_Layout.empty() && f.twL->Exists(Nodo_Layout)) {
      auto& prima = f.twL->Nodes(Nodo_Layout);
      prima.SetImage("Esegui");
      prima.SetForeColor(0x80000008);  // window text
    }
    Nodo_Layout = Chiave;
    if (Esiste) {
      auto& nodo = f.twL->Nodes(Chiave);
      nodo.SetImage("Esegui1");
      nodo.SetForeColor(0xFF0000);
    }
    return Esiste;
  };
  // The filter commands and the trees belong to the views: they are reached through the main
  // window's slots at the moment of the call, so that whoever fills those serves both.
  agganci_layout::Carica_Filtro_Modifica = [](int16_t Chiave, const std::string& Valore_1,
                                              const std::string& Valore_2, uint8_t Operatore,
                                              const std::string& Comando, bool Aggiorna_Albero) {
    if (agganci_base::Carica_Filtro_Modifica)
      agganci_base::Carica_Filtro_Modifica(Chiave, Valore_1, Valore_2, Operatore, Comando, Aggiorna_Albero);
  };
  agganci_layout::Carica_Albero_Chiavi = [] {
    if (agganci_base::Carica_Albero_Chiavi) agganci_base::Carica_Albero_Chiavi();
  };
  agganci_layout::Carica_Albero_Struttura = [] {
    if (agganci_base::Carica_Albero_Struttura) agganci_base::Carica_Albero_Struttura();
  };
  agganci_layout::Ridimensiona = [] { frmBase->Ridimensiona(); };
}

}  // namespace kyx
