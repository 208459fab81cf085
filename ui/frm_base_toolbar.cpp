// frmBase.Esegui_Pulsante: every command of the two toolbars runs here, inside one frame: the
// busy pointer, the window gated, the panels emptied, and the elapsed seconds in "Progress".
#include <string>

#include "common/agganci.h"
#include "common/modello.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/ui/colours.h"
#include "platform/ui/pointer.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "server/risposta.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/impostazioni_generali.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

// A button whose window or command is not part of this version says so instead of doing
// nothing.
void Non_Disponibile() {
  host::MsgBox("Funzione non ancora disponibile in questa versione.", host::vbInformation, Titolo_Programma);
}

void Chiama(const std::function<void()>& f) {
  if (f) f();
}

void Nuova_Griglia() {
  Chiama(agganci_base::Visualizza_Griglia);
  if (Grafico_Visibile) Chiama(agganci_base::Visualizza_Grafico);
}

// The keys whose pop-up or dialog gives the main window back when it closes; "Help_1" leaves it
// disabled for the context-help mode. A pop-up that is not part of the program yet (its slot
// empty) opens nothing that could give the window back, so its button leaves the window usable.
bool Lascia_Disabilitato(const std::string& k) {
  if (k == "Help_1") return true;
  if (k == "DatiLocali") return static_cast<bool>(agganci_base::frmMenuDati_Carica);
  if (k == "Opzioni" || k == "SetStampa" || k == "Visualizza" || k == "Colonne" || k == "Preferiti" ||
      k == "SInf") {
    const auto it = agganci_base::Azioni.find(k);
    return it != agganci_base::Azioni.end() && it->second;
  }
  return false;
}

}  // namespace

void FrmBase::Esegui_Pulsante(ui::ToolbarButton& Pulsante, int Tasto_Mouse) {
  const std::string Chiave = Pulsante.Key();
  Toolbar1->SetMousePointer(ui::vbHourglass);
  SetEnabled(false);
  host::DoEvents();
  Tempo_Inizio = static_cast<float>(agganci_base::Orologio());
  StatusBar1->Panels("Stato").SetText("");
  StatusBar1->Panels("Progress").SetText("");
  StatusBar1->Panels("Numero").SetText("");

  Azione(Chiave, Tasto_Mouse);
  if (Chiave == "Uscita") return;

  host::DoEvents();
  Tempo_Fine = static_cast<float>(agganci_base::Orologio());
  // An action that runs across midnight finds the clock started again from 0: the day it
  // crossed is added back.
  double Trascorso = double{Tempo_Fine} - double{Tempo_Inizio};
  if (Trascorso < 0) Trascorso += 86400.0;
  StatusBar1->Panels("Progress").SetText(vb::Format(Trascorso, "\\ ###,###,##0.000\\ "));

  if (!Lascia_Disabilitato(Chiave)) SetEnabled(true);
  Toolbar1->SetMousePointer(ui::vbDefault);
  host::DoEvents();
}

void FrmBase::Azione(const std::string& Chiave, int Tasto_Mouse) {
  if (Chiave == "Uscita") {
    Fine_Programma();
    agganci_base::Termina_Programma(0);
  } else if (Chiave == "Server") {
    Azione_Server();
  } else if (Chiave == "DatiLocali") {
    if (agganci_base::Carica_Elenco_Caricati) agganci_base::Carica_Elenco_Caricati("");
    Riga_Evidenziata = 1;
    Prima_Riga = -1;
    Scorrimento_Colonne = -1;
    Chiama(agganci_base::Visualizza_Griglia);
    if (agganci_base::frmMenuDati_Carica) agganci_base::frmMenuDati_Carica("P");
  } else if (Chiave == "Precedente") {
    Azione_Storico(-1);
  } else if (Chiave == "Successivo") {
    Azione_Storico(1);
  } else if (Chiave == "Grafico") {
    Grafico_Visibile = !Grafico_Visibile;
    Ridimensiona();
    Prima_Riga = -1;
    Nuova_Griglia();
    Imposta_Bar();
  } else if (Chiave == "FiltroPulizia") {
    if (agganci_base::Carica_Filtro_Modifica) {
      agganci_base::Carica_Filtro_Modifica(0, " ", " ", 0, "T-", true);
    }
  } else if (Chiave == "FiltroTipo") {
    Azione_FiltroTipo(Tasto_Mouse);
  } else if (Chiave == "MouseTipo") {
    // Either mouse button steps forward; four modes, and after the last the first.
    Funzione_Mouse = static_cast<uint8_t>(Funzione_Mouse + 1);
    if (Funzione_Mouse < 1 || Funzione_Mouse > 4) Funzione_Mouse = 1;
    Toolbar1->Buttons("MouseTipo").SetImage("MouseTipo" + std::to_string(Funzione_Mouse));
    Imposta_Bar();
    Ridimensiona();
  } else if (Chiave == "FiltroBoxAggiorna") {
    Chiama_Filtro("P+");
  } else if (Chiave == "FiltroBoxPulizia") {
    Chiama_Filtro("P-");
  } else if (Chiave == "Elabora") {
    Azione_Elabora();
  } else if (Chiave == "Stampa") {
    Stampa_Da_Pagina = 0;
    Stampa_A_Pagina = 0;
    if (agganci_base::Stampa_Documento) {
      agganci_base::Stampa_Documento();
    } else {
      Non_Disponibile();
    }
  } else if (Chiave == "Help") {
    if (agganci_base::Apri_Aiuto) Finestra_Aiuto = agganci_base::Apri_Aiuto();
  } else if (Chiave == "Help_1") {
    Imposta_Puntatore(ui::vbCustom);
    SetEnabled(false);
    Chiama(agganci_base::Ridimensiona_Mappa);
  } else {
    // "SInf", "Preferiti", "Visualizza", "Colonne", "SetStampa", "Opzioni", "Salva": the whole
    // action is another subsystem's. Any other key does nothing.
    auto it = agganci_base::Azioni.find(Chiave);
    if (it != agganci_base::Azioni.end() && it->second) {
      it->second();
    } else if (Chiave == "SInf" || Chiave == "Preferiti" || Chiave == "Visualizza" || Chiave == "Colonne" ||
               Chiave == "SetStampa" || Chiave == "Opzioni" || Chiave == "Salva") {
      Non_Disponibile();
    }
  }
}

void FrmBase::Azione_Server() {
  // The button's picture says which way to go, not Connesso: "Stop" disconnects even a
  // connection that was already lost.
  if (Toolbar1->Buttons("Server").ImageKey() == "Start") {
    Connesso = agganci_base::Collegamento_Server ? agganci_base::Collegamento_Server(hWnd()) : false;
    if (Connesso) {
      Chiama(agganci_base::Carica_Albero_Struttura);
      Chiama(agganci_base::Carica_Albero_Chiavi);
      Grid1->Clear();
      Grid1->SetRows(0);
      Grid1->SetCols(1);
      Chiama(agganci_base::KyHead_Aggiorna);
      Chiave_Elenco = -1;
    }
  } else {
    Connesso = agganci_base::Disconnetti ? agganci_base::Disconnetti() : false;
  }
  Imposta_Bar();
  // A login step that failed without a message box said why in the status bar: redrawing the bar
  // emptied it, so it is said again.
  if (!Connesso && !Esito_Collegamento.empty()) host::host().SetPanel("Stato", Esito_Collegamento);
}

void FrmBase::Azione_Storico(int16_t Passo) {
  if (agganci_base::Carica_Layout) agganci_base::Carica_Layout(Passo, "", false);
  Prima_Riga = -1;
  Scorrimento_Colonne = -1;
  Riga_Evidenziata = -1;
  Nuova_Griglia();
}

void FrmBase::Azione_FiltroTipo(int Tasto_Mouse) {
  // The left button steps forward (=, N, range), any other backwards.
  if (Tasto_Mouse == ui::vbLeftButton) {
    Operatore_Filtro = static_cast<uint8_t>(Operatore_Filtro + 1);
    if (Operatore_Filtro > 3 || Operatore_Filtro < 1) Operatore_Filtro = 1;
  } else {
    Operatore_Filtro = static_cast<uint8_t>(Operatore_Filtro - 1);
    if (Operatore_Filtro < 1 || Operatore_Filtro > 3) Operatore_Filtro = 3;
  }
  if (Operatore_Filtro == 3) {
    // A range starts afresh: a half-entered one is dropped.
    Intervallo_Passo = 0;
    Intervallo_Chiave = -1;
    Filtro_Valori[1] = "";
    Flt_txt[1]->clear();
    Filtro_Valori[0] = "";
    Flt_txt[0]->clear();
  }
  Imposta_Bar();
  Ridimensiona();
}

bool FrmBase::Segna_Nodo_Layout(const std::string& Chiave) {
  const bool Esiste = twL->Exists(Chiave);
  if (Esiste) twL->Nodes(Chiave).EnsureVisible();
  if (!Nodo_Layout.empty() && twL->Exists(Nodo_Layout)) {
    auto& prima = twL->Nodes(Nodo_Layout);
    prima.SetImage("Esegui");
    prima.SetForeColor(0x80000008);  // window text
  }
  if (Esiste) {
    Nodo_Layout = Chiave;
    auto& nodo = twL->Nodes(Chiave);
    nodo.SetImage("Esegui1");
    nodo.SetForeColor(ui::RGB(0, 0, 255));
  }
  return Esiste;
}

void FrmBase::Azione_Elabora() {
  // A layout whose node has gone from the tree (a favourite of a dropped layout) is not marked,
  // and runs all the same.
  Segna_Nodo_Layout(Chiave_Layout);
  Chiama(agganci_base::Esegui_Elaborazione);
  Prima_Riga = -1;
  Scorrimento_Colonne = -1;
  Riga_Evidenziata = -1;
  Nuova_Griglia();
  const int32_t Record = agganci_base::Record_Risultato ? agganci_base::Record_Risultato() : -1;
  if (Elaborazione_Corrente >= 1 && Record >= 0) {
    StatusBar1->Panels("Numero").SetText(vb::Format(int64_t{Record}, "\\ ###,###,###,##0\\ "));
  }
}

void FrmBase::Chiama_Filtro(const std::string& Comando) {
  if (!agganci_base::Carica_Filtro_Modifica) return;
  agganci_base::Carica_Filtro_Modifica(
      Chiave_Elenco, text::from_utf8(Flt_txt[1]->text().toStdString()),
      text::from_utf8(Flt_txt[0]->text().toStdString()), Operatore_Filtro, Comando, true);
}

}  // namespace kyx
