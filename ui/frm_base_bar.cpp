// frmBase.Imposta_Bar: the one procedure that shows the program state on the toolbars, the status
// panels and the caption. Pictures and tooltips change only when the state they show changes; the
// enabled states and the panels are written every time.
#include <string>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

void FrmBase::Imposta_Bar() {
  // 1. The fixed pictures, once.
  if (!Immagini_Assegnate) {
    Toolbar1->SetImageList(&ImageList1);
    Flt_Toolbar->SetImageList(&ImageList1);
    for (ui::KeyedToolbar* barra : {Toolbar1, Flt_Toolbar}) {
      for (int i = 1; i <= barra->Count(); ++i) {
        ui::ToolbarButton& b = barra->Buttons(i);
        const std::string& k = b.Key();
        if (k.empty() || k == "Server" || k == "Grafico" || k == "FiltroTipo") continue;
        if (k == "MouseTipo") {
          b.SetImage("MouseTipo" + std::to_string(Funzione_Mouse >= 1 && Funzione_Mouse <= 4
                                                      ? Funzione_Mouse
                                                      : 2));
        } else {
          b.SetImage(k);
        }
      }
    }
    Immagini_Assegnate = true;
  }

  // 2., 3. "Server": connected or not. Without a stored password a connection needs a login
  // through "SInf" first.
  ui::ToolbarButton& Server = Toolbar1->Buttons("Server");
  if (Connesso) {
    if (Server.ImageKey() != "Stop") {
      Server.SetImage("Stop");
      if (Messaggi_Aiuto) Server.SetToolTipText(" Scollegamento dal server ");
      Server.SetEnabled(true);
    }
  } else {
    if (Server.ImageKey() != "Start") {
      Server.SetImage("Start");
      if (Messaggi_Aiuto) Server.SetToolTipText(" Collegamento con il server ");
    }
    // The password may come after the picture (a profile applied while disconnected): the button
    // follows it on every call, or it would stay grey until the next start.
    Server.SetEnabled(!vb::Trim(vb::Replace(Password_Utente, "^", " ")).empty());
  }

  // 4. "Grafico" shows the other view.
  ui::ToolbarButton& Grafico_B = Toolbar1->Buttons("Grafico");
  if (Grafico_Visibile) {
    if (Grafico_B.ImageKey() != "Dati") {
      Grafico_B.SetImage("Dati");
      if (Messaggi_Aiuto) Grafico_B.SetToolTipText(" Dati in forma numerica ");
    }
  } else if (Grafico_B.ImageKey() != "Grafico") {
    Grafico_B.SetImage("Grafico");
    if (Messaggi_Aiuto) Grafico_B.SetToolTipText(" Dati in forma grafica ");
  }

  // 5. The filter operator.
  const int Operatore = Operatore_Filtro >= 1 && Operatore_Filtro <= 3 ? Operatore_Filtro : 1;
  const std::string Figura_Filtro = "FiltroTipo" + std::to_string(Operatore);
  ui::ToolbarButton& FiltroTipo = Toolbar1->Buttons("FiltroTipo");
  if (FiltroTipo.ImageKey() != Figura_Filtro) FiltroTipo.SetImage(Figura_Filtro);

  // 6. Enabled states.
  Toolbar1->Buttons("Precedente")
      .SetEnabled(Storico_Primo > 0 && Storico_Primo < Elaborazione_Corrente);
  Toolbar1->Buttons("Successivo")
      .SetEnabled(Elaborazione_Corrente > 0 && Elaborazione_Corrente < Storico_Ultimo);
  Grafico_B.SetEnabled(Modo_Griglia == 3 && Numero_Livelli == 1);
  const bool Risultato = Modo_Griglia == 1 || Elaborazione_Corrente > 0;
  Toolbar1->Buttons("Stampa").SetEnabled(Risultato);
  Toolbar1->Buttons("Salva").SetEnabled(Risultato);
  Toolbar1->Buttons("Elabora").SetEnabled(!vb::Trim(Chiave_Layout).empty());

  // 7. Panels.
  StatusBar1->Panels("Stato").SetText("");
  StatusBar1->Panels("Progress").SetText("");
  StatusBar1->Panels("Numero").SetText("");
  StatusBar1->Panels("Utente").SetText(" " + vb::Trim(Nome_Utente) + " ");
  StatusBar1->Panels("Ambiente").SetText(Connesso ? " " + Server_Nome + " " : " Locale ");

  // 8. Caption.
  SetCaption(" " + Titolo_Programma + "  -  " + vb::Trim(Descrizione_Sistema));

  // 9.
  host::DoEvents();
}

}  // namespace kyx
